// The datastore base over a small test edition: the item files (system file
// from the resource library, keyword file merged over it and written back),
// edition names, the live counter and the item record control check.
#include <algorithm>

#include "DatastoreTestSupport.h"
#include "QuiTesting.h"
#include "QuillmateExcept.h"

using namespace datastore_test;

namespace {

//--- the system item file

TEST_F(Datastore, FirstStartWritesTheSystemFileFromTheResourceAndReadsIt)
{
    TestDatastore store;
    store.RegisterTypes();
    QuiItem* business = store.AddItem(kCategoryType, "cat-1", "Business");

    EXPECT_TRUE(store.LoadItemDatabase());

    EXPECT_EQ(ResourceItemFile(), ReadBytes("QuiSystem.xml"));
    EXPECT_FALSE(Exists("QuiSystem.xml.tmp"));
    EXPECT_EQ("business|work|office|client", Keywords(business));
    EXPECT_EQ(3, business->getFlags());
    EXPECT_EQ(std::vector<std::string>({"cat-1"}), ItemIds(store.GetItemList()))
        << "the system file amends items and never adds them";
}

TEST_F(Datastore, AnExistingSystemFileIsReadAsItStands)
{
    std::string own = ItemFile(Record(kCategoryType, "", "Business", "trade", "0x0001"));
    WriteBytes("QuiSystem.xml", own);
    TestDatastore store;
    store.RegisterTypes();
    QuiItem* business = store.AddItem(kCategoryType, "cat-1", "Business");

    EXPECT_TRUE(store.LoadItemDatabase());

    EXPECT_EQ(own, ReadBytes("QuiSystem.xml"));
    EXPECT_EQ("trade", Keywords(business));
}

TEST_F(Datastore, TheSystemFileNamedBySettingIsUsed)
{
    SetSetting("DefaultKwDb", "system-items.xml");
    TestDatastore store;
    EXPECT_TRUE(store.LoadItemDatabase());
    EXPECT_EQ(ResourceItemFile(), ReadBytes("system-items.xml"));
    EXPECT_FALSE(Exists("QuiSystem.xml"));
}

// The size of a settings value as the registry holds it; 0 when it lacks it.
DWORD StoredSize(const char* name)
{
    DWORD size = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Quillmate\\Client", name, RRF_RT_ANY, nullptr, nullptr, &size) !=
        ERROR_SUCCESS)
        return 0;
    return size;
}

TEST_F(Datastore, ReadingTheItemFilesSettingsWritesNoSetting)
{
    // Another program's text that the settings table cannot take.
    SetSetting("PintailExe", std::string(1000, 'y'));
    TestDatastore store;
    store.RegisterTypes();
    store.AddItem(kCategoryType, "cat-1", "Business")->setDirty(true);
    EXPECT_TRUE(store.LoadItemDatabase());
    EXPECT_TRUE(store.SaveKeywordFile());
    EXPECT_TRUE(Exists("keywords.xml"));
    EXPECT_EQ(1001u, StoredSize("PintailExe"));
    EXPECT_EQ(0u, StoredSize("ActivePIM"));
}

TEST_F(Datastore, NoSystemFileSettingLoadsNothing)
{
    SetSetting("DefaultKwDb", "");
    TestDatastore store;
    EXPECT_FALSE(store.LoadItemDatabase());
    EXPECT_FALSE(Exists("QuiSystem.xml"));
}

// A library without the item file, or with an empty one, must not leave an
// empty file behind: that would keep the real one from ever being written.
TEST_F(Datastore, MissingOrEmptyResourceWritesNoFileAndALaterStartWritesIt)
{
    struct Row {
        const char* what;
        HINSTANCE resources;
    } rows[] = {
        {"missing", GetModuleHandleA("kernel32.dll")},
        {"empty", GetModuleHandleA(nullptr)},
    };
    HRSRC emptyResource = FindResourceA(rows[1].resources, MAKEINTRESOURCEA(IDR_DEFAULT_ITEMFILE), QUI_RES_KWDB_TYPE);
    ASSERT_NE(nullptr, emptyResource);
    ASSERT_EQ(0u, SizeofResource(rows[1].resources, emptyResource));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        AfxSetResourceHandle(row.resources);
        {
            TestDatastore store;
            EXPECT_TRUE(store.LoadItemDatabase());
            EXPECT_EQ(0u, ItemIds(store.GetItemList()).size());
        }
        EXPECT_FALSE(Exists("QuiSystem.xml"));
        EXPECT_FALSE(Exists("QuiSystem.xml.tmp"));

        AfxSetResourceHandle(m_library);
        TestDatastore store;
        EXPECT_TRUE(store.LoadItemDatabase());
        EXPECT_EQ(ResourceItemFile(), ReadBytes("QuiSystem.xml"));
        DeleteFileA("QuiSystem.xml");
    }
}

TEST_F(Datastore, ASystemFileThatCannotBeCreatedRaisesTheFileException)
{
    SetSetting("DefaultKwDb", "no such folder\\QuiSystem.xml");
    TestDatastore store;
    bool raised = false;
    try {
        store.LoadItemDatabase();
    } catch (CFileException* e) {
        raised = true;
        e->Delete();
    }
    EXPECT_TRUE(raised);
}

//--- the keyword file

// The system items every merge test starts from.
class KeywordFile : public Datastore {
protected:
    // bSync: the web action items of the connectors in the folder too.
    void Load(TestDatastore& store, const std::string& keywordRecords, bool bSync = false)
    {
        WriteBytes("QuiSystem.xml", ItemFile(Record(kLineType, "", "Lunch", "lunch", "0x0001") +
                                             Record(kLineType, "", "Dinner", "dinner", "0x0001")));
        WriteBytes("keywords.xml", ItemFile(keywordRecords));
        store.RegisterTypes();
        store.AddItem(kLineType, "lunch-id", "Lunch");
        store.AddItem(kLineType, "dinner-id", "Dinner");
        store.AddItem(kCategoryType, "other-id", "Lunch");
        if (bSync)
            store.SyncItems();
        ASSERT_TRUE(store.LoadItemDatabase());
    }
};

TEST_F(KeywordFile, EntriesAmendItemsByIdentifierOrByTypeAndNameAndNeverAddThem)
{
    struct Row {
        const char* what;
        std::string record;
        const char* item;        // the item amended, "" for none
        const char* keywords;    // its keywords afterwards
        int flags;
    } rows[] = {
        {"by identifier, under another name", Record(kLineType, "lunch-id", "Brunch", "midday", "0x0002"),
         "lunch-id", "midday", 2},
        {"by type and name", Record(kLineType, "unknown-id", "Dinner", "supper", "0x0003"), "dinner-id",
         "supper", 3},
        {"name in another case", Record(kLineType, "unknown-id", "dinner", "supper", "0x0003"), "", "", 0},
        {"name of another type", Record(kCategoryType, "unknown-id", "Dinner", "supper", "0x0003"), "", "", 0},
        {"type not registered", Record("0BADBAD0-0000-4000-8000-000000000000", "lunch-id", "Lunch", "x", "0x0"),
         "", "", 0},
        {"matches nothing", Record(kLineType, "new-id", "Breakfast", "morning", "0x0001"), "", "", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        {
            TestDatastore store;
            Load(store, row.record);
            EXPECT_EQ(std::vector<std::string>({"other-id", "lunch-id", "dinner-id"}), ItemIds(store.GetItemList()));
            if (*row.item) {
                QuiItem* item = store.Item(row.item);
                EXPECT_EQ(row.keywords, Keywords(item));
                EXPECT_EQ(row.flags, item->getFlags());
                EXPECT_TRUE(item->getDirty());
                EXPECT_STREQ(row.item[0] == 'l' ? "Lunch" : "Dinner", item->getDisplayName())
                    << "the display name comes from the system file";
            } else {
                EXPECT_FALSE(store.Item("lunch-id")->getDirty());
                EXPECT_FALSE(store.Item("dinner-id")->getDirty());
            }
        }
        std::string written = ReadBytes("keywords.xml");
        if (*row.item) {
            EXPECT_NE(std::string::npos, written.find(std::string("<ID>") + row.item + "</ID>")) << written;
            EXPECT_EQ(std::string::npos, written.find(row.item[0] == 'l' ? "dinner-id" : "lunch-id")) << written;
        } else {
            EXPECT_EQ(ItemFile(row.record), written) << "nothing dirty: the file stays as it was";
        }
    }
}

// The keyword file knows nothing of the back end: an amended item keeps what
// ties it to its back-end entry.
TEST_F(KeywordFile, AnAmendedItemKeepsItsForeignKey)
{
    TestDatastore store;
    store.RegisterTypes();
    QuiItem* lunch = store.AddItem(kLineType, "lunch-id", "Lunch");
    QuiForeignKey* key = reinterpret_cast<QuiForeignKey*>(&store);
    lunch->setForeignKey(key);
    WriteBytes("QuiSystem.xml", ItemFile(""));
    WriteBytes("keywords.xml", ItemFile(Record(kLineType, "lunch-id", "Lunch", "midday", "0x0001")));

    ASSERT_TRUE(store.LoadItemDatabase());

    EXPECT_EQ("midday", Keywords(lunch));
    EXPECT_EQ(key, lunch->getForeignKey());
}

// A record as the item file writer lays it out: tags in order, four spaces
// a level. Written back unchanged, it comes back as the same text.
std::string LaidOut(const char* type, const char* id, const char* name, const char* keyword, const char* other)
{
    return std::string("    <ITEM>\n        <ID>") + id + "</ID>\n        <KEYWORDS>\n            <KEYWORD>" + keyword +
           "</KEYWORD>\n        </KEYWORDS>\n        <NAME>" + name + "</NAME>\n" + other + "        <TYPE>" +
           type + "</TYPE>\n    </ITEM>\n";
}

std::string WithoutCarriageReturns(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

size_t Occurrences(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// What this run cannot match (a list that did not load, an edition without
// those types, a connector that is off) is still the user's: the exit writes
// it back as it was read, beside the items this run changed. So is what an
// item of this run took from the file before it was taken out again.
TEST_F(KeywordFile, RecordsThisRunCannotMatchSurviveTheExit)
{
    const char* unregistered = "0BADBAD0-0000-4000-8000-000000000000";
    enum Out { stays, byViewer, bySync };
    struct Row {
        const char* what;
        std::string record;
        Out out;             // how the record's item leaves the item list, if it does
        std::string kept;    // text the written file holds once
        const char* once;    // an identifier the written file names exactly once
        const char* absent;  // text the written file does not hold
    } rows[] = {
        {"a record whose type is not registered this run",
         LaidOut(unregistered, "palm-cat", "Errands", "errand", "        <PALMCAT>7</PALMCAT>\n"), stays,
         LaidOut(unregistered, "palm-cat", "Errands", "errand", "        <PALMCAT>7</PALMCAT>\n"), "palm-cat", ""},
        {"a record of a registered type that matches no item",
         LaidOut(kLineType, "breakfast-id", "Breakfast", "morning", ""), stays,
         LaidOut(kLineType, "breakfast-id", "Breakfast", "morning", ""), "breakfast-id", ""},
        {"a matched record, written from its item once", Record(kLineType, "dinner-id", "Supper", "supper", "0x0003"),
         stays, "<NAME>Dinner</NAME>", "dinner-id", "Supper"},
        {"an item removed in the viewer", Record(kLineType, "dinner-id", "Supper", "supper", "0x0003"), byViewer,
         "<KEYWORD>supper</KEYWORD>", "dinner-id", "Supper"},
        {"a web action a sync took out when its connector went",
         Record(WEB_ACTION_TYPE_ID, "Shop_buy", "buy", "shopping", "0x0001"), bySync, "<KEYWORD>shopping</KEYWORD>",
         "Shop_buy", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.out == bySync)
            WriteBytes("shop.xml", "<VERSION=1.0>\n<CONNECTOR MENUSTRING=\"Shop\">\n<SUBTYPE MENUSTRING=\"buy\" "
                                   "METHOD=\"GET\" ACTION=\"http://e.example/\" >\n</SUBTYPE>\n</CONNECTOR>\n");
        {
            TestDatastore store;
            Load(store, Record(kLineType, "lunch-id", "Lunch", "midday", "0x0001") + row.record, row.out == bySync);
            std::vector<std::string> ids = ItemIds(store.GetItemList());
            std::sort(ids.begin(), ids.end());
            std::vector<std::string> expected = {"dinner-id", "lunch-id", "other-id"};
            if (row.out == bySync)
                expected.insert(expected.begin(), "Shop_buy");
            EXPECT_EQ(expected, ids) << "the keyword file adds no item";
            if (row.out == byViewer) {
                ASSERT_TRUE(store.RemoveItem(store.Item("dinner-id")));
                ASSERT_TRUE(store.LoadItemDatabase());
            }
            if (row.out == bySync) {
                ASSERT_TRUE(DeleteFileA("shop.xml"));
                store.SyncItems();
                EXPECT_EQ(nullptr, store.Item("Shop_buy"));
            }
        }
        const std::string written = WithoutCarriageReturns(ReadBytes("keywords.xml"));
        EXPECT_EQ(1u, Occurrences(written, row.kept)) << written;
        EXPECT_EQ(1u, Occurrences(written, std::string("<ID>") + row.once + "</ID>")) << written;
        EXPECT_EQ(1u, Occurrences(written, "<KEYWORD>midday</KEYWORD>")) << written;
        if (*row.absent) {
            EXPECT_EQ(std::string::npos, written.find(row.absent)) << written;
        }
    }
}

// A keyword file that cannot be read is never replaced: it goes aside at
// load, before a save could write over it, and the user is told once where.
// The next save then writes what this run has.
TEST_F(KeywordFile, AnUnreadableFileIsKeptAsideAndTold)
{
    const std::string items = ItemFile(Record(kLineType, "lunch-id", "Lunch", "midday", "0x0001"));
    struct Row {
        const char* what;
        const char* content;   // null: no file
        const char* older;     // an older file kept aside, null: none
        const char* aside;     // where the file goes, "" when it stays
        UINT told;             // the message, 0 for none
        bool held;             // another program holds the file open
    } rows[] = {
        {"no file", nullptr, nullptr, "", 0, false},
        {"an empty file", "", nullptr, "keywords.xml.bad", IDS_KEYWORDS_KEPT_ASIDE, false},
        {"a comment", "<!-- mine -->\n", nullptr, "keywords.xml.bad", IDS_KEYWORDS_KEPT_ASIDE, false},
        {"an XML declaration", "<?xml version=\"1.0\"?>\n", nullptr, "keywords.xml.bad", IDS_KEYWORDS_KEPT_ASIDE,
         false},
        {"a cut end", "cut", nullptr, "keywords.xml.bad", IDS_KEYWORDS_KEPT_ASIDE, false},
        {"a stray '<'", "<", nullptr, "keywords.xml.bad", IDS_KEYWORDS_KEPT_ASIDE, false},
        {"an older file kept aside", "<!-- mine -->\n", "older", "keywords.xml.bad2", IDS_KEYWORDS_KEPT_ASIDE, false},
        {"a file that cannot be put aside", "<!-- mine -->\n", nullptr, "", IDS_KEYWORDS_NOT_KEPT_ASIDE, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        for (const char* name : {"keywords.xml", "keywords.xml.bad", "keywords.xml.bad2"})
            DeleteFileA(name);
        WriteBytes("QuiSystem.xml", ItemFile(""));
        std::string content;
        if (row.content) {
            const std::string text = row.content;
            if (text == "cut")
                content = items.substr(0, items.size() - 20);
            else if (text == "<")
                content = ItemFile(Record(kLineType, "lunch-id", "Lunch", "mid<day", "0x0001"));
            else if (!text.empty())
                content = text + items;
            WriteBytes("keywords.xml", content);
        }
        if (row.older)
            WriteBytes("keywords.xml.bad", row.older);
        HANDLE holder = row.held ? CreateFileA("keywords.xml", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                               FILE_ATTRIBUTE_NORMAL, nullptr)
                                 : INVALID_HANDLE_VALUE;
        ASSERT_EQ(row.held, holder != INVALID_HANDLE_VALUE);
        CPromptScript prompts;
        if (row.told)
            prompts.AnswerNext(IDOK);
        {
            TestDatastore store;
            store.RegisterTypes();
            QuiItem* lunch = store.AddItem(kLineType, "lunch-id", "Lunch");
            EXPECT_TRUE(store.LoadItemDatabase());
            EXPECT_EQ("", Keywords(lunch));
            EXPECT_FALSE(lunch->getDirty());
            if (*row.aside) {
                EXPECT_FALSE(Exists("keywords.xml"));
                EXPECT_EQ(content, ReadBytes(row.aside));
            }
            EXPECT_TRUE(store.LoadItemDatabase()) << "a reload tells nothing more";
            if (holder != INVALID_HANDLE_VALUE)
                CloseHandle(holder);
            lunch->keywordsAdd("noon");
            lunch->setDirty(true);
            EXPECT_EQ(!row.held, store.SaveKeywordFile() == TRUE);
        }
        EXPECT_EQ(row.told ? 1u : 0u, prompts.Asked().size());
        EXPECT_EQ(0, prompts.Unexpected());
        if (row.told && !prompts.Asked().empty()) {
            CString format, text;
            format.LoadString(row.told);
            text.Format(format, (m_folder + "\\keywords.xml").c_str(), (m_folder + "\\" + row.aside).c_str());
            EXPECT_STREQ(text, prompts.Asked()[0].text);
        }
        if (row.older) {
            EXPECT_EQ(row.older, ReadBytes("keywords.xml.bad"));
        }
        if (*row.aside) {
            EXPECT_EQ(content, ReadBytes(row.aside)) << "what the user had stays aside";
        }
        if (row.held) {
            EXPECT_EQ(content, ReadBytes("keywords.xml")) << "left as it was";
        } else {
            const std::string written = ReadBytes("keywords.xml");
            EXPECT_NE(std::string::npos, written.find("<KEYWORD>noon</KEYWORD>")) << written;
        }
    }
}

TEST_F(KeywordFile, WithNoDirtyItemTheFileIsLeftAsItWas)
{
    WriteBytes("keywords.xml", "whatever the user had");
    {
        TestDatastore store;
        store.RegisterTypes();
        store.AddItem(kLineType, "lunch-id", "Lunch");
        EXPECT_TRUE(store.SaveKeywordFile());
    }
    EXPECT_EQ("whatever the user had", ReadBytes("keywords.xml"));
}

TEST_F(KeywordFile, TheFileHoldsTheDirtyItemsAndNoCleanOne)
{
    WriteBytes("keywords.xml", ItemFile(Record(kLineType, "old-id", "Old", "old", "0x0001")));
    {
        TestDatastore store;
        store.RegisterTypes();
        store.AddItem(kLineType, "lunch-id", "Lunch");
        QuiItem* dinner = store.AddItem(kLineType, "dinner-id", "Dinner");
        dinner->keywordsAdd("supper");
        dinner->setDirty(true);
        EXPECT_TRUE(store.SaveKeywordFile());
        EXPECT_TRUE(dinner->getDirty()) << "saving leaves the dirty flags";
        EXPECT_EQ(std::vector<std::string>({"lunch-id", "dinner-id"}), ItemIds(store.GetItemList()));
    }
    std::string written = ReadBytes("keywords.xml");
    EXPECT_NE(std::string::npos, written.find("<ID>dinner-id</ID>")) << written;
    EXPECT_NE(std::string::npos, written.find("<KEYWORD>supper</KEYWORD>")) << written;
    EXPECT_EQ(std::string::npos, written.find("lunch-id")) << written;
}

TEST_F(KeywordFile, AFailedWriteKeepsTheUsersFile)
{
    const std::string before = ItemFile(Record(kLineType, "old-id", "Old", "old", "0x0001"));
    WriteBytes("keywords.xml", before);
    // A folder where the temporary file would go makes the write fail.
    const std::string temporary = "keywords.xml." + std::to_string(GetCurrentProcessId()) + ".tmp";
    ASSERT_TRUE(CreateDirectoryA(temporary.c_str(), nullptr));
    {
        TestDatastore store;
        store.RegisterTypes();
        store.AddItem(kLineType, "lunch-id", "Lunch")->setDirty(true);
        EXPECT_FALSE(store.SaveKeywordFile());
    }
    EXPECT_EQ(before, ReadBytes("keywords.xml"));
}

TEST_F(KeywordFile, NoKeywordFileSettingWritesNothing)
{
    SetSetting("AliasDB", "");
    TestDatastore store;
    store.RegisterTypes();
    store.AddItem(kLineType, "lunch-id", "Lunch")->setDirty(true);
    EXPECT_TRUE(store.SaveKeywordFile());
    EXPECT_FALSE(Exists("keywords.xml"));
}

//--- types, names and the live counter

TEST_F(Datastore, RegisterTypesEntersTheBaseTypesUnderTheirCategory)
{
    TestDatastore store;
    store.CDatastore::RegisterTypes();
    store.CDatastore::RegisterTypes();

    QuiTypeCategory* category = store.GetTypeCategoryList()->get(QuiItemID(WEB_ACTION_CATEGORY_ID));
    ASSERT_NE(nullptr, category);
    EXPECT_STREQ("Web Actions", category->getDisplayName());
    EXPECT_NE(nullptr, category->getTypeList()->get(QuiItemID(WEB_ACTION_TYPE_ID)));
    EXPECT_EQ(nullptr, category->getTypeList()->get(QuiItemID(WEB_PIMDEST_TYPE_ID)));
    EXPECT_EQ(nullptr, category->getTypeList()->get(QuiItemID(WEB_HIDDEN_TYPE_ID)));

    struct Row {
        const char* id;
        const char* name;
        const char* example;
        bool pimDestination;
    } rows[] = {
        {WEB_ACTION_TYPE_ID, "Web Actions", "map of 12 Harbour Road", false},
        {WEB_PIMDEST_TYPE_ID, "Web Calendar", "mytime lunch with Anna on Friday", true},
        {WEB_HIDDEN_TYPE_ID, "Web Actions", "map of 12 Harbour Road", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        QuiItemType* type = store.GetItemType(row.id);
        ASSERT_NE(nullptr, type);
        EXPECT_STREQ(row.name, type->getDisplayName());
        EXPECT_STREQ(row.example, type->getExample());
        std::unique_ptr<QuiItem> item(type->newItem(QuiItemID("x")));
        EXPECT_NE(nullptr, dynamic_cast<CWebActionItem*>(item.get()));
        EXPECT_EQ(row.pimDestination, dynamic_cast<CWebPimDestItem*>(item.get()) != nullptr);
    }
    EXPECT_EQ(nullptr, store.GetItemType(nullptr));
}

TEST_F(Datastore, GetTypeNameGivesTheEditionsName)
{
    struct Row {
        int code;
        int result;
        const char* name;
    } rows[] = {
        {0, 0, "Web"},           {1, 1, "Lotus Notes"}, {2, 2, "Palm Desktop"},  {3, 3, "Microsoft Outlook"},
        {4, 4, "Web"},           {5, 0, "untouched"},   {-1, 0, "untouched"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        TestDatastore store(row.code);
        CString name("untouched");
        EXPECT_EQ(row.result, store.GetTypeName(name));
        EXPECT_STREQ(row.name, name);
    }
}

TEST_F(Datastore, TheBaseAnswersItsDefaults)
{
    TestDatastore store;
    EXPECT_EQ(0, static_cast<CDatastore&>(store).CDatastore::GetType());
    EXPECT_EQ(139u, store.GetResourceId());
    EXPECT_EQ(nullptr, store.GetItemTypeIds());
    for (int n = -1; n <= 12; ++n)
        EXPECT_FALSE(store.HasFeature(n)) << n;
    EXPECT_NE(nullptr, store.GetWebActionHandler());
}

TEST_F(Datastore, SendWebActionHandsTheActionToItsHandler)
{
    // Without a browser driver the handler is off line and keeps the action.
    const DWORD none = 4;
    ASSERT_TRUE(QuiTesting::SetRegNumber(HKEY_CURRENT_USER, "Software\\Quillmate\\Client\\Preferences", "Browser", none));
    TestDatastore store;
    CDatastore& base = store;
    char connector[] = "<CONNECTOR MENUSTRING=\"Test\">\n<SUBTYPE MENUSTRING=\"find\" METHOD=\"GET\" "
                       "ACTION=\"http://find.test/$:querystring\" >\n</SUBTYPE>\n</CONNECTOR>\n";
    store.GetWebActionHandler()->GetEnabledConnectors().ParseConnectors(connector, "test.xml");
    CWebActionJug kept, never, nowhere;
    kept.m_nConnectorIndex = never.m_nConnectorIndex = 0;
    kept.m_nSubtypeIndex = never.m_nSubtypeIndex = 0;
    never.m_nFlags = CWebActionJug::flagNoQueue;
    EXPECT_EQ(2, base.CDatastore::SendWebAction(&kept));
    EXPECT_EQ(1, kept.m_nId);
    EXPECT_EQ(1, base.CDatastore::SendWebAction(&never));
    EXPECT_EQ(0, base.CDatastore::SendWebAction(&nowhere)) << "what could never be sent is not kept";
    EXPECT_EQ(1, base.CDatastore::SendWebAction(nullptr));
    EXPECT_EQ(1, store.GetWebActionHandler()->GetActionList().GetCount());
}

TEST_F(Datastore, TheLiveCounterFollowsConstructionAndDestruction)
{
    const int before = CDatastore::GetLiveCount();
    auto first = std::make_unique<TestDatastore>();
    EXPECT_EQ(before + 1, CDatastore::GetLiveCount());
    {
        TestDatastore second;
        EXPECT_EQ(before + 2, CDatastore::GetLiveCount());
    }
    EXPECT_EQ(before + 1, CDatastore::GetLiveCount());
    first.reset();
    EXPECT_EQ(before, CDatastore::GetLiveCount());
}

TEST_F(Datastore, CheckRecordControlThrowsWhenTheControlIsNotRegistered)
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    TestDatastore store;
    int message = 0;
    try {
        store.CheckRecordControl();
    } catch (COzuExcept* e) {
        message = static_cast<int>(e->GetMessageId());
        delete e;
    }
    CoUninitialize();
    EXPECT_EQ(IDS_NO_RECORD_CONTROL, message);
}

} // namespace
