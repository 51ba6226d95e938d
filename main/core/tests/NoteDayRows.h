// How people write a timed note: the day before or after the time, the day
// inserted before a time typed first, the day deleted again, or no day at
// all. Every edition's to-do and calendar take the same day and time from
// each, typed key by key as a person types.
#pragma once
#include <afxquill.h>

#include <list>
#include <set>
#include <string>
#include <vector>

#include "ActionNote.h"
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

struct DayRow {
    const char* order;
    std::vector<std::string> texts;  // the note after each keystroke
    int days;                        // the date: days after today
    int hour;                        // the start time
    int minute;
    std::set<std::string> marked;  // the phrases the note marks
    std::string body;              // the calendar's text, without its day and time
    std::string toDoBody;          // the to-do's text, without its due date
};

inline std::vector<DayRow> DayRows()
{
    const std::string late = "dinner 7pm tomorrow";
    return {
        {"day before time", Typed("dinner tomorrow 7pm"), 1, 19, 0, {"tomorrow", "7pm"}, "dinner", "dinner 7pm"},
        {"time before day", Typed(late), 1, 19, 0, {"7pm", "tomorrow"}, "dinner", "dinner 7pm"},
        {"time before weekday", Typed("lunch 12:30 friday"), DaysToNext(5), 12, 30, {"12:30", "friday"}, "lunch",
         "lunch 12:30"},
        {"day inserted before the time", Then(Typed("dinner 7pm"), Inserted("dinner 7pm", 7, "tomorrow ")), 1, 19, 0,
         {"tomorrow", "7pm"}, "dinner", "dinner 7pm"},
        {"day deleted again", Then(Typed(late), Deleted(late, late.size(), 9)), 0, 19, 0, {"7pm"}, "dinner", "dinner"},
        {"time alone", Typed("dinner 7pm"), 0, 19, 0, {"7pm"}, "dinner", "dinner"},
    };
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

// The texts of the phrases the note marks.
inline std::set<std::string> MarkedPhrases(CActionNote* note)
{
    CString text;
    note->GetNoteText(text);
    const std::string whole = text.GetString();
    std::set<std::string> phrases;
    for (QuiPrsKeyphrase* kp : note->GetKeyphrases()) {
        int first = 0, last = 0;
        kp->getOffsets(&first, &last);
        if (first >= 0 && last >= first && static_cast<size_t>(last) < whole.size())
            phrases.insert(whole.substr(first, last - first + 1));
    }
    return phrases;
}

} // namespace noteday_test
