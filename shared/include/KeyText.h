// The program's key text and the byte shifting with which the stored web login
// password and scrambled connector definition files are kept.
#pragma once
#include <cstddef>

enum { QUI_KEY_TEXT_LENGTH = 512 };

// One line of 512 printable characters, zero-terminated.
extern const char g_quiKeyText[QUI_KEY_TEXT_LENGTH + 1];

// Where a stream starts in the key text: the code of the password's first
// character, 66 when there is no password.
size_t KeyTextStart(const char* password);

// Subtract (decode) or add (encode) the key text byte by byte, modulo 256,
// starting at key position `pos` and wrapping round at the key's end.
// Return the key position after the last byte, to continue a stream.
size_t KeyTextDecode(unsigned char* bytes, size_t count, size_t pos);
size_t KeyTextEncode(unsigned char* bytes, size_t count, size_t pos);

// Turns the stored "Password" setting back into plain text in place.
// 1 for a null buffer, else 0; nothing is changed when length is below 1.
int UnscramblePassword(unsigned char* buffer, int length);
