// Version resources a user may replace: the block of a program file, any
// bytes at all, read through the version library's stand-in (fuzz/win32),
// which walks the documented layout. The file version text and every string
// asked for must end inside the caller's buffer and never write past it, a
// shorter buffer must give a prefix of what a longer one gives, a block
// without a file version text gives no fixed version either, and a fixed
// version comes only from a binary record with its signature.
#include "FileVersionInfo.h"

#include <algorithm>
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
        std::fprintf(stderr, "version info broke its promise: %s\n", what);
        std::abort();
    }
}

const char kProgram[] = "C:\\Program Files\\Quillmate\\Quillmate.exe";

void CheckString(const CFileVersionInfo& info, const char* name)
{
    static const UINT kSizes[] = {260, 64, 9, 2, 1, 0};
    std::string longest;
    bool found = false;
    for (UINT size : kSizes) {
        std::vector<char> buffer(size + 8, '#');
        const BOOL got = info.GetStringValue(name, buffer.data(), size);
        Require(std::all_of(buffer.begin() + size, buffer.end(), [](char c) { return c == '#'; }),
                "a string written past the buffer");
        if (size == 0) {
            Require(!got, "a string in no room");
            continue;
        }
        if (size == kSizes[0]) {
            found = got;
        } else {
            Require(!got == !found, "a string found in one buffer and not in another");
        }
        if (!got)
            continue;
        Require(std::memchr(buffer.data(), 0, size) != nullptr, "a string without its end");
        const std::string text(buffer.data());
        if (size == kSizes[0])
            longest = text;
        else
            Require(longest.compare(0, text.size(), text) == 0 && text.size() == std::min<size_t>(longest.size(), size - 1),
                    "a shorter buffer not given the start of the string");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    host_version::Clear();
    host_version::SetFile(kProgram, std::vector<BYTE>(data, data + size));
    CFileVersionInfo info(kProgram);
    Require(info.GetBlockSize() == (size >= 6 ? size * 2 + 4 : 0), "a block of another size");
    if (const char* version = info.GetFileVersion())
        Require(std::strlen(version) < MAX_PATH, "a file version text beyond its room");
    else
        Require(info.GetFileVersionMS() == 0 && info.GetFileVersionLS() == 0, "a fixed version without its text");
    // A fixed version comes only from a record the block keeps as bytes, with
    // its signature: never from a root typed as text, nor from other bytes.
    const bool fixedVersion = info.GetFileVersionMS() != 0 || info.GetFileVersionLS() != 0;
    if (size >= 6 && data[4] < ' ' && (data[4] | data[5]) != 0)
        Require(!fixedVersion, "a fixed version read from the root's text");
    static const uint8_t kSignature[] = {0xBD, 0x04, 0xEF, 0xFE};
    Require(!fixedVersion || std::search(data, data + size, kSignature, kSignature + 4) != data + size,
            "a fixed version without its signature");
    for (const char* name : {"FileVersion", "ProductName", "", "Translation", "\\", "040904b0\\FileVersion"})
        CheckString(info, name);
    CheckString(info, std::string(300, 'N').c_str());
    return 0;
}
