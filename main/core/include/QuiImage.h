// One picture of the resource library as a masked image list, drawn through
// the application palette.
#pragma once

#include <afxquill.h>

namespace Quillmate {

class CImage {
public:
    CImage() = default;
    virtual ~CImage() = default;
    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;

    // Bitmap nID of the resource library, masked where it shows the
    // transparent colour; FALSE (and nothing held) when there is no such bitmap.
    BOOL Load(UINT nID, COLORREF transparent);
    BOOL IsLoaded() const { return m_images.GetSafeHandle() != nullptr; }
    int GetWidth() const { return m_cx; }
    int GetHeight() const { return m_cy; }
    // Disabled: the embossed grey look of the system's disabled icons.
    void Draw(CDC* pDC, int x, int y, BOOL bDisabled);

    // Set once by the application: the palette that pictures are loaded and
    // drawn through (none by default), and the colour that stands for
    // "no picture here" in the program's bitmaps.
    static void SetPalette(HPALETTE hPalette);
    static HPALETTE GetPalette();
    static void SetTransparentColor(COLORREF color);
    static COLORREF GetTransparentColor();

private:
    int m_cx = 0;
    int m_cy = 0;
    CImageList m_images;
};

} // namespace Quillmate
