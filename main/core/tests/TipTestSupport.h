// Helpers of the tip tests: a tips file of given bytes, and the tip settings
// as numbers.
#pragma once
#include "ClientRegistry.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

// A file of the given bytes in the temporary folder, removed afterwards.
class TempTipFile {
public:
    explicit TempTipFile(const std::string& bytes)
    {
        char folder[MAX_PATH];
        ::GetTempPathA(MAX_PATH, folder);
        ::GetTempFileNameA(folder, "tip", 0, m_path);
        Write(bytes);
    }
    ~TempTipFile() { ::DeleteFileA(m_path); }
    TempTipFile(const TempTipFile&) = delete;
    TempTipFile& operator=(const TempTipFile&) = delete;

    void Write(const std::string& bytes)
    {
        FILE* f = std::fopen(m_path, "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    // Moves the modification time on by the given seconds.
    void Touch(int seconds)
    {
        HANDLE h = ::CreateFileA(m_path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        FILETIME written;
        ::GetFileTime(h, nullptr, nullptr, &written);
        ULARGE_INTEGER t;
        t.LowPart = written.dwLowDateTime;
        t.HighPart = written.dwHighDateTime;
        t.QuadPart += static_cast<ULONGLONG>(seconds) * 10000000ULL;
        written.dwLowDateTime = t.LowPart;
        written.dwHighDateTime = t.HighPart;
        ::SetFileTime(h, nullptr, nullptr, &written);
        ::CloseHandle(h);
    }
    const char* Path() const { return m_path; }

private:
    char m_path[MAX_PATH];
};

// A number setting as the registry holds it now.
inline DWORD TipSetting(ClientRegistry& settings, int index)
{
    DWORD value = 0;
    std::memcpy(&value, settings.GetValue(index, true), sizeof(value));
    return value;
}

inline void SetTipSetting(ClientRegistry& settings, int index, DWORD value)
{
    settings.SetValue(index, &value);
}
