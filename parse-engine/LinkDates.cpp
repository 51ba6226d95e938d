// The engine's match-date action reads its dates from the date package it is
// linked with, and their weekdays from the same clock and time zone.
#include "Curlew.h"
#include "DateSource.h"
#include "DateValue.h"

extern "C" {
// Named by the host tree's link so that this file comes along from the archive.
int osprey_dates_linked = 1;
}

namespace {

int Weekday(int32_t time)
{
    return LocalWeekday(time);
}

struct InstallDates {
    InstallDates() { osprey::SetDateSource({&ConvertSlotsToDate, &Weekday}); }
} g_installDates;

} // namespace
