#include "SpeechCall.h"

#include <sstream>
#include <vector>

#include "QuiSpeechIds.h"

namespace {

std::string Variable(const char* name)
{
    char buffer[4096];
    DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

std::string Narrow(const wchar_t* text, int length)
{
    int n = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, text, length, &out[0], n, nullptr, nullptr);
    return out;
}

std::string ArgumentText(const VARIANT& arg)
{
    if (arg.vt & VT_BYREF)
        return "ref";
    if (arg.vt == VT_DISPATCH || arg.vt == VT_UNKNOWN)
        return arg.punkVal ? "object" : "null";
    VARIANT text;
    VariantInit(&text);
    if (FAILED(VariantChangeType(&text, const_cast<VARIANT*>(&arg), 0, VT_BSTR)))
        return "?";
    std::string out = Narrow(text.bstrVal, static_cast<int>(SysStringLen(text.bstrVal)));
    VariantClear(&text);
    return out;
}

}  // namespace

namespace SpeechCall {

std::string Name(const char* object, DISPID member, WORD flags)
{
    const char* kind = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) ? "put"
                       : (flags & DISPATCH_METHOD)                              ? "method"
                                                                                : "get";
    std::ostringstream out;
    out << object << ' ' << kind << ' ' << member;
    return out.str();
}

bool ToFail(const std::string& call)
{
    std::string list = Variable(QUI_SPEECH_FAIL_VARIABLE);
    std::istringstream entries(list);
    std::string entry;
    while (std::getline(entries, entry, ';'))
        if (entry == call)
            return true;
    return false;
}

void Log(const std::string& line)
{
    std::string path = Variable(QUI_SPEECH_LOG_VARIABLE);
    if (path.empty())
        return;
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::string Arguments(const DISPPARAMS* params)
{
    std::string out;
    for (UINT i = params ? params->cArgs : 0; i > 0; --i)
        out += " " + ArgumentText(params->rgvarg[i - 1]);
    return out;
}

HRESULT Fail(const std::string& call, EXCEPINFO* excepInfo)
{
    if (!excepInfo)
        return E_FAIL;
    *excepInfo = EXCEPINFO();
    std::wstring description(call.begin(), call.end());
    description += L" failed";
    excepInfo->bstrSource = SysAllocString(L"QuiSpeech");
    excepInfo->bstrDescription = SysAllocString(description.c_str());
    excepInfo->scode = E_FAIL;
    return DISP_E_EXCEPTION;
}

}  // namespace SpeechCall
