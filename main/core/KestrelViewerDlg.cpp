#include "KestrelViewerDlg.h"

#include "ActionNote.h"
#include "ClientRegistry.h"
#include "CoreWndUtil.h"
#include "Datastore.h"
#include "NoteWnd.h"
#include "OzuApp.h"
#include "QuiParserMgr.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"
#include "WebActionItem.h"
#include "WebConnector.h"

#include <cstring>
#include <vector>

namespace {

// Categories that only the preferences' viewer shows.
const char* const kHiddenCategories[] = {
    "A794C600-EEA6-11d2-A0E8-00104B9522AA",
    "A794C601-EEA6-11d2-A0E8-00104B9522AA",
    "A794C602-EEA6-11d2-A0E8-00104B9522AA",
};

const int kMaxInsertChars = 259;
const int kLightWeight = 300;

CDatastore* Datastore()
{
    CQuillmateApp* app = QuiGetApp();
    return app ? app->GetDatastore() : nullptr;
}

ClientRegistry* Settings()
{
    CQuillmateApp* app = QuiGetApp();
    return app ? app->GetSettings() : nullptr;
}

CString JoinParts(const CStringArray& parts)
{
    CString joined;
    for (INT_PTR i = 0; i < parts.GetSize(); ++i) {
        if (i > 0)
            joined += ", ";
        joined += parts[i];
    }
    return joined;
}

void AddKeywords(QuiItem& item, CStringArray& parts)
{
    item.keywordsFetchBegin();
    while (const char* keyword = item.keywordsFetchNext())
        parts.Add(keyword);
    item.keywordsFetchEnd();
}

CString FirstKeyword(QuiItem& item)
{
    item.keywordsFetchBegin();
    const char* keyword = item.keywordsFetchNext();
    CString first = keyword ? keyword : "";
    item.keywordsFetchEnd();
    return first;
}

} // namespace

//--- texts

CString QuiRecognisedWords(QuiItem& item)
{
    CStringArray parts;
    if (item.getFlags() & QUI_ITEM_NAME_PARSES)
        parts.Add(item.getDisplayName());
    if (item.getFlags() & QUI_ITEM_KEYWORDS_PARSE)
        AddKeywords(item, parts);
    return JoinParts(parts);
}

CString QuiKeywordEditText(QuiItem& item)
{
    CStringArray parts;
    if (item.getFlags() & QUI_ITEM_NAME_PARSES)
        parts.Add(item.getDisplayName());
    AddKeywords(item, parts);
    return JoinParts(parts);
}

void QuiSplitKeywordText(const CString& text, CStringArray& parts)
{
    parts.RemoveAll();
    int start = 0;
    while (start <= text.GetLength()) {
        int comma = text.Find(',', start);
        int end = comma < 0 ? text.GetLength() : comma;
        CString part = text.Mid(start, end - start);
        part.TrimLeft();
        part.TrimRight();
        // Doubled commas would give empty keywords, which nothing could match.
        if (!part.IsEmpty())
            parts.Add(part);
        if (comma < 0)
            break;
        start = comma + 1;
    }
}

void QuiRebuildKeywords(QuiItem& item, const CString& text)
{
    item.keywordsClear();
    item.modifyFlags(QUI_ITEM_KEYWORDS_PARSE | QUI_ITEM_NAME_PARSES, false);
    CStringArray parts;
    QuiSplitKeywordText(text, parts);
    const char* name = item.getDisplayName();
    for (INT_PTR i = 0; i < parts.GetSize(); ++i) {
        if (name && parts[i].CompareNoCase(name) == 0) {
            item.modifyFlags(QUI_ITEM_NAME_PARSES, true);
        } else {
            item.keywordsAdd(parts[i]);
            item.modifyFlags(QUI_ITEM_KEYWORDS_PARSE, true);
        }
    }
}

namespace {

bool WriterTakes(const char* value)
{
    QuiTaggedField field("KEYWORD", value);
    QuiXMLBufferOut out;
    return out.write(&field);
}

} // namespace

int QuiFindUnstorableChar(const CString& text)
{
    // A word the writer refuses would fail every later save of the keyword
    // file, so the writer is asked rather than a copy of its rules.
    if (WriterTakes(text))
        return -1;
    // The shortest refused beginning of the text ends at the character.
    int taken = 0, refused = text.GetLength();
    while (refused - taken > 1) {
        const int middle = (taken + refused) / 2;
        if (WriterTakes(text.Left(middle)))
            taken = middle;
        else
            refused = middle;
    }
    return taken;
}

CString QuiFillExample(const CString& pattern, const CString& value)
{
    CString filled;
    for (int i = 0; i < pattern.GetLength(); ++i) {
        char c = pattern[i];
        if (c == '%' && i + 1 < pattern.GetLength()) {
            char next = pattern[i + 1];
            if (next == 's') {
                filled += value;
                ++i;
                continue;
            }
            if (next == '%') {
                filled += '%';
                ++i;
                continue;
            }
        }
        filled += c;
    }
    return filled;
}

//--- CEditItemDlg

BEGIN_MESSAGE_MAP(CEditItemDlg, CDialog)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CEditItemDlg::CEditItemDlg(CWnd* pParent) : CDialog(IDD_EDIT_ITEM, pParent) {}

void CEditItemDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_EDIT_ITEM_NAME, m_strName);
    DDX_Text(pDX, IDC_EDIT_ITEM_KEYWORDS, m_strKeywords);
    DDX_Text(pDX, IDC_EDIT_ITEM_TYPE, m_strType);
}

BOOL CEditItemDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (CWnd* type = GetDlgItem(IDC_EDIT_ITEM_TYPE)) {
        LOGFONT lf = {};
        HFONT font = type->GetFont();
        if (font && ::GetObject(font, sizeof lf, &lf)) {
            lf.lfWeight = FW_BOLD;
            if (m_boldFont.CreateFontIndirect(&lf))
                type->SetFont(&m_boldFont);
        }
    }
    if (CWnd* edit = GetDlgItem(IDC_EDIT_ITEM_KEYWORDS)) {
        GotoDlgCtrl(edit);
        edit->SendMessage(EM_SETSEL, 0, -1);
    }
    return FALSE;
}

void CEditItemDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    CStringArray parts;
    QuiSplitKeywordText(m_strKeywords, parts);
    for (INT_PTR i = 0; i < parts.GetSize(); ++i) {
        const int at = QuiFindUnstorableChar(parts[i]);
        if (at >= 0) {
            RefuseCharacter(parts[i][at]);
            return;
        }
    }
    if (parts.GetSize() == 0 && AfxMessageBox(IDS_VIEWER_NO_WORDS, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    EndDialog(IDOK);
}

void CEditItemDlg::RefuseCharacter(char c)
{
    const unsigned char code = static_cast<unsigned char>(c);
    const bool invisible = code < 0x20 || code == 0x7F;
    CString text;
    if (invisible) {
        text.Format(IDS_VIEWER_CONTROL_CHARACTER, static_cast<int>(code));
    } else {
        const char shown[2] = {c, '\0'};
        text.Format(IDS_VIEWER_BAD_CHARACTER, shown);
    }
    MessageBox(text, nullptr, MB_OK | MB_ICONEXCLAMATION);
    if (CWnd* edit = GetDlgItem(IDC_EDIT_ITEM_KEYWORDS)) {
        GotoDlgCtrl(edit);
        const int at = m_strKeywords.Find(c);
        edit->SendMessage(EM_SETSEL, at, at + 1);
    }
}

void CEditItemDlg::OnDestroy()
{
    if (CWnd* type = GetDlgItem(IDC_EDIT_ITEM_TYPE))
        type->SendMessage(WM_SETFONT, 0, FALSE);
    CDialog::OnDestroy();
}

//--- CKestrelViewerDlg

CKestrelViewerDlg* CKestrelViewerDlg::s_pOpen = nullptr;

BEGIN_MESSAGE_MAP(CKestrelViewerDlg, CDialog)
    ON_BN_CLICKED(IDC_VIEWER_EDIT, OnEdit)
    ON_BN_CLICKED(IDC_VIEWER_REMOVE, OnRemove)
    ON_CBN_SELCHANGE(IDC_VIEWER_CATEGORY, OnCategoryChanged)
    ON_COMMAND(ID_VIEWER_HELP, OnHelp)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_VIEWER_LIST, OnListChanged)
    ON_NOTIFY(NM_DBLCLK, IDC_VIEWER_LIST, OnListDblClk)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CKestrelViewerDlg* CKestrelViewerDlg::Open(const Options& options)
{
    if (s_pOpen) {
        s_pOpen->ShowWindow(SW_RESTORE);
        s_pOpen->SetForegroundWindow();
        s_pOpen->SetActiveWindow();
        return s_pOpen;
    }
    if (!Datastore())
        return nullptr;
    auto* viewer = new CKestrelViewerDlg(options);
    s_pOpen = viewer;
    if (COzuApp* app = QuiGetOzuApp())
        app->m_pItemViewer = viewer;
    // An open viewer keeps the program running, as an automation client does.
    AfxOleLockApp();
    viewer->m_bLocked = TRUE;
    if (!viewer->Create(IDD_KESTREL_VIEWER, nullptr)) {
        if (viewer->GetSafeHwnd())
            viewer->DestroyWindow();
        else
            viewer->PostNcDestroy();
        return nullptr;
    }
    viewer->ShowWindow(SW_SHOW);
    return viewer;
}

CKestrelViewerDlg::CKestrelViewerDlg(const Options& options) : m_options(options) {}

CKestrelViewerDlg::~CKestrelViewerDlg()
{
    if (m_hIcon)
        ::DestroyIcon(m_hIcon);
}

BOOL CKestrelViewerDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowContextHelpId(IDH_KESTREL_VIEWER);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    CString text;
    text.LoadString(IDS_VIEWER_CAPTION);
    SetWindowText(text);
    text.LoadString(IDS_VIEWER_LABEL);
    SetDlgItemText(IDC_VIEWER_LABEL, text);
    m_hIcon = LoadLibraryIcon(IDI_QUILLMATE);
    if (m_hIcon) {
        SetIcon(m_hIcon, TRUE);
        SetIcon(m_hIcon, FALSE);
    }

    m_categories.SubclassDlgItem(IDC_VIEWER_CATEGORY, this);
    m_list.SubclassDlgItem(IDC_VIEWER_LIST, this);
    FillCategories();

    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    CRect client;
    m_list.GetClientRect(client);
    CString title;
    title.LoadString(IDS_VIEWER_COLUMN_NAME);
    m_list.InsertColumn(0, title, LVCFMT_LEFT, client.Width() / 2);
    title.LoadString(IDS_VIEWER_COLUMN_WORDS);
    m_list.InsertColumn(1, title, LVCFMT_LEFT, client.Width() / 2);
    EnableToolTips(TRUE);
    FillList();

    RestorePosition();
    GetDlgItem(IDC_VIEWER_EXAMPLE)->ShowWindow(SW_HIDE);
    LOGFONT lf = {};
    HFONT listFont = m_list.GetFont();
    if (listFont && ::GetObject(listFont, sizeof lf, &lf)) {
        lf.lfWeight = kLightWeight;
        if (m_lightFont.CreateFontIndirect(&lf))
            GetDlgItem(IDC_VIEWER_DETAIL)->SetFont(&m_lightFont);
    }

    if (m_options.nSelectString) {
        CString name;
        name.LoadString(m_options.nSelectString);
        int found = m_categories.FindStringExact(-1, name);
        if (found >= 0)
            m_categories.SetCurSel(found);
    }
    CategoryChanged();
    if (!m_options.bShowCategoryBox)
        m_categories.ShowWindow(SW_HIDE);
    GetDlgItem(IDC_VIEWER_EDIT)->EnableWindow(FALSE);
    return TRUE;
}

bool CKestrelViewerDlg::IsShown(QuiTypeCategory* category) const
{
    CDatastore* datastore = Datastore();
    const char* const* ids = datastore ? datastore->GetItemTypeIds() : nullptr;
    if (!ids)
        return false;
    const QuiItemID& id = category->getID();
    if (!m_options.bAllCategories) {
        for (const char* hidden : kHiddenCategories) {
            if (id == QuiItemID(hidden))
                return false;
        }
    }
    for (; *ids && **ids; ++ids) {
        if (id == QuiItemID(*ids))
            return true;
    }
    return false;
}

void CKestrelViewerDlg::FillCategories()
{
    m_categories.ResetContent();
    CString all;
    all.LoadString(IDS_VIEWER_ALL);
    m_categories.SetItemDataPtr(m_categories.AddString(all), nullptr);
    ClientRegistry* settings = Settings();
    const char* stored = settings ? static_cast<const char*>(settings->GetValue(ClientRegistry::KwTypeSelIndex, false))
                                  : nullptr;
    int selected = 0;
    CDatastore* datastore = Datastore();
    QuiTypeCategoryList* categories = datastore ? datastore->GetTypeCategoryList() : nullptr;
    if (categories) {
        categories->fetchBegin();
        while (QuiTypeCategory* category = categories->fetchNext()) {
            if (!IsShown(category))
                continue;
            // InsertString keeps the order whatever the box's style.
            int index = m_categories.InsertString(-1, category->getDisplayName());
            m_categories.SetItemDataPtr(index, category);
            if (stored && *stored && category->getID() == QuiItemID(stored))
                selected = index;
        }
        categories->fetchEnd();
    }
    m_categories.SetCurSel(selected);
}

void CKestrelViewerDlg::FillList()
{
    m_list.DeleteAllItems();
    int selected = m_categories.GetCurSel();
    if (selected <= 0) {
        for (int i = 1; i < m_categories.GetCount(); ++i)
            AddCategoryRows(static_cast<QuiTypeCategory*>(m_categories.GetItemDataPtr(i)));
    } else {
        AddCategoryRows(static_cast<QuiTypeCategory*>(m_categories.GetItemDataPtr(selected)));
    }
}

void CKestrelViewerDlg::AddCategoryRows(QuiTypeCategory* category)
{
    CDatastore* datastore = Datastore();
    if (!category || !datastore)
        return;
    // The type list has one cursor: take the types out first.
    std::vector<QuiItemType*> types;
    QuiItemTypeList* typeList = category->getTypeList();
    typeList->fetchBegin();
    while (QuiItemType* type = typeList->fetchNext())
        types.push_back(type);
    typeList->fetchEnd();
    QuiItemList* items = datastore->GetItemList();
    for (QuiItemType* type : types) {
        int cursor = items->fetchBegin(type);
        while (QuiItem* item = items->fetchNext(cursor)) {
            int row = m_list.InsertItem(m_list.GetItemCount(), item->getDisplayName());
            m_list.SetItemText(row, 1, QuiRecognisedWords(*item));
            m_list.SetItemData(row, reinterpret_cast<DWORD_PTR>(item));
        }
        items->fetchEnd(cursor);
    }
}

void CKestrelViewerDlg::Refill()
{
    if (!GetSafeHwnd())
        return;
    FillCategories();
    FillList();
    ShowDetails();
}

QuiItem* CKestrelViewerDlg::GetRowItem(int nRow)
{
    if (nRow < 0 || nRow >= m_list.GetItemCount())
        return nullptr;
    return reinterpret_cast<QuiItem*>(m_list.GetItemData(nRow));
}

int CKestrelViewerDlg::SelectedRow() const
{
    return m_list.GetNextItem(-1, LVNI_SELECTED);
}

void CKestrelViewerDlg::ShowDetails()
{
    CWnd* detail = GetDlgItem(IDC_VIEWER_DETAIL);
    CWnd* example = GetDlgItem(IDC_VIEWER_EXAMPLE);
    QuiItem* item = GetRowItem(SelectedRow());
    GetDlgItem(IDC_VIEWER_EDIT)->EnableWindow(item != nullptr);
    CString detailText;
    CString exampleText;
    if (auto* action = dynamic_cast<CWebActionItem*>(item);
        action && item->getType() && item->getType()->getID() == QuiItemID(WEB_ACTION_TYPE_ID)) {
        if (CWebConnectorSubtype* subtype = action->GetSubtype()) {
            detailText = subtype->m_strDescription;
            CString keyword = FirstKeyword(*item);
            if (!keyword.IsEmpty())
                exampleText = "\"" + QuiFillExample(subtype->m_strExampleStr, keyword) + "\"";
        }
    } else if (item && item->getType()) {
        const char* pattern = item->getType()->getExample();
        detailText = QuiFillExample(pattern ? pattern : "", item->getDisplayName());
    }
    detail->SetWindowText(detailText);
    detail->ShowWindow(detailText.IsEmpty() ? SW_HIDE : SW_SHOW);
    example->SetWindowText(exampleText);
    example->ShowWindow(exampleText.IsEmpty() ? SW_HIDE : SW_SHOW);
}

void CKestrelViewerDlg::CategoryChanged()
{
    FillList();
    ShowDetails();
    SaveSelectedCategory();
    SaveKeywords();
}

void CKestrelViewerDlg::SaveSelectedCategory()
{
    ClientRegistry* settings = Settings();
    if (!settings)
        return;
    auto* category = static_cast<QuiTypeCategory*>(m_categories.GetItemDataPtr(m_categories.GetCurSel()));
    CString id = category && m_categories.GetCurSel() > 0 ? category->getID().toString() : "";
    settings->SetValue(ClientRegistry::KwTypeSelIndex, id.GetString());
}

void CKestrelViewerDlg::SaveKeywords()
{
    CDatastore* datastore = Datastore();
    if (datastore && !datastore->SaveKeywordFile())
        AfxMessageBox(IDS_VIEWER_SAVE_FAILED, MB_OK | MB_ICONEXCLAMATION);
}

void CKestrelViewerDlg::RestorePosition()
{
    ClientRegistry* settings = Settings();
    const void* value = settings ? settings->GetValue(ClientRegistry::KwdPosition, false) : nullptr;
    if (!value)
        return;
    RECT stored;
    std::memcpy(&stored, value, sizeof stored);
    // A screen that was there when the position was stored may be gone.
    POINT corner = {stored.left, stored.top};
    if (!::MonitorFromPoint(corner, MONITOR_DEFAULTTONULL)) {
        CenterWindow();
        return;
    }
    SetWindowPos(nullptr, stored.left, stored.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CKestrelViewerDlg::OnListChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* change = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    if (change->uChanged & LVIF_STATE)
        ShowDetails();
    *pResult = 0;
}

void CKestrelViewerDlg::OnListDblClk(NMHDR*, LRESULT* pResult)
{
    InsertSelected();
    *pResult = 0;
}

void CKestrelViewerDlg::OnCategoryChanged()
{
    CategoryChanged();
}

void CKestrelViewerDlg::OnEdit()
{
    EditSelected();
}

void CKestrelViewerDlg::OnRemove()
{
    RemoveSelected();
}

void CKestrelViewerDlg::EditSelected()
{
    QuiItem* item = GetRowItem(SelectedRow());
    if (!item || m_bEditing)
        return;
    m_bEditing = TRUE;
    EnableWindow(FALSE);
    CEditItemDlg dialog(this);
    dialog.m_strName = item->getDisplayName();
    dialog.m_strType = item->getType() ? item->getType()->getDisplayName() : "";
    dialog.m_strKeywords = QuiKeywordEditText(*item);
    if (dialog.DoModal() == IDOK) {
        QuiRebuildKeywords(*item, dialog.m_strKeywords);
        item->setDirty(true);
        SaveKeywords();
        CQuillmateApp* app = QuiGetApp();
        // The open notes' parse sees the new words at once; a reload would be
        // refused while notes are open.
        if (QuiParserMgr* manager = app ? app->GetParserMgr() : nullptr)
            manager->ReloadItem(item);
        COzuApp* ozu = QuiGetOzuApp();
        if (ozu && ozu->GetNoteCount() == 0)
            ozu->ReloadDatastore(0, FALSE);
        Refill();
    }
    EnableWindow(TRUE);
    SetFocus();
    m_bEditing = FALSE;
}

void CKestrelViewerDlg::RemoveSelected()
{
    QuiItem* item = GetRowItem(SelectedRow());
    CDatastore* datastore = Datastore();
    if (!item || !datastore)
        return;
    if (AfxMessageBox(IDS_VIEWER_REMOVE_PROMPT, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    CQuillmateApp* app = QuiGetApp();
    if (QuiParserMgr* manager = app ? app->GetParserMgr() : nullptr)
        manager->UnloadItem(item);
    datastore->RemoveItem(item);
    FillList();
    ShowDetails();
}

void CKestrelViewerDlg::InsertSelected()
{
    int row = SelectedRow();
    if (row < 0)
        return;
    CString text = m_list.GetItemText(row, 1);
    if (text.IsEmpty())
        text = m_list.GetItemText(row, 0);
    text = text.Left(kMaxInsertChars);
    int comma = text.Find(',');
    if (comma >= 0)
        text = text.Left(comma);
    text += " ";
    CQuillmateApp* app = QuiGetApp();
    CActionNote* note = app ? app->GetCurrentNote() : nullptr;
    if (note && note->GetNoteWnd() && note->GetNoteWnd()->GetSafeHwnd()) {
        note->AppendNoteText(text);
        DestroyWindow();
        return;
    }
    EditSelected();
}

void CKestrelViewerDlg::OnHelp()
{
    if (CWinApp* app = AfxGetApp())
        app->WinHelp(IDH_KESTREL_VIEWER, HELP_CONTEXT);
}

void CKestrelViewerDlg::OnOK()
{
    SaveSelectedCategory();
    if (ClientRegistry* settings = Settings()) {
        CRect rect;
        GetWindowRect(rect);
        RECT stored = rect;
        settings->SetValue(ClientRegistry::KwdPosition, &stored);
    }
    SaveKeywords();
    DestroyWindow();
}

void CKestrelViewerDlg::OnCancel()
{
    DestroyWindow();
}

void CKestrelViewerDlg::OnClose()
{
    DestroyWindow();
}

void CKestrelViewerDlg::OnDestroy()
{
    CQuillmateApp* app = QuiGetApp();
    CActionNote* note = app ? app->GetCurrentNote() : nullptr;
    if (note && note->GetNoteWnd() && note->GetNoteWnd()->GetSafeHwnd())
        note->GetNoteWnd()->SetFocus();
    if (m_lightFont.GetSafeHandle())
        GetDlgItem(IDC_VIEWER_DETAIL)->SendMessage(WM_SETFONT, 0, FALSE);
    CDialog::OnDestroy();
}

void CKestrelViewerDlg::PostNcDestroy()
{
    if (m_bLocked)
        AfxOleUnlockApp();
    if (s_pOpen == this)
        s_pOpen = nullptr;
    COzuApp* app = QuiGetOzuApp();
    if (app && app->m_pItemViewer == this)
        app->m_pItemViewer = nullptr;
    delete this;
}

void CKestrelViewerDlg::OnPaint()
{
    if (!IsIconic() || !m_hIcon) {
        CDialog::OnPaint();
        return;
    }
    PaintIconCentred(*this, m_hIcon);
}

HCURSOR CKestrelViewerDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

void QuiOpenKestrelViewer(BOOL bFromPreferences)
{
    CKestrelViewerDlg::Options options;
    if (bFromPreferences) {
        options.bAllCategories = TRUE;
        options.nSelectString = IDS_VIEWER_PREFS_CATEGORY;
    }
    CKestrelViewerDlg::Open(options);
}
