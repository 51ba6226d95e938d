// The tips file, which a user may edit or replace, read from any bytes and
// any starting position. From the start, the tips must come in the order a
// plain reading of the lines gives (a line's first 1000 bytes, up to a zero
// byte, line-end characters trimmed; lines that begin with a blank, a tab, a
// line break, ';' or a zero byte passed over), going round at the end.
#include "FuzzFolder.h"
#include "TipFile.h"

#include <afxquill.h>

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
        std::fprintf(stderr, "tips file reader broke its promise: %s\n", what);
        std::abort();
    }
}

std::vector<std::string> PlainTips(const std::string& bytes)
{
    std::vector<std::string> tips;
    size_t at = 0;
    while (at < bytes.size()) {
        size_t end = bytes.find('\n', at);
        end = end == std::string::npos ? bytes.size() : end + 1;
        std::string line = bytes.substr(at, end - at).substr(0, CTipFile::kMaxLine);
        at = end;
        line = line.substr(0, line.find('\0'));
        if (line.empty() || std::strchr(" \t\r\n;", line[0]))
            continue;
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
            line.pop_back();
        tips.push_back(line);
    }
    return tips;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const long offset = data[0] * 7;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string path = FuzzFolder() + "/tips.txt";
    FILE* f = std::fopen(path.c_str(), "wb");
    Require(f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fclose(f) == 0,
            "cannot write the file");

    const std::vector<std::string> expected = PlainTips(bytes);
    CTipFile file;
    Require(file.Open(path.c_str()), "cannot open the file");
    for (size_t i = 0; i < expected.size() + 2; ++i) {
        CString tip;
        const CTipFile::Result result = file.NextTip(tip);
        if (expected.empty()) {
            Require(result == CTipFile::NoTip, "a tip from a file without one");
            break;
        }
        Require(result == CTipFile::TipFound, "a tip went missing");
        Require(std::string(tip) == expected[i % expected.size()], "a tip differs from its line");
    }

    // From anywhere, even past the end: only tips, and only whole ones' ends.
    if (file.Seek(offset)) {
        for (int i = 0; i < 3; ++i) {
            CString tip;
            if (file.NextTip(tip) != CTipFile::TipFound)
                break;
            Require(tip.GetLength() > 0 && tip.GetLength() <= CTipFile::kMaxLine, "a tip's length");
            Require(!std::strchr(" \t\r\n;", static_cast<LPCSTR>(tip)[0]), "a comment as a tip");
            Require(bytes.find(std::string(tip)) != std::string::npos, "a tip that is not in the file");
        }
    }
    return 0;
}
