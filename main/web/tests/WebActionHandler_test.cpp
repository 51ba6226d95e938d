#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "ConnectorFile.h"
#include "QuiResIds.h"
#include "RegistryBranch.h"
#include "WebActionHandler.h"
#include "QuiTesting.h"
#include "WebTestSupport.h"

namespace {

const char kDisabled[] = "Connectors (Disabled)\\";

using QuiTesting::Exists;
using QuiTesting::RemoveFolder;

std::string FullPath(const std::string& path)
{
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length && length < MAX_PATH ? full : path;
}

// A registry and a current folder of the test's own.
class Handler : public RegistryBranch {
protected:
    void SetUp() override
    {
        RegistryBranch::SetUp();
        m_fixtures = FullPath(Fixture("connectors")) + "\\";
        GetCurrentDirectoryA(MAX_PATH, m_home);
        m_folder = FullPath(TestFileName(""));
        RemoveFolder(m_folder);
        ASSERT_TRUE(CreateDirectoryA(m_folder.c_str(), nullptr));
        ASSERT_TRUE(SetCurrentDirectoryA(m_folder.c_str()));
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(m_home);
        RemoveFolder(m_folder);
        RegistryBranch::TearDown();
    }

    void SetLocation(const std::string& location)
    {
        ASSERT_TRUE(QuiTesting::SetRegText(HKEY_CURRENT_USER, "Software\\Quillmate\\Client\\Preferences",
                                           "ConnectorsLocation", location));
    }

    void Ship(const char* file, const std::string& to = "")
    {
        ASSERT_TRUE(CopyFileA((m_fixtures + file).c_str(), (to + file).c_str(), FALSE)) << file;
    }

    std::string m_fixtures;
    std::string m_folder;
    char m_home[MAX_PATH] = {};
};

std::string Names(const std::vector<CWebConnectorDef>& connectors)
{
    std::vector<std::string> names;
    for (const CWebConnectorDef& def : connectors)
        names.push_back(std::string(def.m_strName));
    std::sort(names.begin(), names.end());
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ",") + name;
    return text;
}

TEST_F(Handler, ReadsOnlyConnectorFilesFromTheCurrentFolderWhenNoneIsSet)
{
    EXPECT_EQ(0, CWebActionHandler().LoadConnectors());
    for (const char* file : {"webcalendar.xml", "mytime.xml", "websearch.xml", "maps.xml", "reference.xml"})
        Ship(file);
    WriteBytes("QuiSystem.xml", "<ITEMS>\n    <ITEM>\n        <ID>55861572-ea6a-11d2-a0e6-00104b9522aa</ID>\n"
                                "        <NAME>Example</NAME>\n    </ITEM>\n</ITEMS>\n");
    WriteBytes("keywords.xml", "<ITEMS>\n    <ITEM>\n        <ID>Maps_map of</ID>\n        <NAME>map of</NAME>\n"
                               "        <WAI_CONNECTOR_ID>Maps_map of</WAI_CONNECTOR_ID>\n    </ITEM>\n</ITEMS>\n");
    WriteBytes("links.xml", "<LINKS>\n  <CONNECTOR_ID MENUSTRING=\"x\">1</CONNECTOR_ID>\n</LINKS>\n");

    CWebActionHandler handler;
    EXPECT_EQ(1, handler.LoadConnectors());
    EXPECT_EQ("Maps,MyTime,Reference,Web Search,Yahoo", Names(handler.GetEnabledConnectors().GetConnectors()));
    EXPECT_TRUE(handler.GetDisabledConnectors().empty());
    EXPECT_TRUE(Exists("Connectors (Disabled)"));

    // Loading again starts afresh; every connector counts in the one vector.
    EXPECT_EQ(1, handler.LoadConnectors());
    const std::vector<CWebConnectorDef>& connectors = handler.GetEnabledConnectors().GetConnectors();
    ASSERT_EQ(5u, connectors.size());
    for (size_t i = 0; i < connectors.size(); ++i)
        EXPECT_EQ(static_cast<int>(i), connectors[i].m_subtypes.at(0).m_nConnectorIndex) << connectors[i].m_strName;
}

TEST_F(Handler, CreatesTheFoldersTheSettingNames)
{
    SetLocation("library");
    EXPECT_STREQ("library\\", GetConnectorsFolder());
    EXPECT_TRUE(Exists("library"));
    Ship("websearch.xml", "library\\");
    CWebActionHandler handler;
    EXPECT_EQ(1, handler.LoadConnectors());
    EXPECT_EQ("Web Search", Names(handler.GetEnabledConnectors().GetConnectors()));
    EXPECT_EQ("library\\websearch.xml", std::string(handler.GetEnabledConnectors().GetConnectors()[0].m_strPath));
    EXPECT_STREQ("library\\Connectors (Disabled)\\", GetDisabledConnectorsFolder());
    EXPECT_TRUE(Exists("library\\Connectors (Disabled)"));

    SetLocation(m_folder + "\\absolute\\");
    EXPECT_EQ(m_folder + "\\absolute\\", std::string(GetConnectorsFolder()));
    EXPECT_TRUE(Exists("absolute"));
}

TEST_F(Handler, GivesLongFolderSettingsBackWhole)
{
    // Too long to be created, so nothing is left behind.
    const std::string location = m_folder + "\\" + std::string(250, 'f');
    SetLocation(location);
    CString folder = GetConnectorsFolder();
    CString disabled = GetDisabledConnectorsFolder();
    EXPECT_EQ(location + "\\", std::string(folder));
    EXPECT_EQ(location + "\\" + kDisabled, std::string(disabled));

    // A block as long as the reader's buffer names no folder: the current one serves.
    const std::string block(4 * MAX_PATH, 'f');
    ASSERT_TRUE(QuiTesting::SetRegValue(HKEY_CURRENT_USER, "Software\\Quillmate\\Client\\Preferences",
                                        "ConnectorsLocation", REG_BINARY, block.data(), static_cast<DWORD>(block.size())));
    EXPECT_STREQ("", GetConnectorsFolder());
}

struct MoveStep {
    const char* what;
    const char* connector;   // by name, from the collection that holds it
    UINT flags;
    int result;
    const char* enabled;     // names afterwards
    const char* disabled;
    const char* files;       // where the files are afterwards
};

// The files here: websearch.xml and two.xml (connectors One and Two)
// enabled, shopping.xml disabled, and a websearch.xml of another make
// waiting in the disabled folder.
const MoveStep kMoves[] = {
    {"enabling an enabled one", "Web Search", CWebActionHandler::connectorEnable, 1, "One,Two,Web Search", "Shopping",
     "two.xml websearch.xml | shopping.xml websearch.xml"},
    {"disabling onto a file of the same name", "Web Search", 0, CWebActionHandler::connectorNotMoved,
     "One,Two,Web Search", "Shopping",
     "two.xml websearch.xml | shopping.xml websearch.xml"},
    {"disabling a disabled one", "Shopping", 0, 1, "One,Two,Web Search", "Shopping",
     "two.xml websearch.xml | shopping.xml websearch.xml"},
    {"enabling a disabled one", "Shopping", CWebActionHandler::connectorEnable, 1, "One,Shopping,Two,Web Search", "",
     "shopping.xml two.xml websearch.xml | websearch.xml"},
    {"disabling one of a file's two", "Two", 0, 1, "Shopping,Web Search", "One,Two",
     "shopping.xml websearch.xml | two.xml websearch.xml"},
    {"enabling it again", "One", CWebActionHandler::connectorEnable, 1, "One,Shopping,Two,Web Search", "",
     "shopping.xml two.xml websearch.xml | websearch.xml"},
    {"a connector held nowhere", "Nowhere", 0, 0, "One,Shopping,Two,Web Search", "",
     "shopping.xml two.xml websearch.xml | websearch.xml"},
};

std::string Files(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*.xml").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            names.push_back(found.cFileName);
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : " ") + name;
    return text;
}

const CWebConnectorDef* Named(CWebActionHandler& handler, const char* name)
{
    for (auto* connectors : {&handler.GetEnabledConnectors().GetConnectors(), &handler.GetDisabledConnectors()}) {
        for (const CWebConnectorDef& def : *connectors) {
            if (def.m_strName == name)
                return &def;
        }
    }
    return nullptr;
}

TEST_F(Handler, MovesAConnectorsFileWithEveryConnectorInIt)
{
    Ship("websearch.xml");
    WriteBytes("two.xml", "<CONNECTOR MENUSTRING=\"One\">\n<SUBTYPE MENUSTRING=\"a\" >\n</SUBTYPE>\n</CONNECTOR>\n"
                          "<CONNECTOR MENUSTRING=\"Two\">\n<SUBTYPE MENUSTRING=\"b\" >\n</SUBTYPE>\n</CONNECTOR>\n");
    GetDisabledConnectorsFolder();
    Ship("Connectors (Disabled)\\shopping.xml");
    WriteBytes(std::string(kDisabled) + "websearch.xml", "<VERSION=9>\n");

    CWebActionHandler handler;
    handler.LoadConnectors();
    for (const MoveStep& step : kMoves) {
        SCOPED_TRACE(step.what);
        CWebConnectorDef nowhere;
        nowhere.m_strName = "Nowhere";
        const CWebConnectorDef* found = Named(handler, step.connector);
        CWebConnectorDef connector = found ? *found : nowhere;
        EXPECT_EQ(step.result, handler.SetConnectorEnabled(connector, step.flags));
        EXPECT_EQ(step.enabled, Names(handler.GetEnabledConnectors().GetConnectors()));
        EXPECT_EQ(step.disabled, Names(handler.GetDisabledConnectors()));
        EXPECT_EQ(step.files, Files("") + " | " + Files(kDisabled));
        for (auto* connectors : {&handler.GetEnabledConnectors().GetConnectors(), &handler.GetDisabledConnectors()}) {
            for (size_t i = 0; i < connectors->size(); ++i) {
                const CWebConnectorDef& def = (*connectors)[i];
                EXPECT_TRUE(Exists(std::string(def.m_strPath))) << def.m_strName << " at " << def.m_strPath;
                EXPECT_EQ(static_cast<int>(i), def.m_subtypes.at(0).m_nConnectorIndex) << def.m_strName;
            }
        }
    }
}

struct StuckMove {
    const char* what;
    const char* connector;
    UINT flags;
    const char* heldOpen;   // a file another program holds, or null
};

// Enabled a.xml (connector A) and c.xml (C); disabled a.xml (B).
const StuckMove kStuckMoves[] = {
    {"disabling onto a disabled file of the same name", "A", 0, nullptr},
    {"enabling onto an enabled file of the same name", "B", CWebActionHandler::connectorEnable, nullptr},
    {"disabling a file held open", "C", 0, "c.xml"},
};

std::string OneConnector(const char* name)
{
    return std::string("<CONNECTOR MENUSTRING=\"") + name + "\">\n<SUBTYPE MENUSTRING=\"" + name +
           " action\" >\n</SUBTYPE>\n</CONNECTOR>\n";
}

TEST_F(Handler, AFileThatCannotMoveIsReportedAndLeftAsItWas)
{
    const std::string disabledA = std::string(kDisabled) + "a.xml";
    for (const StuckMove& row : kStuckMoves) {
        SCOPED_TRACE(row.what);
        GetDisabledConnectorsFolder();
        WriteBytes("a.xml", OneConnector("A"));
        WriteBytes("c.xml", OneConnector("C"));
        WriteBytes(disabledA, OneConnector("B"));
        HANDLE held = INVALID_HANDLE_VALUE;
        if (row.heldOpen) {
            held = CreateFileA(row.heldOpen, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, held);
        }
        CWebActionHandler handler;
        handler.LoadConnectors();
        const CWebConnectorDef connector = *Named(handler, row.connector);

        EXPECT_EQ(CWebActionHandler::connectorNotMoved, handler.SetConnectorEnabled(connector, row.flags));
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        EXPECT_EQ("A,C", Names(handler.GetEnabledConnectors().GetConnectors()));
        EXPECT_EQ("B", Names(handler.GetDisabledConnectors()));
        EXPECT_EQ(std::string(kDisabled) + "a.xml", std::string(Named(handler, "B")->m_strPath));
        EXPECT_EQ("c.xml", std::string(Named(handler, "C")->m_strPath));
        EXPECT_EQ("a.xml c.xml | a.xml", Files("") + " | " + Files(kDisabled));
        EXPECT_EQ(OneConnector("A"), QuiTesting::ReadText("a.xml"));
        EXPECT_EQ(OneConnector("B"), QuiTesting::ReadText(disabledA));
        EXPECT_EQ(OneConnector("C"), QuiTesting::ReadText("c.xml"));
        RemoveFolder(kDisabled);
    }
}

// A stray file far larger than any connector file is refused unread, named
// to the user once, and the folder's other files load all the same.
TEST_F(Handler, AFileTooLargeForAConnectorIsNamedAndTheOthersLoad)
{
    HMODULE library = LoadLibraryA("QuiRes1033.dll");
    ASSERT_NE(nullptr, library);
    HINSTANCE previous = AfxGetResourceHandle();
    AfxSetResourceHandle(library);
    const std::string huge = OneConnector("Huge") + std::string(kConnectorFileMaxBytes, ' ');
    struct Row {
        const char* folder;
        bool disabled;
    } rows[] = {{"", false}, {kDisabled, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.disabled ? "disabled folder" : "connectors folder");
        GetDisabledConnectorsFolder();
        WriteBytes(std::string(row.folder) + "a.xml", OneConnector("A"));
        WriteBytes(std::string(row.folder) + "huge.xml", huge);
        WriteBytes(std::string(row.folder) + "z.xml", OneConnector("Z"));
        CWebActionHandler handler;
        CPromptScript prompts;
        prompts.AnswerNext(IDOK);
        const std::string names =
            Names(row.disabled ? handler.GetDisabledConnectors()
                               : (handler.LoadConnectors(), handler.GetEnabledConnectors().GetConnectors()));
        EXPECT_EQ("A,Z", names);
        CString format, told;
        format.LoadString(IDS_CONNECTOR_TOO_LARGE);
        told.Format(format, (FullPath(std::string(row.folder) + "huge.xml") + "\r\n").c_str());
        ASSERT_EQ(1u, prompts.Asked().size());
        EXPECT_EQ(told, prompts.Asked()[0].text);
        row.disabled ? handler.LoadDisabledConnectors() : handler.LoadConnectors();
        EXPECT_EQ(1u, prompts.Asked().size()) << "told once, not at every reload";
        EXPECT_EQ(0, prompts.Unexpected());
        RemoveFolder(kDisabled);
        for (const char* file : {"a.xml", "huge.xml", "z.xml"})
            DeleteFileA(file);
    }
    AfxSetResourceHandle(previous);
    FreeLibrary(library);
}

TEST_F(Handler, ReadsTheDisabledFolderBeforeAnythingMovesIntoIt)
{
    Ship("websearch.xml");
    GetDisabledConnectorsFolder();
    Ship("Connectors (Disabled)\\shopping.xml");
    CWebActionHandler handler;
    handler.LoadConnectors();
    CWebConnectorDef search = handler.GetEnabledConnectors().GetConnectors().at(0);
    EXPECT_EQ(1, handler.SetConnectorEnabled(search, 0));
    EXPECT_EQ("Shopping,Web Search", Names(handler.GetDisabledConnectors()));
}

TEST_F(Handler, LoadsTheCacheOfTheCurrentFolder)
{
    CMemFile memory;
    {
        CArchive ar(&memory, CArchive::store);
        CWebActionJug a, b;
        a.m_nId = 1;
        b.m_nId = 2;
        ar << &a << &b << static_cast<CObject*>(nullptr);
    }
    WriteBytes(kWebActionCacheFile, std::string(memory.GetData().begin(), memory.GetData().end()));
    CWebActionHandler handler;
    EXPECT_EQ(2, handler.GetActionList().GetCount());
    // A dialog that changes the current folder later does not move the file.
    const std::string elsewhere = m_folder + "\\elsewhere";
    ASSERT_TRUE(CreateDirectoryA(elsewhere.c_str(), nullptr));
    ASSERT_TRUE(SetCurrentDirectoryA(elsewhere.c_str()));
    handler.GetActionList().Remove(1);
    SetCurrentDirectoryA(m_folder.c_str());
    EXPECT_EQ(1, CWebActionList(kWebActionCacheFile).GetCount());
}

TEST_F(Handler, KeepsTheConnectorCountWithoutWritingItBack)
{
    const char* key = "Software\\Quillmate\\Client\\WebConnectors";
    DWORD count = 0;
    {
        CWebConnectorReg reg;
        EXPECT_EQ(0u, *static_cast<DWORD*>(reg.GetValue(CWebConnectorReg::Count, false)));
    }
    EXPECT_FALSE(QuiRegistry::QueryValue(HKEY_CURRENT_USER, key, "Count", &count, sizeof count));
    {
        CWebConnectorReg reg;
        DWORD three = 3;
        EXPECT_EQ(ERROR_SUCCESS, reg.SetValue(CWebConnectorReg::Count, &three));
    }
    ASSERT_TRUE(QuiRegistry::QueryValue(HKEY_CURRENT_USER, key, "Count", &count, sizeof count));
    EXPECT_EQ(3u, count);
    CWebConnectorReg reg;
    EXPECT_EQ(3u, *static_cast<DWORD*>(reg.GetValue(CWebConnectorReg::Count, false)));
}

} // namespace
