// Dispatch driver of the Lotus Notes client's automation object "Notes.NotesUIWorkspace".
#pragma once

#include <afxquill.h>

// The workspace's members are called by name: the client's type
// information, not a number fixed here, says which dispatch id each has.
// Every argument is a VARIANT passed by reference; a failing call throws
// the framework's dispatch exception.
class CNotesUIWorkspace : public COleDispatchDriver {
public:
    // Creates the workspace's dispatch; non-zero when that failed (the driver
    // then stays empty).
    int Create();

    // The workspace's URLOpen with its nine arguments by reference.
    VARIANT OpenURL(VARIANT* pURL, VARIANT* pReload, VARIANT* pURLList, VARIANT* pCharSet, VARIANT* pWebUser,
                    VARIANT* pWebPassword, VARIANT* pProxyUser, VARIANT* pProxyPassword, VARIANT* pNotesRetriever);

private:
    // The dispatch id of the member of that name; throws when the object
    // has none.
    DISPID MemberId(const wchar_t* name);
};
