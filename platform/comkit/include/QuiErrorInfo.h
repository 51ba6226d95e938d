// Error information for late-bound callers: ISupportErrorInfo, and setting
// the thread's error object with a server's own text.
#pragma once
#include <windows.h>
#include <oaidl.h>

// Sets the thread's error information and returns `hr`, so that a member can
// end with `return QuiSetErrorInfo(...)`. The source is the ProgID
// registered for `clsid` (empty while the class is not registered); `guid`
// is the interface that failed.
HRESULT QuiSetErrorInfo(HRESULT hr, REFCLSID clsid, REFIID guid, const wchar_t* description,
                        DWORD helpContext = 0, const wchar_t* helpFile = nullptr);
// The same with an ANSI text.
HRESULT QuiSetErrorInfo(HRESULT hr, REFCLSID clsid, REFIID guid, const char* description,
                        DWORD helpContext = 0);
// The same with string `stringId` of the module's string table.
HRESULT QuiSetErrorInfo(HRESULT hr, REFCLSID clsid, REFIID guid, UINT stringId, DWORD helpContext = 0);

// Answers S_OK for the one interface whose failures carry error information.
template <const IID* ErrorIid>
class QuiSupportErrorInfoImpl : public ISupportErrorInfo {
public:
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID riid) override
    {
        return IsEqualIID(riid, *ErrorIid) ? S_OK : S_FALSE;
    }
};
