#include "FileUtil.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <string>

namespace {
void WriteFile(const char* path, const std::string& bytes)
{
    FILE* f = std::fopen(path, "wb");
    ASSERT_NE(nullptr, f);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

bool Exists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}
} // namespace

TEST(FileUtil, ReadAndDeleteFileEndsTheTextWithALineFeed)
{
    struct Row {
        const char* path;
        std::string content;
        std::string text;
    } rows[] = {
        {"readdelete_empty.tmp", "", ""},
        {"readdelete_one.tmp", "a", "a\n"},
        {"readdelete_lines.tmp", "one\r\ntwo", "one\r\ntwo\n"},
        {"readdelete_lf.tmp", "last\n", "last\n\n"},
        {"readdelete_zero.tmp", std::string("a\0b", 3), std::string("a\0b\n", 4)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path);
        WriteFile(r.path, r.content);
        char* text = reinterpret_cast<char*>(1);
        ASSERT_TRUE(ReadAndDeleteFile(r.path, &text));
        ASSERT_NE(nullptr, text);
        EXPECT_EQ(r.text, std::string(text, r.text.size()));
        for (size_t i = r.text.size(); i < r.content.size() + 5; ++i)
            EXPECT_EQ('\0', text[i]) << "at " << i;
        delete[] text;
        EXPECT_FALSE(Exists(r.path));
    }
}

TEST(FileUtil, ReadAndDeleteFileKeepsWhatItCannotOpen)
{
    char* text = reinterpret_cast<char*>(1);
    EXPECT_FALSE(ReadAndDeleteFile("readdelete_missing.tmp", &text));
    EXPECT_EQ(nullptr, text);

    const char* locked = "readdelete_locked.tmp";
    WriteFile(locked, "keep");
    HANDLE h = CreateFileA(locked, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_FALSE(ReadAndDeleteFile(locked, &text));
    CloseHandle(h);
    EXPECT_TRUE(Exists(locked));
    DeleteFileA(locked);
    EXPECT_FALSE(ReadAndDeleteFile(nullptr, &text));
    EXPECT_FALSE(ReadAndDeleteFile(locked, nullptr));
}
