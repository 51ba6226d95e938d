#include "TestGrammar.h"

#include "DateSource.h"

#include <cstdio>

namespace grammar {

Action Transfer(int source, int destination) { return {2, source, destination, 0, 0}; }
Action Constrain(int slot, int low, int high) { return {3, slot, slot, low, high}; }
Action MatchDate(int slot) { return {5, slot, slot, 0, 0}; }
Action Concat(int source, int destination) { return {4, source, destination, 0, 0}; }
Action Match(int source, int destination) { return {1, source, destination, 0, 0}; }

PrsPackage* DatePackage()
{
    static int token;
    return reinterpret_cast<PrsPackage*>(&token);
}

PrsRule* AddRule(PrsParser* parser, PrsPackage* package, const char* symbol, bool topLevel,
                 unsigned strength, const std::vector<Element>& elements)
{
    PrsRule* rule = PrsCreateRule(parser, package, W(symbol).c_str(), topLevel ? 1 : 0);
    for (const Element& e : elements) {
        int at = PrsRuleAddEntry(parser, rule, W(e.symbol).c_str());
        for (const Action& a : e.actions) {
            switch (a.kind) {
            case 1: PrsRuleEntryMatchSlot(rule, at, a.source, a.destination); break;
            case 2: PrsRuleEntryTransferSlot(rule, at, a.source, a.destination); break;
            case 3: PrsRuleEntryConstrainIntSlot(rule, at, a.source, a.low, a.high); break;
            case 4: PrsRuleEntryConcatSlot(rule, at, a.source, a.destination); break;
            default: PrsRuleEntryMatchDate(rule, at, a.source); break;
            }
        }
        if (e.nearness)
            PrsRuleEntrySetNearness(rule, at, e.nearness);
    }
    PrsRuleSetStrength(rule, strength);
    if (PrsIsRuleDuplicate(parser, rule)) {
        PrsRuleDestroy(rule);
        return nullptr;
    }
    PrsAddRule(parser, rule);
    return rule;
}

namespace {

const int kNumber = PRS_SLOT_NUMBER;

void Word(PrsParser* p, const char* text, const char* symbol, std::initializer_list<std::pair<int, int>> slots)
{
    Slots* s = SlotsInit();
    for (auto v : slots)
        SlotsSetInt(s, v.first, v.second);
    PrsAddLexiconPhrase(p, W(text).c_str(), W(symbol).c_str(), s);
    SlotsDeinit(s);
}

void Words(PrsParser* p)
{
    const char* days[] = {"sunday", "monday", "tuesday", "wednesday", "thursday", "friday", "saturday"};
    const char* dayAbbrevs[][2] = {{"sun", "0"}, {"mon", "1"}, {"tue", "2"}, {"tues", "2"}, {"wed", "3"},
                                   {"thu", "4"}, {"thur", "4"}, {"thurs", "4"}, {"fri", "5"}, {"sat", "6"}};
    const char* months[] = {"january", "february", "march", "april", "may", "june", "july",
                            "august", "september", "october", "november", "december"};
    for (int i = 0; i < 7; ++i)
        Word(p, days[i], "day-name", {{4, i}});
    for (auto& a : dayAbbrevs)
        Word(p, a[0], "day-abbrev", {{4, a[1][0] - '0'}});
    for (int i = 0; i < 12; ++i) {
        Word(p, months[i], "month-name", {{2, i + 1}});
        std::string abbrev(months[i], 3);
        Word(p, abbrev.c_str(), "month-abbrev", {{2, i + 1}});
    }
    Word(p, "sept", "month-abbrev", {{2, 9}});
    Word(p, "next", "which-date", {{5, 1}});
    Word(p, "last", "which-date", {{5, -1}});
    Word(p, "this", "which-date", {{5, 0}});
    Word(p, "today", "nearby-day", {{6, 0}});
    Word(p, "tomorrow", "nearby-day", {{6, 1}});
    Word(p, "yesterday", "nearby-day", {{6, -1}});
    Word(p, "am", "time-marker", {{9, 0}});
    Word(p, "a.m.", "time-marker", {{9, 0}});
    Word(p, "pm", "time-marker", {{9, 1}});
    Word(p, "p.m.", "time-marker", {{9, 1}});
    Word(p, "noon", "time-word", {{7, 12}, {8, 0}});
    Word(p, "midnight", "time-word", {{7, 0}, {8, 0}});
    const char* ordinals[] = {"last", "first", "second", "third", "fourth", "fifth"};
    for (int i = 0; i < 6; ++i)
        Word(p, ordinals[i], "ord-num", {{kNumber, i}});
    const char* units[][2] = {{"day", "1"}, {"days", "1"}, {"week", "2"}, {"weeks", "2"},
                              {"month", "3"}, {"months", "3"}, {"year", "4"}, {"years", "4"}};
    for (auto& u : units)
        Word(p, u[0], "date-unit", {{11, u[1][0] - '0'}});
    Word(p, "from", "date-offset-sep", {{13, 1}});
    Word(p, "after", "date-offset-sep", {{13, 1}});
    Word(p, "before", "date-offset-sep", {{13, -1}});
    Word(p, "after", "day-offset-sep", {{13, 1}});
    Word(p, "before", "day-offset-sep", {{13, -1}});
    Word(p, "o'clock", "time-hour-suffix", {});
    Word(p, "at", "time-prefix", {});
    Word(p, "on", "date-prefix", {});
    Word(p, "by", "due-prefix", {});
    Word(p, "due", "due-prefix", {});
    Word(p, "the", "day-prefix", {});
    Word(p, "from", "range-prefix", {});
    Word(p, "between", "range-prefix", {});
    for (const char* sep : {"to", "-", "until", "and", "through"})
        Word(p, sep, "range-sep", {});
    Word(p, "of", "ord-sep", {});
    Word(p, "in", "ord-sep", {});
    Word(p, ".", "abbrev-punct", {});
}

Element Num(int low, int high, int slot) { return {"numeral", {Constrain(kNumber, low, high), Transfer(kNumber, slot)}}; }
Element Minute() { return {"numeral", {Constrain(kNumber, 0, 59), Constrain(PRS_SLOT_DIGITS, 2, 2), Transfer(kNumber, 8)}}; }
Element Year() { return {"year", {Transfer(1, 1)}}; }
Element Sym(const char* symbol) { return {symbol, {}}; }
Element DayName() { return {"day-name", {Transfer(4, 4)}}; }
Element MonthName() { return {"month-name", {Transfer(2, 2)}}; }
Element All(const char* symbol, int shift = 0) { return {symbol, {Transfer(-1, shift)}}; }

// What the package compiles from the pictures of a United States locale:
// M/d/yyyy, M/d/yy, MM/dd/yy, MM/dd/yyyy, yy/MM/dd, yyyy-MM-dd, dd-MMM-yy;
// dddd, MMMM d, yyyy; MMMM d, yyyy; dddd, d MMMM, yyyy; d MMMM, yyyy;
// h:mm:ss tt, hh:mm:ss tt, H:mm:ss, HH:mm:ss.
void CompiledPictures(PrsParser* p)
{
    PrsPackage* pkg = DatePackage();
    for (const char* sep : {"/", "-"})
        Word(p, sep, "date-sep", {});
    Word(p, ":", "time-sep", {});
    Word(p, ",", ",", {});
    Word(p, ":", ":", {});
    const Element ds = Sym("date-sep");
    // Month first (the locale's order): strength 29; others 13.
    for (int copy = 0; copy < 4; ++copy) {
        AddRule(p, pkg, "date", true, 29, {Num(1, 12, 2), ds, Num(1, 31, 3), ds, Year()});
        AddRule(p, pkg, "date", true, 29, {Num(1, 12, 2), ds, Num(1, 31, 3)});
    }
    for (int copy = 0; copy < 2; ++copy) {
        AddRule(p, pkg, "date", true, 13, {Year(), ds, Num(1, 12, 2), ds, Num(1, 31, 3)});
        AddRule(p, pkg, "date", true, 13, {Num(1, 12, 2), ds, Num(1, 31, 3)});
    }
    AddRule(p, pkg, "date", true, 13, {Num(1, 31, 3), ds, MonthName(), ds, Year()});
    AddRule(p, pkg, "date", true, 13, {Num(1, 31, 3), ds, MonthName()});

    const Element comma = Sym(",");
    AddRule(p, pkg, "date", true, 29, {DayName(), comma, MonthName(), Num(1, 31, 3), comma, Year()});
    AddRule(p, pkg, "date", true, 29, {DayName(), comma, MonthName(), Num(1, 31, 3), Year()});
    AddRule(p, pkg, "date", true, 29, {DayName(), comma, MonthName(), Num(1, 31, 3)});
    AddRule(p, pkg, "date", true, 29, {MonthName(), Num(1, 31, 3), comma, Year()});
    AddRule(p, pkg, "date", true, 29, {MonthName(), Num(1, 31, 3), Year()});
    AddRule(p, pkg, "date", true, 29, {MonthName(), Num(1, 31, 3)});
    AddRule(p, pkg, "date", true, 13, {DayName(), comma, Num(1, 31, 3), MonthName(), comma, Year()});
    AddRule(p, pkg, "date", true, 13, {DayName(), comma, Num(1, 31, 3), MonthName(), Year()});
    AddRule(p, pkg, "date", true, 13, {DayName(), comma, Num(1, 31, 3), MonthName()});
    AddRule(p, pkg, "date", true, 13, {Num(1, 31, 3), MonthName(), comma, Year()});
    AddRule(p, pkg, "date", true, 13, {Num(1, 31, 3), MonthName(), Year()});
    AddRule(p, pkg, "date", true, 13, {Num(1, 31, 3), MonthName()});

    const Element colon = Sym(":");
    for (int copy = 0; copy < 2; ++copy) {
        AddRule(p, pkg, "time", true, 93, {Num(1, 12, 7), colon, Minute(), {"time-marker", {Transfer(9, 9)}}});
        AddRule(p, pkg, "time", true, 93, {Num(0, 23, 7), colon, Minute()});
    }
}

void HandRules(PrsParser* p)
{
    PrsPackage* pkg = DatePackage();
    const Element dayToAfter = {"day-name", {Transfer(4, 14)}};
    AddRule(p, pkg, "year", false, 29, {{"numeral", {Constrain(kNumber, 0, 99), Transfer(kNumber, 1)}}});
    AddRule(p, pkg, "year", false, 29, {{"numeral", {Constrain(kNumber, 1900, 2099), Transfer(kNumber, 1)}}});
    AddRule(p, pkg, "date", true, 29, {DayName()});
    AddRule(p, pkg, "date", true, 29, {{"which-date", {Transfer(5, 5)}}, DayName()});
    AddRule(p, pkg, "date", true, 29, {DayName(), {"which-date", {Transfer(5, 5)}}});
    AddRule(p, pkg, "date", true, 29, {{"nearby-day", {Transfer(6, 6)}}});
    AddRule(p, pkg, "time", true, 93, {Num(1, 12, 7), {"time-marker", {Transfer(9, 9)}}});
    AddRule(p, pkg, "date-range", true, 29, {All("date"), Sym("range-sep"), All("date", 32)});
    AddRule(p, pkg, "date-range", true, 29, {Sym("range-prefix"), All("date"), Sym("range-sep"), All("date", 32)});
    AddRule(p, pkg, "time-range", true, 93, {All("time"), Sym("range-sep"), All("time", 32)});
    AddRule(p, pkg, "time-range", true, 93, {Sym("range-prefix"), All("time"), Sym("range-sep"), All("time", 32)});
    AddRule(p, pkg, "time", true, 93, {All("time-word")});
    AddRule(p, pkg, "time", true, 93, {{"numeral", {Transfer(kNumber, 7)}}, Sym("time-hour-suffix")});
    AddRule(p, pkg, "time", true, 93, {Sym("time-prefix"), All("time")});
    AddRule(p, pkg, "date", true, 29, {Sym("date-prefix"), All("date")});
    AddRule(p, pkg, "due-date", true, 29, {Sym("due-prefix"), All("date")});
    AddRule(p, pkg, "day-name", false, 29, {{"day-abbrev", {Transfer(4, 4)}}});
    AddRule(p, pkg, "day-name", false, 29, {{"day-abbrev", {Transfer(4, 4)}}, Sym("abbrev-punct")});
    AddRule(p, pkg, "month-name", false, 29, {{"month-abbrev", {Transfer(2, 2)}}});
    AddRule(p, pkg, "month-name", false, 29, {{"month-abbrev", {Transfer(2, 2)}}, Sym("abbrev-punct")});
    AddRule(p, pkg, "date", true, 29, {{"ord-num", {Transfer(kNumber, 10), Constrain(kNumber, 0, 5)}}, DayName(),
                                       Sym("ord-sep"), MonthName()});
    AddRule(p, pkg, "date", true, 29, {{"date-unit", {Transfer(11, 11)}}, {"date-offset-sep", {Transfer(13, 13)}}, All("date")});
    AddRule(p, pkg, "date", true, 29, {{"numeral", {Transfer(kNumber, 12)}}, {"date-unit", {Transfer(11, 11)}},
                                       {"date-offset-sep", {Transfer(13, 13)}}, All("date")});
    AddRule(p, pkg, "date", true, 29, {dayToAfter, {"day-offset-sep", {Transfer(13, 13)}}, All("date")});
    AddRule(p, pkg, "date", true, 29, {Sym("day-prefix"), dayToAfter, {"day-offset-sep", {Transfer(13, 13)}}, All("date")});
    AddRule(p, pkg, "date", true, 29, {DayName(), {"date", {Transfer(-1, 0), MatchDate(4)}}});
}

} // namespace

void BuildDateGrammar(PrsParser* parser)
{
    Words(parser);
    CompiledPictures(parser);
    HandRules(parser);
}

//--- dates

namespace fake_dates {

namespace {

const int kNowSeconds = kToday * 86400 + 9 * 3600;
int g_calls = 0;

int DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int DaysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : days[m - 1];
}

void PRSAPI Convert(Slots* slots, int base, int32_t* time, int* kind)
{
    ++g_calls;
    auto has = [&](int n) { return SlotsHasSlot(slots, base + n) != 0; };
    auto get = [&](int n) { return SlotsGetInt(slots, base + n); };
    if (has(7)) {
        int h = get(7), m = get(8);
        if (has(9) && h == 12)
            h = get(9) ? 12 : 0;
        else if (has(9) && get(9))
            h += 12;
        *kind = 7;
        *time = (h < 0 || h >= 24 || m < 0 || m >= 60) ? -1 : kToday * 86400 + h * 3600 + m * 60;
    } else if (has(2)) {
        int month = get(2);
        int year = has(1) ? get(1) : (month < 6 ? 2025 : 2024);
        if (year < 100)
            year += year < 70 ? 2000 : 1900;
        int day = get(3);
        *kind = 6;
        // Only years whose seconds fit the engine's signed 32-bit times.
        bool valid = year >= 1902 && year <= 2037 && month >= 1 && month <= 12 && day >= 1 &&
                     day <= DaysInMonth(year, month);
        *time = valid ? DaysFromCivil(year, month, day) * 86400 : -1;
    } else if (has(4)) {
        int today = Weekday(kNowSeconds), want = get(4);
        int d = (want - today + 7) % 7;
        if (d == 0)
            d = 7;
        int which = get(5);
        if (which == -1)
            d = today == want ? -7 : d - 7;
        else if (which == 1 && today < want)
            d += 7;
        *kind = 6;
        *time = kNowSeconds + d * 86400;
    } else if (has(6)) {
        *kind = 6;
        *time = kNowSeconds + get(6) * 86400;
    }
}

} // namespace

int Weekday(int time)
{
    int days = time >= 0 ? time / 86400 : -((-time + 86399) / 86400);
    return ((days % 7) + 7 + 4) % 7;
}

void Install()
{
    g_calls = 0;
    osprey::SetDateSource({&Convert, &Weekday});
}

void Remove()
{
    osprey::SetDateSource({});
}

int Calls()
{
    return g_calls;
}

} // namespace fake_dates

//--- notes

const char* const kNote200 =
    "Call Dr. Smith about the budget review next Tuesday at 3:30 pm, then book the flight to "
    "New York for June 14, 2024 and remind Anna to send the contract by Friday; lunch with Bo "
    "Jones tomorrow at noon.";

std::string Note1024()
{
    const char* parts[] = {
        "Meeting with the design team on Monday, June 17, 2024 from 9 am to 11 am in room 4. ",
        "Remind Carol to renew the lease before 7/31/2024 and pay the deposit by Friday. ",
        "Dentist next Thursday at 2:15 pm; pick up the kids at 5 pm. ",
        "Order 12 boxes of paper, 3 toner cartridges and 250 envelopes for the office. ",
        "Quarterly review the first Monday of July, then the board call two weeks from today. ",
        "Flight to Boston leaves 8/2/24 at 6:45 am, returns Sunday. ",
    };
    std::string note;
    for (size_t i = 0; note.size() < 1024; ++i)
        note += parts[i % 6];
    note.resize(1024);
    return note;
}

//--- events

EventLog::EventLog(PrsParser* parser)
{
    PrsSetCallback(parser, &EventLog::Callback, this);
}

void PRSAPI EventLog::Callback(int event, PrsContext*, PrsKeyphrase* keyphrase, int oldFirst, int oldLast,
                               void* userData)
{
    EventLog* log = static_cast<EventLog*>(userData);
    std::string line = std::to_string(event) + " " + Describe(keyphrase);
    if (event == PRS_EVENT_MOVED)
        line += " was " + std::to_string(oldFirst) + "-" + std::to_string(oldLast);
    log->m_lines.push_back(line);
    log->m_handles.push_back(keyphrase);
    log->m_raw.push_back({event, keyphrase, oldFirst, oldLast});
}

std::vector<std::string> EventLog::Take()
{
    std::vector<std::string> out;
    out.swap(m_lines);
    m_handles.clear();
    m_raw.clear();
    return out;
}

std::string Describe(PrsKeyphrase* keyphrase)
{
    int first = -9, last = -9;
    PrsKeyphraseGetOffsets(keyphrase, &first, &last);
    return Narrow(PrsKeyphraseGetSymbolName(keyphrase)) + " " + std::to_string(first) + "-" +
           std::to_string(last);
}

} // namespace grammar
