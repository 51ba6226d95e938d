// Files and folders for one test, named after it and removed afterwards.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>
#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

// The temporary file through which this process writes the target.
inline std::string TemporaryOf(const std::string& target)
{
#ifdef _WIN32
    return target + "." + std::to_string(_getpid()) + ".tmp";
#else
    return target + "." + std::to_string(getpid()) + ".tmp";
#endif
}

inline std::string ScratchName(const char* suffix)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string("kestrel-") + test->test_suite_name() + "-" + test->name() + suffix;
}

inline bool MakeFolder(const std::string& path)
{
#ifdef _WIN32
    return _mkdir(path.c_str()) == 0;
#else
    return mkdir(path.c_str(), 0755) == 0;
#endif
}

inline void RemoveFolder(const std::string& path)
{
#ifdef _WIN32
    _rmdir(path.c_str());
#else
    rmdir(path.c_str());
#endif
}

inline bool MakeReadOnly(const std::string& path, bool readOnly)
{
#ifdef _WIN32
    return _chmod(path.c_str(), readOnly ? _S_IREAD : _S_IREAD | _S_IWRITE) == 0;
#else
    return chmod(path.c_str(), readOnly ? 0444 : 0644) == 0;
#endif
}

inline bool Exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// Byte for byte, without text-mode translation.
inline std::string ReadBytes(const std::string& path)
{
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            bytes.append(buffer, n);
        std::fclose(f);
    }
    return bytes;
}

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f != nullptr) << path;
    ASSERT_EQ(bytes.size(), std::fwrite(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
}

// A file path for this test; the file and its temporary sibling go with it.
class ScratchFile {
public:
    explicit ScratchFile(const char* suffix = ".xml") : m_path(ScratchName(suffix)) { clean(); }
    ~ScratchFile() { clean(); }
    const char* path() const { return m_path.c_str(); }
    std::string temporary() const { return TemporaryOf(m_path); }

private:
    void clean()
    {
        std::remove(m_path.c_str());
        std::remove(temporary().c_str());
    }
    std::string m_path;
};
