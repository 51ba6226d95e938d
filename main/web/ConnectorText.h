// How tags, keys and values are found in the text of a connector definition
// file. Every search is case-sensitive and runs to the text's terminator; a
// caller limits it by ending the text for the moment.
#pragma once

#include <afxquill.h>

namespace ConnectorText {

// Values are cut to this many characters before they are unquoted.
const int kMaxValue = 1023;

// The first place at or after `from` where `word` stands directly behind a
// blank, a tab, a line feed or "<", or at the very start of `text` (the
// start of the search counts only there). Null when there is none.
const char* FindTag(const char* text, const char* from, const char* word);

// The first "<CONNECTOR" tag at or after `from`: found as FindTag finds it,
// and followed by white space, ">", "/" or the end of the text, so that a
// longer name such as "<CONNECTOR_ID>" is not one.
const char* FindConnectorTag(const char* text, const char* from);

// The value of the key whose name starts at `key`: the text behind the first
// "=" after the name (white space skipped there when `skipSpace`), quoted or
// up to the next blank, cut to kMaxValue characters and unquoted. False, with
// `value` unchanged, when no "=" follows the name.
bool ReadValue(const char* key, const char* name, bool skipSpace, CString& value);

// A version number as the file's VERSION gives it, kept to five significant
// digits ("1.25", "2", "1.2346e+005").
CString FormatVersion(double version);

} // namespace ConnectorText
