// The loader against the Palm Desktop stand-in: which library it chooses,
// that it loads once and only when first needed, and what it does to PATH.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "PalmDesktopFixture.h"
#include "PilotManager.h"

using namespace PalmTesting;

namespace {

class PilotManagerTest : public ::testing::Test {
protected:
    PilotManagerTest()
    {
        desktop.AddUser("Zoe", "ZoeD");
        desktop.SetLastUser("Zoe");
        CreateDirectoryA(HotSyncFolder().c_str(), nullptr);
        char path[8192] = "";
        GetEnvironmentVariableA("PATH", path, sizeof path);
        m_path = path;
    }
    ~PilotManagerTest() override { SetEnvironmentVariableA("PATH", m_path.c_str()); }

    std::string HotSyncFolder() const { return desktop.Path() + "HotSync\\"; }
    void HotSyncHolds(const std::vector<const char*>& files)
    {
        for (const char* file : {"palmcmn.dll", "subs30.dll"})
            DeleteFileA((HotSyncFolder() + file).c_str());
        for (const char* file : files)
            WriteFileBytes(HotSyncFolder() + file, "");
    }
    static std::string Path()
    {
        DWORD size = GetEnvironmentVariableA("PATH", nullptr, 0);
        std::string path(size, '\0');
        path.resize(GetEnvironmentVariableA("PATH", &path[0], size));
        return path;
    }

    TestDesktop desktop;
    std::string m_path;
};

}  // namespace

TEST_F(PilotManagerTest, ChoosesTheLibraryForTheDesktopsGeneration)
{
    struct Row {
        const char* what;
        const char* hotSyncPath;  // below the desktop folder; null: no value
        std::vector<const char*> files;
        const char* library;
    };
    const std::vector<Row> rows = {
        {"both files", "HotSync\\hotsync.exe", {"palmcmn.dll", "subs30.dll"}, "Lark.dll"},
        {"only palmcmn.dll", "HotSync\\hotsync.exe", {"palmcmn.dll"}, "Linnet.dll"},
        {"only subs30.dll", "HotSync\\hotsync.exe", {"subs30.dll"}, "Linnet.dll"},
        {"neither", "HotSync\\hotsync.exe", {}, "Linnet.dll"},
        {"no HotSync path", nullptr, {"palmcmn.dll", "subs30.dll"}, "Linnet.dll"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        HotSyncHolds(row.files);
        SHDeleteValueA(HKEY_CURRENT_USER, kCoreKey, "HotSyncPath");
        if (row.hotSyncPath)
            desktop.SetHotSyncPath(desktop.Path() + row.hotSyncPath);
        PilotManager manager;
        EXPECT_TRUE(manager.GetInitialized());
        EXPECT_STREQ(row.library, manager.LibraryName());
    }
    desktop.SetHotSyncPath("hotsync.exe");
    EXPECT_EQ("", std::string(PilotManager::HotSyncFolder().GetString())) << "a path without a folder";
}

TEST_F(PilotManagerTest, TheFirstOperationLoadsAndTheLoadIsTriedOnce)
{
    desktop.SetHotSyncPath(HotSyncFolder() + "hotsync.exe");
    HotSyncHolds({});
    PilotManager manager;
    EXPECT_STREQ("", manager.LibraryName());
    TodoItem todo;
    todo.description = "first of all";
    EXPECT_EQ(1, manager.AddTodoItem(&todo));
    EXPECT_STREQ("Linnet.dll", manager.LibraryName());
    EXPECT_NE(std::string::npos, desktop.Dump("ZoeD\\todo\\todo.dat").find("description=\"first of all\""));

    HotSyncHolds({"palmcmn.dll", "subs30.dll"});
    EXPECT_TRUE(manager.GetInitialized());
    EXPECT_STREQ("Linnet.dll", manager.LibraryName()) << "not loaded again";
}

TEST_F(PilotManagerTest, TheHotSyncFolderJoinsTheWholePath)
{
    desktop.SetHotSyncPath(HotSyncFolder() + "hotsync.exe");
    struct Row {
        const char* what;
        std::string before;
        std::string after;
    };
    const std::string longPath = "C:\\windows;" + std::string(5000, 'p');
    const std::vector<Row> rows = {
        {"a short PATH", "C:\\windows", "C:\\windows;" + HotSyncFolder()},
        {"a PATH longer than 4 KB", longPath, longPath + ";" + HotSyncFolder()},
        {"no PATH", "", HotSyncFolder()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SetEnvironmentVariableA("PATH", row.before.empty() ? nullptr : row.before.c_str());
        PilotManager manager;
        EXPECT_TRUE(manager.GetInitialized());
        EXPECT_EQ(row.after, Path());
    }
}

TEST_F(PilotManagerTest, CallsByNameInAnyCase)
{
    PilotManager manager;
    ASSERT_TRUE(manager.GetInitialized());
    MemoItem memo;
    memo.text = "by name";
    EXPECT_EQ(1, manager.CallByName("addmemoitem", &memo));
    EXPECT_NE(std::string::npos, desktop.Dump("ZoeD\\memopad\\memopad.dat").find("memo=\"by name\""));
    EXPECT_EQ(0, manager.CallByName("AddContactItem", &memo)) << "not an operation of the library";
    EXPECT_EQ(0, manager.AddContactItem(nullptr));
    EXPECT_EQ(0, manager.GetUserInfo(nullptr)) << "never exported under that name";
}

TEST_F(PilotManagerTest, CalendarDayMovesTheAnswerToTheItems)
{
    PilotManager manager;
    DateBookItem appointment;
    appointment.description = "Dentist";
    appointment.start = 46091.375;  // 2026-03-10 09:00
    ASSERT_EQ(1, manager.AddDateBookItem(&appointment));
    VARIANT date, items;
    VariantInit(&date);
    VariantInit(&items);
    date.vt = VT_DATE;
    date.date = 46091.0;
    items.vt = VT_I4;
    EXPECT_EQ(1, manager.GetCalendarDay(&date, &items));
    EXPECT_EQ(VT_EMPTY, date.vt);
    ASSERT_EQ(VT_ARRAY | VT_BSTR, items.vt) << "the library's lines";
    LONG upper = -1;
    SafeArrayGetUBound(items.parray, 1, &upper);
    EXPECT_EQ(0, upper) << "one appointment that day";
    VariantClear(&items);
}

TEST_F(PilotManagerTest, AFreedLibraryIsNeverCalled)
{
    {
        PilotManager first;
        ASSERT_TRUE(first.GetInitialized());
    }
    PilotManager second;
    MemoItem memo;
    memo.text = "after the library went";
    EXPECT_EQ(0, second.CallByName("AddMemoItem", &memo)) << "nothing is loaded for this manager yet";
    EXPECT_EQ(std::string::npos, desktop.Dump("ZoeD\\memopad\\memopad.dat").find("after the library went"));
}

// One control going leaves the library, and the process's bindings, to the
// others still using it.
TEST_F(PilotManagerTest, ASecondManagerOutlivesTheFirst)
{
    std::unique_ptr<PilotManager> first(new PilotManager);
    ASSERT_TRUE(first->GetInitialized());
    PilotManager second;
    ASSERT_TRUE(second.GetInitialized());
    first.reset();
    MemoItem memo;
    memo.text = "after the first went";
    EXPECT_EQ(1, second.AddMemoItem(&memo));
    EXPECT_NE(std::string::npos, desktop.Dump("ZoeD\\memopad\\memopad.dat").find("after the first went"));
}
