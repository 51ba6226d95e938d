// Drives the real proxy dialog: a thread timer fires inside its modal loop,
// the test's steps act on the controls, and the last step closes it.
#include "../resource.h"
#include "ProxyRegistryState.h"
#include "ShrikeLibrary.h"

#include <gtest/gtest.h>
#include <functional>
#include <string>

namespace {

const char* kOwn = ProxyRegistryState::kOwnKey;
std::function<void(HWND)> g_steps;
HWND g_dialog;

BOOL CALLBACK FindDialog(HWND window, LPARAM)
{
    char caption[64] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (std::string(caption) == "Quillmate Proxy Information" && IsWindowVisible(window)) {
        g_dialog = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK RunSteps(HWND, UINT, UINT_PTR timer, DWORD)
{
    g_dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, 0);
    if (!g_dialog)
        return; // not shown yet: the next tick looks again
    KillTimer(nullptr, timer);
    g_steps(g_dialog);
    // An ended dialog is hidden at once and destroyed by its modal loop.
    if (IsWindowVisible(g_dialog)) {
        ADD_FAILURE() << "the steps left the dialog open";
        EndDialog(g_dialog, IDCANCEL);
    }
}

// The text of every message box that came up over the dialog, each answered OK.
std::string g_boxText;

BOOL CALLBACK AddStaticText(HWND child, LPARAM)
{
    char name[16] = "", text[512] = "";
    GetClassNameA(child, name, sizeof name);
    GetWindowTextA(child, text, sizeof text);
    if (_stricmp(name, "Static") == 0 && text[0])
        g_boxText += text;
    return TRUE;
}

BOOL CALLBACK AnswerBoxOver(HWND window, LPARAM)
{
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (!g_dialog || std::string(name) != "#32770" || !IsWindowVisible(window) ||
        GetWindow(window, GW_OWNER) != g_dialog)
        return TRUE;
    EnumChildWindows(window, AddStaticText, 0);
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    return FALSE;
}

void CALLBACK AnswerBoxes(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), AnswerBoxOver, 0);
}

// Shows the dialog and runs steps on it, answering its messages; the dialog's answer.
int Drive(ShrikeLibrary& shrike, std::function<void(HWND)> steps)
{
    g_steps = std::move(steps);
    g_boxText.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 10, RunSteps);
    UINT_PTR answers = SetTimer(nullptr, 0, 10, AnswerBoxes);
    int result = shrike.ShowProxyDlg(nullptr);
    KillTimer(nullptr, timer);
    KillTimer(nullptr, answers);
    return result;
}

std::string Text(HWND dialog, int id)
{
    char text[300] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool Checked(HWND dialog) { return IsDlgButtonChecked(dialog, 1000) == BST_CHECKED; }
bool FieldsEnabled(HWND dialog)
{
    bool host = IsWindowEnabled(GetDlgItem(dialog, 1001)) != 0;
    EXPECT_EQ(host, IsWindowEnabled(GetDlgItem(dialog, 1002)) != 0);
    return host;
}
void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// Presses OK and answers the message that refuses it; its text.
std::string PressRefusedOk(HWND dialog)
{
    g_boxText.clear();
    Click(dialog, IDOK);
    return g_boxText;
}

}

TEST(ProxyDialog, OpensOnOwnSettingsGreyedWhileOffAndCentred)
{
    ProxyRegistryState registry;
    registry.SetOwn(0, "Q:80", "");
    ShrikeLibrary shrike;
    EXPECT_EQ(0, Drive(shrike, [](HWND dialog) {
        EXPECT_FALSE(Checked(dialog));
        EXPECT_FALSE(FieldsEnabled(dialog));
        EXPECT_EQ("Q", Text(dialog, 1001));
        EXPECT_EQ("80", Text(dialog, 1002));
        EXPECT_EQ("Use a proxy server for Internet access.", Text(dialog, 1000));
        RECT mine, desktop;
        GetWindowRect(dialog, &mine);
        GetWindowRect(GetDesktopWindow(), &desktop);
        EXPECT_NEAR((desktop.left + desktop.right) / 2, (mine.left + mine.right) / 2, 1);
        EXPECT_NEAR((desktop.top + desktop.bottom) / 2, (mine.top + mine.bottom) / 2, 1);
        Click(dialog, 1000);
        EXPECT_TRUE(Checked(dialog));
        EXPECT_TRUE(FieldsEnabled(dialog));
        Click(dialog, 1000);
        EXPECT_FALSE(FieldsEnabled(dialog));
        Click(dialog, 1000);
        Click(dialog, IDCANCEL);
    }));
    EXPECT_EQ(0u, ProxyRegistryState::ReadDword(kOwn, "ProxyEnabled"));
    EXPECT_EQ(0u, shrike.Effective().flags);
}

TEST(ProxyDialog, SplitsTheProxyTextAtTheFirstColon)
{
    struct Row {
        const char* text;
        const char *host, *port;
    } rows[] = {
        {"proxy.example:3128", "proxy.example", "3128"},
        {"hostonly", "hostonly", ""},
        {"a:b:c", "a", "b:c"},
        {":8080", "", "8080"},
        {"", "", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        ProxyRegistryState registry;
        registry.SetOwn(1, r.text, "");
        ShrikeLibrary shrike;
        Drive(shrike, [&](HWND dialog) {
            EXPECT_TRUE(Checked(dialog));
            EXPECT_TRUE(FieldsEnabled(dialog));
            EXPECT_EQ(r.host, Text(dialog, 1001));
            EXPECT_EQ(r.port, Text(dialog, 1002));
            Click(dialog, IDCANCEL);
        });
    }
}

TEST(ProxyDialog, OkStoresTheChoiceAndPutsItInForce)
{
    struct Row {
        const char* name;
        DWORD systemEnable;
        DWORD ownEnabled;
        bool click;
        const char *host, *port; // null: leave the field
        DWORD storedEnabled;
        const char* storedName;
    } rows[] = {
        {"uncheck keeps the name", 0, 1, true, nullptr, nullptr, 0, "Q:80"},
        {"check and edit", 0, 0, true, "h2", "81", 1, "h2:81"},
        {"edit while off", 0, 0, false, "h3", "", 0, "h3:"},
        {"own settings over the system's", 1, 0, true, nullptr, nullptr, 0, "P:8080"},
        {"blanks around", 0, 0, true, " h4 ", "\t82 ", 1, "h4:82"},
        {"the largest port", 0, 0, true, "10.0.0.1", "65535", 1, "10.0.0.1:65535"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ProxyRegistryState registry;
        registry.SetSystem(r.systemEnable, "P:8080", "");
        registry.SetOwn(r.ownEnabled, "Q:80", "own.local");
        ShrikeLibrary shrike;
        EXPECT_EQ(1, Drive(shrike, [&](HWND dialog) {
            if (r.click)
                Click(dialog, 1000);
            if (r.host)
                SetDlgItemTextA(dialog, 1001, r.host);
            if (r.port)
                SetDlgItemTextA(dialog, 1002, r.port);
            Click(dialog, IDOK);
        }));
        EXPECT_EQ("", g_boxText) << "nothing refused";
        EXPECT_EQ(r.storedEnabled, ProxyRegistryState::ReadDword(kOwn, "ProxyEnabled"));
        EXPECT_EQ(r.storedName, ProxyRegistryState::ReadText(kOwn, "ProxyName"));
        EXPECT_EQ(0u, ProxyRegistryState::ReadDword(kOwn, "UseProxy"));
        QuiProxyInfo info = shrike.Effective();
        EXPECT_EQ(r.storedEnabled, info.flags);
        EXPECT_STREQ(r.storedName, info.proxy);
    }
}

TEST(ProxyDialog, AnAddressThatCannotWorkIsRefusedAndTheDialogStays)
{
    const std::string longHost(255, 'h');
    struct Row {
        const char* name;
        DWORD enabled;
        const char *host, *port;
        UINT message;
        int field;    // the field to mend, given the focus; 0 while greyed
    } rows[] = {
        {"a web address", 1, "http://proxy.example:8080/", "8080", IDS_PROXY_NOT_A_HOST, 1001},
        {"the port in the address", 1, "proxy.example:8080", "", IDS_PROXY_NOT_A_HOST, 1001},
        {"no address", 1, "  ", "8080", IDS_PROXY_NO_ADDRESS, 1001},
        {"a port that is no number", 1, "proxy.example", "80a", IDS_PROXY_BAD_PORT, 1002},
        {"no port", 1, "proxy.example", "", IDS_PROXY_BAD_PORT, 1002},
        {"port 0", 1, "proxy.example", "0", IDS_PROXY_BAD_PORT, 1002},
        {"a port above 65535", 1, "proxy.example", "65536", IDS_PROXY_BAD_PORT, 1002},
        {"longer than the proxy text", 1, longHost.c_str(), "8080", IDS_PROXY_TOO_LONG, 1001},
        {"longer while unticked", 0, longHost.c_str(), "80808", IDS_PROXY_TOO_LONG, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ProxyRegistryState registry;
        registry.SetOwn(r.enabled, "Q:80", "");
        ShrikeLibrary shrike;
        char expected[512] = "";
        LoadStringA(shrike.module, r.message, expected, sizeof expected);
        ASSERT_NE('\0', expected[0]);
        EXPECT_EQ(0, Drive(shrike, [&](HWND dialog) {
            SetDlgItemTextA(dialog, 1001, r.host);
            SetDlgItemTextA(dialog, 1002, r.port);
            EXPECT_EQ(expected, PressRefusedOk(dialog));
            EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays to be mended";
            if (r.field) {
                EXPECT_EQ(GetDlgItem(dialog, r.field), GetFocus());
            }
            Click(dialog, IDCANCEL);
        }));
        EXPECT_EQ("Q:80", ProxyRegistryState::ReadText(kOwn, "ProxyName")) << "nothing stored";
        EXPECT_EQ(r.enabled, ProxyRegistryState::ReadDword(kOwn, "ProxyEnabled"));
    }
}
