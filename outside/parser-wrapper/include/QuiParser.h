// The object wrapper over the parse engine through which the main program
// parses: contexts, packages, and keyphrases whose package attributes become
// item roles over items of the item database.
#pragma once
#include "Kestrel.h"
#include "Osprey.h"

#include <cstddef>
#include <map>
#include <set>
#include <vector>

class QuiParser;
class QuiPrsContext;
class QuiPrsPackage;
class QuiPrsDllPackage;
class QuiPrsKeyphrase;

// One pointer of client data; the wrapper never looks at it.
class QuiPrsUserDataMixIn {
public:
    void* getUserData() const { return m_userData; }
    void setUserData(void* data) { m_userData = data; }

private:
    void* m_userData = nullptr;
};

// A recognised value that is not an item of the database: dates as seconds
// since 1970.
class QuiNumericItem : public QuiItem {
public:
    QuiNumericItem(QuiItemType* type, double value);
    QuiItem* clone(const QuiItemID& id) override;
    double getValue() const { return m_value; }

protected:
    QuiNumericItem(const QuiNumericItem& other);

private:
    double m_value;
};

// What a keyphrase stands for: an item in a role named by the tag.
class QuiPrsItemRole {
public:
    // `owned` items are destroyed with the role.
    QuiPrsItemRole(int tag, QuiItem* item, bool owned);
    ~QuiPrsItemRole();
    QuiPrsItemRole(const QuiPrsItemRole&) = delete;
    QuiPrsItemRole& operator=(const QuiPrsItemRole&) = delete;
    int getTag() const { return m_tag; }
    QuiItem* getItem() const { return m_item; }

private:
    int m_tag;
    QuiItem* m_item;
    bool m_owned;
};

// One object per engine keyphrase for the keyphrase's whole life, so that
// clients may use its address as the keyphrase's identity across events.
class QuiPrsKeyphrase : public QuiPrsUserDataMixIn {
public:
    // The roles come from `package`'s attributes; none without a package.
    QuiPrsKeyphrase(PrsKeyphrase* engine, QuiPrsDllPackage* package);
    ~QuiPrsKeyphrase();
    QuiPrsKeyphrase(const QuiPrsKeyphrase&) = delete;
    QuiPrsKeyphrase& operator=(const QuiPrsKeyphrase&) = delete;

    void fetchItemRolesBegin();
    QuiPrsItemRole* fetchItemRolesNext();
    void fetchItemRolesEnd();
    // Character offsets of the first and the last character in the text parsed.
    void getOffsets(int* first, int* last) const;
    PrsKeyphrase* getEngine() const { return m_engine; }
    // False for a text that only looks like what its package reads (a date
    // that does not exist): the client never hears of it.
    bool isOffered() const { return m_offered; }

private:
    PrsKeyphrase* m_engine;
    bool m_offered = true;
    std::vector<QuiPrsItemRole*> m_roles;
    std::size_t m_cursor = 0;
};

// A parse context: the text of one note and the keyphrases found in it.
class QuiPrsContext : public QuiPrsUserDataMixIn {
public:
    virtual ~QuiPrsContext();
    QuiPrsContext(const QuiPrsContext&) = delete;
    QuiPrsContext& operator=(const QuiPrsContext&) = delete;
    PrsContext* getEngine() const { return m_engine; }
    // Whether the keyphrase is one of this context's live ones: reported,
    // and not yet reported removed.
    bool holdsKeyphrase(const QuiPrsKeyphrase* keyphrase) const
    {
        return m_keyphrases.count(const_cast<QuiPrsKeyphrase*>(keyphrase)) != 0;
    }
    // The live keyphrases the client has heard of, in the order they stand
    // in the text.
    std::vector<QuiPrsKeyphrase*> getKeyphrases() const;
    // Called from a callback that could not take its event: the parse fails,
    // and the next one takes every keyphrase away and offers it again.
    void failParse() { m_failed = true; }

private:
    friend class QuiParser;
    explicit QuiPrsContext(PrsContext* engine);
    PrsContext* m_engine;
    std::set<QuiPrsKeyphrase*> m_keyphrases;
    bool m_failed = false;
    bool* m_alive = nullptr;   // the running parse's, cleared when this goes
};

// A package limited, once told so, to a list of item types.
class QuiPrsPackage : public QuiPrsUserDataMixIn {
public:
    explicit QuiPrsPackage(QuiParser* parser);
    virtual ~QuiPrsPackage();
    QuiPrsPackage(const QuiPrsPackage&) = delete;
    QuiPrsPackage& operator=(const QuiPrsPackage&) = delete;
    // Takes the list over; null lifts the limit.
    void restrictItemTypes(QuiItemTypeList* types);
    // True without a limit, and for a type of the limiting list.
    bool admitsType(QuiItemType* type) const;
    QuiParser* getParser() const { return m_parser; }

private:
    QuiParser* m_parser;
    QuiItemTypeList* m_types = nullptr;
};

// A package library loaded into the engine.
class QuiPrsDllPackage : public QuiPrsPackage {
public:
    QuiPrsDllPackage(QuiParser* parser, const char* libraryFile);
    ~QuiPrsDllPackage() override;
    virtual void registerTypes();
    virtual void createItems();
    virtual void loadItems();
    virtual void unloadItems();
    virtual void loadItem(QuiItem* item);
    virtual void unloadItem(QuiItem* item);
    // A new role for the attribute, or null when it stands for nothing.
    virtual QuiPrsItemRole* attributeToItemRole(PrsAttribute* attribute);

    // The roles of one attribute, in order; the caller owns them.
    void attributeToItemRoles(PrsAttribute* attribute, std::vector<QuiPrsItemRole*>* roles);
    // Whether a keyphrase with these attributes is shown to the client: for
    // the date grammar, only when every date it names exists.
    bool offers(const PrsAttribute* attributes, int count) const;
    // Null when the library did not load.
    PrsPackage* getEngine() const { return m_engine; }
    // The item type of dates once a date package registered it.
    QuiItemType* getDateType() const { return m_dateType; }

private:
    enum Grammar { kOtherGrammar, kDateGrammar, kAliasGrammar };
    struct Alias {
        QuiItem* item;
        std::vector<PrsLexiconEntry*> entries;
    };
    void addPhrase(Alias& alias, int cookie, const char* text);

    PrsPackage* m_engine = nullptr;
    Grammar m_grammar = kOtherGrammar;
    QuiItemType* m_dateType = nullptr;
    bool m_wordsAdded = false;
    std::map<int, Alias> m_aliases;           // by cookie
    std::map<QuiItem*, int> m_cookies;
    int m_nextCookie = 1;
};

class QuiParser {
public:
    typedef void (*Callback)(QuiParser* parser, QuiPrsContext* context, QuiPrsPackage* package, int event,
                             QuiPrsKeyphrase* keyphrase, int oldFirst, int oldLast, void* userData);

    explicit QuiParser(QuiKestrel* kestrel);
    virtual ~QuiParser();
    QuiParser(const QuiParser&) = delete;
    QuiParser& operator=(const QuiParser&) = delete;

    void setCallback(Callback callback, void* userData);
    // Null when the engine cannot make one.
    QuiPrsContext* createContext();
    // Re-parses the context's whole text; the callback hears every change.
    // False when the engine failed or a callback could not take an event.
    bool parse(QuiPrsContext* context, const PRSWCHAR* text);

    QuiKestrel* getKestrel() const { return m_kestrel; }
    PrsParser* getEngine() const { return m_engine; }

private:
    friend class QuiPrsDllPackage;
    static void PRSAPI engineEvent(int event, PrsContext* context, PrsKeyphrase* keyphrase, int oldFirst,
                                   int oldLast, void* userData);
    static void failParse(PrsContext* engineContext);
    QuiKestrel* m_kestrel;
    PrsParser* m_engine;
    Callback m_callback = nullptr;
    void* m_userData = nullptr;
    std::map<PrsPackage*, QuiPrsDllPackage*> m_packages;
    // Keyphrases removed during a parse live until the outermost parse
    // returns: no keyphrase added meanwhile takes the address by which
    // clients still know a removed one.
    int m_parseDepth = 0;
    std::vector<QuiPrsKeyphrase*> m_removed;
};
