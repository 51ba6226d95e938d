// The update hand-off: the updater's command file and start, and the list of
// fetched files it hands back: accepted, refused and malicious lines, the
// question that shows what will change, the user's answer, failed copies,
// the new connectors' report and the reload.
#include "AppTestSupport.h"

#include <cstdio>
#include <cstring>

#include "ClientRegistry.h"
#include "UpdateHandoff.h"
#include "QuiTesting.h"

using namespace app_test;

namespace {

using QuiTesting::Exists;
using QuiTesting::ReadText;
using QuiTesting::WriteText;

std::string Connector(const std::string& menu)
{
    return "<CONNECTOR MENUSTRING=\"" + menu + " site\">\n<SUBTYPE MENUSTRING=\"" + menu +
           "\" METHOD=\"GET\" ACTION=\"http://example.com/?q=$:querystring\" >\n</SUBTYPE>\n</CONNECTOR>\n";
}

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

class UpdateHandoff : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        QuiInstallUpdateHandoff();
        ASSERT_TRUE(Start());
        char folder[MAX_PATH];
        ::GetCurrentDirectoryA(MAX_PATH, folder);
        home = folder;
        downloads = home + "\\" + kUpdateDownloadFolder;
        ::CreateDirectoryA(downloads.c_str(), nullptr);
        CTrayWnd::s_bUpdateAskedByUser = FALSE;
    }

    void TearDown() override
    {
        CTrayWnd::SetUpdateNotifyHandler(nullptr);
        CTrayWnd::s_bUpdateAskedByUser = FALSE;
        AppFixture::TearDown();
    }

    // A fetched file in the download folder.
    std::string Fetched(const std::string& name, const std::string& text)
    {
        std::string path = downloads + "\\" + name;
        WriteText(path, text);
        return path;
    }

    LRESULT Notify() { return app->Tray()->SendMessage(QUI_UPD_NOTIF, 0, 0); }

    int Syncs() const { return g_script.syncs; }

    std::string home;
    std::string downloads;
};

TEST(UpdaterOptions, EachFolderIsWrittenAsTheUpdaterReadsIt)
{
    struct Row {
        const char* current;
        const char* connectors;
        const char* images;
        const char* expected;
    } rows[] = {
        {"C:\\Quill", "", "", "-p:C:\\Quill\n-c:C:\\Quill\n-x\n-s\n-g:C:\\Quill\n "},
        {"C:\\Quill\\", "D:\\Conn\\", "E:\\Pics\\", "-p:C:\\Quill\n-c:D:\\Conn\n-x\n-s\n-g:E:\\Pics\\\n "},
        // A root keeps its backslash: "C:" alone is the drive's current folder.
        {"C:\\", "", "", "-p:C:\\\n-c:C:\\\n-x\n-s\n-g:C:\\\n "},
        {"C:\\Quill", "D:\\", "", "-p:C:\\Quill\n-c:D:\\\n-x\n-s\n-g:C:\\Quill\n "},
    };
    for (const Row& row : rows) {
        CString text = BuildUpdaterOptions("http://cat/c.txt", row.current, row.connectors, row.images);
        EXPECT_EQ(std::string("-i:http://cat/c.txt\n-m:QUIUPDATED_FILES\n-n:QUI_UPD_NOTIF\n") + row.expected,
                  text.GetString())
            << row.current << " | " << row.connectors;
    }
}

TEST_F(UpdateHandoff, AListFromOutsideTheFoldersIsRefusedAndNothingIsTouched)
{
    std::string elsewhere = home + "\\elsewhere.xml";
    WriteText(elsewhere, Connector("Outside"));
    std::string good = Fetched("good.xml", Connector("Good"));
    // Other names of the item files, which name the same file: a row whose
    // name this volume cannot give (no short names, no hard links) is left out.
    const std::string items[] = {home + "\\QuiSystem.xml", home + "\\keywords.xml"};
    std::string kept[2];
    for (int i = 0; i < 2; ++i) {
        if (!Exists(items[i]))
            WriteText(items[i], "kept");
        kept[i] = ReadText(items[i]);
    }
    std::string linked = home + "\\linked.xml";
    if (!::CreateHardLinkA(linked.c_str(), items[1].c_str(), nullptr))
        linked.clear();
    // The short name in the folder as the list names it.
    char shortPath[MAX_PATH] = "";
    std::string shortName;
    if (::GetShortPathNameA(items[0].c_str(), shortPath, MAX_PATH) && std::strrchr(shortPath, '\\') &&
        _stricmp(std::strrchr(shortPath, '\\'), "\\QuiSystem.xml") != 0)
        shortName = home + std::strrchr(shortPath, '\\');
    struct Row {
        std::string line;
        const char* why;
    } rows[] = {
        {Quoted(elsewhere) + "," + Quoted(home + "\\new1.xml"), "source outside the download folder"},
        {Quoted(downloads + "\\..\\elsewhere.xml") + "," + Quoted(home + "\\new2.xml"), "source climbing out"},
        {Quoted(good) + "," + Quoted("C:\\windows\\new3.xml"), "absolute destination elsewhere"},
        {Quoted(good) + "," + Quoted(home + "\\sub\\..\\..\\new4.xml"), "destination climbing out"},
        {Quoted(good) + "," + Quoted(home + "\\QuiSystem.xml"), "the system item file"},
        {Quoted(good) + "," + Quoted(home + "\\keywords.xml"), "the keyword file"},
        {Quoted(good) + "," + Quoted(home + "\\Quillmate.exe"), "not a connector or picture"},
        {Quoted(good) + "," + Quoted(home + "\\new5.xml:stream"), "a stream"},
        {Quoted(good) + "," + Quoted(home + "\\KEYWORDS.XML. "), "the keyword file in capitals, a dot and a blank"},
        {Quoted(good) + "," + Quoted(home + "\\Updates\\..\\QuiSystem.xml"), "the system item file climbed to"},
        {!shortName.empty() ? Quoted(good) + "," + Quoted(shortName) : "", "the system item file's short name"},
        {!linked.empty() ? Quoted(good) + "," + Quoted(linked) : "", "a hard link to the keyword file"},
    };
    for (const Row& row : rows) {
        if (row.line.empty()) {
            std::printf("left out: %s\n", row.why);
            continue;
        }
        WriteText(good, Connector("Good"));
        WriteText(kUpdatedFilesList, row.line + "\n");
        CPromptScript prompts;
        int syncs = Syncs();
        EXPECT_EQ(1, Notify());
        // Nothing that could be installed: nothing to ask about.
        EXPECT_EQ(std::vector<std::string>{}, Texts(prompts)) << row.why;
        EXPECT_EQ(syncs, Syncs()) << row.why;
        EXPECT_TRUE(Exists(elsewhere)) << row.why;
        EXPECT_TRUE(Exists(good)) << row.why;
        for (const char* name : {"new1.xml", "new2.xml", "new4.xml", "new5.xml"})
            EXPECT_FALSE(Exists(home + "\\" + name)) << row.why;
        EXPECT_FALSE(Exists("C:\\windows\\new3.xml")) << row.why;
        EXPECT_FALSE(Exists(kUpdatedFilesList)) << row.why;
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(kept[i], ReadText(items[i])) << row.why;
    }
}

// Answers as scripted, after the updater has fetched a file again while the
// question is open.
class FetchedAgainWhileAsked : public CPromptScript {
public:
    std::string path, bytes;
    CPromptAnswer Respond(const CPromptRequest& request) override
    {
        if (!path.empty())
            WriteText(path, bytes);
        path.clear();
        return CPromptScript::Respond(request);
    }
};

TEST_F(UpdateHandoff, AcceptedFilesAreAskedAboutCopiedReportedAndTheDatastoreReloaded)
{
    std::string login = "<CONNECTOR MENUSTRING=\"Calendar site\">\n<SUBTYPE MENUSTRING=\"Calendar\" "
                        "ACTION=\"http://cal/\" >\n</SUBTYPE>\n<SUBTYPE MENUSTRING=\"yahoo login\" WEBACTION=\"hidden\" "
                        "ACTION=\"http://elsewhere/?p=$:password\" >\n</SUBTYPE>\n</CONNECTOR>\n";
    const std::string replaces = " " + Message(IDS_UPDATE_REPLACES);
    // CR LF line ends, quoted and unquoted lines; connectors and pictures,
    // new and replacing; every subtype named, the hidden login's too.
    struct Row {
        const char* name;
        std::string fetched;
        const char* had;        // null: no file there
        std::string asked;      // its line of the question; empty: not shown
        bool fetchedAgain;      // other bytes arrive while the question is open
    } rows[] = {
        {"maps.xml", Connector("map it"), nullptr, "maps.xml: \"map it\"", false},
        {"old.xml", Connector("Renewed"), "old", "old.xml" + replaces + ": \"Renewed\"", false},
        {"pin.gif", "GIF89a", nullptr, "pin.gif", false},
        {"cal.xml", login, "the user's calendar", "cal.xml" + replaces + ": \"Calendar\", \"yahoo login\"", false},
        {"logo.png", "PNG new", "PNG old", "logo.png" + replaces, false},
        {"late.xml", Connector("Shown"), "kept", "late.xml" + replaces + ": \"Shown\"", true},
        {"twice.xml", Connector("Second"), nullptr, "", false},   // its destination is listed already
    };
    FetchedAgainWhileAsked prompts;
    std::string list, question = Message(IDS_UPDATE_ASK_INSTALL) + "\r\n";
    for (const Row& row : rows) {
        if (row.had)
            WriteText(home + "\\" + row.name, row.had);
        std::string fetched = Fetched(row.name, row.fetched);
        std::string destination = home + "\\" + (row.asked.empty() ? "maps.xml" : row.name);
        bool quoted = &row - rows != 1;
        list += (quoted ? Quoted(fetched) + "," + Quoted(destination) : fetched + "," + destination) + "\r\n";
        if (!row.asked.empty())
            question += "\r\n" + row.asked;
        if (row.fetchedAgain) {
            prompts.path = fetched;
            prompts.bytes = Connector("Not shown");
        }
    }
    WriteText(kUpdatedFilesList, list);
    prompts.AnswerNext(IDYES);
    prompts.AnswerNext(IDOK);
    int syncs = Syncs();
    Notify();
    ASSERT_EQ(2u, prompts.Asked().size());
    EXPECT_EQ(question, prompts.Asked()[0].text.GetString());
    EXPECT_EQ(UINT(MB_YESNO | MB_SYSTEMMODAL), prompts.Asked()[0].nType);
    EXPECT_EQ(Message(IDS_UPDATE_NEW_CONNECTORS) + "\r\nmap it\r\n" + Message(IDS_UPDATE_NEW_CONNECTORS_END),
              prompts.Asked()[1].text.GetString());
    for (const Row& row : rows) {
        bool installed = !row.asked.empty() && !row.fetchedAgain;
        if (!row.asked.empty()) {
            EXPECT_EQ(installed ? row.fetched : row.had, ReadText(home + "\\" + row.name)) << row.name;
        }
        EXPECT_EQ(!installed, Exists(downloads + "\\" + row.name)) << row.name;
    }
    EXPECT_EQ(syncs + 1, Syncs());
}

TEST_F(UpdateHandoff, NoDeletesNothingAndCopiesNothing)
{
    std::string fetched = Fetched("maps.xml", Connector("map it"));
    WriteText(kUpdatedFilesList, Quoted(fetched) + "," + Quoted(home + "\\maps.xml") + "\n");
    CPromptScript prompts;
    prompts.AnswerNext(IDNO);
    int syncs = Syncs();
    Notify();
    EXPECT_EQ(1u, prompts.Asked().size());
    EXPECT_TRUE(Exists(fetched));
    EXPECT_FALSE(Exists(home + "\\maps.xml"));
    EXPECT_EQ(syncs, Syncs());
}

TEST_F(UpdateHandoff, AFailedCopyKeepsItsSourceAndIsReported)
{
    std::string fetched = Fetched("locked.xml", Connector("Locked"));
    // A folder in the way: no copy can replace it (a read-only file does not
    // stop a copy made as root under Wine).
    std::string target = home + "\\locked.xml";
    ASSERT_TRUE(::CreateDirectoryA(target.c_str(), nullptr));
    WriteText(kUpdatedFilesList, Quoted(fetched) + "," + Quoted(target) + "\n");
    CPromptScript prompts;
    prompts.AnswerNext(IDYES);
    prompts.AnswerNext(IDOK);
    int syncs = Syncs();
    Notify();
    ASSERT_EQ(2u, prompts.Asked().size());
    EXPECT_EQ(Message(IDS_UPDATE_COPY_FAILED) + "\r\n" + target, prompts.Asked()[1].text.GetString());
    EXPECT_TRUE(Exists(fetched));
    EXPECT_TRUE(::GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(syncs, Syncs());
}

TEST_F(UpdateHandoff, AnEmptyListIsToldOnlyWhenTheUserAskedAndTheRequestIsAnsweredOnEveryPath)
{
    struct Row {
        BOOL asked;
        const char* list;   // null: no list file at all
        std::vector<std::string> told;
    } rows[] = {
        {TRUE, "", {Message(IDS_UPDATE_NOTHING_NEW)}},
        {FALSE, "", {}},
        {TRUE, nullptr, {}},
        {TRUE, "\r\n", {Message(IDS_UPDATE_NOTHING_NEW)}},
        {FALSE, "\"Updates\\missing.xml\",\"new.xml\"\r\n", {}},
    };
    for (const Row& row : rows) {
        CTrayWnd::s_bUpdateAskedByUser = row.asked;
        if (row.list)
            WriteText(kUpdatedFilesList, row.list);
        CPromptScript prompts;
        prompts.AnswerNext(IDYES);
        Notify();
        EXPECT_EQ(row.told, Texts(prompts)) << (row.list ? row.list : "(none)");
        EXPECT_FALSE(CTrayWnd::s_bUpdateAskedByUser);
        EXPECT_FALSE(Exists(kUpdatedFilesList));
    }
}

TEST_F(UpdateHandoff, TheNewConnectorListBreaksAfterEveryThirdNameFromTheFourth)
{
    CStringArray paths;
    for (const char* name : {"a", "b", "c", "d", "e"}) {
        std::string path = home + "\\" + name + ".xml";
        WriteText(path, Connector(name));
        paths.Add(path.c_str());
    }
    paths.Add((home + "\\missing.xml").c_str());
    EXPECT_EQ("a, b, c, d, \r\ne", std::string(BuildNewConnectorList(paths).GetString()));
    paths.RemoveAt(4, 2);
    EXPECT_EQ("a, b, c, d\r\n", std::string(BuildNewConnectorList(paths).GetString()));
}

TEST_F(UpdateHandoff, AnUpdaterThatCannotStartKeepsTheDateAndLeavesNoCommandFile)
{
    ClientRegistry& settings = *app->GetSettings();
    double before = 1234.0;
    settings.SetValue(ClientRegistry::PintailDate, &before);
    settings.SetValue(ClientRegistry::PintailExe, "NoSuchUpdater.exe");
    EXPECT_FALSE(QuiStartUpdater(settings, 46000.0));
    double after = 0;
    std::memcpy(&after, settings.GetValue(ClientRegistry::PintailDate, true), sizeof after);
    EXPECT_EQ(before, after);
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA("qup*.tmp", &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, search) << found.cFileName;
    if (search != INVALID_HANDLE_VALUE)
        ::FindClose(search);
    // Through the menu's command: the request is answered at once.
    app->Tray()->SendMessage(WM_COMMAND, ID_TRAY_UPDATE_NOW, 0);
    EXPECT_FALSE(CTrayWnd::s_bUpdateAskedByUser);
}

// The real updater, started from the program's folder (this test's current
// folder has none), fetches from a local catalogue, writes its list and
// broadcasts; the hand-off installs the new connector.
TEST_F(UpdateHandoff, TheUpdaterFetchesFromALocalCatalogueAndTheHandOffInstallsIt)
{
    std::string catalog = home + "\\catalog";
    ::CreateDirectoryA(catalog.c_str(), nullptr);
    WriteText(catalog + "\\list.txt", "; the catalogue\r\nweather.xml\r\n..\\escape.xml\r\n");
    WriteText(catalog + "\\weather.xml", Connector("weather"));
    ClientRegistry& settings = *app->GetSettings();
    settings.SetValue(ClientRegistry::PintailCatalog, (catalog + "\\list.txt").c_str());
    settings.SetValue(ClientRegistry::PintailExe, "Pintail.exe");
    ASSERT_FALSE(Exists(home + "\\Pintail.exe"));
    CPromptScript prompts;
    prompts.AnswerNext(IDYES);
    prompts.AnswerNext(IDOK);
    ASSERT_TRUE(QuiStartUpdater(settings, 46000.0));
    double stored = 0;
    std::memcpy(&stored, settings.GetValue(ClientRegistry::PintailDate, true), sizeof stored);
    EXPECT_EQ(46000.0, stored);
    QuiTesting::PumpUntil([&] { return prompts.Asked().size() >= 2; }, 60000);
    ASSERT_EQ(2u, prompts.Asked().size());
    EXPECT_EQ(Message(IDS_UPDATE_NEW_CONNECTORS) + "\r\nweather\r\n" + Message(IDS_UPDATE_NEW_CONNECTORS_END),
              prompts.Asked()[1].text.GetString());
    EXPECT_EQ(Connector("weather"), ReadText(home + "\\weather.xml"));
    EXPECT_FALSE(Exists(home + "\\escape.xml"));
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA("qup*.tmp", &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, search) << "the command file is gone";
    if (search != INVALID_HANDLE_VALUE)
        ::FindClose(search);
}

} // namespace
