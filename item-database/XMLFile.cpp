#include "QuiXMLFile.h"
#include "XMLStream.h"
#include "FileReplace.h"

#include <cstdio>
#include <string>

namespace {
// Text mode: line ends are CR LF on Windows.
#ifdef _WIN32
const char kReadMode[] = "rt";
const char kWriteMode[] = "wt";
#else
const char kReadMode[] = "r";
const char kWriteMode[] = "w";
#endif
}

class QuiXMLFileInImpl : public QuiXMLStream {
public:
    FILE* file = nullptr;

    void close()
    {
        if (file)
            std::fclose(file);
        file = nullptr;
    }

protected:
    // A zero byte ends the text, as it does for the buffer reader.
    int getChar() override
    {
        int c = std::getc(file);
        return c == EOF || c == 0 ? kEnd : c;
    }
};

QuiXMLFileIn::QuiXMLFileIn() : m_impl(new QuiXMLFileInImpl) {}

QuiXMLFileIn::~QuiXMLFileIn()
{
    m_impl->close();
    delete m_impl;
}

bool QuiXMLFileIn::openFile(const char* path)
{
    m_impl->close();
    m_impl->file = path ? std::fopen(path, kReadMode) : nullptr;
    return m_impl->file != nullptr;
}

QuiTaggedField* QuiXMLFileIn::read() { return m_impl->file ? m_impl->readTree() : nullptr; }

void QuiXMLFileIn::closeFile() { m_impl->close(); }

class QuiXMLFileOutImpl : public QuiXMLStream {
public:
    FILE* file = nullptr;
    bool failed = false;

    // The data is on the disk before the caller may rename the file into place.
    bool close()
    {
        if (!file)
            return false;
        bool ok = !failed && !std::ferror(file) && kestrel::FlushToDisk(file);
        ok = std::fclose(file) == 0 && ok;
        file = nullptr;
        failed = false;
        return ok;
    }

protected:
    bool putText(const char* text, size_t length) override
    {
        failed = failed || std::fwrite(text, 1, length, file) != length;
        return !failed;
    }

    bool endLine() override
    {
        failed = failed || std::fputc('\n', file) == EOF || std::fflush(file) != 0;
        return !failed;
    }
};

QuiXMLFileOut::QuiXMLFileOut() : m_impl(new QuiXMLFileOutImpl) {}

QuiXMLFileOut::~QuiXMLFileOut()
{
    m_impl->close();
    delete m_impl;
}

bool QuiXMLFileOut::createFile(const char* path)
{
    m_impl->close();
    m_impl->file = path ? std::fopen(path, kWriteMode) : nullptr;
    return m_impl->file != nullptr;
}

bool QuiXMLFileOut::write(QuiTaggedField* root) { return m_impl->file && m_impl->writeTree(root); }

bool QuiXMLFileOut::closeFile() { return m_impl->close(); }

class QuiXMLBufferInImpl : public QuiXMLStream {
public:
    const char* text = nullptr;
    size_t position = 0;

protected:
    int getChar() override
    {
        unsigned char c = static_cast<unsigned char>(text[position]);
        if (c == 0)
            return kEnd;
        ++position;
        return c;
    }
};

QuiXMLBufferIn::QuiXMLBufferIn(const char* text) : m_impl(new QuiXMLBufferInImpl)
{
    m_impl->text = text;
}

QuiXMLBufferIn::~QuiXMLBufferIn() { delete m_impl; }

QuiTaggedField* QuiXMLBufferIn::read()
{
    if (!m_impl->text)
        return nullptr;
    m_impl->position = 0;
    return m_impl->readTree();
}

class QuiXMLBufferOutImpl : public QuiXMLStream {
public:
    std::string text;
    bool locked = false;

protected:
    bool putText(const char* part, size_t length) override
    {
        text.append(part, length);
        return true;
    }

    bool endLine() override
    {
        text += '\n';
        return true;
    }
};

QuiXMLBufferOut::QuiXMLBufferOut() : m_impl(new QuiXMLBufferOutImpl) {}

QuiXMLBufferOut::~QuiXMLBufferOut() { delete m_impl; }

// A refused or failed write leaves the text as it was.
bool QuiXMLBufferOut::write(QuiTaggedField* root)
{
    if (m_impl->locked)
        return false;
    size_t before = m_impl->text.size();
    if (m_impl->writeTree(root))
        return true;
    m_impl->text.resize(before);
    return false;
}

char* QuiXMLBufferOut::lockBuffer()
{
    m_impl->locked = true;
    return &m_impl->text[0];
}
