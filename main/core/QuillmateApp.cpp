#include "QuillmateApp.h"

#include "Datastore.h"
#include "GdiUtil.h"

IMPLEMENT_DYNAMIC(CQuillmateApp, CWinApp)

CQuillmateApp::CQuillmateApp() = default;
CQuillmateApp::~CQuillmateApp() = default;

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

CQuillmateApp* QuiGetApp()
{
    CWinApp* app = AfxGetApp();
    return app && app->IsKindOf(RUNTIME_CLASS(CQuillmateApp)) ? static_cast<CQuillmateApp*>(app) : nullptr;
}
