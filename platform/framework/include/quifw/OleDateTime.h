// Automation dates (days since 1899-12-30 00:00, local time) with a status,
// and the span between two of them.
//
// Before 1899-12-30 the fraction of an automation date still counts forward
// from midnight: -1.25 is 1899-12-29 06:00, a quarter of a day before -1.0
// would read it. Arithmetic and comparison here work on the moment, so they
// stay right on both sides of day 0.
#pragma once

#include "Types.h"

#include <oaidl.h>

// winbase.h makes GetCurrentTime an old name of GetTickCount.
#ifdef GetCurrentTime
#undef GetCurrentTime
#endif

class COleDateTimeSpan {
public:
    enum DateTimeSpanStatus { valid = 0, invalid = 1, null = 2 };

    COleDateTimeSpan(double dblSpan = 0.0) : m_span(dblSpan), m_status(valid) {}
    COleDateTimeSpan(long lDays, int nHours, int nMins, int nSecs);

    DateTimeSpanStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeSpanStatus status) { m_status = status; }
    double GetTotalDays() const { return m_span; }
    long GetDays() const;                  // whole days, towards zero
    operator double() const { return m_span; }

    double m_span;                         // days, with the time as a fraction
    DateTimeSpanStatus m_status;
};

class COleDateTime {
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    COleDateTime() : m_dt(0.0), m_status(valid) {}
    // Invalid outside 100-01-01 to 9999-12-31 and for NaN.
    COleDateTime(DATE dtSrc);
    // VT_DATE as it is, VT_NULL null, anything else converted; invalid when
    // it does not convert.
    COleDateTime(const VARIANT& varSrc);
    COleDateTime(const SYSTEMTIME& systimeSrc);
    COleDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec);

    // Now, local time, to the second.
    static COleDateTime GetCurrentTime();

    DateTimeStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeStatus status) { m_status = status; }
    operator DATE() const { return m_dt; }

    // Fields of a valid date, -1 otherwise. The time is rounded to the second.
    int GetYear() const;
    int GetMonth() const;                  // 1 to 12
    int GetDay() const;                    // 1 to 31
    int GetHour() const;                   // 0 to 23
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const;              // 1 Sunday to 7 Saturday
    int GetDayOfYear() const;              // 1 is January 1
    BOOL GetAsSystemTime(SYSTEMTIME& systime) const;

    // 0 when the fields make a date (the object then holds it), else 1 and
    // the object becomes invalid. A date is 100-01-01 to 9999-12-31, a time
    // 00:00:00 to 23:59:59; February 29 only in leap years.
    int SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec);
    int SetDate(int nYear, int nMonth, int nDay);      // at midnight
    int SetTime(int nHour, int nMin, int nSec);        // on day 0

    COleDateTime& operator=(DATE dtSrc);
    COleDateTime& operator=(const VARIANT& varSrc);
    COleDateTime& operator=(const SYSTEMTIME& systimeSrc);

    // Earlier and later by the moment, not by the stored number.
    bool operator==(const COleDateTime& date) const;
    bool operator!=(const COleDateTime& date) const { return !(*this == date); }
    bool operator<(const COleDateTime& date) const;
    bool operator>(const COleDateTime& date) const { return date < *this; }
    bool operator<=(const COleDateTime& date) const { return !(date < *this); }
    bool operator>=(const COleDateTime& date) const { return !(*this < date); }

    // A result from an invalid operand is invalid, from a null one null.
    COleDateTime operator+(const COleDateTimeSpan& span) const;
    COleDateTime operator-(const COleDateTimeSpan& span) const;
    COleDateTimeSpan operator-(const COleDateTime& date) const;
    COleDateTime& operator+=(const COleDateTimeSpan& span) { return *this = *this + span; }
    COleDateTime& operator-=(const COleDateTimeSpan& span) { return *this = *this - span; }

    DATE m_dt;
    DateTimeStatus m_status;

private:
    BOOL GetFields(SYSTEMTIME& fields, int* pDayOfYear) const;
    int Field(WORD SYSTEMTIME::*pField) const;
};
