// CWnd: one object per window. The binding of a window to its object is made
// in one place, before the window's first message, and ends at WM_NCDESTROY.
#pragma once

#include <type_traits>

#include "CmdTarget.h"
#include "Gdi.h"
#include "OleEvents.h"

class CFont;
class CMenu;
class COleControlSite;

// Control containment is off until the program asks for it (once, at
// start-up, after OLE is initialised); CreateControl fails until then.
void AfxEnableControlContainer();

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd() = default;
    // Destroys the window if the object still has one (its handlers no longer run).
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The window's object; for a window that has none, a temporary object that
    // lives until the message loop is next idle.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);

    //--- creation and destruction
    // A failed creation leaves the object as it was (PostNcDestroy is not
    // called for it), so whoever made the object still owns it.
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                  int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenuOrID,
                  LPVOID lpParam = nullptr);
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);   // a null class gets the framework's
    virtual BOOL DestroyWindow();
    // Called after the window's last message; a window that owns its object
    // deletes it here.
    virtual void PostNcDestroy();

    // Binds an existing window (a dialog's control) to this object; its
    // messages then pass the message map before the window's own procedure.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    //--- message processing
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default();                     // default processing of the current message
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Owner-draw messages a parent gets for this control come here first.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);
    // PreTranslateMessage of every window object from the message's window up
    // through parents and owners to the top level; TRUE when one took it.
    static BOOL WalkPreTranslateTree(MSG* pMsg);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    //--- state
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    int GetDlgCtrlID() const;
    void SetWindowText(LPCTSTR lpszString);
    void GetWindowText(CString& text) const;
    int GetWindowText(LPTSTR lpszBuffer, int nMaxCount) const;
    int GetWindowTextLength() const;
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    HFONT GetFont() const;
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsIconic() const;
    void SetRedraw(BOOL bRedraw = TRUE);
    BOOL SetWindowContextHelpId(DWORD dwContextHelpId);
    DWORD GetWindowContextHelpId() const;

    //--- focus and activation
    CWnd* SetFocus();                      // the window that had the focus
    static CWnd* GetFocus();
    static CWnd* GetActiveWindow();
    static CWnd* GetForegroundWindow();
    static CWnd* GetDesktopWindow();
    CWnd* SetActiveWindow();
    BOOL SetForegroundWindow();
    void BringWindowToTop();
    CWnd* SetCapture();

    //--- geometry
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    void GetWindowRect(LPRECT lpRect) const;
    void GetClientRect(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void ClientToScreen(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    void ScreenToClient(LPRECT lpRect) const;
    void MapWindowPoints(CWnd* pWndTo, LPRECT lpRect) const;
    // Over the owner (a child: in its parent), or the given window; over the
    // work area when there is none or it is hidden.
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void ValidateRect(LPCRECT lpRect);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, HRGN hRgn = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);

    //--- family
    CWnd* GetParent() const;               // the parent, or a pop-up's owner
    CWnd* GetOwner() const;
    CWnd* GetTopLevelParent() const;
    CWnd* GetWindow(UINT nCmd) const;
    CWnd* GetDlgItem(int nID) const;
    BOOL IsChild(const CWnd* pWnd) const;

    //--- dialog items
    void SetDlgItemText(int nID, LPCTSTR lpszString);
    int GetDlgItemText(int nID, CString& text) const;
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE);
    UINT GetDlgItemInt(int nID, BOOL* pTranslated = nullptr, BOOL bSigned = TRUE) const;
    void CheckDlgButton(int nID, UINT nCheck);
    UINT IsDlgButtonChecked(int nID) const;
    void CheckRadioButton(int nIDFirst, int nIDLast, int nIDCheck);
    int GetCheckedRadioButton(int nIDFirst, int nIDLast) const;   // 0 when none
    BOOL IsDialogMessage(LPMSG lpMsg);

    //--- timers, menus, prompts, tool tips
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse);
    BOOL KillTimer(UINT_PTR nIDEvent);
    HMENU GetSystemMenu(BOOL bRevert) const;
    // A message box owned by this window through the prompt seam; a null
    // caption is the application's title.
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);
    // Shows tips for the child controls: the first mouse message over a child
    // makes it a tool whose text is asked of this window with TTN_NEEDTEXT
    // (idFrom the child's handle, TTF_IDISHWND set).
    BOOL EnableToolTips(BOOL bEnable = TRUE);
    HWND GetToolTipHwnd() const { return m_hWndToolTip; }

    //--- hosted controls
    // Creates the control of class `clsid` in place as a child of pParentWnd
    // at `rect` and makes its window this object's window, with id nID and
    // the visibility of WS_VISIBLE in dwStyle. FALSE (and this object as it
    // was) when containment is not enabled, the class is not registered, or
    // the control will not activate with a window of its own. The control's
    // events go to the parent's event sink map; it is closed and released
    // when its window goes, and MoveWindow/SetWindowPos move it through its
    // site.
    BOOL CreateControl(REFCLSID clsid, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, UINT nID);
    // The hosted control (no reference added), null when this is not one.
    LPUNKNOWN GetControlUnknown() const;
    // Calls on the hosted control's IDispatch, as COleDispatchDriver's do
    // (the same arguments, results and exceptions; COleException(OLE_E_BLANK)
    // when this window hosts no control).
    void InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo,
                      ...) const;
    void GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp) const;
    void SetProperty(DISPID dwDispID, VARTYPE vtProp, ...) const;
    // Offers event `dispid` of the child control nCtrlID to the event sink
    // map, most derived class first; S_OK when a row took it, S_FALSE when
    // none did, a failure when the arguments did not fit the row.
    HRESULT OnEvent(UINT nCtrlID, DISPID dispid, DISPPARAMS* pParams);

protected:
    static const AFX_EVENTSINKMAP* GetThisEventSinkMap();
    virtual const AFX_EVENTSINKMAP* GetEventSinkMap() const;

    // Runs this window modally: its owner disabled, the message loop until
    // EndModalLoop (or the window is gone, or WM_QUIT, which is posted again),
    // every message through PreTranslateMessage; then the owner is enabled and
    // activated again and the window destroyed. The result of EndModalLoop.
    int RunModal(HWND hWndOwner);
    void EndModalLoop(int nResult);
    virtual BOOL ContinueModal();

    //--- handlers of the ON_WM_ rows; the base does the default processing
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnMove(int x, int y);
    afx_msg void OnMoving(UINT nSide, LPRECT lpRect);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg BOOL OnQueryNewPalette();
    afx_msg void OnPaletteChanged(CWnd* pFocusWnd);
    afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    afx_msg void OnExitMenuLoop(BOOL bIsTrackPopupMenu);
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg BOOL OnHelpInfo(HELPINFO* pHelpInfo);

    WNDPROC m_pfnSuper = nullptr;          // the window's own procedure when subclassed

    DECLARE_MESSAGE_MAP()

private:
    friend struct CWndBinding;
    BOOL m_bTemporary = FALSE;             // made by FromHandle; never destroys the window
    BOOL m_bCreating = FALSE;              // inside Create: a failure is the creator's to clean up
    BOOL m_bModalDone = FALSE;
    int m_nModalResult = -1;
    HWND m_hWndToolTip = nullptr;
    COleControlSite* m_pCtrlSite = nullptr;

    void ReleaseControlSite();
    int RunModalLoop();
    BOOL DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    BOOL ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    void RelayToToolTip(const MSG* pMsg);
};

// The framework's window procedure, for classes whose windows are CWnd objects.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// The application's PreTranslateMessage when there is an application object,
// else the walk up the window tree.
BOOL AfxPreTranslateMessage(MSG* pMsg);

//--- decoders of the window-message rows

namespace afxthunk {

template <class R> LRESULT ToResult(R value)
{
    if constexpr (std::is_pointer_v<R>)
        return reinterpret_cast<LRESULT>(value);
    else
        return static_cast<LRESULT>(value);
}

template <auto Fn, class... A> void Call(CCmdTarget* p, AFX_MSG& m, A... args)
{
    using R = decltype((Target<Fn>(p)->*Fn)(args...));
    if constexpr (std::is_void_v<R>) {
        (Target<Fn>(p)->*Fn)(args...);
        m.result = 0;
    } else {
        m.result = ToResult((Target<Fn>(p)->*Fn)(args...));
    }
}

inline int LoSigned(LPARAM l) { return static_cast<short>(LOWORD(l)); }
inline int HiSigned(LPARAM l) { return static_cast<short>(HIWORD(l)); }
inline CWnd* WndOf(WPARAM w) { return CWnd::FromHandle(reinterpret_cast<HWND>(w)); }
inline CWnd* WndOf(LPARAM l) { return CWnd::FromHandle(reinterpret_cast<HWND>(l)); }

template <auto Fn> BOOL NoArgs(CCmdTarget* p, AFX_MSG& m) { Call<Fn>(p, m); return TRUE; }
template <auto Fn> BOOL Create(CCmdTarget* p, AFX_MSG& m)
{
    Call<Fn>(p, m, reinterpret_cast<LPCREATESTRUCT>(m.lParam));
    return TRUE;
}
template <auto Fn> BOOL Size(CCmdTarget* p, AFX_MSG& m)
{
    Call<Fn>(p, m, static_cast<UINT>(m.wParam), LoSigned(m.lParam), HiSigned(m.lParam));
    return TRUE;
}
template <auto Fn> BOOL Move(CCmdTarget* p, AFX_MSG& m)
{
    Call<Fn>(p, m, LoSigned(m.lParam), HiSigned(m.lParam));
    return TRUE;
}
template <auto Fn> BOOL Moving(CCmdTarget* p, AFX_MSG& m)
{
    Call<Fn>(p, m, static_cast<UINT>(m.wParam), reinterpret_cast<LPRECT>(m.lParam));
    m.result = TRUE;
    return TRUE;
}
template <auto Fn> BOOL MinMax(CCmdTarget* p, AFX_MSG& m)
{
    Call<Fn>(p, m, reinterpret_cast<MINMAXINFO*>(m.lParam));
    return TRUE;
}
template <auto Fn> BOOL ShowWindow(CCmdTarget* p, AFX_MSG& m)
{
    Call<Fn>(p, m, static_cast<BOOL>(m.wParam), static_cast<UINT>(m.lParam));
    return TRUE;
}
template <auto Fn> BOOL Timer(CCmdTarget* p, AFX_MSG& m)
{
    Call<Fn>(p, m, static_cast<UINT_PTR>(m.wParam));
    return TRUE;
}
template <auto Fn> BOOL OtherWnd(CCmdTarget* p, AFX_MSG& m)   // focus, palette
{
    Call<Fn>(p, m, WndOf(m.wParam));
    return TRUE;
}
template <auto Fn> BOOL Activate(CCmdTarget* p, AFX_MSG& m)
{
    Call<Fn>(p, m, static_cast<UINT>(LOWORD(m.wParam)), WndOf(m.lParam),
             static_cast<BOOL>(HIWORD(m.wParam)));
    return TRUE;
}
template <auto Fn> BOOL Bool(CCmdTarget* p, AFX_MSG& m)
{
    Call<Fn>(p, m, static_cast<BOOL>(m.wParam));
    return TRUE;
}
template <auto Fn> BOOL SetCursor(CCmdTarget* p, AFX_MSG& m)
{
    Call<Fn>(p, m, WndOf(m.wParam), static_cast<UINT>(LOWORD(m.lParam)),
             static_cast<UINT>(HIWORD(m.lParam)));
    return TRUE;
}
template <auto Fn> BOOL NcHitTest(CCmdTarget* p, AFX_MSG& m)
{
    Call<Fn>(p, m, CPoint(m.lParam));
    return TRUE;
}
template <auto Fn> BOOL Mouse(CCmdTarget* p, AFX_MSG& m)
{
    Call<Fn>(p, m, static_cast<UINT>(m.wParam), CPoint(m.lParam));
    return TRUE;
}
template <auto Fn> BOOL Key(CCmdTarget* p, AFX_MSG& m)
{
    Call<Fn>(p, m, static_cast<UINT>(m.wParam), static_cast<UINT>(LOWORD(m.lParam)),
             static_cast<UINT>(HIWORD(m.lParam)));
    return TRUE;
}
template <auto Fn> BOOL CtlColor(CCmdTarget* p, AFX_MSG& m)
{
    CDC dc;
    dc.Attach(reinterpret_cast<HDC>(m.wParam));
    Call<Fn>(p, m, &dc, WndOf(m.lParam), m.message - WM_CTLCOLORMSGBOX);
    dc.Detach();
    return TRUE;
}
template <auto Fn> BOOL EraseBkgnd(CCmdTarget* p, AFX_MSG& m)
{
    CDC dc;
    dc.Attach(reinterpret_cast<HDC>(m.wParam));
    Call<Fn>(p, m, &dc);
    dc.Detach();
    return TRUE;
}
template <auto Fn> BOOL SettingChange(CCmdTarget* p, AFX_MSG& m)
{
    Call<Fn>(p, m, static_cast<UINT>(m.wParam), reinterpret_cast<LPCTSTR>(m.lParam));
    return TRUE;
}
template <auto Fn> BOOL HelpInfo(CCmdTarget* p, AFX_MSG& m)
{
    Call<Fn>(p, m, reinterpret_cast<HELPINFO*>(m.lParam));
    return TRUE;
}

} // namespace afxthunk

// WM_CTLCOLORxxx all come to the one ON_WM_CTLCOLOR row, under this key.
#define WM_CTLCOLOR 0x0019

#define QUIFW_WM(msg, thunk, fn) QUIFW_ROW(msg, 0, 0, 0, &afxthunk::thunk<&ThisClass::fn>)
#define ON_WM_CREATE() QUIFW_WM(WM_CREATE, Create, OnCreate)
#define ON_WM_DESTROY() QUIFW_WM(WM_DESTROY, NoArgs, OnDestroy)
#define ON_WM_CLOSE() QUIFW_WM(WM_CLOSE, NoArgs, OnClose)
#define ON_WM_PAINT() QUIFW_WM(WM_PAINT, NoArgs, OnPaint)
#define ON_WM_ERASEBKGND() QUIFW_WM(WM_ERASEBKGND, EraseBkgnd, OnEraseBkgnd)
#define ON_WM_SIZE() QUIFW_WM(WM_SIZE, Size, OnSize)
#define ON_WM_MOVE() QUIFW_WM(WM_MOVE, Move, OnMove)
#define ON_WM_MOVING() QUIFW_WM(WM_MOVING, Moving, OnMoving)
#define ON_WM_GETMINMAXINFO() QUIFW_WM(WM_GETMINMAXINFO, MinMax, OnGetMinMaxInfo)
#define ON_WM_SHOWWINDOW() QUIFW_WM(WM_SHOWWINDOW, ShowWindow, OnShowWindow)
#define ON_WM_TIMER() QUIFW_WM(WM_TIMER, Timer, OnTimer)
#define ON_WM_SETFOCUS() QUIFW_WM(WM_SETFOCUS, OtherWnd, OnSetFocus)
#define ON_WM_KILLFOCUS() QUIFW_WM(WM_KILLFOCUS, OtherWnd, OnKillFocus)
#define ON_WM_ACTIVATE() QUIFW_WM(WM_ACTIVATE, Activate, OnActivate)
#define ON_WM_ENABLE() QUIFW_WM(WM_ENABLE, Bool, OnEnable)
#define ON_WM_SETCURSOR() QUIFW_WM(WM_SETCURSOR, SetCursor, OnSetCursor)
#define ON_WM_NCHITTEST() QUIFW_WM(WM_NCHITTEST, NcHitTest, OnNcHitTest)
#define ON_WM_MOUSEMOVE() QUIFW_WM(WM_MOUSEMOVE, Mouse, OnMouseMove)
#define ON_WM_LBUTTONDOWN() QUIFW_WM(WM_LBUTTONDOWN, Mouse, OnLButtonDown)
#define ON_WM_LBUTTONUP() QUIFW_WM(WM_LBUTTONUP, Mouse, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() QUIFW_WM(WM_LBUTTONDBLCLK, Mouse, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() QUIFW_WM(WM_RBUTTONDOWN, Mouse, OnRButtonDown)
#define ON_WM_RBUTTONUP() QUIFW_WM(WM_RBUTTONUP, Mouse, OnRButtonUp)
#define ON_WM_KEYDOWN() QUIFW_WM(WM_KEYDOWN, Key, OnKeyDown)
#define ON_WM_KEYUP() QUIFW_WM(WM_KEYUP, Key, OnKeyUp)
#define ON_WM_CHAR() QUIFW_WM(WM_CHAR, Key, OnChar)
#define ON_WM_CTLCOLOR() QUIFW_WM(WM_CTLCOLOR, CtlColor, OnCtlColor)
#define ON_WM_QUERYNEWPALETTE() QUIFW_WM(WM_QUERYNEWPALETTE, NoArgs, OnQueryNewPalette)
#define ON_WM_PALETTECHANGED() QUIFW_WM(WM_PALETTECHANGED, OtherWnd, OnPaletteChanged)
#define ON_WM_SETTINGCHANGE() QUIFW_WM(WM_SETTINGCHANGE, SettingChange, OnSettingChange)
#define ON_WM_EXITMENULOOP() QUIFW_WM(WM_EXITMENULOOP, Bool, OnExitMenuLoop)
#define ON_WM_QUERYDRAGICON() QUIFW_WM(WM_QUERYDRAGICON, NoArgs, OnQueryDragIcon)
#define ON_WM_HELPINFO() QUIFW_WM(WM_HELP, HelpInfo, OnHelpInfo)
