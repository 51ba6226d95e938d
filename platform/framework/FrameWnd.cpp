#include "quifw/FrameWnd.h"

#include "State.h"
#include "quifw/WinApp.h"

IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd)
{
    HINSTANCE hResource = AfxGetResourceHandle();
    HICON hIcon = ::LoadIcon(hResource, MAKEINTRESOURCE(nIDResource));
    CString className;
    className.Format("QuiFrameworkFrame%u", nIDResource);
    WNDCLASS wc = {};
    if (!::GetClassInfo(AfxGetInstanceHandle(), className, &wc)) {
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = AfxWndProc;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hIcon = hIcon;
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = className;
        if (!::RegisterClass(&wc))
            return FALSE;
    }
    CString title;
    title.LoadString(nIDResource);
    int lineFeed = title.Find('\n');
    if (lineFeed >= 0)
        title = title.Left(lineFeed);
    if (!CreateEx(0, className, title, dwDefaultStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, pParentWnd ? pParentWnd->m_hWnd : nullptr, nullptr))
        return FALSE;
    if (!m_hAccelTable)
        m_hAccelTable = ::LoadAccelerators(hResource, MAKEINTRESOURCE(nIDResource));
    return TRUE;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    return m_hAccelTable && pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST &&
           ::TranslateAccelerator(m_hWnd, m_hAccelTable, pMsg);
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}
