#include "GdiUtil.h"

#include <vector>

namespace {
RGBQUAD* ColourTable(BITMAPINFO* bmi)
{
    return reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(bmi) + bmi->bmiHeader.biSize);
}
} // namespace

void ReplaceDibColours(BITMAPINFO* bmi, const COLORREF* colourMap)
{
    RGBQUAD* table = ColourTable(bmi);
    const COLORREF from = colourMap[0], to = colourMap[1];
    for (int i = 0, n = DibNumColours(&bmi->bmiHeader); i < n; ++i) {
        RGBQUAD& q = table[i];
        if (q.rgbRed == GetRValue(from) && q.rgbGreen == GetGValue(from) && q.rgbBlue == GetBValue(from)) {
            q.rgbRed = GetRValue(to);
            q.rgbGreen = GetGValue(to);
            q.rgbBlue = GetBValue(to);
        }
    }
}

HPALETTE CreateDibPalette(const BITMAPINFO* bmi, int n)
{
    if (n < 0)
        return nullptr;
    if (n == 0) {
        HDC screen = GetDC(nullptr);
        HPALETTE halftone = CreateHalftonePalette(screen);
        ReleaseDC(nullptr, screen);
        return halftone;
    }
    std::vector<BYTE> memory(sizeof(LOGPALETTE) + n * sizeof(PALETTEENTRY));
    LOGPALETTE* palette = reinterpret_cast<LOGPALETTE*>(memory.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(n);
    const RGBQUAD* table = ColourTable(const_cast<BITMAPINFO*>(bmi));
    for (int i = 0; i < n; ++i) {
        palette->palPalEntry[i].peRed = table[i].rgbRed;
        palette->palPalEntry[i].peGreen = table[i].rgbGreen;
        palette->palPalEntry[i].peBlue = table[i].rgbBlue;
        palette->palPalEntry[i].peFlags = 0;
    }
    return CreatePalette(palette);
}

void TileBitmap(HDC dc, HBITMAP bitmap, int cx, int cy, const RECT* area, HPALETTE pal)
{
    if (!dc || !bitmap || !area || cx <= 0 || cy <= 0)
        return;
    HPALETTE oldPalette = nullptr;
    if (pal) {
        oldPalette = SelectPalette(dc, pal, FALSE);
        RealizePalette(dc);
    }
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ oldBitmap = SelectObject(source, bitmap);
    for (int y = area->top; y < area->bottom; y += cy) {
        for (int x = area->left; x < area->right; x += cx) {
            RECT tile = {x, y, x + cx, y + cy};
            tile.right = tile.right < area->right ? tile.right : area->right;
            tile.bottom = tile.bottom < area->bottom ? tile.bottom : area->bottom;
            if (RectVisible(dc, &tile))
                BitBlt(dc, x, y, tile.right - x, tile.bottom - y, source, 0, 0, SRCCOPY);
        }
    }
    SelectObject(source, oldBitmap);
    DeleteDC(source);
    if (pal)
        SelectPalette(dc, oldPalette, FALSE);
}

HBITMAP LoadResourceBitmap(HINSTANCE inst, UINT id, HPALETTE pal, const COLORREF* colourMap)
{
    HRSRC found = FindResourceA(inst, MAKEINTRESOURCEA(id), RT_BITMAP);
    if (!found)
        return nullptr;
    DWORD size = SizeofResource(inst, found);
    const BYTE* resource = static_cast<const BYTE*>(LockResource(LoadResource(inst, found)));
    if (!resource || size < sizeof(BITMAPINFOHEADER))
        return nullptr;

    // Resource pages are read-only: colours are replaced in a copy.
    std::vector<BYTE> copy(resource, resource + size);
    BITMAPINFO* bmi = reinterpret_cast<BITMAPINFO*>(copy.data());
    const size_t offset = PackedDibBitsOffset(copy.data(), size);
    if (!offset)
        return nullptr;
    if (colourMap)
        ReplaceDibColours(bmi, colourMap);

    HDC screen = GetDC(nullptr);
    HPALETTE oldPalette = nullptr;
    if (pal) {
        oldPalette = SelectPalette(screen, pal, FALSE);
        RealizePalette(screen);
    }
    HBITMAP bitmap = CreateDIBitmap(screen, &bmi->bmiHeader, CBM_INIT, copy.data() + offset, bmi, DIB_RGB_COLORS);
    if (pal)
        SelectPalette(screen, oldPalette, FALSE);
    ReleaseDC(nullptr, screen);
    return bitmap;
}
