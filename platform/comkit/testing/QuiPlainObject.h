// The plain second class of a test server: it answers IPersist, naming its own
// class, and nothing else of its own.
#pragma once
#include <windows.h>

#include "QuiComObject.h"

template <const CLSID* Clsid>
class QuiPlainObject : public QuiObjectRoot, public IPersist {
public:
    static const QuiInterfaceEntry kInterfaces[];

    STDMETHODIMP GetClassID(CLSID* clsid) override
    {
        if (!clsid)
            return E_POINTER;
        *clsid = *Clsid;
        return S_OK;
    }
};

template <const CLSID* Clsid>
const QuiInterfaceEntry QuiPlainObject<Clsid>::kInterfaces[] = {
    {&IID_IPersist, QuiCastTo<QuiPlainObject<Clsid>, IPersist>},
    {},
};
