#include "NoteBox.h"

#include "FrameworkUtil.h"
#include "OzuPrefs.h"
#include "QuiImage.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"
#include "VVRichEdit.h"

#include <richole.h>
#include <tom.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

static_assert(sizeof(CHARFORMAT2A) == 84, "the mark format is the rich edit's CHARFORMAT2");

namespace {

const char kClassName[] = "QUINOTEBOX";
const UINT ID_FILE_NOTE = 169;            // the note window's file command
const DWORD kUnderlineType = 0x00800000;  // CFM_UNDERLINETYPE
const int kArrowTop = 13;                 // how far above the bottom the arrows sit
const int kArrowGap = 3;                  // between each arrow and the middle

// One picture for every note box, kept for the process's life.
Quillmate::CImage& GripPicture()
{
    static Quillmate::CImage picture;
    return picture;
}

COzuPrefs* Prefs()
{
    CQuillmateApp* app = QuiGetApp();
    return app ? app->GetPrefs() : nullptr;
}

// FALSE when the control failed the call; its exception ends here.
template <class Call> BOOL Survives(Call call)
{
    try {
        call();
        return TRUE;
    } catch (COleDispatchException* e) {
        e->Delete();
    } catch (COleException* e) {
        e->Delete();
    }
    return FALSE;
}

// Keeps the speech edit's redraw locked while marking; a failing mark still
// lets the control draw again.
class CRedrawLock {
public:
    explicit CRedrawLock(CVVRichEdit& edit) : m_edit(edit)
    {
        m_edit.SetRedrawLocked(TRUE);
        m_bLocked = true;
    }
    ~CRedrawLock()
    {
        if (m_bLocked)
            Survives([this] { m_edit.SetRedrawLocked(FALSE); });
    }
    void Release()
    {
        m_bLocked = false;
        m_edit.SetRedrawLocked(FALSE);
    }

private:
    CVVRichEdit& m_edit;
    bool m_bLocked = false;
};

// ITextDocument, which the import libraries do not carry.
const IID kTextDocumentIid = {0x8cc497c0, 0xa1df, 0x11ce, {0x80, 0x98, 0x00, 0xaa, 0x00, 0x47, 0xbe, 0x5d}};

// Marks are looks, not edits: their format changes stay out of the rich
// edit's undo history, so that undo takes back what the user typed and a
// redraw of the marks keeps the steps to redo. Nested marking suspends once.
class CUndoPause {
public:
    CUndoPause(HWND hEdit, int& depth) : m_depth(depth)
    {
        if (m_depth++ > 0 || !hEdit)
            return;
        IRichEditOle* ole = nullptr;
        if (!::SendMessage(hEdit, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole)) || !ole)
            return;
        if (FAILED(ole->QueryInterface(kTextDocumentIid, reinterpret_cast<void**>(&m_pDocument))))
            m_pDocument = nullptr;
        ole->Release();
        if (m_pDocument)
            m_pDocument->Undo(tomSuspend, nullptr);
    }
    ~CUndoPause()
    {
        --m_depth;
        if (!m_pDocument)
            return;
        m_pDocument->Undo(tomResume, nullptr);
        m_pDocument->Release();
    }
    CUndoPause(const CUndoPause&) = delete;
    CUndoPause& operator=(const CUndoPause&) = delete;

private:
    int& m_depth;
    ITextDocument* m_pDocument = nullptr;
};

// To the selection as given: the framework's call would cut a CHARFORMAT2
// down to a CHARFORMAT, and the kept format with it.
void SetSelectionFormat(CRichEditCtrl& edit, const CHARFORMAT& format)
{
    edit.SendMessage(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

} // namespace

BEGIN_MESSAGE_MAP(CNoteBox, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_SETFOCUS()
    ON_COMMAND(ID_NOTEBOX_SCROLL_DOWN, ScrollLineDown)
    ON_COMMAND(ID_NOTEBOX_SCROLL_UP, ScrollLineUp)
END_MESSAGE_MAP()

CNoteBox::CNoteBox()
{
    COzuPrefs* prefs = Prefs();
    m_bSpeech = prefs && prefs->m_bSpeechInstalled && prefs->m_dwVoiceRecognition != 0;
    std::memset(&m_markFormat, 0, sizeof m_markFormat);
    m_markFormat.cbSize = sizeof m_markFormat;
    m_markFormat.dwMask = CFM_COLOR | CFM_UNDERLINE | kUnderlineType;
    m_markFormat.dwEffects = CFE_AUTOCOLOR;
    m_font.CreateStockObject(ANSI_VAR_FONT);
}

CNoteBox::~CNoteBox()
{
    delete m_pSpeechEdit;
    m_pSpeechEdit = nullptr;
    m_scrollDown.DestroyWindow();
    m_scrollUp.DestroyWindow();
    m_plainEdit.DestroyWindow();
}

BOOL CNoteBox::Create(const RECT& rect, CWnd* pParent, UINT nID)
{
    if (!RegisterWndClass(kClassName, CS_DBLCLKS, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)),
                          ::LoadCursor(nullptr, IDC_ARROW), nullptr))
        return FALSE;
    if (!GripPicture().IsLoaded())
        GripPicture().Load(IDB_NOTEBOX_GRIP, PALETTERGB(0, 255, 0));
    return CWnd::Create(kClassName, "", WS_CHILD | WS_TABSTOP, rect, pParent, nID);
}

// The speech control goes first, while the box that hosts it is still whole.
BOOL CNoteBox::DestroyWindow()
{
    if (Speech()) {
        m_pSpeechEdit->UnsubclassInner();
        m_pSpeechEdit->DestroyWindow();
    }
    return CWnd::DestroyWindow();
}

int CNoteBox::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    const int style = CFlatButton::styleFireOnPress | CFlatButton::styleAutoRepeat;
    if (!m_scrollUp.Create(0, 0, ID_NOTEBOX_SCROLL_UP, CFlatButton::kindPush, this, 0, style) ||
        !m_scrollDown.Create(0, 0, ID_NOTEBOX_SCROLL_DOWN, CFlatButton::kindPush, this, 0, style))
        return -1;
    if (m_bSpeech && CreateSpeechEdit())
        return 0;
    m_bSpeech = FALSE;
    return CreatePlainEdit() ? 0 : -1;
}

BOOL CNoteBox::CreateSpeechEdit()
{
    std::unique_ptr<CVVRichEditEx> edit(new CVVRichEditEx);
    CRect rect(0, 0, 100, 100);
    // Not installed, or failing any step here: the plain edit serves.
    if (!edit->Create(nullptr, nullptr, WS_CHILD, rect, this, kSpeechEditId))
        return FALSE;
    BOOL bReady = Survives([&] {
        edit->SubclassInner();
        edit->SetBackColor(0xFFFFFF);
        edit->SetBorderStyle(0);
        edit->SetAppearance(0);
        edit->SetDictationEnabled(TRUE);
    });
    if (!bReady)
        return FALSE;
    edit->ShowWindow(SW_SHOW);
    ::SendMessage(edit->GetInnerWindow(), EM_SETEVENTMASK, 0, kEventMask);
    m_pSpeechEdit = edit.release();
    return TRUE;
}

BOOL CNoteBox::CreatePlainEdit()
{
    CRect rect(0, 0, 0, 0);
    if (!m_plainEdit.Create(WS_CHILD | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_SAVESEL, rect, this,
                            kPlainEditId))
        return FALSE;
    m_plainEdit.SetBackgroundColor(FALSE, RGB(255, 255, 255));
    m_plainEdit.SetFont(&m_font);
    m_plainEdit.SetEventMask(kEventMask);
    m_plainEdit.ShowWindow(SW_SHOW);
    m_plainEdit.SetUndoLimit(kUndoLimit);
    m_plainEdit.LimitText(MAX_TEXT);
    return TRUE;
}

HWND CNoteBox::GetEditWindow() const
{
    return Speech() ? m_pSpeechEdit->GetInnerWindow() : m_plainEdit.GetSafeHwnd();
}

//--- text and selection

void CNoteBox::GetText(CString& text)
{
    if (Speech())
        text = m_pSpeechEdit->GetText();
    else
        m_plainEdit.GetWindowText(text);
}

void CNoteBox::SetText(LPCTSTR lpszText)
{
    if (Speech())
        m_pSpeechEdit->SetText(lpszText);
    else
        m_plainEdit.SetWindowText(lpszText);
}

void CNoteBox::SetSel(int start, int end)
{
    if (!Speech()) {
        m_plainEdit.SetSel(start, end);
        return;
    }
    if (end < 0)
        end = m_pSpeechEdit->GetText().GetLength();
    m_pSpeechEdit->SetSelStart(start);
    m_pSpeechEdit->SetSelLength(std::max(0, end - start));
}

//--- scrolling

void CNoteBox::ScrollLine(WPARAM nCode)
{
    ::SendMessage(GetEditWindow(), EM_SCROLL, nCode, 0);
}

void CNoteBox::ScrollLineDown()
{
    ScrollLine(SB_LINEDOWN);
}

void CNoteBox::ScrollLineUp()
{
    ScrollLine(SB_LINEUP);
}

void CNoteBox::UpdateScrollButtons()
{
    HWND hEdit = GetEditWindow();
    if (!hEdit)
        return;
    CRect view;
    if (Speech())
        m_pSpeechEdit->GetClientRect(&view);
    else
        m_plainEdit.GetRect(&view);
    BOOL bScrolled = ::SendMessage(hEdit, EM_GETFIRSTVISIBLELINE, 0, 0) != 0;
    int nShow = m_requestedRect.bottom > view.bottom || bScrolled ? SW_SHOW : SW_HIDE;
    m_scrollUp.ShowWindow(nShow);
    m_scrollDown.ShowWindow(nShow);
}

//--- notifications of the rich edit

// Changes and focus reach the owner as the box's own, so the note window
// need not know which rich edit is in use.
void CNoteBox::NotifyParent(UINT nCode)
{
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), nCode), reinterpret_cast<LPARAM>(m_hWnd));
}

BOOL CNoteBox::OnCommand(WPARAM wParam, LPARAM lParam)
{
    HWND hFrom = reinterpret_cast<HWND>(lParam);
    bool bFromEdit = hFrom && (Speech() ? hFrom == m_pSpeechEdit->GetSafeHwnd() : hFrom == m_plainEdit.m_hWnd);
    if (!bFromEdit)
        return CWnd::OnCommand(wParam, lParam);
    switch (HIWORD(wParam)) {
    case EN_CHANGE:
    case EN_UPDATE:
    case EN_SETFOCUS:
    case EN_KILLFOCUS:
        NotifyParent(HIWORD(wParam));
        break;
    case EN_VSCROLL:
        UpdateScrollButtons();
        break;
    }
    return TRUE;
}

BOOL CNoteBox::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && header->code == EN_REQUESTRESIZE && header->hwndFrom && header->hwndFrom == GetEditWindow()) {
        m_requestedRect = reinterpret_cast<const REQRESIZE*>(lParam)->rc;
        UpdateScrollButtons();
        *pResult = 0;
        return TRUE;
    }
    return CWnd::OnNotify(wParam, lParam, pResult);
}

//--- keys

BOOL CNoteBox::PreTranslateMessage(MSG* pMsg)
{
    COzuPrefs* prefs = Prefs();
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN && prefs && prefs->m_dwReturnKeyAction != 0) {
        if (CWnd* parent = GetParent())
            parent->SendMessage(WM_COMMAND, ID_FILE_NOTE);
        return TRUE;
    }
    return CWnd::PreTranslateMessage(pMsg);
}

//--- layout, grip and focus

void CNoteBox::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    CRect text(0, 0, cx, std::max(0, cy - kArrowBand));
    if (Speech())
        m_pSpeechEdit->MoveWindow(&text);
    else if (m_plainEdit.m_hWnd)
        m_plainEdit.MoveWindow(&text);

    if (m_scrollUp.m_hWnd && m_scrollDown.m_hWnd) {
        CRect down;
        m_scrollDown.GetWindowRect(&down);
        m_scrollUp.SetWindowPos(nullptr, cx / 2 + kArrowGap, cy - kArrowTop, 0, 0,
                                SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        m_scrollDown.SetWindowPos(nullptr, cx / 2 - kArrowGap - down.Width(), cy - kArrowTop, 0, 0,
                                  SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    InvalidateRect(&m_gripRect);
    const Quillmate::CImage& grip = GripPicture();
    m_gripRect.SetRect(cx - grip.GetWidth(), cy - grip.GetHeight(), cx, cy);
    InvalidateRect(&m_gripRect);
}

void CNoteBox::OnPaint()
{
    CPaintDC dc(this);
    if (GripPicture().IsLoaded())
        GripPicture().Draw(&dc, m_gripRect.left, m_gripRect.top, FALSE);
}

BOOL CNoteBox::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    CPoint cursor;
    ::GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    if (nHitTest == HTCLIENT && m_gripRect.PtInRect(cursor)) {
        ::SetCursor(::LoadCursor(nullptr, IDC_SIZENWSE));
        return TRUE;
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

// The note window is sized from its corner, as if its own border were held.
void CNoteBox::OnLButtonDown(UINT nFlags, CPoint point)
{
    CWnd* parent = GetParent();
    if (!parent || !m_gripRect.PtInRect(point)) {
        CWnd::OnLButtonDown(nFlags, point);
        return;
    }
    CPoint screen = point;
    ClientToScreen(&screen);
    parent->SendMessage(WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, MAKELPARAM(screen.x, screen.y));
}

void CNoteBox::OnSetFocus(CWnd* pOldWnd)
{
    CWnd::OnSetFocus(pOldWnd);
    if (HWND hEdit = GetEditWindow())
        ::SetFocus(hEdit);
}

//--- keyphrase marks

void CNoteBox::SetMarkFormat(const CHARFORMAT* pFormat)
{
    if (!pFormat)
        return;
    // A caller's plain CHARFORMAT is shorter than the kept format: read no
    // further than it says it reaches.
    size_t size = std::min<size_t>(pFormat->cbSize, sizeof m_markFormat);
    std::memset(&m_markFormat, 0, sizeof m_markFormat);
    std::memcpy(&m_markFormat, pFormat, size);
    m_markFormat.cbSize = sizeof m_markFormat;
}

void CNoteBox::MarkKeyphraseWithFormat(int start, int end, const CHARFORMAT* pFormat, BOOL bOn)
{
    CUndoPause pause(GetEditWindow(), m_nUndoPauses);
    CHARFORMAT2A saved = m_markFormat;
    SetMarkFormat(pFormat);
    MarkRange(start, end, bOn);
    CHARFORMAT2A own = m_markFormat;
    m_markFormat = saved;
    MarkRange(end + 1, end + 1, bOn);
    // The caret put back right after the keyphrase takes the format of the
    // character before it: what is typed on would come in the keyphrase's
    // own format (bold, say), which the box's format does not undo.
    if (!bOn || Speech() || !m_plainEdit.m_hWnd)
        return;
    CHARRANGE caret = {};
    m_plainEdit.GetSel(caret);
    if (caret.cpMin != caret.cpMax || caret.cpMin != end + 1)
        return;
    CHARFORMAT2A plain = own;
    plain.dwMask |= saved.dwMask;
    plain.dwEffects = CFE_AUTOCOLOR;
    SetSelectionFormat(m_plainEdit, plain);
}

void CNoteBox::MarkKeyphrase(int start, int end, BOOL bOn)
{
    CHARFORMAT2A current = m_markFormat;
    MarkKeyphraseWithFormat(start, end, &current, bOn);
}

void CNoteBox::MarkRange(int start, int end, BOOL bOn)
{
    CUndoPause pause(GetEditWindow(), m_nUndoPauses);
    if (Speech())
        MarkSpeechRange(start, end, bOn);
    else if (m_plainEdit.m_hWnd)
        MarkPlainRange(start, end, bOn);
}

// The look of text never marked: the box's font, the window text colour.
void CNoteBox::PlainFormat(CHARFORMAT& format)
{
    std::memset(&format, 0, sizeof format);
    format.cbSize = sizeof format;
    format.dwMask =
        CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
    format.dwEffects = CFE_AUTOCOLOR;
    LOGFONT logFont = {};
    m_font.GetLogFont(&logFont);
    std::memcpy(format.szFaceName, logFont.lfFaceName, sizeof format.szFaceName - 1);
    CClientDC dc(&m_plainEdit);
    int dpi = dc.GetDeviceCaps(LOGPIXELSY);
    format.yHeight = ::MulDiv(std::abs(logFont.lfHeight), 1440, dpi > 0 ? dpi : 96);
}

void CNoteBox::MarkPlainRange(int start, int end, BOOL bOn)
{
    m_plainEdit.HideSelection(TRUE, FALSE);
    CHARRANGE saved = {};
    m_plainEdit.GetSel(saved);
    CHARRANGE range = {start, end < 0 ? -1 : end + 1};
    m_plainEdit.SetSel(range);
    if (bOn) {
        SetSelectionFormat(m_plainEdit, m_markFormat);
        // Typing on right after the keyphrase is not marked.
        CHARFORMAT2A after = m_markFormat;
        after.dwEffects = CFE_AUTOCOLOR;
        m_plainEdit.GetSel(range);
        m_plainEdit.SetSel(range.cpMax, range.cpMax);
        SetSelectionFormat(m_plainEdit, after);
    } else {
        CHARFORMAT plain;
        PlainFormat(plain);
        SetSelectionFormat(m_plainEdit, plain);
    }
    m_plainEdit.SetSel(saved);
    m_plainEdit.HideSelection(FALSE, FALSE);
}

void CNoteBox::MarkSpeechRange(int start, int end, BOOL bOn)
{
    CVVRichEditEx& edit = *m_pSpeechEdit;
    CRedrawLock lock(edit);
    long savedStart = edit.GetSelStart();
    long savedLength = edit.GetSelLength();
    long last = end < 0 ? edit.GetText().GetLength() - 1 : end;
    edit.SetSelStart(start);
    edit.SetSelLength(std::max(0L, last - start + 1));
    if (bOn) {
        const DWORD mask = m_markFormat.dwMask;
        const DWORD effects = m_markFormat.dwEffects;
        if (mask & effects & CFE_BOLD)
            edit.SetSelBold(TRUE);
        if (mask & effects & CFE_ITALIC)
            edit.SetSelItalic(TRUE);
        if (mask & effects & CFE_UNDERLINE)
            edit.SetSelUnderline(TRUE);
        if (mask & CFM_COLOR)
            edit.SetSelColor(m_markFormat.crTextColor);
    } else {
        edit.SetSelBold(FALSE);
        edit.SetSelItalic(FALSE);
        edit.SetSelUnderline(FALSE);
        edit.SetSelColor(::GetSysColor(COLOR_WINDOWTEXT));
    }
    edit.SetSelStart(savedStart);
    edit.SetSelLength(savedLength);
    lock.Release();
}
