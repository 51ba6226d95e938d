// The filing helpers that need no Notes: contact references, quoted lines
// and carriage returns.
#include <gtest/gtest.h>

#include "HeronFiling.h"

namespace {

TEST(ContactKeyTest, Parts)
{
    struct Row {
        const char* text;
        const char* server;
        const char* path;
        DWORD noteId;
    } rows[] = {
        {"Mail01/Acme##names.nsf##1234", "Mail01/Acme", "names.nsf", 1234},
        {"##contacts.nsf##77", "", "contacts.nsf", 77},
        {"local##names.nsf##12abc", "local", "names.nsf", 12},
        {"local##names.nsf##", "local", "names.nsf", 0},
        {"local##names.nsf##x1", "local", "names.nsf", 0},
        // Without a second separator the reference names no note.
        {"local##names.nsf", "local", "", 0},
        {"names.nsf 1234", "local", "", 0},
        {"", "local", "", 0},
    };
    for (const Row& row : rows) {
        ContactKey key = ParseContactKey(row.text);
        EXPECT_EQ(row.server, key.server) << row.text;
        EXPECT_EQ(row.path, key.databasePath) << row.text;
        EXPECT_EQ(row.noteId, key.noteId) << row.text;
    }
}

TEST(QuotedLineTest, EveryFieldEndsWithAComma)
{
    struct Row {
        std::vector<const char*> entries;
        const char* line;
    } rows[] = {
        {{}, ""},
        {{"a"}, "\"a\","},
        {{"Ann \"the boss\" Lee", ""}, "\"Ann \"\"the boss\"\" Lee\",\"\","},
        {{"\"\"\"\""}, "\"\"\"\"\"\"\"\"\"\","},
    };
    for (const Row& row : rows) {
        TextList list;
        for (const char* entry : row.entries)
            list.Append(entry);
        EXPECT_EQ(row.line, JoinQuotedFields(list));
    }
    // A long entry is quoted whole.
    TextList list;
    list.Append(std::string(400, '"'));
    EXPECT_EQ("\"" + std::string(800, '"') + "\",", JoinQuotedFields(list));
}

TEST(CarriageReturnTest, LineFeedsStay)
{
    struct Row {
        const char* text;
        const char* cleaned;
    } rows[] = {
        {"one\r\ntwo\r\n", "one \ntwo \n"},
        {"\r\r", "  "},
        {"no returns\n", "no returns\n"},
        {"", ""},
    };
    for (const Row& row : rows) {
        std::string text = row.text;
        ReplaceCarriageReturns(&text);
        EXPECT_EQ(row.cleaned, text);
    }
}

}  // namespace
