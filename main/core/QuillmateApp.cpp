#include "QuillmateApp.h"

#include "Datastore.h"
#include "FlatButton.h"
#include "GdiUtil.h"
#include "TextUtil.h"

IMPLEMENT_DYNAMIC(CQuillmateApp, CWinApp)

CQuillmateApp::CQuillmateApp() = default;
CQuillmateApp::~CQuillmateApp() { DeleteNoteManager(); }

COzuPrefs* CQuillmateApp::GetPrefs() { return nullptr; }
CDatastore* CQuillmateApp::GetDatastore() { return nullptr; }
QuiParserMgr* CQuillmateApp::GetParserMgr() { return nullptr; }

BOOL CQuillmateApp::IsFeature(int n)
{
    if (n == 5)
        return FALSE;
    CDatastore* datastore = GetDatastore();
    return datastore && datastore->HasFeature(n);
}

CFont* CQuillmateApp::font(CFont& font, int nTenths, LPCTSTR lpszFace)
{
    if (!font.GetSafeHandle())
        font.CreatePointFont(nTenths, lpszFace);
    return &font;
}

CFont* CQuillmateApp::GetSmallFont() { return font(m_smallFont, 80, "Arial"); }
CFont* CQuillmateApp::GetBoldFont() { return font(m_boldFont, 83, "Arial Bold"); }
CFont* CQuillmateApp::GetNarrowFont() { return font(m_narrowFont, 83, "Arial Narrow"); }

CPalette* CQuillmateApp::GetPalette()
{
    if (!m_palette.GetSafeHandle())
        m_palette.Attach(CreateAppPalette());
    return &m_palette;
}

void CQuillmateApp::EndModalBox()
{
    if (m_nModalBoxes > 0)
        --m_nModalBoxes;
}

BOOL CQuillmateApp::GetToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult)
{
    NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
    if (!info || !(info->uFlags & TTF_IDISHWND))
        return FALSE;
    CString text;
    text.LoadString(nID);
    CFlatButton* button = dynamic_cast<CFlatButton*>(CWnd::FromHandlePermanent(reinterpret_cast<HWND>(info->hdr.idFrom)));
    if (!SelectToolTipText(text, button != nullptr, button && button->GetCheck(), info->szText, sizeof info->szText))
        return FALSE;
    info->lpszText = info->szText;
    info->hinst = nullptr;
    if (pResult)
        *pResult = 0;
    return TRUE;
}

CQuillmateApp* QuiGetApp()
{
    CWinApp* app = AfxGetApp();
    return app && app->IsKindOf(RUNTIME_CLASS(CQuillmateApp)) ? static_cast<CQuillmateApp*>(app) : nullptr;
}
