// Property sheets: pages bound to their objects, data exchange on the way in
// and out, Apply and OK applying the visited pages, modal and modeless ends.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "resources/TestIds.h"

namespace {

EventLog g_log;

class CTextPage : public CPropertyPage {
public:
    CTextPage() : CPropertyPage(IDD_PAGE_TEXT, IDS_PAGE_TEXT) {}
    CString m_text;
    BOOL refuseToLeave = FALSE;
    std::function<void(CTextPage&)> drive;   // on WM_APP, once the page is up

    BOOL OnInitDialog() override
    {
        BOOL result = CPropertyPage::OnInitDialog();
        if (drive)
            PostMessage(WM_APP);
        return result;
    }
    BOOL OnKillActive() override { return !refuseToLeave && CPropertyPage::OnKillActive(); }
    BOOL OnApply() override
    {
        g_log.Add("apply text " + std::string(m_text));
        return CPropertyPage::OnApply();
    }
    void OnReset() override { g_log.Add("reset text"); }

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_PAGE_TEXT, m_text); }
    afx_msg LRESULT OnDrive(WPARAM, LPARAM)
    {
        drive(*this);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTextPage, CPropertyPage)
    ON_MESSAGE(WM_APP, OnDrive)
END_MESSAGE_MAP()

class CCheckPage : public CPropertyPage {
public:
    CCheckPage() : CPropertyPage(IDD_PAGE_CHECK, IDS_PAGE_CHECK) {}
    int m_check = 0;
    BOOL OnApply() override
    {
        g_log.Add("apply check " + std::to_string(m_check));
        return CPropertyPage::OnApply();
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Check(pDX, IDC_PAGE_CHECK, m_check); }
};

int g_nSheetsDeleted = 0;

class CSelfDeletingSheet : public CPropertySheet {
public:
    CSelfDeletingSheet() : CPropertySheet("Preferences") {}
    ~CSelfDeletingSheet() override { ++g_nSheetsDeleted; }

protected:
    void PostNcDestroy() override { delete this; }
};

class SheetTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(resources.Loaded());
        g_log.Clear();
        text.m_text = "first";
    }
    TestResources resources;
    CTextPage text;
    CCheckPage check;
};

TEST_F(SheetTest, ModelessSheetAppliesThePagesItShowed)
{
    CPropertySheet sheet("Preferences");
    sheet.AddPage(&text);
    sheet.AddPage(&check);
    ASSERT_TRUE(sheet.Create());
    HWND hSheet = sheet.m_hWnd;
    EXPECT_TRUE(sheet.IsWindowVisible());
    EXPECT_EQ(&text, sheet.GetActivePage());
    EXPECT_EQ(&text, CWnd::FromHandlePermanent(text.m_hWnd));
    EXPECT_EQ(nullptr, check.m_hWnd) << "a page is made when it is first shown";
    CString shown;
    text.GetDlgItemText(IDC_PAGE_TEXT, shown);
    EXPECT_STREQ("first", shown);

    HWND hApply = ::GetDlgItem(hSheet, ID_APPLY_NOW);
    ASSERT_NE(nullptr, hApply);
    EXPECT_FALSE(::IsWindowEnabled(hApply));
    text.SetDlgItemText(IDC_PAGE_TEXT, "second");
    text.SetModified(TRUE);
    EXPECT_TRUE(::IsWindowEnabled(hApply));
    sheet.PressButton(PSBTN_APPLYNOW);
    PumpUntil([&] { return !g_log.entries.empty(); });
    EXPECT_EQ("apply text second", g_log.Joined());
    EXPECT_STREQ("second", text.m_text);
    EXPECT_TRUE(::IsWindow(hSheet)) << "Apply keeps the sheet open";

    ASSERT_TRUE(sheet.SetActivePage(1));
    EXPECT_EQ(1, sheet.GetActiveIndex());
    ASSERT_NE(nullptr, check.m_hWnd);
    check.CheckDlgButton(IDC_PAGE_CHECK, BST_CHECKED);
    g_log.Clear();
    sheet.PressButton(PSBTN_OK);
    PumpUntil([&] { return !::IsWindow(hSheet); });
    EXPECT_FALSE(::IsWindow(hSheet)) << "OK ends a modeless sheet too";
    EXPECT_EQ(nullptr, sheet.m_hWnd);
    EXPECT_EQ(1, check.m_check);
    EXPECT_NE(std::string::npos, g_log.Joined().find("apply check 1"));
    EXPECT_NE(std::string::npos, g_log.Joined().find("apply text second"));
    EXPECT_EQ(nullptr, text.m_hWnd);
}

TEST_F(SheetTest, CancelledSelfDeletingSheetGoesOnceAndAppliesNothing)
{
    g_nSheetsDeleted = 0;
    CSelfDeletingSheet* pSheet = new CSelfDeletingSheet;
    pSheet->AddPage(&text);
    ASSERT_TRUE(pSheet->Create(nullptr, static_cast<DWORD>(-1), WS_EX_TOPMOST));
    HWND hSheet = pSheet->m_hWnd;
    EXPECT_TRUE(::GetWindowLong(hSheet, GWL_EXSTYLE) & WS_EX_TOPMOST);
    text.SetDlgItemText(IDC_PAGE_TEXT, "discarded");
    ::PostMessage(hSheet, WM_COMMAND, IDCANCEL, 0);
    PumpUntil([&] { return !::IsWindow(hSheet); });
    EXPECT_FALSE(::IsWindow(hSheet));
    EXPECT_EQ(1, g_nSheetsDeleted);
    EXPECT_EQ("reset text", g_log.Joined());
    EXPECT_STREQ("first", text.m_text);
}

TEST_F(SheetTest, PageThatRefusesToLeaveKeepsTheSheetOnIt)
{
    CPropertySheet sheet("Preferences");
    sheet.AddPage(&text);
    sheet.AddPage(&check);
    ASSERT_TRUE(sheet.Create());
    text.refuseToLeave = TRUE;
    sheet.SetActivePage(1);
    EXPECT_EQ(0, sheet.GetActiveIndex());
    text.refuseToLeave = FALSE;
    sheet.SetActivePage(1);
    EXPECT_EQ(1, sheet.GetActiveIndex());
    sheet.DestroyWindow();
}

TEST_F(SheetTest, ModalSheetReturnsHowItEnded)
{
    struct Row {
        int button;
        INT_PTR result;
        const char* text;
        const char* log;
    };
    const Row rows[] = {
        {PSBTN_OK, IDOK, "typed", "apply text typed"},
        {PSBTN_CANCEL, IDCANCEL, "first", "reset text"},
    };
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0));
    for (const Row& r : rows) {
        SCOPED_TRACE(r.log);
        g_log.Clear();
        text.m_text = "first";
        BOOL ownerEnabledWhileShown = TRUE;
        text.drive = [&](CTextPage& page) {
            ownerEnabledWhileShown = owner.IsWindowEnabled();
            page.SetDlgItemText(IDC_PAGE_TEXT, "typed");
            ::PostMessage(::GetParent(page.m_hWnd), PSM_PRESSBUTTON, static_cast<WPARAM>(r.button), 0);
        };
        CPropertySheet sheet("Modal", &owner);
        sheet.AddPage(&text);
        EXPECT_EQ(r.result, sheet.DoModal());
        EXPECT_STREQ(r.text, text.m_text);
        EXPECT_EQ(r.log, g_log.Joined());
        EXPECT_FALSE(ownerEnabledWhileShown);
        EXPECT_TRUE(owner.IsWindowEnabled());
        EXPECT_EQ(nullptr, sheet.m_hWnd);
    }
}

TEST_F(SheetTest, SheetWithoutPagesOrTemplatesIsNotMade)
{
    CPropertySheet empty("Empty");
    EXPECT_FALSE(empty.Create());
    CPropertyPage missing(999);
    CPropertySheet broken("Broken");
    broken.AddPage(&missing);
    EXPECT_EQ(-1, broken.DoModal());
}

} // namespace
