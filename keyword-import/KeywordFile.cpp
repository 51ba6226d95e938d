#include "KeywordFile.h"

#include <cstdlib>
#include <cstring>
#include <fstream>

#include "QuotedFields.h"

namespace wren {

namespace {

// A line of kMaxLine characters has at most kMaxLine + 1 fields, and the
// field array ends with a null pointer.
const int kMaxFields = kMaxLine + 2;

// Splits a copy of line; the fields point into buffer.
int Split(const std::string& line, std::vector<char>& buffer, char** fields)
{
    buffer.assign(line.begin(), line.end());
    buffer.push_back('\0');
    return SplitCsvLine(buffer.data(), fields, kMaxFields);
}

int Number(char* field, int missing)
{
    if (!field)
        return missing;
    return static_cast<int>(std::strtol(UnquoteCsvField(field), nullptr, 10));
}

std::string Text(char* field, bool unquote)
{
    if (!field)
        return std::string();
    return unquote ? UnquoteCsvField(field) : field;
}

} // namespace

int FileTypeOfText(const std::string& head)
{
    if (head.find("<ITEMS>") != std::string::npos)
        return kFileItems;
    if (head.find("[INDEX]") != std::string::npos)
        return kFileIndex;
    std::string first = head.substr(0, head.find('\n'));
    if (!first.empty() && first.back() == '\r')
        first.pop_back();
    if (first.size() > kMaxLine)
        first.resize(kMaxLine);
    std::vector<char> buffer;
    char* fields[kMaxFields];
    int count = Split(first, buffer, fields);
    if (count == 8)
        return kFileEightColumn;
    return count < 5 ? kFileShort : kFileUnknown;
}

int FileTypeOf(const char* path)
{
    if (!path)
        return kFileUnknown;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return kFileUnknown;
    char head[1024];
    in.read(head, sizeof head);
    return FileTypeOfText(std::string(head, static_cast<size_t>(in.gcount())));
}

KeywordRecord ParseEightColumn(const std::string& line)
{
    std::vector<char> buffer;
    char* fields[kMaxFields];
    int count = Split(line, buffer, fields);
    auto field = [&](int column) { return column <= count ? fields[column - 1] : nullptr; };
    KeywordRecord record;
    record.keyword = Text(field(1), true);
    record.kind = Number(field(2), kKindNone);
    record.name = Text(field(3), true);
    bool inUse = Number(field(5), 1) != 0;
    bool deleted = (Number(field(8), 0) & 0x80) != 0;
    record.used = inUse && !deleted;
    return record;
}

KeywordRecord ParseShort(const std::string& line)
{
    std::vector<char> buffer;
    char* fields[kMaxFields];
    int count = Split(line, buffer, fields);
    KeywordRecord record;
    if (count < 1 || !fields[0][0])
        return record;
    record.keyword = fields[0];
    auto present = [&](int index) { return index < count && fields[index][0]; };
    static const int kinds[] = {1, 2, 0};
    for (int index = 1; index <= 3; ++index) {
        if (present(index)) {
            record.kind = kinds[index - 1];
            record.name = fields[index];
            break;
        }
    }
    return record;
}

bool ReadLines(const char* path, std::vector<std::string>& lines)
{
    lines.clear();
    if (!path)
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() > kMaxLine)
            line.resize(kMaxLine);
        lines.push_back(line);
    }
    return true;
}

} // namespace wren
