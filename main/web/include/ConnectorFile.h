// Reading a connector definition file, which may be stored plain or in one
// of two scrambled forms: shifted by the program's key text, or mirrored.
#pragma once

#include <cstddef>
#include <iosfwd>

// The password whose first character sets where the key text starts for
// connector files.
extern const char kConnectorPassword[];

// No connector file comes near this size (the shipped ones are a few KB).
// A larger file is refused unread: it is read whole and copied several
// times, so a stray file of hundreds of MB would take every start's memory.
const size_t kConnectorFileMaxBytes = size_t(1) << 20;

// 1, and a new zero-terminated text (free it with delete[]) in *text: the
// file's text as stored or unscrambled. 0, with *text null, when the file
// cannot be read, is empty, is larger than kConnectorFileMaxBytes (then
// *tooLarge, when given, is set), or holds no connector in any of the three
// forms.
int ReadConnectorFile(const char* path, char** text, bool* tooLarge = nullptr);

// The same for bytes already read.
int ReadConnectorText(const unsigned char* bytes, size_t length, char** text);

// Shifts every byte of `in` by the key text (decode subtracts, encode adds),
// starting at the key position that the password's first character gives,
// and writes one byte to `out` for each byte read.
void KeyTextStreamDecode(std::istream& in, std::ostream& out, const char* password);
void KeyTextStreamEncode(std::istream& in, std::ostream& out, const char* password);

// The mirror scrambling: every character c (taken as signed) with
// '0' < c < 'z' becomes 170 - c; others stay. Its own inverse.
class CSimpleEncrypt {
public:
    virtual ~CSimpleEncrypt() = default;
    // Writes the mirrored text up to the input's first zero byte, and a
    // terminator, to `out`, which holds at least as many bytes as `in`;
    // returns 0.
    int Decrypt(const char* in, char* out);
};
