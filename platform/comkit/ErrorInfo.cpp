#include "QuiErrorInfo.h"

#include <string>

#include "QuiComModule.h"

HRESULT QuiSetErrorInfo(HRESULT hr, REFCLSID clsid, REFIID guid, const wchar_t* description, DWORD helpContext,
                        const wchar_t* helpFile)
{
    ICreateErrorInfo* create = nullptr;
    if (FAILED(CreateErrorInfo(&create)))
        return hr;
    LPOLESTR progId = nullptr;
    if (SUCCEEDED(ProgIDFromCLSID(clsid, &progId))) {
        create->SetSource(progId);
        CoTaskMemFree(progId);
    }
    create->SetGUID(guid);
    create->SetDescription(const_cast<LPOLESTR>(description ? description : L""));
    create->SetHelpContext(helpContext);
    create->SetHelpFile(const_cast<LPOLESTR>(helpFile ? helpFile : L""));
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
        SetErrorInfo(0, info);
        info->Release();
    }
    create->Release();
    return hr;
}

HRESULT QuiSetErrorInfo(HRESULT hr, REFCLSID clsid, REFIID guid, const char* description, DWORD helpContext)
{
    const char* text = description ? description : "";
    int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(size > 0 ? size : 1, L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], size);
    return QuiSetErrorInfo(hr, clsid, guid, wide.c_str(), helpContext);
}

HRESULT QuiSetErrorInfo(HRESULT hr, REFCLSID clsid, REFIID guid, UINT stringId, DWORD helpContext)
{
    const wchar_t* text = nullptr;
    // Length 0 asks for a pointer into the resource itself, which is not
    // terminated; copy exactly that many characters.
    int length = LoadStringW(QuiModule().Instance(), stringId, reinterpret_cast<LPWSTR>(&text), 0);
    std::wstring description(text && length > 0 ? text : L"", text && length > 0 ? length : 0);
    return QuiSetErrorInfo(hr, clsid, guid, description.c_str(), helpContext);
}
