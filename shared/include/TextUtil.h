// Small text helpers shared by the main program's web side and its utilities.
#pragma once
#include <cstddef>

// The first place in text where word begins right after one of the delimiter
// characters, or at the very start of text; null when there is none.
const char* FindDelimitedWord(const char* text, const char* word, const char* delimiters);

// The tool tip within a control's string: the part after its first line feed,
// or the whole string when it has none. With twoStates (a flat button), a
// second line feed parts the normal tip from the alternative one, which is
// taken while `alternate` is set. Copied into out (outLen bytes), cut to fit
// and terminated; false when out has no room at all.
bool SelectToolTipText(const char* text, bool twoStates, bool alternate, char* out, size_t outLen);

#ifdef _WIN32
// Widens sLen bytes of s (-1: up to and including its terminator) from the
// ANSI code page into out, which holds outLen characters; returns the number
// of characters written, 0 on failure (out null and outLen 0 ask for the
// size needed).
int AnsiToWide(const char* s, wchar_t* out, int outLen, int sLen);
#endif
