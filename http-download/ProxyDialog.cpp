#include "ProxyDialog.h"
#include "ProxyRecord.h"
#include "ProxySettings.h"
#include "UrlSplit.h"
#include "resource.h"

#include <cstdio>
#include <string>
#include <vector>

namespace shrike {

namespace {

struct DialogRecord {
    QuiProxyInfo info;
    HWND owner;
    HWND dialog;
};

INT_PTR CALLBACK ProxyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

HINSTANCE ThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ProxyDialogProc), &module);
    return module;
}

void EnableAddress(HWND dialog, bool enable)
{
    EnableWindow(GetDlgItem(dialog, IDC_PROXY_HOST), enable);
    EnableWindow(GetDlgItem(dialog, IDC_PROXY_PORT), enable);
}

void CenterOnDesktop(HWND dialog)
{
    RECT mine, desktop;
    GetWindowRect(dialog, &mine);
    GetWindowRect(GetDesktopWindow(), &desktop);
    int x = desktop.left + ((desktop.right - desktop.left) - (mine.right - mine.left)) / 2;
    int y = desktop.top + ((desktop.bottom - desktop.top) - (mine.bottom - mine.top)) / 2;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Open(HWND dialog, DialogRecord* record)
{
    record->dialog = dialog;
    bool use = (record->info.flags & QUI_PROXY_USE) != 0;
    CheckDlgButton(dialog, IDC_USE_PROXY, use ? BST_CHECKED : BST_UNCHECKED);
    EnableAddress(dialog, use);
    std::string host, port;
    SplitAtFirstColon(record->info.proxy, &host, &port);
    SetDlgItemTextA(dialog, IDC_PROXY_HOST, host.c_str());
    SetDlgItemTextA(dialog, IDC_PROXY_PORT, port.c_str());
    CenterOnDesktop(dialog);
}

std::string FieldText(HWND dialog, int id)
{
    HWND field = GetDlgItem(dialog, id);
    std::vector<char> text(static_cast<size_t>(GetWindowTextLengthA(field)) + 1, '\0');
    GetWindowTextA(field, text.data(), static_cast<int>(text.size()));
    std::string trimmed(text.data());
    trimmed.erase(0, trimmed.find_first_not_of(" \t"));
    trimmed.erase(trimmed.find_last_not_of(" \t") + 1);
    return trimmed;
}

// A name or an IPv4 address: what the session resolves, and what the proxy
// text can hold before its colon.
bool IsHostName(const std::string& host)
{
    for (char c : host) {
        bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && !(c >= '0' && c <= '9') && c != '-' && c != '.' && c != '_')
            return false;
    }
    return true;
}

bool IsPort(const std::string& port)
{
    if (port.empty() || port.find_first_not_of("0123456789") != std::string::npos)
        return false;
    return ParsePort(port.c_str()) > 0;
}

struct Refusal {
    UINT message;   // 0: none
    int field;
};

// A proxy in use needs a host and a port that work; any text needs to fit
// the proxy text whole.
Refusal Check(const std::string& host, const std::string& port, bool use)
{
    if (use && host.empty())
        return {IDS_PROXY_NO_ADDRESS, IDC_PROXY_HOST};
    if (use && !IsHostName(host))
        return {IDS_PROXY_NOT_A_HOST, IDC_PROXY_HOST};
    if (use && !IsPort(port))
        return {IDS_PROXY_BAD_PORT, IDC_PROXY_PORT};
    if (host.size() + 1 + port.size() >= QUI_PROXY_TEXT_SIZE)
        return {IDS_PROXY_TOO_LONG, port.size() > host.size() ? IDC_PROXY_PORT : IDC_PROXY_HOST};
    return {0, 0};
}

void Refuse(HWND dialog, const Refusal& refusal)
{
    char text[512] = "", caption[128] = "";
    LoadStringA(ThisModule(), refusal.message, text, sizeof text);
    GetWindowTextA(dialog, caption, sizeof caption);
    MessageBoxA(dialog, text, caption, MB_OK | MB_ICONEXCLAMATION);
    // The field to mend, its text selected.
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, refusal.field)), TRUE);
}

void Accept(HWND dialog, DialogRecord* record)
{
    const std::string host = FieldText(dialog, IDC_PROXY_HOST);
    const std::string port = FieldText(dialog, IDC_PROXY_PORT);
    const bool use = IsDlgButtonChecked(dialog, IDC_USE_PROXY) == BST_CHECKED;
    const Refusal refusal = Check(host, port, use);
    if (refusal.message) {
        Refuse(dialog, refusal);
        return;
    }
    std::snprintf(record->info.proxy, sizeof record->info.proxy, "%s:%s", host.c_str(), port.c_str());
    if (use)
        record->info.flags |= QUI_PROXY_USE;
    else
        record->info.flags &= ~QUI_PROXY_USE;
    EndDialog(dialog, IDOK);
}

INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogRecord* record = reinterpret_cast<DialogRecord*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        Open(dialog, reinterpret_cast<DialogRecord*>(lParam));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_USE_PROXY:
            if (HIWORD(wParam) == BN_CLICKED)
                EnableAddress(dialog, IsDlgButtonChecked(dialog, IDC_USE_PROXY) == BST_CHECKED);
            return TRUE;
        case IDOK:
            Accept(dialog, record);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK ProxyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        return Handle(dialog, message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

}

int ShowProxyDialog(HWND owner)
{
    DialogRecord record;
    record.info = EffectiveProxy();
    record.owner = owner ? owner : GetDesktopWindow();
    record.dialog = nullptr;
    INT_PTR result = DialogBoxParamA(ThisModule(), MAKEINTRESOURCEA(IDD_PROXY), record.owner, ProxyDialogProc,
                                     reinterpret_cast<LPARAM>(&record));
    if (result != IDOK)
        return 0;
    AdoptOwnProxy(record.info);
    return 1;
}

}
