#include "QuiRegistry.h"

#include <cstring>
#include <string>
#include <vector>

namespace {
bool IsTextType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

size_t TextLength(const BYTE* data, size_t capacity)
{
    return strnlen(reinterpret_cast<const char*>(data), capacity);
}

// Records filled by hand may claim more than their field holds.
DWORD DataSize(const QuiRegValue& record)
{
    return record.size < QUI_REG_FIELD ? record.size : QUI_REG_FIELD;
}

void CopyText(char* field, const char* text)
{
    size_t length = text ? strnlen(text, QUI_REG_FIELD - 1) : 0;
    if (length)
        std::memmove(field, text, length);
    std::memset(field + length, 0, QUI_REG_FIELD - length);
}

// Reads the value aside into `value` (cut to what was read), so that the
// caller's buffer changes only on success.
bool ReadAside(HKEY root, const char* subKey, const char* name, DWORD size, std::vector<BYTE>& value, DWORD& type)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    value.assign(size, 0);
    DWORD read = size;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, value.data(), &read);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return false;
    value.resize(read < size ? read : size);
    return true;
}

// A text read aside, terminated inside the caller's buffer; false when it
// does not fit with its terminator.
bool TakeText(const std::vector<BYTE>& value, char* buffer, DWORD size)
{
    size_t length = TextLength(value.data(), value.size());
    if (length >= size)
        return false;
    std::memcpy(buffer, value.data(), length);
    buffer[length] = 0;
    return true;
}
} // namespace

QuiRegistry::QuiRegistry() : m_key(nullptr), m_openResult(ERROR_SUCCESS) {}

QuiRegistry::~QuiRegistry()
{
    CloseKey(true);
}

const char* QuiRegistry::GetRootPath()
{
    return "Software\\Quillmate";
}

HKEY QuiRegistry::GetRootKey()
{
    return HKEY_CURRENT_USER;
}

void QuiRegistry::FillTable(QuiRegValue* table, const QuiRegDefault* defaults, int count)
{
    for (int i = 0; i < count; ++i) {
        const QuiRegDefault& d = defaults[i];
        QuiRegValue& r = table[i];
        CopyText(r.subKey, d.subKey);
        CopyText(r.name, d.name);
        r.type = d.type;
        r.size = d.size;
        r.size = DataSize(r);
        std::memset(r.data, 0, sizeof(r.data));
        if (d.type == REG_DWORD)
            std::memcpy(r.data, &d.number, sizeof(d.number));
        else if (d.type == REG_SZ)
            CopyText(reinterpret_cast<char*>(r.data), d.text);
        else if (d.text)
            std::memcpy(r.data, d.text, r.size);
    }
}

HKEY QuiRegistry::OpenKey()
{
    if (m_key)
        return m_key;
    std::string path = GetRootPath();
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    path += GetSubKey();
    m_openResult = RegCreateKeyExA(GetRootKey(), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_READ | KEY_WRITE, nullptr, &m_key, nullptr);
    if (m_openResult != ERROR_SUCCESS)
        m_key = nullptr;
    return m_key;
}

void QuiRegistry::CloseKey(bool close)
{
    if (close && m_key) {
        RegCloseKey(m_key);
        m_key = nullptr;
    }
}

void QuiRegistry::LoadAll()
{
    OpenKey();
    for (int i = 0, n = GetValueCount(); i < n; ++i)
        ReadValue(i);
}

void QuiRegistry::SaveAll()
{
    OpenKey();
    for (int i = 0, n = GetValueCount(); i < n; ++i)
        WriteValue(i);
}

void QuiRegistry::SaveChanged()
{
    if (!GetValueTable())
        return;
    OpenKey();
    TrackRecords();
    for (int i = 0, n = GetValueCount(); i < n; ++i) {
        if (DiffersFromKnown(i) || IsMissing(i))
            WriteValue(i);
    }
}

void QuiRegistry::TrackRecords()
{
    QuiRegValue* table = GetValueTable();
    const int count = GetValueCount();
    if (!table || count < 0 || m_known.size() == static_cast<size_t>(count))
        return;
    m_known.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        std::memcpy(m_known[static_cast<size_t>(i)].data, table[i].data, QUI_REG_FIELD);
}

void QuiRegistry::Remember(int index)
{
    QuiRegValue* record = Record(index);
    if (record && static_cast<size_t>(index) < m_known.size())
        std::memcpy(m_known[static_cast<size_t>(index)].data, record->data, QUI_REG_FIELD);
}

bool QuiRegistry::DiffersFromKnown(int index)
{
    QuiRegValue* record = Record(index);
    if (!record || static_cast<size_t>(index) >= m_known.size())
        return false;
    const BYTE* known = m_known[static_cast<size_t>(index)].data;
    if (record->type == REG_SZ)
        return std::strncmp(reinterpret_cast<const char*>(record->data), reinterpret_cast<const char*>(known),
                            QUI_REG_FIELD) != 0;
    return std::memcmp(record->data, known, DataSize(*record)) != 0;
}

bool QuiRegistry::IsMissing(int index)
{
    QuiRegValue* record = nullptr;
    HKEY key = nullptr;
    if (OpenRecord(index, &record, &key) != ERROR_SUCCESS)
        return false;
    LONG result = RegQueryValueExA(key, record->name, nullptr, nullptr, nullptr, nullptr);
    CloseRecordKey(key);
    return result == ERROR_FILE_NOT_FOUND;
}

QuiRegValue* QuiRegistry::Record(int index)
{
    QuiRegValue* table = GetValueTable();
    if (!table || index < 0 || index >= GetValueCount())
        return nullptr;
    // Before the first change of any record: its defaults are what was known.
    TrackRecords();
    return &table[index];
}

LONG QuiRegistry::OpenRecord(int index, QuiRegValue** record, HKEY* key)
{
    *record = Record(index);
    if (!*record)
        return ERROR_INVALID_PARAMETER;
    HKEY classKey = OpenKey();
    if (!classKey)
        return m_openResult != ERROR_SUCCESS ? m_openResult : ERROR_INVALID_HANDLE;
    if (!(*record)->subKey[0]) {
        *key = classKey;
        return ERROR_SUCCESS;
    }
    return RegCreateKeyExA(classKey, (*record)->subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                           nullptr, key, nullptr);
}

void QuiRegistry::CloseRecordKey(HKEY key)
{
    if (key != m_key)
        RegCloseKey(key);
}

LONG QuiRegistry::ReadValue(int index)
{
    QuiRegValue* record = nullptr;
    HKEY key = nullptr;
    LONG result = OpenRecord(index, &record, &key);
    if (result != ERROR_SUCCESS)
        return result;

    // Read aside: a failed read must leave the record's data as it was.
    BYTE buffer[QUI_REG_FIELD] = {};
    DWORD type = 0, size = sizeof(buffer);
    result = RegQueryValueExA(key, record->name, nullptr, &type, buffer, &size);
    CloseRecordKey(key);
    if (result != ERROR_SUCCESS)
        return result;

    if (record->type == REG_SZ) {
        // A text record takes only a text that ends inside its field.
        if (!IsTextType(type))
            return ERROR_INVALID_DATATYPE;
        size_t length = TextLength(buffer, size);
        if (length >= QUI_REG_FIELD)
            return ERROR_MORE_DATA;
        std::memcpy(record->data, buffer, length);
        std::memset(record->data + length, 0, QUI_REG_FIELD - length);
    } else {
        std::memcpy(record->data, buffer, size);
    }
    Remember(index);
    return ERROR_SUCCESS;
}

LONG QuiRegistry::WriteValue(int index)
{
    QuiRegValue* record = nullptr;
    HKEY key = nullptr;
    LONG result = OpenRecord(index, &record, &key);
    if (result != ERROR_SUCCESS)
        return result;

    DWORD size = DataSize(*record);
    if (record->type == REG_SZ) {
        record->data[QUI_REG_FIELD - 1] = 0;
        size = static_cast<DWORD>(TextLength(record->data, QUI_REG_FIELD) + 1);
    }
    result = RegSetValueExA(key, record->name, 0, record->type, record->data, size);
    CloseRecordKey(key);
    if (result == ERROR_SUCCESS)
        Remember(index);
    return result;
}

void* QuiRegistry::GetValue(int index, bool reload)
{
    QuiRegValue* record = Record(index);
    if (!record)
        return nullptr;
    if (reload)
        ReadValue(index);
    return record->data;
}

LONG QuiRegistry::SetValue(int index, const void* data)
{
    QuiRegValue* record = Record(index);
    if (!record || !data)
        return ERROR_INVALID_PARAMETER;
    if (record->type == REG_SZ)
        CopyText(reinterpret_cast<char*>(record->data), static_cast<const char*>(data));
    else
        std::memmove(record->data, data, DataSize(*record));
    return WriteValue(index);
}

bool QuiRegistry::QueryValue(HKEY root, const char* subKey, const char* name, void* buffer, DWORD size)
{
    std::vector<BYTE> value;
    DWORD type = 0;
    if (!buffer || size == 0 || !ReadAside(root, subKey, name, size, value, type))
        return false;
    if (IsTextType(type))
        return TakeText(value, static_cast<char*>(buffer), size);
    std::memcpy(buffer, value.data(), value.size());
    return true;
}

bool QuiRegistry::QueryText(HKEY root, const char* subKey, const char* name, char* buffer, DWORD size)
{
    std::vector<BYTE> value;
    DWORD type = 0;
    // A number or a block read as text would run past its end.
    if (!buffer || size == 0 || !ReadAside(root, subKey, name, size, value, type) || !IsTextType(type))
        return false;
    return TakeText(value, buffer, size);
}
