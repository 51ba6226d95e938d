// The note model: parsing on every change into the edition's sinks, the
// note's text, its contact links and keyphrase list, and its panes.
#include "AllocationLimit.h"
#include "NoteTestSupport.h"

#include <algorithm>
#include <string>

using namespace notes_test;

namespace {

class ActionNoteTest : public NoteFixture {};

QuiPrsKeyphrase* FakeKeyphrase(int n)
{
    // Only kept and compared by the list, never read.
    static char slots[8];
    return reinterpret_cast<QuiPrsKeyphrase*>(&slots[n]);
}

bool Began(const std::vector<std::string>& log, const char* prefix)
{
    return std::any_of(log.begin(), log.end(), [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
}

TEST_F(ActionNoteTest, TypingReparsesAndTheSinksFillTheDestination)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    CTestDestination* todo = note->ToDo();
    ASSERT_NE(nullptr, todo);

    Type(note, "lunch with Ann tomorrow");
    EXPECT_TRUE(Began(todo->log, "1:")) << "a date was added to the to-do destination";
    todo->log.clear();

    Type(note, "lunch with Ann");
    EXPECT_TRUE(Began(todo->log, "2:")) << "the date's removal reached the destination";
    CTestDestination* memo = static_cast<CTestDestination*>(note->GetPaneDestination(kMemoPane));
    EXPECT_TRUE(memo->log.empty()) << "only the registered destination hears the parse";
}

// Whether character n of the note box is bold.
bool BoldAt(CActionNote* note, int n)
{
    HWND edit = note->GetNoteWnd()->GetNoteBox()->GetEditWindow();
    ::SendMessage(edit, EM_SETSEL, n, n + 1);
    CHARFORMAT format = {};
    format.cbSize = sizeof format;
    ::SendMessage(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return (format.dwMask & CFM_BOLD) && (format.dwEffects & CFE_BOLD);
}

// The destination takes every added keyphrase into the note's list, as the
// editions' destinations do when a keyphrase fills a field.
void KeepKeyphrases(CTestNote* note)
{
    CTestDestination* todo = note->ToDo();
    todo->fail = [note, todo] {
        if (todo->log.back().rfind("1:", 0) == 0)
            note->AddKeyphrase(reinterpret_cast<QuiPrsKeyphrase*>(todo->extras.back()));
    };
}

TEST_F(ActionNoteTest, KeyphrasesAreMarkedOnlyWhileFeature7IsOn)
{
    struct Row {
        bool feature7;
        bool marked;
    } rows[] = {{false, false}, {true, true}};
    for (const Row& row : rows) {
        if (row.feature7)
            datastore.features.insert(7);
        CTestNote* note = Open();
        ASSERT_NE(nullptr, note);
        KeepKeyphrases(note);
        Type(note, "lunch tomorrow");
        EXPECT_FALSE(note->GetKeyphrases().empty());
        EXPECT_EQ(row.marked, BoldAt(note, 6)) << "feature 7 " << row.feature7;
        EXPECT_EQ(row.marked, BoldAt(note, 13)) << "feature 7 " << row.feature7;
        EXPECT_FALSE(BoldAt(note, 2)) << "text outside the keyphrase";
        EXPECT_EQ(!row.marked, note->GetKeyphrasesChanged() != FALSE) << "cleared once redrawn";

        // The destination never lets its keyphrase go: a moved one stays
        // listed, a removed one (freed with its parse) does not.
        Type(note, "a lunch tomorrow");
        EXPECT_FALSE(note->GetKeyphrases().empty());
        Type(note, "a lunch");
        EXPECT_TRUE(note->GetKeyphrases().empty());
        note->DestroyNoteWnd();
        PumpPending();
    }
}

TEST_F(ActionNoteTest, TheFirstChangeHidesThePromptForGood)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    CNoteStatusWnd& prompt = note->GetNoteWnd()->GetPrompt();
    EXPECT_TRUE(prompt.IsWindowVisible());
    CRect box;
    note->GetNoteWnd()->GetNoteBox()->GetClientRect(box);
    CRect area;
    prompt.GetClientRect(area);
    EXPECT_EQ(box.Height() - box.Height() / 10, area.Height()) << "the prompt leaves the bottom tenth free";
    prompt.SetFocus();
    EXPECT_EQ(note->GetNoteWnd()->GetNoteBox()->GetEditWindow(), ::GetFocus()) << "the prompt takes no typing";
    Type(note, "x");
    EXPECT_FALSE(prompt.IsWindowVisible());
    Type(note, "");
    EXPECT_FALSE(prompt.IsWindowVisible()) << "an emptied note keeps the prompt hidden";
}

TEST_F(ActionNoteTest, AnEmptyTextStillParsesAndGivesTheFocusBack)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "call Bob tomorrow");
    note->ToDo()->log.clear();
    CTestDestWnd* dest = note->Wnd()->Dest();
    dest->todoFirst.SetFocus();
    Type(note, "");
    EXPECT_TRUE(Began(note->ToDo()->log, "2:")) << "the empty text was parsed";
    EXPECT_TRUE(IsFocusWithin(note->GetNoteWnd()->GetNoteBox()))
        << "the posted focus message brings the focus back to the note box";
}

TEST_F(ActionNoteTest, AParseWithNoMemoryLeftIsToldAndTheNoteKeepsItsTextForTheNextKeystroke)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    const std::string text = std::string(20000, 'x') + " lunch tomorrow";
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    {
        // The parser's wide copy of the text no longer fits.
        FailingAllocations fail(32 << 10);
        Type(note, text.c_str());
    }
    EXPECT_EQ(text, Text(note));
    ASSERT_EQ(1u, prompts.Asked().size());
    EXPECT_STREQ("Out of memory.", prompts.Asked()[0].text);
    EXPECT_FALSE(Began(note->ToDo()->log, "1:"));
    Type(note, (text + " ").c_str());
    EXPECT_TRUE(Began(note->ToDo()->log, "1:")) << "the next keystroke parses";
    EXPECT_EQ(0, prompts.Unexpected());
}

TEST_F(ActionNoteTest, ADestinationThatCannotTakeAKeyphraseIsToldAndOfferedItAgain)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    note->ToDo()->fail = [] { throw std::bad_alloc(); };
    Type(note, "lunch tomorrow");
    note->ToDo()->fail = nullptr;
    ASSERT_EQ(1u, prompts.Asked().size());
    note->ToDo()->log.clear();
    Type(note, "lunch tomorrow ");
    EXPECT_TRUE(Began(note->ToDo()->log, "1:")) << "the next keystroke offers the keyphrase again";
    EXPECT_EQ(0, prompts.Unexpected());
}

TEST_F(ActionNoteTest, SetAndAppendText)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    struct Row {
        const char* before;
        const char* appended;
        const char* expected;
    } rows[] = {
        {"", "call Ann", " call Ann"},
        {"lunch", "at noon", "lunch at noon"},
        {"lunch ", "at noon", "lunch  at noon"},
    };
    for (const Row& row : rows) {
        note->SetNoteText(row.before);
        note->AppendNoteText(row.appended);
        EXPECT_EQ(row.expected, Text(note)) << row.before << "|" << row.appended;
    }
    note->SetNoteText("four");
    long start = -1;
    long end = -1;
    ::SendMessage(note->GetNoteWnd()->GetNoteBox()->GetEditWindow(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                  reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(4, start);
    EXPECT_EQ(4, end) << "the caret stands at the end of the new text";
}

TEST_F(ActionNoteTest, ContactLinksStaySortedAndAtMostTen)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    const char* names[] = {"kim", "Ann", "bob", "Bob", "carl", "dan", "eve", "fay", "gus", "hal"};
    for (int i = 0; i < 10; ++i)
        note->AddContactLink(names[i], i);
    std::vector<std::string> expected = {"Ann", "Bob", "bob", "carl", "dan", "eve", "fay", "gus", "hal", "kim"};
    auto names_of = [&] {
        std::vector<std::string> seen;
        for (const Quillmate::CContactLink& link : note->GetContactLinks())
            seen.push_back(link.GetName().GetString());
        return seen;
    };
    EXPECT_EQ(expected, names_of()) << "ascending, upper case first";

    // The eleventh drops the front of the sorted queue, then sorts again.
    note->AddContactLink("Zed", 10);
    expected = {"Bob", "Zed", "bob", "carl", "dan", "eve", "fay", "gus", "hal", "kim"};
    EXPECT_EQ(expected, names_of());
    note->AddContactLink("Al", 11);
    expected = {"Al", "Zed", "bob", "carl", "dan", "eve", "fay", "gus", "hal", "kim"};
    EXPECT_EQ(expected, names_of());

    // The contacts menu offers them after its first item and the separator.
    CMenu* popup = note->GetNoteWnd()->GetContactsPopup();
    ASSERT_NE(nullptr, popup);
    CString text;
    popup->GetMenuString(2, text, MF_BYPOSITION);
    EXPECT_STREQ("Al", text);
    popup->GetMenuString(11, text, MF_BYPOSITION);
    EXPECT_STREQ("kim", text);
    EXPECT_EQ(ID_NOTE_MORE_CONTACTS, static_cast<int>(popup->GetMenuItemID(12)));
    EXPECT_EQ(13, popup->GetMenuItemCount()) << "the old recent items were replaced, not added to";

    // Choosing one puts it into the list of recognised items.
    note->GetNoteWnd()->SendMessage(WM_COMMAND, popup->GetMenuItemID(3));
    CListCtrl& list = note->GetNoteWnd()->GetList();
    ASSERT_EQ(1, list.GetItemCount());
    EXPECT_STREQ("Zed", list.GetItemText(0, 0));
    EXPECT_EQ(10u, list.GetItemData(0));
}

TEST_F(ActionNoteTest, KeyphraseListKeepsDuplicatesAndRemovesOneAtATime)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    note->AddKeyphrase(FakeKeyphrase(1));
    note->AddKeyphrase(FakeKeyphrase(2));
    note->AddKeyphrase(FakeKeyphrase(1));
    EXPECT_EQ(3u, note->GetKeyphrases().size());
    EXPECT_TRUE(note->GetKeyphrasesChanged());

    note->RemoveKeyphrase(FakeKeyphrase(1));
    std::list<QuiPrsKeyphrase*> expected = {FakeKeyphrase(2), FakeKeyphrase(1)};
    EXPECT_EQ(expected, note->GetKeyphrases()) << "the first entry went, the second stayed";

    // Feature 7 off: the parse leaves the changed flag and the marks alone.
    Type(note, "x");
    EXPECT_TRUE(note->GetKeyphrasesChanged());

    note->ClearKeyphrases();
    EXPECT_TRUE(note->GetKeyphrases().empty());
    EXPECT_EQ(0, note->MarkKeyphrase(nullptr, TRUE));
}

TEST_F(ActionNoteTest, RemovingAnUnlistedKeyphraseChangesNothing)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    datastore.features.insert(7);
    note->AddKeyphrase(FakeKeyphrase(3));
    note->ClearKeyphrases();
    Type(note, "x");
    ASSERT_FALSE(note->GetKeyphrasesChanged()) << "feature 7 redrew the marks and cleared the flag";
    note->RemoveKeyphrase(FakeKeyphrase(4));
    EXPECT_FALSE(note->GetKeyphrasesChanged());
}

TEST_F(ActionNoteTest, PaneDestinationsByControlId)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    CTestDestWnd* dest = note->Wnd()->Dest();
    struct Row {
        int id;
        CDestination* expected;
    } rows[] = {
        {kToDoPane, dest->todo.GetDestination()},
        {kMemoPane, dest->memo.GetDestination()},
        {503, nullptr},
        {130, nullptr},  // a field, not a pane
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, note->GetPaneDestination(row.id)) << row.id;
    EXPECT_EQ(note, dest->todo.GetActionNote());
}

TEST_F(ActionNoteTest, ActiveWhileItsWindowsOrTheirOwnedWindowsAre)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    CNoteWnd* wnd = note->GetNoteWnd();
    wnd->SetActiveWindow();
    EXPECT_TRUE(note->IsActive()) << "note window";
    wnd->GetDestWnd()->SetActiveWindow();
    EXPECT_TRUE(note->IsActive()) << "destination window";

    CWnd owned;
    ASSERT_TRUE(owned.CreateEx(0, nullptr, "owned", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, wnd->GetSafeHwnd(), nullptr));
    owned.SetActiveWindow();
    EXPECT_TRUE(note->IsActive()) << "a window the note window owns";
    owned.DestroyWindow();

    mainWnd.ShowWindow(SW_SHOW);
    mainWnd.SetActiveWindow();
    EXPECT_FALSE(note->IsActive()) << "another window";
    mainWnd.ShowWindow(SW_HIDE);
}

TEST_F(ActionNoteTest, SavedNoteConfirmationUnlessTheUserHidIt)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    note->SetNoteText("lunch");
    CStringArray lines;
    lines.Add("To-do");
    note->ShowSavedNote(&lines, IDS_EDITION_NOTES);
    PumpPending();
    ASSERT_EQ(1u, mainWnd.savedMessages.size());
    EXPECT_EQ("Your note 'lunch' was filed in Lotus Notes To-do.", mainWnd.savedMessages[0]);

    DWORD hide = 1;
    settings->SetValue(ClientRegistry::HideSavedNoteDlg, &hide);
    note->ShowSavedNote(&lines, IDS_EDITION_NOTES);
    PumpPending();
    EXPECT_EQ(1u, mainWnd.savedMessages.size()) << "nothing posted while hidden";
}

// A sentence for every edition: its name after "in" (none without a label,
// as the web editions file), the kinds joined by commas and "and".
TEST(SavedNoteMessage, QuotesTheFirst35CharactersAndNamesTheDestinations)
{
    HMODULE library = ::LoadLibraryA("QuiRes1033.dll");
    ASSERT_NE(nullptr, library);
    HINSTANCE previous = AfxGetResourceHandle();
    AfxSetResourceHandle(library);
    std::string thirtyFive(35, 'a');
    struct Row {
        std::string text;
        std::vector<const char*> names;
        UINT label;
        std::string expected;
    } rows[] = {
        {thirtyFive, {"as a to do"}, IDS_EDITION_NOTES,
         "Your note '" + thirtyFive + "' was filed in Lotus Notes as a to do."},
        {thirtyFive + "b", {"as a to do"}, IDS_EDITION_NOTES,
         "Your note '" + thirtyFive + "...' was filed in Lotus Notes as a to do."},
        {"x", {"as a to do", "as a calendar entry", "as a journal entry"}, IDS_EDITION_NOTES,
         "Your note 'x' was filed in Lotus Notes as a to do, as a calendar entry and as a journal entry."},
        {"renew the deed 9am 1/1/2035", {"as a task", "as a calendar entry"}, IDS_EDITION_OUTLOOK,
         "Your note 'renew the deed 9am 1/1/2035' was filed in Microsoft Outlook as a task and as a calendar"
         " entry."},
        {"x", {"as a to do", "as a calendar entry"}, IDS_EDITION_PALM,
         "Your note 'x' was filed in Palm Desktop as a to do and as a calendar entry."},
        {"x", {"as a to do"}, 0, "Your note 'x' was filed as a to do."},
        {"x", {}, IDS_EDITION_NOTES, ""},
    };
    for (const Row& row : rows) {
        CSavedNote dialog(nullptr);
        CStringArray names;
        for (const char* name : row.names)
            names.Add(name);
        dialog.BuildMessage(row.text.c_str(), names, row.label);
        EXPECT_EQ(row.expected, dialog.GetMessage().GetString()) << row.text;
    }
    AfxSetResourceHandle(previous == AfxGetInstanceHandle() ? nullptr : previous);
    ::FreeLibrary(library);
}

} // namespace
