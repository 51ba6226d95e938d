// The root of everything that takes commands through a message map.
#pragma once

#include "MsgMap.h"
#include "Object.h"

#define afx_msg

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Offers a command (nCode CN_COMMAND or a control notification) or a
    // notification (nCode AFX_NOTIFY_CODE(code), pExtra an AFX_NOTIFY) to the
    // message map, most derived class first. With pHandlerInfo it only says
    // whether a row would take it, filling pHandlerInfo, and calls nothing.
    // Override to pass what this object does not handle on to another target.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // The hourglass until the matching EndWaitCursor; calls nest.
    static void BeginWaitCursor();
    static void EndWaitCursor();

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

// BeginWaitCursor and EndWaitCursor for the lifetime of the object.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
