#include "OutlookStore.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace {

// Readers share delete, so that where the system lets a save replace a store
// that is being read, the save goes through.
const DWORD kReaderSharing = FILE_SHARE_READ | FILE_SHARE_DELETE;

// How long a save tries to replace a store that a reader holds open: a
// reader holds it only for its read, and some systems refuse to replace an
// open file whatever it shares.
const DWORD kReplacePatienceMs = 5000;
const DWORD kReplaceRetryMs = 10;

bool ReadOpenFile(HANDLE file, std::string* data)
{
    char buffer[4096];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &read, nullptr))
            return false;
        if (read == 0)
            return true;
        data->append(buffer, read);
    }
}

// The save's own read: closed again before the save replaces the store.
bool ReadWholeFile(const std::wstring& path, std::string* data)
{
    StoreReader reader(path);
    return reader.ReadText(data);
}

bool WriteWholeFile(const std::wstring& path, const std::string& data)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr)
              && written == data.size() && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    return ok;
}

std::string RecordText(const StoreRecord& record)
{
    std::string text = "record " + record.kind + " " + record.action + "\n";
    for (const auto& field : record.fields)
        text += field.first + "=" + EscapeStoreValue(field.second) + "\n";
    return text + "end\n";
}

std::string Unescape(const std::string& value)
{
    std::string plain;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            plain += value[i];
            continue;
        }
        char next = value[++i];
        plain += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return plain;
}

bool ParseStore(const std::string& data, std::vector<StoreRecord>* records)
{
    std::vector<StoreRecord> read;
    bool open = false;
    size_t pos = 0;
    while (pos < data.size()) {
        size_t end = data.find('\n', pos);
        if (end == std::string::npos)
            return false;  // a store always ends its last line
        std::string line = data.substr(pos, end - pos);
        pos = end + 1;
        if (!open) {
            size_t space = line.find(' ', 7);
            if (line.compare(0, 7, "record ") != 0 || space == std::string::npos)
                return false;
            read.push_back({line.substr(7, space - 7), line.substr(space + 1), {}});
            open = true;
        } else if (line == "end") {
            open = false;
        } else {
            size_t equals = line.find('=');
            if (equals == std::string::npos)
                return false;
            read.back().fields.emplace_back(line.substr(0, equals), Unescape(line.substr(equals + 1)));
        }
    }
    if (open)
        return false;
    records->swap(read);
    return true;
}

bool IsHeldOpen(DWORD error)
{
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

bool ReplaceStore(const std::wstring& temporary, const std::wstring& path)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        if (!IsHeldOpen(GetLastError()) || GetTickCount() - start >= kReplacePatienceMs)
            return false;
        Sleep(kReplaceRetryMs);
    }
}

}  // namespace

StoreReader::StoreReader(const std::wstring& path)
    : m_file(CreateFileW(path.c_str(), GENERIC_READ, kReaderSharing, nullptr, OPEN_EXISTING, 0, nullptr)),
      m_missing(m_file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND)
{
}

StoreReader::~StoreReader()
{
    if (m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
}

bool StoreReader::ReadText(std::string* data)
{
    data->clear();
    if (m_file == INVALID_HANDLE_VALUE)
        return m_missing;
    return ReadOpenFile(m_file, data);
}

bool StoreReader::Read(std::vector<StoreRecord>* records)
{
    records->clear();
    std::string data;
    return ReadText(&data) && ParseStore(data, records);
}

std::string EscapeStoreValue(const std::string& value)
{
    std::string escaped;
    for (char c : value) {
        switch (c) {
        case '\\': escaped += "\\\\"; break;
        case '\n': escaped += "\\n"; break;
        case '\r': escaped += "\\r"; break;
        default: escaped += c; break;
        }
    }
    return escaped;
}

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                   nullptr);
    std::string out(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

std::wstring Wide(const std::string& utf8)
{
    if (utf8.empty())
        return std::wstring();
    int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(size > 0 ? size : 0, L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], size);
    return out;
}

bool AppendStoreRecord(const std::wstring& path, const StoreRecord& record)
{
    if (path.empty())
        return false;
    std::string data;
    if (!ReadWholeFile(path, &data))
        return false;
    data += RecordText(record);
    const std::wstring temporary = path + L".tmp";
    if (!WriteWholeFile(temporary, data)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    if (!ReplaceStore(temporary, path)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

bool ReadStore(const std::wstring& path, std::vector<StoreRecord>* records)
{
    StoreReader reader(path);
    return reader.Read(records);
}

std::vector<std::string> DumpStoreLines(const std::vector<StoreRecord>& records)
{
    std::vector<std::string> lines;
    int number = 0;
    for (const StoreRecord& record : records) {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "%04d ", ++number);
        const std::string head = prefix + record.kind + " " + record.action;
        if (record.fields.empty())
            lines.push_back(head);
        for (const auto& field : record.fields)
            lines.push_back(head + " " + field.first + "=" + EscapeStoreValue(field.second));
    }
    std::stable_sort(lines.begin(), lines.end());
    return lines;
}
