#include "CharClass.h"
#include "Symbol.h"
#include "TestText.h"
#include "Tokenizer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

using namespace osprey;

namespace {

// "kind:text@first+length#index" per token, space-separated.
std::string Tokens(const WText& text)
{
    Tokenizer t(text.data(), text.size());
    PrsToken token;
    std::ostringstream out;
    while (t.Next(token)) {
        const char* kind = token.kind == kNumeralToken ? "n" : token.kind == kWordToken ? "w" : "p";
        out << (out.tellp() ? " " : "") << kind << ":" << Narrow(token.text) << "@" << token.first << "+"
            << token.length << "#" << token.index;
        EXPECT_EQ(TextHash(token.text.data(), token.text.size()), token.hash);
    }
    return out.str();
}

} // namespace

TEST(Tokenizer, CutsTextIntoTokens)
{
    struct Row { const char16_t* text; const char* tokens; } rows[] = {
        {u"Dr. Smith", "w:dr@0+2#0 p:.@2+1#1 w:smith@4+5#2"},
        {u"12th", "n:12@0+2#0 w:th@2+2#1"},
        {u"3:30", "n:3@0+1#0 p::@1+1#1 n:30@2+2#2"},
        {u"", ""},
        {u" \t\r\n ", ""},
        {u"  A-b ", "w:a@2+1#0 p:-@3+1#1 w:b@4+1#2"},
        {u"...", "p:.@0+1#0 p:.@1+1#1 p:.@2+1#2"},
        {u"Call BANK 9am", "w:call@0+4#0 w:bank@5+4#1 n:9@10+1#2 w:am@11+2#3"},
        {u"\u00C9T\u00C9 x", "w:\\u00e9t\\u00e9@0+3#0 w:x@4+1#1"},
        {u"a\u00A0b\u3000c", "w:a@0+1#0 w:b@2+1#1 w:c@4+1#2"},
        {u"\u0663\u0664", "w:\\u0663\\u0664@0+2#0"},
        {u"\u00B23", "w:\\u00b2@0+1#0 n:3@1+1#1"},
        {u"5\u20AC", "n:5@0+1#0 p:\\u20ac@1+1#1"},
        {u"x\u2014y", "w:x@0+1#0 p:\\u2014@1+1#1 w:y@2+1#2"},
    };
    for (const Row& r : rows) {
        WText text = W(r.text);
        SCOPED_TRACE(Narrow(text));
        EXPECT_EQ(r.tokens, Tokens(text));
    }
}

TEST(Tokenizer, ClassesAndLowerCaseAreTheEnginesOwn)
{
    struct Row { char16_t c; CharClass cls; char16_t lower; } rows[] = {
        {u'0', kDigit, u'0'},
        {u'9', kDigit, u'9'},
        {u'\u0663', kLetter, u'\u0663'},     // Arabic-Indic digit: not a digit here
        {u'\u00B2', kLetter, u'\u00B2'},     // superscript two
        {u'\uFF11', kLetter, u'\uFF11'},     // full-width one
        {u'A', kLetter, u'a'},
        {u'z', kLetter, u'z'},
        {u'.', kPunct, u'.'},
        {u'$', kPunct, u'$'},
        {u'+', kPunct, u'+'},
        {u'\u20AC', kPunct, u'\u20AC'},
        {u'\u00BF', kPunct, u'\u00BF'},
        {u'\u3002', kPunct, u'\u3002'},
        {u' ', kSpace, u' '},
        {u'\t', kSpace, u'\t'},
        {u'\u00A0', kSpace, u'\u00A0'},
        {u'\u2028', kSpace, u'\u2028'},
        {u'\u3000', kSpace, u'\u3000'},
        {u'\u00C9', kLetter, u'\u00E9'},
        {u'\u0130', kLetter, u'i'},
        {u'\u0178', kLetter, u'\u00FF'},
        {u'\u0100', kLetter, u'\u0101'},
        {u'\u0101', kLetter, u'\u0101'},
        {u'\u0410', kLetter, u'\u0430'},
        {u'\u03A3', kLetter, u'\u03C3'},
        {u'\u1E9E', kLetter, u'\u00DF'},
        {u'\u2160', kLetter, u'\u2170'},
        {u'\u24B6', kPunct, u'\u24D0'},
        {u'\uFF21', kLetter, u'\uFF41'},
        {u'\u4E2D', kLetter, u'\u4E2D'},
        {char16_t(0xD83D), kLetter, char16_t(0xD83D)},   // half of a pair
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(static_cast<unsigned>(r.c));
        EXPECT_EQ(r.cls, ClassOf(static_cast<PRSWCHAR>(r.c)));
        EXPECT_EQ(static_cast<unsigned>(r.lower), static_cast<unsigned>(static_cast<uint16_t>(ToLower(static_cast<PRSWCHAR>(r.c)))));
    }
}

TEST(Tokenizer, NumeralsNeverWrap)
{
    struct Row { const char* digits; int32_t value; } rows[] = {
        {"0", 0},
        {"007", 7},
        {"999999999", 999999999},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"4294967297", 2147483647},
        {"4294967296", 2147483647},
        {"99999999999999999999", 2147483647},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.digits);
        WText d = W(r.digits);
        EXPECT_EQ(r.value, NumeralValue(d.data(), d.size()));
    }
}

TEST(Tokenizer, HashValuesArePinned)
{
    struct Row { const char16_t* text; int32_t hash; } rows[] = {
        {u"", 0},
        {u"a", 97},
        {u"eof", 6647654},
        {u"date", 1684108389},
        {u"numeral", 1709233881},
        {u"monday", 1852100328},
        {u"new york", -405476981},
        {u"tomorrow", -421405466},
        {u"\u00E9t\u00E9", 15299817},
    };
    for (const Row& r : rows) {
        WText t = W(r.text);
        SCOPED_TRACE(Narrow(t));
        EXPECT_EQ(r.hash, TextHash(t.data(), t.size()));
    }
}
