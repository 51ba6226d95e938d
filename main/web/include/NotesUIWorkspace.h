// Dispatch driver of the Lotus Notes client's automation object "Notes.NotesUIWorkspace".
#pragma once

#include <afxquill.h>

class CNotesUIWorkspace : public COleDispatchDriver {
public:
    enum { dispidOpenURL = 1540 };

    // Creates the workspace's dispatch; non-zero when that failed (the driver
    // then stays empty).
    int Create();
    // The workspace's OpenURL with the nine arguments by reference; throws
    // the framework's dispatch exceptions when the call fails.
    VARIANT OpenURL(VARIANT* pURL, VARIANT* pReload, VARIANT* pURLList, VARIANT* pCharSet, VARIANT* pWebUser,
                    VARIANT* pWebPassword, VARIANT* pProxyUser, VARIANT* pProxyPassword, VARIANT* pNotesRetriever);
};
