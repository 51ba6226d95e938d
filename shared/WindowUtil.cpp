#include "WindowUtil.h"

namespace {
struct DluFactors {
    HWND window;
    int charWidth;
    int charHeight;
};
DluFactors g_dlu = {nullptr, 0, 0};

const DluFactors& FactorsFor(HWND w)
{
    if (g_dlu.window == w && g_dlu.charWidth)
        return g_dlu;
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    HDC dc = GetDC(w);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    TEXTMETRICA metrics = {};
    SIZE extent = {};
    GetTextMetricsA(dc, &metrics);
    GetTextExtentPoint32A(dc, kAlphabet, sizeof(kAlphabet) - 1, &extent);
    if (oldFont)
        SelectObject(dc, oldFont);
    ReleaseDC(w, dc);
    g_dlu.window = w;
    g_dlu.charWidth = (extent.cx / 26 + 1) / 2;
    g_dlu.charHeight = metrics.tmHeight;
    return g_dlu;
}

bool IsTabStop(HWND child)
{
    LONG style = GetWindowLongA(child, GWL_STYLE);
    return (style & (WS_VISIBLE | WS_DISABLED | WS_TABSTOP)) == (WS_VISIBLE | WS_TABSTOP);
}

HWND Step(HWND child, BOOL backward)
{
    return GetWindow(child, backward ? GW_HWNDPREV : GW_HWNDNEXT);
}

HWND EdgeChild(HWND parent, BOOL backward)
{
    HWND first = GetWindow(parent, GW_CHILD);
    return backward && first ? GetWindow(first, GW_HWNDLAST) : first;
}

HWND SearchFrom(HWND child, BOOL backward)
{
    for (; child; child = Step(child, backward))
        if (IsTabStop(child))
            return child;
    return nullptr;
}
} // namespace

BOOL GetDragFullWindows()
{
    BOOL full = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
    return full;
}

void DluToPixels(HWND w, RECT* r)
{
    const DluFactors& f = FactorsFor(w);
    r->left = r->left * f.charWidth / 4;
    r->right = r->right * f.charWidth / 4;
    r->top = r->top * f.charHeight / 8;
    r->bottom = r->bottom * f.charHeight / 8;
}

void DluToPixels(HWND w, POINT* p)
{
    const DluFactors& f = FactorsFor(w);
    p->x = p->x * f.charWidth / 4;
    p->y = p->y * f.charHeight / 8;
}

int DluToPixelsX(HWND w, int x)
{
    return x * FactorsFor(w).charWidth / 4;
}

BOOL IsFocusWithin(HWND w)
{
    HWND focus = GetFocus();
    return focus && w && (focus == w || IsChild(w, focus));
}

HWND FindTabStop(HWND parent, HWND from, BOOL backward)
{
    if (from) {
        if (HWND found = SearchFrom(Step(from, backward), backward))
            return found;
    }
    return SearchFrom(EdgeChild(parent, backward), backward);
}

HWND FindFirstTabStop(HWND parent)
{
    return FindTabStop(parent, nullptr, FALSE);
}

void PumpWaitingMessages(HWND filter)
{
    MSG msg;
    while (PeekMessageA(&msg, filter, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
