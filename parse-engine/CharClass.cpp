#include "CharClass.h"

namespace osprey {

CharClass ClassOf(PRSWCHAR c)
{
    unsigned u = static_cast<uint16_t>(c);
    if (u < 128)
        return kAsciiClass[u];
    unsigned lo = 0, hi = kCharRunCount;
    while (lo < hi) {
        unsigned mid = (lo + hi) / 2;
        if (kCharRuns[mid].last < u)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < kCharRunCount && kCharRuns[lo].first <= u)
        return kCharRuns[lo].cls;
    return kLetter;
}

PRSWCHAR ToLower(PRSWCHAR c)
{
    unsigned u = static_cast<uint16_t>(c);
    if (u < 128)
        return (u >= 'A' && u <= 'Z') ? static_cast<PRSWCHAR>(u + 32) : c;
    unsigned lo = 0, hi = kLowerRunCount;
    while (lo < hi) {
        unsigned mid = (lo + hi) / 2;
        if (kLowerRuns[mid].last < u)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < kLowerRunCount) {
        const LowerRun& r = kLowerRuns[lo];
        if (r.first <= u && (u - r.first) % r.step == 0)
            return static_cast<PRSWCHAR>(static_cast<uint16_t>(u + r.delta));
    }
    return c;
}

} // namespace osprey
