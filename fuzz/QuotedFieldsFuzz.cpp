// Quoted fields in buffers of every capacity. The first byte is the
// capacity handed to QuoteCsvField, the rest is the text, the buffer being
// exactly that large and unterminated when the text fills it. A refusal must
// leave the buffer alone; a quoted field must fit, unquote to the text, and
// come back out of a line of such fields split at its commas.
#include "QuotedFields.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "quoted fields broke their promise: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t capacity = data[0];
    std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    text = text.substr(0, text.find('\0'));

    // Exactly capacity bytes, so that a read or write beyond it is caught.
    std::unique_ptr<char[]> buffer(new char[capacity ? capacity : 1]);
    const size_t copied = text.size() < capacity ? text.size() : capacity;
    std::memcpy(buffer.get(), text.data(), copied);
    if (copied < capacity)
        buffer[copied] = '\0';
    const std::string before(buffer.get(), capacity);
    char* quoted = QuoteCsvField(buffer.get(), capacity);
    size_t quotes = 0;
    for (char c : text)
        quotes += c == '"';
    const bool fits = text.size() < capacity && text.size() + quotes + 3 <= capacity;
    Require((quoted != nullptr) == fits, "refused a field that fits or took one that does not");
    if (!quoted) {
        Require(before == std::string(buffer.get(), capacity), "a refused text was changed");
    } else {
        const size_t length = std::strlen(quoted);
        Require(length == text.size() + quotes + 2 && quoted[0] == '"' && quoted[length - 1] == '"',
                "not one quoted field");
        std::string copy(quoted);
        Require(UnquoteCsvField(&copy[0]) == text, "unquoted text differs");
    }

    // A line of fields: the text cut at every 'x', each quoted, commas between.
    std::vector<std::string> pieces(1);
    for (char c : text) {
        if (c == 'x')
            pieces.emplace_back();
        else if (c != '\n')
            pieces.back() += c;
    }
    std::string line;
    for (const std::string& piece : pieces) {
        std::vector<char> field(piece.size() * 2 + 3);
        std::memcpy(field.data(), piece.c_str(), piece.size() + 1);
        Require(QuoteCsvField(field.data(), field.size()) != nullptr, "room for every quote was refused");
        line += (line.empty() ? "" : ",") + std::string(field.data());
    }
    std::vector<char*> fields(pieces.size() + 1);
    Require(SplitCsvLine(&line[0], fields.data(), static_cast<int>(fields.size())) ==
                static_cast<int>(pieces.size()),
            "split into a different number of fields");
    for (size_t i = 0; i < pieces.size(); ++i)
        Require(UnquoteCsvField(fields[i]) == pieces[i], "a split field differs");

    // The raw text as a line of its own: any split must stay inside it.
    std::string raw = text;
    char* split[8];
    const int count = SplitCsvLine(&raw[0], split, 8, static_cast<char>(data[0]));
    Require(count >= 0 && count <= 7 && split[count] == nullptr, "field count beyond the capacity");
    for (int i = 0; i < count; ++i)
        UnquoteCsvField(split[i]);
    return 0;
}
