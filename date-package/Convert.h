// The slot-to-date conversion with a year imposed on a month date that names
// none, for the start of a range.
#pragma once
#include "Curlew.h"

#include <stdint.h>

namespace curlew {

// As ConvertSlotsToDate; a day of a month without a year of its own is read
// in *yearIfNone when that is given.
void ConvertSlots(Slots* slots, int base, const int64_t* yearIfNone, int32_t* time, int* kind);

// True when the slots at base give a day of a month (not a time) and name no
// year.
bool ReadsWithoutYear(Slots* slots, int base);

} // namespace curlew
