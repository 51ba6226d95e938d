#include "PalmTables.h"

#include <cmath>
#include <climits>

#include "DateUtil.h"
#include "DateValue.h"
#include "PalmRegistry.h"

namespace {

const char kUnfiled[] = "Unfiled";
const double kDefaultLength = 0.04;   // days: the length of an appointment given without an end
const int kLabelStringId = 4;
const int kEmailLabel = 4;   // "E-Mail:" in the label list

// The desktop's default alarm, read one value after the other.
const PalmRegistryEntry kAlarmDefaults[] = {
    {HKEY_CURRENT_USER, "Software\\U.S. Robotics\\Pilot Desktop\\DateBook", "AlarmOn", REG_DWORD},
    {HKEY_CURRENT_USER, "Software\\U.S. Robotics\\Pilot Desktop\\DateBook", "AlarmTime", REG_DWORD},
    {HKEY_CURRENT_USER, "Software\\U.S. Robotics\\Pilot Desktop\\DateBook", "AlarmUnit", REG_DWORD},
};

// An automation date as the table's local seconds since 1970; false when it
// names no moment a table can hold.
bool ToTableTime(DATE date, long& time)
{
    const time_t seconds = VariantDateToTime(date);
    if (seconds == -1 || seconds < LONG_MIN || seconds > LONG_MAX)
        return false;
    time = static_cast<long>(seconds);
    return true;
}

} // namespace

//--- the common steps ---------------------------------------------------------

PalmTableAccess::~PalmTableAccess() = default;

CBaseTable* PalmTableAccess::Open()
{
    m_table.reset(NewTable());
    // A missing file reads as an empty table, which the save then creates.
    m_table->OpenFrom(GetFilePath(), 0);
    return m_table.get();
}

void PalmTableAccess::Close()
{
    m_table.reset();
}

int PalmTableAccess::AddRecord(const std::function<CBaseRecord*(CBaseTable*)>& make,
                               const std::function<void(CBaseRecord&)>& fill)
{
    return WithTable([&make, &fill](CBaseTable& table) {
        std::unique_ptr<CBaseRecord> record(make(&table));
        if (table.AddRecord(record.get()) != 0)
            return 0;
        // A record filled in part is not saved: the table is closed unsaved.
        try {
            fill(*record);
        } catch (CException* e) {
            e->Delete();
            return 0;
        } catch (...) {
            return 0;
        }
        table.Save();
        return 1;
    });
}

void PalmTableAccess::AssignCategory(CBaseTable& table, CBaseRecord& record, LPCTSTR name)
{
    CCategoryMgr* categories = table.GetCategoryManager();
    if (!categories)
        return;
    CCategory* category = categories->FindName(name);
    if (!category)
        category = categories->FindName(kUnfiled);
    record.SetCategoryId(category ? category->GetIndex() : -1);
}

int PalmTableAccess::WithTable(const std::function<int(CBaseTable&)>& action)
{
    int result = 0;
    try {
        result = action(*Open());
    } catch (CException* e) {
        e->Delete();
        result = 0;
    }
    Close();
    return result;
}

int PalmTableAccess::GetCategories(std::vector<CategoryInfo>& list)
{
    list.clear();
    const int read = WithTable([&list](CBaseTable& table) {
        if (CCategoryMgr* categories = table.GetCategoryManager()) {
            for (CCategory* c = categories->FindFirst(); c; c = categories->FindNext()) {
                if (c->GetName().IsEmpty())
                    continue;
                CategoryInfo info;
                info.id = c->GetID();
                info.name = c->GetName();
                list.push_back(info);
            }
        }
        return 1;
    });
    if (!read)
        list.clear();
    return static_cast<int>(list.size());
}

int PalmTableAccess::CreateCategory(LPCTSTR name)
{
    return WithTable([name](CBaseTable& table) {
        CCategoryMgr* categories = table.GetCategoryManager();
        const int index = categories ? categories->GetFreeIndex() : -1;
        if (index == -1)
            return 0;
        CCategory category;
        category.SetIndex(index);
        category.SetID(categories->GetNextAddID());
        category.SetName(name);
        if (categories->Add(&category) != CCategoryMgr::ok)
            return 0;
        table.Save();
        return 1;
    });
}

int PalmTableAccess::RemoveCategory(LPCTSTR name)
{
    return WithTable([name](CBaseTable& table) {
        CCategoryMgr* categories = table.GetCategoryManager();
        CCategory* category = categories ? categories->FindName(name) : nullptr;
        if (!category || category->GetIndex() == -1 || categories->Delete(category->GetIndex()) != CCategoryMgr::ok)
            return 0;
        table.Save();
        return 1;
    });
}

//--- to-dos, memos, appointments --------------------------------------------

int TodoTableAccess::AddTodo(const TodoItem& item)
{
    return AddRecord([](CBaseTable* table) { return new CToDoRecord(table, 1); },
                     [&item](CBaseRecord& base) {
                         CToDoRecord& record = static_cast<CToDoRecord&>(base);
                         AssignCategory(*base.GetTable(), record, item.category);
                         record.SetDescription(item.description);
                         // A date that names no moment is no due date, like 0.
                         long due = 0;
                         record.SetDueDate(ToTableTime(item.dueDate, due) && due != 0 ? due : maxDate);
                         record.SetCompleted(item.completed);
                         record.SetPriority(item.priority);
                         record.SetPrivate(item.isPrivate);
                         record.SetNote(item.note);
                     });
}

int MemoTableAccess::AddMemo(const MemoItem& item)
{
    return AddRecord([](CBaseTable* table) { return new CMemoRecord(table, 1); },
                     [&item](CBaseRecord& base) {
                         CMemoRecord& record = static_cast<CMemoRecord&>(base);
                         AssignCategory(*base.GetTable(), record, item.category);
                         record.SetMemo(item.text);
                         record.SetPrivate(item.isPrivate);
                     });
}

int DateBookTableAccess::AddAppointment(DateBookItem& item)
{
    return AddRecord([](CBaseTable* table) { return new CDateBkRecord(table, 1); },
                     [&item](CBaseRecord& base) {
                         CDateBkRecord& record = static_cast<CDateBkRecord&>(base);
                         AssignCategory(*base.GetTable(), record, item.category);
                         record.SetDescription(item.description);
                         record.SetPrivate(item.isPrivate);
                         record.SetNote(item.note);
                         if (item.start == std::floor(item.start))
                             record.SetUnTimedFlag(1);
                         if (item.start != 0.0) {
                             long time = 0;
                             if (ToTableTime(item.start, time))
                                 record.SetStartTime(time);
                             if (item.end == 0.0)
                                 item.end = item.start + kDefaultLength;
                             if (ToTableTime(item.end, time))
                                 record.SetEndTime(time);
                         }
                         if (item.alarmAdvance == -1) {
                             PalmRegistry registry(kAlarmDefaults, 3);
                             long on = 0, advance = 0, unit = 0;
                             if (registry.ReadDword(0, on) && registry.ReadDword(1, advance))
                                 registry.ReadDword(2, unit);
                             record.SetAlarmFlag(on != 0);
                             if (on) {
                                 record.SetAlarmAdvTime(static_cast<int>(advance));
                                 record.SetAlarmAdvUnit(static_cast<int>(unit));
                             }
                         } else {
                             record.SetAlarmFlag(1);
                             record.SetAlarmAdvTime(item.alarmAdvance);
                             record.SetAlarmAdvUnit(item.alarmUnit);
                         }
                     });
}

int DateBookTableAccess::GetDay(DATE day, std::vector<DateBookItem>& items)
{
    items.clear();
    // The day runs from its midnight to the next one, which on a day with a
    // daylight-saving change is not 86400 seconds later.
    long first = 0, next = 0;
    const double midnight = std::floor(day);
    if (!ToTableTime(midnight, first) || !ToTableTime(midnight + 1.0, next))
        return 0;
    try {
        CDateBkIterator appointments(static_cast<CDateBkTable*>(Open()));
        appointments.SortByStartDate();
        for (CDateBkRecord* r = appointments.FindFirst(1); r; r = appointments.FindNext(1)) {
            // Deleted and archived appointments are off the calendar, as
            // they are off the contact list.
            if (r->IsDeleted() || r->IsArchived() || r->GetStartTime() < first || r->GetStartTime() >= next)
                continue;
            DateBookItem item;
            item.start = TimeToVariantDate(static_cast<int32_t>(r->GetStartTime()));
            item.end = TimeToVariantDate(static_cast<int32_t>(r->GetEndTime()));
            item.alarmAdvance = r->IsAlarmSet() ? r->GetAlarmAdvTime() : -1;
            item.alarmUnit = r->IsAlarmSet() ? r->GetAlarmAdvUnit() : PalmAlarmMinutes;
            item.description = r->GetDescription();
            items.push_back(item);
        }
    } catch (CException* e) {
        e->Delete();
    }
    Close();
    return static_cast<int>(items.size());
}

//--- the address book ---------------------------------------------------------

AddressTableAccess::AddressTableAccess(const PalmUserBlock& user, const char* moduleName)
    : PalmTableAccess(user, "address\\address.dat")
{
    char text[512] = "";
    HMODULE module = GetModuleHandleA(moduleName);
    if (!module || LoadStringA(module, kLabelStringId, text, sizeof text) <= 0)
        return;
    CString labels(text);
    for (int start = 0; start <= labels.GetLength();) {
        int end = labels.Find('\n', start);
        if (end < 0)
            end = labels.GetLength();
        m_labels.Add(labels.Mid(start, end - start));
        start = end + 1;
    }
}

int AddressTableAccess::FindPhoneLabel(LPCTSTR label) const
{
    for (int i = 0; i < m_labels.GetSize(); ++i)
        if (m_labels[i] == label)
            return i;
    return -1;
}

CString AddressTableAccess::GetEmailLabel() const
{
    return m_labels.GetSize() > kEmailLabel ? m_labels[kEmailLabel] : CString();
}

int AddressTableAccess::AddContact(const CONTACTITEM& contact)
{
    return AddRecord([](CBaseTable* table) { return new CAddressRecord(table, 1); },
                     [this, &contact](CBaseRecord& base) {
                         CAddressRecord& record = static_cast<CAddressRecord&>(base);
                         record.SetName(contact.GetText(CONTACTITEM::LastName));
                         record.SetFirst(contact.GetText(CONTACTITEM::FirstName));
                         record.SetTitle(contact.GetText(CONTACTITEM::Title));
                         record.SetCompany(contact.GetText(CONTACTITEM::Company));
                         record.SetAddress(contact.GetText(CONTACTITEM::Address));
                         record.SetCity(contact.GetText(CONTACTITEM::City));
                         record.SetState(contact.GetText(CONTACTITEM::State));
                         record.SetZipCode(contact.GetText(CONTACTITEM::ZipCode));
                         record.SetCountry(contact.GetText(CONTACTITEM::Country));
                         record.SetNote(contact.GetText(CONTACTITEM::Note));
                         for (int n = 1; n <= 4; ++n)
                             record.SetCustom(n, contact.GetText(CONTACTITEM::Custom1 + n - 1));
                         record.SetPrivate(contact.isPrivate);
                         AssignCategory(*base.GetTable(), record, contact.GetCategory());
                         int shown = 0;
                         for (int i = CONTACTITEM::EMAIL_COUNT - 1; i >= 0; --i)
                             if (contact.Email(i).shown)
                                 shown = i;
                         for (int i = 0; i < CONTACTITEM::EMAIL_COUNT; ++i) {
                             const int label = FindPhoneLabel(contact.Email(i).GetLabel());
                             if (label >= 0)
                                 record.SetPhoneLabelID(i + 1, label);
                             record.SetPhone(i + 1, contact.Email(i).GetValue());
                         }
                         record.SetDisplayPhone(shown + 1);
                     });
}

void AddressTableAccess::FillContact(const CAddressRecord& record, CONTACTITEM& contact) const
{
    contact.SetText(CONTACTITEM::LastName, record.GetName());
    contact.SetText(CONTACTITEM::FirstName, record.GetFirst());
    contact.SetText(CONTACTITEM::Title, record.GetTitle());
    contact.SetText(CONTACTITEM::Company, record.GetCompany());
    contact.SetText(CONTACTITEM::Address, record.GetAddress());
    contact.SetText(CONTACTITEM::City, record.GetCity());
    contact.SetText(CONTACTITEM::State, record.GetState());
    contact.SetText(CONTACTITEM::ZipCode, record.GetZipCode());
    contact.SetText(CONTACTITEM::Country, record.GetCountry());
    contact.SetText(CONTACTITEM::Note, record.GetNote());
    const int display = record.GetDisplayPhone();
    for (int i = 0; i < CONTACTITEM::EMAIL_COUNT; ++i) {
        const int label = record.GetPhoneLabelID(i + 1);
        EMAILINFO& entry = contact.Email(i);
        entry.SetLabel(label >= 0 && label < m_labels.GetSize() ? m_labels[label].GetString() : "");
        entry.SetValue(record.GetPhone(i + 1));
        // One entry at most is shown in lists.
        if (display >= 1 && display <= CONTACTITEM::EMAIL_COUNT)
            entry.shown = display == i + 1 ? 1 : 0;
    }
}

int AddressTableAccess::GetContacts(std::vector<CONTACTITEM>& contacts)
{
    contacts.clear();
    try {
        CAddressIterator records(static_cast<CAddressTable*>(Open()));
        for (CAddressRecord* r = records.FindFirst(1); r; r = records.FindNext(1)) {
            if (r->IsDeleted() || r->IsArchived() ||
                (r->GetFirst().IsEmpty() && r->GetName().IsEmpty() && r->GetCompany().IsEmpty()))
                continue;
            CONTACTITEM contact;
            contact.recordId = r->GetRecordId();
            FillContact(*r, contact);
            contacts.push_back(contact);
        }
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
    Close();
    return static_cast<int>(contacts.size());
}

int AddressTableAccess::LookupContact(CONTACTITEM& query)
{
    int result = 1;
    try {
        CAddressIterator records(static_cast<CAddressTable*>(Open()));
        const CString first = query.GetText(CONTACTITEM::FirstName);
        const CString last = query.GetText(CONTACTITEM::LastName);
        const CString company = query.GetText(CONTACTITEM::Company);
        for (CAddressRecord* r = records.FindFirst(1); r; r = records.FindNext(1)) {
            if (r->IsDeleted() || r->IsArchived())
                continue;
            // A company's own entry has no names and is found by the company;
            // a person's entry only by both names.
            const bool byCompany = r->GetFirst().IsEmpty() && r->GetName().IsEmpty() && r->GetCompany() == company;
            const bool byName = r->GetName() == last && r->GetFirst() == first;
            if (!byCompany && !byName)
                continue;
            FillContact(*r, query);
            query.isPrivate = r->IsPrivate();
            break;
        }
    } catch (CException* e) {
        e->Delete();
        result = 0;
    } catch (...) {
        result = 0;
    }
    Close();
    return result;
}

int AddressTableAccess::GetCustomLabels(CStringArray& labels)
{
    labels.RemoveAll();
    const int read = WithTable([&labels](CBaseTable& table) {
        for (int n = 1; n <= 4; ++n)
            labels.Add(static_cast<CAddressTable&>(table).GetCustomLabel(n));
        return 1;
    });
    if (!read)
        labels.RemoveAll();
    return read;
}

//--- the four tables ----------------------------------------------------------

PalmTables::PalmTables(const PalmUserBlock& user, const char* moduleName)
    : m_todo(user), m_memo(user), m_dateBook(user), m_address(user, moduleName)
{
}

int PalmTables::AddItem(int kind, void* item)
{
    switch (kind) {
    case PalmKindTodo:
        return m_todo.AddTodo(*static_cast<TodoItem*>(item));
    case PalmKindMemo:
        return m_memo.AddMemo(*static_cast<MemoItem*>(item));
    case PalmKindDateBook:
        return m_dateBook.AddAppointment(*static_cast<DateBookItem*>(item));
    default:
        return 0;
    }
}

PalmTableAccess* PalmTables::ListTable(int kind)
{
    switch (kind) {
    case PalmKindTodo:
        return &m_todo;
    case PalmKindMemo:
        return &m_memo;
    case PalmListKindAddress:
        return &m_address;
    default:
        return nullptr;
    }
}

PalmTableAccess* PalmTables::ChangeTable(int kind)
{
    switch (kind) {
    case PalmKindTodo:
        return &m_todo;
    case PalmKindMemo:
        return &m_memo;
    case PalmChangeKindAddress:
        return &m_address;
    default:
        return nullptr;
    }
}

int PalmTables::GetCategories(int kind, std::vector<CategoryInfo>& categories)
{
    categories.clear();
    PalmTableAccess* table = ListTable(kind);
    return table ? table->GetCategories(categories) : 0;
}

int PalmTables::CreateCategory(int kind, LPCTSTR name)
{
    PalmTableAccess* table = ChangeTable(kind);
    return table ? table->CreateCategory(name) : 0;
}

int PalmTables::RemoveCategory(int kind, LPCTSTR name)
{
    PalmTableAccess* table = ChangeTable(kind);
    return table ? table->RemoveCategory(name) : 0;
}
