#include "KeynoteFiler.h"

#include <vector>

#include "GodwitDispIds.h"

namespace {

// The record's properties that filing reads.
const wchar_t* const kPropertyNames[] = {
    L"AlarmAdvance", L"AlarmAdvanceUnit", L"Body",     L"Completed",    L"DueDate", L"StartDate", L"EndDate",
    L"JournalCategory", L"Note",          L"Priority", L"TaskCategory", L"Private", L"Type",
};

const int kCategoryLimit = 1023;

}  // namespace

CString AnsiText(const wchar_t* text, UINT length, int limit)
{
    if (!text || length == 0)
        return CString();
    const int wide = static_cast<int>(length);
    const int size = WideCharToMultiByte(CP_ACP, 0, text, wide, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return CString();
    std::vector<char> bytes(static_cast<size_t>(size) + 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, text, wide, bytes.data(), size, nullptr, nullptr);
    if (limit > 0 && size > limit)
        bytes[static_cast<size_t>(limit)] = '\0';
    return CString(bytes.data());
}

CString CategoryText(const VARIANT& value)
{
    if (value.vt == VT_BSTR)
        return AnsiText(value.bstrVal, SysStringLen(value.bstrVal), kCategoryLimit);
    if (value.vt != (VT_ARRAY | VT_BSTR) || !value.parray || SafeArrayGetDim(value.parray) != 1)
        return CString();
    // The array's own type, not only the label: an element is copied out as
    // the array holds it, and a variant is larger than the text asked for.
    VARTYPE stored = VT_EMPTY;
    if (FAILED(SafeArrayGetVartype(value.parray, &stored)) || stored != VT_BSTR)
        return CString();
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(value.parray, 1, &lower);
    SafeArrayGetUBound(value.parray, 1, &upper);
    // An empty list names no category.
    if (upper < lower)
        return CString();
    BSTR first = nullptr;
    if (FAILED(SafeArrayGetElement(value.parray, &lower, &first)))
        return CString();
    CString text = AnsiText(first, SysStringLen(first), kCategoryLimit);
    SysFreeString(first);
    return text;
}

KeynoteFiler::KeynoteFiler(PilotManager& manager)
    : m_manager(manager), m_cache(kPropertyNames, sizeof kPropertyNames / sizeof kPropertyNames[0])
{
}

short KeynoteFiler::File(IDispatch* keynote)
{
    if (!keynote || !m_cache.Fill(keynote))
        return 1;
    const long type = Long(keynote, L"Type");
    int result = 1;
    if (type & GODWIT_TYPE_TODO)
        result = FileTodo(keynote);
    if (type & GODWIT_TYPE_JOURNAL)
        result = FileMemo(keynote);
    if (type & GODWIT_TYPE_CALENDAR)
        result = FileDateBook(keynote);
    return static_cast<short>(result);
}

int KeynoteFiler::FileTodo(IDispatch* keynote)
{
    TodoItem item;
    item.description = Text(keynote, L"Body");
    item.isPrivate = Long(keynote, L"Private");
    item.priority = Long(keynote, L"Priority");
    item.dueDate = Date(keynote, L"DueDate");
    item.category = Category(keynote, L"TaskCategory");
    item.completed = Long(keynote, L"Completed");
    item.note = Text(keynote, L"Note");
    return m_manager.AddTodoItem(&item);
}

int KeynoteFiler::FileMemo(IDispatch* keynote)
{
    MemoItem item;
    item.text = Text(keynote, L"Body");
    item.isPrivate = Long(keynote, L"Private");
    item.category = Category(keynote, L"JournalCategory");
    return m_manager.AddMemoItem(&item);
}

int KeynoteFiler::FileDateBook(IDispatch* keynote)
{
    DateBookItem item;
    item.description = Text(keynote, L"Body");
    item.note = Text(keynote, L"Note");
    item.isPrivate = Long(keynote, L"Private");
    item.start = Date(keynote, L"StartDate");
    item.end = Date(keynote, L"EndDate");
    item.alarmAdvance = Long(keynote, L"AlarmAdvance");
    // -1 keeps Palm Desktop's own alarm, whose unit is its own too.
    if (item.alarmAdvance != -1)
        item.alarmUnit = Long(keynote, L"AlarmAdvanceUnit");
    return m_manager.AddDateBookItem(&item);
}

bool KeynoteFiler::Read(IDispatch* keynote, const wchar_t* name, VARTYPE type, VARIANT* value)
{
    VariantInit(value);
    if (FAILED(m_cache.Read(keynote, name, value)))
        return false;
    if (type == VT_VARIANT || value->vt == type)
        return true;
    if (SUCCEEDED(VariantChangeType(value, value, 0, type)))
        return true;
    VariantClear(value);
    return false;
}

long KeynoteFiler::Long(IDispatch* keynote, const wchar_t* name)
{
    VARIANT value;
    return Read(keynote, name, VT_I4, &value) ? value.lVal : 0;
}

double KeynoteFiler::Date(IDispatch* keynote, const wchar_t* name)
{
    VARIANT value;
    return Read(keynote, name, VT_DATE, &value) ? value.date : 0.0;
}

CString KeynoteFiler::Text(IDispatch* keynote, const wchar_t* name)
{
    VARIANT value;
    if (!Read(keynote, name, VT_BSTR, &value))
        return CString();
    CString text = AnsiText(value.bstrVal, SysStringLen(value.bstrVal));
    VariantClear(&value);
    return text;
}

CString KeynoteFiler::Category(IDispatch* keynote, const wchar_t* name)
{
    VARIANT value;
    if (!Read(keynote, name, VT_VARIANT, &value))
        return CString();
    CString text = CategoryText(value);
    VariantClear(&value);
    return text;
}
