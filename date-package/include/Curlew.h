// The date package: date and time grammar from the user's locale, and the
// conversion of date slots to times (seconds since 1970, UTC; -1 for none).
#pragma once
#include "Osprey.h"

#ifdef __cplusplus
extern "C" {
#endif

// Keyphrase attribute kinds.
enum {
    CURLEW_START_DATE = 1,
    CURLEW_END_DATE = 2,
    CURLEW_START_TIME = 3,
    CURLEW_END_TIME = 4,
    CURLEW_DUE_DATE = 5,
    CURLEW_DATE = 6,
    CURLEW_DATE_TIME = 7
};

// Added to the unit of an offset (slot 11: 1 day, 2 week, 3 month, 4 year)
// by a plural unit word such as "weeks": the offset is a date only with a count.
enum { CURLEW_UNIT_NEEDS_COUNT = 16 };

// Writes the time and its kind (6 a date, 7 a date and time) when the slots at
// `base` (0, or 32 for the second date of a range) hold a date or a time;
// otherwise writes nothing.
void PRSAPI ConvertSlotsToDate(Slots* slots, int base, int32_t* time, int* kind);

int PRSAPI Load(PrsParser* parser, PrsPackage* package);
void PRSAPI Unload(void* parserSide, PrsPackage* package);
int PRSAPI GetKeyphraseAttributes(void* first, PrsKeyphrase* keyphrase, int capacity,
                                  PrsAttribute* attributes);
int PRSAPI AttributeToVariant(const PrsAttribute* attribute, VARIANT* out);

#ifdef __cplusplus
}
#endif
