#include "PalmDesktopLink.h"

#include <vector>

#include "NewContactSheet.h"

namespace {
const char kDesktopClass[] = "Bell XS-1";
const char kDesktopTitle[] = "PalmPilot Desktop";
const char kHotSyncTitle[] = "HotSync Progress";
const UINT kDesktopMessage = 0xBEC4;
enum { RequestPing = 0, RequestLock = 1, RequestUnlock = 2, RequestPrepare = 5 };
const int kTodoEditId = 9027;
const int kMemoEditId = 16003;

struct EditSearch {
    HWND todo = nullptr;
    HWND memo = nullptr;
};

BOOL CALLBACK FindEdit(HWND child, LPARAM context)
{
    EditSearch* search = reinterpret_cast<EditSearch*>(context);
    const int id = GetDlgCtrlID(child);
    if (id == kTodoEditId && !search->todo)
        search->todo = child;
    else if (id == kMemoEditId && !search->memo)
        search->memo = child;
    return TRUE;
}

// The library's own resources for as long as the object lives.
class ResourceScope {
public:
    explicit ResourceScope(HMODULE module) : m_previous(AfxGetResourceHandle()) { AfxSetResourceHandle(module); }
    ~ResourceScope() { AfxSetResourceHandle(m_previous); }
    ResourceScope(const ResourceScope&) = delete;
    ResourceScope& operator=(const ResourceScope&) = delete;

private:
    HINSTANCE m_previous;
};

CString ReadEdit(HWND edit)
{
    const LRESULT length = SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0)
        return CString();
    std::vector<char> text(static_cast<size_t>(length) * 2 + 1, '\0');
    SendMessageA(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return CString(text.data());
}
} // namespace

bool PalmDesktopLink::Ping(HWND desktop) const
{
    // A desktop that hangs must not hang the caller with it.
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(desktop, kDesktopMessage, RequestPing, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, m_pingTimeout,
                             &answer))
        return false;
    return answer == kDesktopMessage;
}

int PalmDesktopLink::Lock()
{
    HWND desktop = FindWindowA(kDesktopClass, nullptr);
    if (FindWindowA(nullptr, kHotSyncTitle))
        return LockRefused;
    if (!desktop)
        return NoDesktop;
    if (!Ping(desktop) || !IsWindowEnabled(desktop))
        return LockRefused;
    SendMessageA(desktop, kDesktopMessage, RequestPrepare, 0);
    SendMessageA(desktop, kDesktopMessage, RequestLock, static_cast<LPARAM>(m_user.userId));
    return Locked;
}

int PalmDesktopLink::Unlock()
{
    HWND desktop = FindWindowA(kDesktopClass, nullptr);
    if (desktop && Ping(desktop)) {
        SendMessageA(desktop, kDesktopMessage, RequestUnlock, static_cast<LPARAM>(m_user.userId));
        EnableWindow(desktop, TRUE);
        EnableWindow(desktop, TRUE);
    }
    return 1;
}

int PalmDesktopLink::Refresh()
{
    const int answer = Lock();
    if (answer != LockRefused)
        Unlock();
    return answer;
}

bool PalmDesktopLink::FindEditFields(HWND desktop)
{
    EditSearch search;
    EnumChildWindows(desktop, FindEdit, reinterpret_cast<LPARAM>(&search));
    if (!search.todo || !search.memo)
        return false;
    m_desktop = desktop;
    m_todoEdit = search.todo;
    m_memoEdit = search.memo;
    return true;
}

CString PalmDesktopLink::GetCurrentItem()
{
    HWND desktop = FindWindowA(nullptr, kDesktopTitle);
    if (!desktop)
        return CString();
    if (desktop != m_desktop && !FindEditFields(desktop))
        return CString();
    if (IsWindowVisible(GetParent(m_todoEdit)))
        return ReadEdit(m_todoEdit);
    if (IsWindowVisible(GetParent(m_memoEdit)))
        return ReadEdit(m_memoEdit);
    return CString();
}

DWORD PalmDesktopLink::Start(PalmRegistry& registry)
{
    CString path;
    registry.ReadString(PalmHotSyncPath, path);
    if (path.IsEmpty())
        return 0;
    path.MakeUpper();
    const int at = path.Find("HOTSYNC.EXE");
    if (at < 0)
        return 0;
    const CString program = path.Left(at) + "pilot.exe";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program, nullptr, nullptr, nullptr, FALSE, 0, nullptr, m_user.desktopPath, &startup,
                        &process))
        return 0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return process.dwProcessId;
}

int PalmDesktopLink::NewContact(HMODULE resources, AddressTableAccess& address, CONTACTITEM& contact)
{
    if (!resources)
        return 0;
    ResourceScope scope(resources);
    std::vector<CategoryInfo> categories;
    address.GetCategories(categories);
    CStringArray names;
    for (const CategoryInfo& category : categories)
        names.Add(category.name);
    CStringArray customLabels;
    address.GetCustomLabels(customLabels);
    // The control is a framework window; a window that has gone leaves the
    // sheet without an owner.
    HWND owner = contact.owner ? static_cast<CWnd*>(contact.owner)->GetSafeHwnd() : nullptr;
    NewContactSheet sheet(owner && IsWindow(owner) ? CWnd::FromHandle(owner) : nullptr, names,
                          address.GetPhoneLabels(), customLabels);
    return sheet.Run(contact);
}
