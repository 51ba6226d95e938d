#include "QuotedFields.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>

namespace {
std::vector<std::string> Split(std::string line, char separator = ',', int capacity = 16)
{
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    std::vector<char*> fields(capacity + 1, reinterpret_cast<char*>(1));
    int n = SplitCsvLine(buffer.data(), fields.data(), capacity, separator);
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i)
        out.push_back(fields[i]);
    EXPECT_EQ(nullptr, fields[n]) << "the list ends with a null pointer";
    EXPECT_EQ(reinterpret_cast<char*>(1), fields[capacity]) << "nothing is written past the array";
    return out;
}

// The same through the wide splitter, the fields narrowed again (ASCII lines).
std::vector<std::string> SplitWide(const std::string& line, char separator)
{
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');
    std::vector<wchar_t*> fields(line.size() + 2);
    const int capacity = static_cast<int>(fields.size());
    int n = SplitCsvLine(buffer.data(), fields.data(), capacity, static_cast<wchar_t>(separator));
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i)
        out.emplace_back(fields[i], fields[i] + std::char_traits<wchar_t>::length(fields[i]));
    return out;
}

std::string Unquote(std::string text)
{
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    return UnquoteCsvField(buffer.data());
}
} // namespace

TEST(QuotedFields, SplitsAtSeparatorsOutsideQuotes)
{
    struct Row {
        const char* line;
        char separator;
        std::vector<std::string> fields;
    } rows[] = {
        {"\"a,b\",c", ',', {"\"a,b\"", "c"}},
        {"a,,b", ',', {"a", "", "b"}},
        {"a,b,", ',', {"a", "b"}},
        {"a\nb", ',', {"a", "b"}},
        {"\"a\nb\",c", ',', {"\"a", "b\"", "c"}},
        {"\"say \"\"hi\"\"\",x", ',', {"\"say \"\"hi\"\"\"", "x"}},
        {"\"\",x", ',', {"\"\"", "x"}},
        {"ab\"c,d\"", ',', {"ab\"c", "d\""}},
        {"\"unterminated,still", ',', {"\"unterminated,still"}},
        {"a;b,c;\"d;e\"", ';', {"a", "b,c", "\"d;e\""}},
        {"\"a\"tail,b", ',', {"\"a\"tail", "b"}},
        {",", ',', {""}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        EXPECT_EQ(r.fields, Split(r.line, r.separator));
        EXPECT_EQ(r.fields, SplitWide(r.line, r.separator)) << "wide";
    }
}

TEST(QuotedFields, EmptyOrNullLineGivesOnlyTheTerminator)
{
    char empty[] = "";
    char* fields[2] = {empty, empty};
    EXPECT_EQ(0, SplitCsvLine(empty, fields, 2));
    EXPECT_EQ(nullptr, fields[0]);
    fields[0] = empty;
    EXPECT_EQ(0, SplitCsvLine(nullptr, fields, 2));
    EXPECT_EQ(nullptr, fields[0]);
}

TEST(QuotedFields, SplitStopsAtTheArrayCapacity)
{
    struct Row {
        int capacity;
        std::vector<std::string> fields;
    } rows[] = {
        {1, {}},
        {2, {"a"}},
        {3, {"a", "b"}},
        {4, {"a", "b", "c"}},
        {5, {"a", "b", "c"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.capacity);
        EXPECT_EQ(r.fields, Split("a,b,c", ',', r.capacity));
    }
    char line[] = "a,b";
    EXPECT_EQ(0, SplitCsvLine(line, nullptr, 4));
    char* none[1] = {line};
    EXPECT_EQ(0, SplitCsvLine(line, none, 0));
    EXPECT_EQ(line, none[0]);
}

TEST(QuotedFields, UnquoteUndoesQuoting)
{
    struct Row {
        const char* in;
        const char* out;
    } rows[] = {
        {"\"a,b\"", "a,b"},
        {"\"say \"\"hi\"\"\"", "say \"hi\""},
        {"\"\"", ""},
        {"\"\"\"\"", "\""},
        {"\"", "\""},
        {"x", "x"},
        {"", ""},
        {"\"abc", "abc"},
        {"\"ab\"\"", "ab\""},
        {"plain", "plain"},
        {"a\"\"b", "a\"b"},
        {"a\"b", "a\"b"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.in);
        EXPECT_EQ(r.out, Unquote(r.in));
    }
    EXPECT_EQ(nullptr, UnquoteCsvField(nullptr));
}

TEST(QuotedFields, QuoteDoublesInnerQuotesWithinCapacity)
{
    struct Row {
        const char* in;
        size_t capacity;
        const char* out;  // null: refused, text unchanged
    } rows[] = {
        {"say \"hi\"", 64, "\"say \"\"hi\"\"\""},
        {"", 3, "\"\""},
        {"", 2, nullptr},
        {"abc", 6, "\"abc\""},
        {"abc", 5, nullptr},
        {"\"", 5, "\"\"\"\""},
        {"\"", 4, nullptr},
        {"a,b", 6, "\"a,b\""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.in) + " in " + std::to_string(r.capacity));
        std::vector<char> buffer(r.capacity + 8, '#');
        std::strcpy(buffer.data(), r.in);
        char* result = QuoteCsvField(buffer.data(), r.capacity);
        if (r.out) {
            EXPECT_EQ(buffer.data(), result);
            EXPECT_STREQ(r.out, buffer.data());
        } else {
            EXPECT_EQ(nullptr, result);
            EXPECT_STREQ(r.in, buffer.data());
        }
        for (size_t i = r.capacity; i < buffer.size(); ++i)
            EXPECT_EQ('#', buffer[i]) << "written past the capacity at " << i;
    }
}

TEST(QuotedFields, QuoteStopsAtAnUnterminatedBuffer)
{
    char buffer[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(nullptr, QuoteCsvField(buffer, sizeof(buffer)));
    EXPECT_EQ(0, std::memcmp(buffer, "abcd", 4));
    EXPECT_EQ(nullptr, QuoteCsvField(nullptr, 10));
}

TEST(QuotedFields, QuotedFieldsSplitAndUnquoteBack)
{
    const char* texts[] = {"plain", "with,comma", "with \"quotes\"", "", "\"\"", "semi;colon"};
    for (char separator : {',', ';'}) {
        std::string line;
        for (const char* t : texts) {
            char buffer[64];
            std::strcpy(buffer, t);
            ASSERT_NE(nullptr, QuoteCsvField(buffer, sizeof(buffer)));
            line += buffer;
            line += separator;
        }
        std::vector<std::string> fields = Split(line, separator);
        ASSERT_EQ(sizeof(texts) / sizeof(texts[0]), fields.size()) << line;
        for (size_t i = 0; i < fields.size(); ++i)
            EXPECT_EQ(texts[i], Unquote(fields[i])) << line;
    }
}
