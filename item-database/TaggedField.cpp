#include "QuiTaggedField.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {
// std::string orders by unsigned bytes, a prefix first; a multimap keeps
// equal tags in order of adding.
typedef std::multimap<std::string, QuiTaggedField*> FieldMap;
}

class QuiTaggedFieldImpl {
public:
    std::string tag;
    std::string value;
    FieldMap subfields;
    FieldMap::iterator cursor;
    FieldMap::iterator cursorEnd;

    void resetCursor() { cursor = cursorEnd = subfields.end(); }
};

QuiTaggedField::QuiTaggedField(const char* tag, const char* value) : m_impl(new QuiTaggedFieldImpl)
{
    m_impl->tag = tag ? tag : "";
    m_impl->value = value ? value : "";
    m_impl->resetCursor();
}

// Iterative, so that a deep tree cannot exhaust the stack.
QuiTaggedField::~QuiTaggedField()
{
    std::vector<QuiTaggedField*> doomed;
    for (auto& entry : m_impl->subfields)
        doomed.push_back(entry.second);
    delete m_impl;
    while (!doomed.empty()) {
        QuiTaggedField* field = doomed.back();
        doomed.pop_back();
        for (auto& entry : field->m_impl->subfields)
            doomed.push_back(entry.second);
        field->m_impl->subfields.clear();
        delete field;
    }
}

const char* QuiTaggedField::getTag() const { return m_impl->tag.c_str(); }

const char* QuiTaggedField::getValue() const { return m_impl->value.c_str(); }

bool QuiTaggedField::tagIs(const char* tag) const { return m_impl->tag == (tag ? tag : ""); }

void QuiTaggedField::setValue(const char* value) { m_impl->value = value ? value : ""; }

void QuiTaggedField::subfieldsAdd(QuiTaggedField* field)
{
    if (field && field != this)
        m_impl->subfields.insert(FieldMap::value_type(field->m_impl->tag, field));
}

void QuiTaggedField::subfieldsClear()
{
    m_impl->subfields.clear();
    m_impl->resetCursor();
}

int QuiTaggedField::subfieldsCount() const { return static_cast<int>(m_impl->subfields.size()); }

void QuiTaggedField::subfieldsFetchBegin(const char* tag)
{
    FieldMap& subs = m_impl->subfields;
    if (!tag) {
        m_impl->cursor = subs.begin();
        m_impl->cursorEnd = subs.end();
        return;
    }
    auto range = subs.equal_range(tag);
    m_impl->cursor = range.first;
    m_impl->cursorEnd = range.second;
}

QuiTaggedField* QuiTaggedField::subfieldsFetchNext()
{
    if (m_impl->cursor == m_impl->cursorEnd)
        return nullptr;
    return (m_impl->cursor++)->second;
}

void QuiTaggedField::subfieldsFetchEnd() {}

QuiTaggedField* QuiTaggedField::subfieldsGet(const char* tag) const
{
    auto it = m_impl->subfields.lower_bound(tag ? tag : "");
    if (it == m_impl->subfields.end() || it->first != (tag ? tag : ""))
        return nullptr;
    return it->second;
}

// Depth is bounded by what the reader and the writer accept.
QuiTaggedField* QuiTaggedField::copy() const
{
    std::unique_ptr<QuiTaggedField> copied(new QuiTaggedField(getTag(), getValue()));
    for (const auto& entry : m_impl->subfields)
        copied->subfieldsAdd(entry.second->copy());
    return copied.release();
}
