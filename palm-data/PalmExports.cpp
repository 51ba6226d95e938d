// The 23 operations through which the Palm control reads and writes the
// Palm Desktop's data. Each takes one pointer and answers 1 or 0 (unless
// noted); a record is trusted only when its first field holds the size of
// this library's declaration of it. No exception leaves an operation.
#include <cstring>
#include <functional>
#include <vector>

#include "PalmLines.h"
#include "PalmModule.h"

namespace {

const int kDescriptionLimit = 255;
const int kMemoLimit = 4095;

template <class Record> Record* Checked(void* argument)
{
    Record* record = static_cast<Record*>(argument);
    return record && record->size == sizeof(Record) ? record : nullptr;
}

int Guarded(const std::function<int()>& body)
{
    try {
        return body();
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
    return 0;
}

int CategoryLines(int kind, void* argument)
{
    VARIANT* list = static_cast<VARIANT*>(argument);
    if (!list)
        return 0;
    return Guarded([kind, list] {
        std::vector<CategoryInfo> categories;
        GetPalmAccessManager().Tables().GetCategories(kind, categories);
        CStringArray lines;
        for (const CategoryInfo& category : categories)
            lines.Add(CategoryLine(category));
        return FillLineList(list, lines) ? 1 : 0;
    });
}

// Texts over their limit are shortened in the caller's record, not refused.
int WriteItem(int kind, void* item, CString& text, int limit)
{
    return Guarded([kind, item, &text, limit] {
        if (text.GetLength() > limit)
            text = text.Left(limit);
        return GetPalmAccessManager().WriteItem(kind, item);
    });
}

int CopyBlock(void* argument, const BYTE* block, size_t size)
{
    if (!argument)
        return 0;
    memcpy(argument, block, size);
    return 1;
}

int StoreText(void* argument, const CString& text)
{
    BSTR* out = static_cast<BSTR*>(argument);
    if (!out)
        return 0;
    *out = text.AllocSysString();
    return *out ? 1 : 0;
}

} // namespace

#define PALM_OPERATION(name) extern "C" int __stdcall name(void* argument)

PALM_OPERATION(GetTodoCategories)
{
    return CategoryLines(PalmKindTodo, argument);
}

PALM_OPERATION(GetMemoCategories)
{
    return CategoryLines(PalmKindMemo, argument);
}

PALM_OPERATION(GetContacts)
{
    VARIANT* list = static_cast<VARIANT*>(argument);
    if (!list)
        return 0;
    return Guarded([list] {
        AddressTableAccess& address = GetPalmAccessManager().Tables().Address();
        std::vector<CONTACTITEM> contacts;
        address.GetContacts(contacts);
        const CString emailLabel = address.GetEmailLabel();
        CStringArray lines;
        for (const CONTACTITEM& contact : contacts)
            lines.Add(ContactLine(contact, emailLabel));
        return FillLineList(list, lines) ? 1 : 0;
    });
}

PALM_OPERATION(GetEmailForContact)
{
    CONTACTITEM* contact = Checked<CONTACTITEM>(argument);
    if (!contact)
        return 0;
    return Guarded([contact] { return GetPalmAccessManager().Tables().Address().LookupContact(*contact); });
}

PALM_OPERATION(GetUserInfo)
{
    (void)argument;
    return 1;
}

PALM_OPERATION(GetUserPath)
{
    char* buffer = static_cast<char*>(argument);
    if (!buffer)
        return 0;
    return Guarded([buffer] {
        // The caller's buffer holds a full path and no more: a longer folder
        // is refused rather than written past its end or cut to another folder.
        const CString& path = GetPalmAccessManager().User().userPath;
        if (path.GetLength() >= MAX_PATH) {
            buffer[0] = '\0';
            return 0;
        }
        memcpy(buffer, path.GetString(), static_cast<size_t>(path.GetLength()) + 1);
        return 1;
    });
}

PALM_OPERATION(GetCurrentItem)
{
    if (!argument)
        return 0;
    return Guarded([argument] { return StoreText(argument, GetPalmAccessManager().Desktop().GetCurrentItem()); });
}

PALM_OPERATION(AddTodoItem)
{
    TodoItem* item = Checked<TodoItem>(argument);
    if (!item)
        return 0;
    return WriteItem(PalmKindTodo, item, item->description, kDescriptionLimit);
}

PALM_OPERATION(AddMemoItem)
{
    MemoItem* item = Checked<MemoItem>(argument);
    if (!item)
        return 0;
    return WriteItem(PalmKindMemo, item, item->text, kMemoLimit);
}

PALM_OPERATION(AddDateBookItem)
{
    DateBookItem* item = Checked<DateBookItem>(argument);
    if (!item)
        return 0;
    return WriteItem(PalmKindDateBook, item, item->description, kDescriptionLimit);
}

PALM_OPERATION(NewContact)
{
    CONTACTITEM* request = Checked<CONTACTITEM>(argument);
    if (!request)
        return 0;
    return Guarded([request] { return GetPalmAccessManager().NewContact(*request); });
}

PALM_OPERATION(GetNoDateValue)
{
    int32_t* value = static_cast<int32_t*>(argument);
    if (!value)
        return 0;
    *value = static_cast<int32_t>(maxDate);
    return 1;
}

// Non-zero (the new process's id) when the desktop program was started.
PALM_OPERATION(OpenPilotDesktop)
{
    (void)argument;
    return Guarded([] {
        PalmAccessManager& manager = GetPalmAccessManager();
        return static_cast<int>(manager.Desktop().Start(manager.Registry()));
    });
}

// 0 refused, 1 the desktop reloaded, 2 no desktop running.
PALM_OPERATION(DataRefresh)
{
    (void)argument;
    return Guarded([] { return GetPalmAccessManager().DataRefresh(); });
}

PALM_OPERATION(GetContactFieldOrder)
{
    return CopyBlock(argument, kContactFieldOrder, sizeof kContactFieldOrder);
}

PALM_OPERATION(GetCategoryFieldOrder)
{
    return CopyBlock(argument, kCategoryFieldOrder, sizeof kCategoryFieldOrder);
}

PALM_OPERATION(GetUsers)
{
    VARIANT* list = static_cast<VARIANT*>(argument);
    if (!list)
        return 0;
    return Guarded([list] {
        CStringArray names;
        GetPalmAccessManager().GetUsers(names);
        return FillLineList(list, names) ? 1 : 0;
    });
}

PALM_OPERATION(GetCurrentUser)
{
    if (!argument)
        return 0;
    return Guarded([argument] { return StoreText(argument, GetPalmAccessManager().User().userName); });
}

PALM_OPERATION(SetCurrentUser)
{
    const char* const* name = static_cast<const char* const*>(argument);
    if (!name || !*name)
        return 0;
    return Guarded([name] { return GetPalmAccessManager().SetCurrentUser(*name); });
}

PALM_OPERATION(CreateCategory)
{
    CategoryRequest* request = Checked<CategoryRequest>(argument);
    if (!request)
        return 0;
    return Guarded(
        [request] { return GetPalmAccessManager().Tables().CreateCategory(request->kind, request->name); });
}

PALM_OPERATION(RemoveCategory)
{
    CategoryRequest* request = Checked<CategoryRequest>(argument);
    if (!request)
        return 0;
    return Guarded(
        [request] { return GetPalmAccessManager().Tables().RemoveCategory(request->kind, request->name); });
}

// The VARIANT brings the day (anything that reads as a date) and takes back
// its appointments; one that names no day is left as it was.
PALM_OPERATION(GetCalendarDay)
{
    VARIANT* value = static_cast<VARIANT*>(argument);
    if (!value)
        return 0;
    return Guarded([value] {
        VARIANT day;
        VariantInit(&day);
        if (FAILED(VariantChangeType(&day, value, 0, VT_DATE)))
            return 0;
        std::vector<DateBookItem> appointments;
        GetPalmAccessManager().Tables().DateBook().GetDay(day.date, appointments);
        CStringArray lines;
        for (const DateBookItem& appointment : appointments)
            lines.Add(DayLine(appointment));
        VariantClear(value);
        return FillLineList(value, lines) ? 1 : 0;
    });
}

PALM_OPERATION(GetInitialized)
{
    (void)argument;
    return Guarded([] { return GetPalmAccessManager().IsInitialized(); });
}
