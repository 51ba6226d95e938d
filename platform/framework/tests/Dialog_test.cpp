// Dialogs from the resource library: a modal dialog driven by the test with
// data exchange both ways, refusals, and modeless dialogs.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "resources/TestIds.h"

namespace {

// What the dialog's controls showed when the test first looked.
struct Shown {
    CString name, count;
    UINT enabled = 0;
    int radio = 0;
    int choice = -1;
    BOOL ownerEnabled = TRUE;
};

class CDataDlg : public CDialog {
public:
    explicit CDataDlg(CWnd* pParent = nullptr) : CDialog(IDD_DATA, pParent) {}

    CString m_name;
    int m_count = 0;
    int m_enabled = 0;
    int m_radio = -1;
    CString m_choice;
    CButton m_enabledBox;
    // Runs on WM_APP, after initialisation; WM_APP + 1 runs the follow-up.
    std::function<void(CDataDlg&)> drive, followUp;

    BOOL OnInitDialog() override
    {
        for (const char* s : {"apple", "pear", "plum"})
            SendDlgItemMessage(IDC_CHOICES, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        CDialog::OnInitDialog();
        PostMessage(WM_APP);
        return TRUE;
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_NAME, m_name);
        DDX_Text(pDX, IDC_COUNT, m_count);
        DDX_Check(pDX, IDC_ENABLED, m_enabled);
        DDX_Radio(pDX, IDC_RADIO_FIRST, m_radio);
        DDX_LBString(pDX, IDC_CHOICES, m_choice);
        DDX_Control(pDX, IDC_ENABLED, m_enabledBox);
    }
    afx_msg LRESULT OnDrive(WPARAM, LPARAM)
    {
        if (drive)
            drive(*this);
        return 0;
    }
    afx_msg LRESULT OnFollowUp(WPARAM, LPARAM)
    {
        if (followUp)
            followUp(*this);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDataDlg, CDialog)
    ON_MESSAGE(WM_APP, OnDrive)
    ON_MESSAGE(WM_APP + 1, OnFollowUp)
END_MESSAGE_MAP()

Shown Look(CDataDlg& dlg, CWnd* pOwner)
{
    Shown s;
    dlg.GetDlgItemText(IDC_NAME, s.name);
    dlg.GetDlgItemText(IDC_COUNT, s.count);
    s.enabled = dlg.IsDlgButtonChecked(IDC_ENABLED);
    s.radio = dlg.GetCheckedRadioButton(IDC_RADIO_FIRST, IDC_AFTER_RADIOS);
    s.choice = static_cast<int>(dlg.SendDlgItemMessage(IDC_CHOICES, LB_GETCURSEL));
    s.ownerEnabled = pOwner ? pOwner->IsWindowEnabled() : TRUE;
    return s;
}

void Type(CDataDlg& dlg, const char* name, const char* count)
{
    dlg.SetDlgItemText(IDC_NAME, name);
    dlg.SetDlgItemText(IDC_COUNT, count);
}

class DialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(resources.Loaded());
        ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP, CRect(0, 0, 300, 200), nullptr, 0));
    }
    TestResources resources;
    CWnd owner;
};

TEST_F(DialogTest, ModalDialogExchangesDataBothWays)
{
    CDataDlg dlg(&owner);
    dlg.m_name = "Call the bank";
    dlg.m_count = 42;
    dlg.m_enabled = 1;
    dlg.m_radio = 1;
    dlg.m_choice = "pear";
    Shown shown;
    CWnd* pEnabledBox = nullptr;
    dlg.drive = [&](CDataDlg& d) {
        shown = Look(d, &owner);
        pEnabledBox = d.GetDlgItem(IDC_ENABLED);
        Type(d, "Lunch", " 17 ");
        d.CheckDlgButton(IDC_ENABLED, BST_UNCHECKED);
        d.CheckRadioButton(IDC_RADIO_FIRST, IDC_RADIO_THIRD, IDC_RADIO_THIRD);
        d.CheckDlgButton(IDC_AFTER_RADIOS, BST_CHECKED);   // another group: not counted
        d.SendDlgItemMessage(IDC_CHOICES, LB_SETCURSEL, 2);
        d.PostMessage(WM_COMMAND, IDOK);
    };
    EXPECT_EQ(IDOK, dlg.DoModal());

    EXPECT_STREQ("Call the bank", shown.name);
    EXPECT_STREQ("42", shown.count);
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), shown.enabled);
    EXPECT_EQ(IDC_RADIO_SECOND, shown.radio);
    EXPECT_EQ(1, shown.choice);
    EXPECT_FALSE(shown.ownerEnabled) << "the owner is disabled while the dialog runs";

    EXPECT_STREQ("Lunch", dlg.m_name);
    EXPECT_EQ(17, dlg.m_count);
    EXPECT_EQ(0, dlg.m_enabled);
    EXPECT_EQ(2, dlg.m_radio);
    EXPECT_STREQ("plum", dlg.m_choice);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_EQ(&dlg.m_enabledBox, pEnabledBox) << "the member control is the control's object";
    EXPECT_EQ(nullptr, dlg.m_enabledBox.m_hWnd) << "and lets go of it when the dialog goes";
}

TEST_F(DialogTest, CancelLeavesTheMembersAlone)
{
    CDataDlg dlg(&owner);
    dlg.m_name = "kept";
    dlg.m_choice = "absent";   // no such entry: nothing selected
    Shown shown;
    dlg.drive = [&](CDataDlg& d) {
        shown = Look(d, &owner);
        Type(d, "changed", "5");
        d.PostMessage(WM_COMMAND, IDCANCEL);
    };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_STREQ("kept", dlg.m_name);
    EXPECT_EQ(-1, shown.choice);
    EXPECT_EQ(0, shown.radio) << "radio -1 checks none of the group";
}

TEST_F(DialogTest, NumberThatIsNotOneIsRefusedAndTheDialogStays)
{
    struct Row {
        const char* typed;
    };
    const Row rows[] = {{"12x"}, {""}, {"99999999999"}, {"1 2"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.typed);
        CPromptScript prompts;
        prompts.AnswerNext(IDOK);
        CDataDlg dlg(&owner);
        int focusAfterRefusal = 0;
        dlg.drive = [&](CDataDlg& d) {
            Type(d, "name", r.typed);
            d.PostMessage(WM_COMMAND, IDOK);
            d.PostMessage(WM_APP + 1);
        };
        dlg.followUp = [&](CDataDlg& d) {
            focusAfterRefusal = ::GetDlgCtrlID(::GetFocus());
            d.SetDlgItemText(IDC_COUNT, "-3");
            d.PostMessage(WM_COMMAND, IDOK);
        };
        EXPECT_EQ(IDOK, dlg.DoModal());
        EXPECT_EQ(-3, dlg.m_count);
        ASSERT_EQ(1u, prompts.Asked().size());
        EXPECT_STREQ("Please enter an integer.", prompts.Asked()[0].text);
        EXPECT_EQ(0, prompts.Unexpected());
        EXPECT_EQ(IDC_COUNT, focusAfterRefusal) << "the focus goes to the refused field";
    }
}

TEST_F(DialogTest, MissingTemplateIsAFailureNotAWindow)
{
    CDialog dlg(999, &owner);
    EXPECT_EQ(-1, dlg.DoModal());
    EXPECT_FALSE(dlg.Create(999, &owner));
    EXPECT_TRUE(owner.IsWindowEnabled());
}

// Ends itself while being set up; a late message would end it otherwise.
class CEndsAtOnceDlg : public CDialog {
public:
    explicit CEndsAtOnceDlg(CWnd* pParent) : CDialog(IDD_DATA, pParent) {}
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        PostMessage(WM_APP);
        EndDialog(IDCANCEL);
        return TRUE;
    }

protected:
    afx_msg LRESULT OnLate(WPARAM, LPARAM)
    {
        EndDialog(IDABORT);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CEndsAtOnceDlg, CDialog)
    ON_MESSAGE(WM_APP, OnLate)
END_MESSAGE_MAP()

TEST_F(DialogTest, EndingDuringSetUpEndsTheDialogAtOnce)
{
    CEndsAtOnceDlg dlg(&owner);
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(IDCANCEL, dlg.DoModal()) << "a second run starts afresh";
}

int g_nDialogsDeleted = 0;

class CModelessDlg : public CDataDlg {
public:
    ~CModelessDlg() override { ++g_nDialogsDeleted; }

protected:
    void PostNcDestroy() override { delete this; }
};

TEST_F(DialogTest, ModelessDialogEndsByDestroyingItself)
{
    g_nDialogsDeleted = 0;
    CModelessDlg* pDlg = new CModelessDlg;
    pDlg->m_name = "modeless";
    ASSERT_TRUE(pDlg->Create(IDD_DATA, &owner));
    HWND hDlg = pDlg->m_hWnd;
    EXPECT_TRUE(owner.IsWindowEnabled());
    CString name;
    pDlg->GetDlgItemText(IDC_NAME, name);
    EXPECT_STREQ("modeless", name);

    // Its keyboard goes through the dialog manager: Tab moves between fields.
    pDlg->GetDlgItem(IDC_NAME)->SetFocus();
    ::PostMessage(::GetDlgItem(hDlg, IDC_NAME), WM_KEYDOWN, VK_TAB, 0);
    PumpUntil([&] { return ::GetDlgCtrlID(::GetFocus()) == IDC_COUNT; }, 2000);
    EXPECT_EQ(IDC_COUNT, ::GetDlgCtrlID(::GetFocus()));

    ::PostMessage(hDlg, WM_COMMAND, IDCANCEL, 0);
    PumpUntil([&] { return !::IsWindow(hDlg); });
    EXPECT_FALSE(::IsWindow(hDlg));
    EXPECT_EQ(1, g_nDialogsDeleted);
}

} // namespace
