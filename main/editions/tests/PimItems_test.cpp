// The editions' items from their servers' lines, the Notes contact line,
// the calendar kind of the Notes profile and the Outlook server's file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OzuDatastore.h"
#include "OzuNewContactDlg.h"
#include "PimItems.h"
#include "RukDatastore.h"

namespace {

template <class Item>
std::vector<std::string> Read(const std::string& line, int fields, std::string* name,
                              std::vector<std::string>* keywords = nullptr, int* flags = nullptr)
{
    Item item;
    std::string text = line;
    item.FromCsvLine(&text[0]);
    std::vector<std::string> result;
    for (int i = 0; i < fields; ++i)
        result.push_back(item.GetFieldText(i));
    *name = item.getDisplayName();
    if (keywords) {
        item.keywordsFetchBegin();
        while (const char* keyword = item.keywordsFetchNext())
            keywords->push_back(keyword);
        item.keywordsFetchEnd();
    }
    if (flags)
        *flags = item.getFlags();
    return result;
}

TEST(PimItems, NotesContactNamesAndFields)
{
    struct Row {
        const char* line;
        const char* name;
    } rows[] = {
        {"\"id1\",\"Ann\",\"Lee\",\"Acme\"", "Lee, Ann"},
        {"\"id2\",\"\",\"Lee\"", "Lee"},
        {"\"id3\",\"Ann\",\"\"", "Ann"},
        {"\"id4\"", ""},
        {"\"id5\",\"Ann \"\"Jo\"\"\",\"Lee, Jr\"", "Lee, Jr, Ann \"Jo\""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        std::string name;
        std::vector<std::string> keywords;
        int flags = 0;
        Read<COzuContact>(row.line, 16, &name, &keywords, &flags);
        EXPECT_EQ(row.name, name);
        EXPECT_EQ(3, flags & 3);
        std::vector<std::string> expected;
        if (*row.name)
            expected.push_back(row.name);
        EXPECT_EQ(expected, keywords);
    }
}

TEST(PimItems, NotesContactKeepsFourteenFieldsOfSixteen)
{
    std::string line;
    for (int i = 0; i < 18; ++i)
        line += "\"f" + std::to_string(i) + "\",";
    std::string name;
    std::vector<std::string> fields = Read<COzuContact>(line, 17, &name);
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ("f" + std::to_string(i), fields[i]) << i;
    EXPECT_EQ("", fields[14]);
    EXPECT_EQ("", fields[15]);
    COzuContact contact;
    contact.FromCsvLine(&line[0]);
    EXPECT_STREQ("f1", contact.GetDisplayField1());
    EXPECT_STREQ("f2", contact.GetDisplayField2());
    EXPECT_STREQ("f3", contact.GetDisplayField3());
}

TEST(PimItems, CategoriesAndFolders)
{
    struct Row {
        const char* what;
        std::vector<std::string> (*read)(const std::string&, int, std::string*, std::vector<std::string>*, int*);
        const char* line;
        std::vector<std::string> fields;
        const char* name;
        std::vector<std::string> keywords;
    } rows[] = {
        {"Notes to-do category", &Read<COzuTodoCategory>, "\"Business\",\"x\"", {"Business", ""}, "Business", {}},
        {"Notes journal folder", &Read<COzuJournalFolder>, "\"F1\",\"Trips\"", {"F1", "Trips"}, "Trips", {}},
        {"Palm to-do category", &Read<CIbeTodoCategory>, "\"Calls\",\"2##7\"", {"Calls", "2##7"}, "Calls", {}},
        {"Palm memo category", &Read<CIbeMemoCategory>, "\"Ideas\",\"1##3\"", {"Ideas", "1##3"}, "Ideas", {}},
        {"Outlook category", &Read<CRukTodoCategory>, "\"Home\"", {"Home", ""}, "Home", {}},
        {"Outlook folder", &Read<CRukJournalFolder>, "\"J1\",\"Phone\"", {"J1", "Phone"}, "Phone", {"Phone"}},
        {"a short line", &Read<COzuJournalFolder>, "\"F2\"", {"F2", ""}, "", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::string name;
        std::vector<std::string> keywords;
        int flags = 0;
        EXPECT_EQ(row.fields, row.read(row.line, 2, &name, &keywords, &flags));
        EXPECT_EQ(row.name, name);
        EXPECT_EQ(row.keywords, keywords);
        EXPECT_EQ(3, flags & 3);
    }
}

TEST(PimItems, PalmContactSkipsFieldsZeroAndSix)
{
    std::string line;
    for (int i = 0; i < 13; ++i)
        line += "\"p" + std::to_string(i) + "\",";
    std::string name;
    std::vector<std::string> keywords;
    std::vector<std::string> fields = Read<CIbeContact>(line, 12, &name, &keywords);
    std::vector<std::string> expected = {"", "p1", "p2", "p3", "p4", "p5", "", "p7", "p8", "p9", "p10", ""};
    EXPECT_EQ(expected, fields);
    EXPECT_EQ("p2, p1", name);
    EXPECT_TRUE(keywords.empty());
}

TEST(PimItems, ClonesAreEmptyItemsOfTheirClass)
{
    QuiItemType type(QuiItemID("55861572-ea6a-11d2-a0e6-00104b9522aa"), "Contacts", new COzuContact);
    std::unique_ptr<QuiItem> item(type.newItem(QuiItemID("abc")));
    ASSERT_NE(nullptr, dynamic_cast<COzuContact*>(item.get()));
    EXPECT_EQ(&type, item->getType());
    EXPECT_FALSE(static_cast<COzuContact*>(item.get())->HasFields());
}

TEST(PimItems, NotesContactLine)
{
    struct Row {
        const char* what;
        const char *first, *last, *company, *phone, *fax, *email;
        const char* line;
    } rows[] = {
        {"all empty", "", "", "", "", "", "", "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\","},
        {"every edit", "Ann", "Lee", "Acme", "555-1", "555-2", "ann@acme.example",
         "\"\",\"Ann\",\"Lee\",\"Acme\",\"555-1\",\"555-2\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\","
         "\"ann@acme.example\",\"\","},
        {"a quote inside", "A\"B", "", "", "", "", "",
         "\"\",\"A\"\"B\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\","},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_STREQ(row.line,
                     OzuNewContactDlg::BuildContactLine(row.first, row.last, row.company, row.phone, row.fax, row.email));
    }
}

TEST(PimItems, CalendarKindOfTheProfileEntryType)
{
    // What the Notes server answers for the profile's entry type is the
    // kind's SubType bit in decimal; a bare Notes entry type maps to it too.
    struct Row {
        long value;
        int bit;
    } rows[] = {
        {256, 0x100}, {512, 0x200}, {1024, 0x400}, {2048, 0x800}, {4096, 0x1000},
        {0, 0x100},   {3, 0x800},   {4, 0x1000},   {5, 0},        {-1, 0},
        {300, 0},     {8192, 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.bit, COzuDatastore::EntryTypeBit(row.value)) << row.value;
}

TEST(PimItems, OutlookServerFileByVersion)
{
    struct Row {
        const char* version;
        const char* file;
    } rows[] = {
        {"9.0.0.3821", "Plover.dll"}, {"8.5.7806", "Plover.dll"}, {"8.50", "Plover.dll"},
        {"8.0.0.4212", "Plover97.dll"}, {"8.49", "Plover97.dll"}, {"", "Plover97.dll"},
        {"unknown", "Plover97.dll"}, {"10", "Plover.dll"},
    };
    for (const Row& row : rows)
        EXPECT_STREQ(row.file, CRukDatastore::ServerFileFor(row.version)) << row.version;
}

} // namespace
