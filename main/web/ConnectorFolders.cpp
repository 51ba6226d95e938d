#include "WebActionHandler.h"

#include <vector>

namespace {

// Where the main program's settings table (ClientRegistry) keeps the setting.
const char kPreferencesKey[] = "Software\\Quillmate\\Client\\Preferences";
const char kLocationValue[] = "ConnectorsLocation";
const char kDisabledFolderName[] = "Connectors (Disabled)";

const QuiRegDefault kConnectorRegDefaults[CWebConnectorReg::ValueCount] = {
    {"WebConnectors", "Count", REG_DWORD, 4, 0, nullptr},
};

CString WithBackslash(CString folder)
{
    if (!folder.IsEmpty() && folder[folder.GetLength() - 1] != '\\')
        folder += '\\';
    return folder;
}

// Creation failures are left to the searches and moves in the folder.
void CreateFolder(const CString& folder)
{
    if (folder.IsEmpty())
        return;
    CString path = folder.Left(folder.GetLength() - 1);
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        CreateDirectoryA(path, nullptr);
}

} // namespace

CWebConnectorReg::CWebConnectorReg()
{
    FillTable(m_table, kConnectorRegDefaults, ValueCount);
    LoadAll();
}

QuiRegValue* CWebConnectorReg::GetValueTable()
{
    return m_table;
}

const char* CWebConnectorReg::GetSubKey()
{
    return "Client";
}

int CWebConnectorReg::GetValueCount()
{
    return ValueCount;
}

CString GetConnectorsFolder()
{
    // Longer than any path the system takes, so a long setting is read whole.
    std::vector<char> location(4 * MAX_PATH, '\0');
    if (!QuiRegistry::QueryText(HKEY_CURRENT_USER, kPreferencesKey, kLocationValue, location.data(),
                                static_cast<DWORD>(location.size())))
        location[0] = '\0';
    CString folder = WithBackslash(location.data());
    CreateFolder(folder);
    return folder;
}

CString GetDisabledConnectorsFolder()
{
    CString folder = WithBackslash(GetConnectorsFolder()) + kDisabledFolderName + "\\";
    CreateFolder(folder);
    return folder;
}
