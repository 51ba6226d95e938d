// The byte-level rules of the engine: request text, where a response head
// ends, what its header lines say, and the numbers in it. Nothing here
// touches a socket, so every rule is testable on recorded bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace shrike {

// Body modes besides a remaining Content-Length (0 and up).
const int32_t kBodyChunked = -1;
const int32_t kBodyUntilClose = -2;

// True when the text holds a byte below 0x20 or DEL.
bool HasControlChar(const char* text);

// Writes the GET request for path into out (capacity bytes, the session
// buffer's size): absolute through a proxy, origin form otherwise. Null on
// success, else the request error text; nothing is written then.
const char* BuildRequest(char* out, size_t capacity, size_t* length, const char* path,
                         const char* serverHost, bool viaProxy, bool http11);

// Where a head ends: the offset of its empty line and of the first byte
// behind that line.
struct HeadEnd {
    size_t emptyLine;
    size_t next;
};
// True once the held bytes contain the whole head, line end included.
bool FindHeadEnd(const char* data, size_t held, HeadEnd* end);

// False once the held bytes cannot be the start of "HTTP/1." (any case).
bool CanBeStatusLine(const char* data, size_t held);

// What a response head says about its body and its connection.
struct HeadFacts {
    int32_t bodyMode = kBodyUntilClose;
    bool keepAlive = false;
    bool unsupportedEncoding = false;
    bool badLength = false;
};
// length is the empty line's offset; http11 is the session's version.
HeadFacts ReadHeadFacts(const char* head, size_t length, bool http11);

// A peer's status line as the status report writes it to the console:
// control bytes, bytes of 0x80 and up and the backslash as \xNN, and no
// more than kReportedStatusBytes of the peer's bytes ("..." marks a cut), so
// a hostile server can neither drive the terminal nor flood it.
const size_t kReportedStatusBytes = 160;
std::string ReportableStatusLine(const char* line, size_t length);

// The number after the status line's first word; 0 when there is none.
int StatusCode(const char* head, size_t length);

// A Content-Length value: decimal digits that fit 31 bits, blanks around.
bool ParseContentLength(const char* text, size_t length, int32_t* value);

// A chunk-size line without its line feed: hexadecimal digits that fit 31
// bits, then optionally blanks, an extension after ";" and a CR.
bool ParseChunkSize(const char* line, size_t length, int32_t* size);

}
