#include "PilotManager.h"

#include <string>

const PalmRegistryEntry kFinchRegistry[FinchSettingCount] = {
    {HKEY_CURRENT_USER, "Software\\u.s. robotics\\Pilot Desktop\\core", "hotsyncPath", REG_SZ},
    {HKEY_CURRENT_USER, "Software\\Quillmate\\Finch", "LastUser", REG_SZ},
};

namespace {

int __stdcall Stub(void*)
{
    return 0;
}

struct PalmBinding {
    PalmOperation call;
    const char* name;
};

// One per process: the library's operations, each the stub until bound.
PalmBinding g_bindings[PalmOperationCount + 1] = {
    {Stub, "GetTodoCategories"}, {Stub, "GetMemoCategories"}, {Stub, "GetUserInfo"},
    {Stub, "AddTodoItem"},       {Stub, "AddMemoItem"},       {Stub, "AddDateBookItem"},
    {Stub, "GetContacts"},       {Stub, "GetEmailForContact"}, {Stub, "GetUserPath"},
    {Stub, "GetNoDateValue"},    {Stub, "GetCurrentItem"},    {Stub, "NewContact"},
    {Stub, "OpenPilotDesktop"},  {Stub, "GetContactFieldOrder"}, {Stub, "GetCategoryFieldOrder"},
    {Stub, "GetUsers"},          {Stub, "GetCurrentUser"},    {Stub, "SetCurrentUser"},
    {Stub, "CreateCategory"},    {Stub, "RemoveCategory"},    {Stub, "DataRefresh"},
    {Stub, "GetCalendarDay"},    {Stub, "GetInitialized"},    {Stub, ""},
};

// The library the rows point into, with a reference of its own, and how
// many managers use the rows: the library stays while any of them does.
HMODULE g_boundModule = nullptr;
int g_boundManagers = 0;

void UnbindAll()
{
    for (int i = 0; i < PalmOperationCount; ++i)
        g_bindings[i].call = Stub;
}

const int kUserPathSize = 260;

// The folder of the module this code is part of (Finch.ocx), with its
// trailing backslash; empty when it cannot be told.
CString OwnFolder()
{
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(g_bindings), &self))
        return CString();
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(self, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return CString();
    CString folder(path);
    return folder.Left(folder.ReverseFind('\\') + 1);
}

bool FileExists(const CString& path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// Palm Desktop's own libraries are found on PATH; the whole of PATH is kept,
// however long it is.
void AppendToPath(const CString& folder)
{
    if (folder.IsEmpty())
        return;
    std::string path;
    DWORD size = GetEnvironmentVariableA("PATH", nullptr, 0);
    if (size > 0) {
        path.resize(size);
        DWORD length = GetEnvironmentVariableA("PATH", &path[0], size);
        path.resize(length < size ? length : 0);
    }
    if (!path.empty())
        path += ";";
    path += static_cast<LPCTSTR>(folder);
    SetEnvironmentVariableA("PATH", path.c_str());
}

}  // namespace

PilotManager::~PilotManager()
{
    // The rows must not point into a library that is gone; another
    // control's manager may still use them.
    if (m_bound && --g_boundManagers == 0) {
        UnbindAll();
        FreeLibrary(g_boundModule);
        g_boundModule = nullptr;
    }
    if (m_module)
        FreeLibrary(m_module);
}

int PilotManager::DesktopGeneration(const CString& folder)
{
    if (folder.IsEmpty())
        return 2;
    return FileExists(folder + "palmcmn.dll") && FileExists(folder + "subs30.dll") ? 3 : 2;
}

CString PilotManager::HotSyncFolder()
{
    PalmRegistry registry(kFinchRegistry, FinchSettingCount);
    CString path;
    if (!registry.ReadString(FinchHotSyncPath, path))
        return CString();
    const int slash = path.ReverseFind('\\');
    if (slash < 0)
        return CString();
    return path.Left(slash + 1);
}

BOOL PilotManager::GetInitialized()
{
    if (m_attempted)
        return m_usable;
    m_attempted = true;
    m_usable = false;
    const CString folder = HotSyncFolder();
    const char* name = DesktopGeneration(folder) == 3 ? "Lark.dll" : "Linnet.dll";
    AppendToPath(folder);
    if (!Load(name))
        return FALSE;
    Bind();
    if (!m_bound)
        return FALSE;
    m_usable = g_bindings[OpGetInitialized].call(nullptr) == 1;
    return m_usable;
}

bool PilotManager::Load(const char* name)
{
    // Only the library beside Finch: one of that name in the current folder
    // or on PATH is not ours. Its own libraries are looked for beside it.
    const CString folder = OwnFolder();
    if (folder.IsEmpty())
        return false;
    HMODULE module = LoadLibraryExA(folder + name, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module)
        return false;
    m_module = module;
    m_libraryName = name;
    return true;
}

void PilotManager::Bind()
{
    if (g_boundModule != m_module) {
        HMODULE held = nullptr;
        if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(m_module), &held))
            return;
        // Rows of another library would be left pointing into it.
        UnbindAll();
        if (g_boundModule)
            FreeLibrary(g_boundModule);
        g_boundModule = held;
        for (PalmBinding* row = g_bindings; row->name[0]; ++row) {
            if (FARPROC found = GetProcAddress(m_module, row->name))
                row->call = reinterpret_cast<PalmOperation>(found);
        }
    }
    m_bound = true;
    ++g_boundManagers;
}

bool PilotManager::Ready()
{
    if (!m_attempted)
        GetInitialized();
    return m_usable;
}

int PilotManager::Call(int index, void* argument)
{
    return Ready() ? g_bindings[index].call(argument) : 0;
}

int PilotManager::List(int index, VARIANT* list)
{
    if (Ready())
        return g_bindings[index].call(list);
    if (list) {
        VariantClear(list);
        list->vt = VT_ARRAY | VT_VARIANT;
        list->parray = SafeArrayCreateVector(VT_VARIANT, 0, 0);
        if (!list->parray)
            list->vt = VT_EMPTY;
    }
    return 0;
}

template <class Pointer>
int PilotManager::Text(int index, Pointer* text)
{
    if (Ready())
        return g_bindings[index].call(text);
    if (text)
        *text = nullptr;
    return 0;
}

int PilotManager::GetCurrentUser(BSTR* name)
{
    return Text(OpGetCurrentUser, name);
}

int PilotManager::SetCurrentUser(char** name)
{
    return Text(OpSetCurrentUser, name);
}

int PilotManager::AddContactItem(CONTACTITEM* contact)
{
    return Ready() ? CallByName("AddContactItem", contact) : 0;
}

int PilotManager::GetUserPath(CString& path)
{
    if (!Ready())
        return 0;
    char buffer[kUserPathSize] = {};
    const int result = g_bindings[OpGetUserPath].call(buffer);
    buffer[kUserPathSize - 1] = '\0';
    path = buffer;
    return result;
}

int PilotManager::GetNoDateValue(long* value)
{
    if (Ready())
        return g_bindings[OpGetNoDateValue].call(value);
    if (value)
        *value = 0;
    return 0;
}

int PilotManager::GetCurrentItem(BSTR* text)
{
    if (Ready())
        return g_bindings[OpGetCurrentItem].call(text);
    if (text)
        *text = SysAllocStringByteLen("", 1);
    return 0;
}

int PilotManager::GetCalendarDay(VARIANT* date, VARIANT* items)
{
    if (!Ready())
        return 0;
    const int result = g_bindings[OpGetCalendarDay].call(date);
    if (date && items) {
        VariantClear(items);
        *items = *date;  // the value moves: `date` no longer owns it
        VariantInit(date);
    }
    return result;
}

int PilotManager::CallByName(const char* name, void* argument)
{
    for (const PalmBinding* row = g_bindings; name && row->name[0]; ++row) {
        if (lstrcmpiA(row->name, name) == 0)
            return row->call(argument);
    }
    return Stub(argument);
}
