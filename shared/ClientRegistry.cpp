#include "ClientRegistry.h"

namespace {
const char kTip[] = "Tip";
const char kPrefs[] = "Preferences";
const char kProfile[] = "Profile";

#define QUI_DWORD(sub, name, value) {sub, name, REG_DWORD, 4, value, nullptr}
#define QUI_TEXT(sub, name, text) {sub, name, REG_SZ, QUI_REG_FIELD, 0, text}
#define QUI_BINARY(sub, name, size) {sub, name, REG_BINARY, size, 0, nullptr}

const QuiRegDefault kDefaults[ClientRegistry::ValueCount] = {
    QUI_BINARY("", "Position", 16),
    QUI_DWORD("", "AskVVInstall", 0),
    QUI_TEXT("", "DefaultKwDb", "QuiSystem.xml"),
    QUI_DWORD(kTip, "FilePos", 0),
    QUI_DWORD(kTip, "Startup", 1),
    QUI_BINARY(kTip, "Timestamp", 4),
    QUI_DWORD(kTip, "LastShown", 0),
    QUI_DWORD("", "ViaVoiceInstalled", 0),
    QUI_DWORD("", "ActivePIM", 0),
    QUI_BINARY("", "PintailData", 260),
    QUI_BINARY("", "PintailDate", 8),
    QUI_DWORD("", "PintailFreq", 3),
    QUI_DWORD("", "HideSavedNoteDlg", 0),
    QUI_DWORD(kPrefs, "EnableHotKeys", 1),
    QUI_DWORD(kPrefs, "NewHotKey", 0x3004E),
    QUI_DWORD(kPrefs, "GrabHotKey", 0x30047),
    QUI_DWORD(kPrefs, "ReturnKeyAction", 1),
    QUI_DWORD(kPrefs, "SaveThenNew", 0),
    QUI_DWORD(kPrefs, "Browser", 0),
    QUI_DWORD(kPrefs, "VoiceRecognition", 0),
    QUI_TEXT(kPrefs, "ConnectorsLocation", ""),
    QUI_BINARY(kPrefs, "KwdPosition", 16),
    QUI_DWORD(kPrefs, "ShowPromptText", 1),
    QUI_TEXT("", "kwTypeSelIndex", ""),
    QUI_TEXT("", "AliasDB", "keywords.xml"),
    QUI_TEXT("", "Username", ""),
    QUI_TEXT("", "Password", ""),
    QUI_TEXT("", "PintailExe", "Pintail.exe"),
    QUI_TEXT("", "PintailCatalog", "http://updates.quillmate.example/catalog/connectors.cat"),
    QUI_DWORD(kPrefs, "ConnectorWaitTimeout", 15),
    QUI_DWORD("", "ShowProfile", 0),
    QUI_TEXT(kProfile, "Firstname", ""),
    QUI_TEXT(kProfile, "Lastname", ""),
    QUI_TEXT(kProfile, "Email", ""),
    QUI_TEXT(kProfile, "Address", ""),
    QUI_TEXT(kProfile, "City", ""),
    QUI_TEXT(kProfile, "State", ""),
    QUI_TEXT(kProfile, "Country", ""),
    QUI_TEXT(kProfile, "PostalCode", ""),
    QUI_TEXT(kPrefs, "ImageDir", ""),
};

#undef QUI_DWORD
#undef QUI_TEXT
#undef QUI_BINARY
} // namespace

ClientRegistry::ClientRegistry(Ending ending) : m_ending(ending)
{
    FillTable(m_table, kDefaults, ValueCount);
    LoadAll();
}

ClientRegistry::~ClientRegistry()
{
    if (m_ending == SaveChangesAtEnd)
        SaveChanged();
}

QuiRegValue* ClientRegistry::GetValueTable()
{
    return m_table;
}

const char* ClientRegistry::GetSubKey()
{
    return "Client";
}

int ClientRegistry::GetValueCount()
{
    return ValueCount;
}
