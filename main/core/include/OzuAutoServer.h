// COzuAutoServer: the program's automation object. It has no state; each
// call opens a note in the running program.
#pragma once
#include <windows.h>

#include "AutomationText.h"

#include "OzuAuto.h"
#include "QuiComObject.h"
#include "QuiDispatch.h"
#include "QuiErrorInfo.h"

class COzuAutoServer : public QuiObjectRoot,
                       public QuiDispatchImpl<IOzuAutoServer, &IID_IOzuAutoServer>,
                       public QuiSupportErrorInfoImpl<&IID_IOzuAutoServer> {
public:
    static const QuiInterfaceEntry kInterfaces[];

    // S_OK: the text is opened in a new note, or queued while five notes
    // are open or the program is not ready (starting or reloading), and
    // opened in a note of its own once a note closes or the program is ready.
    // A text longer than a note takes fails with E_INVALIDARG, one past the
    // full queue with HRESULT_FROM_WIN32(ERROR_BUSY), each with error
    // information; the user hears of the first refusal.
    STDMETHODIMP NewNote(BSTR text) override;
};

// The server module's class table and type library.
const QuiServerInfo& QuiOzuServerInfo();
