#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "quifw/Archive.h"

#include "AllocationLimit.h"
#include "ArchiveBytes.h"

// Archived classes are found by name, so they live outside the anonymous
// namespace.
class CArchivedNote : public CObject {
    DECLARE_SERIAL(CArchivedNote)
public:
    int number = 0;
    CString text;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << number << text;
        else
            ar >> number >> text;
    }
};
IMPLEMENT_SERIAL(CArchivedNote, CObject, 2)

class CArchivedLetter : public CArchivedNote {
    DECLARE_SERIAL(CArchivedLetter)
};
IMPLEMENT_SERIAL(CArchivedLetter, CArchivedNote, 1)

// Creatable by name, but not meant for archives.
class CUnarchived : public CObject {
    DECLARE_DYNCREATE(CUnarchived)
};
IMPLEMENT_DYNCREATE(CUnarchived, CObject)

// Stores nothing of its own; for index tests.
class CArchivedMark : public CObject {
    DECLARE_SERIAL(CArchivedMark)
};
IMPLEMENT_SERIAL(CArchivedMark, CObject, 1)

namespace {

Bytes Text(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

// The cause of the CArchiveException that loading the bytes throws; -1 when
// nothing is thrown.
template <typename Load>
int LoadCause(const Bytes& bytes, Load load)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    try {
        load(ar);
    } catch (CArchiveException* e) {
        int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

struct TextForm {
    int length;
    Bytes prefix;
};

// The length prefix grows at 255 and at 0xFFFE characters.
const TextForm kTextForms[] = {
    {0, {0x00}},
    {1, {0x01}},
    {254, {0xFE}},
    {255, {0xFF, 0xFF, 0x00}},
    {0xFFFD, {0xFF, 0xFD, 0xFF}},
    {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
    {0x10000, {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}},
};

TEST(CArchive, StoresTextsWithTheirLengthPrefixAndLoadsThemBack)
{
    for (const TextForm& form : kTextForms) {
        SCOPED_TRACE(form.length);
        CString text('q', form.length);
        Bytes bytes = StoredBytes([&](CArchive& ar) { ar << text; }, 64);
        ASSERT_EQ(form.prefix.size() + static_cast<size_t>(form.length), bytes.size());
        EXPECT_EQ(form.prefix, Bytes(bytes.begin(), bytes.begin() + static_cast<long>(form.prefix.size())));

        CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
        CArchive ar(&file, CArchive::load, 64);
        CString back("old");
        ar >> back;
        EXPECT_EQ(text, back);
        EXPECT_EQ(0u, ar.BytesLeft());
    }
}

TEST(CArchive, StoresNumbersLittleEndian)
{
    Bytes bytes = StoredBytes([](CArchive& ar) {
        ar << static_cast<BYTE>(0xAB) << static_cast<WORD>(0x1234) << static_cast<short>(-2) << -2
           << 0x89ABCDEFu << static_cast<long>(-3) << 0x01020304ul << 1.0 << 0.5f;
    });
    Bytes expected = {0xAB, 0x34, 0x12, 0xFE, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xEF, 0xCD, 0xAB, 0x89,
                      0xFD, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01,
                      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F, 0x00, 0x00, 0x00, 0x3F};
    EXPECT_EQ(expected, bytes);

    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    BYTE b;
    WORD w;
    short s;
    int i;
    unsigned int u;
    long l;
    unsigned long ul;
    double d;
    float f;
    ar >> b >> w >> s >> i >> u >> l >> ul >> d >> f;
    EXPECT_EQ(0xAB, b);
    EXPECT_EQ(0x1234, w);
    EXPECT_EQ(-2, s);
    EXPECT_EQ(-2, i);
    EXPECT_EQ(0x89ABCDEFu, u);
    EXPECT_EQ(-3L, l);
    EXPECT_EQ(0x01020304ul, ul);
    EXPECT_EQ(1.0, d);
    EXPECT_EQ(0.5f, f);
}

TEST(CArchive, StoresAClassByNameOnceThenByIndex)
{
    CArchivedNote first, second;
    first.number = 7;
    first.text = "a";
    second.number = -1;
    Bytes bytes = StoredBytes([&](CArchive& ar) { ar << &first << &second << static_cast<CObject*>(nullptr); });
    Bytes expected = Concat({{0xFF, 0xFF, 0x02, 0x00, 0x0D, 0x00}, Text("CArchivedNote"),
                             {0x07, 0x00, 0x00, 0x00, 0x01, 'a'},
                             {0x01, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0x00},
                             {0x00, 0x00}});
    EXPECT_EQ(expected, bytes);

    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CArchivedNote* a = nullptr;
    CArchivedNote* b = nullptr;
    CArchivedNote* end = &first;
    ar >> a >> b >> end;
    std::unique_ptr<CArchivedNote> ownA(a), ownB(b);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(7, a->number);
    EXPECT_STREQ("a", a->text);
    EXPECT_EQ(-1, b->number);
    EXPECT_EQ(nullptr, end);
}

TEST(CArchive, StoresAnObjectMetBeforeByItsIndex)
{
    CArchivedNote note;
    CArchivedLetter letter;
    Bytes bytes = StoredBytes([&](CArchive& ar) { ar << &note << &letter << &note << &letter; });
    // Index 1 the class of note, 2 note, 3 the class of letter, 4 letter.
    Bytes tail(bytes.end() - 4, bytes.end());
    EXPECT_EQ((Bytes{0x02, 0x00, 0x04, 0x00}), tail);

    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CObject* read[4] = {};
    for (CObject*& p : read)
        ar >> p;
    std::unique_ptr<CObject> ownNote(read[0]), ownLetter(read[1]);
    EXPECT_EQ(read[0], read[2]);
    EXPECT_EQ(read[1], read[3]);
    EXPECT_TRUE(read[1]->IsKindOf(RUNTIME_CLASS(CArchivedLetter)));
}

// Past 0x7FFE entries a reference takes the long form: 0x7FFF, then four
// bytes with the top bit set for a class.
TEST(CArchive, UsesTheLongIndexFormPastTheShortRange)
{
    const int count = 0x8000;
    std::vector<CArchivedMark> marks(count);
    Bytes bytes = StoredBytes([&](CArchive& ar) {
        for (CArchivedMark& m : marks)
            ar << &m;
        ar << &marks[0] << &marks[count - 1];
    });
    // Class 1, then objects 2 to 0x8001, each after its class tag.
    Bytes expectedTail = {0x02, 0x00, 0xFF, 0x7F, 0x01, 0x80, 0x00, 0x00};
    EXPECT_EQ(expectedTail, Bytes(bytes.end() - 8, bytes.end()));
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    std::vector<std::unique_ptr<CObject>> owned;
    for (int i = 0; i < count; ++i) {
        CObject* p = nullptr;
        ar >> p;
        owned.emplace_back(p);
    }
    CObject* first = nullptr;
    CObject* last = nullptr;
    ar >> first >> last;
    EXPECT_EQ(owned.front().get(), first);
    EXPECT_EQ(owned.back().get(), last);

    Bytes longClassTag = Concat({{0xFF, 0xFF, 0x01, 0x00, 0x0D, 0x00}, Text("CArchivedMark"),
                                 {0xFF, 0x7F, 0x01, 0x00, 0x00, 0x80}});
    EXPECT_EQ(-1, LoadCause(longClassTag, [](CArchive& a) {
        CObject* one = nullptr;
        CObject* two = nullptr;
        a >> one >> two;
        delete one;
        delete two;
        if (!one || !two || one == two)
            throw new CArchiveException(CArchiveException::genericException);
    }));
}

struct BadArchive {
    const char* what;
    Bytes bytes;
    int cause;
};

Bytes NewClass(const std::string& name, WORD schema)
{
    return Concat({{0xFF, 0xFF, static_cast<BYTE>(schema), static_cast<BYTE>(schema >> 8),
                    static_cast<BYTE>(name.size()), 0x00},
                   Text(name)});
}

const Bytes kNoteFields = {0x05, 0x00, 0x00, 0x00, 0x00};

const BadArchive kBadArchives[] = {
    {"unknown class", Concat({NewClass("CNoSuchClass", 2), kNoteFields}), CArchiveException::badClass},
    {"other schema", Concat({NewClass("CArchivedNote", 3), kNoteFields}), CArchiveException::badSchema},
    {"class not for archives", NewClass("CUnarchived", 0xFFFF), CArchiveException::badClass},
    {"name with a zero inside", Concat({NewClass(std::string("CArchivedNote\0x", 15), 2), kNoteFields}),
     CArchiveException::badClass},
    {"name longer than the file", {0xFF, 0xFF, 0x02, 0x00, 0xFF, 0xFF, 'C'}, CArchiveException::endOfFile},
    {"class index to nothing", Concat({{0x05, 0x80}, kNoteFields}), CArchiveException::badIndex},
    {"object index to nothing", {0x03, 0x00}, CArchiveException::badIndex},
    {"class index naming an object",
     Concat({NewClass("CArchivedNote", 2), kNoteFields, {0x02, 0x80}, kNoteFields}),
     CArchiveException::badIndex},
    {"object index naming a class", Concat({NewClass("CArchivedNote", 2), kNoteFields, {0x01, 0x00}}),
     CArchiveException::badIndex},
    {"long tag cut short", {0xFF, 0x7F, 0x01}, CArchiveException::endOfFile},
    {"fields cut short", Concat({NewClass("CArchivedNote", 2), {0x05, 0x00}}), CArchiveException::endOfFile},
    {"text longer than the file", Concat({NewClass("CArchivedNote", 2), {0x05, 0x00, 0x00, 0x00, 0x09, 'a'}}),
     CArchiveException::endOfFile},
    {"text of two gigabytes",
     Concat({NewClass("CArchivedNote", 2), {0x05, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0x7F}}),
     CArchiveException::endOfFile},
    {"text of four gigabytes",
     Concat({NewClass("CArchivedNote", 2), {0x05, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}),
     CArchiveException::endOfFile},
    {"wide-character text", Concat({NewClass("CArchivedNote", 2), {0x05, 0x00, 0x00, 0x00, 0xFF, 0xFE, 0xFF}}),
     CArchiveException::genericException},
    {"empty archive", {}, CArchiveException::endOfFile},
};

TEST(CArchive, RefusesDamagedObjectsWithoutReadingPastTheEnd)
{
    for (const BadArchive& bad : kBadArchives) {
        SCOPED_TRACE(bad.what);
        EXPECT_EQ(bad.cause, LoadCause(bad.bytes, [](CArchive& ar) {
            // Whatever was made before the failure is the caller's.
            std::vector<std::unique_ptr<CObject>> owned;
            for (;;) {
                CObject* p = nullptr;
                ar >> p;
                if (!p)
                    break;
                bool again = false;
                for (auto& o : owned)
                    again = again || o.get() == p;
                if (!again)
                    owned.emplace_back(p);
            }
        }));
    }
}

TEST(CArchive, RefusesAnObjectOfAnotherClassThanAskedFor)
{
    CArchivedNote note;
    Bytes bytes = StoredBytes([&](CArchive& ar) { ar << &note << &note; });
    EXPECT_EQ(CArchiveException::badClass, LoadCause(bytes, [](CArchive& ar) {
        CArchivedLetter* letter = nullptr;
        ar >> letter;
    }));
    // A derived class is what was asked for; a later index to the note is not.
    CArchivedLetter letter;
    bytes = StoredBytes([&](CArchive& ar) { ar << &letter << &note << &note; });
    EXPECT_EQ(CArchiveException::badClass, LoadCause(bytes, [](CArchive& ar) {
        CArchivedNote* first = nullptr;
        ar >> first;
        std::unique_ptr<CArchivedNote> own(first);
        CObject* second = nullptr;
        ar >> second;
        std::unique_ptr<CObject> ownSecond(second);
        CArchivedLetter* again = nullptr;
        ar >> again;
    }));
}

TEST(CArchive, StoringAndLoadingAreKeptApart)
{
    CMemFile file;
    CArchive storing(&file, CArchive::store);
    CString text;
    try {
        storing >> text;
        ADD_FAILURE() << "loaded from a storing archive";
    } catch (CArchiveException* e) {
        EXPECT_EQ(CArchiveException::writeOnly, e->m_cause);
        e->Delete();
    }
    CArchive loading(&file, CArchive::load);
    try {
        loading << 1;
        ADD_FAILURE() << "stored into a loading archive";
    } catch (CArchiveException* e) {
        EXPECT_EQ(CArchiveException::readOnly, e->m_cause);
        e->Delete();
    }
    CUnarchived plain;
    try {
        storing << &plain;
        ADD_FAILURE() << "stored an object whose class is not for archives";
    } catch (CArchiveException* e) {
        EXPECT_EQ(CArchiveException::badClass, e->m_cause);
        e->Delete();
    }
}

TEST(CArchive, ReadAnswersWhatIsLeftAndTheDestructorWritesTheRest)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store, 64);
        ar << CString('x', 100);
    }
    EXPECT_EQ(101u, file.GetLength());
    file.Seek(0, CFile::begin);
    CArchive ar(&file, CArchive::load, 64);
    BYTE bytes[200];
    EXPECT_EQ(101u, ar.Read(bytes, sizeof bytes));
    EXPECT_EQ(0u, ar.Read(bytes, sizeof bytes));
}

TEST(CArchiveException, DescribesItsCause)
{
    CArchiveException e(CArchiveException::endOfFile, "cache.dat");
    char text[128];
    ASSERT_TRUE(e.GetErrorMessage(text, sizeof text));
    EXPECT_STREQ("cache.dat: The archive ended before the data it promised.", text);
    char small[6];
    ASSERT_TRUE(e.GetErrorMessage(small, sizeof small));
    EXPECT_STREQ("cache", small);
    CArchiveException none;
    EXPECT_FALSE(none.GetErrorMessage(text, sizeof text));
    EXPECT_STREQ("", text);
}

} // namespace
