#include "FrameworkUtil.h"

#include <gtest/gtest.h>

#include <string>

TEST(FrameworkUtil, FindTabStopGivesEachChildsOwnObject)
{
    CDialog dlg;
    CEdit edit;
    ASSERT_TRUE(dlg.Create(300) && edit.SubclassDlgItem(14, &dlg));
    CWnd* first = dlg.GetDlgItem(10);
    CWnd* last = dlg.GetDlgItem(15);
    struct Row {
        CWnd* from;
        BOOL backward;
        CWnd* found;
    } rows[] = {{nullptr, TRUE, last}, {first, FALSE, &edit}, {&edit, FALSE, last}, {last, FALSE, first}, {last, TRUE, &edit}};
    for (const Row& r : rows)
        EXPECT_EQ(r.found, FindTabStop(&dlg, r.from, r.backward)) << r.from << (r.backward ? " backward" : " forward");
    EXPECT_EQ(first, FindFirstTabStop(&dlg));
    EXPECT_EQ(nullptr, FindFirstTabStop(static_cast<CWnd*>(nullptr)));
    dlg.DestroyWindow();
}

TEST(FrameworkUtil, DatesAndTimesAsTextsOfTheirOwnLength)
{
    for (DATE d : {45000.75, 2.5, -657435.0, 2958466.0}) {
        for (bool time : {false, true}) {
            CString text("kept");
            char plain[QUI_DATE_TEXT] = "kept";
            int written = time ? FormatVariantTime(d, text) : FormatVariantDate(d, text);
            EXPECT_EQ(time ? FormatVariantTime(d, plain, sizeof(plain)) : FormatVariantDate(d, plain, sizeof(plain)), written);
            EXPECT_STREQ(plain, text) << d << time;
            EXPECT_EQ(written ? written - 1 : 4, text.GetLength()) << d << time;
        }
    }
}

TEST(FrameworkUtil, ModulePathEndsInTheNameHoweverLong)
{
    char module[MAX_PATH];
    ASSERT_LT(::GetModuleFileName(nullptr, module, sizeof(module)), sizeof(module));
    std::string folder(module, std::string(module).rfind('\\') + 1);
    for (const std::string& name : {std::string(), std::string("QuiRes1033.dll"), std::string(400, 'n')}) {
        CString path = GetModulePath(name.c_str());
        EXPECT_EQ(folder + name, std::string(path.GetString()));
        EXPECT_EQ(static_cast<int>(folder.size() + name.size()), path.GetLength());
    }
}

TEST(FrameworkUtil, RegisteredClassRunsTheFrameworkAndKeepsItsFirstRegistration)
{
    const char kName[] = "QUITESTFWCLASS";
    HCURSOR arrow = ::LoadCursor(nullptr, IDC_ARROW);
    ASSERT_TRUE(RegisterWndClass(kName, CS_SAVEBITS, nullptr, arrow, nullptr));
    EXPECT_TRUE(RegisterWndClass(kName, CS_DBLCLKS, ::GetSysColorBrush(COLOR_WINDOW), nullptr, nullptr));
    EXPECT_FALSE(RegisterWndClass(nullptr, 0, nullptr, nullptr, nullptr));
    WNDCLASS wc = {};
    ASSERT_TRUE(::GetClassInfo(AfxGetInstanceHandle(), kName, &wc));
    EXPECT_EQ(static_cast<UINT>(CS_SAVEBITS), wc.style);
    EXPECT_EQ(arrow, wc.hCursor);
    EXPECT_EQ(nullptr, wc.hbrBackground);

    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, kName, "", WS_POPUP, CRect(0, 0, 20, 20), nullptr, 0));
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(wnd.m_hWnd));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(AfxWndProc), ::GetWindowLongPtr(wnd.m_hWnd, GWLP_WNDPROC));
}
