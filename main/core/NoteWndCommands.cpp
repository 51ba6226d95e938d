// The note window's list of recognised items, its contacts, its commands
// (attach, save, close) and the keyphrase marks.
#include "NoteWnd.h"

#include <windowsx.h>

#include "CoreWndUtil.h"
#include "DestWnd.h"
#include "OzuPrefs.h"
#include "QuiResIds.h"
#include "QuillmateExcept.h"

//--- the list of recognised items

void CNoteWnd::AddListEntry(const CString& text, int data, BOOL bAllowDuplicate)
{
    if (!bAllowDuplicate) {
        LVFINDINFO find = {};
        find.flags = LVFI_STRING;
        find.psz = text;
        if (m_list.FindItem(&find, -1) >= 0)
            return;
    }
    InsertListEntry(text, data, 0);
    Layout();
}

int CNoteWnd::InsertListEntry(const CString& text, LPARAM data, int image)
{
    LVITEM item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = m_list.GetItemCount();
    item.pszText = const_cast<LPSTR>(static_cast<LPCSTR>(text));
    item.iImage = image;
    item.lParam = data;
    int index = m_list.InsertItem(&item);
    if (index >= 0)
        m_list.EnsureVisible(index, FALSE);
    return index;
}

void CNoteWnd::RemoveListItem(const CString& text)
{
    LVFINDINFO find = {};
    find.flags = LVFI_STRING;
    find.psz = text;
    int index = m_list.FindItem(&find, -1);
    if (index >= 0)
        m_list.DeleteItem(index);
    Layout();
}

void CNoteWnd::RemoveSelectedEntries()
{
    for (int i = m_list.GetItemCount() - 1; i >= 0; --i) {
        if (m_list.GetItemState(i, LVIS_SELECTED) & LVIS_SELECTED)
            m_list.DeleteItem(i);
    }
    m_removeButton.SetActive(FALSE);
    Layout();
}

void CNoteWnd::OnListItemChanged(NMHDR*, LRESULT* pResult)
{
    m_removeButton.SetActive(m_list.GetSelectedCount() > 0);
    *pResult = 0;
}

void CNoteWnd::OnListKillFocus(NMHDR*, LRESULT* pResult)
{
    m_list.SetItemState(-1, 0, LVIS_SELECTED);
    *pResult = 0;
}

void CNoteWnd::OnListKeyDown(NMHDR* pNMHDR, LRESULT* pResult)
{
    WORD key = reinterpret_cast<NMLVKEYDOWN*>(pNMHDR)->wVKey;
    if (key == VK_DELETE || key == VK_BACK)
        RemoveSelectedEntries();
    *pResult = 0;
}

// An attached file's entry owns the path it carries.
void CNoteWnd::OnListDeleteItem(NMHDR* pNMHDR, LRESULT* pResult)
{
    const NMLISTVIEW* view = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    LVITEM item = {};
    item.mask = LVIF_IMAGE | LVIF_PARAM;
    item.iItem = view->iItem;
    if (m_list.SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) && item.iImage == 1)
        delete reinterpret_cast<CString*>(item.lParam);
    *pResult = 0;
}

//--- contacts

void CNoteWnd::SetRecentContacts(const std::deque<Quillmate::CContactLink>& contacts)
{
    CMenu* popup = GetContactsPopup();
    if (!popup)
        return;
    for (UINT id = ID_RECENT_CONTACT_FIRST; id <= ID_RECENT_CONTACT_LAST; ++id)
        popup->DeleteMenu(id, MF_BYCOMMAND);
    UINT position = 2;
    UINT id = ID_RECENT_CONTACT_FIRST;
    for (const Quillmate::CContactLink& link : contacts) {
        if (id > ID_RECENT_CONTACT_LAST)
            break;
        popup->InsertMenu(position, MF_BYPOSITION | MF_STRING, id, link.GetName());
        MENUITEMINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_DATA;
        info.dwItemData = static_cast<ULONG_PTR>(link.GetItem());
        popup->SetMenuItemInfo(id, &info, FALSE);
        ++position;
        ++id;
    }
}

void CNoteWnd::OnRecentContact(UINT nID)
{
    CMenu* popup = GetContactsPopup();
    if (!popup)
        return;
    CString name;
    MENUITEMINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    if (!popup->GetMenuString(nID, name, MF_BYCOMMAND) || !popup->GetMenuItemInfo(nID, &info, FALSE))
        return;
    AddListEntry(name, static_cast<int>(info.dwItemData), FALSE);
}

void CNoteWnd::OnNewContact()
{
    CString name;
    int id = 0;
    if (m_pNote && m_pNote->NewContact(m_pNote, name, id))
        AddListEntry(name, id, FALSE);
}

void CNoteWnd::OnMoreContacts()
{
    CString name;
    int id = 0;
    if (m_pNote && m_pNote->ChooseMoreContacts(m_pNote, name, id))
        AddListEntry(name, id, FALSE);
}

void CNoteWnd::OnContactsDropDown(NMHDR*, LRESULT* pResult)
{
    OpenContactsMenu();
    *pResult = 0;
}

void CNoteWnd::OpenContactsMenu()
{
    CMenu* popup = GetContactsPopup();
    if (!popup)
        return;
    CRect button;
    m_contactsButton.GetWindowRect(button);
    popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN, button.left, button.bottom, this);
}

// A click on the contacts button adds a new contact; a right click on it
// opens the menu of recent and further contacts.
LRESULT CNoteWnd::OnParentNotify(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == WM_RBUTTONDOWN && m_contactsButton.IsWindowVisible()) {
        CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        if (ChildRect(m_contactsButton, *this).PtInRect(point))
            OpenContactsMenu();
    }
    return Default();
}

void CNoteWnd::OnAttachFile()
{
    CString filter;
    CString title;
    filter.LoadString(IDS_ATTACH_FILTER);
    title.LoadString(IDS_ATTACH_TITLE);
    CPromptRequest request;
    request.kind = PromptKind::OpenFile;
    request.hWndOwner = m_hWnd;
    request.caption = title;
    request.filter = filter;
    request.nType = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    CPromptAnswer answer = AfxPrompt(request);
    if (answer.nResult != IDOK || answer.path.IsEmpty())
        return;
    int slash = std::max(answer.path.ReverseFind('\\'), answer.path.ReverseFind('/'));
    auto* path = new CString(answer.path);
    if (InsertListEntry(answer.path.Mid(slash + 1), reinterpret_cast<LPARAM>(path), 1) < 0)
        delete path;
    Layout();
}

//--- commands

void CNoteWnd::OnItemViewer()
{
    if (m_pNote)
        m_pNote->OpenKestrelViewer(m_pNote);
}

void CNoteWnd::OnHelp()
{
    if (m_pNote)
        m_pNote->ShowHelp(m_pNote);
}

void CNoteWnd::OnSaveNote()
{
    SaveNote();
}

void CNoteWnd::SaveNote()
{
    CActionNote* note = m_pNote;
    if (!note)
        return;
    if (note->IsBusy()) {
        ::MessageBeep(MB_OK);
        return;
    }
    HCURSOR previous = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    CQuillmateApp* app = QuiGetApp();
    COzuPrefs* prefs = app ? app->GetPrefs() : nullptr;
    if (prefs && prefs->m_dwSaveThenNew)
        ShowFilingText(TRUE);
    else
        ShowWindow(SW_HIDE);
    // Filing may end the note, and this window object with it.
    note->FileNote(note);
    ::SetCursor(previous);
}

void CNoteWnd::OnCloseNote()
{
    if (m_pNote && m_pNote->IsBusy()) {
        m_pNote->AskCloseAfterFiling(CActionNote::closeByUser);
        return;
    }
    CString text;
    if (m_pNote)
        m_pNote->GetNoteText(text);
    if (!m_pNote || text.IsEmpty() || !m_pNote->HasEnabledDestination()) {
        PostMessage(WM_CLOSE);
        return;
    }
    switch (AskAboutNote(IDS_EXIT_FILE_NOTE, MB_YESNOCANCEL)) {
    case IDYES:
        OnSaveNote();
        break;
    case IDNO:
        PostMessage(WM_CLOSE);
        break;
    default:
        break;
    }
}

void CNoteWnd::OnClose()
{
    if (!PutOffClose())
        Default();
}

BOOL CNoteWnd::PutOffClose()
{
    if (!m_pNote || !m_pNote->IsBusy())
        return FALSE;
    m_pNote->AskCloseAfterFiling(CActionNote::closeByMessage);
    return TRUE;
}

LRESULT CNoteWnd::OnSysCommand(WPARAM wParam, LPARAM)
{
    // The system menu's Close and Alt+F4 would otherwise close the window
    // with its text at once.
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        OnCloseNote();
        return 0;
    }
    return Default();
}

int CNoteWnd::AskAboutNote(UINT nMessageId, UINT nType)
{
    const HWND self = GetSafeHwnd();
    const HWND dest = m_pDestWnd ? m_pDestWnd->GetSafeHwnd() : nullptr;
    if (dest)
        ::EnableWindow(dest, FALSE);
    CString text;
    text.LoadString(nMessageId);
    const int answer = AfxPromptMessageBox(self, text, nullptr, nType);
    // An exit or a logoff may have ended the note meanwhile, this object with
    // it; after the session's end the answer files or closes nothing.
    if (!self || !::IsWindow(self))
        return 0;
    if (dest && ::IsWindow(dest))
        ::EnableWindow(dest, TRUE);
    if (CQuillmateApp* app = QuiGetApp(); app && (!app->GetNoteManager() || app->HasSessionEnded()))
        return 0;
    return answer;
}

void CNoteWnd::OnNoteChanged()
{
    if (m_prompt.GetSafeHwnd() && m_prompt.IsWindowVisible())
        m_prompt.ShowWindow(SW_HIDE);
    if (!m_pNote)
        return;
    // A failed parse is told; the text stays, and the next change parses it again.
    try {
        m_pNote->ParseText(m_pNote);
    } catch (CQuillmateExcept* e) {
        e->ReportError();
        delete e;
    }
}

// The tools are the child windows; each one's tip is the string of its id,
// or of its resource for a flat button: a pane's check button has the pane's
// id, which panes of two editions share, and its own caption and tip.
BOOL CNoteWnd::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    CQuillmateApp* app = QuiGetApp();
    const auto* info = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
    if (!app || !(info->uFlags & TTF_IDISHWND))
        return FALSE;
    const HWND tool = reinterpret_cast<HWND>(info->hdr.idFrom);
    auto* button = dynamic_cast<CFlatButton*>(CWnd::FromHandlePermanent(tool));
    int id = button && button->GetResourceId() ? static_cast<int>(button->GetResourceId()) : ::GetDlgCtrlID(tool);
    return id > 0 && app->GetToolTipText(static_cast<UINT>(id), pNMHDR, pResult);
}

//--- marks

void CNoteWnd::MarkKeyphrase(int start, int end, BOOL bOn)
{
    m_noteBox.MarkKeyphrase(start, end, bOn);
}

void CNoteWnd::MarkKeyphraseWithFormat(int start, int end, const CHARFORMAT* pFormat, BOOL bOn)
{
    m_noteBox.MarkKeyphraseWithFormat(start, end, pFormat, bOn);
}
