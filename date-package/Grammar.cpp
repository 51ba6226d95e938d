#include "Grammar.h"

#include "Curlew.h"
#include "Picture.h"
#include "Settings.h"

#include <cstdint>
#include <cstdlib>

namespace curlew {

namespace {

const unsigned kOtherOrderStrength = 13;
const unsigned kTimeStrength = 93;

enum Order { kUnset = -1, kMonthFirst = 0, kDayFirst = 1, kYearFirst = 2 };

std::string Cut(const std::string& s, size_t limit)
{
    return s.size() > limit ? s.substr(0, limit) : s;
}

// The white space that the engine's tokenizer skips (Unicode White_Space in
// the Basic Multilingual Plane, and the ASCII separators 28 to 31).
bool IsWhiteSpace(PRSWCHAR c)
{
    const unsigned u = static_cast<uint16_t>(c);
    return (u >= 0x09 && u <= 0x0D) || (u >= 0x1C && u <= 0x20) || u == 0x85 || u == 0xA0 || u == 0x1680 ||
           (u >= 0x2000 && u <= 0x200A) || u == 0x2028 || u == 0x2029 || u == 0x202F || u == 0x205F ||
           u == 0x3000;
}

// A text of white space alone (a locale may separate "d M yyyy" by blanks)
// gives no token: an entry for it could never be met, so there is nothing
// to add.
bool HoldsToken(const WText& text)
{
    for (PRSWCHAR c : text) {
        if (!IsWhiteSpace(c))
            return true;
    }
    return false;
}

// One rule made from a picture: its entries as they are added, and a text of
// them that tells real repeats from rules that only look alike to the engine.
class PictureRule : public PictureSink {
public:
    PictureRule(PackageState& state, const char* symbol, bool shortMode, int* order)
        : m_state(state), m_symbol(symbol), m_short(shortMode), m_order(order)
    {
        m_rule = PrsCreateRule(state.parser, state.package, Name(symbol).c_str(), 1);
        m_failed = !m_rule;
        m_signature = symbol;
    }

    void OnElement(Element element, const std::string& separator, const std::string& literal) override
    {
        if (m_failed)
            return;
        if (!separator.empty())
            AddSeparator(separator);
        switch (element) {
        case Element::Literal: AddLiteral(literal); break;
        case Element::Year: Entry("year"); Transfer(1, 1); Mark(kYearFirst); break;
        case Element::MonthNumber: Numeral(1, 12, 2); Mark(kMonthFirst); break;
        case Element::MonthName: Entry("month-name"); Transfer(2, 2); Mark(kMonthFirst); break;
        case Element::DayNumber: Numeral(1, 31, 3); Mark(kDayFirst); break;
        case Element::WeekdayName: Entry("day-name"); Transfer(4, 4); break;
        case Element::Hour24: Numeral(0, 23, 7); break;
        case Element::Hour12: Numeral(1, 12, 7); break;
        case Element::Minute:
            Entry("numeral");
            Constrain(PRS_SLOT_NUMBER, 0, 59);
            Constrain(PRS_SLOT_DIGITS, 2, 2);
            Transfer(PRS_SLOT_NUMBER, 8);
            break;
        case Element::Marker: Entry("time-marker"); Transfer(9, 9); break;
        }
    }

    // Adds the rule, or destroys it when it repeats one already added.
    bool Finish()
    {
        if (m_failed) {
            PrsRuleDestroy(m_rule);
            return false;
        }
        if (m_entries == 0 || (PrsIsRuleDuplicate(m_state.parser, m_rule) && m_state.compiled.count(m_signature))) {
            PrsRuleDestroy(m_rule);
            return true;
        }
        if (m_symbol == std::string("time"))
            PrsRuleSetStrength(m_rule, kTimeStrength);
        else if (*m_order != m_state.order)
            PrsRuleSetStrength(m_rule, kOtherOrderStrength);
        m_state.compiled.insert(m_signature);
        return PrsAddRule(m_state.parser, m_rule) != 0;
    }

private:
    void AddSeparator(const std::string& separator)
    {
        if (!HoldsToken(LocaleText(separator, kMaxSeparator)))
            return;
        if (m_short) {
            bool common = separator.size() == 1 && std::string("/-.").find(separator[0]) != std::string::npos;
            if (separator == m_state.dateSeparator || common) {
                WText text = LocaleText(separator, kMaxSeparator);
                if (!text.empty())
                    PrsAddLexiconEntry(m_state.parser, text.c_str(), Name("date-sep").c_str(), nullptr);
                Entry("date-sep");
                return;
            }
            if (separator == m_state.timeSeparator) {
                Entry("time-sep");
                return;
            }
        }
        WText text = LocaleText(separator, kMaxSeparator);
        if (text.empty())
            return;
        if (!PrsIsSymbolDefined(m_state.parser, text.c_str()))
            PrsAddLexiconPhrase(m_state.parser, text.c_str(), text.c_str(), nullptr);
        EntryOf(text, "sep:" + separator);
    }

    void AddLiteral(const std::string& literal)
    {
        WText text = LocaleText(literal, kMaxLiteral);
        if (!HoldsToken(text))
            return;
        WText symbol = Name("~") + text;
        if (!PrsIsSymbolDefined(m_state.parser, symbol.c_str()))
            PrsAddLexiconPhrase(m_state.parser, text.c_str(), symbol.c_str(), nullptr);
        EntryOf(symbol, "lit:" + literal);
    }

    void Numeral(int low, int high, int slot)
    {
        Entry("numeral");
        Constrain(PRS_SLOT_NUMBER, low, high);
        Transfer(PRS_SLOT_NUMBER, slot);
    }

    void Entry(const char* symbol) { EntryOf(Name(symbol), symbol); }

    void EntryOf(const WText& symbol, const std::string& what)
    {
        if (m_failed)
            return;
        m_entry = PrsRuleAddEntry(m_state.parser, m_rule, symbol.c_str());
        m_failed = m_entry < 0;
        ++m_entries;
        m_signature += " " + what;
    }

    void Transfer(int from, int to)
    {
        PrsRuleEntryTransferSlot(m_rule, m_entry, from, to);
        m_signature += " " + std::to_string(from) + ">" + std::to_string(to);
    }

    void Constrain(int slot, int low, int high)
    {
        PrsRuleEntryConstrainIntSlot(m_rule, m_entry, slot, low, high);
        m_signature += " " + std::to_string(slot) + "[" + std::to_string(low) + "," + std::to_string(high) + "]";
    }

    void Mark(int order)
    {
        if (*m_order == kUnset)
            *m_order = order;
    }

    PackageState& m_state;
    const char* m_symbol;
    bool m_short;
    int* m_order;
    PrsRule* m_rule;
    int m_entry = -1;
    int m_entries = 0;
    bool m_failed;
    std::string m_signature;
};

class SeparatorSurvey : public PictureSink {
public:
    explicit SeparatorSurvey(PackageState& state) : m_state(state) {}
    bool timePictures = false;

    void OnElement(Element, const std::string& separator, const std::string&) override
    {
        if (separator.empty())
            return;
        auto& survey = m_state.survey;
        bool known = false;
        for (const std::string& s : survey)
            known = known || s == separator;
        if (timePictures) {
            m_state.ambiguousSeparators = m_state.ambiguousSeparators || known;
            return;
        }
        // A locale may offer more than the table holds; the rest go unsurveyed.
        if (!known && survey.size() < kMaxSurveyed && separator.size() <= kMaxSurveyedLength)
            survey.push_back(separator);
    }

private:
    PackageState& m_state;
};

bool CompilePicture(PackageState& state, const std::string& picture, const char* symbol, bool shortMode,
                    const LocaleFormats& formats)
{
    if (state.ambiguousSeparators && picture != formats.shortDate && picture != formats.timeFormat)
        return true;
    int order = kUnset;
    bool ok = true;
    PictureRule full(state, symbol, shortMode, &order);
    PictureScan scan = ScanPicture(picture, true, false, full);
    ok = full.Finish() && ok;
    if (!scan.hadYear)
        return ok;
    if (!shortMode && scan.separatorBeforeYear) {
        PictureRule dropped(state, symbol, shortMode, &order);
        ScanPicture(picture, true, true, dropped);
        ok = dropped.Finish() && ok;
    }
    PictureRule yearless(state, symbol, shortMode, &order);
    ScanPicture(picture, false, false, yearless);
    return yearless.Finish() && ok;
}

bool AddSeparatorPhrase(PackageState& state, const std::string& text, const char* symbol)
{
    if (text.empty())
        return true;
    WText wide = LocaleText(text, 255);
    return !HoldsToken(wide) || PrsAddLexiconPhrase(state.parser, wide.c_str(), Name(symbol).c_str(), nullptr);
}

} // namespace

PackageState& State()
{
    static PackageState state;
    return state;
}

WText Name(const std::string& ascii)
{
    return WText(ascii.begin(), ascii.end());
}

WText LocaleText(const std::string& text, size_t limit)
{
    std::string cut = Cut(text, limit);
    while (!cut.empty()) {
        if (const PRSWCHAR* wide = PrsWiden(cut.c_str()))
            return WText(wide);
        cut.pop_back();         // cut inside a multibyte character
    }
    return WText();
}

bool BuildGrammar(PrsParser* parser, PrsPackage* package, const LocaleFormats& formats)
{
    PackageState& state = State();
    state = PackageState();
    state.parser = parser;
    state.package = package;
    bool ok = AddSeparatorPhrase(state, formats.dateSeparator, "date-sep");
    ok = AddSeparatorPhrase(state, formats.timeSeparator, "time-sep") && ok;

    state.order = std::atoi(formats.order.c_str());
    state.use24Hour = formats.clock == "1";
    state.dateSeparator = Cut(formats.dateSeparator, kMaxLocaleSeparator);
    state.timeSeparator = Cut(formats.timeSeparator, kMaxLocaleSeparator);
    PackageSettings().use24Hour = state.use24Hour;

    SeparatorSurvey survey(state);
    for (const std::string& picture : formats.shortDates)
        ScanPicture(picture, true, false, survey);
    survey.timePictures = true;
    for (const std::string& picture : formats.times)
        ScanPicture(picture, true, false, survey);

    for (const std::string& picture : formats.shortDates)
        ok = CompilePicture(state, picture, "date", true, formats) && ok;
    for (const std::string& picture : formats.longDates)
        ok = CompilePicture(state, picture, "date", false, formats) && ok;
    for (const std::string& picture : formats.times)
        ok = CompilePicture(state, picture, "time", false, formats) && ok;
    return AddHandRules(state) && ok;
}

} // namespace curlew

extern "C" int PRSAPI Load(PrsParser* parser, PrsPackage* package)
{
    if (!parser)
        return 0;
    try {
        return curlew::BuildGrammar(parser, package, curlew::GetLocaleSource().Read()) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}
