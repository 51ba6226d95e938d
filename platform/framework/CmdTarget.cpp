#include "quifw/CmdTarget.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

namespace {

thread_local int g_nWaitDepth = 0;
thread_local HCURSOR g_hCursorBeforeWait = nullptr;

} // namespace

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    UINT message = WM_COMMAND;
    UINT code = static_cast<UINT>(nCode);
    if (HIWORD(code) == WM_NOTIFY) {
        message = WM_NOTIFY;
        code = LOWORD(code);
    }
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfnThunk; ++e) {
            if (e->nMessage != message || e->nCode != code || nID < e->nID || nID > e->nLastID)
                continue;
            if (pHandlerInfo) {
                pHandlerInfo->pTarget = this;
                pHandlerInfo->pEntry = e;
                return TRUE;
            }
            AFX_MSG msg = {message, 0, 0, nID, pExtra, 0};
            if (e->pfnThunk(this, msg))
                return TRUE;
        }
    }
    return FALSE;
}

void CCmdTarget::BeginWaitCursor()
{
    HCURSOR previous = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    if (g_nWaitDepth++ == 0)
        g_hCursorBeforeWait = previous;
}

void CCmdTarget::EndWaitCursor()
{
    if (g_nWaitDepth > 0 && --g_nWaitDepth == 0)
        ::SetCursor(g_hCursorBeforeWait ? g_hCursorBeforeWait : ::LoadCursor(nullptr, IDC_ARROW));
}

CWaitCursor::CWaitCursor()
{
    CCmdTarget::BeginWaitCursor();
}

CWaitCursor::~CWaitCursor()
{
    CCmdTarget::EndWaitCursor();
}
