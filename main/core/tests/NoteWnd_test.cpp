// The note window: closing, Tab through the panes, cascading and the stored
// position, the list of recognised items, pane toggles.
#include "NoteTestSupport.h"

#include "FrameworkUtil.h"

using namespace notes_test;

namespace {

// From the focus on `from`, command (Tab or Shift+Tab) leaves it on `expected`.
struct TabRow {
    const char* what;
    HWND from;
    UINT command;
    HWND expected;
};

class NoteWndTest : public NoteFixture {
protected:
    static void CheckTabRows(CNoteWnd* wnd, std::initializer_list<TabRow> rows)
    {
        for (const TabRow& row : rows) {
            ::SetFocus(row.from);
            wnd->SendMessage(WM_COMMAND, row.command);
            EXPECT_EQ(row.expected, ::GetFocus()) << row.what;
        }
    }

    // The window holding the focus, as a handle.
    static HWND Focus() { return ::GetFocus(); }
    static HWND EditOf(CActionNote* note) { return note->GetNoteWnd()->GetNoteBox()->GetEditWindow(); }
};

TEST_F(NoteWndTest, ClosingDestroysBothWindowsAndTheNote)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    HWND wnd = note->GetNoteWnd()->GetSafeHwnd();
    HWND dest = note->GetNoteWnd()->GetDestWnd()->GetSafeHwnd();
    ASSERT_TRUE(::IsWindowVisible(wnd));
    EXPECT_TRUE(::IsWindowVisible(dest)) << "the destination window is shown with the note window";

    ::SendMessage(wnd, WM_COMMAND, ID_DEST_CLOSE_NOTE, 0);
    EXPECT_TRUE(::IsWindow(wnd)) << "the close command is posted";
    PumpPending();
    EXPECT_FALSE(::IsWindow(wnd));
    EXPECT_FALSE(::IsWindow(dest));
    EXPECT_EQ(0, app.GetNoteCount());
    EXPECT_EQ(1, app.deletedNotes);
}

TEST_F(NoteWndTest, TheDestinationWindowsCloseButtonClosesTheNote)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    HWND wnd = note->GetNoteWnd()->GetSafeHwnd();
    note->GetNoteWnd()->GetDestWnd()->SendMessage(WM_COMMAND, ID_DEST_CLOSE_NOTE);
    PumpPending();
    EXPECT_FALSE(::IsWindow(wnd));
    EXPECT_EQ(0, app.GetNoteCount());
}

TEST_F(NoteWndTest, TabWalksThroughThePanesAndBack)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    CNoteWnd* wnd = note->GetNoteWnd();
    CTestDestWnd* dest = note->Wnd()->Dest();
    wnd->SetActiveWindow();
    CheckTabRows(wnd, {
        {"note box to the first pane", EditOf(note), ID_NOTE_NEXT_TAB, dest->todoFirst},
        {"within a pane", dest->todoFirst, ID_NOTE_NEXT_TAB, dest->todoLast},
        {"from a pane's last field to the next pane", dest->todoLast, ID_NOTE_NEXT_TAB, dest->memoField},
        {"from the last pane back to the note box", dest->memoField, ID_NOTE_NEXT_TAB, EditOf(note)},
        {"Shift+Tab from the note box to the last field", EditOf(note), ID_NOTE_PREVIOUS_TAB, dest->memoField},
        {"Shift+Tab to the pane before", dest->memoField, ID_NOTE_PREVIOUS_TAB, dest->todoLast},
        {"Shift+Tab within a pane", dest->todoLast, ID_NOTE_PREVIOUS_TAB, dest->todoFirst},
        {"Shift+Tab from the first field to the note box", dest->todoFirst, ID_NOTE_PREVIOUS_TAB, EditOf(note)},
    });
}

TEST_F(NoteWndTest, WithTheEditLineShownTabStillReachesThePanes)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    CNoteWnd* wnd = note->GetNoteWnd();
    CTestDestWnd* dest = note->Wnd()->Dest();
    wnd->ShowEditLine(TRUE);
    CRect box = WindowRect(wnd->GetNoteBox());
    CRect line = WindowRect(&wnd->GetEditLine());
    EXPECT_EQ(line.top + 25, box.top) << "the note box starts under the edit line";
    CheckTabRows(wnd, {
        {"note box to the edit line", EditOf(note), ID_NOTE_NEXT_TAB, wnd->GetEditLine()},
        {"edit line into the panes", wnd->GetEditLine(), ID_NOTE_NEXT_TAB, dest->todoFirst},
        {"back from the edit line", wnd->GetEditLine(), ID_NOTE_PREVIOUS_TAB, EditOf(note)},
    });
}

TEST_F(NoteWndTest, TheTabKeyGoesThroughTheAccelerators)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    CTestDestWnd* dest = note->Wnd()->Dest();
    note->GetNoteWnd()->SetActiveWindow();
    ::SetFocus(EditOf(note));
    ::PostMessage(EditOf(note), WM_KEYDOWN, VK_TAB, 1);
    PumpPending();
    EXPECT_EQ(dest->todoFirst.GetSafeHwnd(), Focus());
    ::PostMessage(dest->todoFirst, WM_KEYDOWN, VK_TAB, 1);
    PumpPending();
    EXPECT_EQ(dest->todoLast.GetSafeHwnd(), Focus()) << "a pane's field reaches the note window's keys";
    EXPECT_STREQ("", Text(note).c_str()) << "the Tab key typed nothing";
}

TEST_F(NoteWndTest, TabSkipsAPaneWithoutFields)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    CNoteWnd* wnd = note->GetNoteWnd();
    CTestDestWnd* dest = note->Wnd()->Dest();
    dest->memoField.ShowWindow(SW_HIDE);
    CheckTabRows(wnd, {
        {"the memo pane has nothing to stop at", dest->todoLast, ID_NOTE_NEXT_TAB, EditOf(note)},
        {"nor backwards", EditOf(note), ID_NOTE_PREVIOUS_TAB, dest->todoLast},
    });
}

TEST_F(NoteWndTest, ToThePanesOnlyFromTheActiveNoteWindow)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    CNoteWnd* wnd = note->GetNoteWnd();
    CTestDestWnd* dest = note->Wnd()->Dest();
    wnd->SetActiveWindow();
    ::SetFocus(EditOf(note));
    wnd->SendMessage(WM_COMMAND, ID_NOTE_TO_PANES);
    EXPECT_EQ(dest->todoFirst.GetSafeHwnd(), Focus());

    dest->SetActiveWindow();
    ::SetFocus(dest->memoField);
    wnd->SendMessage(WM_COMMAND, ID_NOTE_TO_PANES);
    EXPECT_EQ(EditOf(note), Focus()) << "with the destination window active the focus goes to the note";
}

TEST_F(NoteWndTest, NewNotesCascadeFromTheCurrentOne)
{
    CTestNote* first = Open();
    ASSERT_NE(nullptr, first);
    int step = CNoteWnd::GetTitleHeight();
    ASSERT_GT(step, 0);
    CRect base = WindowRect(first->GetNoteWnd());

    CTestNote* cascaded = Open(TRUE);
    ASSERT_NE(nullptr, cascaded);
    CRect expected = base;
    expected.OffsetRect(step, step);
    EXPECT_EQ(expected, WindowRect(cascaded->GetNoteWnd()));

    CTestNote* stacked = Open(FALSE);
    ASSERT_NE(nullptr, stacked);
    EXPECT_EQ(expected, WindowRect(stacked->GetNoteWnd())) << "without cascading: onto the current note";

    CRect dest = WindowRect(stacked->GetNoteWnd()->GetDestWnd());
    EXPECT_EQ(expected.right, dest.left);
    EXPECT_EQ(expected.top, dest.top) << "the destination window stands at the top right corner";
}

TEST_F(NoteWndTest, TheFirstNoteIsCentredAndFittedToItsDestinationWindow)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    CRect rect = WindowRect(note->GetNoteWnd());
    SIZE dest;
    note->GetNoteWnd()->GetDestWnd()->GetSize(&dest);
    EXPECT_EQ(dest.cy, rect.Height());
    CRect work;
    ::SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    int centreX = work.left + (work.Width() - rect.Width()) / 2 - dest.cx / 2;
    EXPECT_NEAR(centreX, rect.left, 1) << "centred, then moved left by half the destination window";
}

TEST_F(NoteWndTest, MovingStoresThePositionAndTheNextNoteOpensThere)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    CNoteWnd* wnd = note->GetNoteWnd();
    wnd->SetWindowPos(nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    CRect moved = WindowRect(wnd);
    const RECT* stored = static_cast<const RECT*>(settings->GetValue(ClientRegistry::Position, false));
    ASSERT_NE(nullptr, stored);
    EXPECT_EQ(moved, CRect(*stored));
    CRect dest = WindowRect(wnd->GetDestWnd());
    EXPECT_EQ(CPoint(moved.right, moved.top), dest.TopLeft()) << "the destination window came along";

    wnd->ShowWindow(SW_HIDE);
    wnd->SetWindowPos(nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    stored = static_cast<const RECT*>(settings->GetValue(ClientRegistry::Position, false));
    EXPECT_EQ(moved, CRect(*stored)) << "a hidden window stores nothing";

    note->DestroyNoteWnd();
    PumpPending();
    CTestNote* next = Open();
    ASSERT_NE(nullptr, next);
    EXPECT_EQ(moved, WindowRect(next->GetNoteWnd()));
}

TEST_F(NoteWndTest, DragOutlineAndSmallestSizeCoverTheDestinationWindow)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    CNoteWnd* wnd = note->GetNoteWnd();
    BOOL fullDrag = FALSE;
    ::SystemParametersInfo(SPI_GETDRAGFULLWINDOWS, 0, &fullDrag, 0);
    struct Row {
        BOOL fullWindows;
        int expectedRight;
    } rows[] = {{TRUE, 110}, {FALSE, 120}};
    for (const Row& row : rows) {
        ::SystemParametersInfo(SPI_SETDRAGFULLWINDOWS, row.fullWindows, nullptr, 0);
        RECT drag = {100, 20, 110, 40};
        wnd->SendMessage(WM_MOVING, WMSZ_TOPLEFT, reinterpret_cast<LPARAM>(&drag));
        EXPECT_EQ(row.expectedRight, drag.right) << "full-window drag " << row.fullWindows;
        EXPECT_EQ(100, drag.left);
    }
    ::SystemParametersInfo(SPI_SETDRAGFULLWINDOWS, fullDrag, nullptr, 0);

    MINMAXINFO info = {};
    wnd->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    SIZE dest;
    wnd->GetDestWnd()->GetSize(&dest);
    EXPECT_EQ(CPoint(dest.cx, dest.cy), CPoint(info.ptMinTrackSize));
}

TEST_F(NoteWndTest, AWindowThatCannotBeMadeLeavesNoNoteBehind)
{
    app.failDestWnd = true;
    EXPECT_EQ(nullptr, app.CreateNote(TRUE));
    EXPECT_EQ(0, app.GetNoteCount()) << "the deleted note is not listed";
    EXPECT_EQ(1, app.deletedNotes);
    EXPECT_EQ(nullptr, app.GetCurrentNote());
}

TEST_F(NoteWndTest, RecognisedItemsListGrowsToThreeRowsAndDisappearsWhenEmpty)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    CNoteWnd* wnd = note->GetNoteWnd();
    CListCtrl& list = wnd->GetList();
    CRect emptyBox = WindowRect(wnd->GetNoteBox());
    EXPECT_FALSE(list.IsWindowVisible());
    EXPECT_FALSE(wnd->GetRemoveButton().IsWindowVisible());

    wnd->AddListEntry("Ann", 1, FALSE);
    EXPECT_TRUE(list.IsWindowVisible());
    EXPECT_TRUE(wnd->GetRemoveButton().IsWindowVisible());
    EXPECT_LT(WindowRect(wnd->GetNoteBox()).Height(), emptyBox.Height());
    EXPECT_EQ(WindowRect(&list).top - 5, WindowRect(wnd->GetNoteBox()).bottom);

    struct Row {
        const char* text;
        BOOL duplicates;
        int count;
    } rows[] = {
        {"ann", FALSE, 1},  // the same name in another case
        {"Ann", TRUE, 2},
        {"Bob", FALSE, 3},
        {"Cy", FALSE, 4},
    };
    for (const Row& row : rows) {
        wnd->AddListEntry(row.text, 2, row.duplicates);
        EXPECT_EQ(row.count, list.GetItemCount()) << row.text;
    }
    int threeRows = WindowRect(&list).Height();
    wnd->AddListEntry("Dee", 5, FALSE);
    EXPECT_EQ(threeRows, WindowRect(&list).Height()) << "more entries scroll";

    wnd->RemoveListItem("Bob");
    EXPECT_EQ(4, list.GetItemCount());
    list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_TRUE(wnd->GetRemoveButton().IsActive());
    wnd->SendMessage(WM_COMMAND, ID_NOTE_REMOVE);
    EXPECT_EQ(0, list.GetItemCount());
    EXPECT_FALSE(list.IsWindowVisible());
    EXPECT_EQ(emptyBox, WindowRect(wnd->GetNoteBox())) << "the note box grew back";
}

TEST_F(NoteWndTest, PaneCommandsToggleThePaneAsTheUsersChange)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    CTestDestWnd* dest = note->Wnd()->Dest();
    CCheckButtonProp* check = dest->todo.GetDestination()->GetCheckProp();
    ASSERT_FALSE(dest->todo.GetCheckButton()->GetCheck());
    note->GetNoteWnd()->SendMessage(WM_COMMAND, kToDoPane);
    PumpPending();
    EXPECT_TRUE(dest->todo.GetCheckButton()->GetCheck());
    EXPECT_EQ(4, check->GetFlags() & 4);
    note->GetNoteWnd()->SendMessage(WM_COMMAND, kToDoPane);
    PumpPending();
    EXPECT_FALSE(dest->todo.GetCheckButton()->GetCheck());
    note->GetNoteWnd()->SendMessage(WM_COMMAND, 530);  // no such pane: nothing happens
    EXPECT_FALSE(dest->memo.GetCheckButton()->GetCheck());
}

TEST_F(NoteWndTest, AnAttachedFileIsListedByItsNameAndKeepsItsPath)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    CNoteWnd* wnd = note->GetNoteWnd();
    CPromptScript prompts;
    prompts.AnswerNextFile("C:\\notes\\minutes.txt");
    prompts.AnswerNext(IDCANCEL);
    wnd->SendMessage(WM_COMMAND, ID_NOTE_ATTACH);
    wnd->SendMessage(WM_COMMAND, ID_NOTE_ATTACH);
    ASSERT_EQ(2u, prompts.Asked().size());
    EXPECT_EQ(PromptKind::OpenFile, prompts.Asked()[0].kind);
    EXPECT_STREQ("Attach a File", prompts.Asked()[0].caption);
    CListCtrl& list = wnd->GetList();
    ASSERT_EQ(1, list.GetItemCount()) << "a cancelled dialog attaches nothing";
    EXPECT_STREQ("minutes.txt", list.GetItemText(0, 0));
    const CString* path = reinterpret_cast<const CString*>(list.GetItemData(0));
    ASSERT_NE(nullptr, path);
    EXPECT_STREQ("C:\\notes\\minutes.txt", *path);
    EXPECT_TRUE(list.IsWindowVisible());
}

TEST_F(NoteWndTest, ButtonTipsComeFromTheirStrings)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    CNoteWnd* wnd = note->GetNoteWnd();
    struct Row {
        int id;
        const char* tip;
    } rows[] = {
        {ID_NOTE_VIEWER, "Open the keyword database"},
        {ID_DEST_HELP, "Help on filing notes"},
        {ID_DEST_CLOSE_NOTE, "Close the note"},
    };
    for (const Row& row : rows) {
        HWND button = ::GetDlgItem(*wnd, row.id);
        ASSERT_NE(nullptr, button) << row.id;
        NMTTDISPINFOA info = {};
        info.hdr.hwndFrom = button;
        info.hdr.idFrom = reinterpret_cast<UINT_PTR>(button);
        info.hdr.code = TTN_NEEDTEXTA;
        info.uFlags = TTF_IDISHWND;
        wnd->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_STREQ(row.tip, info.lpszText ? info.lpszText : "") << row.id;
    }
}

TEST_F(NoteWndTest, ContactButtonsAndTheSystemMenu)
{
    CTestNote* note = Open();
    ASSERT_NE(nullptr, note);
    CNoteWnd* wnd = note->GetNoteWnd();
    // The base note answers TRUE with an empty name: the list takes it once.
    wnd->SendMessage(WM_COMMAND, ID_NOTE_CONTACTS);
    wnd->SendMessage(WM_COMMAND, ID_NOTE_MORE_CONTACTS);
    EXPECT_EQ(1, wnd->GetList().GetItemCount());
    HMENU system = ::GetSystemMenu(*wnd, FALSE);
    ASSERT_NE(nullptr, system);
    EXPECT_EQ(static_cast<UINT>(-1), ::GetMenuState(system, SC_MAXIMIZE, MF_BYCOMMAND));
    EXPECT_EQ(static_cast<UINT>(-1), ::GetMenuState(system, SC_MINIMIZE, MF_BYCOMMAND));
    EXPECT_NE(static_cast<UINT>(-1), ::GetMenuState(system, SC_CLOSE, MF_BYCOMMAND));
}

} // namespace

namespace {

class NoteDialogsTest : public NoteFixture {};

TEST_F(NoteDialogsTest, MoreContactsTakesTheSelectionOrNothing)
{
    struct Row {
        int select;
        int id;
        const char* name;
    } rows[] = {{1, 22, "Bob"}, {LB_ERR, 0, ""}};
    for (const Row& row : rows) {
        CMoreContacts dialog(nullptr);
        ASSERT_TRUE(dialog.Create(IDD_MORE_CONTACTS, nullptr));
        HWND list = ::GetDlgItem(dialog, IDC_MORE_CONTACTS_LIST);
        ASSERT_NE(nullptr, list);
        const char* names[] = {"Ann", "Bob"};
        for (int i = 0; i < 2; ++i) {
            LRESULT index = ::SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i]));
            ::SendMessage(list, LB_SETITEMDATA, index, 11 * (i + 1));
        }
        ::SendMessage(list, LB_SETCURSEL, row.select, 0);
        dialog.OnOK();
        EXPECT_EQ(row.id, dialog.GetSelectedId()) << row.select;
        EXPECT_STREQ(row.name, dialog.GetSelectedName()) << row.select;
        EXPECT_FALSE(::IsWindow(list)) << "the dialog closed";
    }
}

TEST_F(NoteDialogsTest, SavedNoteShowsItsMessageAndReadsTheCheckBox)
{
    CSavedNote dialog(nullptr);
    CStringArray names;
    names.Add("To-do");
    dialog.BuildMessage("lunch", names, IDS_EDITION_NOTES);
    ASSERT_TRUE(dialog.Create(IDD_SAVED_NOTE, nullptr));
    char text[200] = {};
    ::GetDlgItemTextA(dialog, IDC_SAVED_TEXT, text, sizeof text);
    EXPECT_STREQ("Your note 'lunch' was filed in Lotus Notes To-do.", text);
    EXPECT_EQ(BST_UNCHECKED, ::IsDlgButtonChecked(dialog, IDC_SAVED_DONT_SHOW));
    EXPECT_EQ(0, dialog.GetDontShowAgain());
    ::CheckDlgButton(dialog, IDC_SAVED_DONT_SHOW, BST_CHECKED);
    EXPECT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(1, dialog.GetDontShowAgain());
    dialog.DestroyWindow();
}

} // namespace
