// Automation dates (days since 1899-12-30, local time) to and from the
// C library's calendar time.
#pragma once
#include <ctime>
#ifdef _WIN32
#include <wtypes.h>
#else
typedef double DATE;
#endif

// True for a date automation can hold: 100-01-01 up to the end of 9999-12-31.
bool IsValidVariantDate(DATE d);

// Seconds since 1970 for an automation date read as local time (daylight
// saving decided by the C library); -1 when d is no valid date or the C
// library cannot represent it.
time_t VariantDateToTime(DATE d);
