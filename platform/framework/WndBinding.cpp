// Binding windows to objects, the framework's window procedure and the
// guard that keeps exceptions inside it.
#include <exception>
#include <new>

#include "OleControlSite.h"
#include "State.h"
#include "quifw/Prompt.h"
#include "quifw/WinApp.h"

AfxThreadState& AfxGetThreadState()
{
    static thread_local AfxThreadState state;
    return state;
}

// Friend of CWnd: the only code that binds and unbinds.
struct CWndBinding {
    static void Bind(CWnd* pWnd, HWND hWnd)
    {
        pWnd->m_hWnd = hWnd;
        AfxGetThreadState().permanent[hWnd] = pWnd;
        WNDPROC proc = reinterpret_cast<WNDPROC>(::GetWindowLongPtr(hWnd, GWLP_WNDPROC));
        if (proc != AfxWndProc) {
            pWnd->m_pfnSuper = proc;
            ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc));
        }
    }

    static void Unbind(CWnd* pWnd, BOOL bRestoreProc)
    {
        HWND hWnd = pWnd->m_hWnd;
        if (bRestoreProc && pWnd->m_pfnSuper &&
            reinterpret_cast<WNDPROC>(::GetWindowLongPtr(hWnd, GWLP_WNDPROC)) == AfxWndProc)
            ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pWnd->m_pfnSuper));
        AfxGetThreadState().permanent.erase(hWnd);
        pWnd->m_hWnd = nullptr;
        pWnd->m_pfnSuper = nullptr;
    }

    // After WM_NCDESTROY: the window is gone; the object may delete itself.
    static void Finish(CWnd* pWnd)
    {
        Unbind(pWnd, FALSE);
        pWnd->ReleaseControlSite();
        if (pWnd->m_hWndToolTip && ::IsWindow(pWnd->m_hWndToolTip))
            ::DestroyWindow(pWnd->m_hWndToolTip);
        pWnd->m_hWndToolTip = nullptr;
        CWinApp* pApp = AfxGetApp();
        if (pApp && pApp->m_pMainWnd == pWnd) {
            pApp->m_pMainWnd = nullptr;
            if (pApp->IsRunning())
                ::PostQuitMessage(0);
        }
        if (!pWnd->m_bCreating)
            pWnd->PostNcDestroy();
    }

    static CWnd* Temporary(HWND hWnd)
    {
        auto& temporary = AfxGetThreadState().temporary;
        auto found = temporary.find(hWnd);
        if (found != temporary.end())
            return found->second.get();
        std::unique_ptr<CWnd> pWnd(new CWnd);
        pWnd->m_hWnd = hWnd;
        pWnd->m_bTemporary = TRUE;
        return temporary.emplace(hWnd, std::move(pWnd)).first->second.get();
    }

    static BOOL IsTemporary(const CWnd* pWnd) { return pWnd->m_bTemporary; }
};

namespace {

// The system's input-method window may be made inside another window's
// creation; it must not take the object meant for that window.
BOOL IsImeWindow(const CREATESTRUCT* cs)
{
    if (!cs || !cs->lpszClass || IS_INTRESOURCE(cs->lpszClass))
        return FALSE;
    return lstrcmpi(cs->lpszClass, "IME") == 0 || lstrcmpi(cs->lpszClass, "MSCTFIME UI") == 0;
}

LRESULT CALLBACK CreateHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    AfxThreadState& state = AfxGetThreadState();
    HHOOK hHook = state.hHookCreate;
    if (nCode == HCBT_CREATEWND && state.pWndInit &&
        !IsImeWindow(reinterpret_cast<CBT_CREATEWND*>(lParam)->lpcs)) {
        CWnd* pWnd = state.pWndInit;
        state.pWndInit = nullptr;
        // Nothing may leave a hook: a window that could not be bound for
        // want of memory is not made at all.
        BOOL bBound = TRUE;
        try {
            CWndBinding::Bind(pWnd, reinterpret_cast<HWND>(wParam));
        } catch (...) {
            pWnd->m_hWnd = nullptr;
            bBound = FALSE;
        }
        LRESULT result = bBound ? ::CallNextHookEx(hHook, nCode, wParam, lParam) : 1;
        ::UnhookWindowsHookEx(hHook);
        state.hHookCreate = nullptr;
        return result;
    }
    return ::CallNextHookEx(hHook, nCode, wParam, lParam);
}

// What the platform expects from a window procedure whose handler failed.
LRESULT AnswerAfterFailure(HWND hWnd, UINT message)
{
    switch (message) {
    case WM_CREATE:
        return -1;
    case WM_PAINT:
        ::ValidateRect(hWnd, nullptr);
        return 0;
    default:
        return 0;
    }
}

void ReportFailure(LPCTSTR lpszText)
{
    AfxPromptMessageBox(nullptr, lpszText, nullptr, MB_OK | MB_ICONSTOP);
}

} // namespace

void AfxReportUncaughtException()
{
    // A failure to tell of the failure, for want of memory most likely, ends
    // here: the program goes on.
    try {
        try {
            throw;
        } catch (CException* e) {
            try {
                e->ReportError(MB_OK | MB_ICONSTOP);
            } catch (...) {
            }
            e->Delete();
        } catch (const std::bad_alloc&) {
            ReportFailure("Out of memory.");
        } catch (const std::exception& e) {
            ReportFailure(e.what());
        } catch (...) {
            ReportFailure("An unexpected error occurred.");
        }
    } catch (...) {
    }
}

void AfxHookWindowCreate(CWnd* pWnd)
{
    AfxThreadState& state = AfxGetThreadState();
    state.pWndInit = pWnd;
    if (!state.hHookCreate)
        state.hHookCreate = ::SetWindowsHookEx(WH_CBT, CreateHook, nullptr, ::GetCurrentThreadId());
}

BOOL AfxUnhookWindowCreate()
{
    AfxThreadState& state = AfxGetThreadState();
    if (state.hHookCreate) {
        ::UnhookWindowsHookEx(state.hHookCreate);
        state.hHookCreate = nullptr;
    }
    BOOL dropped = state.pWndInit != nullptr;
    state.pWndInit = nullptr;
    return dropped;
}

void AfxDeleteTempMaps()
{
    AfxGetThreadState().temporary.clear();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    auto& permanent = AfxGetThreadState().permanent;
    auto found = permanent.find(hWnd);
    return found == permanent.end() ? nullptr : found->second;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    if (CWnd* pWnd = FromHandlePermanent(hWnd))
        return pWnd;
    return CWndBinding::Temporary(hWnd);
}

CWnd::~CWnd()
{
    if (m_hWnd && !m_bTemporary) {
        HWND hWnd = m_hWnd;
        CWndBinding::Unbind(this, TRUE);
        ReleaseControlSite();              // a hosted control ends its own window
        if (::IsWindow(hWnd))
            ::DestroyWindow(hWnd);
    }
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (m_hWnd || !::IsWindow(hWnd) || FromHandlePermanent(hWnd))
        return FALSE;
    CWndBinding::Bind(this, hWnd);
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    return pParent && SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (hWnd && !m_bTemporary)
        CWndBinding::Unbind(this, TRUE);
    return hWnd;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenuOrID,
                    LPVOID lpParam)
{
    if (m_hWnd)
        return FALSE;
    CREATESTRUCT cs = {lpParam, AfxGetInstanceHandle(), hMenuOrID, hWndParent, nHeight, nWidth,
                       y, x, static_cast<LONG>(dwStyle), lpszWindowName, lpszClassName, dwExStyle};
    if (!PreCreateWindow(cs))
        return FALSE;
    AfxInitControls();
    m_bCreating = TRUE;
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y,
                                 cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance,
                                 cs.lpCreateParams);
    AfxUnhookWindowCreate();
    m_bCreating = FALSE;
    if (hWnd && m_hWnd != hWnd && !FromHandlePermanent(hWnd))
        CWndBinding::Bind(this, hWnd);     // missed by the hook: bind late rather than never
    return hWnd != nullptr && m_hWnd == hWnd;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    // Only a child's menu argument is its id; a pop-up's would be a menu handle.
    HMENU hMenuOrID = (dwStyle & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)) : nullptr;
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    pParentWnd ? pParentWnd->m_hWnd : nullptr, hMenuOrID, lpParam);
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID);
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxDefaultWndClass();
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    // The object may be gone when this returns (PostNcDestroy).
    if (!m_hWnd)
        return FALSE;
    if (!m_pCtrlSite)
        return ::DestroyWindow(m_hWnd);
    HWND hWnd = m_hWnd;
    ReleaseControlSite();                  // the control ends its own window
    return !::IsWindow(hWnd) || ::DestroyWindow(hWnd);
}

void CWnd::PostNcDestroy()
{
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
        return ::DefWindowProc(hWnd, message, wParam, lParam);

    AfxThreadState& state = AfxGetThreadState();
    const MSG outer = state.current;
    state.current.hwnd = hWnd;
    state.current.message = message;
    state.current.wParam = wParam;
    state.current.lParam = lParam;

    LRESULT result = 0;
    try {
        result = pWnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        result = AnswerAfterFailure(hWnd, message);
        AfxReportUncaughtException();
    }
    if (message == WM_NCDESTROY && CWnd::FromHandlePermanent(hWnd) == pWnd)
        CWndBinding::Finish(pWnd);
    state.current = outer;
    return result;
}
