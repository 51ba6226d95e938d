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

// The volume and index of an existing file or folder: the same for every
// path that reaches it, short names, other cases and hard links among them.
UpdateFolders::FileId IdentityOf(LPCSTR lpszPath)
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
    }
    ::CloseHandle(file);
    return id;
}

} // namespace

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
        if (item.known && item.volume == id.volume && item.high == id.high && item.low == id.low)
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

void ApplyUpdateLine(char* line, const UpdateFolders& folders, UpdateResult& result)
{
    size_t length = std::strlen(line);
    if (length && line[length - 1] == '\r')
        line[length - 1] = '\0';
    char* fields[3] = {};
    if (SplitCsvLine(line, fields, 3) < 2)
        return;
    CString source, destination;
    if (!folders.AcceptSource(UnquoteCsvField(fields[0]), source) ||
        !folders.AcceptDestination(UnquoteCsvField(fields[1]), source, destination))
        return;
    BOOL bNew = ::GetFileAttributesA(destination) == INVALID_FILE_ATTRIBUTES;
    if (!::CopyFileA(source, destination, FALSE)) {
        result.failed.Add(destination);
        return;
    }
    result.bCopied = TRUE;
    if (bNew)
        result.newFiles.Add(destination);
    ::DeleteFileA(source);
}

void ApplyUpdateList(char* text, const UpdateFolders& folders, UpdateResult& result)
{
    for (char* line = text; *line;) {
        char* end = std::strchr(line, '\n');
        char* next = end ? end + 1 : line + std::strlen(line);
        if (end)
            *end = '\0';
        ApplyUpdateLine(line, folders, result);
        line = next;
    }
}
