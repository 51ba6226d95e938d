// LMBCS as the stand-in keeps text: optimised for group 1, so that the
// characters of code page 850 stand as one byte (the euro sign where code
// page 858 has it), and every other character as group 0x14, its UTF-16
// value high byte first.
#include <string>

#include "NotesStore.h"

namespace {

const BYTE kUnicodeGroup = 0x14;
const BYTE kLatinGroup = 0x01;
const BYTE kEuroInGroup1 = 0xD5;
const wchar_t kEuro = 0x20AC;
// Code page 850's character at 0xD5, which code page 858 gives the euro.
const wchar_t kDotlessI = 0x0131;

std::wstring Wide(const std::string& text, UINT codePage)
{
    if (text.empty())
        return std::wstring();
    int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

// The group 1 byte of a character, or 0 when group 1 has none.
BYTE LatinByte(wchar_t c)
{
    if (c == kEuro)
        return kEuroInGroup1;
    if (c == kDotlessI)
        return 0;
    char byte = 0;
    BOOL defaulted = FALSE;
    if (WideCharToMultiByte(850, WC_NO_BEST_FIT_CHARS, &c, 1, &byte, 1, nullptr, &defaulted) != 1 || defaulted)
        return 0;
    return static_cast<BYTE>(byte) >= 0x80 ? static_cast<BYTE>(byte) : 0;
}

wchar_t OfLatinByte(BYTE byte)
{
    if (byte == kEuroInGroup1)
        return kEuro;
    wchar_t c = L'?';
    MultiByteToWideChar(850, 0, reinterpret_cast<const char*>(&byte), 1, &c, 1);
    return c;
}

}  // namespace

std::string NotesLmbcsOfNative(const std::string& native)
{
    std::string lmbcs;
    for (wchar_t c : Wide(native, CP_ACP)) {
        if (c < 0x80) {
            lmbcs += static_cast<char>(c);
        } else if (BYTE byte = LatinByte(c)) {
            lmbcs += static_cast<char>(byte);
        } else {
            lmbcs += static_cast<char>(kUnicodeGroup);
            lmbcs += static_cast<char>(c >> 8);
            lmbcs += static_cast<char>(c & 0xFF);
        }
    }
    return lmbcs;
}

std::string NotesNativeOfLmbcs(const std::string& lmbcs)
{
    std::wstring wide;
    for (size_t i = 0; i < lmbcs.size(); ++i) {
        const auto byte = static_cast<BYTE>(lmbcs[i]);
        if (byte == kUnicodeGroup && i + 2 < lmbcs.size()) {
            wide += static_cast<wchar_t>((static_cast<BYTE>(lmbcs[i + 1]) << 8) | static_cast<BYTE>(lmbcs[i + 2]));
            i += 2;
        } else if (byte == kLatinGroup && i + 1 < lmbcs.size()) {
            wide += OfLatinByte(static_cast<BYTE>(lmbcs[++i]));
        } else {
            wide += byte < 0x80 ? static_cast<wchar_t>(byte) : OfLatinByte(byte);
        }
    }
    if (wide.empty())
        return std::string();
    int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string native(length, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &native[0], length, nullptr, nullptr);
    return native;
}
