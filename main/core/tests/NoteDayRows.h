// How people write a timed note: the day before or after the time, the day
// inserted before a time typed first, the day deleted again, or no day at
// all; a second day, a time range, a day too far ahead; a field the user
// changed or a calendar the user switched off while typing. Every edition's
// to-do and calendar take the same day and time from each, typed key by key
// as a person types.
#pragma once
#include <afxquill.h>

#include <list>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ActionNote.h"
#include "DateDrop.h"
#include "DestProp.h"
#include "FrameworkUtil.h"
#include "QuiParser.h"

namespace noteday_test {

// The note's text after each keystroke that types `text` at the end of `typed`.
inline std::vector<std::string> Typed(const std::string& text, const std::string& typed = "")
{
    std::vector<std::string> texts;
    for (size_t n = 1; n <= text.size(); n++)
        texts.push_back(typed + text.substr(0, n));
    return texts;
}

// The same for `what` typed at `at` into `text`.
inline std::vector<std::string> Inserted(const std::string& text, size_t at, const std::string& what)
{
    std::vector<std::string> texts;
    for (size_t n = 1; n <= what.size(); n++)
        texts.push_back(text.substr(0, at) + what.substr(0, n) + text.substr(at));
    return texts;
}

// The note's text after each backspace that deletes `count` characters
// before `end`.
inline std::vector<std::string> Deleted(const std::string& text, size_t end, size_t count)
{
    std::vector<std::string> texts;
    for (size_t n = 1; n <= count; n++)
        texts.push_back(text.substr(0, end - n) + text.substr(end));
    return texts;
}

inline std::vector<std::string> Then(std::vector<std::string> first, const std::vector<std::string>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// Days from today to the next `weekday` (0 Sunday): 1 to 7.
inline int DaysToNext(int weekday)
{
    const int today = COleDateTime::GetCurrentTime().GetDayOfWeek() - 1;
    const int days = (weekday - today + 7) % 7;
    return days == 0 ? 7 : days;
}

// What the user does by hand between two keystrokes.
enum Hand {
    keysOnly,
    pickDue,    // picks the to-do's due date in its drop-down
    pickDays,   // picks the day in the to-do's and in the calendar's drop-down
    typeEnd,    // types the calendar's end time (kHandEndHour)
    untickCal,  // switches the calendar off
    clickCal,   // clicks the calendar's tick: off, or on again
};

// The end time typed by hand.
const int kHandEndHour = 18;

struct DayRow {
    const char* order;
    std::vector<std::string> texts;  // the note after each keystroke
    int days;                        // the date: days after today
    int hour;                        // the start time
    int minute;
    std::set<std::string> marked;  // the phrases the note marks
    std::string body;              // the calendar's text, without its day and time
    std::string toDoBody;          // the to-do's text, without its due date
    Hand hand = keysOnly;
    size_t handAfter = 0;  // the keystrokes before the user's own move
    int toDoDays = -1;     // the to-do's date when it is not the calendar's
    Hand then = keysOnly;  // a second move of the user's
    size_t thenAfter = 0;

    int ToDoDays() const { return toDoDays < 0 ? days : toDoDays; }
};

// Days from today to the date.
inline int DaysUntil(int year, int month, int day)
{
    const COleDateTime now = COleDateTime::GetCurrentTime();
    const COleDateTime today(now.GetYear(), now.GetMonth(), now.GetDay(), 0, 0, 0);
    return static_cast<int>(COleDateTime(year, month, day, 0, 0, 0).m_dt - today.m_dt);
}

// The PIM editions take phrase dates up to 31 December 2031 only.
inline bool PastPimDates(int days)
{
    return DaysUntil(2031, 12, 31) < days;
}

// The day the user picks by hand: more than a week ahead, so no weekday
// phrase names it.
const int kPickedDays = 9;

inline std::vector<DayRow> DayRows()
{
    const std::string late = "dinner 7pm tomorrow";
    const std::string bank = "call the bank by friday";
    const std::string twice = "dinner tomorrow 7pm";
    const std::string range = "lunch 1pm meeting 3pm to 5pm";
    const std::string edited = late + " with Ada";
    const int farDays = DaysUntil(2035, 1, 1);
    return {
        {"day before time", Typed("dinner tomorrow 7pm"), 1, 19, 0, {"tomorrow", "7pm"}, "dinner", "dinner 7pm"},
        {"time before day", Typed(late), 1, 19, 0, {"7pm", "tomorrow"}, "dinner", "dinner 7pm"},
        {"time before weekday", Typed("lunch 12:30 friday"), DaysToNext(5), 12, 30, {"12:30", "friday"}, "lunch",
         "lunch 12:30"},
        {"day inserted before the time", Then(Typed("dinner 7pm"), Inserted("dinner 7pm", 7, "tomorrow ")), 1, 19, 0,
         {"tomorrow", "7pm"}, "dinner", "dinner 7pm"},
        {"day deleted again", Then(Typed(late), Deleted(late, late.size(), 9)), 0, 19, 0, {"7pm"}, "dinner", "dinner"},
        {"time alone", Typed("dinner 7pm"), 0, 19, 0, {"7pm"}, "dinner", "dinner"},
        {"two days after a time", Typed("dinner 7pm tomorrow or friday"), 1, 19, 0, {"7pm", "tomorrow"},
         "dinner or friday", "dinner 7pm or friday"},
        {"time range before a day", Typed("meeting 9am to 11am tomorrow"), 1, 9, 0, {"9am to 11am", "tomorrow"},
         "meeting", "meeting 9am to 11am"},
        {"due date picked, its phrase deleted",
         Then(Then(Typed(bank), Deleted(bank, bank.size(), 10)), Typed(" 3pm", "call the bank")), 0, 15, 0, {"3pm"},
         "call the bank", "call the bank 3pm", pickDue, bank.size(), kPickedDays},
        {"due date picked, a second one typed, the first deleted",
         Then(Then(Typed(bank), Typed(" by monday 3pm", bank)), Deleted(bank + " by monday 3pm", bank.size(), 10)),
         0, 15, 0, {"3pm"}, "call the bank by monday", "call the bank by monday 3pm", pickDue, bank.size(),
         kPickedDays},
        {"days picked, another day typed, the first deleted",
         Then(Then(Typed(twice), Typed(" friday", twice)), Deleted(twice + " friday", 15, 9)), kPickedDays, 19, 0,
         {"7pm"}, "dinner friday", "dinner 7pm friday", pickDays, twice.size()},
        {"end typed, its range deleted", Then(Typed(range), Deleted(range, range.size(), 11)), 0, 13, 0, {"1pm"},
         "lunch meeting", "lunch meeting", typeEnd, range.size()},
        {"end typed, a second range typed, the first deleted",
         Then(Then(Typed(range), Typed(" 4pm to 6pm", range)), Deleted(range + " 4pm to 6pm", range.size(), 11)), 0,
         13, 0, {"1pm"}, "lunch meeting 4pm to 6pm", "lunch meeting 4pm to 6pm", typeEnd, range.size()},
        {"calendar switched off, its day deleted", Then(Typed(late), Deleted(late, late.size(), 1)), 0, 19, 0,
         {"7pm"}, "", "dinner tomorro", untickCal, late.size()},
        {"far day after a time", Typed("renew passport 9am 1/1/2035"), farDays, 9, 0, {"9am", "1/1/2035"},
         "renew passport", "renew passport 9am"},
        {"far day before a time", Typed("renew passport 1/1/2035 9am"), farDays, 9, 0, {"1/1/2035", "9am"},
         "renew passport", "renew passport 9am"},
        // Switched on again, the calendar takes the note as it stands.
        {"calendar switched off and on", Typed(late), 1, 19, 0, {"7pm", "tomorrow"}, "dinner", "dinner 7pm", clickCal,
         late.size(), -1, clickCal, late.size()},
        {"calendar switched off, the note edited, on again", Then(Typed(late), Typed(" with Ada", late)), 1, 19, 0,
         {"7pm", "tomorrow"}, "dinner with Ada", "dinner 7pm with Ada", clickCal, late.size(), -1, clickCal,
         edited.size()},
        {"calendar switched off and on, a letter of its day deleted", Then(Typed(late), Deleted(late, late.size(), 1)),
         0, 19, 0, {"7pm"}, "dinner tomorro", "dinner tomorro", clickCal, late.size(), -1, clickCal, late.size()},
        // The to-do refuses the day the calendar takes: it stays marked.
        {"due date picked, then a day and a time typed", Typed("lunch tomorrow 1pm"), 1, 13, 0, {"tomorrow", "1pm"},
         "lunch", "lunch tomorrow 1pm", pickDue, 0, kPickedDays},
    };
}

// Types the row key by key, the user's own moves in their places; after
// every keystroke every phrase the note marks, and every phrase any of its
// destinations holds (`held`, read from the destinations themselves), must
// be one its parse context still holds (a freed one rarely crashes under
// Wine).
template <class TypeFn, class HandFn, class HeldFn>
void TypeRow(const DayRow& row, CActionNote* note, TypeFn type, HandFn byHand, HeldFn held)
{
    auto check = [&](const std::string& after) {
        for (QuiPrsKeyphrase* kp : note->GetKeyphrases())
            EXPECT_TRUE(note->GetContext()->holdsKeyphrase(kp)) << "a freed phrase marked after \"" << after << '"';
        for (INT_PTR id : held())
            EXPECT_TRUE(note->GetContext()->holdsKeyphrase(reinterpret_cast<QuiPrsKeyphrase*>(id)))
                << "a freed phrase held after \"" << after << '"';
    };
    for (size_t n = 0; n <= row.texts.size(); n++) {
        if (row.hand != keysOnly && n == row.handAfter)
            byHand(row.hand);
        if (row.then != keysOnly && n == row.thenAfter)
            byHand(row.then);
        if (n == row.texts.size())
            break;
        type(row.texts[n]);
        check(row.texts[n]);
    }
    check("the last move");
}

// Whether the user switched the calendar off (and left it so).
inline bool CalendarOff(const DayRow& row)
{
    return row.hand == untickCal || (row.hand == clickCal && row.then != clickCal);
}

// Picks the day `days` ahead in the field's calendar, as the user clicks it.
inline void PickDay(CDateDrop& field, int days)
{
    field.DropDown();
    CQuillmateDateDrop* popup = field.GetPopup();
    ASSERT_NE(nullptr, popup);
    const COleDateTime now = COleDateTime::GetCurrentTime();
    NMSELCHANGE pick = {};
    pick.nmhdr.hwndFrom = popup->GetCalendar().GetSafeHwnd();
    pick.nmhdr.idFrom = CQuillmateDateDrop::IDC_CALENDAR;
    pick.nmhdr.code = MCN_SELECT;
    (COleDateTime(now.GetYear(), now.GetMonth(), now.GetDay(), 12, 0, 0) + COleDateTimeSpan(days, 0, 0, 0))
        .GetAsSystemTime(pick.stSelStart);
    pick.stSelEnd = pick.stSelStart;
    popup->SendMessage(WM_NOTIFY, CQuillmateDateDrop::IDC_CALENDAR, reinterpret_cast<LPARAM>(&pick));
}

// The end time in the field as the user's typing leaves it.
inline void TypeEnd(CTimeEdit& field, CDestProp* prop)
{
    field.SetTime(kHandEndHour / 24.0);
    prop->SetFlags(CDestProp::FLAG_USER_CHANGED);
}

// The date `days` after today and the time as the fields show them.
inline std::string DayText(int days)
{
    const COleDateTime now = COleDateTime::GetCurrentTime();
    CString text;
    FormatVariantDate(COleDateTime(now.GetYear(), now.GetMonth(), now.GetDay(), 0, 0, 0).m_dt + days, text);
    return text.GetString();
}

inline std::string ClockText(int hour, int minute)
{
    CString text;
    FormatVariantTime(COleDateTime(1899, 12, 30, hour, minute, 0).m_dt, text);
    return text.GetString();
}

// The texts of the phrases the note marks (of those its context holds).
inline std::set<std::string> MarkedPhrases(CActionNote* note)
{
    CString text;
    note->GetNoteText(text);
    const std::string whole = text.GetString();
    std::set<std::string> phrases;
    for (QuiPrsKeyphrase* kp : note->GetKeyphrases()) {
        if (!note->GetContext()->holdsKeyphrase(kp))
            continue;
        int first = 0, last = 0;
        kp->getOffsets(&first, &last);
        if (first >= 0 && last >= first && static_cast<size_t>(last) < whole.size())
            phrases.insert(whole.substr(first, last - first + 1));
    }
    return phrases;
}

} // namespace noteday_test
