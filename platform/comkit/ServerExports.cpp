// The four entry points of an in-process server; its .def file exports them.
#include "QuiComModule.h"

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv)
{
    return QuiModule().GetClassObject(clsid, riid, ppv);
}

STDAPI DllCanUnloadNow()
{
    return QuiModule().CanUnloadNow();
}

STDAPI DllRegisterServer()
{
    return QuiModule().RegisterServer();
}

STDAPI DllUnregisterServer()
{
    return QuiModule().UnregisterServer();
}
