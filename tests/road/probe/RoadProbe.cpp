// roadprobe.exe: the road tests' eyes inside the Wine desktop. It runs in the
// same desktop as the program under test and answers one command per line of
// standard input with one line on standard output ("ok ..." or "fail ...").
//
// It also stands in front of the notification area: the shell hands every
// tray icon request to the first top-level "Shell_TrayWnd" window as
// WM_COPYDATA, so the probe keeps a window of that class on top, records
// each request and passes it on to the desktop's own tray, which still shows
// the icon. That is how a test sees the icon and tip the program asked for.
//
// Commands (times in milliseconds; texts are ANSI; a window is a hex handle):
//   strings <library> <id>...   the string resources, tab-separated
//   caption-strings <library> <id>...  each string up to its first line feed (a button's
//                               caption), tab-separated
//   tray                        every tray request so far, tab-separated
//   note                        the visible note window (0 when none), whether it is in
//                               front, and whether the keyboard is in its text
//   note-text                   the text of the current note
//   notes                       every visible note window and its text ("<window> <text>"),
//                               tab-separated ("ok" alone when there is none)
//   set-note-text <text>        replaces the note's text, caret at its end
//   pane <pane id> <field id>...  the texts of the fields of that destination pane
//   captions                    each pane of the destination window: its id and its check
//                               button's caption, tab-separated
//   cut-texts                   the fields and labels of the destination window's panes whose
//                               text is wider than they are, tab-separated ("ok" alone when none)
//   button <id>                 the centre of a destination window's button, in desktop coordinates
//   text-point                  the centre of the current note's text, in desktop coordinates
//   gone <window>               ok when the window no longer exists
//   format-date <days>          today + days in the user's short date format
//   format-time <hour> <minute> the time in the user's format without seconds
//   windows                     the visible top-level windows: handle, class, title
//   cancel-dialogs              sends Cancel to every visible dialog box of another process
//   dialog                      the texts of the first visible dialog box of another
//                               process, tab-separated ("ok" alone when there is none)
//   enabled <window>            "ok 1" when the window takes input, "ok 0" when disabled
//   front <window>              brings the window to the foreground
//   post <window> <message> <wparam>  posts a message (lparam 0)
//   keytime <character>         types the character into the front window and times
//                               until the note's text has it (its parse included)
//   backtime                    presses Backspace in the front window and times until the
//                               note's text is shorter (its parse included)
//   memory <window>             the peak working set and the peak of private memory of the
//                               window's process, in bytes
//   dde-browser <program> <service>  starts the browsers' DDE stand-in for the service and
//                               waits until it serves; it ends when the probe does
//   quit
#include <windows.h>
#include <psapi.h>

#include "StandInLog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kTrayClass[] = "Shell_TrayWnd";
const char kNoteClass[] = "QUINOTEWND";
const char kNoteBoxClass[] = "QUINOTEBOX";
const char kDestWndClass[] = "QUIDESTWND";
const char kPaneClass[] = "QUIDESTPANE";
const char kFieldClass[] = "QUIEDITDROP";
const char kButtonClass[] = "QUIFLATBUTTON";
const int kFieldEditId = 121;  // the edit child of a pane's field
const int kPlainEditId = 150;  // the note box's rich edit
const UINT kCommandMessage = WM_APP + 1;

// The front of what the shell sends for one tray request.
struct NotifyHead {
    LONG hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    WCHAR szTip[128];
};

struct TrayRequest {
    DWORD message;  // NIM_ADD, NIM_MODIFY, NIM_DELETE, ...
    HWND owner;
    UINT id;
    UINT flags;
    std::string tip;
};

std::vector<TrayRequest> g_tray;
HWND g_spy = nullptr;
// Held while the probe runs: the DDE stand-ins serve only while someone does.
HANDLE g_ddeQuit = nullptr;

std::string Narrow(const WCHAR* text)
{
    char buffer[512] = "";
    WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
    return buffer;
}

std::string Hex(const void* handle)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lx", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(handle)));
    return text;
}

HWND ParseWindow(const std::string& text)
{
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoul(text.c_str(), nullptr, 16)));
}

// Tabs and line ends would break the answer's lines.
std::string Flat(std::string text)
{
    for (char& c : text) {
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    }
    return text;
}

std::string WindowText(HWND hwnd)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return std::string();
    std::vector<char> text(length + 2, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        5000, &copied);
    return std::string(text.data());
}

std::string ClassOf(HWND hwnd)
{
    char name[256] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

// The desktop's own tray: a "Shell_TrayWnd" that is not the probe's.
HWND RealTray()
{
    HWND tray = nullptr;
    while ((tray = FindWindowExA(nullptr, tray, kTrayClass, nullptr)) != nullptr) {
        if (tray != g_spy)
            return tray;
    }
    return nullptr;
}

LRESULT CALLBACK SpyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data && data->lpData && data->cbData >= sizeof(NotifyHead)) {
            const NotifyHead* head = static_cast<const NotifyHead*>(data->lpData);
            TrayRequest request;
            request.message = static_cast<DWORD>(data->dwData);
            request.owner = reinterpret_cast<HWND>(static_cast<LONG_PTR>(head->hWnd));
            request.id = head->uID;
            request.flags = head->uFlags;
            WCHAR tip[129];
            std::memcpy(tip, head->szTip, sizeof head->szTip);
            tip[128] = 0;
            request.tip = Narrow(tip);
            g_tray.push_back(request);
        }
        // The desktop's tray still shows the icon (and the screenshot with it).
        HWND real = RealTray();
        return real ? SendMessageA(real, WM_COPYDATA, wParam, lParam) : TRUE;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

BOOL CreateSpy()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = SpyProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kTrayClass;
    if (!RegisterClassA(&wc))
        return FALSE;
    // Top-most, so that the shell's search finds it before the desktop's own.
    g_spy = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kTrayClass, "", WS_POPUP, 0, 0, 0,
                            0, nullptr, nullptr, wc.hInstance, nullptr);
    return g_spy != nullptr;
}

// Keeps the probe's tray first in the shell's search, should the desktop's
// own one have been raised above it.
void KeepSpyFirst()
{
    if (g_spy && FindWindowExA(nullptr, nullptr, kTrayClass, nullptr) != g_spy)
        SetWindowPos(g_spy, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

struct Found {
    const char* cls;
    int id;  // -1: any
    HWND hwnd;
};

BOOL CALLBACK FindChildProc(HWND hwnd, LPARAM lParam)
{
    Found* found = reinterpret_cast<Found*>(lParam);
    if ((!found->cls || lstrcmpiA(ClassOf(hwnd).c_str(), found->cls) == 0) &&
        (found->id < 0 || GetDlgCtrlID(hwnd) == found->id)) {
        found->hwnd = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A descendant (at any depth) of the class and id; null when none.
HWND FindDescendant(HWND parent, const char* cls, int id)
{
    Found found = {cls, id, nullptr};
    EnumChildWindows(parent, FindChildProc, reinterpret_cast<LPARAM>(&found));
    return found.hwnd;
}

struct TopLevel {
    const char* cls;
    std::vector<HWND> windows;
};

BOOL CALLBACK TopLevelProc(HWND hwnd, LPARAM lParam)
{
    TopLevel* list = reinterpret_cast<TopLevel*>(lParam);
    if (IsWindowVisible(hwnd) && (!list->cls || ClassOf(hwnd) == list->cls))
        list->windows.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> VisibleTopLevel(const char* cls)
{
    TopLevel list = {cls, {}};
    EnumWindows(TopLevelProc, reinterpret_cast<LPARAM>(&list));
    return list.windows;
}

// The note window in front, else the first visible one.
HWND CurrentNote()
{
    std::vector<HWND> notes = VisibleTopLevel(kNoteClass);
    HWND front = GetForegroundWindow();
    for (HWND note : notes) {
        if (note == front)
            return note;
    }
    return notes.empty() ? nullptr : notes.front();
}

BOOL CALLBACK FindRichEditProc(HWND hwnd, LPARAM lParam)
{
    std::string cls = ClassOf(hwnd);
    CharLowerA(&cls[0]);
    if (cls.compare(0, 8, "richedit") == 0 && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(lParam) = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The edit control that holds the note's text: the note box's plain rich
// edit, or the rich edit inside its dictation control. (The prompt over an
// empty note is an edit child of the note box too, and is not it.)
HWND NoteEdit(HWND note)
{
    HWND box = note ? FindDescendant(note, kNoteBoxClass, -1) : nullptr;
    if (!box)
        return nullptr;
    HWND plain = FindDescendant(box, nullptr, kPlainEditId);
    if (plain && IsWindowVisible(plain))
        return plain;
    HWND rich = nullptr;
    EnumChildWindows(box, FindRichEditProc, reinterpret_cast<LPARAM>(&rich));
    return rich;
}

// The destination windows hang off their note window; any visible one will
// do, since a test works with one note at a time.
HWND DestinationWindow()
{
    std::vector<HWND> windows = VisibleTopLevel(kDestWndClass);
    HWND note = CurrentNote();
    for (HWND hwnd : windows) {
        if (GetWindow(hwnd, GW_OWNER) == note)
            return hwnd;
    }
    return windows.empty() ? nullptr : windows.front();
}

HWND FindPane(int paneId)
{
    HWND note = CurrentNote();
    HWND pane = note ? FindDescendant(note, kPaneClass, paneId) : nullptr;
    if (!pane) {
        if (HWND dest = DestinationWindow())
            pane = FindDescendant(dest, kPaneClass, paneId);
    }
    return pane;
}

BOOL CALLBACK CollectChildProc(HWND hwnd, LPARAM lParam)
{
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
}

// The visible panes of the destination window, in creation order.
std::vector<HWND> VisiblePanes()
{
    std::vector<HWND> panes;
    HWND dest = DestinationWindow();
    for (HWND child = dest ? GetWindow(dest, GW_CHILD) : nullptr; child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowVisible(child) && ClassOf(child) == kPaneClass)
            panes.push_back(child);
    }
    return panes;
}

std::string CaptionsOfPanes()
{
    std::string answer = "ok";
    for (HWND pane : VisiblePanes()) {
        const int id = GetDlgCtrlID(pane);
        HWND check = FindDescendant(pane, kButtonClass, id);
        answer += (answer.size() == 2 ? " " : "\t") + std::to_string(id) + " " + Flat(check ? WindowText(check) : "");
    }
    return answer;
}

// The program's small font, as it makes it: 8-point "Arial"; italic, the
// font of an empty field's prompt.
HFONT SmallFont(bool italic)
{
    HDC screen = GetDC(nullptr);
    LOGFONTA lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfItalic = italic ? TRUE : FALSE;
    lf.lfHeight = -MulDiv(80, GetDeviceCaps(screen, LOGPIXELSY), 720);
    lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
    ReleaseDC(nullptr, screen);
    return CreateFontIndirectA(&lf);
}

int TextWidth(HDC dc, const std::string& text)
{
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &extent);
    return extent.cx;
}

// Where the edit puts a character: its left edge, in the edit's client area.
int CharX(HWND edit, size_t index)
{
    DWORD_PTR pos = 0;
    SendMessageTimeoutA(edit, EM_POSFROMCHAR, index, 0, SMTO_ABORTIFHUNG, 5000, &pos);
    return static_cast<short>(LOWORD(pos));
}

// A field's text fits when the edit shows it from its left margin and it
// ends before the right one. The edit's own offsets of its characters say
// where they stand; the probe's copy of the small font (italic for a prompt)
// gives the last one's width, once the edit's offsets have shown that the
// copy draws as the field's font does.
std::string FieldFault(HDC dc, HFONT normal, HFONT italic, HWND field)
{
    HWND edit = FindDescendant(field, nullptr, kFieldEditId);
    std::string text = edit ? WindowText(edit) : std::string();
    if (text.empty())
        return std::string();
    const std::string name = std::to_string(GetDlgCtrlID(field)) + " \"" + Flat(text) + "\"";
    const int first = CharX(edit, 0);
    const int last = CharX(edit, text.size() - 1);
    const std::string head = text.substr(0, text.size() - 1);
    SelectObject(dc, normal);
    if (last - first != TextWidth(dc, head)) {
        SelectObject(dc, italic);
        if (last - first != TextWidth(dc, head))
            return "fail the field " + name + " is not in the program's small font";
    }
    DWORD_PTR margins = 0;
    SendMessageTimeoutA(edit, EM_GETMARGINS, 0, 0, SMTO_ABORTIFHUNG, 5000, &margins);
    RECT client;
    GetClientRect(edit, &client);
    const int end = last + TextWidth(dc, text.substr(text.size() - 1));
    if (first < static_cast<int>(LOWORD(margins)) || end > client.right - static_cast<int>(HIWORD(margins)))
        return name + " needs " + std::to_string(end - first) + " of " +
               std::to_string(client.right - LOWORD(margins) - HIWORD(margins));
    return std::string();
}

std::string CutTexts()
{
    HFONT font = SmallFont(false);
    HFONT italic = SmallFont(true);
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    std::string answer = "ok";
    for (HWND pane : VisiblePanes()) {
        std::vector<HWND> children;
        EnumChildWindows(pane, CollectChildProc, reinterpret_cast<LPARAM>(&children));
        for (HWND child : children) {
            if (!IsWindowVisible(child) || GetParent(child) != pane)
                continue;
            std::string fault;
            if (ClassOf(child) == kFieldClass) {
                fault = FieldFault(dc, font, italic, child);
                SelectObject(dc, font);
            } else if (lstrcmpiA(ClassOf(child).c_str(), "Static") == 0 && !WindowText(child).empty()) {
                RECT rect;
                GetClientRect(child, &rect);
                const int width = TextWidth(dc, WindowText(child));
                if (width > rect.right)
                    fault = "label \"" + Flat(WindowText(child)) + "\" needs " + std::to_string(width) + " of " +
                            std::to_string(rect.right);
            }
            if (fault.compare(0, 5, "fail ") == 0) {
                answer = fault;
                break;
            }
            if (!fault.empty())
                answer += (answer.size() == 2 ? " " : "\t") + std::to_string(GetDlgCtrlID(pane)) + "/" + fault;
        }
        if (answer.compare(0, 5, "fail ") == 0)
            break;
    }
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    DeleteObject(italic);
    return answer;
}

std::vector<std::string> Split(const std::string& line, size_t maxParts)
{
    std::vector<std::string> parts;
    size_t pos = 0;
    while (pos < line.size() && parts.size() + 1 < maxParts) {
        size_t space = line.find(' ', pos);
        if (space == std::string::npos)
            break;
        parts.push_back(line.substr(pos, space - pos));
        pos = space + 1;
    }
    if (pos <= line.size())
        parts.push_back(line.substr(pos));
    return parts;
}

void Answer(const std::string& text)
{
    std::fputs(text.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string FormatDate(int days)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    now.wHour = now.wMinute = now.wSecond = now.wMilliseconds = 0;
    FILETIME file;
    SystemTimeToFileTime(&now, &file);
    ULARGE_INTEGER value;
    value.LowPart = file.dwLowDateTime;
    value.HighPart = file.dwHighDateTime;
    value.QuadPart += static_cast<ULONGLONG>(static_cast<LONGLONG>(days) * 24LL * 3600LL * 10000000LL);
    file.dwLowDateTime = value.LowPart;
    file.dwHighDateTime = value.HighPart;
    SYSTEMTIME day;
    FileTimeToSystemTime(&file, &day);
    char text[128] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, 0, &day, nullptr, text, sizeof text);
    return text;
}

std::string FormatTime(int hour, int minute)
{
    SYSTEMTIME time = {};
    time.wYear = 2000;
    time.wMonth = 1;
    time.wDay = 1;
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    char text[128] = "";
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, text, sizeof text);
    return text;
}

BOOL CALLBACK CancelProc(HWND hwnd, LPARAM lParam)
{
    int* count = reinterpret_cast<int*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId() && IsWindowVisible(hwnd) && ClassOf(hwnd) == "#32770") {
        PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        ++*count;
    }
    return TRUE;
}

BOOL CALLBACK DialogProc(HWND hwnd, LPARAM lParam)
{
    HWND* found = reinterpret_cast<HWND*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId() && IsWindowVisible(hwnd) && ClassOf(hwnd) == "#32770") {
        *found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Where a click lands on the window: its centre, "x y" on the desktop.
std::string Centre(HWND hwnd)
{
    RECT rect;
    GetWindowRect(hwnd, &rect);
    char text[64];
    std::snprintf(text, sizeof text, "%ld %ld", (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    return text;
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

double MillisecondsSince(LARGE_INTEGER start)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(Now().QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Types one character through the keyboard input of the desktop and waits,
// without pumping anything of the program's, until the note's text holds
// it: the program answers WM_GETTEXTLENGTH only after it has handled the
// key, its text change, the parse and the panes.
// Presses a key in the front window and times until the length of the
// note's text moves the way the key moves it.
std::string TimeKey(WORD key, bool grows)
{
    HWND edit = NoteEdit(CurrentNote());
    if (!edit)
        return "fail no note";
    DWORD_PTR before = 0;
    if (!SendMessageTimeoutA(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &before))
        return "fail the note does not answer";
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    LARGE_INTEGER start = Now();
    if (SendInput(2, input, sizeof(INPUT)) != 2)
        return "fail SendInput";
    for (;;) {
        DWORD_PTR length = 0;
        SendMessageTimeoutA(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
        double elapsed = MillisecondsSince(start);
        if (grows ? length > before : length < before) {
            char text[64];
            std::snprintf(text, sizeof text, "ok %.3f", elapsed);
            return text;
        }
        if (elapsed > 5000)
            return "fail the key did not arrive";
        Sleep(0);
    }
}

std::string KeyTime(char character)
{
    SHORT scan = VkKeyScanA(character);
    if (scan == -1)
        return "fail no key for the character";
    return TimeKey(LOBYTE(scan), true);
}

std::string MemoryOf(HWND window)
{
    DWORD id = 0;
    if (!GetWindowThreadProcessId(window, &id))
        return "fail no such window";
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
    if (!process)
        return "fail cannot open its process";
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    BOOL read = GetProcessMemoryInfo(process, &counters, sizeof counters);
    CloseHandle(process);
    if (!read)
        return "fail no counters";
    char text[64];
    std::snprintf(text, sizeof text, "ok %llu %llu", static_cast<unsigned long long>(counters.PeakWorkingSetSize),
                  static_cast<unsigned long long>(counters.PeakPagefileUsage));
    return text;
}

std::string StartDdeBrowser(const std::string& program, const std::string& service)
{
    if (!g_ddeQuit)
        g_ddeQuit = CreateEventA(nullptr, TRUE, FALSE, BROWSER_STANDIN_QUIT_EVENT);
    HANDLE started = CreateEventA(nullptr, TRUE, FALSE, BROWSER_STANDIN_STARTED_EVENT);
    if (!g_ddeQuit || !started)
        return "fail the events";
    ResetEvent(started);
    std::string commandLine = "\"" + program + "\" " + service;
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(started);
        return "fail cannot start " + Flat(program);
    }
    CloseHandle(process.hThread);
    HANDLE handles[] = {started, process.hProcess};
    DWORD woken = WaitForMultipleObjects(2, handles, FALSE, 20000);
    CloseHandle(process.hProcess);
    CloseHandle(started);
    return woken == WAIT_OBJECT_0 ? "ok" : "fail it does not serve";
}

std::string Run(const std::string& line)
{
    std::vector<std::string> args = Split(line, 64);
    const std::string& verb = args[0];
    if ((verb == "strings" || verb == "caption-strings") && args.size() >= 3) {
        HMODULE library = LoadLibraryExA(args[1].c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (!library)
            return "fail cannot load " + args[1];
        std::string answer = "ok";
        for (size_t i = 2; i < args.size(); ++i) {
            char text[512] = "";
            LoadStringA(library, static_cast<UINT>(std::atoi(args[i].c_str())), text, sizeof text);
            if (verb == "caption-strings")
                text[std::strcspn(text, "\n")] = '\0';
            answer += (i == 2 ? " " : "\t") + Flat(text);
        }
        FreeLibrary(library);
        return answer;
    }
    if (verb == "tray") {
        std::string answer = "ok";
        for (size_t i = 0; i < g_tray.size(); ++i) {
            const TrayRequest& r = g_tray[i];
            char head[96];
            std::snprintf(head, sizeof head, "%s%lu %s %u %#x ", i ? "\t" : " ", static_cast<unsigned long>(r.message),
                          Hex(r.owner).c_str(), r.id, r.flags);
            answer += head + Flat(r.tip);
        }
        return answer;
    }
    if (verb == "note") {
        HWND note = CurrentNote();
        if (!note)
            return "ok 0";
        // Where the keyboard goes in the note's thread: its text or elsewhere.
        GUITHREADINFO info = {sizeof info};
        HWND edit = NoteEdit(note);
        BOOL inText = GetGUIThreadInfo(GetWindowThreadProcessId(note, nullptr), &info) && edit &&
                      (info.hwndFocus == edit || IsChild(edit, info.hwndFocus));
        return "ok " + Hex(note) + (note == GetForegroundWindow() ? " front" : " back") +
               (inText ? " text" : " elsewhere");
    }
    if (verb == "post" && args.size() >= 4) {
        UINT message = static_cast<UINT>(std::strtoul(args[2].c_str(), nullptr, 10));
        WPARAM wParam = static_cast<WPARAM>(std::strtoul(args[3].c_str(), nullptr, 10));
        return PostMessageA(ParseWindow(args[1]), message, wParam, 0) ? "ok" : "fail";
    }
    if (verb == "note-text") {
        HWND edit = NoteEdit(CurrentNote());
        return edit ? "ok " + Flat(WindowText(edit)) : "fail no note";
    }
    if (verb == "notes") {
        std::string answer = "ok";
        for (HWND note : VisibleTopLevel(kNoteClass)) {
            HWND edit = NoteEdit(note);
            answer += (answer.size() == 2 ? " " : "\t") + Hex(note) + " " + Flat(edit ? WindowText(edit) : "");
        }
        return answer;
    }
    if (verb == "set-note-text") {
        HWND edit = NoteEdit(CurrentNote());
        if (!edit)
            return "fail no note";
        std::string text = line.size() > verb.size() + 1 ? line.substr(verb.size() + 1) : std::string();
        DWORD_PTR result = 0;
        SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 10000,
                            &result);
        SendMessageTimeoutA(edit, EM_SETSEL, static_cast<WPARAM>(-1), -1, SMTO_ABORTIFHUNG, 5000, &result);
        SendMessageTimeoutA(edit, EM_SETSEL, text.size(), text.size(), SMTO_ABORTIFHUNG, 5000, &result);
        return "ok";
    }
    if (verb == "pane" && args.size() >= 3) {
        HWND pane = FindPane(std::atoi(args[1].c_str()));
        if (!pane)
            return "fail no pane " + args[1];
        std::string answer = "ok";
        for (size_t i = 2; i < args.size(); ++i) {
            HWND field = FindDescendant(pane, nullptr, std::atoi(args[i].c_str()));
            HWND edit = field ? FindDescendant(field, nullptr, kFieldEditId) : nullptr;
            std::string text = edit ? WindowText(edit) : field ? WindowText(field) : std::string("<none>");
            answer += (i == 2 ? " " : "\t") + Flat(text);
        }
        return answer;
    }
    if (verb == "captions")
        return CaptionsOfPanes();
    if (verb == "cut-texts")
        return CutTexts();
    if (verb == "button" && args.size() >= 2) {
        HWND dest = DestinationWindow();
        HWND button = dest ? FindDescendant(dest, nullptr, std::atoi(args[1].c_str())) : nullptr;
        if (!button || !IsWindowVisible(button))
            return "fail no button " + args[1];
        return "ok " + Centre(button);
    }
    if (verb == "text-point") {
        HWND edit = NoteEdit(CurrentNote());
        return edit ? "ok " + Centre(edit) : "fail no note";
    }
    if (verb == "gone" && args.size() >= 2)
        return IsWindow(ParseWindow(args[1])) ? "fail still there" : "ok";
    if (verb == "format-date" && args.size() >= 2)
        return "ok " + FormatDate(std::atoi(args[1].c_str()));
    if (verb == "format-time" && args.size() >= 3)
        return "ok " + FormatTime(std::atoi(args[1].c_str()), std::atoi(args[2].c_str()));
    if (verb == "windows") {
        std::string answer = "ok";
        for (HWND hwnd : VisibleTopLevel(nullptr))
            answer += "\t" + Hex(hwnd) + " " + ClassOf(hwnd) + " " + Flat(WindowText(hwnd));
        return answer;
    }
    if (verb == "cancel-dialogs") {
        int count = 0;
        EnumWindows(CancelProc, reinterpret_cast<LPARAM>(&count));
        return "ok " + std::to_string(count);
    }
    if (verb == "dialog") {
        HWND dialog = nullptr;
        EnumWindows(DialogProc, reinterpret_cast<LPARAM>(&dialog));
        std::string answer = "ok";
        for (HWND child = dialog ? GetWindow(dialog, GW_CHILD) : nullptr; child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (ClassOf(child) == "Static" && IsWindowVisible(child) && !WindowText(child).empty())
                answer += (answer.size() == 2 ? " " : "\t") + Flat(WindowText(child));
        }
        return answer;
    }
    if (verb == "enabled" && args.size() >= 2)
        return IsWindowEnabled(ParseWindow(args[1])) ? "ok 1" : "ok 0";
    if (verb == "front" && args.size() >= 2)
        return SetForegroundWindow(ParseWindow(args[1])) ? "ok" : "fail";
    if (verb == "keytime" && args.size() >= 2 && !args[1].empty())
        return KeyTime(args[1][0]);
    if (verb == "backtime")
        return TimeKey(VK_BACK, false);
    if (verb == "memory" && args.size() >= 2)
        return MemoryOf(ParseWindow(args[1]));
    if (verb == "dde-browser" && args.size() >= 3)
        return StartDdeBrowser(args[1], args[2]);
    return "fail unknown command " + Flat(line);
}

// Standard input is read on its own thread: the window thread must stay free
// for the tray requests, which the program sends and waits for.
DWORD WINAPI ReadCommands(LPVOID threadId)
{
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    std::string pending;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(in, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        pending.append(buffer, read);
        size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            std::string* command = new std::string(pending.substr(0, end));
            if (!command->empty() && command->back() == '\r')
                command->pop_back();
            pending.erase(0, end + 1);
            PostThreadMessageA(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(threadId)), kCommandMessage, 0,
                               reinterpret_cast<LPARAM>(command));
        }
    }
    PostThreadMessageA(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(threadId)), kCommandMessage, 0, 0);
    return 0;
}

} // namespace

int main()
{
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, before the reader posts to it
    if (!CreateSpy()) {
        Answer("fail the tray window");
        return 1;
    }
    HANDLE reader = CreateThread(nullptr, 0, ReadCommands,
                                 reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(GetCurrentThreadId())), 0, nullptr);
    if (!reader) {
        Answer("fail the reader");
        return 1;
    }
    Answer("ok probe");
    for (;;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        KeepSpyFirst();
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.hwnd == nullptr && msg.message == kCommandMessage) {
                std::string* command = reinterpret_cast<std::string*>(msg.lParam);
                if (!command || *command == "quit") {
                    delete command;
                    if (g_ddeQuit)
                        SetEvent(g_ddeQuit);
                    DestroyWindow(g_spy);
                    Answer("ok bye");
                    return 0;
                }
                Answer(command->empty() ? std::string("fail empty") : Run(*command));
                delete command;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}
