// The tips file: one tip per line; lines that begin with a blank, a tab, a
// line break or ';' are comments or empty and are passed over.
#pragma once
#include <quifw/Types.h>

#include <cstdio>

class CString;

class CTipFile {
public:
    enum Result {
        TipFound,
        NoTip,        // one full pass over the file found no tip line
        SeekFailed,
    };
    enum { kMaxLine = 1000 };

    CTipFile() = default;
    ~CTipFile();
    CTipFile(const CTipFile&) = delete;
    CTipFile& operator=(const CTipFile&) = delete;

    BOOL Open(LPCTSTR lpszPath);
    void Close();
    BOOL IsOpen() const { return m_pFile != nullptr; }

    // The file's modification time in seconds since 1970, cut to 32 bits as
    // the settings keep it.
    DWORD GetModifiedTime() const;
    BOOL Seek(long nOffset);
    long GetPosition() const;

    // The next tip after the current position, going round to the start of
    // the file once when the end is reached. A line longer than kMaxLine
    // characters gives its start as the tip; the rest of it is skipped.
    Result NextTip(CString& tip);

private:
    // FALSE at the end of the file.
    BOOL ReadLine(char* line);

    FILE* m_pFile = nullptr;
};
