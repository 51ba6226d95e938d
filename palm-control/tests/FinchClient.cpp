// A client of the registered Palm control installed in a folder of its own:
// it makes the control by ProgID and exits with the control's Connect
// answer (0 the data library is usable, 1 it is not), or 2 when the control
// cannot be made.
#include <windows.h>
#include <ole2.h>

#include "FinchDispIds.h"

int main()
{
    if (FAILED(CoInitialize(nullptr)))
        return 2;
    int answer = 2;
    CLSID clsid = GUID_NULL;
    IDispatch* finch = nullptr;
    if (SUCCEEDED(CLSIDFromProgID(L"Finch.FinchCtrl.1", &clsid)) &&
        SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(&finch)))) {
        VARIANT argument, result;
        VariantInit(&argument);
        VariantInit(&result);
        argument.vt = VT_I4;
        argument.lVal = 0;
        DISPPARAMS params = {&argument, nullptr, 1, 0};
        if (SUCCEEDED(finch->Invoke(DISPID_FINCH_CONNECT, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                    &result, nullptr, nullptr)) &&
            result.vt == VT_I4)
            answer = static_cast<int>(result.lVal);
        VariantClear(&result);
        finch->Release();
    }
    CoUninitialize();
    return answer;
}
