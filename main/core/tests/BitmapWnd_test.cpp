#include "BitmapWnd.h"

#include "ControlsTestSupport.h"
#include "GdiUtil.h"

namespace {

const UINT kTile = 104;      // 10 x 6, green
const UINT kPicture = 100;   // 12 x 12, blue with a magenta top-left pixel
const UINT kMissing = 999;
const COLORREF kGreen = RGB(0, 128, 0);

class BitmapWnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 60, 60, 35, 20, nullptr, nullptr));
    }
    void TearDown() override { wnd.DestroyWindow(); }

    CBitmapWnd wnd;
};

TEST_F(BitmapWnd, BackgroundIsTheBitmapTiledFromTheTopLeft)
{
    EXPECT_EQ(10, wnd.SetBitmap(kTile, nullptr));
    Erased erased(wnd);
    EXPECT_TRUE(erased.answer);
    for (CPoint p : {CPoint(0, 0), CPoint(9, 5), CPoint(10, 6), CPoint(34, 19), CPoint(21, 13)})
        EXPECT_EQ(kGreen, erased.At(p.x, p.y)) << p.x << "," << p.y;
}

TEST_F(BitmapWnd, TilesOfAPictureRepeatItsOwnPixels)
{
    EXPECT_EQ(12, wnd.SetBitmap(kPicture, nullptr));
    Erased erased(wnd);
    struct Row {
        CPoint p;
        COLORREF colour;
    } rows[] = {{{0, 0}, RGB(255, 0, 255)}, {{12, 0}, RGB(255, 0, 255)}, {{24, 12}, RGB(255, 0, 255)},
                {{13, 1}, RGB(0, 0, 255)}, {{11, 11}, RGB(0, 0, 255)}};
    for (const Row& r : rows)
        EXPECT_EQ(r.colour, erased.At(r.p.x, r.p.y)) << r.p.x << "," << r.p.y;
}

TEST_F(BitmapWnd, MissingBitmapLeavesTheClassBackground)
{
    EXPECT_EQ(10, wnd.SetBitmap(kTile, nullptr));
    EXPECT_EQ(0, wnd.SetBitmap(kMissing, nullptr));
    Erased erased(wnd);
    EXPECT_NE(kGreen, erased.At(5, 5)) << "the old bitmap is gone with the failed load";
}

TEST_F(BitmapWnd, BitmapLoadedThroughAPalette)
{
    HPALETTE palette = CreateAppPalette();
    ASSERT_NE(nullptr, palette);
    EXPECT_EQ(10, wnd.SetBitmap(kTile, palette));
    {
        Erased erased(wnd);
        EXPECT_TRUE(erased.answer);
        EXPECT_EQ(kGreen, erased.At(15, 10));
    }
    wnd.DestroyWindow();
    DeleteObject(palette);
}

TEST_F(BitmapWnd, EditsGetTheBackgroundColourOthersShowThrough)
{
    const COLORREF kBack = RGB(250, 240, 200);
    wnd.SetBkColor(kBack);
    CEdit edit;
    CStatic label;
    ASSERT_TRUE(edit.Create(WS_CHILD, CRect(0, 0, 20, 10), &wnd, 5));
    ASSERT_TRUE(label.Create("x", WS_CHILD, CRect(0, 0, 20, 10), &wnd, 6));
    struct Row {
        UINT message;
        CWnd* control;
        bool solid;
    } rows[] = {{WM_CTLCOLOREDIT, &edit, true}, {WM_CTLCOLORSTATIC, &label, false},
                {WM_CTLCOLORBTN, &label, false}, {WM_CTLCOLORLISTBOX, &label, false}};
    for (const Row& r : rows) {
        HDC dc = CreateCompatibleDC(nullptr);
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, RGB(0, 0, 0));
        HBRUSH brush = reinterpret_cast<HBRUSH>(
            wnd.SendMessage(r.message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(r.control->GetSafeHwnd())));
        LOGBRUSH info = {};
        ASSERT_TRUE(GetObject(brush, sizeof(info), &info)) << r.message;
        if (r.solid) {
            EXPECT_EQ(static_cast<UINT>(BS_SOLID), info.lbStyle);
            EXPECT_EQ(kBack, info.lbColor);
            EXPECT_EQ(kBack, GetBkColor(dc));
        } else {
            EXPECT_EQ(GetStockObject(NULL_BRUSH), brush) << r.message;
            EXPECT_EQ(TRANSPARENT, GetBkMode(dc)) << r.message;
        }
        DeleteDC(dc);
    }
}

} // namespace
