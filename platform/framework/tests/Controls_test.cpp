// Control wrappers with behaviour of their own: the check list box, menus,
// the list view's long texts and check boxes, point-size fonts.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "resources/TestIds.h"

namespace {

const CRect kRect(0, 0, 200, 150);

class CListParent : public CWnd {
public:
    int checkChanges = 0;

protected:
    afx_msg void OnCheckChange() { ++checkChanges; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CListParent, CWnd)
    ON_CONTROL(CLBN_CHKCHANGE, 157, OnCheckChange)
END_MESSAGE_MAP()

class CheckListTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, kRect, nullptr, 0));
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_SORT, kRect, &parent, 157));
    }
    int Index(const char* name) { return list.FindStringExact(-1, name); }
    LPARAM PointIn(int index, int x)
    {
        RECT rect = {};
        list.SendMessage(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
        return MAKELPARAM(x, (rect.top + rect.bottom) / 2);
    }
    void Click(int index, int x)
    {
        list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, PointIn(index, x));
        list.SendMessage(WM_LBUTTONUP, 0, PointIn(index, x));
    }
    CListParent parent;
    CCheckListBox list;
};

TEST_F(CheckListTest, ChecksAndItemDataStayWithTheirEntries)
{
    int apple = 1, pear = 2, plum = 3;
    list.AddString("pear");
    list.AddString("plum");
    list.SetItemDataPtr(Index("pear"), &pear);
    list.SetItemDataPtr(Index("plum"), &plum);
    list.SetCheck(Index("plum"), BST_CHECKED);
    list.AddString("apple");                  // sorts in front of both
    list.SetItemDataPtr(Index("apple"), &apple);
    list.AddString("banana");
    list.DeleteString(static_cast<UINT>(Index("banana")));

    struct Row {
        const char* name;
        int index;
        int check;
        int* data;
    };
    const Row rows[] = {
        {"apple", 0, BST_UNCHECKED, &apple},
        {"pear", 1, BST_UNCHECKED, &pear},
        {"plum", 2, BST_CHECKED, &plum},
    };
    ASSERT_EQ(3, list.GetCount());
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(r.index, Index(r.name));
        EXPECT_EQ(r.check, list.GetCheck(r.index));
        EXPECT_EQ(r.data, list.GetItemDataPtr(r.index));
        EXPECT_EQ(reinterpret_cast<LRESULT>(r.data), ::SendMessage(list.m_hWnd, LB_GETITEMDATA, static_cast<WPARAM>(r.index), 0));
    }
    EXPECT_EQ(-1, list.GetCheck(3));
    list.ResetContent();
    EXPECT_EQ(0, list.GetCount());
}

TEST_F(CheckListTest, UserTogglesWithTheBoxOrTheSpaceBar)
{
    list.AddString("apple");
    list.AddString("pear");
    Click(1, 60);                             // on the text: selects only
    EXPECT_EQ(1, list.GetCurSel());
    EXPECT_EQ(BST_UNCHECKED, list.GetCheck(1));
    EXPECT_EQ(0, parent.checkChanges);

    Click(0, 5);                              // on the box
    EXPECT_EQ(BST_CHECKED, list.GetCheck(0));
    EXPECT_EQ(1, parent.checkChanges);

    list.SetCurSel(1);
    list.SendMessage(WM_CHAR, ' ', 0);
    EXPECT_EQ(BST_CHECKED, list.GetCheck(1));
    list.SendMessage(WM_CHAR, ' ', 0);
    EXPECT_EQ(BST_UNCHECKED, list.GetCheck(1));
    EXPECT_EQ(3, parent.checkChanges);
}

TEST(CMenu, LoadsFromTheLibraryAndKeepsItsPopUps)
{
    TestResources resources;
    ASSERT_TRUE(resources.Loaded());
    HMENU hLoaded = nullptr;
    {
        CMenu menu;
        ASSERT_TRUE(menu.LoadMenu(IDM_CHOICES));
        hLoaded = menu.m_hMenu;
        CMenu* pPopup = menu.GetSubMenu(0);
        ASSERT_NE(nullptr, pPopup);
        EXPECT_EQ(pPopup, menu.GetSubMenu(0));
        EXPECT_EQ(nullptr, menu.GetSubMenu(1));
        EXPECT_EQ(3, pPopup->GetMenuItemCount());
        EXPECT_EQ(static_cast<UINT>(IDM_SECOND), pPopup->GetMenuItemID(1));
        CString text;
        EXPECT_EQ(6, pPopup->GetMenuString(IDM_THIRD, text, MF_BYCOMMAND));
        EXPECT_STREQ("&Third", text);

        EXPECT_TRUE(pPopup->CheckMenuRadioItem(IDM_FIRST, IDM_THIRD, IDM_SECOND, MF_BYCOMMAND));
        EXPECT_TRUE(pPopup->GetMenuState(IDM_SECOND, MF_BYCOMMAND) & MF_CHECKED);
        EXPECT_FALSE(pPopup->GetMenuState(IDM_FIRST, MF_BYCOMMAND) & MF_CHECKED);
        EXPECT_TRUE(pPopup->SetDefaultItem(0, TRUE));
        EXPECT_EQ(0u, ::GetMenuDefaultItem(pPopup->m_hMenu, TRUE, 0));

        EXPECT_TRUE(pPopup->DeleteMenu(IDM_SECOND, MF_BYCOMMAND));
        EXPECT_FALSE(pPopup->DeleteMenu(IDM_SECOND, MF_BYCOMMAND));
        EXPECT_TRUE(pPopup->InsertMenu(1, MF_BYPOSITION | MF_STRING, 9002, "Alice"));
        EXPECT_EQ(9002u, pPopup->GetMenuItemID(1));

        CMenu borrowed;
        EXPECT_TRUE(borrowed.Attach(hLoaded));
    }
    EXPECT_FALSE(::IsMenu(hLoaded)) << "the loading object destroys its menu; the borrowing one does not";
    CMenu missing;
    EXPECT_FALSE(missing.LoadMenu(999));
}

TEST(CListCtrl, ReadsLongTextsAndKeepsCheckMarks)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP, kRect, nullptr, 0));
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | LVS_REPORT, kRect, &parent, 137));
    list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    EXPECT_EQ(static_cast<DWORD>(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT), list.GetExtendedStyle());
    ASSERT_EQ(0, list.InsertColumn(0, "Name", LVCFMT_LEFT, 100));
    ASSERT_EQ(1, list.InsertColumn(1, "Words", LVCFMT_LEFT, 100));
    std::string words(600, 'w');
    ASSERT_EQ(0, list.InsertItem(0, "Alice"));
    ASSERT_EQ(1, list.InsertItem(1, "Bob"));
    EXPECT_TRUE(list.SetItemText(1, 1, words.c_str()));
    EXPECT_EQ(600, list.GetItemText(1, 1).GetLength());
    EXPECT_STREQ("Alice", list.GetItemText(0, 0));
    EXPECT_STREQ("", list.GetItemText(5, 0));

    EXPECT_TRUE(list.SetItemData(1, 0xB0B));
    EXPECT_EQ(0xB0Bu, list.GetItemData(1));
    EXPECT_FALSE(list.GetCheck(1));
    list.SetCheck(1, TRUE);
    EXPECT_TRUE(list.GetCheck(1));
    EXPECT_FALSE(list.GetCheck(0));
    list.SetCheck(1, FALSE);
    EXPECT_FALSE(list.GetCheck(1));

    LVFINDINFO find = {LVFI_STRING, "Bob"};
    EXPECT_EQ(1, list.FindItem(&find));
    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(1u, list.GetSelectedCount());
    EXPECT_EQ(1, list.GetNextItem(-1, LVNI_SELECTED));
}

TEST(CHotKeyCtrl, KeyInTheLowByteAndModifiersInTheNext)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP, kRect, nullptr, 0));
    CHotKeyCtrl hotKey;
    ASSERT_TRUE(hotKey.Create(WS_CHILD, CRect(0, 0, 100, 20), &parent, 1008));
    hotKey.SetHotKey('N', HOTKEYF_CONTROL | HOTKEYF_ALT);
    WORD key = 0, modifiers = 0;
    hotKey.GetHotKey(key, modifiers);
    EXPECT_EQ('N', key);
    EXPECT_EQ(HOTKEYF_CONTROL | HOTKEYF_ALT, modifiers);
    EXPECT_EQ(static_cast<DWORD>(MAKEWORD('N', HOTKEYF_CONTROL | HOTKEYF_ALT)), hotKey.GetHotKey());
}

TEST(CRichEditCtrl, ComesUpWithoutSetUpAndFormatsItsSelection)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP, kRect, nullptr, 0));
    CRichEditCtrl edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | ES_MULTILINE, kRect, &parent, 150));
    edit.SetWindowText("call the bank");
    EXPECT_EQ(13, edit.GetTextLength());
    edit.SetEventMask(ENM_CHANGE | ENM_SCROLL | ENM_REQUESTRESIZE);
    EXPECT_EQ(static_cast<DWORD>(0x40005), edit.GetEventMask());
    edit.SetSel(5, 8);
    long start = 0, end = 0;
    edit.GetSel(start, end);
    EXPECT_EQ(5, start);
    EXPECT_EQ(8, end);
    CHARFORMAT bold = {};
    bold.dwMask = CFM_BOLD;
    bold.dwEffects = CFE_BOLD;
    EXPECT_TRUE(edit.SetSelectionCharFormat(bold));
    CHARFORMAT read = {};
    edit.GetSelectionCharFormat(read);
    EXPECT_TRUE(read.dwEffects & CFE_BOLD);
}

TEST(CFont, PointSizesInTenthsBecomePixelHeights)
{
    CClientDC screen(nullptr);
    ASSERT_EQ(96, screen.GetDeviceCaps(LOGPIXELSY)) << "the rows below are for 96 dots per inch";
    struct Row {
        int tenths;
        LONG height;
    };
    const Row rows[] = {{80, -11}, {83, -11}, {85, -11}, {100, -13}, {120, -16}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.tenths);
        CFont font;
        ASSERT_TRUE(font.CreatePointFont(r.tenths, "Arial"));
        LOGFONT lf = {};
        font.GetLogFont(&lf);
        EXPECT_EQ(r.height, lf.lfHeight);
        EXPECT_STREQ("Arial", lf.lfFaceName);
    }
}

} // namespace
