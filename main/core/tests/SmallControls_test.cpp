#include "SmallControls.h"

#include "ControlsTestSupport.h"
#include "GdiUtil.h"
#include "QuiImage.h"

namespace {

TEST(EditEx, DisabledKeepsItsNormalText)
{
    CHostWnd host;
    ASSERT_TRUE(host.Create());
    COLORREF grey = GetSysColor(COLOR_GRAYTEXT), normal = GetSysColor(COLOR_WINDOWTEXT);
    ASSERT_NE(grey, normal);
    struct Row {
        const char* name;
        std::unique_ptr<CEdit> edit;
        bool greyed;
    } rows[] = {{"plain edit", std::make_unique<CEdit>(), true}, {"CEditEx", std::make_unique<CEditEx>(), false}};
    for (Row& r : rows) {
        ASSERT_TRUE(r.edit->Create(WS_CHILD | WS_VISIBLE, CRect(5, 5, 120, 25), &host, 121));
        r.edit->SetWindowText("MMMMWWWW");
        r.edit->EnableWindow(FALSE);
        EXPECT_FALSE(r.edit->IsWindowEnabled()) << r.name << ": still takes no input";
        Rendering shot(*r.edit);
        EXPECT_EQ(r.greyed, shot.Count(grey) > 0) << r.name;
        EXPECT_EQ(!r.greyed, shot.Count(normal) > 0) << r.name;
        r.edit->DestroyWindow();
    }
    host.DestroyWindow();
}

TEST(Image, LoadsResourceBitmapsOnly)
{
    struct Row {
        UINT id;
        BOOL loaded;
        int cx;
        int cy;
    } rows[] = {{100, TRUE, 12, 12}, {999, FALSE, 0, 0}, {104, TRUE, 10, 6}, {0, FALSE, 0, 0}};
    Quillmate::CImage image;
    for (const Row& r : rows) {
        EXPECT_EQ(r.loaded, image.Load(r.id, RGB(255, 0, 255))) << r.id;
        EXPECT_EQ(r.loaded, image.IsLoaded()) << r.id << ": a failed load leaves nothing of the last one";
        EXPECT_EQ(r.cx, image.GetWidth()) << r.id;
        EXPECT_EQ(r.cy, image.GetHeight()) << r.id;
    }
}

TEST(Image, DrawsMaskedThroughThePalette)
{
    HPALETTE palette = CreateAppPalette();
    Quillmate::CImage::SetPalette(palette);
    Quillmate::CImage image;
    ASSERT_TRUE(image.Load(100, RGB(255, 0, 255)));
    Canvas canvas(20, 20);
    HPALETTE before = static_cast<HPALETTE>(GetCurrentObject(canvas.Dc(), OBJ_PAL));
    CDC dc;
    dc.Attach(canvas.Dc());
    image.Draw(&dc, 4, 4, FALSE);
    Quillmate::CImage().Draw(&dc, 0, 0, FALSE);
    dc.Detach();
    EXPECT_EQ(kUntouched, canvas.At(4, 4)) << "the transparent colour is masked";
    EXPECT_EQ(RGB(0, 0, 255), canvas.At(5, 4));
    EXPECT_EQ(RGB(0, 0, 255), canvas.At(15, 15));
    EXPECT_EQ(kUntouched, canvas.At(16, 16));
    EXPECT_EQ(before, GetCurrentObject(canvas.Dc(), OBJ_PAL)) << "the palette is selected back";
    Quillmate::CImage::SetPalette(nullptr);
    DeleteObject(palette);
}

} // namespace
