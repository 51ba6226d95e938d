// Wren.exe: converts the keyword file of the Palm Desktop ("IBE") or Outlook
// ("RUK") edition into the user's keyword file beside the main program.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "KeywordConvert.h"
#include "KeywordFile.h"
#include "WrenExports.h"

namespace {

const char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
const char kClientKey[] = "software\\quillmate\\client";

// A value of at most MAX_PATH bytes; false when missing or empty.
bool ReadValue(HKEY root, const std::string& key, const char* name, std::string& out, DWORD* type = nullptr)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    char value[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;
    DWORD kind = 0;
    LONG rc = RegQueryValueExA(handle, name, nullptr, &kind, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(handle);
    if (rc != ERROR_SUCCESS || size == 0)
        return false;
    if (type)
        *type = kind;
    out.assign(value, size);
    if (kind == REG_SZ || kind == REG_EXPAND_SZ)
        out.resize(strnlen(value, size));
    return true;
}

bool ProgramPath(const char* program, std::string& out)
{
    return ReadValue(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "\\" + program, nullptr, out) && !out.empty();
}

// The current Palm user's folder, as the Palm control reports it.
bool PalmUserFolder(std::string& folder)
{
    CLSID clsid;
    IDispatch* finch = nullptr;
    if (FAILED(CLSIDFromProgID(L"finch.finchctrl.1", &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                                IID_IDispatch, reinterpret_cast<void**>(&finch))))
        return false;
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR name = const_cast<LPOLESTR>(L"UserDirectory");
    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    if (SUCCEEDED(finch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id)) && id >= 1 &&
        SUCCEEDED(finch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                                nullptr)) &&
        result.vt == VT_BSTR && result.bstrVal) {
        char text[MAX_PATH] = {};
        if (WideCharToMultiByte(CP_ACP, 0, result.bstrVal, -1, text, sizeof text, nullptr, nullptr) > 0)
            folder = text;
    }
    VariantClear(&result);
    finch->Release();
    if (folder.empty())
        return false;
    if (folder.back() != '\\')
        folder += '\\';
    return true;
}

// The switches stand as arguments of their own ("IBE", "/ibe", "-Ruk"),
// never as part of the program's path.
bool HasSwitch(const char* name)
{
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args)
        return false;
    wchar_t wide[8];
    MultiByteToWideChar(CP_ACP, 0, name, -1, wide, 8);
    bool found = false;
    for (int i = 1; i < count && !found; ++i) {
        const wchar_t* arg = args[i];
        if (*arg == L'/' || *arg == L'-')
            ++arg;
        found = lstrcmpiW(arg, wide) == 0;
    }
    LocalFree(args);
    return found;
}

void WriteLog(const std::string& input, const std::string& output)
{
    std::string value;
    DWORD type = 0;
    if (!ReadValue(HKEY_CURRENT_USER, kClientKey, "Wren", value, &type) || value.size() < 4 ||
        *reinterpret_cast<const DWORD*>(value.data()) == 0)
        return;
    char folder[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder)
        return;
    std::string path = std::string(folder) + "wren.log";
    if (FILE* log = std::fopen(path.c_str(), "wb")) {
        std::fprintf(log, "input: %s output: %s\n", input.c_str(), output.c_str());
        std::fclose(log);
    }
}

int Run()
{
    bool palm = HasSwitch("IBE");
    bool outlook = HasSwitch("RUK");
    std::string input;
    if (palm) {
        if (!PalmUserFolder(input))
            return wren::kNoInputPath;
        input += "keywords\\keywords.zel";
    }
    if (outlook) {
        std::string program;
        size_t slash;
        if (!ProgramPath("quillmate for microsoft outlook.exe", program) ||
            (slash = program.rfind('\\')) == std::string::npos)
            return wren::kNoInputPath;
        input = program.substr(0, slash) + "\\..\\quillmate data\\keywords.zel";
    }
    std::string output, aliases;
    size_t slash;
    if (!ProgramPath("quillmate.exe", output) || (slash = output.rfind('\\')) == std::string::npos)
        return wren::kNoOutputPath;
    output.resize(slash + 1);
    DWORD type = 0;
    if (!ReadValue(HKEY_CURRENT_USER, kClientKey, "AliasDb", aliases, &type) || type != REG_SZ || aliases.empty())
        aliases = "keywords.xml";
    output += aliases;
    WriteLog(input, output);
    if (!palm && !outlook)
        return wren::kNoSwitch;
    return ConvertKeywords(input.c_str(), output.c_str());
}

} // namespace

extern "C" int WrenGetFileType(const char* path)
{
    try {
        return wren::FileTypeOf(path);
    } catch (...) {
        return wren::kFileUnknown;
    }
}

extern "C" int ConvertKeywords(const char* input, const char* output)
{
    try {
        return wren::Convert(input, output);
    } catch (...) {
        return wren::kOutputNotWritten;
    }
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    HRESULT com = CoInitialize(nullptr);
    int result;
    try {
        result = Run();
    } catch (...) {
        result = wren::kOutputNotWritten;
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return result;
}
