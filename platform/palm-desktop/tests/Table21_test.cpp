#include <gtest/gtest.h>

#include "PalmDesktopFixture.h"
#include "Table21.h"

using namespace PalmTesting;

namespace {

const char kTodoFile[] = "todo.dat";

// The file's dump, or the reason it cannot be read.
std::string DumpOf(const TestDesktop& desktop, const char* file)
{
    return desktop.Dump(file);
}

// The exception a call throws: its class name and cause, "" when none.
template <class Call>
std::string Thrown(Call call)
{
    try {
        call();
    } catch (CFileException* e) {
        std::string what = "file " + std::to_string(e->m_cause);
        e->Delete();
        return what;
    } catch (CArchiveException* e) {
        std::string what = "archive " + std::to_string(e->m_cause);
        e->Delete();
        return what;
    }
    return "";
}

void AddTodo(CToDoTable& table, const char* description, int category = 0)
{
    CToDoRecord record(&table, 1);
    ASSERT_EQ(0, table.AddRecord(&record));
    record.SetDescription(description);
    record.SetCategoryId(category);
    table.Save();
}

} // namespace

TEST(Table21, MissingFileReadsAsEmptyTableAndSaveCreatesIt)
{
    TestDesktop desktop;
    CToDoTable table;
    EXPECT_EQ(CFileException::fileNotFound, table.OpenFrom(desktop.File(kTodoFile).c_str(), 0));
    EXPECT_EQ(0, table.GetRecordCount());
    AddTodo(table, "Call Bob");
    EXPECT_EQ("table TODO\r\n"
              "category 0 id=0 name=\"Unfiled\"\r\n"
              "record id=1 category=0 private=0 deleted=0 archived=0 description=\"Call Bob\" due=1956528000 "
              "completed=0 priority=1 note=\"\"\r\n",
              DumpOf(desktop, kTodoFile));
}

TEST(Table21, RecordValuesAtSaveTimeAreWrittenAndUnsavedDeletedRecordsAreNot)
{
    TestDesktop desktop;
    CMemoTable table;
    table.OpenFrom(desktop.File("memo.dat").c_str(), 0);
    {
        CMemoRecord dropped(&table, 1);
        table.AddRecord(&dropped);
    }
    EXPECT_EQ(0, table.GetRecordCount());
    {
        CMemoRecord record(&table, 1);
        table.AddRecord(&record);
        record.SetMemo("line one\r\nsaid \"hi\"");
        record.SetPrivate(1);
        table.Save();
        record.SetMemo("after saving");
    }
    EXPECT_EQ(1, table.GetRecordCount());
    EXPECT_EQ("table MEMO\r\n"
              "category 0 id=0 name=\"Unfiled\"\r\n"
              "record id=2 category=0 private=1 deleted=0 archived=0 memo=\"line one\\r\\nsaid \\\"hi\\\"\"\r\n",
              DumpOf(desktop, "memo.dat"));
}

TEST(Table21, RecordMadeForAnotherTableIsNotTaken)
{
    CToDoTable mine, other;
    CToDoRecord record(&other, 1);
    EXPECT_EQ(1, mine.AddRecord(&record));
    EXPECT_EQ(0, mine.GetRecordCount());
}

TEST(Table21, UnreadableFilesThrowAndStayAsTheyWere)
{
    TestDesktop desktop;
    desktop.EditTable<CMemoTable>("memo.dat", [](CMemoTable&) {});
    desktop.EditTable<CToDoTable>("whole.dat", [](CToDoTable& t) { AddTodo(t, "whole"); });
    const std::string memo = ReadFileBytes(desktop.File("memo.dat"));
    const std::string todo = ReadFileBytes(desktop.File("whole.dat"));
    struct Row {
        const char* name;
        std::string bytes;
        std::string thrown;
    } rows[] = {
        {"empty", "", "archive " + std::to_string(CArchiveException::badClass)},
        {"not a table", "hello world, no table here", "archive " + std::to_string(CArchiveException::badClass)},
        {"another kind", memo, "archive " + std::to_string(CArchiveException::badClass)},
        {"cut short", std::string(todo.data(), 40), "archive " + std::to_string(CArchiveException::endOfFile)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        WriteFileBytes(desktop.File(kTodoFile), row.bytes);
        CToDoTable table;
        EXPECT_EQ(row.thrown, Thrown([&] { table.OpenFrom(desktop.File(kTodoFile).c_str(), 0); }));
        EXPECT_EQ(0, table.GetRecordCount());
        EXPECT_EQ(row.bytes, ReadFileBytes(desktop.File(kTodoFile)));
    }
}

TEST(Table21, LockedTableRefusesReadAndWrite)
{
    TestDesktop desktop;
    desktop.EditTable<CToDoTable>(kTodoFile, [](CToDoTable& t) { AddTodo(t, "kept"); });
    const std::string before = ReadFileBytes(desktop.File(kTodoFile));
    CToDoTable reading, writing;
    writing.OpenFrom(desktop.File(kTodoFile).c_str(), 0);
    HANDLE lock = CreateFileA(desktop.File(kTodoFile).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    EXPECT_NE("", Thrown([&] { reading.OpenFrom(desktop.File(kTodoFile).c_str(), 0); }));
    EXPECT_EQ("file " + std::to_string(CFileException::accessDenied), Thrown([&] { AddTodo(writing, "lost"); }));
    CloseHandle(lock);
    EXPECT_EQ(before, ReadFileBytes(desktop.File(kTodoFile)));
    EXPECT_EQ("<missing>", ReadFileBytes(desktop.File("todo.dat.new")));
}

TEST(Table21, NamedCallsFailWhenTold)
{
    TestDesktop desktop;
    desktop.EditTable<CToDoTable>(kTodoFile, [](CToDoTable& t) { AddTodo(t, "kept"); });
    const std::string before = ReadFileBytes(desktop.File(kTodoFile));
    struct Row {
        const char* calls;
        std::function<std::string()> run;
        std::string expected;
    } rows[] = {
        {"CBaseTable::OpenFrom",
         [&] {
             CToDoTable t;
             return Thrown([&] { t.OpenFrom(desktop.File(kTodoFile).c_str(), 0); });
         },
         "file 1"},
        {"CBaseTable::Save",
         [&] {
             CToDoTable t;
             t.OpenFrom(desktop.File(kTodoFile).c_str(), 0);
             return Thrown([&] { AddTodo(t, "lost"); });
         },
         "file 1"},
        {"CBaseTable::AddRecord",
         [&] {
             CToDoTable t;
             CToDoRecord r(&t, 1);
             return Thrown([&] { t.AddRecord(&r); });
         },
         "archive 1"},
        {"CCategoryMgr::Add,CCategoryMgr::Delete",
         [&] {
             CToDoTable t;
             CCategory c(1, 5, "Work");
             return std::to_string(t.GetCategoryManager()->Add(&c)) + " " +
                    std::to_string(t.GetCategoryManager()->Delete(1));
         },
         "5 5"},
        {"CBaseTable::Saved",   // a name only like a failing one fails nothing
         [&] {
             CToDoTable t;
             t.OpenFrom(desktop.File(kTodoFile).c_str(), 0);
             return std::to_string(t.GetRecordCount());
         },
         "1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.calls);
        FailingCalls failing(row.calls);
        EXPECT_EQ(row.expected, row.run());
        EXPECT_EQ(before, ReadFileBytes(desktop.File(kTodoFile)));
    }
}

TEST(Table21, CategorySlots)
{
    CToDoTable table;
    CCategoryMgr& categories = *table.GetCategoryManager();
    EXPECT_EQ(1, categories.GetFreeIndex());
    struct Row {
        int index;
        long id;
        const char* name;
        int expected;
    } rows[] = {
        {1, 7, "Work", CCategoryMgr::ok},
        {1, 8, "Home", CCategoryMgr::errSlotTaken},
        {2, 8, "Work", CCategoryMgr::errDuplicateName},
        {0, 8, "Home", CCategoryMgr::errBadIndex},
        {16, 8, "Home", CCategoryMgr::errBadIndex},
        {2, 8, "", CCategoryMgr::ok},
        {3, 9, "", CCategoryMgr::ok},   // empty names may repeat
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.index);
        CCategory category(row.index, row.id, row.name);
        EXPECT_EQ(row.expected, categories.Add(&category));
    }
    EXPECT_EQ(10, categories.GetNextAddID());
    EXPECT_EQ(4, categories.GetFreeIndex());
    for (int i = 4; i < CCategoryMgr::MaxCategories; ++i) {
        CCategory category(i, 20 + i, ("C" + std::to_string(i)).c_str());
        ASSERT_EQ(CCategoryMgr::ok, categories.Add(&category));
    }
    EXPECT_EQ(-1, categories.GetFreeIndex());
    EXPECT_EQ(CCategoryMgr::errBadIndex, categories.Delete(0));
    EXPECT_EQ(CCategoryMgr::ok, categories.Delete(5));
    EXPECT_EQ(CCategoryMgr::errBadIndex, categories.Delete(5));
    EXPECT_EQ(5, categories.GetFreeIndex());
    EXPECT_EQ(nullptr, categories.FindName("work"));   // case counts
    ASSERT_NE(nullptr, categories.FindName("Work"));
    EXPECT_EQ(1, categories.FindName("Work")->GetIndex());
}

TEST(Table21, DeletingCategoryMovesItsRecordsToUnfiled)
{
    TestDesktop desktop;
    desktop.EditTable<CToDoTable>(kTodoFile, [](CToDoTable& t) {
        CCategory work(1, 3, "Work");
        t.GetCategoryManager()->Add(&work);
        AddTodo(t, "a", 1);
        AddTodo(t, "b", 0);
        t.GetCategoryManager()->Delete(1);
    });
    EXPECT_EQ("table TODO\r\n"
              "category 0 id=0 name=\"Unfiled\"\r\n"
              "record id=1 category=0 private=0 deleted=0 archived=0 description=\"a\" due=1956528000 completed=0 "
              "priority=1 note=\"\"\r\n"
              "record id=2 category=0 private=0 deleted=0 archived=0 description=\"b\" due=1956528000 completed=0 "
              "priority=1 note=\"\"\r\n",
              DumpOf(desktop, kTodoFile));
}

TEST(Table21, IteratorsSkipDeletedAndArchivedUnlessAskedAndSortByStart)
{
    CDateBkTable table;
    struct Row {
        long start;
        int deleted;
        int archived;
    } rows[] = {{300, 0, 0}, {100, 1, 0}, {200, 0, 1}, {100, 0, 0}, {50, 0, 0}};
    std::vector<std::unique_ptr<CDateBkRecord>> records;
    for (const Row& row : rows) {
        records.emplace_back(new CDateBkRecord(&table, 1));
        table.AddRecord(records.back().get());
        records.back()->SetStartTime(row.start);
        records.back()->SetDeleted(row.deleted);
        records.back()->SetArchived(row.archived);
    }
    auto walk = [&](bool sorted, int all) {
        CDateBkIterator it(&table);
        if (sorted)
            it.SortByStartDate();
        std::vector<long> ids;
        for (CDateBkRecord* r = it.FindFirst(all); r; r = it.FindNext(all))
            ids.push_back(r->GetRecordId());
        return ids;
    };
    EXPECT_EQ((std::vector<long>{1, 2, 3, 4, 5}), walk(false, 1));
    EXPECT_EQ((std::vector<long>{1, 4, 5}), walk(false, 0));
    EXPECT_EQ((std::vector<long>{5, 2, 4, 3, 1}), walk(true, 1));
    EXPECT_EQ((std::vector<long>{5, 4, 1}), walk(true, 0));
}

TEST(Table21, DateBookHasNoCategoriesAndAddressBookKeepsCustomLabels)
{
    TestDesktop desktop;
    CDateBkTable dates;
    EXPECT_EQ(nullptr, dates.GetCategoryManager());
    desktop.EditTable<CAddressTable>("address.dat", [](CAddressTable& t) {
        t.SetCustomLabel(2, "Birthday");
        t.SetCustomLabel(5, "ignored");
    });
    CAddressTable table;
    table.OpenFrom(desktop.File("address.dat").c_str(), 0);
    EXPECT_EQ("Custom 1", std::string(table.GetCustomLabel(1)));
    EXPECT_EQ("Birthday", std::string(table.GetCustomLabel(2)));
    EXPECT_EQ("", std::string(table.GetCustomLabel(0)));
    EXPECT_EQ("", std::string(table.GetCustomLabel(5)));
}

TEST(Table21, AddressRecordNumbersOutsideItsFieldsReadEmpty)
{
    CAddressTable table;
    CAddressRecord record(&table, 1);
    struct Row {
        int n;
        const char* phone;
        int label;
    } rows[] = {{0, "", -1}, {1, "555-1", 0}, {5, "555-5", 4}, {6, "", -1}};
    for (const Row& row : rows)
        record.SetPhone(row.n, ("555-" + std::to_string(row.n)).c_str());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.n);
        EXPECT_EQ(row.phone, std::string(record.GetPhone(row.n)));
        EXPECT_EQ(row.label, record.GetPhoneLabelID(row.n));
    }
}

TEST(PalmDump, ReportsFilesItCannotRead)
{
    TestDesktop desktop;
    EXPECT_EQ(0u, DumpOf(desktop, "nothing.dat").find("error: "));
    WriteFileBytes(desktop.File("junk.dat"), "junk");
    EXPECT_EQ(0u, DumpOf(desktop, "junk.dat").find("error: "));
}

TEST(PalmDump, ToolExitsWithWhetherEveryFileWasRead)
{
    TestDesktop desktop;
    desktop.AddUser("Zoe", "Zoe");
    WriteFileBytes(desktop.File("junk.dat"), "junk");
    const std::string tool = "\"" + ProgramFolder() + "palmdump.exe\"";
    const std::string good = " \"" + desktop.File("Zoe\\todo\\todo.dat") + "\" \"" + desktop.File(PALM_USERS_FILE) + "\"";
    struct Row {
        std::string arguments;
        int exitCode;
    } rows[] = {
        {"", 2},
        {good, 0},
        {good + " \"" + desktop.File("junk.dat") + "\"", 1},
        {" \"" + desktop.File("nothing.dat") + "\"", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments);
        EXPECT_EQ(row.exitCode, QuiComTesting::RunProgram(tool + row.arguments));
    }
}
