#include "QuiComObject.h"

static void* FindInterface(void* object, const QuiInterfaceEntry* table, REFIID riid)
{
    for (const QuiInterfaceEntry* row = table; row->cast; ++row) {
        if (row->chain) {
            if (void* found = FindInterface(row->cast(object), row->chain, riid))
                return found;
        } else if (IsEqualIID(riid, *row->iid)) {
            return row->cast(object);
        }
    }
    return nullptr;
}

HRESULT QuiQueryInterface(void* object, const QuiInterfaceEntry* table, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    void* found = IsEqualIID(riid, IID_IUnknown) ? table[0].cast(object) : FindInterface(object, table, riid);
    *ppv = found;
    if (!found)
        return E_NOINTERFACE;
    static_cast<IUnknown*>(found)->AddRef();
    return S_OK;
}
