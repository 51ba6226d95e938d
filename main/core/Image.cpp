#include "QuiImage.h"

#include "GdiUtil.h"

namespace Quillmate {

namespace {

HPALETTE g_palette = nullptr;
// Magenta: a colour the program's pictures never use for anything else.
COLORREF g_transparent = RGB(255, 0, 255);

} // namespace

void CImage::SetPalette(HPALETTE hPalette) { g_palette = hPalette; }
HPALETTE CImage::GetPalette() { return g_palette; }
void CImage::SetTransparentColor(COLORREF color) { g_transparent = color; }
COLORREF CImage::GetTransparentColor() { return g_transparent; }

BOOL CImage::Load(UINT nID, COLORREF transparent)
{
    m_images.DeleteImageList();
    m_cx = m_cy = 0;
    HBITMAP loaded = LoadResourceBitmap(AfxGetResourceHandle(), nID, g_palette, nullptr);
    if (!loaded)
        return FALSE;
    CBitmap bitmap;
    bitmap.Attach(loaded);
    BITMAP info = {};
    bitmap.GetBitmap(&info);
    if (!m_images.Create(info.bmWidth, info.bmHeight, ILC_COLORDDB | ILC_MASK, 1, 0))
        return FALSE;
    if (m_images.Add(&bitmap, transparent) < 0) {
        m_images.DeleteImageList();
        return FALSE;
    }
    m_cx = info.bmWidth;
    m_cy = info.bmHeight;
    return TRUE;
}

void CImage::Draw(CDC* pDC, int x, int y, BOOL bDisabled)
{
    if (!IsLoaded() || !pDC)
        return;
    HPALETTE previous = nullptr;
    if (g_palette) {
        previous = pDC->SelectPalette(g_palette, FALSE);
        pDC->RealizePalette();
    }
    if (bDisabled) {
        HICON icon = m_images.ExtractIcon(0);
        if (icon) {
            pDC->DrawState(CPoint(x, y), CSize(m_cx, m_cy), icon, DST_ICON | DSS_DISABLED);
            ::DestroyIcon(icon);
        }
    } else {
        m_images.Draw(pDC, 0, CPoint(x, y), ILD_TRANSPARENT);
    }
    if (g_palette)
        pDC->SelectPalette(previous, FALSE);
}

} // namespace Quillmate
