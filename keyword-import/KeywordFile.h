// The keyword files of the earlier keyword stores (the Palm Desktop and the
// Outlook editions kept one each): what kind of file a path holds and the
// records of its lines. Portable: no platform call.
#pragma once
#include <string>
#include <vector>

namespace wren {

// What GetFileType answers.
enum FileType {
    kFileUnknown = 0,
    kFileEightColumn = 1,
    kFileItems = 2,
    kFileIndex = 3,
    kFileShort = 4,
};

// Kind codes of the records; kKindNone names no item type.
const int kKindNone = 65280;

// One line of either form, reduced to what the conversion uses.
struct KeywordRecord {
    std::string keyword;
    int kind = kKindNone;
    std::string name;
    // Eight-column form: the in-use flag set and the deleted bit clear.
    bool used = true;
};

// Lines are read up to this many characters; the rest of a longer line is
// dropped, never taken as a line of its own.
const size_t kMaxLine = 259;

// The type of the file at path (kFileUnknown when it cannot be opened).
int FileTypeOf(const char* path);
// The type of a file's first bytes.
int FileTypeOfText(const std::string& head);

// One line of the eight-column form (fields unquoted).
KeywordRecord ParseEightColumn(const std::string& line);
// One line of the short form (fields taken as they are).
KeywordRecord ParseShort(const std::string& line);

// Every line of the file, each cut to kMaxLine characters, without its line
// end; false when the file cannot be opened.
bool ReadLines(const char* path, std::vector<std::string>& lines);

} // namespace wren
