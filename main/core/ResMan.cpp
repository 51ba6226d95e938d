#include "ResMan.h"

namespace {
const LANGID kFallbackLanguage = 1033;
const UINT kIdsNoResourceDll = 1;
}

CResMan::CResMan()
{
    Load("QuiRes", ::GetUserDefaultLangID());
}

CResMan::CResMan(LPCTSTR lpszBaseName, LANGID wLanguage)
{
    Load(lpszBaseName, wLanguage);
}

CResMan::~CResMan()
{
    if (!m_hResDll)
        return;
    // Nothing may go on loading resources from a library that is gone.
    if (AfxGetResourceHandle() == m_hResDll)
        AfxSetResourceHandle(nullptr);
    AfxFreeLibrary(m_hResDll);
}

CString CResMan::LibraryName(LPCTSTR lpszBaseName, LANGID wLanguage)
{
    CString name;
    name.Format("%s%.4d.dll", lpszBaseName, static_cast<int>(wLanguage));
    return name;
}

void CResMan::Load(LPCTSTR lpszBaseName, LANGID wLanguage)
{
    m_hResDll = AfxLoadLibrary(LibraryName(lpszBaseName, wLanguage));
    if (!m_hResDll)
        m_hResDll = AfxLoadLibrary(LibraryName(lpszBaseName, kFallbackLanguage));
    if (m_hResDll) {
        AfxSetResourceHandle(m_hResDll);
        return;
    }
    // The one text the program carries itself: there is no library to ask.
    char text[MAX_PATH] = "";
    ::LoadString(AfxGetInstanceHandle(), kIdsNoResourceDll, text, sizeof(text));
    AfxPromptMessageBox(::GetForegroundWindow(), text, "Quillmate", MB_OK);
}
