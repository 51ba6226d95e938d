#include "QuiDateWords.h"

#include "Curlew.h"

#include <cctype>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Date slots of the grammar.
enum {
    kMonthSlot = 2,
    kWeekdaySlot = 4,
    kWhichSlot = 5,
    kDayOffsetSlot = 6,
    kHourSlot = 7,
    kMinuteSlot = 8,
    kMarkerSlot = 9,
    kUnitSlot = 11,
    kDirectionSlot = 13
};

// A plural unit is an offset only after a count ("2 weeks"): alone, or after
// a count the grammar cannot read ("two weeks"), it gives no date.
const int kPlural = CURLEW_UNIT_NEEDS_COUNT;

typedef std::vector<std::pair<int, int>> SlotList;

struct Word {
    const char* text;
    const char* symbol;
    SlotList slots;
};

const std::vector<Word>& EnglishWords()
{
    static const std::vector<Word> words = {
        {"today", "nearby-day", {{kDayOffsetSlot, 0}}},
        {"tomorrow", "nearby-day", {{kDayOffsetSlot, 1}}},
        {"yesterday", "nearby-day", {{kDayOffsetSlot, -1}}},
        {"next", "which-date", {{kWhichSlot, 1}}},
        {"last", "which-date", {{kWhichSlot, -1}}},
        {"this", "which-date", {{kWhichSlot, 0}}},
        {"noon", "time-word", {{kHourSlot, 12}, {kMinuteSlot, 0}, {kMarkerSlot, 1}}},
        {"midnight", "time-word", {{kHourSlot, 12}, {kMinuteSlot, 0}, {kMarkerSlot, 0}}},
        {"first", "ord-num", {{PRS_SLOT_NUMBER, 1}}},
        {"second", "ord-num", {{PRS_SLOT_NUMBER, 2}}},
        {"third", "ord-num", {{PRS_SLOT_NUMBER, 3}}},
        {"fourth", "ord-num", {{PRS_SLOT_NUMBER, 4}}},
        {"fifth", "ord-num", {{PRS_SLOT_NUMBER, 5}}},
        {"last", "ord-num", {{PRS_SLOT_NUMBER, 0}}},
        {"day", "date-unit", {{kUnitSlot, 1}}},
        {"days", "date-unit", {{kUnitSlot, 1 | kPlural}}},
        {"week", "date-unit", {{kUnitSlot, 2}}},
        {"weeks", "date-unit", {{kUnitSlot, 2 | kPlural}}},
        {"month", "date-unit", {{kUnitSlot, 3}}},
        {"months", "date-unit", {{kUnitSlot, 3 | kPlural}}},
        {"year", "date-unit", {{kUnitSlot, 4}}},
        {"years", "date-unit", {{kUnitSlot, 4 | kPlural}}},
        {"after", "date-offset-sep", {{kDirectionSlot, 1}}},
        {"before", "date-offset-sep", {{kDirectionSlot, -1}}},
        {"from", "date-offset-sep", {{kDirectionSlot, 1}}},
        {"after", "day-offset-sep", {{kDirectionSlot, 1}}},
        {"before", "day-offset-sep", {{kDirectionSlot, -1}}},
        {"o'clock", "time-hour-suffix", {}},
        {"at", "time-prefix", {}},
        {"on", "date-prefix", {}},
        {"in", "date-prefix", {}},
        {"by", "due-prefix", {}},
        {"due", "due-prefix", {}},
        {"the", "day-prefix", {}},
        {"from", "range-prefix", {}},
        {"between", "range-prefix", {}},
        {"to", "range-sep", {}},
        {"through", "range-sep", {}},
        {"until", "range-sep", {}},
        {"and", "range-sep", {}},
        {"-", "range-sep", {}},
        {"of", "ord-sep", {}},
        {".", "abbrev-punct", {}},
    };
    return words;
}

#ifdef _WIN32
enum { kDayName1 = LOCALE_SDAYNAME1, kDayAbbrev1 = LOCALE_SABBREVDAYNAME1, kMonthName1 = LOCALE_SMONTHNAME1,
       kMonthAbbrev1 = LOCALE_SABBREVMONTHNAME1, kAm = LOCALE_S1159, kPm = LOCALE_S2359 };

std::string LocaleText(int item)
{
    char buffer[256];
    int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, static_cast<LCTYPE>(item), buffer, sizeof buffer);
    return n > 0 ? std::string(buffer) : std::string();
}
#else
// The host has no locale service: the names of the en-US locale.
enum { kDayName1 = 100, kDayAbbrev1 = 200, kMonthName1 = 300, kMonthAbbrev1 = 400, kAm = 500, kPm = 501 };

std::string LocaleText(int item)
{
    static const char* const days[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday",
                                       "Sunday"};
    static const char* const months[] = {"January", "February", "March", "April", "May", "June", "July",
                                         "August", "September", "October", "November", "December"};
    if (item >= kDayName1 && item < kDayName1 + 7)
        return days[item - kDayName1];
    if (item >= kDayAbbrev1 && item < kDayAbbrev1 + 7)
        return std::string(days[item - kDayAbbrev1], 3);
    if (item >= kMonthName1 && item < kMonthName1 + 12)
        return months[item - kMonthName1];
    if (item >= kMonthAbbrev1 && item < kMonthAbbrev1 + 12)
        return std::string(months[item - kMonthAbbrev1], 3);
    return item == kAm ? "AM" : item == kPm ? "PM" : "";
}
#endif

void Add(PrsParser* parser, const PRSWCHAR* text, const char* symbol, const SlotList& slotList)
{
    if (!text || !*text)
        return;
    std::basic_string<PRSWCHAR> wideSymbol(symbol, symbol + std::char_traits<char>::length(symbol));
    Slots* slots = SlotsInit();
    for (const auto& slot : slotList)
        SlotsSetInt(slots, slot.first, slot.second);
    PrsAddLexiconPhrase(parser, text, wideSymbol.c_str(), slots);
    SlotsDeinit(slots);
}

bool SameText(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// A name and its abbreviation; an abbreviation that is the name itself
// ("May") is left out, or the text would read as the same date twice.
void AddNamed(PrsParser* parser, int nameItem, int abbrevItem, const char* nameSymbol, const char* abbrevSymbol,
              const SlotList& slots)
{
    std::string name = LocaleText(nameItem);
    std::string abbrev = LocaleText(abbrevItem);
    if (!name.empty())
        Add(parser, PrsWiden(name.c_str()), nameSymbol, slots);
    if (!abbrev.empty() && !SameText(name, abbrev))
        Add(parser, PrsWiden(abbrev.c_str()), abbrevSymbol, slots);
}

} // namespace

void AddDateWords(PrsParser* parser)
{
    // The locale counts days from Monday, the grammar from Sunday.
    for (int i = 0; i < 7; ++i)
        AddNamed(parser, kDayName1 + i, kDayAbbrev1 + i, "day-name", "day-abbrev", {{kWeekdaySlot, (i + 1) % 7}});
    for (int i = 0; i < 12; ++i)
        AddNamed(parser, kMonthName1 + i, kMonthAbbrev1 + i, "month-name", "month-abbrev", {{kMonthSlot, i + 1}});
    for (int marker = 0; marker < 2; ++marker) {
        std::string text = LocaleText(marker ? kPm : kAm);
        if (!text.empty())
            Add(parser, PrsWiden(text.c_str()), "time-marker", {{kMarkerSlot, marker}});
    }
    for (const Word& word : EnglishWords()) {
        std::basic_string<PRSWCHAR> text(word.text, word.text + std::char_traits<char>::length(word.text));
        Add(parser, text.c_str(), word.symbol, word.slots);
    }
}
