// A Palm Desktop in the test prefix with users whose data exist, and the
// access manager the data library would make over it.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "PalmAccessManager.h"

#include <oleauto.h>

#include "DateValue.h"
#include "PalmDesktopFixture.h"

#include <ctime>

class PalmDataTest : public ::testing::Test {
protected:
    // Zoe (the current user) and Bob have data; Adam has none.
    PalmDataTest()
    {
        zoeId = desktop.AddUser("Zoe", "ZoeD");
        desktop.AddUser("Adam", "AdamD", false);
        bobId = desktop.AddUser("Bob", "BobD");
        desktop.SetLastUser("Zoe");
    }

    std::unique_ptr<PalmAccessManager> Manager(const char* module = "Lark.dll")
    {
        return std::unique_ptr<PalmAccessManager>(new PalmAccessManager(module));
    }

    std::string ZoeFile(const char* table) const { return std::string("ZoeD\\") + table; }
    std::string DumpZoe(const char* table) const { return desktop.Dump(ZoeFile(table)); }
    std::string BytesOfZoe(const char* table) const { return PalmTesting::ReadFileBytes(desktop.File(ZoeFile(table))); }

    PalmTesting::TestDesktop desktop;
    unsigned long zoeId = 0;
    unsigned long bobId = 0;
};

// The table files below a user's folder.
#define TODO_FILE "todo\\todo.dat"
#define MEMO_FILE "memopad\\memopad.dat"
#define DATEBOOK_FILE "datebook\\datebook.dat"
#define ADDRESS_FILE "address\\address.dat"

// An automation date of a local moment, and the table's seconds for it.
inline double OleDate(int year, int month, int day, int hour = 0, int minute = 0)
{
    return static_cast<double>(DaysFromCivil(year, month, day) + 25569) + (hour * 60 + minute) / 1440.0;
}

inline long LocalSeconds(int year, int month, int day, int hour = 0, int minute = 0)
{
    struct tm local = {};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_isdst = -1;
    return static_cast<long>(mktime(&local));
}

inline std::string Number(long value)
{
    return std::to_string(value);
}

// The dump's record lines only.
inline std::string Records(const std::string& dump)
{
    std::string lines;
    for (size_t start = 0, end; (end = dump.find("\r\n", start)) != std::string::npos; start = end + 2)
        if (dump.compare(start, 7, "record ") == 0)
            lines += dump.substr(start, end + 2 - start);
    return lines;
}

inline void AddCategories(CBaseTable& table, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        CCategoryMgr* categories = table.GetCategoryManager();
        CCategory category(categories->GetFreeIndex(), categories->GetNextAddID() + 10, name);
        ASSERT_EQ(CCategoryMgr::ok, categories->Add(&category)) << name;
    }
}

// Contacts of the address book: first, last, company, and per phone its
// value and label id.
struct Person {
    const char* first;
    const char* last;
    const char* company;
    int deleted;
    int archived;
    int display;
    const char* phone2;
    int label2;
};

inline void AddPeople(CAddressTable& table, std::initializer_list<Person> people)
{
    std::vector<std::unique_ptr<CAddressRecord>> records;
    for (const Person& p : people) {
        records.emplace_back(new CAddressRecord(&table, 1));
        CAddressRecord& r = *records.back();
        table.AddRecord(&r);
        r.SetFirst(p.first);
        r.SetName(p.last);
        r.SetCompany(p.company);
        r.SetTitle("Boss");
        r.SetCity("Springfield");
        r.SetPhone(1, "555-0001");
        r.SetPhone(2, p.phone2);
        r.SetPhoneLabelID(2, p.label2);
        r.SetDeleted(p.deleted);
        r.SetArchived(p.archived);
        r.SetDisplayPhone(p.display);
        r.SetPrivate(1);
    }
    table.Save();
}

// Appointments of half an hour; one with an alarm rings 15 `alarmUnit`s ahead.
struct Appointment {
    long start;
    const char* description;
    int alarm;
    int deleted;
};

inline void AddAppointments(CDateBkTable& table, int alarmUnit, std::initializer_list<Appointment> appointments)
{
    std::vector<std::unique_ptr<CDateBkRecord>> records;
    for (const Appointment& a : appointments) {
        records.emplace_back(new CDateBkRecord(&table, 1));
        CDateBkRecord& r = *records.back();
        table.AddRecord(&r);
        r.SetStartTime(a.start);
        r.SetEndTime(a.start + 1800);
        r.SetDescription(a.description);
        r.SetAlarmFlag(a.alarm);
        r.SetAlarmAdvTime(15);
        r.SetAlarmAdvUnit(alarmUnit);
        r.SetDeleted(a.deleted);
    }
    table.Save();
}

// Lark.dll or Linnet.dll, loaded for the test over the fixture's desktop
// (the library finds its user when an operation first needs it), and its
// operations called by name as the Palm control calls them.
class LoadedModule {
public:
    explicit LoadedModule(const char* name) : m_module(LoadLibraryA(name)) {}
    ~LoadedModule()
    {
        if (m_module)
            FreeLibrary(m_module);
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;
    bool Loaded() const { return m_module != nullptr; }
    HMODULE Handle() const { return m_module; }

    using Operation = int(__stdcall*)(void*);
    Operation Find(const char* name) const
    {
        return m_module ? reinterpret_cast<Operation>(GetProcAddress(m_module, name)) : nullptr;
    }
    // The operation's answer; -100 (and a failure) when it is not exported.
    int Call(const char* name, void* argument) const
    {
        Operation operation = Find(name);
        EXPECT_NE(nullptr, operation) << name << " is not exported";
        return operation ? operation(argument) : -100;
    }

private:
    HMODULE m_module;
};

// The lines of a list the library handed back, in ANSI; a VARIANT that is no
// array of strings gives one line "<not a list>".
inline std::vector<std::string> ListLines(const VARIANT& list)
{
    if (list.vt != (VT_ARRAY | VT_BSTR) || !list.parray || SafeArrayGetDim(list.parray) != 1)
        return {"<not a list>"};
    LONG low = 0, high = -1;
    SafeArrayGetLBound(list.parray, 1, &low);
    SafeArrayGetUBound(list.parray, 1, &high);
    std::vector<std::string> lines;
    EXPECT_EQ(0, low);
    for (LONG i = low; i <= high; ++i) {
        BSTR text = nullptr;
        SafeArrayGetElement(list.parray, &i, &text);
        char ansi[2048] = "";
        WideCharToMultiByte(CP_ACP, 0, text ? text : L"", -1, ansi, sizeof ansi, nullptr, nullptr);
        lines.push_back(ansi);
        SysFreeString(text);
    }
    return lines;
}
