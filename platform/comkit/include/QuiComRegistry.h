// Registry entries of a COM class under HKEY_CLASSES_ROOT, and the
// registration of a type library. A class names exactly the keys it wants;
// unregistration removes what registration wrote and nothing else.
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

class QuiClassRegistration {
public:
    struct ProgIdKey {
        std::string name;
        std::string description;
        std::string curVer;  // empty: no CurVer subkey
    };

    explicit QuiClassRegistration(const char* description);

    // "<progId>" = description with CLSID, and CLSID\{..}\ProgID.
    QuiClassRegistration& ProgId(const char* progId, const char* description);
    // "<progId>" = description with CLSID and CurVer = the ProgID above,
    // and CLSID\{..}\VersionIndependentProgID.
    QuiClassRegistration& VersionIndependentProgId(const char* progId, const char* description);
    // A further ProgID key of the same class, not named under CLSID\{..}.
    QuiClassRegistration& AlsoProgId(const char* progId, const char* description, const char* curVer);
    QuiClassRegistration& InprocServer(const char* threadingModel);
    QuiClassRegistration& LocalServer();
    QuiClassRegistration& AppId(const GUID& appId);
    QuiClassRegistration& Programmable();
    // CLSID\{..}\TypeLib = the server's type library identifier.
    QuiClassRegistration& TypeLib();
    QuiClassRegistration& Version(const char* version);
    // Key Control, MiscStatus = "0" with subkey 1 = miscStatus, and, when
    // toolboxBitmap is not 0, ToolboxBitmap32 = "<module>, <toolboxBitmap>".
    QuiClassRegistration& Control(const char* miscStatus, int toolboxBitmap);

    const std::string& Description() const { return m_description; }
    const std::vector<ProgIdKey>& ProgIdKeys() const { return m_progIds; }

    // Writes the keys; `libId` is the server's type library (null: none).
    HRESULT Register(REFCLSID clsid, const char* modulePath, const GUID* libId) const;
    // Removes the CLSID key whole, and each ProgID key whose CLSID is ours.
    HRESULT Unregister(REFCLSID clsid) const;

private:
    std::string m_description;
    std::vector<ProgIdKey> m_progIds;
    std::string m_progId;
    std::string m_versionIndependentProgId;
    std::string m_threadingModel;
    bool m_inproc = false;
    bool m_localServer = false;
    GUID m_appId = GUID_NULL;
    bool m_programmable = false;
    bool m_typeLib = false;
    std::string m_version;
    std::string m_miscStatus;
    int m_toolboxBitmap = 0;
    bool m_control = false;
};

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case, as the registry holds it.
std::string QuiGuidText(REFGUID guid);

// Registers the type library found in `path` (a .tlb, or a module that
// carries it as resource 1); the help folder is `helpDir`, or the file's
// own folder when that is null.
HRESULT QuiRegisterTypeLib(const wchar_t* path, const wchar_t* helpDir = nullptr);
// Removes that type library's registration (TypeLib and its interfaces).
HRESULT QuiUnregisterTypeLib(const wchar_t* path);
