// The last-check table, the records' sub-type masks and calendar kinds, and
// text lists read from VARIANTs.
#include <gtest/gtest.h>

#include <string>

#include "LastCheckTable.h"
#include "NotesContactRecord.h"
#include "NotesRecords.h"
#include "QuiComTesting.h"

namespace {

HeronTimeDate Time(DWORD low, DWORD high)
{
    return HeronTimeDate{{low, high}};
}

TEST(LastCheckTable, HashRows)
{
    struct Row {
        const char* key;
        uint32_t hash;
    } rows[] = {
        {"", 0u},
        {"A", 65u},
        {"AB", 65u * 33 + 66},
        {"\xE9", static_cast<uint32_t>(-23)},  // bytes are signed
        {"LASTCHECK_NTSCONTACTSDB", 0u},
    };
    uint32_t wrapped = 0;
    for (const char* p = "LASTCHECK_NTSCONTACTSDB"; *p; ++p)
        wrapped = wrapped * 33u + static_cast<unsigned char>(*p);
    rows[4].hash = wrapped;
    for (const Row& row : rows)
        EXPECT_EQ(row.hash, LastCheckTable::Hash(row.key)) << row.key;
}

TEST(LastCheckTable, CollidingKeysAreKeptApart)
{
    ASSERT_EQ(LastCheckTable::Hash("AB"), LastCheckTable::Hash("B!"));
    LastCheckTable table;
    table.Set("AB", Time(1, 2));
    table.Set("B!", Time(3, 4));
    ASSERT_EQ(2u, table.Size());
    EXPECT_EQ(3u, table.Get("B!").innards[0]);
    EXPECT_EQ(1u, table.Get("AB").innards[0]);
    table.Set("AB", Time(5, 6));
    EXPECT_EQ(2u, table.Size()) << "an existing key's time is replaced";
    EXPECT_EQ(6u, table.Get("AB").innards[1]);
    EXPECT_EQ(4u, table.Get("B!").innards[1]);
}

TEST(LastCheckTable, UnknownKeyGivesZeroTime)
{
    LastCheckTable table;
    table.Set("LASTCHECK_NTSCONTACTSDB", Time(7, 8));
    for (const char* key : {"", "lastcheck_ntscontactsdb", "mail\\alee.nsf", "LASTCHECK_NTSCONTACTSD"}) {
        EXPECT_EQ(nullptr, table.Find(key)) << key;
        HeronTimeDate none = table.Get(key);
        EXPECT_EQ(0u, none.innards[0]) << key;
        EXPECT_EQ(0u, none.innards[1]) << key;
    }
    ASSERT_NE(nullptr, table.Find("LASTCHECK_NTSCONTACTSDB"));
}

TEST(NotesRecords, SubTypeMasksByRecordKind)
{
    NotesItemRecord item;
    NotesMailRecord mail;
    NotesTodoRecord todo;
    NotesCalendarRecord calendar;
    NotesJournalRecord journal;
    NotesItemRecord* records[] = {&item, &mail, &todo, &calendar, &journal};
    LONG expected[] = {0x1A01, 0x1A01, 0x01, 0x1A00, 0x1A01};
    for (size_t i = 0; i < 5; ++i) {
        records[i]->SetSubType(0x1800);
        records[i]->AddSubType(0x201);
        EXPECT_EQ(expected[i], records[i]->GetSubType()) << i;
    }
    EXPECT_EQ(99, todo.priority);
    EXPECT_EQ(99, calendar.priority);
}

TEST(NotesRecords, AppointmentTypeBits)
{
    struct Row {
        LONG before;
        LONG type;
        LONG after;
        BYTE kind;
    } rows[] = {
        {0x100, 3, 0x900, CALENDAR_KIND_APPOINTMENT},  // two bits: an appointment
        {0, 4, 0x1000, CALENDAR_KIND_REMINDER},
        {0, 0, 0x100, CALENDAR_KIND_APPOINTMENT},
        {0, 1, 0x200, CALENDAR_KIND_ANNIVERSARY},
        {0, 2, 0x400, CALENDAR_KIND_ALL_DAY_EVENT},
        {0, 3, 0x800, CALENDAR_KIND_MEETING},
        {0x01, 2, 0x401, CALENDAR_KIND_ALL_DAY_EVENT},  // to-do bits are kept, and ignored
        {0x800, 5, 0x800, CALENDAR_KIND_MEETING},
        {0, -1, 0, CALENDAR_KIND_APPOINTMENT},
        {0x2000, 9, 0x2000, CALENDAR_KIND_APPOINTMENT},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.before) + " + " + std::to_string(row.type));
        NotesCalendarRecord record;
        record.SetSubType(row.before);
        AddAppointmentTypeBit(&record, row.type);
        EXPECT_EQ(row.after, record.SubTypeMask());
        EXPECT_EQ(row.kind, CalendarKindFromSubType(&record));
    }
}

TEST(NotesRecords, TextListFromVariants)
{
    using QuiComTesting::Variant;
    TextList list;
    Variant one(L"Business");
    list.AppendFrom(one);
    Variant array;
    array.vt = VT_ARRAY | VT_BSTR;
    array.parray = QuiComTesting::TextArray({L"a", L"", L"c\u00e9"});
    list.AppendFrom(array);
    Variant nullText;
    nullText.vt = VT_BSTR;
    list.AppendFrom(nullText);
    Variant number(5L);
    list.AppendFrom(number);
    Variant empty;
    list.AppendFrom(empty);
    ASSERT_EQ(4u, list.Count());
    EXPECT_EQ("Business", list[0]);
    EXPECT_EQ("", list[2]);
    EXPECT_EQ("c\xE9", list[3]) << "converted to the ANSI code page";

    Variant out(L"old");
    ASSERT_EQ(S_OK, list.ToVariant(&out));
    ASSERT_EQ(VT_ARRAY | VT_BSTR, out.vt);
    LONG upper = -1;
    SafeArrayGetUBound(out.parray, 1, &upper);
    EXPECT_EQ(3, upper);
}

// An array labelled as texts is read only when it holds texts: its elements
// would be taken for texts whatever they are.
TEST(NotesRecords, ArraysLabelledTextsThatHoldOtherThingsGiveNothing)
{
    struct Row {
        const char* what;
        VARTYPE holds;
        UINT dims;
    } rows[] = {
        {"variants", VT_VARIANT, 1},
        {"bytes", VT_UI1, 1},
        {"numbers", VT_I4, 1},
        {"texts in two dimensions", VT_BSTR, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SAFEARRAYBOUND bounds[2] = {{3, 0}, {3, 0}};
        QuiComTesting::Variant value;
        value.vt = VT_ARRAY | VT_BSTR;
        value.parray = SafeArrayCreate(row.holds, row.dims, bounds);
        ASSERT_NE(nullptr, value.parray);
        if (row.holds == VT_VARIANT) {
            LONG at = 0;
            QuiComTesting::Variant text(L"Business");
            SafeArrayPutElement(value.parray, &at, &text);
        }
        TextList list;
        list.AppendFrom(value);
        EXPECT_EQ(0u, list.Count());
    }
}

TEST(NotesRecords, ArrayLowerBoundIsNotConsulted)
{
    SAFEARRAYBOUND bound = {2, 5};
    SAFEARRAY* array = SafeArrayCreate(VT_BSTR, 1, &bound);
    LONG index = 5;
    SafeArrayPutElement(array, &index, QuiComTesting::Bstr(L"first"));
    QuiComTesting::Variant value;
    value.vt = VT_ARRAY | VT_BSTR;
    value.parray = array;
    TextList list;
    list.AppendFrom(value);
    ASSERT_EQ(2u, list.Count());
    EXPECT_EQ("first", list[0]);
    EXPECT_EQ("", list[1]);
}

}  // namespace

namespace {

TEST(NotesContactRecord, FieldNamesAndFieldsOfALine)
{
    EXPECT_STREQ("_ID_", NotesContactRecord::FieldName(0));
    EXPECT_STREQ("FullName", NotesContactRecord::FieldName(11));
    EXPECT_STREQ("_MODFICATIONS_", NotesContactRecord::FieldName(15));
    EXPECT_STREQ("", NotesContactRecord::FieldName(16));
    EXPECT_STREQ("", NotesContactRecord::FieldName(-1));

    struct Row {
        const char* line;
        int index;
        const char* field;
    } rows[] = {
        {"\"k\",\"Ann\",\"Lee\",", 1, "Ann"},
        {"\"k\",\"Ann\",\"Lee\",", 2, "Lee"},
        {"\"k\",\"Ann\",\"Lee\",", 3, ""},
        {"\"k\",\"A, \"\"B\"\"\",", 1, "A, \"B\""},
        {"", 0, ""},
        {"\"0\",\"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\"7\",\"8\",\"9\",\"10\",\"11\",\"12\",\"13\",\"14\",\"15\",\"16\",\"17\","
         "\"18\",\"19\",\"20\",",
         14, "14"},
        {"\"0\",\"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\"7\",\"8\",\"9\",\"10\",\"11\",\"12\",\"13\",\"14\",\"15\",\"16\",\"17\","
         "\"18\",\"19\",\"20\",",
         20, "20"},
    };
    for (const Row& row : rows) {
        NotesContactRecord record;
        record.line = row.line;
        EXPECT_EQ(row.field, record.Field(row.index)) << row.line << " " << row.index;
    }
}

}  // namespace
