// Filing a calendar entry: the checks every desktop edition shares, then
// each edition's own times and kind bits.
#include "PimPanes.h"

#include <cmath>
#include <cstdlib>

#include "DestUtil.h"
#include "GodwitDispIds.h"
#include "GodwitWrapper.h"
#include "PimDestCommon.h"
#include "QuiResIds.h"

using namespace pimdest;

namespace {

const DATE kOneHour = 1.0 / 24.0;
const DATE kHalfHour = 1.0 / 48.0;
const short kNormalImportance = 1;

bool IsNull(const VARIANT& value, DATE which)
{
    return value.vt == VT_NULL && value.date == which;
}

int HourOf(DATE time)
{
    return MinutesOfDay(time) / 60;
}

// The end of an entry that has a start and no end: an hour later, unless
// that passes into the last hour of the day, where it ends as it starts.
DATE EndWithoutEndTime(DATE start, DATE length)
{
    return HourOf(start) < 23 ? start + length : start;
}

} // namespace

int CPimCalDestination::fileItem(CGodwitWrapper* pRecord)
{
    if (!pRecord || !m_pDate)
        return 0;
    pRecord->AddTypeBit(GODWIT_TYPE_CALENDAR);
    CString body;
    GetBodyText(body);
    pRecord->SetBody(body);

    COleVariant start, end, date;
    ReadProp(m_pStart.get(), start);
    ReadProp(m_pEnd.get(), end);
    ReadProp(m_pDate.get(), date);
    if (IsNull(start, -2.0))
        Refuse(IDS_WEBCAL_BAD_START);
    if (IsNull(end, -2.0))
        Refuse(IDS_WEBCAL_BAD_END);
    if (IsNull(date, -2.0))
        Refuse(IDS_PIM_BAD_CAL_DATE);
    if (date.vt == VT_DATE && date.date == -3.0)
        Refuse(IDS_PIM_DATE_OUT_OF_RANGE);
    if (IsNull(date, -1.0) && !(IsNull(start, -1.0) && IsNull(end, -1.0))) {
        date.Clear();
        date.vt = VT_DATE;
        date.date = Today();
    }
    const UINT kind = m_pPane->GetKind();
    if (!IsDate(date))
        Refuse(IDS_PIM_NO_DATE);
    EntryTimes times;
    times.day = std::floor(date.date);
    times.hasStart = IsDate(start);
    times.hasEnd = IsDate(end);
    times.startTime = times.hasStart ? start.date - std::floor(start.date) : 0.0;
    times.endTime = times.hasEnd ? end.date - std::floor(end.date) : 0.0;
    switch (m_edition) {
    case pimPalm:
        FilePalmEntry(pRecord, times);
        break;
    case pimOutlook:
        FileOutlookEntry(pRecord, times);
        break;
    default:
        FileNotesEntry(pRecord, times, kind);
        break;
    }
    return 0;
}

void CPimCalDestination::FilePalmEntry(CGodwitWrapper* pRecord, const EntryTimes& times)
{
    const DATE day = times.day;
    pRecord->SetStartDate(day);
    pRecord->AddSubTypeBit(0x100);
    DATE first = day, last = day;
    if (!times.hasStart) {
        last = day + times.endTime;
    } else {
        // Midnight itself would read as "no time" to the back end.
        const DATE startTime = times.startTime == 0.0 ? 6e-05 : times.startTime;
        first = day + startTime;
        // Without an end the entry lasts an hour: never an end at the
        // midnight before its start.
        last = times.hasEnd ? day + times.endTime : day + EndWithoutEndTime(startTime, kOneHour);
    }
    if (first > last)
        Refuse(IDS_WEBCAL_BAD_END);
    pRecord->SetStartDate(first);
    pRecord->SetEndDate(last);
    pRecord->SetAlarmAdvance(-1);
}

void CPimCalDestination::FileOutlookEntry(CGodwitWrapper* pRecord, const EntryTimes& times)
{
    // A record's priority starts at 0, which Outlook files as low importance:
    // an entry is of normal importance, as Outlook makes one.
    pRecord->SetPriority(kNormalImportance);
    pRecord->SetStartDate(times.day);
    pRecord->SetEndDate(times.day);
    DATE startTime = times.startTime;
    if (!times.hasStart) {
        startTime = 8.0 / 24.0;
        pRecord->AddSubTypeBit(0x400);
    } else {
        pRecord->AddSubTypeBit(0x100);
    }
    FileTimes(pRecord, times.day, startTime, times.hasEnd ? times.endTime : -1.0, kHalfHour);
}

void CPimCalDestination::FileNotesEntry(CGodwitWrapper* pRecord, const EntryTimes& times, UINT kind)
{
    const DATE day = times.day;
    pRecord->SetStartDate(day);
    pRecord->SetEndDate(day);
    switch (kind) {
    case KIND_TIMED:
        if (!times.hasStart) {
            pRecord->AddSubTypeBit(0x400);
            return;
        }
        pRecord->AddSubTypeBit(0x100);
        FileTimes(pRecord, day, times.startTime, times.hasEnd ? times.endTime : -1.0, kOneHour);
        return;
    case KIND_DAYS: {
        pRecord->AddSubTypeBit(0x400);
        const long days = std::atol(m_pPane->GetDaysField().GetText());
        if (days > 0) {
            pRecord->SetEndDate(day + static_cast<DATE>(days));
            return;
        }
        if (TypedButUnread(m_pDays.get()))
            Refuse(IDS_OZU_BAD_DAYS);
        return;
    }
    case KIND_AT:
        if (!times.hasStart) {
            pRecord->AddSubTypeBit(0x400);
            return;
        }
        pRecord->AddSubTypeBit(0x1000);
        pRecord->SetStartDate(day + times.startTime);
        pRecord->SetEndDate(day + times.startTime);
        return;
    case KIND_DATE:
        pRecord->AddSubTypeBit(0x200);
        return;
    default:
        pRecord->AddSubTypeBit(0x100);
        return;
    }
}

void CPimCalDestination::FileTimes(CGodwitWrapper* pRecord, DATE day, DATE startTime, DATE endTime, DATE length)
{
    DATE last;
    if (endTime < 0.0) {
        if (TypedButUnread(m_pEnd.get()))
            Refuse(IDS_WEBCAL_BAD_END);
        last = day + EndWithoutEndTime(startTime, length);
    } else {
        last = day + endTime;
    }
    const DATE first = day + startTime;
    if (first > last)
        Refuse(IDS_WEBCAL_BAD_END);
    pRecord->SetStartDate(first);
    pRecord->SetEndDate(last);
}
