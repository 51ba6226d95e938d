#include "ConnectorFile.h"

#include <cstdio>
#include <cstring>
#include <istream>
#include <new>
#include <ostream>
#include <sstream>
#include <string>

#include "ConnectorText.h"
#include "KeyText.h"

const char kConnectorPassword[] = "MossyLantern582";

namespace {

typedef size_t (*KeyTextShift)(unsigned char* bytes, size_t count, size_t pos);

void ShiftStream(std::istream& in, std::ostream& out, const char* password, KeyTextShift shift)
{
    size_t pos = KeyTextStart(password);
    char chunk[4096];
    while (in.read(chunk, sizeof chunk), in.gcount() > 0) {
        size_t count = static_cast<size_t>(in.gcount());
        pos = shift(reinterpret_cast<unsigned char*>(chunk), count, pos);
        out.write(chunk, static_cast<std::streamsize>(count));
    }
}

bool HoldsConnector(const char* text)
{
    return ConnectorText::FindConnectorTag(text, text) != nullptr;
}

// A new zero-terminated copy of `length` bytes; null when memory runs out.
char* NewText(const void* bytes, size_t length)
{
    char* text = new (std::nothrow) char[length + 1];
    if (text) {
        std::memcpy(text, bytes, length);
        text[length] = '\0';
    }
    return text;
}

} // namespace

void KeyTextStreamDecode(std::istream& in, std::ostream& out, const char* password)
{
    ShiftStream(in, out, password, KeyTextDecode);
}

void KeyTextStreamEncode(std::istream& in, std::ostream& out, const char* password)
{
    ShiftStream(in, out, password, KeyTextEncode);
}

int CSimpleEncrypt::Decrypt(const char* in, char* out)
{
    for (; *in; ++in, ++out) {
        signed char c = static_cast<signed char>(*in);
        *out = c > '0' && c < 'z' ? static_cast<char>(170 - c) : *in;
    }
    *out = '\0';
    return 0;
}

int ReadConnectorText(const unsigned char* bytes, size_t length, char** text)
{
    *text = nullptr;
    if (!bytes || length == 0)
        return 0;
    char* plain = NewText(bytes, length);
    if (!plain)
        return 0;
    if (HoldsConnector(plain)) {
        *text = plain;
        return 1;
    }

    // Every byte of the file is unshifted: a scrambled file may hold zero
    // bytes where its text holds none.
    std::istringstream scrambled(std::string(reinterpret_cast<const char*>(bytes), length));
    std::ostringstream unshifted;
    KeyTextStreamDecode(scrambled, unshifted, kConnectorPassword);
    std::string shiftedBack = unshifted.str();
    std::memcpy(plain, shiftedBack.data(), length);
    if (HoldsConnector(plain)) {
        *text = plain;
        return 1;
    }

    // The mirrored form has no zero bytes of its own; it ends at the first one.
    CSimpleEncrypt mirror;
    char* stored = NewText(bytes, length);
    if (stored) {
        mirror.Decrypt(stored, plain);
        delete[] stored;
        if (HoldsConnector(plain)) {
            *text = plain;
            return 1;
        }
    }
    delete[] plain;
    return 0;
}

int ReadConnectorFile(const char* path, char** text, bool* tooLarge)
{
    *text = nullptr;
    if (tooLarge)
        *tooLarge = false;
    FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file)
        return 0;
    std::string bytes;
    char chunk[4096];
    size_t count;
    // Read no further than the bound, whatever size the file claims.
    while (bytes.size() <= kConnectorFileMaxBytes && (count = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, count);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (bytes.size() > kConnectorFileMaxBytes) {
        if (tooLarge)
            *tooLarge = true;
        return 0;
    }
    if (failed)
        return 0;
    return ReadConnectorText(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), text);
}
