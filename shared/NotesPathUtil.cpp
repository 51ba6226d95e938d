#include "NotesPathUtil.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

const char kNotesKey[] = "Software\\Lotus\\Notes\\5.0";
const char kAppPathKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\notes.exe";
const char kProductKey[] = "Software\\Quillmate";

// One PATH entry against a folder: the same text when case and trailing
// backslashes are set aside.
bool SameFolder(std::string entry, std::string folder)
{
    while (!entry.empty() && entry.back() == '\\')
        entry.pop_back();
    while (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    return !entry.empty() && lstrcmpiA(entry.c_str(), folder.c_str()) == 0;
}

bool OnPath(const std::string& path, const char* folder)
{
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(';', start);
        if (end == std::string::npos)
            end = path.size();
        if (SameFolder(path.substr(start, end - start), folder))
            return true;
        start = end + 1;
    }
    return false;
}

// The folder part of a program's path: the text before its last backslash;
// FALSE for a path without one.
BOOL CutBeforeLastBackslash(char* path)
{
    char* last = std::strrchr(path, '\\');
    if (!last || last == path)
        return FALSE;
    *last = '\0';
    return TRUE;
}

} // namespace

BOOL NotesPathUtil::ReadRegText(HKEY root, const char* subKey, const char* name, char* out, DWORD outLen)
{
    if (!out || outLen == 0)
        return FALSE;
    out[0] = '\0';
    HKEY key;
    if (RegOpenKeyExA(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return FALSE;
    // One byte more than the caller's buffer: an unterminated text that just
    // fits is still read whole where the registry adds a terminator of its own.
    std::vector<char> value(outLen + 2, '\0');
    DWORD type = 0;
    DWORD size = outLen + 1;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return FALSE;
    // The stored text need not end in a terminator: the buffer has one more.
    value[size] = '\0';
    const char* text = value.data();
    size_t length = std::strlen(text);
    if (length >= 2 && text[0] == '"' && text[length - 1] == '"') {
        ++text;
        length -= 2;
    }
    if (length == 0 || length >= outLen)
        return FALSE;
    std::memcpy(out, text, length);
    out[length] = '\0';
    return TRUE;
}

BOOL NotesPathUtil::HoldsNotesProgram(const char* folder)
{
    std::string path(folder);
    if (path.empty())
        return FALSE;
    if (path.back() != '\\')
        path += '\\';
    path += "notes.exe";
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL NotesPathUtil::AppendToPath(const char* folder)
{
    if (!folder || !folder[0])
        return FALSE;
    std::string path;
    DWORD size = GetEnvironmentVariableA("PATH", nullptr, 0);
    if (size > 0) {
        std::vector<char> old(size + 1, '\0');
        DWORD read = GetEnvironmentVariableA("PATH", old.data(), size);
        if (read < size)
            path.assign(old.data(), read);
    }
    // Reloading the datastore runs the lookup again: the folder goes on once.
    if (OnPath(path, folder))
        return TRUE;
    if (!path.empty() && path.back() != ';')
        path += ';';
    path += folder;
    return SetEnvironmentVariableA("PATH", path.c_str());
}

NotesPathUtil::NotesPathUtil()
{
    BOOL fromNotesKey = FALSE;
    if (ReadRegText(HKEY_LOCAL_MACHINE, kNotesKey, "Path", m_folder, sizeof m_folder)) {
        fromNotesKey = TRUE;
    } else if (ReadRegText(HKEY_LOCAL_MACHINE, kAppPathKey, "Path", m_folder, sizeof m_folder)) {
    } else if (ReadRegText(HKEY_LOCAL_MACHINE, kAppPathKey, nullptr, m_folder, sizeof m_folder)
               && CutBeforeLastBackslash(m_folder)) {
    } else if (ReadRegText(HKEY_CURRENT_USER, kProductKey, "Notes Path", m_folder, sizeof m_folder)
               && HoldsNotesProgram(m_folder)) {
    } else {
        m_folder[0] = '\0';
        return;
    }
    AppendToPath(m_folder);
    char dataFolder[MAX_PATH];
    if (fromNotesKey && ReadRegText(HKEY_LOCAL_MACHINE, kNotesKey, "DataPath", dataFolder, sizeof dataFolder))
        AppendToPath(dataFolder);
    m_bFound = TRUE;
}
