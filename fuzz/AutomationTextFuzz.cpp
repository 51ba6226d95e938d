// The automation server's texts: a client's BSTR narrowed for a new note
// (any length, embedded zeros, lone surrogates, an odd byte length), and the
// command line's server commands. The narrowed text must hold exactly what
// the code page makes of every character, zeros included, and come back
// whole through a BSTR; a command is found only when its token ends the line.
#include "AutomationText.h"

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
        std::fprintf(stderr, "automation text broke its promise: %s\n", what);
        std::abort();
    }
}

bool EndsWithToken(const std::string& line, const char* token)
{
    const size_t n = std::strlen(token);
    if (line.size() < n + 1)
        return false;
    const char mark = line[line.size() - n - 1];
    if (mark != '-' && mark != '/')
        return false;
    for (size_t i = 0; i < n; ++i) {
        char c = line[line.size() - n + i];
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
        if (c != token[i])
            return false;
    }
    return true;
}

void CheckCommand(const std::string& text)
{
    const std::string line(text.c_str());  // the command line ends at its first zero
    const QuiServerCommand expected = EndsWithToken(line, "unregserver") ? QUI_SERVER_UNREGISTER
                                      : EndsWithToken(line, "regserver") ? QUI_SERVER_REGISTER
                                                                         : QUI_SERVER_RUN;
    Require(QuiFindServerCommand(line.c_str()) == expected, "a server command not its line's last token");
}

bool HasLoneSurrogate(const std::vector<wchar_t>& units)
{
    for (size_t i = 0; i < units.size(); ++i) {
        if (units[i] >= 0xD800 && units[i] <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00
            && units[i + 1] <= 0xDFFF)
            ++i;
        else if (units[i] >= 0xD800 && units[i] <= 0xDFFF)
            return true;
    }
    return false;
}

void CheckNarrow(BSTR text)
{
    const UINT length = SysStringLen(text);
    const CString narrow = QuiNarrowBstr(text);
    std::string expected;
    if (length) {
        const int bytes = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
        expected.resize(static_cast<size_t>(bytes));
        WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), &expected[0], bytes, nullptr, nullptr);
    }
    Require(static_cast<size_t>(narrow.GetLength()) == expected.size(), "a narrowed text of another length");
    Require(std::memcmp(narrow.GetString(), expected.data(), expected.size()) == 0, "a narrowed text changed");
    Require(narrow.GetString()[narrow.GetLength()] == '\0', "a narrowed text without its end");

    // Back through a BSTR, as a note's text goes out again.
    std::vector<wchar_t> units(text, text + length);
    BSTR again = narrow.AllocSysString();
    if (again) {
        if (!HasLoneSurrogate(units))
            Require(SysStringLen(again) == length && (!length || std::memcmp(again, text, length * sizeof(OLECHAR)) == 0),
                    "a text that does not come back whole");
        Require(QuiNarrowBstr(again) == narrow, "a text narrowed twice differs");
        SysFreeString(again);
    }
    CheckCommand(std::string(narrow.GetString(), narrow.GetLength()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte: bit 0 an odd byte length, bit 1 a null BSTR, bits 2-7
    // the allocation that fails (0: none). The rest: the text's UTF-16 units.
    const uint8_t mode = data[0];
    ++data;
    --size;
    CheckCommand(std::string(reinterpret_cast<const char*>(data), size));

    std::vector<wchar_t> units;
    for (size_t i = 0; i + 1 < size; i += 2)
        units.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));
    BSTR text = nullptr;
    if (!(mode & 2)) {
        if (mode & 1) {
            // The bytes of the units as a 16-bit system holds them, and one more.
            std::vector<char> bytes(units.size() * sizeof(OLECHAR) + 1, 'x');
            if (!units.empty())
                std::memcpy(bytes.data(), units.data(), units.size() * sizeof(OLECHAR));
            text = SysAllocStringByteLen(bytes.data(), static_cast<UINT>(bytes.size()));
        } else {
            text = SysAllocStringLen(units.data(), static_cast<UINT>(units.size()));
        }
    }
    host_oleaut::FailAllocation(mode >> 2);
    CheckNarrow(text);
    host_oleaut::FailAllocation(0);
    SysFreeString(text);
    Require(host_oleaut::LiveStrings() == 0, "a string left allocated");
    return 0;
}
