// Reading a record of another make into the input records: names looked up
// through the cache, values of the wrong type skipped.
#include <gtest/gtest.h>

#include <string>

#include "HeronRecordNames.h"
#include "KeynoteReader.h"
#include "QuiFakeDispatch.h"

namespace {

using QuiComTesting::FakeDispatch;

TEST(KeynoteReader, CalendarRecordFromAnotherMake)
{
    std::wstring longNote(1500, L'n');
    FakeDispatch item({
        {L"Note", 40, longNote.c_str()},
        {L"Body", 41, L"Dentist"},
        {L"SubType", 42, 0x801L},
        {L"Contacts", 43, L"Mail01##names.nsf##12"},
        {L"Private", 44, 1L},       // a long, not a short: skipped
        {L"StartDate", 45, 5L},     // not a date: skipped
        {L"TaskCategory", 46, L"Business"},
        {L"Recipients", 47, 3L},    // not a text: nothing
    });
    GodwitDispIdCache cache(kHeronRecordNames, kHeronRecordNameCount);
    ASSERT_TRUE(cache.Fill(&item));
    NotesCalendarRecord record;
    KeynoteReader(&item, cache).ReadCalendar(&record);
    EXPECT_EQ(std::string(1500, 'n'), record.note);
    EXPECT_EQ("Dentist", record.body);
    EXPECT_EQ(0x801, record.SubTypeMask());
    EXPECT_EQ(0x800, record.GetSubType());
    ASSERT_EQ(1u, record.contacts.Count());
    EXPECT_EQ("Mail01##names.nsf##12", record.contacts[0]);
    EXPECT_EQ(0, record.isPrivate);
    EXPECT_EQ(0.0, record.start);
    EXPECT_EQ(0.0, record.end);
    ASSERT_EQ(1u, record.categories.Count());
    EXPECT_EQ("Business", record.categories[0]);
    EXPECT_EQ(0u, record.recipients.Count());
    EXPECT_EQ(99, record.priority);
}

}  // namespace
