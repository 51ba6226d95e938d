// The speech rich edit: an outside ActiveX control into which the user can
// dictate the note text, held through its fixed dispatch ids.
#pragma once
#include <afxquill.h>

#include <olectl.h>

class CVVRichEdit : public CWnd {
public:
    // Creates the control in place; the class name is not used. FALSE when
    // the control is not installed or will not start.
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID);

    // Each member raises COleDispatchException when the control fails it.
    void SetBackColor(OLE_COLOR color);
    void SetBorderStyle(long style);
    void SetAppearance(long appearance);
    CString GetText() const;
    void SetText(LPCTSTR lpszText);
    long GetSelStart() const;
    void SetSelStart(long start);
    long GetSelLength() const;
    void SetSelLength(long length);
    // While locked the control does not redraw (the note box marks a keyphrase).
    void SetRedrawLocked(BOOL bLocked);
    void SetSelBold(BOOL bOn);
    void SetSelItalic(BOOL bOn);
    void SetSelUnderline(BOOL bOn);
    void SetSelColor(long color);
    void SetDictationEnabled(BOOL bOn);
};

// The speech rich edit whose inner edit window's notifications reach the
// control's parent as its own children's do.
class CVVRichEditEx : public CVVRichEdit {
public:
    CVVRichEditEx() = default;
    ~CVVRichEditEx() override;

    // The edit window inside the control, which takes the rich-edit messages.
    HWND GetInnerWindow() const;
    // Puts the reroute procedure in front of the inner window's own; FALSE
    // when there is no inner window or it is already rerouted.
    BOOL SubclassInner();
    // Puts the inner window's own procedure back; done before the control goes.
    void UnsubclassInner();

    // The name of the inner window's property that holds its own procedure.
    static const char kWndProcProperty[];

private:
    static LRESULT CALLBACK RerouteProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWndInner = nullptr;
    WNDPROC m_pfnInnerProc = nullptr;
};
