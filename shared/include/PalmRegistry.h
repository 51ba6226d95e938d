// Registry values named by an index into a fixed table of entries, so that
// callers never spell key paths: the Palm data library reads the Palm
// Desktop's settings through it, the Palm control its own.
#pragma once
#include <afxquill.h>

#include <vector>

struct PalmRegistryEntry {
    HKEY root;
    const char* subKey;
    const char* valueName;  // "" names the key's default value
    DWORD type;             // REG_SZ, REG_EXPAND_SZ, REG_DWORD, ...
};

class PalmRegistry {
public:
    // Codes of the last failure.
    enum { errNone = 0, errOpenKey = -1, errReadValue = -2, errWriteValue = -3 };

    // The table stays the caller's and must outlive the helper.
    PalmRegistry(const PalmRegistryEntry* entries, int count) : m_entries(entries), m_count(count) {}

    // 1 read, 0 not; an index outside the table empties the text (zeroes the number).
    int ReadString(int index, CString& text);
    int ReadDword(int index, long& value);
    // 1 written, 0 not.
    int WriteString(int index, LPCTSTR text);
    int WriteDword(int index, long value);
    // Appends the names of the entry's subkeys or values, in enumeration
    // order; 0 for an index outside the table (and for values, a key that
    // cannot be opened).
    int EnumKeys(int index, CStringArray& names);
    int EnumValues(int index, CStringArray& names);

    int GetLastError() const { return m_lastError; }

private:
    const PalmRegistryEntry* Entry(int index) const;
    // The entry's key, opened or created; null (and errOpenKey) on failure.
    HKEY OpenKey(const PalmRegistryEntry& entry);
    // The value's bytes, zero-padded to at least four bytes and one past its
    // size; false (errReadValue) when it cannot be read.
    bool ReadValue(const PalmRegistryEntry& entry, std::vector<BYTE>& data, DWORD& type);
    int WriteValue(int index, const BYTE* data, DWORD size);
    int Enumerate(int index, bool values, CStringArray& names);

    const PalmRegistryEntry* m_entries;
    int m_count;
    int m_lastError = errNone;
};

// The Palm data library's entries.
enum PalmDesktopSetting {
    PalmDesktopPath = 0,      // the Palm Desktop folder
    PalmLastUserName = 1,     // the current user's name
    PalmHotSyncAppPath = 2,   // the HotSync program as App Paths names it
    PalmHotSyncPath = 3,      // the HotSync program's path as the desktop keeps it
    PalmDesktopSettingCount
};
extern const PalmRegistryEntry kPalmDesktopRegistry[PalmDesktopSettingCount];
