#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "AllocationLimit.h"
#include "ArchiveBytes.h"
#include "WebActionList.h"
#include "WebTestSupport.h"

namespace {

CWebActionJug Filled(int id, const char* text)
{
    CWebActionJug jug;
    jug.m_nId = id;
    jug.m_strText = text;
    for (int i = 0; i < CONTACTITEM::TEXT_COUNT; ++i)
        jug.m_contact.SetText(i, ("t" + std::to_string(i)).c_str());
    for (int i = 0; i < CONTACTITEM::EMAIL_COUNT; ++i) {
        jug.m_contact.Email(i).SetValue(("e" + std::to_string(i)).c_str());
        jug.m_contact.Email(i).SetLabel(i ? "work" : "email");
        jug.m_contact.Email(i).shown = i + 1;
    }
    jug.m_contact.SetName("name block");
    jug.m_contact.recordId = 9;
    jug.SetParameter("querystring", "garden hose");
    jug.SetParameter("email", "ann@example.com");
    jug.m_nConnectorIndex = 3;
    jug.m_nSubtypeIndex = 1;
    // A flag the program does not name is kept as it is.
    jug.m_nFlags = 0x4;
    jug.m_strNote = "note";
    jug.m_dtStartDate = 36526.0;
    jug.m_dtEndDate = 36527.0;
    jug.m_dtStartTime = 0.5;
    jug.m_dtEndTime = 0.75;
    jug.m_strConnectorName = "Web Search";
    jug.m_strSubtypeName = "search the web";
    return jug;
}

// What the offline list keeps and the cache gives back.
void ExpectQueuedFields(const CWebActionJug& expected, const CWebActionJug& actual, bool wholeContact)
{
    EXPECT_EQ(expected.m_nId, actual.m_nId);
    EXPECT_EQ(expected.m_strText, actual.m_strText);
    EXPECT_EQ(expected.m_nConnectorIndex, actual.m_nConnectorIndex);
    EXPECT_EQ(expected.m_nSubtypeIndex, actual.m_nSubtypeIndex);
    for (int i = 0; i < CONTACTITEM::TEXT_COUNT; ++i)
        EXPECT_STREQ(expected.m_contact.GetText(i), actual.m_contact.GetText(i)) << "text " << i;
    for (int i = 0; i < CONTACTITEM::EMAIL_COUNT; ++i) {
        EXPECT_STREQ(expected.m_contact.Email(i).GetValue(), actual.m_contact.Email(i).GetValue());
        EXPECT_STREQ(expected.m_contact.Email(i).GetLabel(), actual.m_contact.Email(i).GetLabel());
        EXPECT_EQ(expected.m_contact.Email(i).shown, actual.m_contact.Email(i).shown);
    }
    if (wholeContact) {
        EXPECT_STREQ(expected.m_contact.GetName(), actual.m_contact.GetName());
        EXPECT_EQ(expected.m_contact.recordId, actual.m_contact.recordId);
    }
}

void ExpectFreshRest(const CWebActionJug& jug)
{
    EXPECT_TRUE(jug.m_parameters.empty());
    EXPECT_EQ(0u, jug.m_nFlags);
    EXPECT_EQ(-1.0, jug.m_dtStartDate);
    EXPECT_EQ(-1.0, jug.m_dtEndDate);
    EXPECT_EQ(-1.0, jug.m_dtStartTime);
    EXPECT_EQ(-1.0, jug.m_dtEndTime);
}

// What a whole copy carries beyond operator=: everything needed to send the
// action later as it would have gone at once.
void ExpectWholeRest(const CWebActionJug& expected, const CWebActionJug& actual)
{
    ASSERT_EQ(expected.m_parameters.size(), actual.m_parameters.size());
    for (size_t i = 0; i < expected.m_parameters.size(); ++i) {
        EXPECT_EQ(expected.m_parameters[i].m_strName, actual.m_parameters[i].m_strName);
        EXPECT_EQ(expected.m_parameters[i].m_strValue, actual.m_parameters[i].m_strValue);
    }
    EXPECT_EQ(expected.m_nFlags, actual.m_nFlags);
    EXPECT_EQ(expected.m_strNote, actual.m_strNote);
    EXPECT_EQ(expected.m_dtStartDate, actual.m_dtStartDate);
    EXPECT_EQ(expected.m_dtEndDate, actual.m_dtEndDate);
    EXPECT_EQ(expected.m_dtStartTime, actual.m_dtStartTime);
    EXPECT_EQ(expected.m_dtEndTime, actual.m_dtEndTime);
    EXPECT_EQ(expected.m_strConnectorName, actual.m_strConnectorName);
    EXPECT_EQ(expected.m_strSubtypeName, actual.m_strSubtypeName);
}

TEST(CWebActionJug, KeepsEveryParameterInTheOrderSet)
{
    CWebActionJug jug;
    jug.SetParameter("email", "a@example.com");
    jug.SetParameter("EMAIL", "b@example.com");
    jug.SetParameter("email", "c@example.com");
    ASSERT_EQ(3u, jug.m_parameters.size());
    EXPECT_STREQ("a@example.com", jug.m_parameters[0].m_strValue);
    EXPECT_STREQ("EMAIL", jug.m_parameters[1].m_strName);
    EXPECT_STREQ("c@example.com", jug.m_parameters[2].m_strValue);
}

TEST(CWebActionJug, CopiesTheIdProfileTextAndIndexesOnly)
{
    const CWebActionJug original = Filled(4, "carried");
    CWebActionJug constructed(original);
    CWebActionJug assigned = Filled(8, "old");
    assigned = original;
    for (const CWebActionJug* copy : {&constructed, &assigned}) {
        ExpectQueuedFields(original, *copy, true);
        EXPECT_STREQ("", constructed.m_strNote);
    }
    ExpectFreshRest(constructed);
    EXPECT_STREQ("", constructed.m_strConnectorName);
    // Assignment leaves the rest as it was.
    EXPECT_EQ(2u, assigned.m_parameters.size());
    EXPECT_STREQ("note", assigned.m_strNote);

    CWebActionJug whole = Filled(8, "old");
    whole.SetParameter("more", "x");
    whole.CopyWhole(original);
    ExpectQueuedFields(original, whole, true);
    ExpectWholeRest(original, whole);
}

Bytes Stored(std::initializer_list<const CWebActionJug*> jugs, bool ended = true)
{
    return StoredBytes([&](CArchive& ar) {
        for (const CWebActionJug* jug : jugs)
            ar << jug;
        if (ended)
            ar << static_cast<CObject*>(nullptr);
    });
}

TEST(CWebActionJug, IsStoredFieldForFieldAndReadBack)
{
    // A parameter named as a field of the action's own is never stored, and
    // a kept action never opens the browser hidden.
    CWebActionJug jug = Filled(5, "carried");
    jug.m_nFlags |= CWebActionJug::flagNoShow;
    jug.SetParameter("$:connector", "Elsewhere");
    Bytes bytes = Stored({&jug});
    const CWebActionJug expected = Filled(5, "carried");
    // Ten pairs: the layout, the flags, four dates, two names, two parameters.
    const std::string head = "\xFF\xFF\x01\x00\x0D\x00" "CWebActionJug" "\x05\x00\x00\x00" "\x07" "carried"
                             "\x14\x00\x00\x00" "\x08" "$:layout" "\x01" "2" "\x07" "$:flags" "\x01" "5"
                             "\x0B" "$:startdate" "\x10" "40E1D5C000000000";
    EXPECT_EQ(Bytes(head.begin(), head.end()), Bytes(bytes.begin(), bytes.begin() + static_cast<long>(head.size())));

    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CWebActionJug* read = nullptr;
    ar >> read;
    std::unique_ptr<CWebActionJug> own(read);
    ASSERT_TRUE(read);
    ExpectQueuedFields(expected, *read, false);
    ExpectWholeRest(expected, *read);
    CObject* end = read;
    ar >> end;
    EXPECT_EQ(nullptr, end);
    EXPECT_EQ(0u, ar.BytesLeft());
}

TEST(CWebActionList, NumbersWhatItKeepsAndWritesTheNumberBack)
{
    const std::string path = TestFileName(".dat");
    std::remove(path.c_str());
    CWebActionList list(path.c_str());
    CWebActionJug first = Filled(0, "first"), second = Filled(0, "second"), never = Filled(0, "never");
    never.m_nFlags = CWebActionJug::flagNoQueue | CWebActionJug::flagNoShow;
    EXPECT_EQ(1, list.Add(first));
    EXPECT_EQ(0, list.Add(never));
    EXPECT_EQ(2, list.Add(second));
    EXPECT_EQ(1, first.m_nId);
    EXPECT_EQ(2, second.m_nId);
    EXPECT_EQ(0, never.m_nId);
    ASSERT_TRUE(list.Find(2));
    ExpectQueuedFields(second, *list.Find(2), true);
    ExpectWholeRest(second, *list.Find(2));
    EXPECT_EQ(nullptr, list.Find(3));

    // An id given once is never given again while its entry is held.
    EXPECT_EQ(1, list.Remove(1));
    EXPECT_EQ(1, list.Remove(7));
    CWebActionJug third = Filled(0, "third");
    EXPECT_EQ(2, list.Add(third));
    EXPECT_EQ(3, third.m_nId);
    EXPECT_STREQ("second", list.Find(2)->m_strText);
    std::remove(path.c_str());
}

struct CacheCase {
    const char* what;
    Bytes bytes;
    std::vector<const char*> texts;   // of the actions kept, in order
    size_t parameters = 2;            // of the first one
};

Bytes ClassTag(const std::string& name, BYTE schema)
{
    Bytes tag = {0xFF, 0xFF, schema, 0x00, static_cast<BYTE>(name.size()), 0x00};
    tag.insert(tag.end(), name.begin(), name.end());
    return tag;
}

// A stored action's fields up to its count of texts to skip: id 1 and text.
Bytes Head(const std::string& text, const Bytes& skipCount)
{
    Bytes fields = {0x01, 0x00, 0x00, 0x00, static_cast<BYTE>(text.size())};
    fields.insert(fields.end(), text.begin(), text.end());
    fields.insert(fields.end(), skipCount.begin(), skipCount.end());
    return fields;
}

// The fields behind the skipped texts: the indexes, an empty note, fourteen
// empty texts and five empty e-mail entries.
Bytes Tail()
{
    Bytes fields = {0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00};
    fields.insert(fields.end(), CONTACTITEM::TEXT_COUNT, 0x00);
    for (int i = 0; i < CONTACTITEM::EMAIL_COUNT; ++i)
        fields.insert(fields.end(), {0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    return fields;
}

TEST(CWebActionList, LoadsWhatTheCacheHoldsUpToWhereItIsDamaged)
{
    const CWebActionJug a = Filled(1, "a"), b = Filled(2, "b");
    const Bytes good = Stored({&a, &b});
    const Bytes one = Stored({&a}, false);
    const Bytes end = {0x00, 0x00};
    const Bytes jugClass = ClassTag("CWebActionJug", 1);
    const CWebActionJug again = Filled(1, "again");
    const Bytes old = {0x01, 'x', 0x0B, 'q', 'u', 'e', 'r', 'y', 's', 't', 'r', 'i', 'n', 'g', 0x03, 'o', 'l', 'd'};
    const CacheCase cases[] = {
        {"two and the end", good, {"a", "b"}},
        {"an id read twice is given a new one", Stored({&a, &again}), {"a", "again"}},
        {"texts of a layout from before", Concat({jugClass, Head("o", {0x03, 0, 0, 0}), old, Tail(), end}), {"o"}, 0},
        {"pairs of a layout from before", Concat({jugClass, Head("p", {0x02, 0, 0, 0}),
                                                  Bytes(old.begin() + 2, old.end()), Tail(), end}), {"p"}, 0},
        {"no end mark", Stored({&a, &b}, false), {"a", "b"}},
        {"cut inside the second", Bytes(good.begin(), good.begin() + static_cast<long>(one.size() + 9)), {"a"}},
        {"the first again by its index", Concat({one, {0x02, 0x00}, end}), {"a"}},
        {"hand-made", Concat({jugClass, Head("h", {0, 0, 0, 0}), Tail(), end}), {"h"}, 0},
        {"another class", Concat({ClassTag("CWebActionJux", 1), Head("h", {0, 0, 0, 0}), Tail(), end}), {}},
        {"another schema", Concat({ClassTag("CWebActionJug", 2), Head("h", {0, 0, 0, 0}), Tail(), end}), {}},
        {"a text of two gigabytes", Concat({jugClass, {0x01, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0x7F}}), {}},
        {"a text of four gigabytes", Concat({jugClass, {0x01, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}), {}},
        {"two billion texts to skip", Concat({jugClass, Head("h", {0xFF, 0xFF, 0xFF, 0x7F}), Tail(), end}), {}},
        {"a negative count skips nothing", Concat({jugClass, Head("n", {0xFB, 0xFF, 0xFF, 0xFF}), Tail(), end}), {"n"}, 0},
        {"empty", {}, {}},
    };
    for (const CacheCase& c : cases) {
        SCOPED_TRACE(c.what);
        CWebActionList list(TestFileName(".dat").c_str());
        CMemFile file(c.bytes.data(), static_cast<UINT>(c.bytes.size()));
        CArchive ar(&file, CArchive::load, 4096);
        ASSERT_EQ(static_cast<int>(c.texts.size()), list.LoadCache(ar));
        for (size_t i = 0; i < c.texts.size(); ++i) {
            const CWebActionJug* read = list.Find(static_cast<int>(i) + 1);
            ASSERT_TRUE(read);
            EXPECT_STREQ(c.texts[i], read->m_strText);
        }
        if (!c.texts.empty()) {
            EXPECT_EQ(c.parameters, list.GetActions().front().m_parameters.size());
        }
    }
}

TEST(CWebActionList, LoadsTheCacheFileAndNothingWhenItIsMissing)
{
    const CWebActionJug a = Filled(1, "a"), b = Filled(2, "b");
    const Bytes good = Stored({&a, &b});
    const std::string path = TestFileName(".dat");
    WriteBytes(path, std::string(good.begin(), good.end()));
    CWebActionList list((path + ".own").c_str());
    EXPECT_EQ(2, list.LoadCache(path.c_str()));
    ExpectQueuedFields(b, *list.Find(2), false);
    std::remove(path.c_str());
    EXPECT_EQ(2, list.LoadCache(path.c_str()));
}

struct WriteCase {
    const char* what;
    const char* before;                  // the file first: "good", "cut", "" for none, "nowhere" for none in a folder not there
    std::vector<const char*> added;
    int removed;                         // an id, 0 for none
    std::vector<const char*> reloaded;   // the texts a list made afterwards holds
    bool saved;
    bool aside;                          // the file from before was moved aside, as it was
    bool held = false;                   // another program holds the file (share mode 0) at load, then lets it go
    bool otherWriter = false;            // another writer's temporary file stands beside the target
};

// Memory that runs out while an entry is kept: no half entry stays to be
// sent again, and a write that failed is not taken as saved.
TEST(CWebActionList, AnAllocationFailureLeavesNoHalfEntryAndNothingMarkedSaved)
{
    const std::string path = TestFileName(".dat");
    std::remove(path.c_str());
    const std::string big(256 << 10, 'x');
    CWebActionList list(path.c_str());
    CWebActionJug first = Filled(0, big.c_str());
    list.Add(first);
    ASSERT_TRUE(list.IsCacheSaved());
    {
        CWebActionJug second = Filled(0, big.c_str());
        FailingAllocations scarce(128 << 10);
        EXPECT_THROW(list.Add(second), std::bad_alloc);
    }
    EXPECT_EQ(1u, list.GetActions().size()) << "a half entry stayed";
    CWebActionJug small = Filled(0, "small");
    list.Add(small);
    {
        FailingAllocations scarce(128 << 10);
        EXPECT_NO_THROW(list.Remove(small.m_nId));
    }
    EXPECT_FALSE(list.IsCacheSaved()) << "the exit would skip the write";
    EXPECT_TRUE(list.SaveCache());
    EXPECT_EQ(1u, CWebActionList(path.c_str()).GetActions().size());
    std::remove(path.c_str());
}

TEST(CWebActionList, EveryChangeIsWrittenAndNothingUnreadIsWrittenOver)
{
    const CWebActionJug a = Filled(1, "a"), b = Filled(2, "b");
    const Bytes good = Stored({&a, &b});
    const Bytes cut(good.begin(), good.end() - 5);
    const WriteCase cases[] = {
        {"added to no file", "", {"c", "d"}, 0, {"c", "d"}, true, false},
        {"one taken out", "", {"c", "d"}, 1, {"d"}, true, false},
        {"added to a file read whole", "good", {"c"}, 0, {"a", "b", "c"}, true, false},
        {"taken out of a file read whole", "good", {}, 2, {"a"}, true, false},
        {"added to a file cut short", "cut", {"c"}, 0, {"a", "c"}, true, true},
        {"a folder that is not there", "nowhere", {"c"}, 0, {}, false, false},
        {"beside another writer's temporary file", "", {"c"}, 0, {"c"}, true, false, false, true},
#ifdef _WIN32
        {"added to a file held at load", "good", {"c"}, 0, {"c", "a", "b"}, false, false, true},
#endif
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = c.before == std::string("nowhere") ? TestFileName("-nowhere") + "/cache.dat"
                                                                    : TestFileName(".dat");
        std::remove(path.c_str());
        std::remove((path + ".unread1").c_str());
        const std::string before = c.before == std::string("good") ? std::string(good.begin(), good.end())
                                   : c.before == std::string("cut") ? std::string(cut.begin(), cut.end())
                                                                    : std::string();
        if (!before.empty())
            WriteBytes(path, before);
        const std::string others = path + ".tmp";
        if (c.otherWriter)
            WriteBytes(others, "being written");
        {
#ifdef _WIN32
            HANDLE holder = c.held ? CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                   : INVALID_HANDLE_VALUE;
#endif
            CWebActionList list(path.c_str());
            for (const char* text : c.added) {
                CWebActionJug action = Filled(0, text);
                list.Add(action);
            }
            if (c.removed)
                list.Remove(c.removed);
            EXPECT_EQ(c.saved, list.IsCacheSaved() != FALSE);
            EXPECT_EQ(c.aside, !list.GetKeptAside().IsEmpty());
            EXPECT_EQ(c.held, list.IsCacheHeld() != FALSE);
#ifdef _WIN32
            if (c.held) {
                ASSERT_NE(INVALID_HANDLE_VALUE, holder);
                CloseHandle(holder);
                EXPECT_EQ(before, ReadBytes(path)) << "written over while held";
                EXPECT_TRUE(list.ReadHeldCache());
                EXPECT_TRUE(list.IsCacheSaved());
            }
#endif
        }
        CWebActionList reloaded(path.c_str());
        ASSERT_EQ(c.reloaded.size(), reloaded.GetActions().size());
        auto read = reloaded.GetActions().begin();
        for (const char* text : c.reloaded) {
            EXPECT_STREQ(text, read->m_strText);
            ExpectWholeRest(Filled(0, text), *read++);
        }
        EXPECT_EQ(c.aside ? before : std::string(), ReadBytes(path + ".unread1"));
        if (c.otherWriter) {
            EXPECT_EQ("being written", ReadBytes(others));
            std::remove(others.c_str());
        }
        std::remove(path.c_str());
        std::remove((path + ".unread1").c_str());
    }
}

} // namespace
