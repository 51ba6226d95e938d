#include "QuiKestrel.h"
#include "QuiItem.h"
#include "QuiItemList.h"
#include "QuiTaggedField.h"
#include "QuiXMLFile.h"
#include "Contact.h"
#include "Scratch.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace {
const char kTodo[] = "55861570-ea6a-11d2-a0e6-00104b9522aa";
const char kContact[] = "55861572-ea6a-11d2-a0e6-00104b9522aa";

#ifdef _WIN32
const char kEol[] = "\r\n";
#else
const char kEol[] = "\n";
#endif

// "<TYPE>...</TYPE>" and the like, so that rows read as the file does.
std::string Tag(const char* tag, const std::string& value)
{
    return "<" + std::string(tag) + ">" + value + "</" + tag + ">";
}

std::string Items(const std::string& records) { return "<ITEMS>\n" + records + "</ITEMS>\n"; }

int CountItems(QuiKestrel& db)
{
    int count = 0;
    QuiItemList* items = db.getItemList();
    int cursor = items->fetchBegin(nullptr);
    while (items->fetchNext(cursor))
        ++count;
    items->fetchEnd(cursor);
    return count;
}

// Name, keywords, flags and dirty mark of one item, for comparing.
std::string Describe(QuiItem* item)
{
    if (!item)
        return "<none>";
    return std::string(item->getDisplayName()) + "|" + Keywords(item) + "|" +
           std::to_string(item->getFlags()) + (item->getDirty() ? "|dirty" : "|clean");
}

// The database the main program builds: two types, one with a class of its own.
class Database {
public:
    Database()
    {
        todo = new QuiItemType(QuiItemID(kTodo), "Todo Category", nullptr);
        Contact* prototype = new Contact;
        prototype->phone = "none";
        contact = new QuiItemType(QuiItemID(kContact), "Contact", prototype);
        db.registerType(todo, QuiItemID());
        db.registerType(contact, QuiItemID());
    }

    QuiItem* add(const char* id, QuiItemType* type, const char* name, const char* keyword = nullptr)
    {
        QuiItem* item = type->newItem(QuiItemID(id));
        item->setDisplayName(name);
        if (keyword)
            item->keywordsAdd(keyword);
        EXPECT_TRUE(db.getItemList()->add(item)) << id;
        return item;
    }

    QuiItem* get(const char* id) { return db.getItemList()->get(QuiItemID(id)); }

    QuiKestrel db;
    QuiItemType* todo;
    QuiItemType* contact;
};
}

class KestrelTest : public ::testing::Test, public Database {
protected:
    ScratchFile file;

    bool readText(const std::string& text)
    {
        WriteBytes(file.path(), text);
        return db.readFile(file.path());
    }
};

TEST_F(KestrelTest, RecordWithHeldIdentifierUpdatesThatItem)
{
    QuiItem* held = add("i1", todo, "Old", "k");
    held->modifyFlags(1, true);
    struct Row { std::string record; const char* expected; } rows[] = {
        {Tag("ID", "i1") + Tag("TYPE", kTodo) + Tag("NAME", "New") +
             Tag("KEYWORDS", Tag("KEYWORD", "x") + Tag("KEYWORD", "y")) + Tag("FLAGS", "0x0003"),
         "New|x,y|3|clean"},
        {Tag("TYPE", kTodo) + Tag("ID", "i1") + Tag("FLAGS", "0x10"), "New|x,y|16|clean"},
        {Tag("ID", "i1") + Tag("TYPE", kContact) + Tag("NAME", "Typed"), "Typed|x,y|16|clean"},
        {Tag("ID", "i1") + Tag("TYPE", kTodo) + Tag("KEYWORDS", ""), "Typed||16|clean"},
    };
    for (const Row& r : rows) {
        EXPECT_TRUE(readText(Items(Tag("ITEM", r.record))));
        EXPECT_EQ(held, get("i1"));
        EXPECT_EQ(r.expected, Describe(held)) << r.record;
        EXPECT_EQ(1, CountItems(db));
        EXPECT_EQ(todo, held->getType());
    }
}

TEST_F(KestrelTest, RecordWithoutIdentifierUpdatesFirstOfTypeWithSameName)
{
    QuiItem* first = add("a1", todo, "Apple");
    QuiItem* second = add("a2", todo, "Apple");
    QuiItem* person = add("c1", contact, "Bob");
    struct Row { std::string record; QuiItem* changed; } rows[] = {
        {Tag("TYPE", kTodo) + Tag("NAME", "Apple") + Tag("FLAGS", "0x1"), first},
        {Tag("TYPE", kContact) + Tag("NAME", "Bob") + Tag("FLAGS", "0x1"), person},
        {Tag("TYPE", kTodo) + Tag("NAME", "apple") + Tag("FLAGS", "0x1"), nullptr},
        {Tag("TYPE", kContact) + Tag("NAME", "Apple") + Tag("FLAGS", "0x1"), nullptr},
        {Tag("TYPE", kTodo) + Tag("FLAGS", "0x1"), nullptr},
        {Tag("NAME", "Apple") + Tag("FLAGS", "0x1"), nullptr},
        {Tag("ID", "new") + Tag("TYPE", "unregistered") + Tag("NAME", "Apple") + Tag("FLAGS", "0x1"), nullptr},
        {Tag("ID", "new") + Tag("NAME", "Apple") + Tag("FLAGS", "0x1"), nullptr},
    };
    for (const Row& r : rows) {
        for (QuiItem* item : {first, second, person})
            item->clearFlags();
        EXPECT_TRUE(readText(Items(Tag("ITEM", r.record)))) << r.record;
        for (QuiItem* item : {first, second, person})
            EXPECT_EQ(item == r.changed ? 1 : 0, item->getFlags()) << r.record << " " << item->getID().toString();
        EXPECT_EQ(3, CountItems(db));
    }
}

TEST_F(KestrelTest, NewIdentifierStartsFromThePrototype)
{
    ASSERT_TRUE(readText(Items(Tag("ITEM", Tag("ID", "n1") + Tag("TYPE", kContact) + Tag("NAME", "Ann") +
                                            Tag("PHONE", "555")) +
                               Tag("ITEM", Tag("ID", "n2") + Tag("TYPE", kTodo)))));
    Contact* ann = dynamic_cast<Contact*>(get("n1"));
    ASSERT_TRUE(ann != nullptr);
    EXPECT_EQ("555", ann->phone);
    EXPECT_EQ(contact, ann->getType());
    EXPECT_EQ("Ann||0|clean", Describe(ann));
    QuiItem* bare = get("n2");
    ASSERT_TRUE(bare != nullptr);
    EXPECT_EQ(todo, bare->getType());
    EXPECT_EQ("||0|clean", Describe(bare));
}

TEST_F(KestrelTest, PrototypeValuesStayWhereTheRecordIsSilent)
{
    Contact* prototype = new Contact;
    prototype->setDisplayName("Proto");
    prototype->keywordsAdd("pk");
    prototype->modifyFlags(4, true);
    prototype->setDirty(true);
    QuiItemType* type = new QuiItemType(QuiItemID("P"), "p", prototype);
    ASSERT_TRUE(db.registerType(type, QuiItemID()));
    ASSERT_TRUE(readText(Items(Tag("ITEM", Tag("ID", "x") + Tag("TYPE", "P") + Tag("NAME", "Given")))));
    EXPECT_EQ("Given|pk|4|dirty", Describe(get("x")));
}

// Nothing is merged from a file that does not read whole.
TEST_F(KestrelTest, UnreadableFileChangesNothing)
{
    add("i1", todo, "Old");
    std::string good = Tag("ITEM", Tag("ID", "i1") + Tag("TYPE", kTodo) + Tag("NAME", "New"));
    std::string fresh = Tag("ITEM", Tag("ID", "i2") + Tag("TYPE", kTodo));
    const std::string rows[] = {
        "", "  \r\n", "<ITEMS>\n" + good + fresh, "<ITEMS>" + good + fresh + "</items>",
        "<ITEMS>" + good + fresh + "junk</ITEMS>", "<?xml version=\"1.0\"?>" + Items(good),
    };
    for (const std::string& text : rows) {
        EXPECT_FALSE(readText(text)) << text;
        EXPECT_EQ("Old||0|clean", Describe(get("i1")));
        EXPECT_EQ(1, CountItems(db));
    }
    EXPECT_FALSE(db.readFile("kestrel-no-such-file.xml"));
    EXPECT_FALSE(db.readFile(nullptr));
}

TEST_F(KestrelTest, OnlyItemChildrenOfAnyRootAreRead)
{
    add("i1", todo, "Old");
    EXPECT_TRUE(readText("<OTHER>" + Tag("ITEM", Tag("ID", "i1") + Tag("TYPE", kTodo) + Tag("NAME", "New")) +
                         Tag("item", Tag("ID", "i2") + Tag("TYPE", kTodo)) +
                         Tag("X", Tag("ID", "i3") + Tag("TYPE", kTodo)) + "</OTHER>trailing"));
    EXPECT_STREQ("New", get("i1")->getDisplayName());
    EXPECT_EQ(1, CountItems(db));
}

TEST_F(KestrelTest, WritesTheItemFileLayout)
{
    EXPECT_TRUE(db.writeFile(file.path()));
    EXPECT_EQ(std::string("<ITEMS></ITEMS>") + kEol, ReadBytes(file.path()));

    QuiItem* item = add(kContact, todo, "Example", "first");
    item->keywordsAdd("second");
    EXPECT_TRUE(db.writeFile(file.path()));
    const char* lines[] = {
        "<ITEMS>",
        "    <ITEM>",
        "        <FLAGS>0x0000</FLAGS>",
        "        <ID>55861572-ea6a-11d2-a0e6-00104b9522aa</ID>",
        "        <KEYWORDS>",
        "            <KEYWORD>first</KEYWORD>",
        "            <KEYWORD>second</KEYWORD>",
        "        </KEYWORDS>",
        "        <NAME>Example</NAME>",
        "        <TYPE>55861570-ea6a-11d2-a0e6-00104b9522aa</TYPE>",
        "    </ITEM>",
        "</ITEMS>",
    };
    std::string expected;
    for (const char* line : lines)
        expected += std::string(line) + kEol;
    EXPECT_EQ(expected, ReadBytes(file.path()));
    EXPECT_FALSE(Exists(file.temporary()));
}

TEST_F(KestrelTest, WrittenFileReadsBackIntoTheSameItems)
{
    add("t1", todo, "caf\xe9 \x80\xff > & &lt;", "\xe0\xe9");
    add("t2", todo, "", nullptr)->modifyFlags(-1, true);
    Contact* ann = static_cast<Contact*>(add("c1", contact, "Ann", "a"));
    ann->phone = "555";
    ann->keywordsAdd("a");
    ASSERT_TRUE(db.writeFile(file.path()));

    Database other;
    ASSERT_TRUE(other.db.readFile(file.path()));
    EXPECT_EQ(3, CountItems(other.db));
    for (const char* id : {"t1", "t2", "c1"})
        EXPECT_EQ(Describe(get(id)), Describe(other.get(id))) << id;
    Contact* back = dynamic_cast<Contact*>(other.get("c1"));
    ASSERT_TRUE(back != nullptr);
    EXPECT_EQ("555", back->phone);
}

// The old file stays, byte for byte, when an item cannot be written.
TEST_F(KestrelTest, RefusesItemsTheFileCannotHold)
{
    const std::string old = "<ITEMS></ITEMS>\nold\n";
    struct Row { const char* name; const char* keyword; const char* phone; } rows[] = {
        {"a<b", nullptr, nullptr}, {"fine", "<", nullptr}, {"fine", nullptr, "5<5"},
    };
    for (const Row& r : rows) {
        Database fresh;
        QuiItem* item = fresh.add("x", fresh.contact, r.name, r.keyword);
        if (r.phone)
            static_cast<Contact*>(item)->phone = r.phone;
        WriteBytes(file.path(), old);
        EXPECT_FALSE(fresh.db.writeFile(file.path())) << r.name;
        EXPECT_EQ(old, ReadBytes(file.path()));
        EXPECT_FALSE(Exists(file.temporary()));
    }
}

// A write that cannot complete leaves the user's file as it was and no
// temporary file behind.
TEST_F(KestrelTest, FailedWriteKeepsTheOldFile)
{
    add("i1", todo, "Item");
    const std::string old = "<ITEMS></ITEMS>\nold\n";
    std::string folder = ScratchName("-folder");
    EXPECT_FALSE(db.writeFile((folder + "/keywords.xml").c_str()));
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(db.writeFile(""));
    EXPECT_FALSE(db.writeFile(nullptr));

    WriteBytes(file.path(), old);
    ASSERT_TRUE(MakeFolder(file.temporary()));
    EXPECT_FALSE(db.writeFile(file.path()));
    EXPECT_EQ(old, ReadBytes(file.path()));
    RemoveFolder(file.temporary());

    ASSERT_TRUE(MakeFolder(folder));
    EXPECT_FALSE(db.writeFile(folder.c_str()));
    EXPECT_TRUE(Exists(folder));
    EXPECT_FALSE(Exists(TemporaryOf(folder)));
    RemoveFolder(folder);
}

TEST_F(KestrelTest, ReadOnlyFileIsNotReplaced)
{
    add("i1", todo, "Item");
    const std::string old = "<ITEMS></ITEMS>\nold\n";
    WriteBytes(file.path(), old);
    ASSERT_TRUE(MakeReadOnly(file.path(), true));
    EXPECT_FALSE(db.writeFile(file.path()));
    MakeReadOnly(file.path(), false);
    EXPECT_EQ(old, ReadBytes(file.path()));
    EXPECT_FALSE(Exists(file.temporary()));
}

// The program and the keyword import may write one file at once: neither
// writes into the other's temporary file.
TEST_F(KestrelTest, AnotherWritersTemporaryFileIsLeftAlone)
{
    add("i1", todo, "Item");
    const std::string shared = std::string(file.path()) + ".tmp";
    FILE* other = std::fopen(shared.c_str(), "wb");
    ASSERT_TRUE(other != nullptr);
    ASSERT_GE(std::fputs("another writer, half way", other), 0);
    ASSERT_EQ(0, std::fflush(other));
    EXPECT_TRUE(db.writeFile(file.path()));
    std::fclose(other);
    EXPECT_EQ("another writer, half way", ReadBytes(shared));
    EXPECT_NE(std::string::npos, ReadBytes(file.path()).find("<ID>i1</ID>"));
    EXPECT_FALSE(Exists(file.temporary()));
    std::remove(shared.c_str());
}

// What a reader could not use goes back as it came, ahead of the items, so
// that an item has the last word over a record of the same entry; read and
// written again it gives the same bytes.
TEST_F(KestrelTest, KeptRecordsGoBackUnchangedAheadOfTheItems)
{
    add("i1", todo, "Item");
    auto lines = [](std::initializer_list<const char*> texts) {
        std::string text;
        for (const char* line : texts)
            text += std::string(line) + kEol;
        return text;
    };
    const std::string item = lines({"    <ITEM>", "        <FLAGS>0x0000</FLAGS>", "        <ID>i1</ID>",
                                    "        <KEYWORDS></KEYWORDS>", "        <NAME>Item</NAME>",
                                    "        <TYPE>55861570-ea6a-11d2-a0e6-00104b9522aa</TYPE>", "    </ITEM>"});
    const std::string unknown = lines({"    <ITEM>", "        <ID>k1</ID>", "        <LATER>",
                                       "            <PART> x </PART>", "        </LATER>",
                                       "        <TYPE>unregistered</TYPE>", "    </ITEM>"});
    struct Row {
        const char* what;
        const char* records;  // null: none given
        std::string expected;
    } rows[] = {
        {"none", nullptr, item},
        {"a record no item has",
         "<ITEMS>\n  <ITEM>\n <ID>k1</ID>\n<LATER>\n\t<PART> x </PART>\n</LATER><TYPE>unregistered</TYPE>\n</ITEM>"
         "\n</ITEMS>",
         unknown + item},
        {"a record of an item's identifier",
         "<ITEMS><ITEM><ID>i1</ID><NAME>Stale</NAME><TYPE>unregistered</TYPE></ITEM></ITEMS>", item},
        {"another element of the root", "<ITEMS><NOTE>mine</NOTE></ITEMS>", item + lines({"    <NOTE>mine</NOTE>"})},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::unique_ptr<QuiTaggedField> records;
        if (row.records) {
            QuiXMLBufferIn in(row.records);
            records.reset(in.read());
            ASSERT_TRUE(records != nullptr);
        }
        ASSERT_TRUE(db.writeFile(file.path(), records.get()));
        const std::string written = ReadBytes(file.path());
        EXPECT_EQ(std::string("<ITEMS>") + kEol + row.expected + "</ITEMS>" + kEol, written);

        QuiXMLFileIn in;
        ASSERT_TRUE(in.openFile(file.path()));
        std::unique_ptr<QuiTaggedField> back(in.read());
        in.closeFile();
        ASSERT_TRUE(back != nullptr);
        QuiKestrel empty;
        ASSERT_TRUE(empty.writeFile(file.path(), back.get()));
        EXPECT_EQ(written, ReadBytes(file.path()));
    }
}

#ifndef _WIN32
// A file size limit makes the disk fill up part way through the write.
TEST_F(KestrelTest, FullDiskKeepsTheOldFile)
{
    for (int i = 0; i < 100; ++i)
        add(("item" + std::to_string(i)).c_str(), todo, "a name long enough to fill lines");
    const std::string old = "<ITEMS></ITEMS>\nold\n";
    WriteBytes(file.path(), old);
    rlimit saved, small;
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &saved));
    small = saved;
    small.rlim_cur = 2000;
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
    bool written = db.writeFile(file.path());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(written);
    EXPECT_EQ(old, ReadBytes(file.path()));
    EXPECT_FALSE(Exists(file.temporary()));
}
#endif

TEST_F(KestrelTest, RegisterTypeIntoCategories)
{
    QuiTypeCategory* category = new QuiTypeCategory(QuiItemID("cat"), "Cat");
    ASSERT_TRUE(db.getTypeCategoryList()->add(category));
    struct Row { const char* type; const char* category; bool inCategory; } rows[] = {
        {"t1", "", false}, {"t2", "absent", false}, {"t3", "cat", true},
    };
    for (const Row& r : rows) {
        QuiItemType* type = new QuiItemType(QuiItemID(r.type), "", nullptr);
        EXPECT_TRUE(db.registerType(type, QuiItemID(r.category)));
        EXPECT_EQ(type, db.getTypeList()->get(QuiItemID(r.type)));
        EXPECT_EQ(r.inCategory ? type : nullptr, category->getTypeList()->get(QuiItemID(r.type))) << r.type;
    }
    QuiItemType* t3 = db.getTypeList()->get(QuiItemID("t3"));
    EXPECT_TRUE(db.registerType(t3, QuiItemID("cat")));
    std::unique_ptr<QuiItemType> twin(new QuiItemType(QuiItemID("t3"), "twin", nullptr));
    EXPECT_FALSE(db.registerType(twin.get(), QuiItemID("cat")));
    EXPECT_FALSE(db.registerType(nullptr, QuiItemID("cat")));
    EXPECT_EQ(t3, db.getTypeList()->get(QuiItemID("t3")));
    EXPECT_EQ(t3, category->getTypeList()->get(QuiItemID("t3")));
}

// Once unregistered, a type may go; its items still write its identifier.
TEST_F(KestrelTest, UnregisteredTypeMayBeDestroyedBeforeWriting)
{
    QuiTypeCategory* category = new QuiTypeCategory(QuiItemID("cat"), "Cat");
    db.getTypeCategoryList()->add(category);
    QuiItemType* doomed = new QuiItemType(QuiItemID("doomed"), "d", nullptr);
    ASSERT_TRUE(db.registerType(doomed, QuiItemID("cat")));
    add("d1", doomed, "kept");
    db.unregisterType(doomed, QuiItemID("cat"));
    EXPECT_TRUE(db.getTypeList()->get(QuiItemID("doomed")) == nullptr);
    EXPECT_TRUE(category->getTypeList()->get(QuiItemID("doomed")) == nullptr);
    delete doomed;

    ASSERT_TRUE(db.writeFile(file.path()));
    Database other;
    QuiItemType* again = new QuiItemType(QuiItemID("doomed"), "d", nullptr);
    other.db.registerType(again, QuiItemID());
    ASSERT_TRUE(other.db.readFile(file.path()));
    EXPECT_EQ("kept||0|clean", Describe(other.get("d1")));
}

// A database may lend its types to a temporary one (which reads records of
// those types) and its items to another (which writes them); taken back out
// before the temporary one goes, nothing lent is destroyed or changed. How
// the main program merges what it read is its datastore's, tested there.
TEST_F(KestrelTest, TemporaryDatabasesBorrowTypesAndItemsWithoutOwningThem)
{
    QuiItem* apple = add("s1", todo, "Apple", "a");
    QuiItem* pear = add("s2", todo, "Pear");
    QuiItem* bob = add("s3", contact, "Bob");
    WriteBytes(file.path(), Items(
        Tag("ITEM", Tag("ID", "s2") + Tag("TYPE", kTodo) + Tag("NAME", "Renamed") +
                        Tag("KEYWORDS", Tag("KEYWORD", "p1")) + Tag("FLAGS", "0x0001")) +
        Tag("ITEM", Tag("ID", "n1") + Tag("TYPE", kContact) + Tag("NAME", "Ann") + Tag("PHONE", "555")) +
        Tag("ITEM", Tag("ID", "n2") + Tag("TYPE", "unlent") + Tag("NAME", "Nothing"))));

    std::unique_ptr<QuiKestrel> reader(new QuiKestrel);
    QuiItemTypeList* types = db.getTypeList();
    types->fetchBegin();
    while (QuiItemType* type = types->fetchNext())
        reader->getTypeList()->add(type);
    types->fetchEnd();
    ASSERT_TRUE(reader->readFile(file.path()));

    // The reader holds its own items, made from the lent types' prototypes.
    QuiItemList* read = reader->getItemList();
    EXPECT_EQ(2, CountItems(*reader));
    QuiItem* renamed = read->get(QuiItemID("s2"));
    ASSERT_TRUE(renamed != nullptr);
    EXPECT_NE(pear, renamed);
    EXPECT_EQ(todo, renamed->getType());
    EXPECT_EQ("Renamed|p1|1|clean", Describe(renamed));
    Contact* ann = dynamic_cast<Contact*>(read->get(QuiItemID("n1")));
    ASSERT_TRUE(ann != nullptr);
    EXPECT_EQ("555", ann->phone);
    EXPECT_TRUE(read->get(QuiItemID("n2")) == nullptr) << "its type was not lent";

    reader->getTypeList()->fetchBegin();
    while (QuiItemType* type = reader->getTypeList()->fetchNext())
        reader->getTypeList()->remove(type);
    reader->getTypeList()->fetchEnd();
    reader.reset();
    // The owner's types and items are untouched by the reading.
    EXPECT_EQ(todo, db.getTypeList()->get(QuiItemID(kTodo)));
    EXPECT_EQ(contact, db.getTypeList()->get(QuiItemID(kContact)));
    EXPECT_EQ("Pear||0|clean", Describe(pear));
    EXPECT_EQ(3, CountItems(db));
    EXPECT_TRUE(get("n1") == nullptr);

    // A writer lent two of the items writes exactly those.
    apple->setDirty(true);
    std::unique_ptr<QuiKestrel> writer(new QuiKestrel);
    writer->getItemList()->add(apple);
    writer->getItemList()->add(bob);
    EXPECT_TRUE(writer->writeFile(file.path()));
    int cursor = writer->getItemList()->fetchBegin(nullptr);
    while (QuiItem* item = writer->getItemList()->fetchNext(cursor))
        writer->getItemList()->remove(item);
    writer->getItemList()->fetchEnd(cursor);
    writer.reset();
    EXPECT_EQ(apple, get("s1"));
    EXPECT_EQ("Apple|a|0|dirty", Describe(apple));
    EXPECT_EQ("Bob||0|clean", Describe(bob));

    Database saved;
    ASSERT_TRUE(saved.db.readFile(file.path()));
    EXPECT_EQ(2, CountItems(saved.db));
    EXPECT_EQ("Apple|a|0|clean", Describe(saved.get("s1")));
    EXPECT_EQ("Bob||0|clean", Describe(saved.get("s3")));
    EXPECT_TRUE(saved.get("s2") == nullptr);
}
