#include "QuiXMLFile.h"
#include "QuiTaggedField.h"
#include "Scratch.h"
#include "TreeDump.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {
std::string ReadText(const std::string& text)
{
    QuiXMLBufferIn in(text.c_str());
    std::unique_ptr<QuiTaggedField> root(in.read());
    return Dump(root.get());
}

std::string Nested(int depth)
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<a>";
    for (int i = 0; i < depth; ++i)
        text += "</a>";
    return text;
}

std::string WriteText(QuiTaggedField* root)
{
    QuiXMLBufferOut out;
    EXPECT_TRUE(out.write(root));
    return out.lockBuffer();
}
}

TEST(XMLReader, AcceptedTexts)
{
    struct Row { const char* text; const char* tree; } rows[] = {
        {"<A>x</A>", "A[x]"},
        {"\r\n\n \t\v\f<A>x</A>", "A[x]"},
        {"<NAME> spaced </NAME>", "NAME[ spaced ]"},
        {"<V>a>b & c &lt; &amp;</V>", "V[a>b & c &lt; &amp;]"},
        {"<ITEM><ID>x</ID><TYPE>y</TYPE></ITEM>", "ITEM[](ID[x],TYPE[y])"},
        {"<KEYWORDS></KEYWORDS>", "KEYWORDS[]"},
        {"<A>x</A>trailing <junk </B>", "A[x]"},
        {"<A>\n  <B>2</B>\n\t<B>1</B> \r\n<C></C></A>", "A[\n  ](B[2],B[1],C[])"},
        {"<>v</>", "[v]"},
        {"<a b>v</a b>", "a b[v]"},
        {"<R><a<b>v</a<b></R>", "R[](a<b[v])"},
        {"<A>one\ntwo</A>", "A[one\ntwo]"},
        {"<\xe9\x80>\xff\x80\x81</\xe9\x80>", "\xe9\x80[\xff\x80\x81]"},
        {"<ITEMS>\n    <ITEM>\n        <ID>1</ID>\n    </ITEM>\n</ITEMS>\n",
         "ITEMS[\n    ](ITEM[\n        ](ID[1]))"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.tree, ReadText(r.text)) << r.text;
}

TEST(XMLReader, RejectedTexts)
{
    const char* rows[] = {
        "", " \r\n\t", "x<A></A>", "<?xml version=\"1.0\"?><A></A>", "<!-- c --><A></A>",
        "<ITEM/>", "<A>x</a>", "<A>x</AB>", "<AB>x</A>", "<A>x</A >",
        "<A><B>1</B> text <C>2</C></A>", "<A>a<b</A>", "<A>x", "<A", "<", "</A>",
        "<A>x</A", "<A><B></B>", "<A><B></B></C></A>", "<A>\0</A>",
    };
    for (const char* text : rows)
        EXPECT_EQ("<null>", ReadText(text)) << text;
}

TEST(XMLReader, NestingIsBounded)
{
    struct Row { int depth; bool accepted; } rows[] = {
        {4, true}, {64, true}, {256, true}, {257, false}, {100000, false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.accepted, ReadText(Nested(r.depth)) != "<null>") << r.depth;
}

TEST(XMLWriter, LayoutInBuffer)
{
    QuiTaggedField root("ITEMS", nullptr);
    QuiTaggedField* item = new QuiTaggedField("ITEM", nullptr);
    root.subfieldsAdd(item);
    item->subfieldsAdd(new QuiTaggedField("NAME", " x "));
    item->subfieldsAdd(new QuiTaggedField("KEYWORDS", nullptr));
    item->subfieldsAdd(new QuiTaggedField("A", "v"));
    EXPECT_EQ("<ITEMS>\n"
              "    <ITEM>\n"
              "        <A>v</A>\n"
              "        <KEYWORDS></KEYWORDS>\n"
              "        <NAME> x </NAME>\n"
              "    </ITEM>\n"
              "</ITEMS>\n",
              WriteText(&root));
    QuiTaggedField lone("ITEMS", nullptr);
    EXPECT_EQ("<ITEMS></ITEMS>\n", WriteText(&lone));
}

// Every byte but "<" in values and ">" in tags (and, where text mode ends a
// file at it, 0x1A) goes out and comes back unchanged.
TEST(XMLWriter, RoundTripKeepsLeafBytes)
{
    std::string value, tag = "a";
    for (int c = 1; c < 256; ++c) {
#ifdef _WIN32
        if (c == 0x1a)
            continue;
#endif
        if (c != '<')
            value += static_cast<char>(c);
        if (c != '>')
            tag += static_cast<char>(c);
    }
    QuiTaggedField root("R", " parent ");
    QuiTaggedField* parent = new QuiTaggedField(tag.c_str(), nullptr);
    root.subfieldsAdd(parent);
    parent->subfieldsAdd(new QuiTaggedField(tag.c_str(), value.c_str()));
    root.subfieldsAdd(new QuiTaggedField("E", ""));

    ScratchFile file;
    QuiXMLFileOut out;
    ASSERT_TRUE(out.createFile(file.path()));
    EXPECT_TRUE(out.write(&root));
    EXPECT_TRUE(out.closeFile());
    QuiXMLFileIn in;
    ASSERT_TRUE(in.openFile(file.path()));
    std::unique_ptr<QuiTaggedField> fromFile(in.read());
    in.closeFile();
    std::string text = WriteText(&root);
    QuiXMLBufferIn buffer(text.c_str());
    std::unique_ptr<QuiTaggedField> fromBuffer(buffer.read());
    for (QuiTaggedField* back : {fromFile.get(), fromBuffer.get()}) {
        ASSERT_TRUE(back != nullptr);
        ASSERT_EQ(2, back->subfieldsCount());
        QuiTaggedField* got = back->subfieldsGet(tag.c_str());
        ASSERT_TRUE(got != nullptr);
        ASSERT_EQ(1, got->subfieldsCount());
        EXPECT_EQ(value, got->subfieldsGet(tag.c_str())->getValue());
        EXPECT_STREQ("", back->subfieldsGet("E")->getValue());
    }
}

// Trees the reader could not read back are refused whole, anywhere in the
// tree.
TEST(XMLWriter, RefusesWhatCannotBeReadBack)
{
    struct Row { const char* tag; const char* value; } rows[] = {
        {"V", "a<b"}, {"T>", "v"}, {">", "v"}, {"/T", "v"}, {"V", "<"},
#ifdef _WIN32
        {"V", "a\x1a"},
#endif
    };
    for (const Row& r : rows) {
        QuiTaggedField root("R", nullptr);
        QuiTaggedField* middle = new QuiTaggedField("M", nullptr);
        root.subfieldsAdd(new QuiTaggedField("A", "fine"));
        root.subfieldsAdd(middle);
        middle->subfieldsAdd(new QuiTaggedField(r.tag, r.value));
        QuiXMLBufferOut buffer;
        QuiTaggedField before("B", "b");
        EXPECT_TRUE(buffer.write(&before));
        EXPECT_FALSE(buffer.write(&root)) << r.tag << " " << r.value;
        EXPECT_STREQ("<B>b</B>\n", buffer.lockBuffer());

        ScratchFile file;
        QuiXMLFileOut out;
        ASSERT_TRUE(out.createFile(file.path()));
        EXPECT_FALSE(out.write(&root));
        EXPECT_TRUE(out.closeFile());
        EXPECT_EQ("", ReadBytes(file.path()));
    }
    std::string deep = Nested(256);
    QuiXMLBufferIn in(deep.c_str());
    std::unique_ptr<QuiTaggedField> root(in.read());
    ASSERT_TRUE(root != nullptr);
    QuiTaggedField* leaf = root.get();
    while (QuiTaggedField* child = leaf->subfieldsGet("a"))
        leaf = child;
    EXPECT_NE("", WriteText(root.get()));
    leaf->subfieldsAdd(new QuiTaggedField("a", nullptr));
    QuiXMLBufferOut out;
    EXPECT_FALSE(out.write(root.get()));
}

TEST(XMLBuffer, LockFreezesTheText)
{
    QuiXMLBufferOut empty;
    EXPECT_STREQ("", empty.lockBuffer());

    QuiXMLBufferOut out;
    QuiTaggedField a("A", "1"), b("B", "2");
    EXPECT_TRUE(out.write(&a));
    EXPECT_TRUE(out.write(&b));
    char* text = out.lockBuffer();
    EXPECT_STREQ("<A>1</A>\n<B>2</B>\n", text);
    EXPECT_FALSE(out.write(&a));
    EXPECT_FALSE(out.write(nullptr));
    EXPECT_EQ(text, out.lockBuffer());
    EXPECT_STREQ("<A>1</A>\n<B>2</B>\n", text);

    QuiXMLBufferIn in(text);
    std::unique_ptr<QuiTaggedField> first(in.read());
    std::unique_ptr<QuiTaggedField> again(in.read());
    EXPECT_EQ("A[1]", Dump(first.get()));
    EXPECT_EQ("A[1]", Dump(again.get()));
    QuiXMLBufferIn none(nullptr);
    EXPECT_TRUE(none.read() == nullptr);
}

TEST(XMLFile, NothingOpen)
{
    QuiXMLFileIn in;
    EXPECT_TRUE(in.read() == nullptr);
    EXPECT_FALSE(in.openFile("kestrel-no-such-file.xml"));
    EXPECT_FALSE(in.openFile(nullptr));
    EXPECT_TRUE(in.read() == nullptr);
    QuiXMLFileOut out;
    QuiTaggedField a("A", "1");
    EXPECT_FALSE(out.write(&a));
    EXPECT_FALSE(out.closeFile());
    EXPECT_FALSE(out.createFile("kestrel-no-such-folder/x.xml"));
}
