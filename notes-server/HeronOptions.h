// Heron's options under HKEY_CURRENT_USER "Software\Quillmate\Heron\Options":
// one table in memory for the process, read once before the first object
// works and written back whole, defaults included.
#pragma once
#include <windows.h>

enum HeronOption {
    HERON_OPT_WAIT_FOR_NOTES_TIMEOUT = 0,
    HERON_OPT_VERBOSE = 1,
    HERON_OPT_GENERATE_DATA = 2,
    HERON_OPT_JOURNAL_TEMPLATE = 3,
    HERON_OPT_JOURNAL_NAME = 4,
    HERON_OPT_LAST_INI_FILE = 5,
    HERON_OPT_GET_SERVER_CONTACTS = 6,
    HERON_OPTION_COUNT = 7
};

#define HERON_OPTIONS_KEY "Software\\Quillmate\\Heron\\Options"

namespace HeronOptions {

// Reads the table from the registry: a stored value takes its entry over,
// its registry type included; a value that is missing, or longer than an
// entry holds, leaves the entry as it was. Nothing is written.
void Load();
// Writes every entry.
void Save();
// Load, the first time it is called in the process.
void LoadOnce();
// The entry's data (260 bytes); with `refresh` read again from the registry
// first. Null for an index outside the table or a failed re-read.
const BYTE* Get(int index, bool refresh = false);
// A REG_SZ entry takes the text (at most 259 characters), a REG_DWORD
// entry 4 bytes of `data`. False for an index outside the table.
bool Set(int index, const void* data);
// The entry's first four bytes, as a REG_DWORD entry holds its value.
DWORD Number(int index);
DWORD Type(int index);
// Back to the compiled defaults (for a fresh module).
void Reset();

}  // namespace HeronOptions
