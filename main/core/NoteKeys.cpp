// The note window's keys: the edition's accelerator table, through which
// Tab, Shift+Tab and F6 move the focus between the note and its panes and
// Ctrl with a digit ticks or unticks a pane.
#include "NoteWnd.h"

#include "ButtonProps.h"
#include "Datastore.h"
#include "DestPane.h"
#include "DestWnd.h"
#include "Destination.h"
#include "EditDrop.h"
#include "FrameworkUtil.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"

UINT CNoteWnd::GetAcceleratorId()
{
    CQuillmateApp* app = QuiGetApp();
    CDatastore* datastore = app ? app->GetDatastore() : nullptr;
    return datastore ? datastore->GetResourceId() : IDR_NOTE_ACCELERATORS;
}

BOOL CNoteWnd::PreTranslateMessage(MSG* pMsg)
{
    if (m_hAccel && pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST &&
        ::TranslateAccelerator(m_hWnd, m_hAccel, pMsg))
        return TRUE;
    return CBitmapWnd::PreTranslateMessage(pMsg);
}

void CNoteWnd::OnNextTab()
{
    MoveFocus(FALSE);
}

void CNoteWnd::OnPreviousTab()
{
    MoveFocus(TRUE);
}

void CNoteWnd::OnToPanes()
{
    CWnd* target = nullptr;
    if (::GetActiveWindow() == m_hWnd && m_pDestWnd)
        target = m_pDestWnd->NextTabItem(nullptr, FALSE, TRUE);
    FocusOn(target ? target : FindFirstTabStop(this));
}

void CNoteWnd::MoveFocus(BOOL bPrevious)
{
    CWnd* target = NextFocusTarget(bPrevious);
    FocusOn(target ? target : FindFirstTabStop(this));
}

CWnd* CNoteWnd::NextFocusTarget(BOOL bPrevious)
{
    CWnd* focus = CWnd::GetFocus();
    CWnd* child = nullptr;
    CDestPane* pane = CDestPane::FindOwningPane(focus, &child);
    if (pane && m_pDestWnd) {
        // The pane's own order first; past its end, the next pane, then this window.
        CWnd* endOfPane = FindTabStop(pane, nullptr, !bPrevious);
        if (child && endOfPane && child->GetSafeHwnd() != endOfPane->GetSafeHwnd())
            return FindTabStop(pane, child, bPrevious);
        CWnd* next = m_pDestWnd->NextTabItem(pane, bPrevious, FALSE);
        if (next && dynamic_cast<CDestPane*>(CWnd::FromHandlePermanent(next->GetSafeHwnd())))
            next = m_pDestWnd->NextTabItem(next, bPrevious, TRUE);
        return next ? next : FindTabStop(this, nullptr, bPrevious);
    }
    CWnd* endOfNote = FindTabStop(this, nullptr, !bPrevious);
    BOOL atEnd = endOfNote && IsFocusWithin(endOfNote);
    BOOL onDestWnd = m_pDestWnd && focus && focus->GetSafeHwnd() == m_pDestWnd->GetSafeHwnd();
    if ((atEnd || onDestWnd) && m_pDestWnd)
        return m_pDestWnd->NextTabItem(nullptr, bPrevious, TRUE);
    // Within this window the order goes on from the control that has the focus.
    HWND from = focus ? focus->GetSafeHwnd() : nullptr;
    while (from && ::GetParent(from) != m_hWnd)
        from = ::GetParent(from);
    return FindTabStop(this, from ? CWnd::FromHandle(from) : nullptr, bPrevious);
}

void CNoteWnd::FocusOn(CWnd* pWnd)
{
    if (!pWnd)
        return;
    pWnd->SetFocus();
    auto* field = dynamic_cast<CEditDrop*>(CWnd::FromHandlePermanent(pWnd->GetSafeHwnd()));
    if (field && !field->IsPromptShown()) {
        field->GetEdit().SetSel(0, -1);
        field->GetEdit().SendMessage(EM_SCROLLCARET);
    }
}

void CNoteWnd::OnTogglePane(UINT nID)
{
    CDestination* dest = m_pNote ? m_pNote->GetPaneDestination(static_cast<int>(nID)) : nullptr;
    // An unavailable pane takes no tick from the keyboard, as from a click.
    if (!dest || !dest->IsEnabled())
        return;
    CCheckButtonProp* check = dest->GetCheckProp();
    VARIANT value;
    ::VariantInit(&value);
    check->GetValue(&value);
    VARIANT flipped;
    ::VariantInit(&flipped);
    flipped.vt = VT_BOOL;
    flipped.boolVal = value.vt == VT_BOOL && value.boolVal ? VARIANT_FALSE : VARIANT_TRUE;
    ::VariantClear(&value);
    check->SetValue(flipped);
    check->SetFlags(4);
}
