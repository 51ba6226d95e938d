#include "XMLStream.h"
#include "QuiTaggedField.h"

#include <cstring>
#include <memory>
#include <stdexcept>

namespace {
bool IsSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Text mode ends a file at this byte on Windows, so it cannot be read back.
bool HasEndOfFileMark(const char* text)
{
#ifdef _WIN32
    return std::strchr(text, '\x1a') != nullptr;
#else
    (void)text;
    return false;
#endif
}
}

int QuiXMLStream::next()
{
    if (m_pushed == kNothing)
        return getChar();
    int c = m_pushed;
    m_pushed = kNothing;
    return c;
}

int QuiXMLStream::nextAfterSpace()
{
    int c;
    do
        c = next();
    while (IsSpace(c));
    return c;
}

bool QuiXMLStream::readUpTo(char stop, std::string& text)
{
    for (int c = next(); c != kEnd; c = next()) {
        if (c == static_cast<unsigned char>(stop))
            return true;
        text += static_cast<char>(c);
    }
    return false;
}

QuiTaggedField* QuiXMLStream::readTree()
{
    try {
        m_pushed = kNothing;
        if (nextAfterSpace() != '<')
            return nullptr;
        return readElement(0);
    } catch (const std::exception&) {
        return nullptr;
    }
}

// Called with the opening "<" consumed.
QuiTaggedField* QuiXMLStream::readElement(int depth)
{
    int c = next();
    if (c == '/' || c == kEnd)
        return nullptr;
    m_pushed = c;
    std::string tag, value;
    if (!readUpTo('>', tag) || !readUpTo('<', value))
        return nullptr;
    std::unique_ptr<QuiTaggedField> field(new QuiTaggedField(tag.c_str(), value.c_str()));
    while ((c = next()) != '/') {
        if (c == kEnd || depth + 1 >= kMaxDepth)
            return nullptr;
        m_pushed = c;
        QuiTaggedField* child = readElement(depth + 1);
        if (!child)
            return nullptr;
        field->subfieldsAdd(child);
        if (nextAfterSpace() != '<')
            return nullptr;
    }
    std::string closing;
    if (!readUpTo('>', closing) || closing != tag)
        return nullptr;
    return field.release();
}

bool QuiXMLStream::canWrite(QuiTaggedField* root) { return root && canWrite(root, 0); }

bool QuiXMLStream::canWrite(QuiTaggedField* field, int depth)
{
    const char* tag = field->getTag();
    const char* value = field->getValue();
    if (depth >= kMaxDepth || tag[0] == '/' || std::strchr(tag, '>') || std::strchr(value, '<'))
        return false;
    if (HasEndOfFileMark(tag) || HasEndOfFileMark(value))
        return false;
    field->subfieldsFetchBegin(nullptr);
    bool ok = true;
    while (QuiTaggedField* child = field->subfieldsFetchNext()) {
        if (!(ok = canWrite(child, depth + 1)))
            break;
    }
    field->subfieldsFetchEnd();
    return ok;
}

bool QuiXMLStream::writeTree(QuiTaggedField* root)
{
    try {
        return canWrite(root) && writeElement(root, 0);
    } catch (const std::exception&) {
        return false;
    }
}

bool QuiXMLStream::put(const char* text) { return putText(text, std::strlen(text)); }

bool QuiXMLStream::writeElement(QuiTaggedField* field, int depth)
{
    std::string indent(4 * static_cast<size_t>(depth), ' ');
    std::string value = field->getValue();
    bool parent = field->subfieldsCount() > 0;
    // A parent read from a file holds the line end and indentation before its
    // first child; written before the writer's own, they would pile up at
    // every round trip.
    if (parent)
        value.erase(value.find_last_not_of(" \t\n\r\v\f") + 1);
    bool ok = put(indent.c_str()) && put("<") && put(field->getTag()) && put(">") && put(value.c_str());
    if (ok && parent) {
        ok = endLine();
        field->subfieldsFetchBegin(nullptr);
        while (ok) {
            QuiTaggedField* child = field->subfieldsFetchNext();
            if (!child)
                break;
            ok = writeElement(child, depth + 1);
        }
        field->subfieldsFetchEnd();
        ok = ok && put(indent.c_str());
    }
    return ok && put("</") && put(field->getTag()) && put(">") && endLine();
}
