// The tip dialog on screen: the next-tip button, the white tip text and the
// start-up check box saved by OK.
#include "TipDlg.h"
#include "ResMan.h"
#include "QuiResIds.h"
#include "RegistryBranch.h"
#include "TipTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// Runs the test's steps once the dialog is up, then the dialog's own end.
class DrivenTipDlg : public CTipDlg {
public:
    DrivenTipDlg(ClientRegistry& settings, LPCTSTR lpszFile, std::function<void(CTipDlg*)> steps)
        : CTipDlg(settings, lpszFile), m_steps(std::move(steps))
    {
    }
    BOOL OnInitDialog() override
    {
        BOOL result = CTipDlg::OnInitDialog();
        m_steps(this);
        return result;
    }

private:
    std::function<void(CTipDlg*)> m_steps;
};

std::string ItemText(CWnd* dialog, int id)
{
    CString text;
    dialog->GetDlgItemText(id, text);
    return std::string(text);
}

void Click(CWnd* dialog, int id)
{
    HWND button = dialog->GetDlgItem(id)->GetSafeHwnd();
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

class TipDialog : public RegistryBranch {
protected:
    CResMan m_resources{"QuiRes", 1033};
    TempTipFile m_file{"; tips\nfirst\nsecond\n"};
};

TEST_F(TipDialog, NextTipGoesOnAndOkSavesTheStartupBox)
{
    ClientRegistry settings;
    std::string shown;
    DrivenTipDlg dialog(settings, m_file.Path(), [&](CTipDlg* dlg) {
        EXPECT_TRUE(dlg->GetDlgItem(IDC_TIP_NEXT)->IsWindowEnabled());
        EXPECT_EQ(BST_CHECKED, dlg->IsDlgButtonChecked(IDC_TIP_STARTUP));
        shown = ItemText(dlg, IDC_TIP_TEXT);
        Click(dlg, IDC_TIP_NEXT);
        shown += "," + ItemText(dlg, IDC_TIP_TEXT);
        Click(dlg, IDC_TIP_NEXT);
        shown += "," + ItemText(dlg, IDC_TIP_TEXT);
        dlg->CheckDlgButton(IDC_TIP_STARTUP, BST_UNCHECKED);
        dlg->PostMessage(WM_COMMAND, IDOK);
    });
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ("first,second,first", shown);
    EXPECT_EQ(0u, TipSetting(settings, ClientRegistry::TipStartup));
}

TEST_F(TipDialog, CancelKeepsTheStartupSetting)
{
    ClientRegistry settings;
    DrivenTipDlg dialog(settings, m_file.Path(), [&](CTipDlg* dlg) {
        dlg->CheckDlgButton(IDC_TIP_STARTUP, BST_UNCHECKED);
        dlg->PostMessage(WM_COMMAND, IDCANCEL);
    });
    ASSERT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(1u, TipSetting(settings, ClientRegistry::TipStartup));
}

TEST_F(TipDialog, WithoutATipsFileNextTipIsDisabled)
{
    ClientRegistry settings;
    CString missing;
    missing.LoadString(IDS_TIP_MISSING);
    DrivenTipDlg dialog(settings, "C:\\no such folder\\tips.txt", [&](CTipDlg* dlg) {
        EXPECT_FALSE(dlg->GetDlgItem(IDC_TIP_NEXT)->IsWindowEnabled());
        EXPECT_EQ(std::string(missing), ItemText(dlg, IDC_TIP_TEXT));
        dlg->PostMessage(WM_COMMAND, IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
}

TEST_F(TipDialog, TheTipTextIsOnWhite)
{
    ClientRegistry settings;
    DrivenTipDlg dialog(settings, m_file.Path(), [&](CTipDlg* dlg) {
        HWND text = dlg->GetDlgItem(IDC_TIP_TEXT)->GetSafeHwnd();
        HWND box = dlg->GetDlgItem(IDC_TIP_STARTUP)->GetSafeHwnd();
        HDC dc = ::GetDC(text);
        LRESULT brush = dlg->SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(text));
        EXPECT_EQ(reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH)), brush);
        EXPECT_EQ(RGB(255, 255, 255), ::GetBkColor(dc));
        LRESULT other = dlg->SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(box));
        EXPECT_NE(reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH)), other);
        ::ReleaseDC(text, dc);
        dlg->PostMessage(WM_COMMAND, IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
}

TEST_F(TipDialog, TheProgramsOwnTipsFileIsRead)
{
    ClientRegistry settings;
    CTipDlg dialog(settings);
    CString missing;
    missing.LoadString(IDS_TIP_MISSING);
    EXPECT_STRNE(missing, dialog.GetTipText());
    EXPECT_NE(';', dialog.GetTipText()[0]);
}

} // namespace
