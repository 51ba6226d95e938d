#include "CharClass.h"

namespace osprey {

namespace {

// Index of the run that could hold the unit: the first whose last unit is
// not below it (count when none).
template <class Run>
unsigned RunFor(const Run* runs, unsigned count, unsigned unit)
{
    unsigned lo = 0, hi = count;
    while (lo < hi) {
        unsigned mid = (lo + hi) / 2;
        if (runs[mid].last < unit)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

} // namespace

CharClass ClassOf(PRSWCHAR c)
{
    unsigned u = static_cast<uint16_t>(c);
    if (u < 128)
        return kAsciiClass[u];
    unsigned at = RunFor(kCharRuns, kCharRunCount, u);
    if (at < kCharRunCount && kCharRuns[at].first <= u)
        return kCharRuns[at].cls;
    return kLetter;
}

PRSWCHAR ToLower(PRSWCHAR c)
{
    unsigned u = static_cast<uint16_t>(c);
    if (u < 128)
        return (u >= 'A' && u <= 'Z') ? static_cast<PRSWCHAR>(u + 32) : c;
    unsigned at = RunFor(kLowerRuns, kLowerRunCount, u);
    if (at < kLowerRunCount) {
        const LowerRun& r = kLowerRuns[at];
        if (r.first <= u && (u - r.first) % r.step == 0)
            return static_cast<PRSWCHAR>(static_cast<uint16_t>(u + r.delta));
    }
    return c;
}

} // namespace osprey
