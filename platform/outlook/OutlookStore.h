// The stand-in's message store: a text file of records, one per saved or
// sent item and per logon, each appended whole. The dump turns it into
// sorted lines that tests compare.
#pragma once
#include <string>
#include <utility>
#include <vector>

struct StoreRecord {
    std::string kind;    // "task", "appointment", "journal", "mail", "note", "logon", "program"
    std::string action;  // "saved", "sent", "ok", "failed", "started"
    std::vector<std::pair<std::string, std::string>> fields;  // UTF-8 values, in the order written
};

// Appends one record: the whole store is written to a file beside it, which
// then replaces it. False when the store could not be read or written.
bool AppendStoreRecord(const std::wstring& path, const StoreRecord& record);

// Reads every record; a missing store holds none. False when the file
// cannot be read or is not a store.
bool ReadStore(const std::wstring& path, std::vector<StoreRecord>* records);

// A reader's hold on the store, from its opening to its end. A save made
// meanwhile replaces the store without changing what the reader reads.
class StoreReader {
public:
    explicit StoreReader(const std::wstring& path);
    ~StoreReader();
    StoreReader(const StoreReader&) = delete;
    StoreReader& operator=(const StoreReader&) = delete;

    // The store's bytes; a missing store holds none. False when unreadable.
    bool ReadText(std::string* data);
    // As ReadStore.
    bool Read(std::vector<StoreRecord>* records);

private:
    void* m_file;  // INVALID_HANDLE_VALUE when not open
    bool m_missing;
};

// One line per field, "NNNN kind action Name=value" with the record's
// number from 1, values escaped as in the store; the lines sorted, so that
// records stay in store order and their fields in name order. A record
// without fields gives one line without "Name=value".
std::vector<std::string> DumpStoreLines(const std::vector<StoreRecord>& records);

// A value as the store and the dump hold it: backslash, CR and LF escaped.
std::string EscapeStoreValue(const std::string& value);

// Wide text to UTF-8 and back.
std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& utf8);
