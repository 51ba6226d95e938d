#include "QuiItem.h"
#include "QuiTaggedField.h"
#include "Flags.h"

#include <cstdio>
#include <string>
#include <vector>

const char* const QuiItem::kTagID = "ID";
const char* const QuiItem::kTagType = "TYPE";
const char* const QuiItem::kTagDisplayName = "NAME";
const char* const QuiItem::kTagFlags = "FLAGS";
const char* const QuiItem::kTagKeywords = "KEYWORDS";
const char* const QuiItem::kTagKeyword = "KEYWORD";

class QuiItemImpl {
public:
    QuiItemID id;
    QuiItemType* type = nullptr;
    // The type's identifier, kept so that writing and comparing never touch a
    // type object that its owner may already have destroyed.
    QuiItemID typeID;
    std::vector<std::string> keywords;
    size_t keywordCursor = 0;
    std::string name;
    bool dirty = false;
    int flags = 0;
    QuiForeignKey* foreignKey = nullptr;
};

namespace {
int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "0x" then hexadecimal digits of either case, up to the first other
// character. A number that does not fit in 32 bits does not match.
bool ScanFlags(const char* text, int* flags)
{
    if (text[0] != '0' || text[1] != 'x' || HexDigit(text[2]) < 0)
        return false;
    unsigned value = 0;
    for (const char* p = text + 2; HexDigit(*p) >= 0; ++p) {
        if (value > 0x0FFFFFFFu)
            return false;
        value = (value << 4) | static_cast<unsigned>(HexDigit(*p));
    }
    *flags = static_cast<int>(value);
    return true;
}

void AddLeaf(QuiTaggedField* record, const char* tag, const char* value)
{
    record->subfieldsAdd(new QuiTaggedField(tag, value));
}
}

QuiItem::QuiItem() : m_impl(new QuiItemImpl) {}

QuiItem::QuiItem(const QuiItemID& id, QuiItemType* type) : m_impl(new QuiItemImpl)
{
    m_impl->id = id;
    setType(type);
}

QuiItem::QuiItem(const QuiItem& other) : m_impl(new QuiItemImpl)
{
    m_impl->type = other.m_impl->type;
    m_impl->typeID = other.m_impl->typeID;
    m_impl->keywords = other.m_impl->keywords;
    m_impl->name = other.m_impl->name;
    m_impl->dirty = other.m_impl->dirty;
    m_impl->flags = other.m_impl->flags;
}

QuiItem::~QuiItem() { delete m_impl; }

QuiItem* QuiItem::clone(const QuiItemID& id)
{
    QuiItem* item = new QuiItem(*this);
    item->setID(id);
    return item;
}

QuiItem* QuiItem::copy(const QuiItem& from)
{
    // Copies of the source first: `from` may be this very item.
    std::vector<std::string> keywords = from.m_impl->keywords;
    std::string name = from.m_impl->name;
    setDirty(from.getDirty());
    m_impl->keywords.swap(keywords);
    m_impl->name.swap(name);
    setForeignKey(from.getForeignKey());
    int flags = from.getFlags();
    clearFlags();
    modifyFlags(flags, true);
    return this;
}

void QuiItem::fromRecord(QuiTaggedField* record)
{
    if (!record)
        return;
    record->subfieldsFetchBegin(nullptr);
    while (QuiTaggedField* field = record->subfieldsFetchNext())
        setField(field);
    record->subfieldsFetchEnd();
}

void QuiItem::setField(QuiTaggedField* field)
{
    if (!field)
        return;
    if (field->tagIs(kTagDisplayName)) {
        setDisplayName(field->getValue());
    } else if (field->tagIs(kTagKeywords)) {
        keywordsClear();
        field->subfieldsFetchBegin(kTagKeyword);
        while (QuiTaggedField* keyword = field->subfieldsFetchNext())
            keywordsAdd(keyword->getValue());
        field->subfieldsFetchEnd();
    } else if (field->tagIs(kTagFlags)) {
        ScanFlags(field->getValue(), &m_impl->flags);
    }
}

void QuiItem::toRecord(QuiTaggedField* record)
{
    if (!record)
        return;
    AddLeaf(record, kTagID, m_impl->id.toString());
    if (m_impl->type)
        AddLeaf(record, kTagType, m_impl->typeID.toString());
    AddLeaf(record, kTagDisplayName, m_impl->name.c_str());
    QuiTaggedField* keywords = new QuiTaggedField(kTagKeywords, nullptr);
    for (const std::string& keyword : m_impl->keywords)
        AddLeaf(keywords, kTagKeyword, keyword.c_str());
    record->subfieldsAdd(keywords);
    char flags[16];
    std::snprintf(flags, sizeof flags, "0x%04X", static_cast<unsigned>(m_impl->flags));
    AddLeaf(record, kTagFlags, flags);
}

int QuiItem::recordCompare(QuiTaggedField* record)
{
    if (!record)
        return 0;
    if (QuiTaggedField* id = record->subfieldsGet(kTagID))
        return m_impl->id == id->getValue() ? 3 : 0;
    QuiTaggedField* type = record->subfieldsGet(kTagType);
    if (!type || !m_impl->type || m_impl->typeID != type->getValue())
        return 0;
    QuiTaggedField* name = record->subfieldsGet(kTagDisplayName);
    return name && m_impl->name == name->getValue() ? 2 : 1;
}

const QuiItemID& QuiItem::getID() const { return m_impl->id; }

void QuiItem::setID(const QuiItemID& id) { m_impl->id = id; }

QuiItemType* QuiItem::getType() const { return m_impl->type; }

void QuiItem::setType(QuiItemType* type)
{
    m_impl->type = type;
    m_impl->typeID = type ? type->getID() : QuiItemID();
}

void QuiItem::keywordsFetchBegin() { m_impl->keywordCursor = 0; }

const char* QuiItem::keywordsFetchNext()
{
    if (m_impl->keywordCursor >= m_impl->keywords.size())
        return nullptr;
    return m_impl->keywords[m_impl->keywordCursor++].c_str();
}

void QuiItem::keywordsFetchEnd() {}

void QuiItem::keywordsAdd(const char* keyword) { m_impl->keywords.push_back(keyword ? keyword : ""); }

void QuiItem::keywordsClear() { m_impl->keywords.clear(); }

const char* QuiItem::getDisplayName() const { return m_impl->name.c_str(); }

void QuiItem::setDisplayName(const char* name) { m_impl->name = name ? name : ""; }

bool QuiItem::getDirty() const { return m_impl->dirty; }

void QuiItem::setDirty(bool dirty) { m_impl->dirty = dirty; }

int QuiItem::getFlags() const { return m_impl->flags; }

void QuiItem::modifyFlags(int bits, bool on) { kestrel::ModifyFlags(m_impl->flags, bits, on); }

void QuiItem::clearFlags() { m_impl->flags = 0; }

QuiForeignKey* QuiItem::getForeignKey() const { return m_impl->foreignKey; }

void QuiItem::setForeignKey(QuiForeignKey* key)
{
    m_impl->foreignKey = key;
    m_impl->dirty = true;
}
