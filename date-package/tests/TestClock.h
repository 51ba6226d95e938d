// A fixed now in a zone five hours behind UTC with daylight saving, for tests.
#pragma once
#include "DateValue.h"

#include <gtest/gtest.h>

namespace curlew_test {

const int kZoneOffset = -5 * 3600;

// The moment of a local wall-clock time in the test zone.
inline int32_t Local(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    FixedClock zone(0, kZoneOffset);
    int64_t time = 0;
    EXPECT_TRUE(zone.FromLocal(CivilTime(year, month, day, hour, minute, second), &time));
    return static_cast<int32_t>(time);
}

// Installs the test clock for the life of the object.
class ScopedClock {
public:
    explicit ScopedClock(int32_t now) : m_clock(now, kZoneOffset) { SetClock(&m_clock); }
    ~ScopedClock() { SetClock(nullptr); }
    void SetNow(int32_t now) { m_clock.SetNow(now); }

private:
    FixedClock m_clock;
};

} // namespace curlew_test
