#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

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
    jug.m_nFlags = CWebActionJug::flagNoShow;
    jug.m_strNote = "note";
    jug.m_dtStartDate = 36526.0;
    jug.m_dtEndDate = 36527.0;
    jug.m_dtStartTime = 0.5;
    jug.m_dtEndTime = 0.75;
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
    // Assignment leaves the rest as it was.
    EXPECT_EQ(2u, assigned.m_parameters.size());
    EXPECT_STREQ("note", assigned.m_strNote);
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
    const CWebActionJug jug = Filled(5, "carried");
    Bytes bytes = Stored({&jug});
    const std::string head = "\xFF\xFF\x01\x00\x0D\x00" "CWebActionJug" "\x05\x00\x00\x00" "\x07" "carried"
                             "\x04\x00\x00\x00" "\x0B" "querystring" "\x0B" "garden hose";
    EXPECT_EQ(Bytes(head.begin(), head.end()), Bytes(bytes.begin(), bytes.begin() + static_cast<long>(head.size())));

    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CWebActionJug* read = nullptr;
    ar >> read;
    std::unique_ptr<CWebActionJug> own(read);
    ASSERT_TRUE(read);
    ExpectQueuedFields(jug, *read, false);
    EXPECT_STREQ("note", read->m_strNote);
    ExpectFreshRest(*read);
    CObject* end = read;
    ar >> end;
    EXPECT_EQ(nullptr, end);
    EXPECT_EQ(0u, ar.BytesLeft());
}

TEST(CWebActionList, NumbersWhatItKeepsAndWritesTheNumberBack)
{
    CWebActionList list;
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
    ExpectFreshRest(*list.Find(2));
    EXPECT_STREQ("", list.Find(2)->m_strNote);
    EXPECT_EQ(nullptr, list.Find(3));

    // An id given once is never given again while its entry is held.
    EXPECT_EQ(1, list.Remove(1));
    EXPECT_EQ(1, list.Remove(7));
    CWebActionJug third = Filled(0, "third");
    EXPECT_EQ(2, list.Add(third));
    EXPECT_EQ(3, third.m_nId);
    EXPECT_STREQ("second", list.Find(2)->m_strText);
}

struct CacheCase {
    const char* what;
    Bytes bytes;
    std::vector<const char*> texts;   // of the actions kept, in order
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
    const CacheCase cases[] = {
        {"two and the end", good, {"a", "b"}},
        {"no end mark", Stored({&a, &b}, false), {"a", "b"}},
        {"cut inside the second", Bytes(good.begin(), good.begin() + static_cast<long>(one.size() + 9)), {"a"}},
        {"the first again by its index", Concat({one, {0x02, 0x00}, end}), {"a"}},
        {"hand-made", Concat({jugClass, Head("h", {0, 0, 0, 0}), Tail(), end}), {"h"}},
        {"another class", Concat({ClassTag("CWebActionJux", 1), Head("h", {0, 0, 0, 0}), Tail(), end}), {}},
        {"another schema", Concat({ClassTag("CWebActionJug", 2), Head("h", {0, 0, 0, 0}), Tail(), end}), {}},
        {"a text of two gigabytes", Concat({jugClass, {0x01, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0x7F}}), {}},
        {"a text of four gigabytes", Concat({jugClass, {0x01, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}), {}},
        {"two billion texts to skip", Concat({jugClass, Head("h", {0xFF, 0xFF, 0xFF, 0x7F}), Tail(), end}), {}},
        {"a negative count skips nothing", Concat({jugClass, Head("n", {0xFB, 0xFF, 0xFF, 0xFF}), Tail(), end}), {"n"}},
        {"empty", {}, {}},
    };
    for (const CacheCase& c : cases) {
        SCOPED_TRACE(c.what);
        CWebActionList list;
        CMemFile file(c.bytes.data(), static_cast<UINT>(c.bytes.size()));
        CArchive ar(&file, CArchive::load, 4096);
        ASSERT_EQ(static_cast<int>(c.texts.size()), list.LoadCache(ar));
        for (size_t i = 0; i < c.texts.size(); ++i) {
            const CWebActionJug* read = list.Find(static_cast<int>(i) + 1);
            ASSERT_TRUE(read);
            EXPECT_STREQ(c.texts[i], read->m_strText);
        }
    }
}

TEST(CWebActionList, LoadsTheCacheFileAndNothingWhenItIsMissing)
{
    const CWebActionJug a = Filled(1, "a"), b = Filled(2, "b");
    const Bytes good = Stored({&a, &b});
    const std::string path = TestFileName(".dat");
    WriteBytes(path, std::string(good.begin(), good.end()));
    CWebActionList list;
    EXPECT_EQ(2, list.LoadCache(path.c_str()));
    ExpectQueuedFields(b, *list.Find(2), false);
    std::remove(path.c_str());
    EXPECT_EQ(2, list.LoadCache(path.c_str()));
}

} // namespace
