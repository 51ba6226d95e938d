#include "DatastoreItem.h"

#include <cstring>

#include "QuotedFields.h"

void CDatastoreItem::setField(QuiTaggedField* field)
{
    QuiItem::setField(field);
}

void CDatastoreItem::toRecord(QuiTaggedField* record)
{
    QuiItem::toRecord(record);
}

LPCSTR CDatastoreItem::GetFieldText(int i)
{
    if (i < 0 || static_cast<size_t>(i) >= m_fields.size())
        return "";
    return m_fields[static_cast<size_t>(i)];
}

bool CDatastoreItem::HasFields()
{
    return !m_fields.empty();
}

std::vector<CString> CDatastoreItem::SplitLine(char* line)
{
    std::vector<CString> result;
    if (!line)
        return result;
    // Every field needs at least one character or separator, plus the end mark.
    std::vector<char*> starts(std::strlen(line) + 2);
    int count = SplitCsvLine(line, starts.data(), static_cast<int>(starts.size()));
    for (int i = 0; i < count; ++i)
        result.emplace_back(UnquoteCsvField(starts[static_cast<size_t>(i)]));
    return result;
}

void CDatastoreItem::SetFieldsFromLine(char* line, int count)
{
    std::vector<CString> fields = SplitLine(line);
    fields.resize(count > 0 ? static_cast<size_t>(count) : 0);
    m_fields.swap(fields);
}

void CDatastoreItem::SetFieldText(int i, LPCSTR text)
{
    if (i < 0)
        return;
    if (static_cast<size_t>(i) >= m_fields.size())
        m_fields.resize(static_cast<size_t>(i) + 1);
    m_fields[static_cast<size_t>(i)] = text ? text : "";
}
