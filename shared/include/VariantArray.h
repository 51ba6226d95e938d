// VARIANTs holding one-dimensional arrays of strings (VT_ARRAY | VT_BSTR),
// as the access servers hand out lists and read them from item records.
#pragma once
#include <windows.h>
#include <oaidl.h>

// Clears `value` and makes it an empty array of strings.
HRESULT QuiMakeStringArray(VARIANT* value);
// Grows the array by one element holding a copy of `text` (null: empty);
// DISP_E_OVERFLOW when the new index would pass the largest LONG. A failure
// leaves the array as it was.
HRESULT QuiAppendString(VARIANT* array, const wchar_t* text);
// The same with ANSI text, widened from the ANSI code page.
HRESULT QuiAppendAnsiString(VARIANT* array, const char* text);

// Whether `value` is a one-dimensional array of strings, by its label and
// by the array's own type.
bool QuiIsStringArray(const VARIANT& value);
// Joins the elements, each followed by `terminator`: Home and Calls with ';'
// give "Home;Calls;". E_INVALIDARG when `array` is no array of strings.
HRESULT QuiJoinStringArray(const VARIANT& array, wchar_t terminator, BSTR* joined);
// Joins the elements with `separator` between them: Home and Calls with ", "
// give "Home, Calls". E_INVALIDARG when `array` is no array of strings.
HRESULT QuiJoinStrings(const VARIANT& array, const wchar_t* separator, BSTR* joined);
