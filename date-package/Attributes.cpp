// Keyphrase attributes of the package's rules, and their automation dates.
#include "Convert.h"
#include "Curlew.h"
#include "DateValue.h"

#include <string>

namespace {

bool SymbolIs(const PrsKeyphrase* keyphrase, const char* name)
{
    const PRSWCHAR* symbol = PrsKeyphraseGetSymbolName(keyphrase);
    if (!symbol)
        return false;
    for (; *name; ++name, ++symbol) {
        if (*symbol != static_cast<PRSWCHAR>(*name))
            return false;
    }
    return *symbol == 0;
}

// The start of a date range that names no year takes the year of the
// range's end, or the year before when it would land after the end. An end
// that is no date leaves the start as it reads alone.
int32_t RangeStart(Slots* slots, int32_t start, int32_t end)
{
    LocalTime endLocal;
    if (end == -1 || !curlew::ReadsWithoutYear(slots, 0) || !GetClock().ToLocal(end, &endLocal))
        return start;
    int64_t year = endLocal.year;
    int kind = 0;
    curlew::ConvertSlots(slots, 0, &year, &start, &kind);
    if (start != -1 && start > end) {
        --year;
        curlew::ConvertSlots(slots, 0, &year, &start, &kind);
    }
    return start;
}

} // namespace

extern "C" {

int PRSAPI GetKeyphraseAttributes(void*, PrsKeyphrase* keyphrase, int capacity,
                                  PrsAttribute* attributes)
{
    Slots* slots = PrsKeyphraseGetSemanticInfo(keyphrase);
    if (!slots)
        return 0;
    if (!attributes)
        capacity = 0;
    int32_t time = -1;
    int kind = 0;
    ConvertSlotsToDate(slots, 0, &time, &kind);
    if (capacity > 0)
        attributes[0] = PrsAttribute{kind, time};
    if (!SymbolIs(keyphrase, "time-range") && !SymbolIs(keyphrase, "date-range")) {
        if (SymbolIs(keyphrase, "due-date") && capacity > 0)
            attributes[0].kind = CURLEW_DUE_DATE;
        return 1;
    }
    int32_t end = -1;
    int endKind = 0;
    ConvertSlotsToDate(slots, 32, &end, &endKind);
    if (capacity > 0) {
        attributes[0].kind = kind == CURLEW_DATE_TIME ? CURLEW_START_TIME : CURLEW_START_DATE;
        if (kind == CURLEW_DATE)
            attributes[0].value = RangeStart(slots, time, end);
    }
    if (capacity > 1)
        attributes[1] = PrsAttribute{endKind == CURLEW_DATE_TIME ? CURLEW_END_TIME : CURLEW_END_DATE, end};
    return 2;
}

int PRSAPI AttributeToVariant(const PrsAttribute* attribute, VARIANT* out)
{
    if (!out)
        return VT_EMPTY;
#ifdef _WIN32
    VariantInit(out);
#else
    *out = VARIANT();
#endif
    // The date's own daylight-saving state counts, not today's.
    DATE date = attribute ? TimeToVariantDate(attribute->value) : 0.0;
    if (date == 0.0) {
        out->vt = VT_NULL;
        return VT_NULL;
    }
    out->vt = VT_DATE;
    out->date = date;
    return VT_DATE;
}

void PRSAPI Unload(void*, PrsPackage*)
{
}

} // extern "C"
