#include "FileUtil.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
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

TEST(FileUtil, GetModulePathJoinsTheProgramsFolderAndAName)
{
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, sizeof(module));
    std::string folder(module, std::strrchr(module, '\\') + 1);
    struct Row {
        const char* name;
        UINT outLen;
        BOOL ok;
        std::string path;
    } rows[] = {
        {"tips.txt", MAX_PATH, TRUE, folder + "tips.txt"},
        {"Help\\Quillmate.hlp", MAX_PATH, TRUE, folder + "Help\\Quillmate.hlp"},
        {"", MAX_PATH, TRUE, folder},
        {nullptr, MAX_PATH, TRUE, folder},
        {"tips.txt", static_cast<UINT>(folder.size() + 9), TRUE, folder + "tips.txt"},
        {"tips.txt", static_cast<UINT>(folder.size() + 8), FALSE, ""},
        {"tips.txt", 1, FALSE, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name ? r.name : "(null)");
        std::string out(r.outLen + 4, '#');
        EXPECT_EQ(r.ok, GetModulePath(r.name, &out[0], r.outLen));
        EXPECT_EQ(r.path, std::string(out.c_str()));
        EXPECT_EQ("####", out.substr(r.outLen)) << "written past the buffer";
    }
}
