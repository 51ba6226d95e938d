#include "Slots.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace osprey;

namespace {

struct SlotsDeleter {
    void operator()(Slots* s) const { SlotsDeinit(s); }
};
using SlotsPtr = std::unique_ptr<Slots, SlotsDeleter>;

SlotsPtr MakeSlots()
{
    return SlotsPtr(SlotsInit());
}

} // namespace

TEST(Slots, GettersByKind)
{
    SlotsPtr s = MakeSlots();
    const unsigned char bytes[] = {1, 2, 3};
    SlotsSetInt(s.get(), 1, 7);
    SlotsSetString(s.get(), 2, W("Park").c_str());
    SlotsSetData(s.get(), 3, 3, bytes);
    struct Row { int id; int has; int value; const char* text; int dataLength; } rows[] = {
        {1, 1, 7, "", 0},
        {2, 1, 0, "Park", 0},
        {3, 1, 0, "", 3},
        {4, 0, 0, "", 0},
        {-1, 0, 0, "", 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.id);
        EXPECT_EQ(r.has, SlotsHasSlot(s.get(), r.id));
        EXPECT_EQ(r.value, SlotsGetInt(s.get(), r.id));
        const PRSWCHAR* text = SlotsGetString(s.get(), r.id);
        ASSERT_NE(nullptr, text);
        EXPECT_EQ(r.text, Narrow(text));
        const void* out = &rows;
        EXPECT_EQ(r.dataLength, SlotsGetData(s.get(), r.id, &out));
        if (r.dataLength)
            EXPECT_EQ(0, std::memcmp(bytes, out, 3));
        else
            EXPECT_EQ(static_cast<const void*>(&rows), out) << "out pointer left alone";
    }
    ASSERT_NE(nullptr, SlotsGetString(nullptr, 1));
    EXPECT_EQ(0, SlotsGetString(nullptr, 1)[0]);
}

TEST(Slots, KeptSortedWithoutDuplicateIds)
{
    SlotsPtr s = MakeSlots();
    for (int id : {5, 1, 65531, 3, 1, -2})
        SlotsSetInt(s.get(), id, id * 10);
    std::vector<int> ids;
    for (const SlotRecord& r : s->records)
        ids.push_back(r.id);
    EXPECT_EQ((std::vector<int>{-2, 1, 3, 5, 65531}), ids);
    EXPECT_EQ(10, SlotsGetInt(s.get(), 1));
    EXPECT_EQ(s.get(), SlotsClear(s.get()));
    EXPECT_EQ(0, SlotsHasSlot(s.get(), 1));
    SlotsDeinit(nullptr);
}

TEST(Slots, RefusesBadData)
{
    SlotsPtr s = MakeSlots();
    EXPECT_EQ(0, SlotsSetData(s.get(), 1, -1, "x"));
    EXPECT_EQ(0, SlotsSetData(s.get(), 1, 2, nullptr));
    EXPECT_EQ(0, SlotsHasSlot(s.get(), 1));
    EXPECT_EQ(0, SlotsSetData(s.get(), 1, 0, nullptr));
    EXPECT_EQ(1, SlotsHasSlot(s.get(), 1));
    const PRSWCHAR* empty = SlotsSetString(s.get(), 2, nullptr);
    ASSERT_NE(nullptr, empty);
    EXPECT_EQ(0, empty[0]);
    EXPECT_EQ(2, s->Find(2)->value.Length()) << "terminator only";
}

TEST(Slots, CopiesShareBlocksThatOutliveAnOverwrite)
{
    Slots a;
    SlotsSetString(&a, 2, W("Main Street").c_str());
    Slots b = a;
    const PRSWCHAR* shared = SlotsGetString(&b, 2);
    EXPECT_EQ(SlotsGetString(&a, 2), shared) << "one block, two holders";
    SlotsSetInt(&a, 2, 9);
    EXPECT_EQ(0, SlotsGetString(&a, 2)[0]);
    EXPECT_EQ("Main Street", Narrow(shared));
    EXPECT_EQ(0, SlotsGetInt(&b, 2)) << "a string slot reads as integer 0";
    SlotsSetString(&b, 2, W("x").c_str());
    EXPECT_EQ("x", Narrow(SlotsGetString(&b, 2)));
}

TEST(Slots, SetEquality)
{
    auto ints = [](std::initializer_list<std::pair<int, int>> values) {
        Slots s;
        for (auto v : values)
            SlotsSetInt(&s, v.first, v.second);
        return s;
    };
    auto data = [](int id, std::vector<unsigned char> bytes) {
        Slots s;
        SlotsSetData(&s, id, static_cast<int>(bytes.size()), bytes.data());
        return s;
    };
    auto text = [](int id, const char* t) {
        Slots s;
        SlotsSetString(&s, id, W(t).c_str());
        return s;
    };
    struct Row { const char* what; Slots a, b; bool equal; } rows[] = {
        {"same ids and values", ints({{1, 3}, {2, 4}}), ints({{2, 4}, {1, 3}}), true},
        {"same values, other ids", ints({{1, 3}, {2, 4}}), ints({{1, 3}, {5, 4}}), false},
        {"one more record", ints({{1, 3}}), ints({{1, 3}, {2, 4}}), false},
        {"empty sets", Slots(), Slots(), true},
        {"integer against text", ints({{1, 0}}), text(1, ""), false},
        {"equal texts", text(1, "Park"), text(1, "Park"), true},
        {"texts of other case", text(1, "Park"), text(1, "park"), false},
        {"data prefix", data(1, {1, 2}), data(1, {1, 2, 3}), false},
        {"longer data first", data(1, {1, 2, 3}), data(1, {1, 2}), false},
        {"equal data", data(1, {0, 9}), data(1, {0, 9}), true},
        {"text against data of its bytes", text(1, "a"), data(1, {'a', 0, 0, 0}), false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(r.equal, SlotSetsEqual(r.a.Span(), r.b.Span()));
        EXPECT_EQ(r.equal, SlotSetsEqual(r.b.Span(), r.a.Span()));
    }
}

TEST(Slots, RangeTest)
{
    auto I = [](int v) { return SlotValue::Int(v); };
    auto T = [](const char* t) { WText w = W(t); return SlotValue::String(w.data(), w.size()); };
    auto D = [](std::vector<unsigned char> b) { return SlotValue::Data(b.data(), static_cast<uint32_t>(b.size())); };
    const SlotValue open;
    struct Row { const char* what; SlotValue v, low, high; bool in; } rows[] = {
        {"below", I(0), I(1), I(12), false},
        {"low bound", I(1), I(1), I(12), true},
        {"high bound", I(12), I(1), I(12), true},
        {"above", I(13), I(1), I(12), false},
        {"negative", I(-5), I(-10), I(-1), true},
        {"open low", I(-1000), open, I(5), true},
        {"open high", I(1000), I(5), open, true},
        {"both open", T("x"), open, open, true},
        {"kind differs from low", T("5"), I(1), I(12), false},
        {"kind differs from high", I(5), open, T("z"), false},
        {"text between", T("march"), T("jan"), T("may"), true},
        {"text above", T("zulu"), T("jan"), T("may"), false},
        {"data prefix sorts first", D({1, 2}), D({1, 2, 0}), D({9}), false},
        {"data between", D({1, 2, 3}), D({1, 2}), D({1, 3}), true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(r.in, InRange(r.v, r.low, r.high));
    }
}

TEST(Slots, AppendText)
{
    struct Row { const char* what; int oldKind; const char* old; const char* appended; const char* expected; } rows[] = {
        {"to a missing slot", 0, "", "Park", "Park"},
        {"a comma", 2, "Park", ",", "Park,"},
        {"a word", 2, "Park", "Street", "Park Street"},
        {"punctuation first", 2, "Park", "-side", "Park-side"},
        {"nothing", 2, "Park", "", "Park"},
        {"over an integer", 1, "", "Park", "Park"},
        {"to an empty text", 2, "", "x", " x"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Slots s;
        if (r.oldKind == 1)
            SlotsSetInt(&s, 4, 12);
        if (r.oldKind == 2)
            SlotsSetString(&s, 4, W(r.old).c_str());
        WText add = W(r.appended);
        s.AppendText(4, add.data(), add.size());
        EXPECT_EQ(r.expected, Narrow(SlotsGetString(&s, 4)));
        if (!*r.appended && r.oldKind == 0) {
            EXPECT_EQ(0, SlotsHasSlot(&s, 4));
        }
    }
}
