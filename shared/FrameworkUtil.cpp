#include "FrameworkUtil.h"

#include <cstring>

namespace {
// A null object stands for a null handle, as in the plain forms.
HWND HandleOf(const CWnd* w)
{
    return w ? w->m_hWnd : nullptr;
}

int FormatInto(int (*format)(DATE, char*, int), DATE d, CString& out)
{
    char text[QUI_DATE_TEXT];
    int written = format(d, text, sizeof(text));
    if (written)
        out = text;
    return written;
}
} // namespace

void TileBitmap(CDC* dc, CBitmap* bmp, int cx, int cy, const RECT* area, HPALETTE pal)
{
    if (dc && bmp)
        TileBitmap(dc->m_hDC, static_cast<HBITMAP>(bmp->m_hObject), cx, cy, area, pal);
}

void DluToPixels(CWnd* w, RECT* r)
{
    DluToPixels(HandleOf(w), r);
}

void DluToPixels(CWnd* w, POINT* p)
{
    DluToPixels(HandleOf(w), p);
}

int DluToPixelsX(CWnd* w, int x)
{
    return DluToPixelsX(HandleOf(w), x);
}

BOOL IsFocusWithin(CWnd* w)
{
    return IsFocusWithin(HandleOf(w));
}

CWnd* FindTabStop(CWnd* parent, CWnd* from, BOOL backward)
{
    return CWnd::FromHandle(FindTabStop(HandleOf(parent), HandleOf(from), backward));
}

CWnd* FindFirstTabStop(CWnd* parent)
{
    return FindTabStop(parent, nullptr, FALSE);
}

int FormatVariantDate(DATE d, CString& out)
{
    return FormatInto(FormatVariantDate, d, out);
}

int FormatVariantTime(DATE d, CString& out)
{
    return FormatInto(FormatVariantTime, d, out);
}

CString GetModulePath(const char* name)
{
    // Room for the longest module name the plain form accepts, and the name.
    UINT room = MAX_PATH * 4 + (name ? static_cast<UINT>(std::strlen(name)) : 0) + 1;
    CString path;
    BOOL fits = GetModulePath(name, path.GetBuffer(static_cast<int>(room)), room);
    path.ReleaseBuffer();
    if (!fits)
        path.Empty();
    return path;
}

BOOL RegisterWndClass(LPCTSTR name, UINT style, HBRUSH background, HCURSOR cursor, HICON icon)
{
    HINSTANCE instance = AfxGetInstanceHandle();
    WNDCLASS wc = {};
    if (!name || ::GetClassInfo(instance, name, &wc))
        return name != nullptr;
    wc.style = style;
    wc.lpfnWndProc = AfxWndProc;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return ::RegisterClass(&wc) != 0;
}
