// Dispatch driver of the Lotus Notes client's automation object "Notes.NotesUIWorkspace".
#pragma once

#include <afxquill.h>

// Besides OpenURL the program knows the workspace's members by their
// dispatch ids alone, and names them so. Every argument is a VARIANT passed
// by reference; a failing call throws the framework's dispatch exception.
class CNotesUIWorkspace : public COleDispatchDriver {
public:
    enum {
        dispidProperty1503 = 1503,
        dispidProperty1506 = 1506,
        dispidMethod1530 = 1530,
        dispidMethod1531 = 1531,
        dispidMethod1532 = 1532,
        dispidMethod1535 = 1535,
        dispidMethod1536 = 1536,
        dispidMethod1539 = 1539,
        dispidOpenURL = 1540
    };

    // Creates the workspace's dispatch; non-zero when that failed (the driver
    // then stays empty).
    int Create();

    VARIANT GetProperty1503();
    VARIANT GetProperty1506();
    VARIANT Method1530(VARIANT* p1, VARIANT* p2, VARIANT* p3, VARIANT* p4, VARIANT* p5, VARIANT* p6, VARIANT* p7,
                       VARIANT* p8, VARIANT* p9);
    VARIANT Method1531(VARIANT* p1, VARIANT* p2, VARIANT* p3);
    VARIANT Method1532(VARIANT* p1, VARIANT* p2, VARIANT* p3, VARIANT* p4, VARIANT* p5);
    void Method1535(VARIANT* p1, VARIANT* p2, VARIANT* p3, VARIANT* p4, VARIANT* p5, VARIANT* p6);
    VARIANT Method1536();
    VARIANT Method1539(VARIANT* p1, VARIANT* p2);
    // The workspace's OpenURL with the nine arguments by reference.
    VARIANT OpenURL(VARIANT* pURL, VARIANT* pReload, VARIANT* pURLList, VARIANT* pCharSet, VARIANT* pWebUser,
                    VARIANT* pWebPassword, VARIANT* pProxyUser, VARIANT* pProxyPassword, VARIANT* pNotesRetriever);
};
