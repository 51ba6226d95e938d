// The reader and the indenting writer shared by the item file classes, over
// a character source and sink that each class supplies.
#pragma once
#include <cstddef>
#include <string>

class QuiTaggedField;

class QuiXMLStream {
public:
    // Levels of nesting the reader accepts and the writer produces; the item
    // files use four. Deeper text is rejected rather than recursed into.
    static const int kMaxDepth = 256;

    virtual ~QuiXMLStream() {}

    // The root read, owned by the caller; null when the text is rejected.
    QuiTaggedField* readTree();
    // Checks the whole tree first and writes nothing unless its own reader
    // would read it back; false when refused or a write fails.
    bool writeTree(QuiTaggedField* root);
    static bool canWrite(QuiTaggedField* root);

protected:
    enum { kEnd = -1 };
    // The next byte as unsigned char, or kEnd at the end of the text.
    virtual int getChar() { return kEnd; }
    virtual bool putText(const char*, size_t) { return false; }
    // A line end and a flush.
    virtual bool endLine() { return false; }

private:
    enum { kNothing = -2 };
    int next();
    int nextAfterSpace();
    bool readUpTo(char stop, std::string& text);
    QuiTaggedField* readElement(int depth);
    bool writeElement(QuiTaggedField* field, int depth);
    bool put(const char* text);
    static bool canWrite(QuiTaggedField* field, int depth);

    int m_pushed = kNothing;
};
