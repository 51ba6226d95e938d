#include "NewContactSheet.h"

#include "PalmDataIds.h"

namespace {

const char kUnfiled[] = "Unfiled";
const int kGrowSides = 50;      // pixels added left and right for the added column
const int kShrinkEnds = 10;     // pixels taken off at top and bottom
const int kColumnInset = 100;   // the column's left edge from the window's right edge
const int kColumnWidth = 90;
const int kButtonGap = 10;

} // namespace

BEGIN_MESSAGE_MAP(NewContactSheet, CPropertySheet)
    ON_WM_ACTIVATE()
    ON_WM_HELPINFO()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

NewContactSheet::NewContactSheet(CWnd* owner, const CStringArray& categories, const CStringArray& phoneLabels,
                                 const CStringArray& customLabels)
    : CPropertySheet(IDS_NEW_CONTACT, owner), m_namePage(phoneLabels), m_categories(categories)
{
    m_psh.dwFlags |= PSH_NOAPPLYNOW | PSH_HASHELP;
    m_addressPage.SetCustomLabels(customLabels);
    AddPage(&m_namePage);
    AddPage(&m_addressPage);
    AddPage(&m_notePage);
}

int NewContactSheet::Run(CONTACTITEM& contact)
{
    if (DoModal() != IDOK)
        return 0;
    contact.isPrivate = m_private;
    contact.SetCategory(m_category);
    m_namePage.WriteTo(contact);
    m_addressPage.WriteTo(contact);
    m_notePage.WriteTo(contact);
    return 1;
}

BOOL NewContactSheet::OnInitDialog()
{
    const BOOL result = CPropertySheet::OnInitDialog();
    SetWindowContextHelpId(HELP_NEW_CONTACT);
    m_font.CreatePointFont(80, "MS Sans Serif");
    CenterWindow(GetDesktopWindow());
    CRect frame;
    GetWindowRect(&frame);
    frame.left -= kGrowSides;
    frame.right += kGrowSides;
    frame.top += kShrinkEnds;
    frame.bottom -= kShrinkEnds;
    MoveWindow(&frame);
    const int x = (frame.right - frame.left) - kColumnInset;
    AddOwnControls(x);
    StackButtons(x);
    return result;
}

void NewContactSheet::AddOwnControls(int x)
{
    m_privateBox.Create("&Private", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX,
                        CRect(x, 312, x + kColumnWidth, 327), this, IDC_CONTACT_PRIVATE);
    m_privateBox.SetFont(&m_font);
    m_categoryBox.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | CBS_DROPDOWN | CBS_SORT |
                             CBS_AUTOHSCROLL,
                         CRect(x, 285, x + kColumnWidth, 360), this, IDC_CONTACT_CATEGORY);
    m_categoryBox.SetFont(&m_font);
    for (int i = 0; i < m_categories.GetSize(); ++i)
        m_categoryBox.AddString(m_categories[i]);
    const int unfiled = m_categoryBox.FindStringExact(-1, kUnfiled);
    m_categoryBox.SetCurSel(unfiled == CB_ERR ? 0 : unfiled);
}

void NewContactSheet::StackButtons(int x)
{
    // The buttons leave the bottom row for the column beside the pages,
    // starting level with the tabs.
    CRect tabs;
    ::GetWindowRect(PropSheet_GetTabControl(m_hWnd), &tabs);
    ScreenToClient(&tabs);
    int y = tabs.top;
    for (int id : {IDOK, IDCANCEL, IDHELP}) {
        HWND button = ::GetDlgItem(m_hWnd, id);
        if (!button)
            continue;
        CRect place;
        ::GetWindowRect(button, &place);
        ScreenToClient(&place);
        ::MoveWindow(button, x, y, place.right - place.left, place.bottom - place.top, TRUE);
        y += (place.bottom - place.top) + kButtonGap;
    }
    SendMessage(DM_SETDEFID, IDOK);
}

void NewContactSheet::OnActivate(UINT state, CWnd* other, BOOL minimized)
{
    CPropertySheet::OnActivate(state, other, minimized);
    if (state != WA_INACTIVE)
        ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL NewContactSheet::OnHelpInfo(HELPINFO*)
{
    ShowContactHelp(m_hWnd);
    return TRUE;
}

void NewContactSheet::OnDestroy()
{
    // The added controls go with the sheet, before the caller reads them.
    m_private = m_privateBox.GetCheck() == BST_CHECKED ? 1 : 0;
    m_categoryBox.GetWindowText(m_category);
    CPropertySheet::OnDestroy();
}
