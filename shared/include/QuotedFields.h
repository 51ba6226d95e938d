// Comma-separated, double-quoted text lines: the back-end servers return their
// categories, folders and contacts in them, one line per entry. Every function
// works in place on the caller's buffer.
#pragma once
#include <cstddef>

// Rewrites text as one quoted field: a double quote, the text with every
// double quote doubled, a double quote. `capacity` is the size of the buffer;
// when the quoted field and its terminator do not fit, the text is left as it
// is and null is returned. Otherwise returns text.
char* QuoteCsvField(char* text, size_t capacity);

// Undoes QuoteCsvField: a text that begins with a double quote loses it, and
// its last character too when that is a double quote; then every pair of
// double quotes becomes one. Null gives null; a text shorter than two
// characters is returned unchanged.
char* UnquoteCsvField(char* text);

// Splits line in place into fields at the separators outside double quotes; a
// line feed or the end of the line ends a field in any case. Each field keeps
// its quotes (pass it to UnquoteCsvField). Stores the field starts in fields
// followed by a null pointer, and returns the number of fields. `capacity` is
// the number of pointers fields can hold: at most capacity - 1 fields are
// split off, and the rest of the line is left as it is.
int SplitCsvLine(char* line, char** fields, int capacity, char separator = ',');
// The same over wide text.
int SplitCsvLine(wchar_t* line, wchar_t** fields, int capacity, wchar_t separator);
