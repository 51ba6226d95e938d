#include "quifw/OleDateTime.h"

#include <cmath>

#include <oleauto.h>

namespace {

const double kSecondsPerDay = 86400.0;
// Automation holds 100-01-01 up to the end of 9999-12-31.
const double kFirstDay = -657434.0;
const double kLastDay = 2958465.0;
const int kFirstYear = 100;
const int kLastYear = 9999;

// The stored number as a straight count of days: before day 0 the whole
// part counts back but the fraction still runs forward from midnight.
double Linear(DATE d)
{
    if (d >= 0.0)
        return d;
    double whole = std::ceil(d);
    return whole + (whole - d);
}

DATE FromLinear(double days)
{
    if (days >= 0.0)
        return days;
    double whole = std::floor(days);
    double fraction = days - whole;
    return fraction == 0.0 ? whole : whole - fraction;
}

// NaN fails both tests.
bool IsInRange(DATE d)
{
    double whole = std::trunc(d);
    return whole >= kFirstDay && whole <= kLastDay;
}

template <class Status>
Status Combined(Status a, Status b)
{
    if (a == Status::invalid || b == Status::invalid)
        return Status::invalid;
    return a == Status::null || b == Status::null ? Status::null : Status::valid;
}

} // namespace

//--- COleDateTimeSpan

COleDateTimeSpan::COleDateTimeSpan(long lDays, int nHours, int nMins, int nSecs)
    : m_span(lDays + (nHours * 3600.0 + nMins * 60.0 + nSecs) / kSecondsPerDay), m_status(valid)
{
}

long COleDateTimeSpan::GetDays() const
{
    return static_cast<long>(std::trunc(m_span));
}

//--- COleDateTime

COleDateTime::COleDateTime(DATE dtSrc)
{
    *this = dtSrc;
}

COleDateTime::COleDateTime(const VARIANT& varSrc)
{
    *this = varSrc;
}

COleDateTime::COleDateTime(const SYSTEMTIME& systimeSrc)
{
    *this = systimeSrc;
}

COleDateTime::COleDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec)
{
    SetDateTime(nYear, nMonth, nDay, nHour, nMin, nSec);
}

COleDateTime COleDateTime::GetCurrentTime()
{
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return COleDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

COleDateTime& COleDateTime::operator=(DATE dtSrc)
{
    m_dt = dtSrc;
    m_status = IsInRange(dtSrc) ? valid : invalid;
    return *this;
}

COleDateTime& COleDateTime::operator=(const VARIANT& varSrc)
{
    if (varSrc.vt == VT_NULL) {
        m_dt = 0.0;
        m_status = null;
        return *this;
    }
    VARIANT date;
    ::VariantInit(&date);
    if (FAILED(::VariantChangeType(&date, const_cast<VARIANT*>(&varSrc), 0, VT_DATE))) {
        m_dt = 0.0;
        m_status = invalid;
        return *this;
    }
    return *this = date.date;
}

COleDateTime& COleDateTime::operator=(const SYSTEMTIME& systimeSrc)
{
    SetDateTime(systimeSrc.wYear, systimeSrc.wMonth, systimeSrc.wDay, systimeSrc.wHour, systimeSrc.wMinute,
                systimeSrc.wSecond);
    return *this;
}

int COleDateTime::SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec)
{
    m_dt = 0.0;
    m_status = invalid;
    if (nYear < kFirstYear || nYear > kLastYear || nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > 31 ||
        nHour < 0 || nHour > 23 || nMin < 0 || nMin > 59 || nSec < 0 || nSec > 59)
        return 1;
    UDATE fields = {};
    fields.st.wYear = static_cast<WORD>(nYear);
    fields.st.wMonth = static_cast<WORD>(nMonth);
    fields.st.wDay = static_cast<WORD>(nDay);
    DATE day = 0.0;
    if (FAILED(::VarDateFromUdate(&fields, 0, &day)))
        return 1;
    // The system rolls a day past the month's end into the next month.
    UDATE check = {};
    if (FAILED(::VarUdateFromDate(day, 0, &check)) || check.st.wYear != nYear || check.st.wMonth != nMonth ||
        check.st.wDay != nDay)
        return 1;
    m_dt = FromLinear(day + (nHour * 3600.0 + nMin * 60.0 + nSec) / kSecondsPerDay);
    m_status = valid;
    return 0;
}

int COleDateTime::SetDate(int nYear, int nMonth, int nDay)
{
    return SetDateTime(nYear, nMonth, nDay, 0, 0, 0);
}

int COleDateTime::SetTime(int nHour, int nMin, int nSec)
{
    return SetDateTime(1899, 12, 30, nHour, nMin, nSec);
}

BOOL COleDateTime::GetFields(SYSTEMTIME& fields, int* pDayOfYear) const
{
    if (m_status != valid || !IsInRange(m_dt))
        return FALSE;
    // Whole seconds first, so that 23:59:59.6 becomes the next midnight
    // rather than a 60th second.
    double seconds = std::round(Linear(m_dt) * kSecondsPerDay);
    double day = std::floor(seconds / kSecondsPerDay);
    long secondOfDay = static_cast<long>(seconds - day * kSecondsPerDay);
    UDATE date = {};
    if (FAILED(::VarUdateFromDate(FromLinear(day), 0, &date)))
        return FALSE;
    fields = date.st;
    fields.wHour = static_cast<WORD>(secondOfDay / 3600);
    fields.wMinute = static_cast<WORD>(secondOfDay / 60 % 60);
    fields.wSecond = static_cast<WORD>(secondOfDay % 60);
    fields.wMilliseconds = 0;
    if (pDayOfYear)
        *pDayOfYear = date.wDayOfYear;
    return TRUE;
}

BOOL COleDateTime::GetAsSystemTime(SYSTEMTIME& systime) const
{
    return GetFields(systime, nullptr);
}

int COleDateTime::Field(WORD SYSTEMTIME::*pField) const
{
    SYSTEMTIME fields;
    return GetFields(fields, nullptr) ? fields.*pField : -1;
}

int COleDateTime::GetYear() const { return Field(&SYSTEMTIME::wYear); }
int COleDateTime::GetMonth() const { return Field(&SYSTEMTIME::wMonth); }
int COleDateTime::GetDay() const { return Field(&SYSTEMTIME::wDay); }
int COleDateTime::GetHour() const { return Field(&SYSTEMTIME::wHour); }
int COleDateTime::GetMinute() const { return Field(&SYSTEMTIME::wMinute); }
int COleDateTime::GetSecond() const { return Field(&SYSTEMTIME::wSecond); }

int COleDateTime::GetDayOfWeek() const
{
    int nDay = Field(&SYSTEMTIME::wDayOfWeek);
    return nDay < 0 ? -1 : nDay + 1;   // the system counts from 0 for Sunday
}

int COleDateTime::GetDayOfYear() const
{
    SYSTEMTIME fields;
    int nDayOfYear = -1;
    return GetFields(fields, &nDayOfYear) ? nDayOfYear : -1;
}

bool COleDateTime::operator==(const COleDateTime& date) const
{
    return Linear(m_dt) == Linear(date.m_dt);
}

bool COleDateTime::operator<(const COleDateTime& date) const
{
    return Linear(m_dt) < Linear(date.m_dt);
}

COleDateTime COleDateTime::operator+(const COleDateTimeSpan& span) const
{
    COleDateTime result(FromLinear(Linear(m_dt) + span.m_span));
    DateTimeStatus spanStatus = static_cast<DateTimeStatus>(span.m_status);
    result.m_status = Combined(Combined(m_status, spanStatus), result.m_status);
    return result;
}

COleDateTime COleDateTime::operator-(const COleDateTimeSpan& span) const
{
    COleDateTimeSpan negated(-span.m_span);
    negated.m_status = span.m_status;
    return *this + negated;
}

COleDateTimeSpan COleDateTime::operator-(const COleDateTime& date) const
{
    COleDateTimeSpan result(Linear(m_dt) - Linear(date.m_dt));
    result.m_status = static_cast<COleDateTimeSpan::DateTimeSpanStatus>(Combined(m_status, date.m_status));
    return result;
}
