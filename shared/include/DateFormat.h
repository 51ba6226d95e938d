// Dates and times shown in the user's locale.
#pragma once
#include <windows.h>
#include <wtypes.h>

enum { QUI_DATE_TEXT = 64 };

// The date (default short format) or the time (without seconds) of an
// automation date in the user's default locale, at most outLen characters
// with the terminator. The length written with its terminator; 0, with out
// untouched, when d is no valid date.
int FormatVariantDate(DATE d, char* out, int outLen);
int FormatVariantTime(DATE d, char* out, int outLen);
