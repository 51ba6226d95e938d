#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "OutlookStore.h"

namespace {

class OutlookStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t folder[MAX_PATH];
        ASSERT_NE(0u, GetTempPathW(MAX_PATH, folder));
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = std::wstring(folder) + L"outlook-store-" + Wide(test->name());
        DeleteFileW(m_path.c_str());
    }
    void TearDown() override { DeleteFileW(m_path.c_str()); }

    void WriteRaw(const std::string& text)
    {
        HANDLE file = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
    }

    std::wstring m_path;
};

}  // namespace

TEST_F(OutlookStore, RecordsComeBackWholeAndInOrder)
{
    const StoreRecord written[] = {
        {"task", "saved", {{"Subject", "call the bank"}, {"Body", "line one\nline two\r\n"}, {"DueDate", "none"}}},
        {"logon", "failed", {}},
        {"mail", "sent", {{"To", "C:\\names\\bob"}, {"Subject", "=x=\\n"}}},
    };
    for (const StoreRecord& record : written)
        ASSERT_TRUE(AppendStoreRecord(m_path, record));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((m_path + L".tmp").c_str())) << "temporary file left";

    std::vector<StoreRecord> read;
    ASSERT_TRUE(ReadStore(m_path, &read));
    ASSERT_EQ(3u, read.size());
    for (size_t i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(written[i].kind, read[i].kind);
        EXPECT_EQ(written[i].action, read[i].action);
        EXPECT_EQ(written[i].fields, read[i].fields);
    }
}

TEST_F(OutlookStore, DumpSortsFieldsWithinRecordsKeptInStoreOrder)
{
    std::vector<StoreRecord> records = {
        {"task", "saved", {{"Subject", "b"}, {"Body", "two\nlines"}}},
        {"logon", "ok", {}},
        {"appointment", "saved", {{"Start", "1899-12-30 00:00:00"}, {"AllDayEvent", "false"}}},
    };
    const std::vector<std::string> expected = {
        "0001 task saved Body=two\\nlines",
        "0001 task saved Subject=b",
        "0002 logon ok",
        "0003 appointment saved AllDayEvent=false",
        "0003 appointment saved Start=1899-12-30 00:00:00",
    };
    EXPECT_EQ(expected, DumpStoreLines(records));
}

TEST_F(OutlookStore, MissingStoreHoldsNothingAndBrokenOnesAreRefused)
{
    struct Row {
        const char* content;  // null: no file
        bool readable;
        size_t records;
    } rows[] = {
        {nullptr, true, 0},
        {"", true, 0},
        {"record note saved\nBody=x\nend\n", true, 1},
        {"record note saved\nBody=x\nend", false, 0},
        {"record note saved\nBody=x\n", false, 0},
        {"record note saved\nno equals sign\nend\n", false, 0},
        {"note saved\nend\n", false, 0},
        {"record note\nend\n", false, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.content ? row.content : "(no file)");
        DeleteFileW(m_path.c_str());
        if (row.content)
            WriteRaw(row.content);
        std::vector<StoreRecord> records;
        EXPECT_EQ(row.readable, ReadStore(m_path, &records));
        EXPECT_EQ(row.records, records.size());
    }
}

TEST_F(OutlookStore, AppendingToAnUnnamedOrUnreachableStoreFails)
{
    EXPECT_FALSE(AppendStoreRecord(L"", {"note", "saved", {}}));
    EXPECT_FALSE(AppendStoreRecord(m_path + L"\\no\\such\\folder", {"note", "saved", {}}));
}

namespace {

struct Save {
    std::wstring path;
    bool stored = false;
};

DWORD WINAPI SaveOneRecord(void* param)
{
    Save* save = static_cast<Save*>(param);
    save->stored = AppendStoreRecord(save->path, {"task", "saved", {{"Subject", "new"}}});
    return 0;
}

std::vector<std::string> Subjects(const std::vector<StoreRecord>& records)
{
    std::vector<std::string> subjects;
    for (const StoreRecord& record : records)
        subjects.push_back(record.fields.empty() ? "" : record.fields[0].second);
    return subjects;
}

}  // namespace

TEST_F(OutlookStore, ASaveGoesThroughWhileAReaderHoldsTheStore)
{
    ASSERT_TRUE(AppendStoreRecord(m_path, {"task", "saved", {{"Subject", "old"}}}));
    const std::wstring temporary = m_path + L".tmp";
    Save save{m_path};
    HANDLE thread = nullptr;
    {
        StoreReader reader(m_path);
        thread = CreateThread(nullptr, 0, SaveOneRecord, &save, 0, nullptr);
        ASSERT_NE(nullptr, thread);
        // The store stays held while the save has written its file and puts
        // it in place.
        const DWORD start = GetTickCount();
        while (GetFileAttributesW(temporary.c_str()) == INVALID_FILE_ATTRIBUTES
               && WaitForSingleObject(thread, 1) == WAIT_TIMEOUT && GetTickCount() - start < 10000) {
        }
        if (WaitForSingleObject(thread, 200) == WAIT_OBJECT_0) {
            EXPECT_TRUE(save.stored) << "the save was refused while the store was read";
        }

        // What the reader reads is whole: the store as it was when opened.
        std::vector<StoreRecord> held;
        EXPECT_TRUE(reader.Read(&held));
        EXPECT_EQ(std::vector<std::string>{"old"}, Subjects(held));
    }
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 30000));
    CloseHandle(thread);
    EXPECT_TRUE(save.stored);
    std::vector<StoreRecord> records;
    EXPECT_TRUE(ReadStore(m_path, &records));
    EXPECT_EQ((std::vector<std::string>{"old", "new"}), Subjects(records));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(temporary.c_str())) << "temporary file left";
}
