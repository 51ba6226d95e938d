// The lines the library hands back: each field quoted, quotes inside doubled.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PalmLines.h"

namespace {

const char kEmail[] = "E-Mail:";

struct Entry {
    const char* label;
    const char* value;
    int shown;
};

CONTACTITEM Contact(const char* first, const char* last, const char* company, int id, std::vector<Entry> entries)
{
    CONTACTITEM contact;
    contact.SetText(CONTACTITEM::FirstName, first);
    contact.SetText(CONTACTITEM::LastName, last);
    contact.SetText(CONTACTITEM::Company, company);
    contact.recordId = id;
    for (size_t i = 0; i < entries.size(); ++i) {
        contact.Email(static_cast<int>(i)).SetLabel(entries[i].label);
        contact.Email(static_cast<int>(i)).SetValue(entries[i].value);
        contact.Email(static_cast<int>(i)).shown = entries[i].shown;
    }
    return contact;
}

DateBookItem Appointment(double start, double end, int advance, int unit, const char* description)
{
    DateBookItem item;
    item.start = start;
    item.end = end;
    item.alarmAdvance = advance;
    item.alarmUnit = unit;
    item.description = description;
    return item;
}

// 2025-12-08 (day 46000) at the given time.
double At(int hour, int minute, int day = 46000)
{
    return day + (hour * 60 + minute) / 1440.0;
}

} // namespace

TEST(PalmLines, CategoryLines)
{
    struct Row {
        const char* name;
        long id;
        std::string line;
    } rows[] = {
        {"Work", 7, "\"Work\",\"0##7\""},
        {"Unfiled", 0, "\"Unfiled\",\"0##0\""},
        {"Bob's \"A\"", 3, "\"Bob's \"\"A\"\"\",\"0##3\""},
    };
    for (const Row& row : rows) {
        CategoryInfo category;
        category.id = row.id;
        category.name = row.name;
        EXPECT_EQ(row.line, std::string(CategoryLine(category))) << row.name;
    }
}

TEST(PalmLines, ContactLinesGiveTheShownEntryAndTheEmails)
{
    struct Row {
        const char* name;
        CONTACTITEM contact;
        const char* emailLabel;
        std::string line;
    } rows[] = {
        {"no e-mail, quotes in the company",
         Contact("Ann", "Lee", "Acme \"Tools\" \"Inc\"", 12, {{"Work:", "555-1", 0}, {"Home:", "555-2", 0}}), kEmail,
         "\"Ann\",\"Lee\",\"Acme \"\"Tools\"\" \"\"Inc\"\"\",\"12\",\"\",\"\",\"\",\"\",\"\",\"\",\"\""},
        {"shown second entry is the e-mail",
         Contact("Ann", "Lee", "", 3, {{"Work:", "555-1", 0}, {"E-Mail:", "ann@x", 1}}), kEmail,
         "\"Ann\",\"Lee\",\"\",\"3\",\"ann@x\",\"ann@x\",\"\",\"ann@x\",\"\",\"\",\"\""},
        {"shown phone, e-mail further down",
         Contact("", "", "Acme", 4,
                 {{"Work:", "555-1", 1}, {"Home:", "555-2", 0}, {"Fax:", "", 0}, {"E-Mail:", "sales@acme", 0},
                  {"E-Mail:", "info@acme", 0}}),
         kEmail,
         "\"\",\"\",\"Acme\",\"4\",\"555-1\",\"sales@acme\",\"\",\"\",\"\",\"sales@acme\",\"info@acme\""},
        {"an entry labelled in other case is found but is no e-mail",
         Contact("Bo", "", "", 5, {{"e-mail:", "bo@lower", 0}, {"Home:", "", 0}, {"E-Mail:", "bo@x", 0}}), kEmail,
         "\"Bo\",\"\",\"\",\"5\",\"\",\"\",\"\",\"\",\"bo@x\",\"\",\"\""},
        {"no label list",
         Contact("Bo", "", "", 6, {{"", "x", 0}, {"E-Mail:", "bo@x", 1}}), "",
         "\"Bo\",\"\",\"\",\"6\",\"bo@x\",\"\",\"\",\"\",\"\",\"\",\"\""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.line, std::string(ContactLine(row.contact, row.emailLabel))) << row.name;
}

TEST(PalmLines, DayLinesGiveTheAlarmMoment)
{
    struct Row {
        const char* name;
        DateBookItem appointment;
        std::string line;
    } rows[] = {
        {"no alarm", Appointment(At(10, 0), At(11, 0), -1, PalmAlarmMinutes, "Dentist"),
         "\"46000.4166667\",\"46000.4583333\",\"-1.0000000\",\"1\",\"Dentist\""},
        {"minutes", Appointment(At(10, 0), At(11, 0), 5, PalmAlarmMinutes, "Call"),
         "\"46000.4166667\",\"46000.4583333\",\"46000.4201389\",\"1\",\"Call\""},
        // The moved minute runs past the hour: the moment carries on.
        {"minutes into the next hour", Appointment(At(10, 50), At(11, 0), 15, PalmAlarmMinutes, "Late"),
         "\"46000.4513889\",\"46000.4583333\",\"46000.4618056\",\"1\",\"Late\""},
        {"hours into the next day", Appointment(At(23, 0), At(23, 30), 2, PalmAlarmHours, "Night"),
         "\"46000.9583333\",\"46000.9791667\",\"46001.0416667\",\"1\",\"Night\""},
        {"days", Appointment(At(10, 50), At(11, 0), 1, PalmAlarmDays, "Trip"),
         "\"46000.4513889\",\"46000.4583333\",\"46001.4513889\",\"1\",\"Trip\""},
        {"unknown unit", Appointment(At(10, 50), At(11, 0), 3, 7, "Odd"),
         "\"46000.4513889\",\"46000.4583333\",\"46000.4513889\",\"1\",\"Odd\""},
        {"quotes in the description", Appointment(At(0, 0), At(1, 0), -1, PalmAlarmMinutes, "Say \"hi\""),
         "\"46000.0000000\",\"46000.0416667\",\"-1.0000000\",\"1\",\"Say \"\"hi\"\"\""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.line, std::string(DayLine(row.appointment))) << row.name;
}

TEST(PalmLines, FieldOrderBlocks)
{
    const std::vector<BYTE> contact(kContactFieldOrder, kContactFieldOrder + sizeof kContactFieldOrder);
    EXPECT_EQ((std::vector<BYTE>{0x0B, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x0A, 0x62, 0x63}), contact);
    EXPECT_EQ(contact.size() - 1, static_cast<size_t>(contact[0])) << "the first byte counts the fields";
    const std::vector<BYTE> category(kCategoryFieldOrder, kCategoryFieldOrder + sizeof kCategoryFieldOrder);
    EXPECT_EQ((std::vector<BYTE>{0x02, 0x01, 0x02}), category);
}

TEST(PalmLines, ListsKeepTheLinesInOrder)
{
    struct Row {
        std::vector<const char*> lines;
    } rows[] = {{{}}, {{"one"}}, {{"\"b\"", "\"a\"", "\"\xE9t\xE9\""}}};
    for (const Row& row : rows) {
        CStringArray lines;
        for (const char* line : row.lines)
            lines.Add(line);
        VARIANT list;
        list.vt = VT_I4;   // an out argument: what it held is not freed
        ASSERT_TRUE(FillLineList(&list, lines));
        ASSERT_EQ(VT_ARRAY | VT_BSTR, list.vt);
        LONG low = -1, high = -2;
        SafeArrayGetLBound(list.parray, 1, &low);
        SafeArrayGetUBound(list.parray, 1, &high);
        EXPECT_EQ(0, low);
        ASSERT_EQ(static_cast<LONG>(row.lines.size()) - 1, high);
        for (LONG i = 0; i <= high; ++i) {
            BSTR text = nullptr;
            SafeArrayGetElement(list.parray, &i, &text);
            wchar_t expected[64] = L"";
            MultiByteToWideChar(CP_ACP, 0, row.lines[static_cast<size_t>(i)], -1, expected, 64);
            EXPECT_STREQ(expected, text);
            SysFreeString(text);
        }
        VariantClear(&list);
    }
}
