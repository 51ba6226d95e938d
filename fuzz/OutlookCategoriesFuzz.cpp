// Outlook's category list as the registry holds it: the list value of any
// type, length and termination, in the user's key, the machine's or a key
// that refuses to open, under Outlook 8.5 or 9 or a version text from the
// input, with allocations that fail. A list read is an array of strings
// whose elements, joined with semicolons, give back the list up to its
// first line feed (ANSI text, or UTF-16 in a binary value for 2002 and
// 2003); a list not read leaves the VARIANT empty; an Outlook that keeps the
// list in its store reads nothing; no key stays open and nothing is leaked.
#include "FileVersionInfo.h"
#include "OutlookCategories.h"
#include "PloverRes.h"
#include "VariantArray.h"
#include "VersionBlock.h"

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
        std::fprintf(stderr, "Outlook categories broke their promise: %s\n", what);
        std::abort();
    }
}

const char kOutlook[] = "C:\\Program Files\\Microsoft Office\\Office\\OUTLOOK.EXE";
const char kAppPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE";
// The keys of Outlook 8 (97) to 11 (2003), each with its list value.
const char* const kKeys[] = {
    "Software\\Microsoft\\Office\\8.0\\Outlook\\Categories", "Software\\Microsoft\\Office\\9.0\\Outlook\\Categories",
    "Software\\Microsoft\\Office\\10.0\\Outlook\\Categories", "Software\\Microsoft\\Office\\11.0\\Outlook\\Categories"};

std::wstring Widen(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::vector<wchar_t> wide(static_cast<size_t>(size));
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return std::wstring(wide.data(), wide.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // Byte 0: bit 0 no Outlook, bit 1 the list in the machine's key, bit 2
    // Outlook 9, bit 3 the user's key locked, bits 4-5 the value's type,
    // bit 6 a value without its terminator. Byte 1: the length of a version
    // text that follows (0: the build's own), the allocation that fails, and
    // in its top bit an Outlook path from the input (a length byte, then the
    // path, stored without its terminator).
    const uint8_t flags = data[0];
    const size_t versionLength = data[1] & 0x0F;
    const int failAt = (data[1] >> 4) & 7;
    size_t at = 2;
    std::string outlook = kOutlook;
    if ((data[1] & 0x80) && at < size) {
        const size_t length = data[at++] * 2u;
        outlook.assign(reinterpret_cast<const char*>(data) + at, std::min(length, size - at));
        at += outlook.size();
    }
    std::string version = flags & 4 ? "9.0.0.3821" : "8.5.7806";
    if (versionLength) {
        version.assign(reinterpret_cast<const char*>(data) + at, std::min(versionLength, size - at));
        at += version.size();
    }
    std::string list(reinterpret_cast<const char*>(data) + at, size - at);
    static const DWORD kTypes[] = {REG_SZ, REG_SZ, REG_BINARY, REG_MULTI_SZ};
    const DWORD type = kTypes[(flags >> 4) & 3];

    host_registry::Clear();
    host_version::Clear();
    if (!(flags & 1)) {
        std::vector<BYTE> path(outlook.begin(), outlook.end());
        if (!(data[1] & 0x80))
            path.push_back(0);
        host_registry::SetValue(HKEY_LOCAL_MACHINE, kAppPath, "", REG_SZ, path);
        const std::vector<uint8_t> block =
            version_block::Make({{"FileDescription", "Outlook stand-in"}, {"FileVersion", version}}, 0x00090000, 0x0EED0000);
        host_version::SetFile(outlook.c_str(), block);
    }
    std::vector<BYTE> bytes(list.begin(), list.end());
    if (!(flags & 0x40))
        bytes.push_back(0);
    const HKEY root = flags & 2 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    for (size_t key = 0; key < sizeof kKeys / sizeof kKeys[0]; ++key) {
        host_registry::SetValue(root, kKeys[key], key ? "MasterList" : "", type, bytes);
        if (flags & 8)
            host_registry::Lock(HKEY_CURRENT_USER, kKeys[key]);
    }

    VARIANT categories;
    VariantInit(&categories);
    bool inStore = false;
    host_oleaut::FailAllocation(failAt);
    const UINT failed = ReadOutlookCategories(&categories, &inStore);
    host_oleaut::FailAllocation(0);

    // A path the reader's room does not hold finds no Outlook.
    const bool found = !(flags & 1) && outlook.size() < 257;
    // The version as the reader finds it under the path it reads.
    CFileVersionInfo info(outlook.c_str());
    const double number = info.GetFileVersion() ? std::atof(info.GetFileVersion()) : 0.0;
    const bool store = found && number >= 12.0;
    const bool unicode = type == REG_BINARY && number >= 10.0;
    const bool readable = found && !store && (root == HKEY_LOCAL_MACHINE || !(flags & 8));
    Require(inStore == store, "the list looked for in the wrong place");
    if (failed)
        Require(categories.vt == VT_EMPTY, "a list not read left in the VARIANT");
    if (!readable) {
        Require(!failed && categories.vt == VT_EMPTY, "a list read where there is none");
    } else if (type != REG_SZ && !unicode) {
        Require(failed == IDS_CATEGORIES_UNREADABLE, "a list of another type read");
    } else if (failAt == 0) {
        Require(!failed && QuiIsStringArray(categories), "a list not read");
    }
    if (!failed && categories.vt != VT_EMPTY) {
        Require(QuiIsStringArray(categories), "a list that is no array of strings");
        // The list as stored: up to its first zero, then up to its first line feed.
        std::wstring wide;
        if (unicode) {
            for (size_t at = 0; at + 1 < bytes.size(); at += 2) {
                const wchar_t c = static_cast<wchar_t>(bytes[at] | bytes[at + 1] << 8);
                if (!c)
                    break;
                wide.push_back(c);
            }
        } else {
            wide = Widen(std::string(list.c_str()));
        }
        wide = wide.substr(0, wide.find(L'\n'));
        BSTR joined = nullptr;
        if (SUCCEEDED(QuiJoinStringArray(categories, L';', &joined))) {
            const std::wstring got(joined, SysStringLen(joined));
            Require(wide.empty() ? got.empty() : got == wide || got == wide + L';',
                    "the categories joined are not the list");
        } else {
            Require(failAt != 0, "the categories do not join");
        }
        SysFreeString(joined);
    }
    VariantClear(&categories);
    Require(host_registry::OpenHandles() == 0, "a registry key left open");
    Require(host_oleaut::LiveStrings() == 0 && host_oleaut::LiveArrays() == 0, "a string or an array left allocated");
    return 0;
}
