#include "UpdateList.h"

#include <cstring>
#include <vector>

#include "ConnectorFile.h"
#include "QuotedFields.h"

namespace {

CString FullPath(LPCSTR lpszPath)
{
    DWORD size = ::GetFullPathNameA(lpszPath, 0, nullptr, nullptr);
    if (!size)
        return CString();
    std::vector<char> buffer(size + 1);
    DWORD length = ::GetFullPathNameA(lpszPath, size + 1, buffer.data(), nullptr);
    return length && length <= size ? CString(buffer.data()) : CString();
}

CString WithClosingBackslash(CString folder)
{
    if (folder.IsEmpty() || folder[folder.GetLength() - 1] != '\\')
        folder += '\\';
    return folder;
}

// A folder setting, or the current folder while it is empty, resolved with a
// closing backslash.
CString ResolvedFolder(LPCSTR lpszSetting)
{
    return WithClosingBackslash(FullPath(lpszSetting && *lpszSetting ? lpszSetting : "."));
}

BOOL HasExtension(const CString& path, const char* const* extensions)
{
    int dot = path.ReverseFind('.');
    if (dot < 0 || path.Find('\\', dot) >= 0)
        return FALSE;
    CString ext = path.Mid(dot);
    for (; *extensions; ++extensions)
        if (ext.CompareNoCase(*extensions) == 0)
            return TRUE;
    return FALSE;
}

const char* const kConnectorExtensions[] = {".xml", nullptr};
const char* const kPictureExtensions[] = {".gif", ".jpg", ".jpeg", ".png", ".bmp", ".ico", nullptr};

} // namespace

// The volume and index of an existing file or folder: the same for every
// path that reaches it, short names, other cases and hard links among them.
UpdateFolders::FileId UpdateFolders::IdentityOf(LPCSTR lpszPath)
{
    UpdateFolders::FileId id;
    HANDLE file = ::CreateFileA(lpszPath, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return id;
    BY_HANDLE_FILE_INFORMATION info;
    if (::GetFileInformationByHandle(file, &info)) {
        id.known = true;
        id.volume = info.dwVolumeSerialNumber;
        id.high = info.nFileIndexHigh;
        id.low = info.nFileIndexLow;
        id.sizeHigh = info.nFileSizeHigh;
        id.sizeLow = info.nFileSizeLow;
        id.written = info.ftLastWriteTime;
    }
    ::CloseHandle(file);
    return id;
}

bool UpdateFolders::FileId::SameFile(const FileId& other) const
{
    return known && other.known && volume == other.volume && high == other.high && low == other.low;
}

bool UpdateFolders::FileId::Unchanged(const FileId& other) const
{
    return SameFile(other) && sizeHigh == other.sizeHigh && sizeLow == other.sizeLow &&
           written.dwLowDateTime == other.written.dwLowDateTime &&
           written.dwHighDateTime == other.written.dwHighDateTime;
}

BOOL ResolveInFolder(LPCSTR lpszPath, LPCSTR lpszFolder, CString& resolved)
{
    resolved.Empty();
    if (!lpszPath || !*lpszPath || !lpszFolder || !*lpszFolder)
        return FALSE;
    // Device and stream names, wildcards and the long-path prefixes are never a fetched file.
    CString path(lpszPath);
    if (path.FindOneOf("*?\"<>|") >= 0 || path.Find(':', 2) >= 0 || path.Left(4) == "\\\\?\\" ||
        path.Left(4) == "\\\\.\\")
        return FALSE;
    CString full = FullPath(path);
    int slash = full.ReverseFind('\\');
    if (slash < 0 || slash + 1 == full.GetLength())
        return FALSE;
    CString folder = WithClosingBackslash(CString(lpszFolder));
    if (full.Left(slash + 1).CompareNoCase(folder) != 0)
        return FALSE;
    resolved = full;
    return TRUE;
}

UpdateFolders::UpdateFolders(LPCSTR lpszDownload, LPCSTR lpszConnectors, LPCSTR lpszPictures,
                             LPCSTR lpszSystemItems, LPCSTR lpszKeywords)
    : m_download(ResolvedFolder(lpszDownload)),
      m_connectors(ResolvedFolder(lpszConnectors)),
      m_pictures(ResolvedFolder(lpszPictures))
{
    LPCSTR itemFiles[2] = {lpszSystemItems, lpszKeywords};
    for (int i = 0; i < 2; ++i) {
        if (itemFiles[i] && *itemFiles[i])
            m_itemFiles[i] = FullPath(itemFiles[i]);
        if (!m_itemFiles[i].IsEmpty())
            m_itemIds[i] = IdentityOf(m_itemFiles[i]);
    }
}

BOOL UpdateFolders::AcceptSource(LPCSTR lpszPath, CString& resolved) const
{
    if (!ResolveInFolder(lpszPath, m_download, resolved))
        return FALSE;
    DWORD attributes = ::GetFileAttributesA(resolved);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// By name for an item file that does not exist yet; by identity for any
// other name of one that does. A destination that exists but cannot be
// told apart is taken for one.
BOOL UpdateFolders::IsItemFile(const CString& path) const
{
    for (const CString& itemFile : m_itemFiles)
        if (!itemFile.IsEmpty() && path.CompareNoCase(itemFile) == 0)
            return TRUE;
    if (::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return FALSE;
    FileId id = IdentityOf(path);
    if (!id.known)
        return TRUE;
    for (const FileId& item : m_itemIds)
        if (item.SameFile(id))
            return TRUE;
    return FALSE;
}

BOOL UpdateFolders::AcceptDestination(LPCSTR lpszPath, const CString& source, CString& resolved) const
{
    if (ResolveInFolder(lpszPath, m_connectors, resolved) && HasExtension(resolved, kConnectorExtensions)) {
        char* text = nullptr;
        int isConnector = ReadConnectorFile(source, &text);
        delete[] text;
        if (isConnector)
            return !IsItemFile(resolved);
    }
    return ResolveInFolder(lpszPath, m_pictures, resolved) && HasExtension(resolved, kPictureExtensions) &&
           !IsItemFile(resolved);
}

namespace {

// One line of the list, its line end cut: the entry it makes, or FALSE.
BOOL PlanUpdateLine(char* line, const UpdateFolders& folders, UpdateEntry& entry)
{
    size_t length = std::strlen(line);
    if (length && line[length - 1] == '\r')
        line[length - 1] = '\0';
    char* fields[3] = {};
    if (SplitCsvLine(line, fields, 3) < 2)
        return FALSE;
    if (!folders.AcceptSource(UnquoteCsvField(fields[0]), entry.source) ||
        !folders.AcceptDestination(UnquoteCsvField(fields[1]), entry.source, entry.destination))
        return FALSE;
    entry.fetched = UpdateFolders::IdentityOf(entry.source);
    entry.bReplaces = ::GetFileAttributesA(entry.destination) != INVALID_FILE_ATTRIBUTES;
    return entry.fetched.known;
}

// A second line for a source or a destination already planned: the first
// one's copy would take the source away, or be overwritten unseen.
bool Planned(const UpdatePlan& plan, const UpdateEntry& entry)
{
    for (const UpdateEntry& planned : plan)
        if (planned.source.CompareNoCase(entry.source) == 0 ||
            planned.destination.CompareNoCase(entry.destination) == 0)
            return true;
    return false;
}

} // namespace

void PlanUpdateList(char* text, const UpdateFolders& folders, UpdatePlan& plan)
{
    for (char* line = text; *line;) {
        char* end = std::strchr(line, '\n');
        char* next = end ? end + 1 : line + std::strlen(line);
        if (end)
            *end = '\0';
        UpdateEntry entry;
        if (PlanUpdateLine(line, folders, entry) && !Planned(plan, entry))
            plan.push_back(entry);
        line = next;
    }
}

void ApplyUpdatePlan(const UpdatePlan& plan, const UpdateFolders& folders, UpdateResult& result)
{
    for (const UpdateEntry& entry : plan) {
        CString source, destination;
        if (!folders.AcceptSource(entry.source, source) ||
            !folders.AcceptDestination(entry.destination, source, destination) ||
            !UpdateFolders::IdentityOf(source).Unchanged(entry.fetched))
            continue;
        BOOL bNew = ::GetFileAttributesA(destination) == INVALID_FILE_ATTRIBUTES;
        if (!::CopyFileA(source, destination, FALSE)) {
            result.failed.Add(destination);
            continue;
        }
        result.bCopied = TRUE;
        if (bNew)
            result.newFiles.Add(destination);
        ::DeleteFileA(source);
    }
}

void ApplyUpdateList(char* text, const UpdateFolders& folders, UpdateResult& result)
{
    UpdatePlan plan;
    PlanUpdateList(text, folders, plan);
    ApplyUpdatePlan(plan, folders, result);
}
