#include "ProxyDialog.h"
#include "ProxyRecord.h"
#include "ProxySettings.h"
#include "UrlSplit.h"
#include "resource.h"

#include <cstdio>
#include <string>

namespace shrike {

namespace {

struct DialogRecord {
    QuiProxyInfo info;
    HWND owner;
    HWND dialog;
};

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

void Accept(HWND dialog, DialogRecord* record)
{
    char host[QUI_PROXY_TEXT_SIZE] = "", port[QUI_PROXY_TEXT_SIZE] = "";
    GetDlgItemTextA(dialog, IDC_PROXY_HOST, host, sizeof host);
    GetDlgItemTextA(dialog, IDC_PROXY_PORT, port, sizeof port);
    std::snprintf(record->info.proxy, sizeof record->info.proxy, "%s:%s", host, port);
    if (IsDlgButtonChecked(dialog, IDC_USE_PROXY) == BST_CHECKED)
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

HINSTANCE ThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ProxyDialogProc), &module);
    return module;
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
