// Reader and writer of the item file: nested tags, one element per line, no
// attributes, entities or escaping. Values cannot hold "<", tags cannot hold
// ">" nor begin with "/"; the writers refuse such trees.
#pragma once
#include "KestrelApi.h"

class QuiTaggedField;
class QuiXMLFileInImpl;
class QuiXMLFileOutImpl;
class QuiXMLBufferInImpl;
class QuiXMLBufferOutImpl;

class KESTREL_API QuiXMLFileIn {
public:
    QuiXMLFileIn();
    ~QuiXMLFileIn();
    QuiXMLFileIn(const QuiXMLFileIn&) = delete;
    QuiXMLFileIn& operator=(const QuiXMLFileIn&) = delete;

    bool openFile(const char* path);
    // The root of the tree read from the current position, owned by the
    // caller; null when no file is open or the text is rejected.
    QuiTaggedField* read();
    void closeFile();

private:
    QuiXMLFileInImpl* m_impl;
};

class KESTREL_API QuiXMLFileOut {
public:
    QuiXMLFileOut();
    // Closes the file; call closeFile first to learn whether it was written.
    ~QuiXMLFileOut();
    QuiXMLFileOut(const QuiXMLFileOut&) = delete;
    QuiXMLFileOut& operator=(const QuiXMLFileOut&) = delete;

    // Creates or truncates.
    bool createFile(const char* path);
    // False, writing nothing, when no file is open or the tree cannot be
    // represented; false too when a write fails.
    bool write(QuiTaggedField* root);
    // Forces the file's data to the disk and closes it. False when any write
    // since createFile, the flush or the close itself failed.
    bool closeFile();

private:
    QuiXMLFileOutImpl* m_impl;
};

class KESTREL_API QuiXMLBufferIn {
public:
    // The zero-terminated text must outlive the object.
    explicit QuiXMLBufferIn(const char* text);
    ~QuiXMLBufferIn();
    QuiXMLBufferIn(const QuiXMLBufferIn&) = delete;
    QuiXMLBufferIn& operator=(const QuiXMLBufferIn&) = delete;

    // Reads from the start of the text each time; the caller owns the root.
    QuiTaggedField* read();

private:
    QuiXMLBufferInImpl* m_impl;
};

class KESTREL_API QuiXMLBufferOut {
public:
    QuiXMLBufferOut();
    ~QuiXMLBufferOut();
    QuiXMLBufferOut(const QuiXMLBufferOut&) = delete;
    QuiXMLBufferOut& operator=(const QuiXMLBufferOut&) = delete;

    // Appends; false, appending nothing, once locked or when the tree cannot
    // be represented.
    bool write(QuiTaggedField* root);
    // Zero-terminates and freezes the text; it stays valid until the object
    // is destroyed.
    char* lockBuffer();

private:
    QuiXMLBufferOutImpl* m_impl;
};
