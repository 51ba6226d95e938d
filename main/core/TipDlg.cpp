#include "TipDlg.h"

#include <cstring>

#include "FrameworkUtil.h"

namespace {
const int kIdcFrame = 1002;
const int kIdcStartup = 1007;
const int kIdcNextTip = 1009;
const int kIdcTipText = 1013;
const UINT kIdbBulb = 107;
const UINT kIdsHeading = 118;
const UINT kIdsNoTips = 119;
const UINT kIdsTipFileError = 122;

DWORD SettingDword(ClientRegistry& settings, int index)
{
    DWORD value = 0;
    std::memcpy(&value, settings.GetValue(index, false), sizeof(value));
    return value;
}

void SetSettingDword(ClientRegistry& settings, int index, DWORD value)
{
    settings.SetValue(index, &value);
}
} // namespace

BEGIN_MESSAGE_MAP(CTipDlg, CDialog)
    ON_BN_CLICKED(kIdcNextTip, OnNextTip)
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CTipDlg::CTipDlg(ClientRegistry& settings, CWnd* pParent) : CTipDlg(settings, nullptr, pParent)
{
}

CTipDlg::CTipDlg(ClientRegistry& settings, LPCTSTR lpszTipFile, CWnd* pParent)
    : CDialog(IDD, pParent), m_settings(settings)
{
    m_bStartup = SettingDword(m_settings, ClientRegistry::TipStartup) != 0;
    OpenTips(lpszTipFile ? CString(lpszTipFile) : GetModulePath("tips.txt"));
}

CTipDlg::~CTipDlg()
{
    if (!m_file.IsOpen())
        return;
    SetSettingDword(m_settings, ClientRegistry::TipFilePos, static_cast<DWORD>(m_file.GetPosition()));
    m_file.Close();
}

void CTipDlg::OpenTips(LPCTSTR lpszTipFile)
{
    if (!m_file.Open(lpszTipFile)) {
        m_strTip.LoadString(kIdsNoTips);
        return;
    }
    // An edited file starts again from its first tip.
    DWORD modified = m_file.GetModifiedTime();
    DWORD offset = 0;
    if (modified != SettingDword(m_settings, ClientRegistry::TipTimestamp))
        SetSettingDword(m_settings, ClientRegistry::TipTimestamp, modified);
    else
        offset = SettingDword(m_settings, ClientRegistry::TipFilePos);
    if (!m_file.Seek(static_cast<long>(offset))) {
        AfxMessageBox(kIdsTipFileError);
        m_file.Seek(0);
    }
    ReadNextTip();
}

void CTipDlg::ReadNextTip()
{
    switch (m_file.NextTip(m_strTip)) {
    case CTipFile::TipFound:
        break;
    case CTipFile::NoTip:
        m_strTip.LoadString(kIdsNoTips);
        break;
    case CTipFile::SeekFailed:
        AfxMessageBox(kIdsTipFileError);
        break;
    }
}

void CTipDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, kIdcStartup, m_bStartup);
    if (!pDX->m_bSaveAndValidate)
        DDX_Text(pDX, kIdcTipText, m_strTip);
}

BOOL CTipDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The frame only lends its place: the dialog paints the heading there.
    if (CWnd* pFrame = GetDlgItem(kIdcFrame))
        pFrame->ShowWindow(SW_HIDE);
    if (!m_file.IsOpen()) {
        if (CWnd* pNext = GetDlgItem(kIdcNextTip))
            pNext->EnableWindow(FALSE);
    }
    if (m_toolTip.Create(this))
        m_toolTip.Activate(TRUE);
    return TRUE;
}

BOOL CTipDlg::PreTranslateMessage(MSG* pMsg)
{
    if (m_toolTip.GetSafeHwnd())
        m_toolTip.RelayEvent(pMsg);
    return CDialog::PreTranslateMessage(pMsg);
}

void CTipDlg::OnNextTip()
{
    ReadNextTip();
    SetDlgItemText(kIdcTipText, m_strTip);
}

void CTipDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    SetSettingDword(m_settings, ClientRegistry::TipStartup, m_bStartup ? 1 : 0);
    EndDialog(IDOK);
}

HBRUSH CTipDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (pWnd && pWnd->GetDlgCtrlID() == kIdcTipText) {
        pDC->SetBkColor(RGB(255, 255, 255));
        return static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    }
    return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CTipDlg::OnPaint()
{
    CPaintDC dc(this);
    CWnd* pFrame = GetDlgItem(kIdcFrame);
    if (!pFrame)
        return;
    CRect frame;
    pFrame->GetWindowRect(&frame);
    ScreenToClient(&frame);
    dc.FillSolidRect(&frame, RGB(255, 255, 255));

    CBitmap bulb;
    BITMAP info = {};
    if (bulb.LoadBitmap(kIdbBulb) && bulb.GetBitmap(&info)) {
        CDC memory;
        if (memory.CreateCompatibleDC(&dc)) {
            HGDIOBJ hOld = memory.SelectObject(&bulb);
            dc.BitBlt(frame.left, frame.top, info.bmWidth, info.bmHeight, &memory, 0, 0, SRCCOPY);
            memory.SelectObject(hOld);
        }
    }
    CString heading;
    heading.LoadString(kIdsHeading);
    CRect line(frame.left + info.bmWidth, frame.top, frame.right, frame.top + info.bmHeight);
    HGDIOBJ hOldFont = dc.SelectObject(reinterpret_cast<HGDIOBJ>(GetFont()));
    int nOldMode = dc.SetBkMode(TRANSPARENT);
    dc.DrawText(heading, &line, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    dc.SetBkMode(nOldMode);
    dc.SelectObject(hOldFont);
}
