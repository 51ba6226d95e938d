// The uninstall as the uninstaller runs it: the product installed into a
// folder of the prefix, every server registered from there and settings
// written, then Dunlin's export called.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "QuiComTesting.h"
#include "QuiTesting.h"
#include "RegistryBranch.h"
#include "Uninstall.h"

using QuiComTesting::KeyExists;
using QuiComTesting::ProgramFolder;
using QuiComTesting::RegText;
using QuiComTesting::RunProgram;
using QuiTesting::Exists;

namespace {

const char kAppPathKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Quillmate.exe";

const char* const kServers[] = {"Heron.dll", "Godwit.ocx", "Plover.dll", "Finch.ocx"};
const char* const kProgIds[] = {"Heron.Heron.1", "Heron.Heron", "Godwit.GodwitCtrl.1", "Godwit.GodwitCtrl",
                                "Quillmate.Plover.1", "Quillmate.Plover", "Finch.FinchCtrl.1", "Finch.FinchCtrl",
                                "Quillmate.Ozu.1", "Quillmate.Ozu", "Quillmate.Ibe"};

typedef LONG(WINAPI* UninstEntry)(HWND, HANDLE, LONG);

// The identifier of the type library a server file carries.
std::string LibraryId(const std::string& file)
{
    std::wstring path(file.begin(), file.end());
    ITypeLib* library = nullptr;
    if (FAILED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library)))
        return "<none>";
    TLIBATTR* attributes = nullptr;
    std::string id = "<none>";
    if (SUCCEEDED(library->GetLibAttr(&attributes))) {
        wchar_t text[64] = L"";
        StringFromGUID2(attributes->guid, text, 64);
        id.assign(text, text + wcslen(text));
        library->ReleaseTLibAttr(attributes);
    }
    library->Release();
    return id;
}

void Touch(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    CloseHandle(file);
}

class Uninstall : public RegistryBranch {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        m_root = std::string(temp) + "DunlinTest";
        m_folder = m_root + "\\Quillmate";
        dunlin::RemoveFolderTree(m_root);
        CreateDirectoryA(m_root.c_str(), nullptr);
        ASSERT_TRUE(CreateDirectoryA(m_folder.c_str(), nullptr)) << m_folder;
        m_savedPath = RegText(HKEY_LOCAL_MACHINE, kAppPathKey, "PATH");
        m_savedProgram = RegText(HKEY_LOCAL_MACHINE, kAppPathKey, "");
        RegistryBranch::SetUp();
    }
    void TearDown() override
    {
        RegistryBranch::TearDown();
        dunlin::DeleteKeyTree(HKEY_LOCAL_MACHINE, kAppPathKey);
        if (m_savedPath != "<missing>") {
            EXPECT_TRUE(QuiTesting::SetRegText(HKEY_LOCAL_MACHINE, kAppPathKey, "PATH", m_savedPath));
        }
        if (m_savedProgram != "<missing>") {
            EXPECT_TRUE(QuiTesting::SetRegText(HKEY_LOCAL_MACHINE, kAppPathKey, nullptr, m_savedProgram));
        }
        dunlin::RemoveFolderTree(m_root);
    }

    // The files a user's install folder holds, with a sub-folder.
    void Install()
    {
        const char* files[] = {"Heron.dll", "Godwit.ocx", "Plover.dll", "Finch.ocx", "Lark.dll", "Linnet.dll",
                               "Quillmate.exe", "Kestrel.dll"};
        for (const char* file : files)
            ASSERT_TRUE(CopyFileA((ProgramFolder() + file).c_str(), (m_folder + "\\" + file).c_str(), FALSE)) << file;
        std::string connectors = m_folder + "\\Connectors (Disabled)";
        ASSERT_TRUE(CreateDirectoryA(connectors.c_str(), nullptr));
        Touch(connectors + "\\maps.xml");
        Touch(m_folder + "\\keywords.xml");
        SetFileAttributesA((m_folder + "\\keywords.xml").c_str(), FILE_ATTRIBUTE_READONLY);
        EXPECT_TRUE(QuiTesting::SetRegText(HKEY_LOCAL_MACHINE, kAppPathKey, "PATH", m_folder));
    }

    void RegisterServers()
    {
        for (const char* server : kServers) {
            QuiComTesting::ServerLibrary library((m_folder + "\\" + server).c_str());
            ASSERT_TRUE(library.Loaded()) << server;
            ASSERT_HRESULT_SUCCEEDED(library.Register()) << server;
        }
        ASSERT_EQ(0, RunProgram("\"" + ProgramFolder() + "Quillmate.exe\" /RegServer"));
    }

    void WriteSettings(HKEY branch)
    {
        EXPECT_TRUE(QuiTesting::SetRegText(branch, "Software\\Quillmate\\Client", "AliasDb", "keywords.xml"));
        EXPECT_TRUE(
            QuiTesting::SetRegText(branch, "Software\\Quillmate\\Client\\Parser\\Packages", "Date", "Curlew.dll"));
        EXPECT_TRUE(QuiTesting::SetRegText(branch, "Software\\Quillmate\\Heron\\Options", "Server", "local"));
    }

    void RunUninstall()
    {
        HMODULE dunlin = LoadLibraryA("Dunlin.dll");
        ASSERT_TRUE(dunlin);
        auto start = reinterpret_cast<UninstEntry>(GetProcAddress(dunlin, "UninstInitialize"));
        auto end = reinterpret_cast<UninstEntry>(GetProcAddress(dunlin, "UninstUnInitialize"));
        ASSERT_TRUE(start && end);
        EXPECT_EQ(0, start(nullptr, nullptr, 0));
        EXPECT_EQ(0, end(nullptr, nullptr, 0));
        FreeLibrary(dunlin);
    }

    std::string Clsid(const char* progId) { return RegText(HKEY_CLASSES_ROOT, std::string(progId) + "\\CLSID"); }

    std::string m_root, m_folder, m_savedPath, m_savedProgram;
};

TEST_F(Uninstall, RemovesEveryServerSettingAndFile)
{
    Install();
    RegisterServers();
    WriteSettings(HKEY_CURRENT_USER);
    std::vector<std::string> classes;
    for (const char* progId : {"Heron.Heron.1", "Godwit.GodwitCtrl.1", "Quillmate.Plover.1", "Finch.FinchCtrl.1",
                               "Quillmate.Ozu.1"}) {
        ASSERT_NE("<missing>", Clsid(progId)) << progId;
        classes.push_back("CLSID\\" + Clsid(progId));
    }
    ASSERT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "TypeLib\\{AA67EBE5-A97A-11D2-84D7-00A0247B3DBA}"));

    RunUninstall();

    for (const char* progId : kProgIds)
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, progId)) << progId;
    for (const std::string& key : classes)
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key)) << key;
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "TypeLib\\{AA67EBE5-A97A-11D2-84D7-00A0247B3DBA}"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Quillmate"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAppPathKey));
    EXPECT_FALSE(Exists(m_folder));
}

// Each server is found by its registration: without the App Paths value the
// classes and type libraries still go (the folder stays, nothing names it).
// A component that is not registered is not loaded, and its keys stay.
TEST_F(Uninstall, FindsEachServerByItsRegistration)
{
    struct Row {
        const char* what;
        bool appPath;
        bool plover;
    } rows[] = {
        {"no App Paths value", false, true},
        {"Plover not registered", true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CreateDirectoryA(m_folder.c_str(), nullptr);
        Install();
        RegisterServers();
        // Each component's class, and its type library where its own
        // unregistration removes that (Heron keeps its own).
        struct Component {
            const char* progId;
            const char* file;
            bool typeLibrary;
        } components[] = {
            {"Heron.Heron.1", "Heron.dll", false},
            {"Godwit.GodwitCtrl.1", "Godwit.ocx", true},
            {"Quillmate.Plover.1", "Plover.dll", true},
            {"Finch.FinchCtrl.1", "Finch.ocx", true},
        };
        std::map<std::string, std::vector<std::string>> keys;
        for (const Component& component : components) {
            std::vector<std::string>& ofIt = keys[component.progId];
            ofIt.push_back("CLSID\\" + Clsid(component.progId));
            if (component.typeLibrary)
                ofIt.push_back("TypeLib\\" + LibraryId(m_folder + "\\" + component.file));
            for (const std::string& key : ofIt)
                ASSERT_TRUE(KeyExists(HKEY_CLASSES_ROOT, key)) << key;
        }
        if (!row.appPath)
            SHDeleteValueA(HKEY_LOCAL_MACHINE, kAppPathKey, "PATH");
        if (!row.plover)
            SHDeleteKeyA(HKEY_CLASSES_ROOT, "Quillmate.Plover.1");

        RunUninstall();

        for (const auto& component : keys) {
            const bool kept = !row.plover && component.first == "Quillmate.Plover.1";
            for (const std::string& key : component.second)
                EXPECT_EQ(kept, KeyExists(HKEY_CLASSES_ROOT, key)) << key;
        }
        EXPECT_EQ(!row.plover, KeyExists(HKEY_CLASSES_ROOT, "Quillmate.Plover"));
        EXPECT_EQ(row.appPath, !Exists(m_folder));

        // Plover's keys, left by the uninstall, go with a registration of its own.
        if (!row.plover) {
            QuiComTesting::ServerLibrary plover((ProgramFolder() + "Plover.dll").c_str());
            EXPECT_HRESULT_SUCCEEDED(plover.Register());
            EXPECT_HRESULT_SUCCEEDED(plover.Unregister());
        }
        dunlin::RemoveFolderTree(m_folder);
    }
}

TEST_F(Uninstall, KeepsTheProductKeyWhileAnotherComponentHasSettings)
{
    Install();
    WriteSettings(HKEY_CURRENT_USER);
    EXPECT_TRUE(QuiTesting::SetRegText(HKEY_CURRENT_USER, "Software\\Quillmate\\Finch", "User", "Zoe"));

    RunUninstall();

    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Quillmate\\Client"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Quillmate\\Heron"));
    EXPECT_EQ("Zoe", RegText(HKEY_CURRENT_USER, "Software\\Quillmate\\Finch", "User"));
    EXPECT_FALSE(Exists(m_folder));
}

// Only a folder proven to be the install is removed.
TEST_F(Uninstall, RefusesFoldersThatAreNotTheInstall)
{
    Touch(m_folder + "\\keep.txt");
    struct Row {
        std::string path;
    } rows[] = {
        {""}, {"C:\\"}, {"C:"}, {"C:\\windows\\.."}, {m_folder}, {m_folder + "\\"}, {"Quillmate"}, {m_root + "\\none"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_FALSE(dunlin::IsInstallFolder(row.path));
        EXPECT_TRUE(QuiTesting::SetRegText(HKEY_LOCAL_MACHINE, kAppPathKey, "PATH", row.path));
        EXPECT_EQ("", dunlin::InstallFolder());
    }
    // The whole removal, on a folder without the program.
    EXPECT_TRUE(QuiTesting::SetRegText(HKEY_LOCAL_MACHINE, kAppPathKey, "PATH", m_folder));
    RunUninstall();
    EXPECT_TRUE(Exists(m_folder + "\\keep.txt"));
}

TEST_F(Uninstall, InstallFolderIsTheAppPathsValue)
{
    Touch(m_folder + "\\Quillmate.exe");
    struct Row {
        std::string value;
    } rows[] = {{m_folder}, {m_folder + "\\"}, {"\"" + m_folder + "\""}, {m_folder + "\\sub\\.."}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        EXPECT_TRUE(QuiTesting::SetRegText(HKEY_LOCAL_MACHINE, kAppPathKey, "PATH", row.value));
        EXPECT_TRUE(lstrcmpiA(m_folder.c_str(), dunlin::InstallFolder().c_str()) == 0) << dunlin::InstallFolder();
    }
    const std::string tooLong = m_folder + "\\" + std::string(300, 'x');
    EXPECT_TRUE(QuiTesting::SetRegText(HKEY_LOCAL_MACHINE, kAppPathKey, "PATH", tooLong));
    EXPECT_EQ("", dunlin::InstallFolder());
}

// A subkey that cannot be removed leaves its parents but ends the walk.
TEST_F(Uninstall, KeyTreeIsDeletedWhole)
{
    const char* keys[] = {"Software\\Quillmate\\Client\\a\\b\\c", "Software\\Quillmate\\Client\\a\\d",
                          "Software\\Quillmate\\Client\\e"};
    for (const char* key : keys)
        EXPECT_TRUE(QuiTesting::SetRegText(HKEY_CURRENT_USER, key, "v", "x")) << key;
    EXPECT_TRUE(dunlin::DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Quillmate\\Client"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Quillmate\\Client"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Quillmate"));
    EXPECT_FALSE(dunlin::DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Quillmate\\Client"));
}

bool IsDirectoryLink(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool UnderWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// Under Wine, the host's name of a path; empty elsewhere.
std::string HostPath(const std::string& path)
{
    typedef char*(CDECL * UnixName)(const wchar_t*);
    auto unixName =
        reinterpret_cast<UnixName>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    if (!unixName)
        return std::string();
    std::wstring wide(path.begin(), path.end());
    char* name = unixName(wide.c_str());
    std::string result = name ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Runs a host program under Wine and waits until done() holds: Wine gives
// no handle to wait on for a host process.
bool RunOnHost(std::string command, const std::function<bool()>& done)
{
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process.hThread)
        CloseHandle(process.hThread);
    if (process.hProcess)
        CloseHandle(process.hProcess);
    return QuiTesting::PumpUntil(done, 10000, nullptr, nullptr, 20);
}

// Makes `link` a directory link to `target`; empty when it is one, else why
// not. Wine's CreateSymbolicLink answers TRUE but makes nothing, and Wine
// refuses to set a junction (FSCTL_SET_REPARSE_POINT, error 50); it does show
// a host symbolic link to a folder as a directory link, so there the host's
// ln makes one.
std::string MakeDirectoryLink(const std::string& link, const std::string& target)
{
    typedef BOOLEAN(WINAPI * MakeLink)(const char*, const char*, DWORD);
    auto makeLink =
        reinterpret_cast<MakeLink>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkA"));
    // A directory link, made without the privilege where the system allows it.
    if (makeLink && makeLink(link.c_str(), target.c_str(), 0x1 | 0x2) && IsDirectoryLink(link))
        return std::string();
    if (!UnderWine())
        return "CreateSymbolicLinkA made no directory link (error " + std::to_string(GetLastError()) + ")";
    // The link does not exist yet: its folder's host name, then its own name.
    size_t slash = link.rfind('\\');
    std::string command = "/bin/ln -s \"" + HostPath(target) + "\" \"" + HostPath(link.substr(0, slash)) + "/" +
                          link.substr(slash + 1) + "\"";
    if (!RunOnHost(command, [&] { return IsDirectoryLink(link); }))
        return "the host's ln made no link that Wine shows as a directory link";
    return std::string();
}

// A link inside the install folder is never followed: what it points to
// stays whole, while everything of the folder's own goes.
TEST_F(Uninstall, LinksOutOfTheFolderAreNotFollowed)
{
    std::string outside = m_root + "\\outside";
    ASSERT_TRUE(CreateDirectoryA(outside.c_str(), nullptr));
    Touch(outside + "\\precious.txt");
    Touch(m_folder + "\\Quillmate.exe");
    ASSERT_TRUE(CreateDirectoryA((m_folder + "\\sub").c_str(), nullptr));
    Touch(m_folder + "\\sub\\ours.txt");
    std::string link = m_folder + "\\linked";
    std::string why = MakeDirectoryLink(link, outside);
    if (!why.empty())
        GTEST_SKIP() << why;

    dunlin::RemoveFolderTree(m_folder);

    EXPECT_TRUE(Exists(outside + "\\precious.txt"));
    EXPECT_FALSE(Exists(m_folder + "\\Quillmate.exe"));
    EXPECT_FALSE(Exists(m_folder + "\\sub"));
    if (!UnderWine()) {
        EXPECT_FALSE(Exists(link));
        EXPECT_FALSE(Exists(m_folder));
        return;
    }
    // Wine's RemoveDirectory acts on a link's target (refused here, as it is
    // not empty), never on the link: the link and its folder stay, and the
    // host takes the link away.
    EXPECT_TRUE(IsDirectoryLink(link));
    EXPECT_TRUE(RunOnHost("/bin/rm \"" + HostPath(link) + "\"", [&] { return !Exists(link); }));
}

} // namespace
