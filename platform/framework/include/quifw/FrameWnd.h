// A top-level window made from one resource number: title string, icon and
// accelerator table share it.
#pragma once

#include "Wnd.h"

class CFrameWnd : public CWnd {
    DECLARE_DYNAMIC(CFrameWnd)
public:
    CFrameWnd() = default;

    // The title is string nIDResource up to its first line feed; the icon
    // and the accelerators of that number are used when present.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW,
                           CWnd* pParentWnd = nullptr);
    BOOL PreTranslateMessage(MSG* pMsg) override;          // the frame's accelerators
    // Commands the frame does not handle go on to the application object.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

protected:
    HACCEL m_hAccelTable = nullptr;
};
