// The browsers' DDE argument lists. The input's first line is a format and
// its second an item string from a peer: unpacking must give one value per
// code before the first unknown one. The rest chooses arguments that are
// packed against the format: what the format can carry must read back.
#include "DDEArgs.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "DDE arguments broke their promise: %s\n", what);
        std::abort();
    }
}

// Takes bytes up to the next line feed (or the end) from data.
std::string Line(const uint8_t*& data, const uint8_t* end)
{
    const uint8_t* start = data;
    while (data < end && *data != '\n')
        ++data;
    std::string line(reinterpret_cast<const char*>(start), static_cast<size_t>(data - start));
    if (data < end)
        ++data;
    return line;
}

size_t KnownCodes(const std::string& format)
{
    size_t known = 0, start = 0;
    for (;;) {
        size_t comma = format.find(',', start);
        std::string code = format.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (code != "DW" && code != "CS" && code != "QCS" && code != "BL")
            return known;
        ++known;
        if (comma == std::string::npos)
            return known;
        start = comma + 1;
    }
}

const char* const kCodes[] = {"DW", "CS", "QCS", "BL"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint8_t* at = data;
    const uint8_t* end = data + size;
    const std::string format = Line(at, end);
    const std::string item = Line(at, end);
    if (format.find('\0') == std::string::npos) {
        std::vector<DDEArg> values = DDEUnpackArgs(format.c_str(), item.c_str());
        Require(values.size() == KnownCodes(format), "one value per known code");
        for (const DDEArg& value : values)
            Require(value.strValue.GetLength() <= static_cast<int>(item.size()), "a value longer than the item");
        DDEPackArgs(format.c_str(), values);
    }

    // Arguments: per argument a code byte, then for texts a length byte and
    // that many bytes, for numbers four bytes.
    std::string packedFormat;
    std::vector<DDEArg> args;
    std::vector<int> codes;
    while (at < end && args.size() < 12) {
        const int code = *at++ % 5;
        if (code == 4) {
            args.push_back(DDEArg::Absent());
            codes.push_back(static_cast<int>(*(at - 1) / 5 % 4));
        } else if (code == 0 || code == 3) {
            DWORD value = 0;
            for (int i = 0; i < 4 && at < end; ++i)
                value = value << 8 | *at++;
            args.push_back(DDEArg::Number(code == 3 ? value & 1 : value));
            codes.push_back(code);
        } else {
            size_t length = at < end ? *at++ : 0;
            if (length > static_cast<size_t>(end - at))
                length = static_cast<size_t>(end - at);
            std::string text(reinterpret_cast<const char*>(at), length);
            at += length;
            text = text.substr(0, text.find('\0'));
            // What the list cannot carry: a bare text ends at a comma and is
            // read as quoted when it starts with a quote.
            if (code == 1) {
                text = text.substr(0, text.find(','));
                text.erase(0, text.find_first_not_of('"'));
            }
            args.push_back(DDEArg::Text(text.c_str()));
            codes.push_back(code);
        }
        if (!packedFormat.empty())
            packedFormat += ',';
        packedFormat += kCodes[codes.back()];
    }
    if (args.empty())
        return 0;
    const CString packed = DDEPackArgs(packedFormat.c_str(), args);
    std::vector<DDEArg> back = DDEUnpackArgs(packedFormat.c_str(), packed);
    Require(back.size() == args.size(), "a packed argument went missing");
    for (size_t i = 0; i < args.size(); ++i) {
        const DDEArg& sent = args[i];
        if (codes[i] == 1 || codes[i] == 2)
            Require(back[i].strValue == (sent.bPresent ? sent.strValue : CString()), "a text read back different");
        else
            Require(back[i].dwValue == (sent.bPresent ? sent.dwValue : 0), "a number read back different");
    }
    return 0;
}
