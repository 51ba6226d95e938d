#include "PimItems.h"

namespace {

// The item stands for itself by its keywords and by its name.
const int kNameAndKeywordsBits = 0x1 | 0x2;

void NameItem(QuiItem& item, const char* name, bool asKeyword)
{
    item.setDisplayName(name);
    if (asKeyword && *name)
        item.keywordsAdd(name);
    item.modifyFlags(kNameAndKeywordsBits, true);
}

} // namespace

CString QuiContactDisplayName(const char* first, const char* last)
{
    CString name = last ? last : "";
    CString given = first ? first : "";
    if (!name.IsEmpty() && !given.IsEmpty())
        return name + ", " + given;
    return name.IsEmpty() ? given : name;
}

void COzuContact::FromCsvLine(char* line)
{
    SetFieldsFromLine(line, LINE_FIELDS);
    SetFieldText(FIELDS - 1, "");
    NameItem(*this, QuiContactDisplayName(GetFieldText(1), GetFieldText(2)), true);
}

void COzuJournalFolder::FromCsvLine(char* line)
{
    SetFieldsFromLine(line, 2);
    NameItem(*this, GetFieldText(1), false);
}

void COzuTodoCategory::FromCsvLine(char* line)
{
    SetFieldsFromLine(line, 2);
    SetFieldText(1, "");
    NameItem(*this, GetFieldText(0), false);
}

void CIbeContact::FromCsvLine(char* line)
{
    SetFieldsFromLine(line, FIELDS);
    // Text fields 0 and 6 are not taken from the line.
    SetFieldText(0, "");
    SetFieldText(6, "");
    NameItem(*this, QuiContactDisplayName(GetFieldText(1), GetFieldText(2)), false);
}

void CIbeTodoCategory::FromCsvLine(char* line)
{
    SetFieldsFromLine(line, 2);
    NameItem(*this, GetFieldText(0), false);
}

void CRukJournalFolder::FromCsvLine(char* line)
{
    SetFieldsFromLine(line, 2);
    NameItem(*this, GetFieldText(1), true);
}
