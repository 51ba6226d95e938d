#include "KeynoteFiler.h"

#include <vector>

#include "GodwitDispIds.h"

namespace {

const int kCategoryLimit = 1023;

short Short(const COleDispatchDriver& record, DISPID member)
{
    short value = 0;
    record.GetProperty(member, VT_I2, &value);
    return value;
}

CString Category(const COleDispatchDriver& record, DISPID member)
{
    VARIANT value;
    VariantInit(&value);
    record.GetProperty(member, VT_VARIANT, &value);
    CString text;
    try {
        text = CategoryText(value);
    } catch (...) {
        VariantClear(&value);
        throw;
    }
    VariantClear(&value);
    return text;
}

// One entry's run: a member the record does not answer files nothing.
template <class Run> int Filed(const Run& run)
{
    try {
        return run();
    } catch (CException* e) {
        e->Delete();
        return 0;
    }
}

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

short KeynoteFiler::File(IDispatch* keynote)
{
    if (!keynote)
        return 1;
    const COleDispatchDriver record(keynote, FALSE);
    long type = 0;
    try {
        record.GetProperty(DISPID_GODWIT_TYPE, VT_I4, &type);
    } catch (CException* e) {
        e->Delete();
        return 0;
    }
    int result = 1;
    if (type & GODWIT_TYPE_TODO)
        result = Filed([&] { return FileTodo(record); });
    if (type & GODWIT_TYPE_JOURNAL)
        result = Filed([&] { return FileMemo(record); });
    if (type & GODWIT_TYPE_CALENDAR)
        result = Filed([&] { return FileDateBook(record); });
    return static_cast<short>(result);
}

int KeynoteFiler::FileTodo(const COleDispatchDriver& record)
{
    TodoItem item;
    record.GetProperty(DISPID_GODWIT_BODY, VT_BSTR, &item.description);
    item.isPrivate = Short(record, DISPID_GODWIT_PRIVATE);
    item.priority = Short(record, DISPID_GODWIT_PRIORITY);
    record.GetProperty(DISPID_GODWIT_DUEDATE, VT_DATE, &item.dueDate);
    item.category = Category(record, DISPID_GODWIT_TASKCATEGORY);
    item.completed = Short(record, DISPID_GODWIT_COMPLETED);
    record.GetProperty(DISPID_GODWIT_NOTE, VT_BSTR, &item.note);
    return m_manager.AddTodoItem(&item);
}

int KeynoteFiler::FileMemo(const COleDispatchDriver& record)
{
    MemoItem item;
    record.GetProperty(DISPID_GODWIT_BODY, VT_BSTR, &item.text);
    item.isPrivate = Short(record, DISPID_GODWIT_PRIVATE);
    item.category = Category(record, DISPID_GODWIT_JOURNALCATEGORY);
    return m_manager.AddMemoItem(&item);
}

int KeynoteFiler::FileDateBook(const COleDispatchDriver& record)
{
    DateBookItem item;
    record.GetProperty(DISPID_GODWIT_BODY, VT_BSTR, &item.description);
    record.GetProperty(DISPID_GODWIT_NOTE, VT_BSTR, &item.note);
    item.isPrivate = Short(record, DISPID_GODWIT_PRIVATE);
    record.GetProperty(DISPID_GODWIT_STARTDATE, VT_DATE, &item.start);
    record.GetProperty(DISPID_GODWIT_ENDDATE, VT_DATE, &item.end);
    long advance = 0;
    record.GetProperty(DISPID_GODWIT_ALARMADVANCE, VT_I4, &advance);
    item.alarmAdvance = advance;
    // -1 keeps Palm Desktop's own alarm, whose unit is its own too.
    if (advance != -1) {
        long unit = 0;
        record.GetProperty(DISPID_GODWIT_ALARMADVANCEUNIT, VT_I4, &unit);
        item.alarmUnit = unit;
    }
    return m_manager.AddDateBookItem(&item);
}
