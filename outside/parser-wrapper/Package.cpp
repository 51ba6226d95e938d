#include "QuiDateWords.h"
#include "QuiParser.h"
#include "QuiPrsAlias.h"

#include <string>

namespace {

// The item type under which the destinations receive dates.
const char kDateTypeID[] = "A794C523-EEA6-11d2-A0E8-00104B9522AA";
const char kDateTypeName[] = "Date";

// Item flag bits: the keywords stand for the item, its display name does.
const int kKeywordsParse = 1;
const int kNameParses = 2;

// Attribute kinds of the date package; the kind is the role's tag.
enum { kDueDate = 5, kPlainDate = 6 };

std::basic_string<PRSWCHAR> Wide(const char* ascii)
{
    return std::basic_string<PRSWCHAR>(ascii, ascii + std::char_traits<char>::length(ascii));
}

bool Defined(PrsParser* parser, const char* symbol)
{
    return PrsIsSymbolDefined(parser, Wide(symbol).c_str()) != 0;
}

} // namespace

//--- restricted packages

QuiPrsPackage::QuiPrsPackage(QuiParser* parser) : m_parser(parser)
{
}

QuiPrsPackage::~QuiPrsPackage()
{
    delete m_types;
}

void QuiPrsPackage::restrictItemTypes(QuiItemTypeList* types)
{
    if (types == m_types)
        return;
    delete m_types;
    m_types = types;
}

bool QuiPrsPackage::admitsType(QuiItemType* type) const
{
    return !m_types || (type && m_types->get(type->getID()) == type);
}

//--- package libraries

QuiPrsDllPackage::QuiPrsDllPackage(QuiParser* parser, const char* libraryFile) : QuiPrsPackage(parser)
{
    if (!parser || !libraryFile)
        return;
    PrsParser* engine = parser->getEngine();
    // Which grammar the library brought decides what its keyphrases mean.
    bool hadDates = Defined(engine, "due-date");
    bool hadAliases = Defined(engine, QUI_ALIAS_RULE_SYMBOL);
    m_engine = PrsLoadPackageDll(engine, libraryFile);
    if (!m_engine)
        return;
    if (!hadDates && Defined(engine, "due-date"))
        m_grammar = kDateGrammar;
    else if (!hadAliases && Defined(engine, QUI_ALIAS_RULE_SYMBOL))
        m_grammar = kAliasGrammar;
    parser->m_packages[m_engine] = this;
}

QuiPrsDllPackage::~QuiPrsDllPackage()
{
    if (!m_engine)
        return;
    unloadItems();
    getParser()->m_packages.erase(m_engine);
    PrsUnloadPackage(m_engine);
}

void QuiPrsDllPackage::registerTypes()
{
    if (m_grammar != kDateGrammar || m_dateType)
        return;
    QuiKestrel* kestrel = getParser()->getKestrel();
    if (!kestrel)
        return;
    m_dateType = kestrel->getTypeList()->get(QuiItemID(kDateTypeID));
    if (m_dateType)
        return;
    QuiItemType* type = new QuiItemType(QuiItemID(kDateTypeID), kDateTypeName, nullptr);
    if (kestrel->registerType(type, QuiItemID()))
        m_dateType = type;
    else
        delete type;
}

void QuiPrsDllPackage::createItems()
{
    // Called again once the database has been read: the words go in once.
    if (m_grammar != kDateGrammar || m_wordsAdded)
        return;
    AddDateWords(getParser()->getEngine());
    m_wordsAdded = true;
}

void QuiPrsDllPackage::loadItems()
{
    if (m_grammar != kAliasGrammar)
        return;
    unloadItems();
    QuiKestrel* kestrel = getParser()->getKestrel();
    if (!kestrel)
        return;
    QuiItemList* items = kestrel->getItemList();
    int cursor = items->fetchBegin(nullptr);
    while (QuiItem* item = items->fetchNext(cursor))
        loadItem(item);
    items->fetchEnd(cursor);
}

void QuiPrsDllPackage::unloadItems()
{
    while (!m_cookies.empty())
        unloadItem(m_cookies.begin()->first);
}

void QuiPrsDllPackage::loadItem(QuiItem* item)
{
    if (m_grammar != kAliasGrammar || !item || !admitsType(item->getType()))
        return;
    unloadItem(item);
    int cookie = m_nextCookie++;
    Alias& alias = m_aliases[cookie];
    alias.item = item;
    m_cookies[item] = cookie;
    if (item->getFlags() & kNameParses)
        addPhrase(alias, cookie, item->getDisplayName());
    if (item->getFlags() & kKeywordsParse) {
        item->keywordsFetchBegin();
        while (const char* keyword = item->keywordsFetchNext())
            addPhrase(alias, cookie, keyword);
        item->keywordsFetchEnd();
    }
}

void QuiPrsDllPackage::addPhrase(Alias& alias, int cookie, const char* text)
{
    if (!text || !*text)
        return;
    const PRSWCHAR* wide = PrsWiden(text);
    if (!wide || !*wide)
        return;
    Slots* slots = SlotsInit();
    SlotsSetInt(slots, kAliasItemSlot, cookie);
    if (PrsLexiconEntry* entry = PrsAddLexiconPhrase(getParser()->getEngine(), wide,
                                                     Wide(QUI_ALIAS_PHRASE_SYMBOL).c_str(), slots))
        alias.entries.push_back(entry);
    SlotsDeinit(slots);
}

void QuiPrsDllPackage::unloadItem(QuiItem* item)
{
    auto found = m_cookies.find(item);
    if (found == m_cookies.end())
        return;
    auto alias = m_aliases.find(found->second);
    for (PrsLexiconEntry* entry : alias->second.entries)
        PrsRemoveLexiconEntry(getParser()->getEngine(), entry);
    m_aliases.erase(alias);
    m_cookies.erase(found);
}

QuiPrsItemRole* QuiPrsDllPackage::attributeToItemRole(PrsAttribute* attribute)
{
    if (!attribute)
        return nullptr;
    if (m_grammar == kAliasGrammar) {
        auto found = m_aliases.find(attribute->value);
        if (attribute->kind != kAliasAttributeKind || found == m_aliases.end())
            return nullptr;
        return new QuiPrsItemRole(0, found->second.item, false);
    }
    if (m_grammar == kDateGrammar && m_dateType && attribute->kind > 0 && attribute->value != -1)
        return new QuiPrsItemRole(attribute->kind, new QuiNumericItem(m_dateType, attribute->value), true);
    return nullptr;
}

void QuiPrsDllPackage::attributeToItemRoles(PrsAttribute* attribute, std::vector<QuiPrsItemRole*>* roles)
{
    QuiPrsItemRole* role = attributeToItemRole(attribute);
    if (!role)
        return;
    roles->push_back(role);
    // A date without a word of its own is both the day of an entry and the
    // day a to-do falls due. A time of day names no day: the to-dos take its
    // day themselves only while no phrase names one.
    if (m_grammar == kDateGrammar && role->getTag() == kPlainDate) {
        PrsAttribute due = {kDueDate, attribute->value};
        if (QuiPrsItemRole* dueRole = attributeToItemRole(&due))
            roles->push_back(dueRole);
    }
}

bool QuiPrsDllPackage::offers(const PrsAttribute* attributes, int count) const
{
    if (m_grammar != kDateGrammar)
        return true;
    if (count <= 0)
        return false;
    for (int i = 0; i < count; ++i) {
        if (attributes[i].value == -1)
            return false;
    }
    return true;
}
