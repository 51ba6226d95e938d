#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "WebTemplate.h"

namespace {

QuiTemplateParamList Profile()
{
    QuiTemplateParamList params;
    params.Add("fname", "Ann");
    params.Add("lname", "Lee");
    params.Add("plus", "+", true);
    params.Add("query", "fish & chips/\xE4?");
    params.Add("nothing", nullptr);
    params.Add("FNAME", "second");
    params.Add("self", "$:fname");
    return params;
}

std::string Filled(const std::string& text, QuiTemplateEscape escape = templateAsIs,
                   QuiTemplateParamList params = Profile())
{
    std::istringstream in(text);
    std::ostringstream out;
    QUITEMPLATE job(&in, &out, params, escape);
    EXPECT_EQ(0u, job.Expand()) << text;
    return out.str();
}

struct ExpandCase {
    const char* text;
    QuiTemplateEscape escape;
    const char* expected;
};

TEST(QUITEMPLATE, FillsEveryPlaceholderForm)
{
    const ExpandCase cases[] = {
        {"no placeholder at all: $ : $;fname", templateAsIs, "no placeholder at all: $ : $;fname"},
        {"", templateAsIs, ""},
        {"$:fname $:FNAME $:fName", templateAsIs, "Ann Ann Ann"},
        // Digits belong to the name, so this one names nothing.
        {"[$:fname2]", templateAsIs, "[]"},
        {"[$: x][$:.][$:-a]", templateAsIs, "[ x][.][-a]"},
        {"end$:", templateAsIs, "end"},
        {"$$:fname$:lname$", templateAsIs, "$AnnLee$"},
        {"[$:unknown]", templateAsIs, "[]"},
        {"[$:nothing]", templateAsIs, "[]"},
        {"$:lname_$:LNAME", templateAsIs, "Lee_Lee"},
        // A value is never read as a template itself.
        {"$:self", templateAsIs, "$:fname"},
        {"$:self", templateHtml, "$:fname"},
        {"q=$:query", templateAsIs, "q=fish & chips/\xE4?"},
        {"q=$:query&n=1", templateUrl, "q=fish%20%26%20chips%2F%E4%3F&n=1"},
        {"a$:plus$:fname", templateUrl, "a+Ann"},
        {"<p>$:query</p>", templateHtml, "<p>fish &amp; chips/\xE4?</p>"},
        {"$:plus", templateHtml, "+"},
    };
    for (const ExpandCase& c : cases)
        EXPECT_EQ(c.expected, Filled(c.text, c.escape)) << c.text;
}

TEST(QUITEMPLATE, EscapesValuesForTheirPlace)
{
    struct Case {
        const char* value;
        QuiTemplateEscape escape;
        const char* expected;
    };
    const Case cases[] = {
        {"AZaz09-._~", templateUrl, "AZaz09-._~"},
        {" +&=#%\"<>\r\n", templateUrl, "%20%2B%26%3D%23%25%22%3C%3E%0D%0A"},
        {"\xFF\x80", templateUrl, "%FF%80"},
        {"<script>alert('x')</script>", templateHtml, "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;"},
        {"\"quoted\" & more", templateHtml, "&quot;quoted&quot; &amp; more"},
        // Markup in UTF-7 form: the HTML escaping alone would let it through.
        {"+ADw-script+AD4-", templateHtml, "&#43;ADw-script&#43;AD4-"},
        {"<&>", templateAsIs, "<&>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, EscapeTemplateValue(c.value, c.escape)) << c.value;
}

TEST(QUITEMPLATE, RefusesAJobWithoutStreams)
{
    std::istringstream in("$:fname");
    std::ostringstream out;
    QUITEMPLATE noInput(nullptr, &out, Profile());
    QUITEMPLATE noOutput(&in, nullptr, Profile());
    EXPECT_EQ(87u, QUITEMPLATE::Expand(nullptr));
    EXPECT_EQ(87u, noInput.Expand());
    EXPECT_EQ(87u, noOutput.Expand());
    EXPECT_EQ("", out.str());
}

TEST(QUITEMPLATE, TooLongATemplateFillsToNothing)
{
    const std::string longest(QUITEMPLATE_MAX_INPUT, 'x');
    EXPECT_EQ(longest.size(), Filled(longest).size());
    EXPECT_EQ("", Filled(longest + "y"));
}

TEST(QUITEMPLATE, FilledTextMayFarOutgrowTheTemplate)
{
    QuiTemplateParamList params;
    const std::string value(500, 'v');
    params.Add("v", value.c_str());
    std::string text, expected;
    for (int i = 0; i < 200; ++i) {
        text += "$:v|";
        expected += value + "|";
    }
    EXPECT_EQ(expected, Filled(text, templateAsIs, params));
}

TEST(STREAM_PARAM, FindsTheMarkerAndTheNameBehindIt)
{
    struct Case {
        const char* text;
        size_t from;
        bool found;
        const char* name;
        size_t marker, end, length;
    };
    const Case cases[] = {
        {"ab$:Name9 rest", 0, true, "Name9", 2, 9, 7},
        {"ab$:Name9 rest", 3, false, "", 14, 14, 0},
        {"$:", 0, true, "", 0, 2, 2},
        {"$:$:x", 0, true, "", 0, 2, 2},
        {"$:$:x", 1, true, "x", 2, 5, 3},
        {"none", 0, false, "", 4, 4, 0},
        {"short", 99, false, "", 5, 5, 0},
    };
    for (const Case& c : cases) {
        const STREAM_PARAM found = STREAM_PARAM::Find(c.text, c.from);
        EXPECT_EQ(c.found, found.IsFound()) << c.text << " from " << c.from;
        EXPECT_EQ(c.name, found.GetName()) << c.text;
        EXPECT_EQ(c.marker, found.GetMarker()) << c.text;
        EXPECT_EQ(c.end, found.GetEnd()) << c.text;
        EXPECT_EQ(c.length, found.GetLength()) << c.text;
    }
}

TEST(QuiTemplateParamList, FirstRecordOfANameWins)
{
    const QuiTemplateParamList params = Profile();
    ASSERT_NE(nullptr, params.Find("Fname"));
    EXPECT_STREQ("Ann", params.Find("Fname")->GetValue());
    ASSERT_NE(nullptr, params.Find("nothing"));
    EXPECT_EQ(nullptr, params.Find("nothing")->GetValue());
    EXPECT_EQ(nullptr, params.Find("fnam"));
    EXPECT_EQ(nullptr, params.Find(""));
}

std::vector<std::string> Words(const std::string& query)
{
    QuiTemplateParamList params;
    AddQueryWords(params, "querystring", query);
    std::vector<std::string> words;
    int number = 1;
    for (const QUITEMPLATE_PARAM& param : params.GetParams()) {
        EXPECT_EQ("querystringword" + std::to_string(number++), param.GetName());
        words.push_back(param.GetValue());
    }
    return words;
}

TEST(AddQueryWords, SplitsAtEachBlank)
{
    struct Case {
        const char* query;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"a  b", {"a", "", "b"}},
        {"", {""}},
        {"garden hose", {"garden", "hose"}},
        {" lead", {"", "lead"}},
        {"trail ", {"trail", ""}},
        // Only the blank parts words; other white space goes at a word's start.
        {"tab\tin \tword", {"tab\tin", "word"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.words, Words(c.query)) << '"' << c.query << '"';
}

TEST(AddQueryWords, StopsAtTheHundredthWord)
{
    std::string query;
    for (int i = 1; i <= 101; ++i)
        query += (i > 1 ? " w" : "w") + std::to_string(i);
    const std::vector<std::string> words = Words(query);
    ASSERT_EQ(100u, words.size());
    EXPECT_EQ("w1", words.front());
    EXPECT_EQ("w100", words.back());
}

}  // namespace
