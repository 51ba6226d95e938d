#include "FileVersionInfo.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <string>

namespace {
std::string OwnPath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof(path));
    return path;
}
} // namespace

TEST(FileVersionInfo, ReadsTheBlockOfABinaryThatHasOne)
{
    CFileVersionInfo info(OwnPath().c_str());
    EXPECT_NE(0u, info.GetBlockSize());
    ASSERT_NE(nullptr, info.GetFileVersion());
    EXPECT_STREQ("2.5.17 (test build)", info.GetFileVersion());
    EXPECT_EQ(0x00020005u, info.GetFileVersionMS());
    EXPECT_EQ(0x00110003u, info.GetFileVersionLS());
}

TEST(FileVersionInfo, StringValuesAreCutToFitAndTerminated)
{
    CFileVersionInfo info(OwnPath().c_str());
    struct Row {
        const char* name;
        UINT outLen;
        BOOL found;
        const char* text;
    } rows[] = {
        {"ProductName", 64, TRUE, "Quillmate"},
        {"ProductName", 10, TRUE, "Quillmate"},
        {"ProductName", 9, TRUE, "Quillmat"},
        {"ProductName", 1, TRUE, ""},
        {"ProductName", 0, FALSE, "####"},
        {"FileDescription", 64, TRUE, "Tests of the shared sources"},
        {"LegalTrademarks", 64, FALSE, "####"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.name) + " in " + std::to_string(r.outLen));
        char buffer[80];
        std::fill(buffer, buffer + sizeof(buffer), '#');
        EXPECT_EQ(r.found, info.GetStringValue(r.name, buffer, r.outLen));
        EXPECT_EQ(std::string(r.text), std::string(buffer, std::strlen(r.text)));
        if (r.found) {
            EXPECT_EQ('\0', buffer[std::strlen(r.text)]);
        }
        EXPECT_EQ('#', buffer[r.outLen]) << "written past the buffer";
    }
}

TEST(FileVersionInfo, BinariesWithoutABlockGiveNothing)
{
    const std::string paths[] = {
        "fixtures\\shared_noversion.dll",
        "fixtures\\missing.dll",
        "",
        std::string(300, 'a') + ".dll",
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        CFileVersionInfo info(path.c_str());
        EXPECT_EQ(0u, info.GetBlockSize());
        EXPECT_EQ(nullptr, info.GetFileVersion());
        EXPECT_EQ(0u, info.GetFileVersionMS());
        EXPECT_EQ(0u, info.GetFileVersionLS());
        char buffer[16] = "untouched";
        EXPECT_FALSE(info.GetStringValue("FileVersion", buffer, sizeof(buffer)));
        EXPECT_STREQ("untouched", buffer);
    }
    CFileVersionInfo none(nullptr);
    EXPECT_EQ(nullptr, none.GetFileVersion());
}
