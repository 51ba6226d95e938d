#include <gtest/gtest.h>

#include "PalmDataFixture.h"

using namespace PalmTesting;

namespace {

const std::string kUnfiledLine = "category 0 id=0 name=\"Unfiled\"\r\n";

} // namespace

TEST_F(PalmDataTest, ToDoCategoryByNameElseUnfiledElseNone)
{
    desktop.EditTable<CToDoTable>(ZoeFile(TODO_FILE), [](CToDoTable& t) { AddCategories(t, {"Work", "Home"}); });
    auto manager = Manager();
    struct Row {
        const char* category;
        bool unfiledRenamed;
        int expected;
    } rows[] = {
        {"Home", false, 2}, {"Work", false, 1}, {"work", false, 0}, {"Nowhere", false, 0}, {"", false, 0},
        {"Nowhere", true, -1}, {"Home", true, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.category);
        if (row.unfiledRenamed)
            desktop.EditTable<CToDoTable>(ZoeFile(TODO_FILE),
                                          [](CToDoTable& t) { t.GetCategoryManager()->FindFirst()->SetName("Misc"); });
        TodoItem item;
        item.category = row.category;
        EXPECT_EQ(1, manager->Tables().Todo().AddTodo(item));
        const std::string records = Records(DumpZoe(TODO_FILE));
        const std::string last = records.substr(records.rfind("record "));
        EXPECT_NE(std::string::npos, last.find(" category=" + Number(row.expected) + " ")) << last;
    }
}

TEST_F(PalmDataTest, ToDoFieldsAndDueDates)
{
    auto manager = Manager();
    struct Row {
        double due;
        long stored;
    } rows[] = {
        {OleDate(2026, 3, 10), LocalSeconds(2026, 3, 10)},
        {OleDate(2026, 3, 10, 17, 45), LocalSeconds(2026, 3, 10, 17, 45)},
        {0.0, maxDate},                 // no due date
        {-1.0e7, maxDate},              // no date at all: no due date rather than a day in 1969
        {OleDate(1969, 12, 31, 23, 59), maxDate},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.due);
        desktop.EditTable<CToDoTable>(ZoeFile(TODO_FILE), [](CToDoTable&) {});
        DeleteFileA(desktop.File(ZoeFile(TODO_FILE)).c_str());
        TodoItem item;
        item.description = "Call \"Bob\"";
        item.isPrivate = 5;
        item.dueDate = row.due;
        item.completed = 1;
        item.priority = 3;
        item.note = "about the roof";
        EXPECT_EQ(1, manager->Tables().AddItem(PalmKindTodo, &item));
        EXPECT_EQ("record id=1 category=0 private=1 deleted=0 archived=0 description=\"Call \\\"Bob\\\"\" due=" +
                      Number(row.stored) + " completed=1 priority=3 note=\"about the roof\"\r\n",
                  Records(DumpZoe(TODO_FILE)));
    }
}

TEST_F(PalmDataTest, MemoFields)
{
    desktop.EditTable<CMemoTable>(ZoeFile(MEMO_FILE), [](CMemoTable& t) { AddCategories(t, {"Ideas"}); });
    auto manager = Manager();
    MemoItem memo;
    memo.text = "first line\r\nsecond";
    memo.category = "Ideas";
    EXPECT_EQ(1, manager->Tables().AddItem(PalmKindMemo, &memo));
    EXPECT_EQ("record id=1 category=1 private=0 deleted=0 archived=0 memo=\"first line\\r\\nsecond\"\r\n",
              Records(DumpZoe(MEMO_FILE)));
}

TEST_F(PalmDataTest, AppointmentTimesAndEnds)
{
    auto manager = Manager();
    struct Row {
        const char* name;
        double start;
        double end;
        double endAfter;    // the caller's end after the call
        std::string fields;
    } rows[] = {
        {"midnight", OleDate(2026, 3, 10), 0.0, OleDate(2026, 3, 10) + 0.04,
         " start=" + Number(LocalSeconds(2026, 3, 10)) + " end=" + Number(LocalSeconds(2026, 3, 10) + 3456) +
             " untimed=1"},
        {"timed", OleDate(2026, 3, 10, 9, 30), OleDate(2026, 3, 10, 10, 0), OleDate(2026, 3, 10, 10, 0),
         " start=" + Number(LocalSeconds(2026, 3, 10, 9, 30)) + " end=" + Number(LocalSeconds(2026, 3, 10, 10)) +
             " untimed=0"},
        {"timed without end", OleDate(2026, 3, 10, 9, 30), 0.0, OleDate(2026, 3, 10, 9, 30) + 0.04,
         " start=" + Number(LocalSeconds(2026, 3, 10, 9, 30)) + " end=" +
             Number(LocalSeconds(2026, 3, 10, 9, 30) + 3456) + " untimed=0"},
        {"no time", 0.0, 0.0, 0.0, " start=0 end=0 untimed=1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        DeleteFileA(desktop.File(ZoeFile(DATEBOOK_FILE)).c_str());
        DateBookItem item;
        item.description = "Dentist";
        item.note = "bring card";
        item.category = "Work";   // the date book has no categories
        item.start = row.start;
        item.end = row.end;
        item.alarmAdvance = 5;
        EXPECT_EQ(1, manager->Tables().AddItem(PalmKindDateBook, &item));
        EXPECT_NEAR(row.endAfter, item.end, 1e-9);
        EXPECT_EQ("record id=1 category=0 private=0 deleted=0 archived=0 description=\"Dentist\" note=\"bring card\"" +
                      row.fields + " alarm=1 advance=5 unit=0\r\n",
                  Records(desktop.Dump(ZoeFile(DATEBOOK_FILE))));
    }
}

TEST_F(PalmDataTest, AppointmentAlarmFromTheItemOrTheDesktopDefaults)
{
    auto manager = Manager();
    struct Row {
        const char* name;
        std::vector<std::pair<const char*, DWORD>> defaults;
        int advance;
        int unit;
        const char* stored;
    } rows[] = {
        {"no defaults", {}, -1, 0, " alarm=0 advance=0 unit=0"},
        {"alarms off", {{"AlarmOn", 0}, {"AlarmTime", 10}, {"AlarmUnit", 1}}, -1, 0, " alarm=0 advance=0 unit=0"},
        {"alarms on", {{"AlarmOn", 1}, {"AlarmTime", 10}, {"AlarmUnit", 1}}, -1, 0, " alarm=1 advance=10 unit=1"},
        {"time missing", {{"AlarmOn", 1}, {"AlarmUnit", 2}}, -1, 0, " alarm=1 advance=0 unit=0"},
        {"the item's own", {{"AlarmOn", 0}}, 3, 2, " alarm=1 advance=3 unit=2"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SHDeleteKeyA(HKEY_CURRENT_USER, kDateBookKey);
        for (const auto& value : row.defaults)
            SetNumber(HKEY_CURRENT_USER, kDateBookKey, value.first, value.second);
        DeleteFileA(desktop.File(ZoeFile(DATEBOOK_FILE)).c_str());
        DateBookItem item;
        item.start = OleDate(2026, 3, 10, 9, 30);
        item.end = OleDate(2026, 3, 10, 10, 0);
        item.alarmAdvance = row.advance;
        item.alarmUnit = row.unit;
        EXPECT_EQ(1, manager->Tables().AddItem(PalmKindDateBook, &item));
        const std::string records = Records(desktop.Dump(ZoeFile(DATEBOOK_FILE)));
        EXPECT_NE(std::string::npos, records.find(row.stored)) << records;
    }
}

TEST_F(PalmDataTest, CategoryListsLeaveOutEmptyNamesAndUnknownKinds)
{
    desktop.EditTable<CToDoTable>(ZoeFile(TODO_FILE), [](CToDoTable& t) { AddCategories(t, {"Work", "", "Home"}); });
    desktop.EditTable<CMemoTable>(ZoeFile(MEMO_FILE), [](CMemoTable& t) { AddCategories(t, {"Ideas"}); });
    desktop.EditTable<CAddressTable>(ZoeFile(ADDRESS_FILE), [](CAddressTable& t) { AddCategories(t, {"", "QuickList"}); });
    auto manager = Manager();
    struct Row {
        int kind;
        std::string expected;
    } rows[] = {
        {1, "0 Unfiled;11 Work;33 Home;"}, {2, "0 Unfiled;11 Ideas;"}, {4, "0 Unfiled;22 QuickList;"},
        {3, ""}, {0, ""}, {5, ""}, {-1, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.kind);
        std::vector<CategoryInfo> list(1);
        const int count = manager->Tables().GetCategories(row.kind, list);
        std::string text;
        for (const CategoryInfo& info : list)
            text += Number(info.id) + " " + std::string(info.name) + ";";
        EXPECT_EQ(row.expected, text);
        EXPECT_EQ(static_cast<int>(list.size()), count);
    }
}

TEST_F(PalmDataTest, CreatingCategories)
{
    auto manager = Manager();
    struct Row {
        int kind;
        const char* name;
        int expected;
        const char* file;
        const char* line;
    } rows[] = {
        {1, "Work", 1, TODO_FILE, "category 1 id=1 name=\"Work\"\r\n"},
        {1, "Work", 0, TODO_FILE, nullptr},   // the name is taken
        {2, "Ideas", 1, MEMO_FILE, "category 1 id=1 name=\"Ideas\"\r\n"},
        {3, "QuickList", 1, ADDRESS_FILE, "category 1 id=1 name=\"QuickList\"\r\n"},
        {4, "Nope", 0, ADDRESS_FILE, nullptr},
        {0, "Nope", 0, TODO_FILE, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " " + Number(row.kind));
        const std::string before = BytesOfZoe(row.file);
        EXPECT_EQ(row.expected, manager->Tables().CreateCategory(row.kind, row.name));
        if (row.line)
            EXPECT_NE(std::string::npos, DumpZoe(row.file).find(row.line)) << DumpZoe(row.file);
        else
            EXPECT_EQ(before, BytesOfZoe(row.file));
    }
}

TEST_F(PalmDataTest, CreatingACategoryInAFullTableChangesNothing)
{
    desktop.EditTable<CToDoTable>(ZoeFile(TODO_FILE), [](CToDoTable& t) {
        while (t.GetCategoryManager()->GetFreeIndex() != -1)
            AddCategories(t, {("C" + Number(t.GetCategoryManager()->GetFreeIndex())).c_str()});
    });
    auto manager = Manager();
    const std::string before = BytesOfZoe(TODO_FILE);
    EXPECT_EQ(0, manager->Tables().CreateCategory(PalmKindTodo, "One too many"));
    EXPECT_EQ(before, BytesOfZoe(TODO_FILE));
}

TEST_F(PalmDataTest, RemovingCategories)
{
    desktop.EditTable<CToDoTable>(ZoeFile(TODO_FILE), [](CToDoTable& t) { AddCategories(t, {"Work", "Home"}); });
    desktop.EditTable<CAddressTable>(ZoeFile(ADDRESS_FILE), [](CAddressTable& t) { AddCategories(t, {"QuickList"}); });
    auto manager = Manager();
    struct Row {
        int kind;
        const char* name;
        int expected;
    } rows[] = {
        {1, "Work", 1}, {1, "Work", 0}, {1, "home", 0}, {1, "Unfiled", 0}, {4, "QuickList", 0}, {2, "Home", 0},
        {3, "QuickList", 1}, {1, "Home", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " " + Number(row.kind));
        EXPECT_EQ(row.expected, manager->Tables().RemoveCategory(row.kind, row.name));
    }
    EXPECT_EQ("table TODO\r\n" + kUnfiledLine, DumpZoe(TODO_FILE));
}

TEST_F(PalmDataTest, UnknownKindsWriteNothing)
{
    auto manager = Manager();
    TodoItem item;
    for (int kind : {0, 4, -1}) {
        SCOPED_TRACE(kind);
        EXPECT_EQ(0, manager->Tables().AddItem(kind, &item));
        EXPECT_EQ(0, manager->WriteItem(kind, &item));
    }
    for (const char* file : {TODO_FILE, MEMO_FILE, DATEBOOK_FILE})
        EXPECT_EQ("", Records(DumpZoe(file))) << file;
}

TEST_F(PalmDataTest, WritesThatFailAnswerZeroAndKeepTheFile)
{
    desktop.EditTable<CToDoTable>(ZoeFile(TODO_FILE), [](CToDoTable& t) { AddCategories(t, {"Work"}); });
    auto manager = Manager();
    const std::string good = BytesOfZoe(TODO_FILE);
    struct Row {
        const char* name;
        std::string bytes;      // the file before the write
        const char* failing;    // the stand-in calls told to fail
        bool lock;              // someone holds the file
        bool categoryFails;     // a category change fails the same way
    } rows[] = {
        {"damaged file", good.substr(0, good.size() - 3), nullptr, false, true},
        {"not a table", "just some text", nullptr, false, true},
        {"save fails", good, "CBaseTable::Save", false, true},
        {"open fails", good, "CBaseTable::OpenFrom", false, true},
        {"adding fails", good, "CBaseTable::AddRecord", false, false},
        {"filling fails half way", good, "CBaseRecord::SetPrivate", false, false},
        {"locked table", good, nullptr, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        WriteFileBytes(desktop.File(ZoeFile(TODO_FILE)), row.bytes);
        HANDLE lock = row.lock ? CreateFileA(desktop.File(ZoeFile(TODO_FILE)).c_str(), GENERIC_READ, 0, nullptr,
                                             OPEN_EXISTING, 0, nullptr)
                               : INVALID_HANDLE_VALUE;
        {
            FailingCalls failing(row.failing ? row.failing : "");
            TodoItem item;
            item.description = "lost";
            EXPECT_EQ(0, manager->WriteItem(PalmKindTodo, &item));
            if (row.categoryFails) {
                EXPECT_EQ(0, manager->Tables().CreateCategory(PalmKindTodo, "Home"));
            }
        }
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);
        EXPECT_EQ(row.bytes, BytesOfZoe(TODO_FILE));
    }
}

TEST_F(PalmDataTest, MissingTableIsCreatedByTheFirstWrite)
{
    auto manager = Manager();
    DeleteFileA(desktop.File(ZoeFile(MEMO_FILE)).c_str());
    std::vector<CategoryInfo> list;
    EXPECT_EQ(1, manager->Tables().GetCategories(PalmKindMemo, list));
    MemoItem memo;
    memo.text = "new";
    EXPECT_EQ(1, manager->WriteItem(PalmKindMemo, &memo));
    EXPECT_EQ("record id=1 category=0 private=0 deleted=0 archived=0 memo=\"new\"\r\n", Records(DumpZoe(MEMO_FILE)));
}

TEST_F(PalmDataTest, UnreadableTablesGiveEmptyLists)
{
    auto manager = Manager();
    WriteFileBytes(desktop.File(ZoeFile(TODO_FILE)), "junk");
    std::vector<CategoryInfo> list(2);
    EXPECT_EQ(0, manager->Tables().GetCategories(PalmKindTodo, list));
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(0, manager->Tables().RemoveCategory(PalmKindTodo, "Unfiled"));
}

TEST_F(PalmDataTest, DayListHoldsTheAppointmentsStartingThatDay)
{
    desktop.EditTable<CDateBkTable>(ZoeFile(DATEBOOK_FILE), [](CDateBkTable& t) {
        AddAppointments(t, PalmAlarmHours,
                        {
                            {LocalSeconds(2026, 3, 10, 23, 59), "late", 0, 0},
                            {LocalSeconds(2026, 3, 11), "next day", 0, 0},
                            {LocalSeconds(2026, 3, 9, 23, 59), "day before", 0, 0},
                            {LocalSeconds(2026, 3, 10, 9, 0), "morning", 1, 0},
                            {LocalSeconds(2026, 3, 10), "all day", 0, 0},
                            {LocalSeconds(2026, 3, 10, 12, 0), "removed", 0, 1},
                        });
    });
    auto manager = Manager();
    for (double day : {OleDate(2026, 3, 10), OleDate(2026, 3, 10, 18, 0)}) {
        SCOPED_TRACE(day);
        std::vector<DateBookItem> items(1);
        EXPECT_EQ(3, manager->Tables().DateBook().GetDay(day, items));
        std::string text;
        for (const DateBookItem& item : items) {
            char line[160];
            snprintf(line, sizeof line, "%.5f %.5f %d %d %s;", item.start, item.end, item.alarmAdvance, item.alarmUnit,
                     item.description.GetString());
            text += line;
        }
        // A deleted appointment waits for the next HotSync to go; it is no
        // longer on the user's calendar.
        char expected[400];
        snprintf(expected, sizeof expected, "%.5f %.5f -1 0 all day;%.5f %.5f 15 1 morning;%.5f %.5f -1 0 late;",
                 OleDate(2026, 3, 10), OleDate(2026, 3, 10, 0, 30), OleDate(2026, 3, 10, 9, 0),
                 OleDate(2026, 3, 10, 9, 30), OleDate(2026, 3, 10, 23, 59), OleDate(2026, 3, 11, 0, 29));
        EXPECT_EQ(expected, text);
    }
    std::vector<DateBookItem> none(1);
    EXPECT_EQ(0, manager->Tables().DateBook().GetDay(OleDate(2026, 3, 12), none));
    EXPECT_TRUE(none.empty());
}
