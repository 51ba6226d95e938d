// A preferences object over its own test's registry, with an application
// object and the language resource library as the program has them.
#pragma once
#include "OzuPrefs.h"
#include "ClientRegistry.h"
#include "RegistryBranch.h"

#include <memory>
#include <string>

// The application object the program would have; App is default-constructible.
template <class App>
class PrefsFixtureOf : public RegistryBranch {
protected:
    void SetUp() override
    {
        RegistryBranch::SetUp();
        m_library = ::LoadLibraryA("QuiRes1033.dll");
        ASSERT_NE(nullptr, m_library);
        AfxSetResourceHandle(m_library);
        m_settings = std::make_unique<ClientRegistry>();
        m_prefs = std::make_unique<COzuPrefs>(*m_settings);
    }

    void TearDown() override
    {
        m_prefs.reset();
        m_settings.reset();
        AfxSetResourceHandle(AfxGetInstanceHandle());
        if (m_library)
            ::FreeLibrary(m_library);
        RegistryBranch::TearDown();
    }

    // A number below "Software\Quillmate\Client" ("" for the key itself).
    void SetNumber(const char* subKey, const char* name, DWORD value)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, (kClientKey + subKey).c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &key, nullptr));
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                                sizeof value));
        RegCloseKey(key);
    }

    // Settings made again, so that they read what the registry now holds,
    // and the preferences loaded from them.
    void ReloadSettings()
    {
        m_prefs.reset();
        m_settings = std::make_unique<ClientRegistry>();
        m_prefs = std::make_unique<COzuPrefs>(*m_settings);
        m_prefs->Load();
    }

    const std::string kClientKey = "Software\\Quillmate\\Client\\";
    App m_app;
    HMODULE m_library = nullptr;
    std::unique_ptr<ClientRegistry> m_settings;
    std::unique_ptr<COzuPrefs> m_prefs;
};

class NamedTestApp : public CWinApp {
public:
    NamedTestApp() : CWinApp("Quillmate test") {}
};

using PrefsFixture = PrefsFixtureOf<NamedTestApp>;
