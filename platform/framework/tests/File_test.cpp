#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "quifw/File.h"

namespace {

class CFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_path = std::string("framework-") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".bin";
        std::remove(m_path.c_str());
    }
    void TearDown() override { std::remove(m_path.c_str()); }

    void Put(const std::string& bytes)
    {
        FILE* f = std::fopen(m_path.c_str(), "wb");
        ASSERT_TRUE(f);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    std::string Get()
    {
        std::string bytes;
        if (FILE* f = std::fopen(m_path.c_str(), "rb")) {
            int c;
            while ((c = std::fgetc(f)) != EOF)
                bytes += static_cast<char>(c);
            std::fclose(f);
        }
        return bytes;
    }

    std::string m_path;
};

struct OpenCase {
    const char* what;
    bool exists;            // the file holds "abc" before
    UINT flags;
    BOOL opened;
    int cause;              // when not opened
    const char* after;      // the file's bytes after writing "XY" (when opened for writing)
};

const OpenCase kOpens[] = {
    {"read, missing", false, CFile::modeRead, FALSE, CFileException::fileNotFound, nullptr},
    {"write, missing", false, CFile::modeWrite, FALSE, CFileException::fileNotFound, nullptr},
    {"create, missing", false, CFile::modeCreate | CFile::modeWrite, TRUE, 0, "XY"},
    {"create empties", true, CFile::modeCreate | CFile::modeWrite, TRUE, 0, "XY"},
    {"write keeps the rest", true, CFile::modeWrite, TRUE, 0, "XYc"},
    {"no-truncate keeps", true, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite, TRUE, 0, "XYc"},
    {"no-truncate creates", false, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite, TRUE, 0, "XY"},
};

TEST_F(CFileTest, OpensByItsFlags)
{
    for (const OpenCase& c : kOpens) {
        SCOPED_TRACE(c.what);
        std::remove(m_path.c_str());
        if (c.exists)
            Put("abc");
        CFile file;
        CFileException error;
        ASSERT_EQ(c.opened, file.Open(m_path.c_str(), c.flags, &error));
        if (!c.opened) {
            EXPECT_EQ(c.cause, error.m_cause);
            EXPECT_STREQ(m_path.c_str(), error.m_strFileName);
            continue;
        }
        file.Write("XY", 2);
        file.Close();
        EXPECT_EQ(c.after, Get());
    }
}

TEST_F(CFileTest, ReadsWhatIsThereAndThrowsWhenItCannotOpen)
{
    Put("hello");
    CFile file(m_path.c_str(), CFile::modeRead);
    EXPECT_EQ(5u, file.GetLength());
    char buffer[8] = {};
    EXPECT_EQ(3u, file.Read(buffer, 3));
    EXPECT_EQ(3u, file.GetPosition());
    EXPECT_EQ(2u, file.Read(buffer, sizeof buffer));
    EXPECT_EQ(0u, file.Read(buffer, sizeof buffer));
    EXPECT_EQ(1u, file.Seek(1, CFile::begin));
    EXPECT_EQ(4u, file.Read(buffer, 4));
    EXPECT_STREQ("ello", buffer);
    file.Close();
    EXPECT_FALSE(file.IsOpen());

    std::remove(m_path.c_str());
    try {
        CFile missing(m_path.c_str(), CFile::modeRead);
        ADD_FAILURE() << "opened a missing file";
    } catch (CFileException* e) {
        EXPECT_EQ(CFileException::fileNotFound, e->m_cause);
        e->Delete();
    }
}

TEST(CMemFile, GrowsAsItIsWrittenAndSeeksOnlyInsideDwordRange)
{
    const BYTE start[] = {1, 2, 3};
    CMemFile file(start, sizeof start);
    EXPECT_EQ(3u, file.GetLength());
    file.Seek(2, CFile::begin);
    file.Write("\x09\x08", 2);
    EXPECT_EQ((std::vector<BYTE>{1, 2, 9, 8}), file.GetData());
    file.Seek(-1, CFile::current);
    BYTE b[4] = {};
    EXPECT_EQ(1u, file.Read(b, sizeof b));
    EXPECT_EQ(8, b[0]);
    // A position past the end reads nothing; writing there fills the gap with zeros.
    EXPECT_EQ(6u, file.Seek(2, CFile::end));
    EXPECT_EQ(0u, file.Read(b, sizeof b));
    file.Write("\x07", 1);
    EXPECT_EQ((std::vector<BYTE>{1, 2, 9, 8, 0, 0, 7}), file.GetData());
    try {
        file.Seek(-8, CFile::end);
        ADD_FAILURE() << "seeked before the start";
    } catch (CFileException* e) {
        EXPECT_EQ(CFileException::badSeek, e->m_cause);
        e->Delete();
    }
    EXPECT_EQ(7u, file.GetPosition());
}

} // namespace
