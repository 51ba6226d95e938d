// A settings table over one registry key: a fixed array of value records that
// a subclass names, loaded from and written back to the registry.
#pragma once
#include <windows.h>

#include <vector>

enum { QUI_REG_FIELD = 260 };

// One setting. `data` starts as the compiled default and then holds what the
// registry gave; text records keep a terminated text in it.
struct QuiRegValue {
    char subKey[QUI_REG_FIELD];  // below the class's key; empty: the key itself
    char name[QUI_REG_FIELD];
    DWORD type;                  // REG_SZ, REG_BINARY or REG_DWORD
    DWORD size;                  // 4 for REG_DWORD, 260 for REG_SZ, the structure's size for REG_BINARY
    BYTE data[QUI_REG_FIELD];
};

// A compiled default from which a subclass fills its records.
struct QuiRegDefault {
    const char* subKey;
    const char* name;
    DWORD type;
    DWORD size;
    DWORD number;      // default of a REG_DWORD record
    const char* text;  // default of a REG_SZ record; `size` bytes of a REG_BINARY one (null: zeros)
};

class QuiRegistry {
public:
    QuiRegistry();
    virtual ~QuiRegistry();
    QuiRegistry(const QuiRegistry&) = delete;
    QuiRegistry& operator=(const QuiRegistry&) = delete;

    virtual const char* GetRootPath();
    virtual HKEY GetRootKey();
    virtual QuiRegValue* GetValueTable() = 0;
    virtual const char* GetSubKey() = 0;
    virtual int GetValueCount() = 0;

    // Read or write every record; the key stays open.
    void LoadAll();
    void SaveAll();
    // Writes each record whose data differ from what the registry was last
    // read or written with, and each record the registry lacks; a value that
    // could not be read (too long, of another type) stays as it is.
    void SaveChanged();

    // The class's key, created or opened on first use; null when that failed.
    HKEY OpenKey();
    void CloseKey(bool close);

    // Win32 results; 87 (ERROR_INVALID_PARAMETER) for a missing table or a bad index.
    LONG ReadValue(int index);
    LONG WriteValue(int index);
    LONG SetValue(int index, const void* data);
    // The record's data, read from the registry first with `reload`; null for a bad index.
    void* GetValue(int index, bool reload);

    // Reads one value of any key into buffer; a text is read only when it
    // fits with its terminator. True when read.
    static bool QueryValue(HKEY root, const char* subKey, const char* name, void* buffer, DWORD size);
    // Reads one text (REG_SZ or REG_EXPAND_SZ) of any key into buffer,
    // terminated inside it; a value of another type or one that does not fit
    // with its terminator reads as absent. True when read.
    static bool QueryText(HKEY root, const char* subKey, const char* name, char* buffer, DWORD size);

protected:
    // Fills count records from their compiled defaults.
    static void FillTable(QuiRegValue* table, const QuiRegDefault* defaults, int count);

private:
    QuiRegValue* Record(int index);
    // The record and the key that holds its value (its subkey, created when missing).
    LONG OpenRecord(int index, QuiRegValue** record, HKEY* key);
    void CloseRecordKey(HKEY key);

    // The data each record's value holds in the registry, as far as this
    // object read or wrote it; the compiled defaults until then.
    struct Known {
        BYTE data[QUI_REG_FIELD];
    };
    void TrackRecords();
    void Remember(int index);
    bool DiffersFromKnown(int index);
    bool IsMissing(int index);

    HKEY m_key;
    LONG m_openResult;
    std::vector<Known> m_known;
};
