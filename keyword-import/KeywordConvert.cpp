#include "KeywordConvert.h"

#include <cctype>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "Kestrel.h"
#include "KeywordFile.h"

namespace wren {

const char* const kTodoCategoryType = "55861570-ea6a-11d2-a0e6-00104b9522aa";
const char* const kMemoCategoryType = "55861571-ea6a-11d2-a0e6-00104b9522aa";
const char* const kContactType = "55861572-ea6a-11d2-a0e6-00104b9522aa";

namespace {

// An item that keeps the fields it does not know (a web action's connector,
// whatever a later version writes), so that writing the file back loses
// nothing of what was read.
class KeptItem : public QuiItem {
public:
    KeptItem() = default;
    QuiItem* clone(const QuiItemID& id) override
    {
        KeptItem* item = new KeptItem(*this);
        item->setID(id);
        return item;
    }
    void setField(QuiTaggedField* field) override
    {
        if (!field)
            return;
        if (field->tagIs(kTagDisplayName) || field->tagIs(kTagKeywords) || field->tagIs(kTagFlags)) {
            QuiItem::setField(field);
        } else if (!field->tagIs(kTagID) && !field->tagIs(kTagType)) {
            // A later record's field replaces the earlier one of that tag.
            m_other.erase(field->getTag());
            m_other.emplace(field->getTag(), field->copy());
        }
    }
    void toRecord(QuiTaggedField* record) override
    {
        QuiItem::toRecord(record);
        for (const auto& kept : m_other)
            record->subfieldsAdd(kept.second->copy());
    }

private:
    KeptItem(const KeptItem& other) : QuiItem(other)
    {
        for (const auto& kept : other.m_other)
            m_other.emplace(kept.first, kept.second->copy());
    }

    std::multimap<std::string, std::unique_ptr<QuiTaggedField>> m_other;
};

bool SameIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string ReadAll(const char* path, bool* opened)
{
    std::ifstream in(path, std::ios::binary);
    *opened = static_cast<bool>(in);
    std::ostringstream text;
    if (in)
        text << in.rdbuf();
    return text.str();
}

bool Blank(const std::string& text)
{
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// The database the keywords go into: the three built-in types, every other
// type the output file names, and the items it holds.
class Target {
public:
    int Load(const char* output)
    {
        Register(kTodoCategoryType, "Todo Category");
        Register(kMemoCategoryType, "Memo Category");
        Register(kContactType, "Contact");
        bool opened = false;
        std::string text = ReadAll(output, &opened);
        if (!opened || Blank(text))
            return kConverted;
        // An item file that cannot be read would be replaced by the imported
        // keywords alone: the user's items are worth more than the import.
        QuiXMLBufferIn in(text.c_str());
        std::unique_ptr<QuiTaggedField> root(in.read());
        if (!root)
            return kOutputUnreadable;
        root->subfieldsFetchBegin(QuiKestrel::kTagItem);
        while (QuiTaggedField* record = root->subfieldsFetchNext())
            if (QuiTaggedField* type = record->subfieldsGet(QuiItem::kTagType))
                Register(type->getValue(), type->getValue());
        root->subfieldsFetchEnd();
        return m_database.readFile(output) ? kConverted : kOutputUnreadable;
    }

    int Save(const char* output) { return m_database.writeFile(output) ? kConverted : kOutputNotWritten; }

    QuiItemType* Type(int kind, bool shortForm)
    {
        const char* id = nullptr;
        if (kind == 1)
            id = shortForm ? kMemoCategoryType : kTodoCategoryType;
        else if (kind == 2)
            id = shortForm ? kTodoCategoryType : kMemoCategoryType;
        else if ((kind == 4097 && !shortForm) || (kind == 0 && shortForm))
            id = kContactType;
        return id ? m_database.getTypeList()->get(id) : nullptr;
    }

    // The first item of the type whose display name is name, case aside.
    QuiItem* Named(QuiItemType* type, const std::string& name)
    {
        QuiItemList* items = m_database.getItemList();
        int cursor = items->fetchBegin(type);
        QuiItem* item;
        while ((item = items->fetchNext(cursor)) && !SameIgnoringCase(item->getDisplayName(), name)) {
        }
        items->fetchEnd(cursor);
        return item;
    }

    QuiItem* WithId(QuiItemType* type, const std::string& id)
    {
        QuiItem* item = m_database.getItemList()->get(QuiItemID(id.c_str()));
        return item && item->getType() == type ? item : nullptr;
    }

    bool IdFree(const std::string& id) { return !m_database.getItemList()->get(QuiItemID(id.c_str())); }

    // Names the item, marks it and adds the keywords it lacks; a new item
    // joins the list.
    void Fill(QuiItem* item, bool isNew, const std::string& name, const std::vector<std::string>& keywords)
    {
        std::unique_ptr<QuiItem> owned(isNew ? item : nullptr);
        item->setDisplayName(name.c_str());
        item->modifyFlags(3, true);
        for (const std::string& keyword : keywords)
            if (!keyword.empty() && !Holds(item, keyword))
                item->keywordsAdd(keyword.c_str());
        if (isNew && m_database.getItemList()->add(item))
            owned.release();
    }

private:
    void Register(const char* id, const char* name)
    {
        QuiItemID typeId(id);
        if (typeId.isNil() || m_database.getTypeList()->get(typeId))
            return;
        std::unique_ptr<QuiItemType> type(new QuiItemType(typeId, name, new KeptItem));
        if (m_database.registerType(type.get(), QuiItemID()))
            type.release();
    }

    // A keyword is held when one of the item's keywords equals it, or, once
    // the item has any, when the item's name does (case aside).
    static bool Holds(QuiItem* item, const std::string& keyword)
    {
        bool held = false;
        item->keywordsFetchBegin();
        while (const char* existing = item->keywordsFetchNext())
            if (SameIgnoringCase(existing, keyword) || SameIgnoringCase(item->getDisplayName(), keyword))
                held = true;
        item->keywordsFetchEnd();
        return held;
    }

    QuiKestrel m_database;
};

// Records of one item: same form, same kind, same name exactly.
using Groups = std::vector<std::pair<KeywordRecord, std::vector<std::string>>>;

Groups GroupRecords(const std::vector<KeywordRecord>& records)
{
    Groups groups;
    std::map<std::pair<int, std::string>, size_t> index;
    for (const KeywordRecord& record : records) {
        auto key = std::make_pair(record.kind, record.name);
        auto found = index.find(key);
        if (found == index.end()) {
            found = index.emplace(key, groups.size()).first;
            groups.emplace_back(record, std::vector<std::string>());
        }
        groups[found->second].second.push_back(record.keyword);
    }
    return groups;
}

void ConvertEightColumn(Target& target, const std::vector<std::string>& lines)
{
    std::vector<KeywordRecord> used;
    for (const std::string& line : lines) {
        KeywordRecord record = ParseEightColumn(line);
        if (record.used && !record.name.empty() && target.Type(record.kind, false))
            used.push_back(record);
    }
    for (const auto& group : GroupRecords(used)) {
        QuiItemType* type = target.Type(group.first.kind, false);
        QuiItem* item = target.Named(type, group.first.name);
        bool isNew = !item;
        // A fresh identifier: counters restarting each run would collide
        // with the items of the run before.
        if (isNew)
            item = type->newItem(QuiItemID().generateUnique());
        target.Fill(item, isNew, group.first.name, group.second);
    }
}

// The short form kept one category per kind: each kind yields one item,
// named after the first line of that kind and holding every keyword of the
// kind. The name is its identifier unless another item holds that
// identifier already.
void ConvertShort(Target& target, const std::vector<std::string>& lines)
{
    std::vector<KeywordRecord> used;
    std::map<int, std::string> firstName;
    for (const std::string& line : lines) {
        KeywordRecord record = ParseShort(line);
        if (!record.name.empty() && target.Type(record.kind, true)) {
            record.name = firstName.emplace(record.kind, record.name).first->second;
            used.push_back(record);
        }
    }
    for (const auto& group : GroupRecords(used)) {
        QuiItemType* type = target.Type(group.first.kind, true);
        const std::string& name = group.first.name;
        QuiItem* item = target.WithId(type, name);
        if (!item)
            item = target.Named(type, name);
        bool isNew = !item;
        if (isNew)
            item = type->newItem(target.IdFree(name) ? QuiItemID(name.c_str()) : QuiItemID().generateUnique());
        target.Fill(item, isNew, name, group.second);
    }
}

} // namespace

int Convert(const char* input, const char* output)
{
    if (!input || !output || !*output)
        return kBadArguments;
    int type = FileTypeOf(input);
    std::vector<std::string> lines;
    if ((type != kFileEightColumn && type != kFileShort) || !ReadLines(input, lines))
        return kInputNotConvertible;
    Target target;
    if (int loaded = target.Load(output))
        return loaded;
    if (type == kFileEightColumn)
        ConvertEightColumn(target, lines);
    else
        ConvertShort(target, lines);
    return target.Save(output);
}

} // namespace wren
