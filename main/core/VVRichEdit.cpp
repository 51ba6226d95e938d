#include "VVRichEdit.h"

namespace {

const CLSID CLSID_VVRichEdit = {0x2BEF2730, 0x36F3, 0x11D2, {0xA3, 0xEE, 0x00, 0x20, 0x35, 0x21, 0x50, 0x3A}};

enum : DISPID {
    kBackColor = -501,
    kBorderStyle = -504,
    kText = -517,
    kAppearance = -520,
    kSelBold = 0x6C,
    kSelColor = 0x6E,
    kSelItalic = 0x73,
    kSelLength = 0x74,
    kSelStart = 0x78,
    kSelUnderline = 0x7C,
    kRedrawLock = 0x85,
    kDictation = 0x89,
};

// A window property holds a handle; the procedure travels as its number.
HANDLE AsHandle(WNDPROC pfn)
{
    return reinterpret_cast<HANDLE>(reinterpret_cast<LONG_PTR>(pfn));
}

WNDPROC AsProc(HANDLE h)
{
    return reinterpret_cast<WNDPROC>(reinterpret_cast<LONG_PTR>(h));
}

} // namespace

BOOL CVVRichEdit::Create(LPCTSTR, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                         UINT nID)
{
    return CreateControl(CLSID_VVRichEdit, lpszWindowName, dwStyle, rect, pParentWnd, nID);
}

void CVVRichEdit::SetBackColor(OLE_COLOR color)
{
    SetProperty(kBackColor, VT_I4, static_cast<long>(color));
}

void CVVRichEdit::SetBorderStyle(long style)
{
    SetProperty(kBorderStyle, VT_I4, style);
}

void CVVRichEdit::SetAppearance(long appearance)
{
    SetProperty(kAppearance, VT_I4, appearance);
}

CString CVVRichEdit::GetText() const
{
    CString text;
    GetProperty(kText, VT_BSTR, &text);
    return text;
}

void CVVRichEdit::SetText(LPCTSTR lpszText)
{
    SetProperty(kText, VT_BSTR, lpszText);
}

long CVVRichEdit::GetSelStart() const
{
    long start = 0;
    GetProperty(kSelStart, VT_I4, &start);
    return start;
}

void CVVRichEdit::SetSelStart(long start)
{
    SetProperty(kSelStart, VT_I4, start);
}

long CVVRichEdit::GetSelLength() const
{
    long length = 0;
    GetProperty(kSelLength, VT_I4, &length);
    return length;
}

void CVVRichEdit::SetSelLength(long length)
{
    SetProperty(kSelLength, VT_I4, length);
}

void CVVRichEdit::SetRedrawLocked(BOOL bLocked)
{
    SetProperty(kRedrawLock, VT_BOOL, bLocked);
}

void CVVRichEdit::SetSelBold(BOOL bOn)
{
    SetProperty(kSelBold, VT_BOOL, bOn);
}

void CVVRichEdit::SetSelItalic(BOOL bOn)
{
    SetProperty(kSelItalic, VT_BOOL, bOn);
}

void CVVRichEdit::SetSelUnderline(BOOL bOn)
{
    SetProperty(kSelUnderline, VT_BOOL, bOn);
}

void CVVRichEdit::SetSelColor(long color)
{
    SetProperty(kSelColor, VT_I4, color);
}

void CVVRichEdit::SetDictationEnabled(BOOL bOn)
{
    SetProperty(kDictation, VT_BOOL, bOn);
}

//--- CVVRichEditEx

const char CVVRichEditEx::kWndProcProperty[] = "WndProc";

CVVRichEditEx::~CVVRichEditEx()
{
    UnsubclassInner();
}

HWND CVVRichEditEx::GetInnerWindow() const
{
    return m_hWnd ? ::GetWindow(m_hWnd, GW_CHILD) : nullptr;
}

BOOL CVVRichEditEx::SubclassInner()
{
    HWND hWndInner = GetInnerWindow();
    if (!hWndInner || ::GetPropA(hWndInner, kWndProcProperty))
        return FALSE;
    WNDPROC pfnInner = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWndInner, GWLP_WNDPROC));
    if (!::SetPropA(hWndInner, kWndProcProperty, AsHandle(pfnInner)))
        return FALSE;
    ::SetWindowLongPtrA(hWndInner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RerouteProc));
    m_hWndInner = hWndInner;
    m_pfnInnerProc = pfnInner;
    return TRUE;
}

// Only while the reroute is still the window's procedure and the window the
// one rerouted; a procedure put in front of ours later keeps its chain.
void CVVRichEditEx::UnsubclassInner()
{
    HWND hWndInner = m_hWndInner;
    WNDPROC pfnInner = m_pfnInnerProc;
    m_hWndInner = nullptr;
    m_pfnInnerProc = nullptr;
    if (!hWndInner || !::IsWindow(hWndInner) ||
        AsProc(::GetPropA(hWndInner, kWndProcProperty)) != pfnInner ||
        reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWndInner, GWLP_WNDPROC)) != RerouteProc)
        return;
    ::SetWindowLongPtrA(hWndInner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnInner));
    ::RemovePropA(hWndInner, kWndProcProperty);
}

LRESULT CALLBACK CVVRichEditEx::RerouteProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC pfnInner = AsProc(::GetPropA(hWnd, kWndProcProperty));
    HWND hWndParent = ::GetParent(hWnd);
    int nID = ::GetDlgCtrlID(hWnd);
    if (message == WM_NOTIFY && lParam) {
        const NMHDR* pHeader = reinterpret_cast<const NMHDR*>(lParam);
        ::SendMessageA(hWndParent, WM_NOTIFY, pHeader->idFrom, lParam);
    } else if (message == WM_COMMAND) {
        ::SendMessageA(hWndParent, WM_COMMAND, MAKEWPARAM(nID, HIWORD(wParam)), reinterpret_cast<LPARAM>(hWnd));
    } else if (message == WM_NCDESTROY) {
        // A window's properties must go before it does.
        ::RemovePropA(hWnd, kWndProcProperty);
        if (pfnInner)
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnInner));
    }
    if (!pfnInner)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    return ::CallWindowProcA(pfnInner, hWnd, message, wParam, lParam);
}
