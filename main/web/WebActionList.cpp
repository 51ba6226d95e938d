#include "WebActionList.h"

#include <algorithm>
#include <new>
#include <cstdio>
#include <memory>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

const char kWebActionCacheFile[] = "actioncache.dat";

namespace {

const int kCacheBufferSize = 4096;

CString FullPath(LPCTSTR path)
{
#ifdef _WIN32
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path, MAX_PATH, full, nullptr);
    return length && length < MAX_PATH ? CString(full) : CString(path);
#else
    char folder[4096];
    if (path[0] == '/' || !getcwd(folder, sizeof folder))
        return path;
    return CString(folder) + "/" + path;
#endif
}

// A name beside the target that no other writer uses: the process's number in it.
CString TemporaryName(const CString& path)
{
    CString name;
#ifdef _WIN32
    name.Format("%s.%lu.tmp", path.GetString(), static_cast<unsigned long>(GetCurrentProcessId()));
#else
    name.Format("%s.%lu.tmp", path.GetString(), static_cast<unsigned long>(getpid()));
#endif
    return name;
}

// The bytes go to a file of this writer's own beside the target, reach the
// disk, and only then take the target's place.
BOOL ReplaceCacheFile(const CString& path, const std::vector<BYTE>& bytes)
{
    const CString temporary = TemporaryName(path);
#ifdef _WIN32
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    ok = ok && MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok)
        DeleteFileA(temporary);
#else
    std::FILE* file = std::fopen(temporary, "wb");
    if (!file)
        return FALSE;
    // The host build serves tests and fuzzing only: no wait for the disk.
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0;
    ok = std::fclose(file) == 0 && ok;
    ok = ok && std::rename(temporary, path) == 0;
    if (!ok)
        std::remove(temporary);
#endif
    return ok ? TRUE : FALSE;
}

bool FileExists(const CString& path)
{
#ifdef _WIN32
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
#else
    struct stat status;
    return stat(path, &status) == 0;
#endif
}

// A file there, not a folder: one that could not be opened is held by
// another program.
bool IsFile(const CString& path)
{
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
#else
    struct stat status;
    return stat(path, &status) == 0 && S_ISREG(status.st_mode);
#endif
}

// Moves the file to the first free name of its own with ".unread" and a
// number behind it; that name, or empty when it could not be moved.
CString MoveAside(const CString& path)
{
    for (int n = 1; n < 100; ++n) {
        CString aside;
        aside.Format("%s.unread%d", path.GetString(), n);
        if (FileExists(aside))
            continue;
#ifdef _WIN32
        if (MoveFileA(path, aside))
            return aside;
#else
        if (std::rename(path, aside) == 0)
            return aside;
#endif
        break;
    }
    return CString();
}

} // namespace

CWebActionList::CWebActionList() : m_strCachePath(FullPath(kWebActionCacheFile))
{
    LoadCache();
}

CWebActionList::CWebActionList(LPCTSTR cachePath) : m_strCachePath(cachePath)
{
    LoadCache();
}

int CWebActionList::NewId() const
{
    // Normally one past the count; past any id still held after removals or
    // from the cache, so that every entry keeps an id of its own.
    int id = GetCount() + 1;
    while (std::any_of(m_actions.begin(), m_actions.end(), [id](const CWebActionJug& a) { return a.m_nId == id; }))
        ++id;
    return id;
}

int CWebActionList::Add(CWebActionJug& action)
{
    if (action.m_nFlags & CWebActionJug::flagNoQueue)
        return 0;
    action.m_nId = NewId();
    m_actions.emplace_back();
    // A copy cut short by a failure leaves no half entry to be sent again.
    try {
        m_actions.back().CopyWhole(action);
    } catch (...) {
        m_actions.pop_back();
        throw;
    }
    SaveCache();
    return GetCount();
}

CWebActionJug* CWebActionList::Find(int id)
{
    for (CWebActionJug& action : m_actions) {
        if (action.m_nId == id)
            return &action;
    }
    return nullptr;
}

int CWebActionList::Remove(int id)
{
    auto found = std::find_if(m_actions.begin(), m_actions.end(),
                              [id](const CWebActionJug& action) { return action.m_nId == id; });
    if (found != m_actions.end()) {
        m_actions.erase(found);
        SaveCache();
    }
    return 1;
}

int CWebActionList::LoadCache()
{
    return LoadCache(m_strCachePath);
}

int CWebActionList::LoadCache(LPCTSTR path)
{
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::typeBinary)) {
        // There, but not to be opened now: what it holds must not be
        // written over, and it is read once it can be.
        if (m_strCachePath == path)
            m_bHeld = IsFile(m_strCachePath);
        return GetCount();
    }
    if (m_strCachePath == path)
        m_bHeld = FALSE;
    bool whole = true;
    try {
        if (file.GetLength() > 0) {
            CArchive ar(&file, CArchive::load, kCacheBufferSize);
            whole = LoadObjects(ar);
        }
    } catch (CException* e) {
        e->Delete();
        whole = false;
    }
    // What could not be read must not be written over.
    if (!whole && m_strCachePath == path)
        m_bUnread = TRUE;
    return GetCount();
}

int CWebActionList::LoadCache(CArchive& ar)
{
    LoadObjects(ar);
    return GetCount();
}

bool CWebActionList::LoadObjects(CArchive& ar)
{
    // The objects read stay alive until the end: a damaged file may name one
    // of them again by its archive index, which then ends the loading.
    std::vector<std::unique_ptr<CWebActionJug>> read;
    try {
        for (;;) {
            CWebActionJug* action = nullptr;
            ar >> action;
            if (!action)
                return true;
            bool again = std::any_of(read.begin(), read.end(),
                                     [action](const std::unique_ptr<CWebActionJug>& p) { return p.get() == action; });
            if (again)
                return false;
            read.emplace_back(action);
            if (action->m_nId <= 0 || Find(action->m_nId))
                action->m_nId = NewId();
            m_actions.emplace_back();
            m_actions.back().CopyWhole(*action);
        }
    } catch (CException* e) {
        e->Delete();
    }
    return false;
}

void CWebActionList::StoreCache(CArchive& ar) const
{
    for (const CWebActionJug& action : m_actions)
        ar << &action;
    ar << static_cast<const CObject*>(nullptr);
}

BOOL CWebActionList::ReadHeldCache()
{
    if (!m_bHeld)
        return TRUE;
    LoadCache(m_strCachePath);
    if (m_bHeld)
        return FALSE;
    // What was kept meanwhile joins what the file held.
    if (!m_bSaved)
        SaveCache();
    return TRUE;
}

BOOL CWebActionList::SaveCache()
{
    if (m_bHeld && !ReadHeldCache()) {
        m_bSaved = FALSE;
        return FALSE;
    }
    if (m_bUnread) {
        m_strKeptAside = MoveAside(m_strCachePath);
        if (m_strKeptAside.IsEmpty() && FileExists(m_strCachePath)) {
            m_bSaved = FALSE;
            return FALSE;
        }
        m_bUnread = FALSE;
    }
    // Saved only once a whole write has replaced the file: a write that
    // fails on the way is done again at the exit.
    m_bSaved = FALSE;
    CMemFile bytes;
    try {
        CArchive ar(&bytes, CArchive::store, kCacheBufferSize);
        StoreCache(ar);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    m_bSaved = ReplaceCacheFile(m_strCachePath, bytes.GetData());
    return m_bSaved;
}
