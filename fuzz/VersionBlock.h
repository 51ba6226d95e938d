// Version resources as a resource compiler lays them out (32-bit form:
// UTF-16 keys, each node and value aligned to 32 bits), for the targets that
// need a well-made one around the texts they vary.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace version_block {

inline void Align(std::vector<uint8_t>& out)
{
    while (out.size() % 4)
        out.push_back(0);
}

inline void Word(std::vector<uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

// Opens a node; Close sets its length once its value and children are in.
inline size_t Open(std::vector<uint8_t>& out, const std::string& key, unsigned valueLength, bool text)
{
    Align(out);
    const size_t start = out.size();
    Word(out, 0);
    Word(out, valueLength);
    Word(out, text ? 1 : 0);
    for (char c : key)
        Word(out, static_cast<unsigned char>(c));
    Word(out, 0);
    Align(out);
    return start;
}

inline void Close(std::vector<uint8_t>& out, size_t start)
{
    const size_t length = out.size() - start;
    out[start] = static_cast<uint8_t>(length);
    out[start + 1] = static_cast<uint8_t>(length >> 8);
}

// A block with the fixed file version and, in the translation lang/cp, the
// named texts (each byte one character).
inline std::vector<uint8_t> Make(const std::vector<std::pair<std::string, std::string>>& strings, uint32_t ms,
                                 uint32_t ls, unsigned lang = 0x0409, unsigned cp = 1200)
{
    std::vector<uint8_t> out;
    const size_t root = Open(out, "VS_VERSION_INFO", 52, false);
    const uint32_t fixed[13] = {0xFEEF04BDu, 0x00010000u, ms, ls, ms, ls, 0x3F, 0, 4, 1, 0, 0, 0};
    for (uint32_t d : fixed) {
        Word(out, d & 0xFFFF);
        Word(out, d >> 16);
    }
    const size_t info = Open(out, "StringFileInfo", 0, true);
    char table[9];
    static const char kHex[] = "0123456789abcdef";
    const unsigned both = (lang & 0xFFFF) << 16 | (cp & 0xFFFF);
    for (int i = 0; i < 8; ++i)
        table[i] = kHex[(both >> (28 - 4 * i)) & 0xF];
    table[8] = '\0';
    const size_t tableStart = Open(out, table, 0, true);
    for (const auto& s : strings) {
        const size_t entry = Open(out, s.first, static_cast<unsigned>(s.second.size() + 1), true);
        for (char c : s.second)
            Word(out, static_cast<unsigned char>(c));
        Word(out, 0);
        Close(out, entry);
    }
    Close(out, tableStart);
    Close(out, info);
    const size_t vars = Open(out, "VarFileInfo", 0, true);
    const size_t translation = Open(out, "Translation", 4, false);
    Word(out, lang);
    Word(out, cp);
    Close(out, translation);
    Close(out, vars);
    Close(out, root);
    return out;
}

} // namespace version_block
