// The item database viewer over a test datastore, the real parser manager
// with the alias package, and a note of the test edition: its rows, its
// category box, editing, removing and putting a word into the note.
#include "AppTestSupport.h"
#include "ClientRegistry.h"
#include "KestrelViewerDlg.h"
#include "ModalDriver.h"
#include "QuiParserMgr.h"
#include "TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

using datastore_test::kCategoryType;
using datastore_test::kLineType;

namespace {

const char kListCategory[] = "11111111-0000-4000-8000-000000000001";
const char kHiddenCategory[] = "A794C600-EEA6-11d2-A0E8-00104B9522AA";

// Two categories of its own (one of them among the hidden three) beside the
// web actions' category, and the list of categories the viewer shows.
class ViewerDatastore : public datastore_test::TestDatastore {
public:
    void RegisterTypes() override
    {
        AddCategory(kListCategory, "Categories");
        AddCategory(kHiddenCategory, "Hidden");
        RegisterIn(kCategoryType, "To-do category", kListCategory);
        RegisterIn(kLineType, "Line", kHiddenCategory);
        CDatastore::RegisterTypes();
    }
    const char* const* GetItemTypeIds() override { return listNone ? nullptr : kShown; }

    bool listNone = false;

private:
    void AddCategory(const char* id, const char* name)
    {
        getCategories()->add(new QuiTypeCategory(QuiItemID(id), name));
    }
    QuiTypeCategoryList* getCategories() { return GetKestrel()->getTypeCategoryList(); }
    void RegisterIn(const char* id, const char* name, const char* category)
    {
        ASSERT_TRUE(GetKestrel()->registerType(new QuiItemType(QuiItemID(id), name, new datastore_test::LineItem),
                                               QuiItemID(category)));
    }
    static constexpr const char* kShown[] = {kListCategory, kHiddenCategory, WEB_ACTION_CATEGORY_ID, ""};
};

class ViewerApp : public CQuillmateApp {
public:
    CActionNote* CreateNote(BOOL bCascade) override { return OpenNote(app_test::MakeNote(), bCascade); }
    CDatastore* GetDatastore() override { return datastore; }
    QuiParserMgr* GetParserMgr() override { return manager; }
    ClientRegistry* GetSettings() override { return settings; }

    CDatastore* datastore = nullptr;
    QuiParserMgr* manager = nullptr;
    ClientRegistry* settings = nullptr;
};

// Collects the items a parse hands to it.
class ItemSink : public QuiParseResultSink {
public:
    void Callback(int kind, QuiPrsItemRole* role, QuiPrsKeyphrase*) override
    {
        if (kind == 1 && role->getItem())
            found.push_back(role->getItem()->getDisplayName());
    }
    std::vector<std::string> found;
};

using DialogDriver = ModalDriver<CEditItemDlg>;

std::string Text(CWnd* parent, int id)
{
    CString text;
    parent->GetDlgItemText(id, text);
    return text.GetString();
}

std::vector<std::string> KeywordList(QuiItem* item)
{
    std::vector<std::string> words;
    item->keywordsFetchBegin();
    while (const char* keyword = item->keywordsFetchNext())
        words.push_back(keyword);
    item->keywordsFetchEnd();
    return words;
}

class KestrelViewer : public datastore_test::Datastore {
protected:
    void SetUp() override
    {
        datastore_test::Datastore::SetUp();
        datastore = std::make_unique<ViewerDatastore>();
        datastore->RegisterTypes();
        business = AddItem(kCategoryType, "business", "Business", {"meeting"}, 3);
        personal = AddItem(kCategoryType, "personal", "Personal", {"family", "home"}, 1);
        AddItem(kCategoryType, "silent", "Silent", {"quiet"}, 0);
        hidden = AddItem(kLineType, "line", "Line one", {}, 2);
        settings = std::make_unique<ClientRegistry>();
        manager = std::make_unique<QuiParserMgr>(datastore->GetKestrel());
        manager->Initialize();
        manager->LoadItems();
        app.datastore = datastore.get();
        app.manager = manager.get();
        app.settings = settings.get();
        app.CreateNoteManager();
        ASSERT_TRUE(mainWnd.CreateEx(0, nullptr, "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        app.m_pMainWnd = &mainWnd;
    }

    void TearDown() override
    {
        if (CKestrelViewerDlg* viewer = CKestrelViewerDlg::GetOpen())
            viewer->DestroyWindow();
        EXPECT_EQ(nullptr, CKestrelViewerDlg::GetOpen());
        app_test::CloseAllNotes(&app);
        app.DeleteNoteManager();
        app.m_pMainWnd = nullptr;
        mainWnd.DestroyWindow();
        // The parser works over the datastore's items: it goes first.
        manager.reset();
        app.datastore = nullptr;
        datastore.reset();
        settings.reset();
        datastore_test::Datastore::TearDown();
    }

    QuiItem* AddItem(const char* type, const char* id, const char* name, std::vector<const char*> keywords, int flags)
    {
        QuiItem* item = datastore->AddItem(type, id, name);
        for (const char* keyword : keywords)
            item->keywordsAdd(keyword);
        item->modifyFlags(flags, true);
        item->setDirty(false);
        return item;
    }

    CKestrelViewerDlg* Open(BOOL bFromPreferences = FALSE)
    {
        QuiOpenKestrelViewer(bFromPreferences);
        PumpPending();
        return CKestrelViewerDlg::GetOpen();
    }

    std::vector<std::string> Rows(CKestrelViewerDlg* viewer)
    {
        std::vector<std::string> rows;
        CListCtrl& list = viewer->GetList();
        for (int i = 0; i < list.GetItemCount(); ++i)
            rows.push_back(std::string(list.GetItemText(i, 0)) + "|" + list.GetItemText(i, 1).GetString());
        return rows;
    }

    std::vector<std::string> Categories(CKestrelViewerDlg* viewer)
    {
        std::vector<std::string> names;
        CComboBox& box = viewer->GetCategoryBox();
        for (int i = 0; i < box.GetCount(); ++i) {
            CString name;
            box.GetLBText(i, name);
            names.push_back(name.GetString());
        }
        return names;
    }

    void SelectCategory(CKestrelViewerDlg* viewer, int index)
    {
        viewer->GetCategoryBox().SetCurSel(index);
        viewer->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_VIEWER_CATEGORY, CBN_SELCHANGE),
                            reinterpret_cast<LPARAM>(viewer->GetCategoryBox().m_hWnd));
    }

    int RowOf(CKestrelViewerDlg* viewer, const char* name)
    {
        CListCtrl& list = viewer->GetList();
        for (int i = 0; i < list.GetItemCount(); ++i) {
            if (list.GetItemText(i, 0) == name)
                return i;
        }
        return -1;
    }

    void Select(CKestrelViewerDlg* viewer, const char* name)
    {
        int row = RowOf(viewer, name);
        ASSERT_GE(row, 0) << name;
        viewer->GetList().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }

    // The names of the items the alias package finds in the text.
    std::vector<std::string> Recognised(const char* text, const char* type = kCategoryType)
    {
        ItemSink sink;
        QuiPrsContext* context = nullptr;
        EXPECT_EQ(0, manager->CreateContext(&context));
        EXPECT_TRUE(manager->RegisterSink("Alias", context, datastore->GetItemType(type), &sink));
        manager->Parse(text, context);
        manager->DestroyContext(context);
        return sink.found;
    }

    std::string ReadFile(const char* path)
    {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::unique_ptr<ViewerDatastore> datastore;
    std::unique_ptr<ClientRegistry> settings;
    std::unique_ptr<QuiParserMgr> manager;
    ViewerApp app;
    CWnd mainWnd;
    QuiItem* business = nullptr;
    QuiItem* personal = nullptr;
    QuiItem* hidden = nullptr;
};

} // namespace

//--- texts

TEST(ViewerTexts, KeywordTextRebuildsKeywordsAndFlags)
{
    const struct {
        const char* text;
        std::vector<std::string> keywords;
        int flags;
    } rows[] = {
        {"Apple, fruit,  red ", {"fruit", "red"}, 3},
        {"fruit,", {"fruit"}, 1},
        {"APPLE", {}, 2},
        // Doubled commas give no empty keyword.
        {"fruit,, red", {"fruit", "red"}, 1},
        {" , ,", {}, 0},
        {"", {}, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        QuiItemType type(QuiItemID("T"), "T", nullptr);
        std::unique_ptr<QuiItem> item(type.newItem(QuiItemID("apple")));
        item->setDisplayName("apple");
        item->keywordsAdd("old");
        item->modifyFlags(3, true);
        QuiRebuildKeywords(*item, row.text);
        EXPECT_EQ(row.keywords, KeywordList(item.get()));
        EXPECT_EQ(row.flags, item->getFlags());
    }
}

TEST(ViewerTexts, RecognisedWordsAndEditText)
{
    const struct {
        int flags;
        std::vector<const char*> keywords;
        const char* words;
        const char* edit;
    } rows[] = {
        {2, {}, "apple", "apple"},
        {0, {}, "", ""},
        {0, {"fruit"}, "", "fruit"},
        {1, {"fruit", "red"}, "fruit, red", "fruit, red"},
        {3, {"fruit"}, "apple, fruit", "apple, fruit"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.words);
        QuiItemType type(QuiItemID("T"), "T", nullptr);
        std::unique_ptr<QuiItem> item(type.newItem(QuiItemID("apple")));
        item->setDisplayName("apple");
        for (const char* keyword : row.keywords)
            item->keywordsAdd(keyword);
        item->modifyFlags(row.flags, true);
        EXPECT_STREQ(row.words, QuiRecognisedWords(*item));
        EXPECT_STREQ(row.edit, QuiKeywordEditText(*item));
    }
}

TEST(ViewerTexts, ExamplesAreFilledByHandNeverAsFormats)
{
    const struct {
        const char* pattern;
        const char* value;
        const char* filled;
    } rows[] = {
        {"%s lighthouses", "look up", "look up lighthouses"},
        {"%s and %s", "k", "k and k"},
        {"find %n %d %x %s", "x", "find %n %d %x x"},
        {"100%% %s", "a", "100% a"},
        {"trailing %", "x", "trailing %"},
        {"", "x", ""},
        {"%s", "50%s off", "50%s off"},
    };
    for (const auto& row : rows)
        EXPECT_STREQ(row.filled, QuiFillExample(row.pattern, row.value)) << row.pattern;
}

TEST(ViewerTexts, TheCharactersTheItemFileCannotStoreAreFound)
{
    const struct {
        const char* word;
        int at;
    } rows[] = {
        {"fish & chips > 3", -1},
        {"tab\there", -1},
        {"a<b", 1},
        {"\x1a", 0},
        {"end\x1a<", 3},
        {"caf\xe9", -1},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.at, QuiFindUnstorableChar(row.word)) << row.word;
}

//--- the window

TEST_F(KestrelViewer, FromTheTrayTheHiddenCategoriesStayHidden)
{
    CKestrelViewerDlg* viewer = Open(FALSE);
    ASSERT_NE(nullptr, viewer);
    CString all, webActions;
    all.LoadString(IDS_VIEWER_ALL);
    std::vector<std::string> expected = {all.GetString(), "Categories", "Web Actions"};
    EXPECT_EQ(expected, Categories(viewer));
    EXPECT_EQ(0, viewer->GetCategoryBox().GetCurSel());
    std::vector<std::string> rows = {"Business|Business, meeting", "Personal|family, home", "Silent|"};
    EXPECT_EQ(rows, Rows(viewer));
    EXPECT_TRUE(viewer->GetCategoryBox().IsWindowVisible());
    EXPECT_FALSE(viewer->GetDlgItem(IDC_VIEWER_EDIT)->IsWindowEnabled());
    EXPECT_TRUE(viewer->GetExStyle() & WS_EX_TOPMOST);
    EXPECT_EQ(viewer, Open(FALSE)) << "a second opening activates the open viewer";
}

TEST_F(KestrelViewer, FromThePreferencesEveryCategoryShowsAndWebActionsAreSelected)
{
    CKestrelViewerDlg* viewer = Open(TRUE);
    ASSERT_NE(nullptr, viewer);
    CString all;
    all.LoadString(IDS_VIEWER_ALL);
    std::vector<std::string> expected = {all.GetString(), "Categories", "Web Actions", "Hidden"};
    EXPECT_EQ(expected, Categories(viewer));
    EXPECT_EQ(2, viewer->GetCategoryBox().GetCurSel());
    EXPECT_TRUE(Rows(viewer).empty()) << "no connector was loaded";
    SelectCategory(viewer, 0);
    std::vector<std::string> rows = {"Business|Business, meeting", "Personal|family, home", "Silent|",
                                     "Line one|Line one"};
    EXPECT_EQ(rows, Rows(viewer));
    SelectCategory(viewer, 3);
    EXPECT_EQ(std::vector<std::string>{"Line one|Line one"}, Rows(viewer));
}

TEST_F(KestrelViewer, ADatastoreThatListsNoCategoryShowsNothing)
{
    datastore->listNone = true;
    CKestrelViewerDlg* viewer = Open(TRUE);
    ASSERT_NE(nullptr, viewer);
    EXPECT_EQ(1u, Categories(viewer).size());
    EXPECT_TRUE(Rows(viewer).empty());
}

TEST_F(KestrelViewer, TheSelectedCategoryIsKeptForTheNextOpening)
{
    CKestrelViewerDlg* viewer = Open(TRUE);
    SelectCategory(viewer, 3);
    EXPECT_STREQ(kHiddenCategory, static_cast<const char*>(settings->GetValue(ClientRegistry::KwTypeSelIndex, true)));
    viewer->DestroyWindow();
    viewer = Open(TRUE);
    ASSERT_NE(nullptr, viewer);
    // The preferences ask for their own category, which wins.
    EXPECT_EQ(2, viewer->GetCategoryBox().GetCurSel());
    viewer->DestroyWindow();
    SelectCategory(Open(FALSE), 1);
    CKestrelViewerDlg::GetOpen()->DestroyWindow();
    EXPECT_EQ(1, Open(FALSE)->GetCategoryBox().GetCurSel());
    SelectCategory(CKestrelViewerDlg::GetOpen(), 0);
    EXPECT_STREQ("", static_cast<const char*>(settings->GetValue(ClientRegistry::KwTypeSelIndex, true)));
}

TEST_F(KestrelViewer, DetailsFillTheExampleByHand)
{
    datastore->GetItemType(kCategoryType)->setExample("file it under %s %n %d");
    CKestrelViewerDlg* viewer = Open(FALSE);
    Select(viewer, "Business");
    PumpPending();
    EXPECT_TRUE(viewer->GetDlgItem(IDC_VIEWER_EDIT)->IsWindowEnabled());
    EXPECT_EQ("file it under Business %n %d", Text(viewer, IDC_VIEWER_DETAIL));
    EXPECT_TRUE(viewer->GetDlgItem(IDC_VIEWER_DETAIL)->IsWindowVisible());
    EXPECT_FALSE(viewer->GetDlgItem(IDC_VIEWER_EXAMPLE)->IsWindowVisible());
}

TEST_F(KestrelViewer, AWebActionShowsItsDescriptionAndExample)
{
    CWebConnectorSubtype subtype;
    subtype.m_strDescription = "Looks a word up";
    subtype.m_strExampleStr = "%s %n lighthouses";
    QuiItem* item = datastore->AddItem(WEB_ACTION_TYPE_ID, "Reference_look", "look");
    item->keywordsAdd("look up");
    item->modifyFlags(QUI_ITEM_KEYWORDS_PARSE, true);
    static_cast<CWebActionItem*>(item)->SetSubtype(&subtype);
    CKestrelViewerDlg* viewer = Open(TRUE);
    Select(viewer, "look");
    PumpPending();
    EXPECT_EQ("Looks a word up", Text(viewer, IDC_VIEWER_DETAIL));
    EXPECT_EQ("\"look up %n lighthouses\"", Text(viewer, IDC_VIEWER_EXAMPLE));
    EXPECT_TRUE(viewer->GetDlgItem(IDC_VIEWER_EXAMPLE)->IsWindowVisible());
    viewer->GetList().SetItemState(RowOf(viewer, "look"), 0, LVIS_SELECTED | LVIS_FOCUSED);
    PumpPending();
    EXPECT_FALSE(viewer->GetDlgItem(IDC_VIEWER_DETAIL)->IsWindowVisible());
    EXPECT_FALSE(viewer->GetDlgItem(IDC_VIEWER_EXAMPLE)->IsWindowVisible());
    viewer->DestroyWindow();
}

TEST_F(KestrelViewer, AnEditRebuildsTheKeywordsSavesThemAndTheParserHearsThem)
{
    CKestrelViewerDlg* viewer = Open(FALSE);
    Select(viewer, "Business");
    std::string shown;
    DialogDriver driver([&](CDialog* dialog) {
        shown = Text(dialog, IDC_EDIT_ITEM_KEYWORDS) + "|" + Text(dialog, IDC_EDIT_ITEM_NAME) + "|" +
                Text(dialog, IDC_EDIT_ITEM_TYPE);
        dialog->SetDlgItemText(IDC_EDIT_ITEM_KEYWORDS, "meeting,, talks");
        dialog->PostMessage(WM_COMMAND, IDOK);
    });
    viewer->EditSelected();
    EXPECT_EQ(1, driver.ran);
    EXPECT_EQ("Business, meeting|Business|To-do category", shown);
    EXPECT_EQ((std::vector<std::string>{"meeting", "talks"}), KeywordList(business));
    EXPECT_EQ(QUI_ITEM_KEYWORDS_PARSE, business->getFlags());
    EXPECT_TRUE(business->getDirty());
    EXPECT_NE(std::string::npos, ReadFile("keywords.xml").find("talks"));
    EXPECT_EQ(std::vector<std::string>{"Business"}, Recognised("talks about money"));
    EXPECT_TRUE(Recognised("Business lunch").empty()) << "the name no longer stands for it";
    EXPECT_TRUE(viewer->IsWindowEnabled());
    EXPECT_EQ("Business|meeting, talks", Rows(viewer)[0]);
}

TEST_F(KestrelViewer, AnEditRefusesWhatTheItemFileCannotStore)
{
    const struct {
        const char* text;
        UINT message;
        const char* named;    // the format's argument: the character, or its code
        int selected;         // where the refused character is selected
    } rows[] = {
        {"ok, a<b", IDS_VIEWER_BAD_CHARACTER, "<", 5},
        {"pasted\x1a, fine", IDS_VIEWER_CONTROL_CHARACTER, "26", 6},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.named);
        CPromptScript prompts;
        prompts.AnswerNext(IDOK);
        prompts.AnswerNext(IDNO);
        CKestrelViewerDlg* viewer = Open(FALSE);
        Select(viewer, "Business");
        std::vector<bool> open;
        DWORD selection = 0;
        DialogDriver driver([&](CDialog* dialog) {
            dialog->SetDlgItemText(IDC_EDIT_ITEM_KEYWORDS, row.text);
            dialog->SendMessage(WM_COMMAND, IDOK);
            open.push_back(::IsWindow(dialog->m_hWnd) != FALSE);
            selection = static_cast<DWORD>(dialog->SendDlgItemMessage(IDC_EDIT_ITEM_KEYWORDS, EM_GETSEL));
            // Emptied, the item would no longer be recognised: the user says no.
            dialog->SetDlgItemText(IDC_EDIT_ITEM_KEYWORDS, " , ");
            dialog->SendMessage(WM_COMMAND, IDOK);
            open.push_back(::IsWindow(dialog->m_hWnd) != FALSE);
            dialog->PostMessage(WM_COMMAND, IDCANCEL);
        });
        viewer->EditSelected();
        EXPECT_EQ((std::vector<bool>{true, true}), open);
        EXPECT_EQ(static_cast<DWORD>(MAKELONG(row.selected, row.selected + 1)), selection);
        ASSERT_EQ(2u, prompts.Asked().size());
        CString refused, empty;
        if (row.message == IDS_VIEWER_CONTROL_CHARACTER)
            refused.Format(row.message, std::atoi(row.named));
        else
            refused.Format(row.message, row.named);
        empty.LoadString(IDS_VIEWER_NO_WORDS);
        EXPECT_STREQ(refused, prompts.Asked()[0].text);
        EXPECT_STREQ(empty, prompts.Asked()[1].text);
        EXPECT_EQ(std::vector<std::string>{"meeting"}, KeywordList(business));
        EXPECT_EQ(3, business->getFlags());
        EXPECT_FALSE(business->getDirty());
        viewer->DestroyWindow();
    }
}

// The keyword file is written when the category changes (also at opening),
// after an edit and on OK: each failure is told, none passes as saved.
TEST_F(KestrelViewer, AFailedSaveIsReported)
{
    // Set through the program's own settings: a second settings object would
    // write its older table back when it goes.
    ASSERT_EQ(ERROR_SUCCESS, settings->SetValue(ClientRegistry::AliasDB, "no such folder\\keywords.xml"));
    personal->setDirty(true);
    CPromptScript prompts;
    for (int i = 0; i < 4; ++i)
        prompts.AnswerNext(IDOK);
    CKestrelViewerDlg* viewer = Open(FALSE);
    ASSERT_NE(nullptr, viewer);
    SelectCategory(viewer, 1);
    Select(viewer, "Business");
    DialogDriver driver([](CDialog* dialog) {
        dialog->SetDlgItemText(IDC_EDIT_ITEM_KEYWORDS, "meeting, talks");
        dialog->PostMessage(WM_COMMAND, IDOK);
    });
    viewer->EditSelected();
    EXPECT_EQ(1, driver.ran);
    viewer->SendMessage(WM_COMMAND, IDOK);
    EXPECT_EQ(nullptr, CKestrelViewerDlg::GetOpen());
    CString failed;
    failed.LoadString(IDS_VIEWER_SAVE_FAILED);
    std::vector<std::string> asked;
    for (const CPromptRequest& request : prompts.Asked())
        asked.push_back(request.text.GetString());
    EXPECT_EQ(std::vector<std::string>(4, failed.GetString()), asked) << "opening, category, edit, OK";
    EXPECT_FALSE(datastore_test::Exists("no such folder"));
}

TEST_F(KestrelViewer, RemoveAsksThenTheParserForgetsTheItemAndItsEditsAreStillSaved)
{
    personal->keywordsAdd("kin");
    personal->setDirty(true);
    CPromptScript prompts;
    prompts.AnswerNext(IDNO);
    prompts.AnswerNext(IDYES);
    CKestrelViewerDlg* viewer = Open(FALSE);
    Select(viewer, "Personal");
    viewer->RemoveSelected();
    EXPECT_EQ(3u, Rows(viewer).size()) << "answered no";
    Select(viewer, "Personal");
    viewer->RemoveSelected();
    ASSERT_EQ(2u, prompts.Asked().size());
    CString prompt;
    prompt.LoadString(IDS_VIEWER_REMOVE_PROMPT);
    EXPECT_STREQ(prompt, prompts.Asked()[1].text);
    EXPECT_EQ(-1, RowOf(viewer, "Personal"));
    EXPECT_EQ(nullptr, datastore->Item("personal"));
    EXPECT_TRUE(Recognised("home for the family").empty());
    EXPECT_EQ(std::vector<std::string>{"Business"}, Recognised("meeting at home"));
    // The item files bring it back at the next start, with the user's words:
    // a later save, for an edit of another item, still writes them.
    business->keywordsAdd("talks");
    business->setDirty(true);
    ASSERT_TRUE(datastore->SaveKeywordFile());
    const std::string saved = ReadFile("keywords.xml");
    EXPECT_NE(std::string::npos, saved.find("talks"));
    EXPECT_NE(std::string::npos, saved.find("kin"));
}

TEST_F(KestrelViewer, TheRemovePromptComesFromTheLanguageLibrary)
{
    CKestrelViewerDlg* viewer = Open(FALSE);
    Select(viewer, "Personal");
    CPromptScript prompts;
    prompts.AnswerNext(IDNO);
    // The test program holds the prompt in another wording.
    AfxSetResourceHandle(::GetModuleHandle(nullptr));
    viewer->RemoveSelected();
    AfxSetResourceHandle(m_library);
    ASSERT_EQ(1u, prompts.Asked().size());
    EXPECT_STREQ("Take the item out of the list?", prompts.Asked()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO), prompts.Asked()[0].nType & MB_TYPEMASK);
    EXPECT_NE(-1, RowOf(viewer, "Personal")) << "answered no";
}

TEST_F(KestrelViewer, DoubleClickPutsTheFirstWordIntoTheOpenNote)
{
    const std::string longName(300, 'x');
    AddItem(kCategoryType, "long", longName.c_str(), {}, 2);
    const struct {
        const char* name;
        std::string inserted;
    } rows[] = {
        {"Business", " Business "},
        {"Personal", " family "},
        {"Silent", " Silent "},
        // At most 259 characters, then the blank.
        {longName.c_str(), " " + std::string(259, 'x') + " "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.inserted.size());
        CActionNote* note = app.CreateNote(FALSE);
        ASSERT_NE(nullptr, note);
        CKestrelViewerDlg* viewer = Open(FALSE);
        Select(viewer, row.name);
        viewer->InsertSelected();
        PumpPending();
        EXPECT_EQ(nullptr, CKestrelViewerDlg::GetOpen()) << "the viewer closes";
        CString text;
        note->GetNoteText(text);
        EXPECT_EQ(row.inserted, std::string(text));
        note->DestroyNoteWnd();
        PumpPending();
    }
}

TEST_F(KestrelViewer, DoubleClickWithoutANoteEdits)
{
    CKestrelViewerDlg* viewer = Open(FALSE);
    Select(viewer, "Business");
    DialogDriver driver([](CDialog* dialog) { dialog->PostMessage(WM_COMMAND, IDCANCEL); });
    LRESULT result = 0;
    NMHDR header = {viewer->GetList().m_hWnd, IDC_VIEWER_LIST, static_cast<UINT>(NM_DBLCLK)};
    result = viewer->SendMessage(WM_NOTIFY, IDC_VIEWER_LIST, reinterpret_cast<LPARAM>(&header));
    (void)result;
    EXPECT_EQ(1, driver.ran);
    EXPECT_EQ(viewer, CKestrelViewerDlg::GetOpen());
}

TEST_F(KestrelViewer, OkKeepsThePositionAndARestoredPositionIsOnAScreen)
{
    CKestrelViewerDlg* viewer = Open(FALSE);
    viewer->SetWindowPos(nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    viewer->SendMessage(WM_COMMAND, IDOK);
    EXPECT_EQ(nullptr, CKestrelViewerDlg::GetOpen());
    auto* stored = static_cast<const RECT*>(settings->GetValue(ClientRegistry::KwdPosition, true));
    ASSERT_NE(nullptr, stored);
    EXPECT_EQ(40, stored->left);
    EXPECT_EQ(50, stored->top);

    const struct {
        int left, top;
        bool kept;
    } rows[] = {{40, 50, true}, {-30000, -30000, false}, {30000, 20, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.left);
        RECT rect = {row.left, row.top, row.left + 100, row.top + 100};
        settings->SetValue(ClientRegistry::KwdPosition, &rect);
        viewer = Open(FALSE);
        CRect now;
        viewer->GetWindowRect(now);
        EXPECT_EQ(row.kept, now.left == row.left && now.top == row.top);
        EXPECT_NE(nullptr, ::MonitorFromPoint(now.TopLeft(), MONITOR_DEFAULTTONULL));
        viewer->DestroyWindow();
    }
}

TEST_F(KestrelViewer, ARefillFollowsTheDatastore)
{
    CKestrelViewerDlg* viewer = Open(FALSE);
    std::unique_ptr<QuiItem> gone(datastore->Item("silent"));
    ASSERT_TRUE(datastore->GetItemList()->remove(gone.get()));
    manager->UnloadItem(gone.get());
    AddItem(kCategoryType, "new", "Newcomer", {}, 2);
    viewer->Refill();
    std::vector<std::string> rows = {"Business|Business, meeting", "Personal|family, home", "Newcomer|Newcomer"};
    EXPECT_EQ(rows, Rows(viewer));
}

TEST_F(KestrelViewer, AConnectorKeywordTypedInANoteIsRecognised)
{
    WriteBytes("reference.xml",
               "<CONNECTOR MENUSTRING=\"Reference\">\n"
               "<SUBTYPE MENUSTRING=\"define\" KEYWORDS=\"meaning of,definition of\" METHOD=\"GET\"\n"
               "  DESCRIPTION=\"Looks a word up\" EXAMPLESTR=\"%s serendipity\" ACTION=\"http://define.test/\" >\n"
               "</SUBTYPE>\n"
               "</CONNECTOR>\n");
    ASSERT_TRUE(datastore->SyncItems());
    manager->LoadItems();
    EXPECT_EQ(std::vector<std::string>{"define"}, Recognised("meaning of serendipity", WEB_ACTION_TYPE_ID));

    CKestrelViewerDlg* viewer = Open(TRUE);
    ASSERT_NE(nullptr, viewer);
    EXPECT_EQ(std::vector<std::string>{"define|meaning of, definition of"}, Rows(viewer));
    Select(viewer, "define");
    PumpPending();
    EXPECT_EQ("Looks a word up", Text(viewer, IDC_VIEWER_DETAIL));
    EXPECT_EQ("\"meaning of serendipity\"", Text(viewer, IDC_VIEWER_EXAMPLE));
}
