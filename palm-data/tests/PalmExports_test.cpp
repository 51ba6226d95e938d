// The library's operations as the Palm control reaches them: loaded by name
// from Lark.dll and from Linnet.dll, called through GetProcAddress, checked
// against what the stand-in's files hold afterwards.
#include <gtest/gtest.h>

#include "PalmDataFixture.h"
#include "QuiTesting.h"

using namespace PalmTesting;

namespace {

const char* const kOperations[] = {
    "GetTodoCategories", "GetMemoCategories", "_GetUserInfo@4",   "AddTodoItem",          "AddMemoItem",
    "AddDateBookItem",   "GetContacts",       "GetEmailForContact", "GetUserPath",        "GetNoDateValue",
    "GetCurrentItem",    "NewContact",        "OpenPilotDesktop", "GetContactFieldOrder", "GetCategoryFieldOrder",
    "GetUsers",          "GetCurrentUser",    "SetCurrentUser",   "CreateCategory",       "RemoveCategory",
    "DataRefresh",       "GetCalendarDay",    "GetInitialized",
};

// The operations that take a pointer they need.
const char* const kNeedAPointer[] = {
    "GetTodoCategories", "GetMemoCategories", "AddTodoItem",          "AddMemoItem",           "AddDateBookItem",
    "GetContacts",       "GetEmailForContact", "GetUserPath",         "GetNoDateValue",        "GetCurrentItem",
    "NewContact",        "GetContactFieldOrder", "GetCategoryFieldOrder", "GetUsers",           "GetCurrentUser",
    "SetCurrentUser",    "CreateCategory",    "RemoveCategory",       "GetCalendarDay",
};

std::string Text(BSTR text)
{
    char ansi[1024] = "";
    WideCharToMultiByte(CP_ACP, 0, text ? text : L"", -1, ansi, sizeof ansi, nullptr, nullptr);
    return ansi;
}

// A list operation's lines, through a VARIANT that holds something before.
std::vector<std::string> List(const LoadedModule& library, const char* operation)
{
    VARIANT list;
    list.vt = VT_EMPTY;
    EXPECT_EQ(1, library.Call(operation, &list)) << operation;
    std::vector<std::string> lines = ListLines(list);
    VariantClear(&list);
    return lines;
}

// Answers with OK every message box this thread shows while the object
// lives, and counts them.
using AnsweredMessageBoxes = QuiTesting::DialogAnswerer;

} // namespace

class PalmExportsTest : public PalmDataTest, public ::testing::WithParamInterface<const char*> {
protected:
    PalmExportsTest() : library(GetParam()) {}
    LoadedModule library;
};

INSTANTIATE_TEST_SUITE_P(Modules, PalmExportsTest, ::testing::Values("Lark.dll", "Linnet.dll"));

TEST_P(PalmExportsTest, EveryOperationIsThereByName)
{
    ASSERT_TRUE(library.Loaded());
    for (const char* name : kOperations)
        EXPECT_NE(nullptr, library.Find(name)) << name;
    EXPECT_EQ(nullptr, library.Find("GetUserInfo")) << "only its decorated name is exported";
    EXPECT_EQ(1, library.Call("_GetUserInfo@4", nullptr));
    EXPECT_EQ(1, library.Call("GetInitialized", nullptr));
}

TEST_P(PalmExportsTest, NullArgumentsAreRefused)
{
    ASSERT_TRUE(library.Loaded());
    const std::string todo = BytesOfZoe(TODO_FILE);
    for (const char* name : kNeedAPointer)
        EXPECT_EQ(0, library.Call(name, nullptr)) << name;
    const char* nullName = nullptr;
    EXPECT_EQ(0, library.Call("SetCurrentUser", &nullName));
    EXPECT_EQ(todo, BytesOfZoe(TODO_FILE));
}

TEST_P(PalmExportsTest, RecordsOfAnotherSizeAreRefusedUntouched)
{
    ASSERT_TRUE(library.Loaded());
    desktop.EditTable<CToDoTable>(ZoeFile(TODO_FILE), [](CToDoTable& t) { AddCategories(t, {"Work"}); });
    const std::string before = DumpZoe(TODO_FILE) + DumpZoe(MEMO_FILE) + DumpZoe(DATEBOOK_FILE);
    for (int delta : {-4, 4}) {
        SCOPED_TRACE(delta);
        TodoItem todo;
        todo.description = std::string(300, 'd').c_str();
        todo.size += delta;
        MemoItem memo;
        memo.text = "memo";
        memo.size += delta;
        DateBookItem appointment;
        appointment.size += delta;
        CategoryRequest request;
        request.name = "Work";
        request.kind = PalmKindTodo;
        request.size += delta;
        CONTACTITEM contact;
        contact.SetText(CONTACTITEM::Company, "Acme");
        contact.size += delta;
        EXPECT_EQ(0, library.Call("AddTodoItem", &todo));
        EXPECT_EQ(300, todo.description.GetLength()) << "a refused record is not shortened";
        EXPECT_EQ(0, library.Call("AddMemoItem", &memo));
        EXPECT_EQ(0, library.Call("AddDateBookItem", &appointment));
        EXPECT_EQ(0.0, appointment.end);
        EXPECT_EQ(0, library.Call("CreateCategory", &request));
        EXPECT_EQ(0, library.Call("RemoveCategory", &request));
        EXPECT_EQ(0, library.Call("GetEmailForContact", &contact));
        EXPECT_EQ(0, library.Call("NewContact", &contact));
    }
    EXPECT_EQ(before, DumpZoe(TODO_FILE) + DumpZoe(MEMO_FILE) + DumpZoe(DATEBOOK_FILE));
}

// Callers declare the contact record as 168 bytes on 32-bit Windows.
TEST_P(PalmExportsTest, ContactRecordOfTheDeclaredSize)
{
    ASSERT_TRUE(library.Loaded());
    CONTACTITEM contact;
    contact.size = sizeof(void*) == 4 ? 168 : 320;
    contact.SetText(CONTACTITEM::Company, "Acme");
    EXPECT_EQ(1, library.Call("GetEmailForContact", &contact));
}

TEST_P(PalmExportsTest, LongTextsAreShortenedInTheCallersRecord)
{
    ASSERT_TRUE(library.Loaded());
    struct Row {
        const char* operation;
        int length;
        int kept;
    } rows[] = {
        {"AddTodoItem", 255, 255}, {"AddTodoItem", 256, 255},     {"AddTodoItem", 1000, 255},
        {"AddMemoItem", 4095, 4095}, {"AddMemoItem", 4096, 4095}, {"AddDateBookItem", 255, 255},
        {"AddDateBookItem", 256, 255},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.operation) + " " + Number(row.length));
        const CString text(std::string(static_cast<size_t>(row.length - 1), 'x').c_str() + CString("y"));
        TodoItem todo;
        todo.description = text;
        MemoItem memo;
        memo.text = text;
        DateBookItem appointment;
        appointment.description = text;
        appointment.start = OleDate(2026, 3, 10, 9, 0);
        const std::string operation = row.operation;
        CString& written = operation == "AddTodoItem"   ? todo.description
                           : operation == "AddMemoItem" ? memo.text
                                                        : appointment.description;
        void* record = operation == "AddTodoItem"   ? static_cast<void*>(&todo)
                       : operation == "AddMemoItem" ? static_cast<void*>(&memo)
                                                    : static_cast<void*>(&appointment);
        EXPECT_EQ(1, library.Call(row.operation, record));
        EXPECT_EQ(row.kept, written.GetLength());
        EXPECT_EQ(row.kept == row.length ? 'y' : 'x', written[row.kept - 1]);
        const char* file = operation == "AddTodoItem" ? TODO_FILE : operation == "AddMemoItem" ? MEMO_FILE
                                                                                                : DATEBOOK_FILE;
        const std::string records = Records(DumpZoe(file));
        const size_t last = records.rfind("record ");
        EXPECT_NE(std::string::npos, records.find("\"" + std::string(written) + "\"", last));
    }
}

TEST_P(PalmExportsTest, ItemsAreWrittenWithTheirFields)
{
    ASSERT_TRUE(library.Loaded());
    desktop.EditTable<CMemoTable>(ZoeFile(MEMO_FILE), [](CMemoTable& t) { AddCategories(t, {"Ideas"}); });
    TodoItem todo;
    todo.description = "Call Bob";
    todo.category = "Nowhere";
    todo.priority = 2;
    EXPECT_EQ(1, library.Call("AddTodoItem", &todo));
    EXPECT_EQ("record id=1 category=0 private=0 deleted=0 archived=0 description=\"Call Bob\" due=" +
                  Number(maxDate) + " completed=0 priority=2 note=\"\"\r\n",
              Records(DumpZoe(TODO_FILE)));
    MemoItem memo;
    memo.text = "idea";
    memo.category = "Ideas";
    memo.isPrivate = 1;
    EXPECT_EQ(1, library.Call("AddMemoItem", &memo));
    EXPECT_EQ("record id=1 category=1 private=1 deleted=0 archived=0 memo=\"idea\"\r\n", Records(DumpZoe(MEMO_FILE)));
    DateBookItem appointment;
    appointment.description = "Dentist";
    appointment.start = OleDate(2026, 3, 10, 9, 0);
    appointment.alarmAdvance = 10;
    EXPECT_EQ(1, library.Call("AddDateBookItem", &appointment));
    EXPECT_NEAR(OleDate(2026, 3, 10, 9, 0) + 0.04, appointment.end, 1e-9) << "the end is given back";
    const std::string dump = Records(DumpZoe(DATEBOOK_FILE));
    EXPECT_NE(std::string::npos, dump.find("start=" + Number(LocalSeconds(2026, 3, 10, 9, 0)) + " ")) << dump;
    EXPECT_NE(std::string::npos, dump.find("description=\"Dentist\"")) << dump;
}

TEST_P(PalmExportsTest, WritesWaitForHotSyncButRefreshSaysNoDesktop)
{
    ASSERT_TRUE(library.Loaded());
    EXPECT_EQ(2, library.Call("DataRefresh", nullptr));
    {
        HotSyncWindow hotSync;
        const std::string before = BytesOfZoe(TODO_FILE) + BytesOfZoe(MEMO_FILE) + BytesOfZoe(DATEBOOK_FILE);
        TodoItem todo;
        MemoItem memo;
        DateBookItem appointment;
        EXPECT_EQ(0, library.Call("AddTodoItem", &todo));
        EXPECT_EQ(0, library.Call("AddMemoItem", &memo));
        EXPECT_EQ(0, library.Call("AddDateBookItem", &appointment));
        EXPECT_EQ(0, library.Call("DataRefresh", nullptr));
        EXPECT_EQ(before, BytesOfZoe(TODO_FILE) + BytesOfZoe(MEMO_FILE) + BytesOfZoe(DATEBOOK_FILE));
    }
    MemoItem memo;
    memo.text = "after the sync";
    EXPECT_EQ(1, library.Call("AddMemoItem", &memo));
}

TEST_P(PalmExportsTest, CategoryLinesOfToDosAndMemos)
{
    ASSERT_TRUE(library.Loaded());
    desktop.EditTable<CToDoTable>(ZoeFile(TODO_FILE), [](CToDoTable& t) { AddCategories(t, {"Work", "Say \"hi\""}); });
    desktop.EditTable<CMemoTable>(ZoeFile(MEMO_FILE), [](CMemoTable& t) { AddCategories(t, {"Ideas"}); });
    EXPECT_EQ((std::vector<std::string>{"\"Unfiled\",\"0##0\"", "\"Work\",\"0##11\"", "\"Say \"\"hi\"\"\",\"0##22\""}),
              List(library, "GetTodoCategories"));
    EXPECT_EQ((std::vector<std::string>{"\"Unfiled\",\"0##0\"", "\"Ideas\",\"0##11\""}),
              List(library, "GetMemoCategories"));
    WriteFileBytes(desktop.File(ZoeFile(MEMO_FILE)), "junk");
    EXPECT_EQ(std::vector<std::string>{}, List(library, "GetMemoCategories")) << "an unreadable table";
}

TEST_P(PalmExportsTest, CategoryChangesByKind)
{
    ASSERT_TRUE(library.Loaded());
    struct Row {
        int kind;
        const char* name;
        const char* file;   // null: no table of that kind
    } rows[] = {
        {1, "Work", TODO_FILE}, {2, "Ideas", MEMO_FILE}, {3, "QuickList", ADDRESS_FILE}, {4, "Other", nullptr},
        {0, "None", nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CategoryRequest request;
        request.name = row.name;
        request.kind = row.kind;
        const std::string line = std::string("name=\"") + row.name + "\"";
        EXPECT_EQ(row.file ? 1 : 0, library.Call("CreateCategory", &request));
        if (row.file) {
            EXPECT_NE(std::string::npos, DumpZoe(row.file).find(line));
        }
        EXPECT_EQ(row.file ? 1 : 0, library.Call("RemoveCategory", &request));
        if (row.file) {
            EXPECT_EQ(std::string::npos, DumpZoe(row.file).find(line));
        }
        EXPECT_EQ(0, library.Call("RemoveCategory", &request)) << "already gone";
    }
}

TEST_P(PalmExportsTest, ContactLinesAndTheLookup)
{
    ASSERT_TRUE(library.Loaded());
    desktop.EditTable<CAddressTable>(ZoeFile(ADDRESS_FILE), [](CAddressTable& t) {
        AddPeople(t, {
                         {"Ann", "Lee", "Acme \"Tools\" \"Inc\"", 0, 0, 1, "second@x", 1},
                         {"Bob", "Ray", "", 0, 0, 2, "second@x", 4},
                         {"Old", "Gone", "", 1, 0, 1, "second@x", 4},
                     });
    });
    EXPECT_EQ((std::vector<std::string>{
                  "\"Ann\",\"Lee\",\"Acme \"\"Tools\"\" \"\"Inc\"\"\",\"1\",\"555-0001\",\"\",\"\",\"\",\"\",\"\",\"\"",
                  "\"Bob\",\"Ray\",\"\",\"2\",\"second@x\",\"second@x\",\"\",\"second@x\",\"\",\"\",\"\"",
              }),
              List(library, "GetContacts"));

    CONTACTITEM query;
    query.SetText(CONTACTITEM::FirstName, "Bob");
    query.SetText(CONTACTITEM::LastName, "Ray");
    EXPECT_EQ(1, library.Call("GetEmailForContact", &query));
    EXPECT_STREQ("Springfield", query.GetText(CONTACTITEM::City));
    EXPECT_STREQ("E-Mail:", query.Email(1).GetLabel());
    EXPECT_STREQ("second@x", query.Email(1).GetValue());
    EXPECT_EQ(1, query.Email(1).shown);
    CONTACTITEM stranger;
    stranger.SetText(CONTACTITEM::FirstName, "Old");
    stranger.SetText(CONTACTITEM::LastName, "Gone");
    EXPECT_EQ(1, library.Call("GetEmailForContact", &stranger));
    EXPECT_STREQ("", stranger.GetText(CONTACTITEM::City)) << "a deleted contact is not found";
    WriteFileBytes(desktop.File(ZoeFile(ADDRESS_FILE)), "junk");
    EXPECT_EQ(0, library.Call("GetEmailForContact", &query));
    EXPECT_EQ(std::vector<std::string>{}, List(library, "GetContacts"));
}

TEST_P(PalmExportsTest, UsersAndSwitchingBetweenThem)
{
    ASSERT_TRUE(library.Loaded());
    EXPECT_EQ((std::vector<std::string>{"Zoe", "Adam", "Bob"}), List(library, "GetUsers"));
    auto currentUser = [this] {
        BSTR name = nullptr;
        EXPECT_EQ(1, library.Call("GetCurrentUser", &name));
        const std::string text = Text(name);
        SysFreeString(name);
        return text;
    };
    auto userPath = [this] {
        char path[MAX_PATH + 8];
        memset(path, '#', sizeof path);
        EXPECT_EQ(1, library.Call("GetUserPath", path));
        return std::string(path);
    };
    EXPECT_EQ("Zoe", currentUser());
    EXPECT_EQ(desktop.Path() + "ZoeD\\", userPath());
    struct Row {
        const char* name;
        int answer;
        const char* current;
    } rows[] = {{"Bob", 1, "Bob"}, {"Nobody", 0, "Bob"}, {"zoe", 0, "Bob"}, {"", 0, "Bob"}, {"Zoe", 1, "Zoe"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const char* name = row.name;
        EXPECT_EQ(row.answer, library.Call("SetCurrentUser", &name));
        EXPECT_EQ(row.current, currentUser());
        EXPECT_EQ(desktop.Path() + row.current + "D\\", userPath());
    }
    TodoItem todo;
    todo.description = "for Bob";
    const char* bob = "Bob";
    ASSERT_EQ(1, library.Call("SetCurrentUser", &bob));
    EXPECT_EQ(1, library.Call("AddTodoItem", &todo));
    EXPECT_NE(std::string::npos, desktop.Dump("BobD\\" TODO_FILE).find("for Bob"));
    EXPECT_EQ("", Records(DumpZoe(TODO_FILE)));
}

// The folder must fit the caller's buffer of a full path with its end; one
// that does not is refused with an empty text rather than written past it.
TEST_F(PalmDataTest, UserPathLongerThanAFullPathIsRefused)
{
    struct Row {
        size_t length;   // of the user's folder path with its backslash
        int answer;
    } rows[] = {{MAX_PATH - 1, 1}, {MAX_PATH, 0}, {400, 0}};
    for (const char* module : {"Lark.dll", "Linnet.dll"}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(module) + " " + Number(static_cast<long>(row.length)));
            const std::string name = module + Number(static_cast<long>(row.length));
            const std::string folder(row.length - desktop.Path().size() - 1, 'u');
            CUserMgr users;
            users.SetDirectory(desktop.Path().c_str());
            ASSERT_NE(nullptr, users.AddUser(name.c_str(), folder.c_str(), false));
            users.Save();
            desktop.SetLastUser(name.c_str());
            // Such a folder cannot hold the user's data: the library says so
            // when first asked, never while it is being loaded, and keeps the user.
            AnsweredMessageBoxes boxes;
            LoadedModule library(module);
            ASSERT_TRUE(library.Loaded());
            EXPECT_EQ(0, boxes.Count()) << "loading shows nothing";
            std::vector<char> buffer(MAX_PATH + 200, '#');
            EXPECT_EQ(row.answer, library.Call("GetUserPath", buffer.data()));
            EXPECT_EQ(1, boxes.Count());
            EXPECT_EQ(row.answer ? desktop.Path() + folder + "\\" : std::string(), std::string(buffer.data()));
            EXPECT_EQ('#', buffer[MAX_PATH]) << "nothing is written past a full path";
        }
    }
}

TEST_P(PalmExportsTest, FixedValuesAndFieldOrders)
{
    ASSERT_TRUE(library.Loaded());
    int32_t noDate = 0;
    EXPECT_EQ(1, library.Call("GetNoDateValue", &noDate));
    EXPECT_EQ(maxDate, noDate);
    BYTE contact[25];
    memset(contact, 0xEE, sizeof contact);
    EXPECT_EQ(1, library.Call("GetContactFieldOrder", contact));
    EXPECT_EQ((std::vector<BYTE>{0x0B, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x0A, 0x62, 0x63, 0xEE}),
              std::vector<BYTE>(contact, contact + 13));
    BYTE category[25];
    memset(category, 0xEE, sizeof category);
    EXPECT_EQ(1, library.Call("GetCategoryFieldOrder", category));
    EXPECT_EQ((std::vector<BYTE>{0x02, 0x01, 0x02, 0xEE}), std::vector<BYTE>(category, category + 4));
    BSTR text = nullptr;
    EXPECT_EQ(1, library.Call("GetCurrentItem", &text)) << "no desktop: an empty text";
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(0u, SysStringLen(text));
    SysFreeString(text);
}

TEST_P(PalmExportsTest, CalendarDayLines)
{
    ASSERT_TRUE(library.Loaded());
    desktop.EditTable<CDateBkTable>(ZoeFile(DATEBOOK_FILE), [](CDateBkTable& t) {
        AddAppointments(t, PalmAlarmMinutes,
                        {
                            {LocalSeconds(2026, 3, 11, 0, 0), "next day", 0, 0},
                            {LocalSeconds(2026, 3, 10, 23, 59), "late", 0, 0},
                            {LocalSeconds(2026, 3, 10, 9, 50), "morning", 1, 0},
                            {LocalSeconds(2026, 3, 9, 23, 59), "day before", 0, 0},
                        });
    });
    auto line = [](double start, double end, double alarm, const char* description) {
        char text[200];
        snprintf(text, sizeof text, "\"%.7f\",\"%.7f\",\"%.7f\",\"1\",\"%s\"", start, end, alarm, description);
        return std::string(text);
    };
    const std::vector<std::string> expected = {
        line(OleDate(2026, 3, 10, 9, 50), OleDate(2026, 3, 10, 10, 20), OleDate(2026, 3, 10, 10, 5), "morning"),
        line(OleDate(2026, 3, 10, 23, 59), OleDate(2026, 3, 11, 0, 29), -1.0, "late"),
    };
    struct Row {
        const char* name;
        VARIANT day;
    };
    VARIANT asDate, asText, asNumber;
    asDate.vt = VT_DATE;
    asDate.date = OleDate(2026, 3, 10, 18, 30);
    asText.vt = VT_BSTR;
    asText.bstrVal = SysAllocString(L"3/10/2026");
    asNumber.vt = VT_R8;
    asNumber.dblVal = OleDate(2026, 3, 10);
    for (VARIANT* day : {&asDate, &asText, &asNumber}) {
        SCOPED_TRACE(day->vt);
        EXPECT_EQ(1, library.Call("GetCalendarDay", day));
        EXPECT_EQ(expected, ListLines(*day));
        VariantClear(day);
    }
    VARIANT junk;
    junk.vt = VT_BSTR;
    junk.bstrVal = SysAllocString(L"junk");
    EXPECT_EQ(0, library.Call("GetCalendarDay", &junk)) << "no day to read";
    ASSERT_EQ(VT_BSTR, junk.vt);
    EXPECT_EQ("junk", Text(junk.bstrVal));
    VariantClear(&junk);
}
