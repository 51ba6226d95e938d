#include "Fixture.h"
#include "Grammar.h"

#include <gtest/gtest.h>

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#endif

using namespace curlew_test;
using curlew::LocaleFormats;

namespace {

typedef std::vector<std::string> Lines;

const std::string kMonthDayYear =
    "date top 29: numeral(65531[1,12] 65531>2) date-sep numeral(65531[1,31] 65531>3) date-sep year(1>1)";
const std::string kMonthDay = "date top 29: numeral(65531[1,12] 65531>2) date-sep numeral(65531[1,31] 65531>3)";
const std::string kDayMonthYear13 =
    "date top 13: numeral(65531[1,31] 65531>3) date-sep numeral(65531[1,12] 65531>2) date-sep year(1>1)";
const size_t kHandRules = 26;

// The rules compiled from pictures: everything before the hand rules.
Lines PictureRules(const LocaleFormats& formats)
{
    LoadedParser p(formats, false);
    EXPECT_EQ(1, p.loaded);
    Lines all = RuleList(p.parser);
    EXPECT_GE(all.size(), kHandRules);
    return Lines(all.begin(), all.end() - static_cast<long>(std::min(all.size(), kHandRules)));
}

bool Has(const Lines& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

LocaleFormats With(LocaleFormats f, Lines shortDates, Lines longDates, Lines times)
{
    f.shortDates = shortDates;
    f.longDates = longDates;
    f.times = times;
    return f;
}

} // namespace

TEST(Grammar, UnitedStatesPictures)
{
    EXPECT_EQ((Lines{
                  kMonthDayYear,
                  kMonthDay,
                  "date top 29: month-name(2>2) numeral(65531[1,31] 65531>3) , year(1>1)",
                  "date top 29: month-name(2>2) numeral(65531[1,31] 65531>3)",
                  "date top 29: day-name(4>4) , month-name(2>2) numeral(65531[1,31] 65531>3) , year(1>1)",
                  "date top 29: day-name(4>4) , month-name(2>2) numeral(65531[1,31] 65531>3) year(1>1)",
                  "date top 29: day-name(4>4) , month-name(2>2) numeral(65531[1,31] 65531>3)",
                  "date top 29: month-name(2>2) numeral(65531[1,31] 65531>3) year(1>1)",
                  "time top 93: numeral(65531[1,12] 65531>7) : numeral(65531[0,59] 65530[2,2] 65531>8) time-marker(9>9)",
                  "time top 93: numeral(65531[0,23] 65531>7) : numeral(65531[0,59] 65530[2,2] 65531>8)",
              }),
              PictureRules(curlew::EnUsFormats()));
}

TEST(Grammar, HandRulesFollowInOrder)
{
    LoadedParser p(curlew::EnUsFormats(), false);
    Lines all = RuleList(p.parser);
    ASSERT_EQ(10 + kHandRules, all.size());
    struct Row { size_t number; std::string rule; } rows[] = {
        {1, "year 29: numeral(65531[0,99] 65531>1)"},
        {7, "time top 93: numeral(65531[1,12] 65531>7) time-marker(9>9)"},
        {9, "date-range top 29: range-prefix date(-1>0) range-sep date(-1>32)"},
        {21, "date top 29: ord-num(65531>10 65531[0,5]) day-name(4>4) ord-sep month-name(2>2)"},
        {25, "date top 29: day-prefix day-name(4>14) day-offset-sep(13>13) date(-1>0)"},
        {26, "date top 29: day-name(4>4) date(-1>0 date=4)"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.rule, all[10 + r.number - 1]) << "hand rule " << r.number;
}

TEST(Grammar, DayFirstLocales)
{
    Lines german = PictureRules(curlew::DeDeFormats());
    EXPECT_EQ("date top 29: numeral(65531[1,31] 65531>3) date-sep numeral(65531[1,12] 65531>2) date-sep year(1>1)",
              german[0]);
    EXPECT_TRUE(Has(german, "date top 29: numeral(65531[1,31] 65531>3) date-sep month-name(2>2) year(1>1)"))
        << "the locale's own separator before a month name";
    EXPECT_TRUE(Has(german, "date top 29: day-name(4>4) , numeral(65531[1,31] 65531>3) . month-name(2>2) year(1>1)"))
        << "long pictures name their separators";
    EXPECT_TRUE(Has(german, "time top 93: numeral(65531[0,23] 65531>7) : numeral(65531[0,59] 65530[2,2] 65531>8)"));
    Lines british = PictureRules(curlew::EnGbFormats());
    EXPECT_EQ("date top 29: numeral(65531[1,31] 65531>3) date-sep numeral(65531[1,12] 65531>2) date-sep year(1>1)",
              british[0]);
}

TEST(Grammar, OtherOrdersSurviveWithLowerStrength)
{
    Lines rules = PictureRules(With(curlew::EnUsFormats(), {"M/d/yyyy", "d.M.yyyy"}, {}, {}));
    EXPECT_TRUE(Has(rules, kMonthDayYear));
    EXPECT_TRUE(Has(rules, kDayMonthYear13));
    EXPECT_TRUE(Has(rules, "date top 13: numeral(65531[1,31] 65531>3) date-sep numeral(65531[1,12] 65531>2)"));
    EXPECT_EQ(4u, rules.size());
}

TEST(Grammar, RepeatedPicturesAddNothing)
{
    struct Row { const char* what; Lines shortDates; Lines longDates; size_t rules; } rows[] = {
        {"the same picture twice", {"M/d/yyyy", "M/d/yyyy"}, {}, 2},
        {"two-letter fields read alike", {"M/d/yyyy", "MM/dd/yyyy"}, {}, 2},
        {"another separator among the common ones", {"M/d/yyyy", "M-d-yyyy"}, {}, 2},
        {"a long picture like a short one", {"MMM d, yyyy"}, {"MMMM d, yyyy"}, 3},
        {"long picture with a comma before the year", {}, {"dddd, MMMM dd, yyyy"}, 3},
        {"a picture without a year", {"M/d"}, {}, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(r.rules, PictureRules(With(curlew::EnUsFormats(), r.shortDates, r.longDates, {})).size());
    }
}

TEST(Grammar, SeparatorsSharedByDatesAndTimes)
{
    LocaleFormats f = curlew::EnUsFormats();
    f.dateSeparator = ".";
    f.timeSeparator = ".";
    f.shortDate = "d.M.yyyy";
    f.timeFormat = "HH.mm";
    f = With(f, {"d.M.yyyy", "d/M/yyyy"}, {"d. MMMM yyyy"}, {"HH.mm", "H.mm"});
    Lines rules = PictureRules(f);
    EXPECT_EQ((Lines{
                  "date top 13: numeral(65531[1,31] 65531>3) date-sep numeral(65531[1,12] 65531>2) date-sep year(1>1)",
                  "date top 13: numeral(65531[1,31] 65531>3) date-sep numeral(65531[1,12] 65531>2)",
                  "time top 93: numeral(65531[0,23] 65531>7) . numeral(65531[0,59] 65530[2,2] 65531>8)",
              }),
              rules);
}

TEST(Grammar, HostileLocalesBuildAGrammar)
{
    const std::string longSeparator(20, '#');
    const std::string longLiteral(60, 'L');
    struct Row { const char* what; LocaleFormats formats; } rows[] = {
        {"a 20-character separator", [&] {
             LocaleFormats f = curlew::EnUsFormats();
             f.dateSeparator = longSeparator;
             f.timeSeparator = longSeparator;
             return With(f, {"M" + longSeparator + "d" + longSeparator + "yyyy"}, {}, {"h" + longSeparator + "mm"});
         }()},
        {"more than ten separators", With(curlew::EnUsFormats(),
             {"M!d", "M@d", "M#d", "M$d", "M%d", "M^d", "M&d", "M*d", "M(d", "M)d", "M+d", "M=d", "M;d"}, {}, {"h;mm"})},
        {"an empty quoted literal", With(curlew::EnUsFormats(), {"M''d''yyyy", "''"}, {"''MMMM"}, {})},
        {"a long literal", With(curlew::EnUsFormats(), {"'" + longLiteral + "' M/d"}, {}, {})},
        {"a literal cut inside a character", With(curlew::EnUsFormats(),
             {"'" + std::string(29, 'x') + "\xc3\xa9' M/d"}, {}, {})},
        {"a separator of 40 characters", With(curlew::EnUsFormats(), {}, {"MMMM" + std::string(40, ',') + "d"}, {})},
        {"unterminated quote", With(curlew::EnUsFormats(), {"M/d 'abc"}, {}, {})},
        {"nothing at all", With(LocaleFormats(), {}, {}, {})},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        LoadedParser p(r.formats, false);
        EXPECT_EQ(1, p.loaded);
        EXPECT_GE(RuleList(p.parser).size(), kHandRules);
    }
}

TEST(Grammar, SeparatorsAreWholeCharacters)
{
#ifdef _WIN32
    // Under the Latin code page the guillemet is one punctuation byte.
    const std::string guillemet = "\xbb";
#else
    const std::string guillemet = "\xc2\xbb";
#endif
    Lines rules = PictureRules(With(curlew::EnUsFormats(), {}, {"MMMM" + guillemet + "d" + std::string(30, '-') + "yyyy"}, {}));
    ASSERT_FALSE(rules.empty());
#ifdef _WIN32
    EXPECT_EQ("date top 29: month-name(2>2) \\u00bb numeral(65531[1,31] 65531>3) " + std::string(30, '-') + " year(1>1)",
              rules[0]);
#else
    EXPECT_EQ("date top 29: month-name(2>2) numeral(65531[1,31] 65531>3) " + std::string(30, '-') + " year(1>1)",
              rules[0]) << "no half characters among the separators";
#endif
}

TEST(Grammar, LimitsOfCopiedTexts)
{
    LoadedParser p(With(curlew::EnUsFormats(), {"'" + std::string(40, 'L') + "' M/d", "M''d"},
                        {"MMMM" + std::string(40, ',') + "d"}, {}), false);
    EXPECT_TRUE(PrsIsSymbolDefined(p.parser, curlew::Name("~" + std::string(30, 'L')).c_str()))
        << "a literal keeps its first 30 bytes";
    EXPECT_TRUE(PrsIsSymbolDefined(p.parser, curlew::Name(std::string(31, ',')).c_str()))
        << "a separator its first 31";
    EXPECT_FALSE(PrsIsSymbolDefined(p.parser, curlew::Name("~").c_str())) << "no empty literal";
}

TEST(Grammar, ASecondLoadBuildsTheSameGrammar)
{
    LoadedParser first(curlew::EnUsFormats(), false);
    LoadedParser german(curlew::DeDeFormats(), false);
    LoadedParser second(curlew::EnUsFormats(), false);
    EXPECT_EQ(RuleList(first.parser), RuleList(second.parser));
    EXPECT_NE(RuleList(first.parser), RuleList(german.parser));
}

#ifdef _WIN32
// The host tree's fixtures are what Wine reports for these locales.
TEST(Grammar, SystemLocaleMatchesItsFixture)
{
    LocaleFormats fixture;
    switch (PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID())) == LANG_GERMAN ? 0x407 : GetUserDefaultLCID()) {
    case 0x409: fixture = curlew::EnUsFormats(); break;
    case 0x809: fixture = curlew::EnGbFormats(); break;
    case 0x407: fixture = curlew::DeDeFormats(); break;
    default: GTEST_SKIP() << "no fixture for locale " << GetUserDefaultLCID();
    }
    LocaleFormats system = curlew::GetLocaleSource().Read();
    EXPECT_EQ(fixture.shortDates, system.shortDates);
    EXPECT_EQ(fixture.longDates, system.longDates);
    EXPECT_EQ(fixture.times, system.times);
    EXPECT_EQ(fixture.order, system.order);
    EXPECT_EQ(fixture.clock, system.clock);
    EXPECT_EQ(fixture.dateSeparator, system.dateSeparator);
    PrsParser* parser = PrsInit();
    EXPECT_EQ(1, Load(parser, nullptr)) << "Load from the system locale";
    Lines fromSystem = RuleList(parser);
    PrsDeInit(parser);
    LoadedParser fromFixture(fixture, false);
    EXPECT_EQ(RuleList(fromFixture.parser), fromSystem);
}
#endif
