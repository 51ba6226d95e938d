// The main program's single owner of the parser: packages named in the
// registry, one parse context per note, and the sinks that want each item
// type of a context.
#pragma once
#include "QuiParseSinks.h"
#include "QuiParser.h"
#include "QuiRegistry.h"

#include <afxquill.h>

#include <richedit.h>

#include <list>
#include <map>
#include <string>
#include <vector>

enum {
    QUI_PARSER_OK = 0,
    QUI_PARSER_NO_PARSER = 5002,     // no parser, or a package did not load
    QUI_PARSER_FAILED = 5003,        // the parse failed: the next one offers every keyphrase again
    QUI_PARSER_NO_CONTEXT = 5004     // no context made, or one not of this manager
};

// The package files under Software\Quillmate\Client\Parser\Packages.
class QuiParserMgrRegistry : public QuiRegistry {
public:
    enum Value { Alias, Actions, Contact, Date, ValueCount };
    QuiParserMgrRegistry();
    ~QuiParserMgrRegistry() override;
    const char* GetRootPath() override;
    QuiRegValue* GetValueTable() override;
    const char* GetSubKey() override;
    int GetValueCount() override;

private:
    std::string m_rootPath;
    QuiRegValue m_table[ValueCount];
};

// How the note box marks a package's keyphrases: a rich-edit text format.
typedef CHARFORMAT2A KEYPHRASE_DATA;

struct PACKAGE_DATA {
    virtual ~PACKAGE_DATA();
    char name[QUI_REG_FIELD] = {};
    QuiPrsDllPackage* package = nullptr;
    KEYPHRASE_DATA keyphraseData = {};
};

typedef std::map<std::string, PACKAGE_DATA*> QuiPackageMap;

struct CONTEXT_DATA {
    CONTEXT_DATA(QuiPrsContext* c, QuiPackageMap* p) : context(c), packages(p) {}
    virtual ~CONTEXT_DATA();
    CONTEXT_DATA(const CONTEXT_DATA&) = delete;
    CONTEXT_DATA& operator=(const CONTEXT_DATA&) = delete;
    QuiPrsContext* context;
    QuiPackageMap* packages;
    // Addresses stay put: each is a keyphrase's user data.
    std::list<KEYPHRASE_DATA> keyphrases;
    // Equal keys keep the order of registration.
    std::multimap<QuiItemType*, QuiParseResultSink*> sinks;
};

class QuiParserMgr {
public:
    // Without an item database there is no parser.
    explicit QuiParserMgr(QuiKestrel* kestrel);
    ~QuiParserMgr();
    QuiParserMgr(const QuiParserMgr&) = delete;
    QuiParserMgr& operator=(const QuiParserMgr&) = delete;

    int Initialize();
    // typeIDs null: no restriction; else `typeCount` item type ids.
    int LoadPackage(const char* file, const char* name, const KEYPHRASE_DATA* keyphraseData,
                    const char* const* typeIDs, int typeCount);
    int LoadItems();
    void UnloadPackages();
    // Every package forgets the item: none recognises it or keeps its address.
    void UnloadItem(QuiItem* item);
    // Every package enters the item again with its present words.
    void ReloadItem(QuiItem* item);
    int CreateContext(QuiPrsContext** context);
    int DestroyContext(QuiPrsContext* context);
    int Parse(const char* text, QuiPrsContext* context);
    bool RegisterSink(const char* package, QuiPrsContext* context, QuiItemType* type, QuiParseResultSink* sink);
    bool UnregisterSink(const char* package, QuiPrsContext* context, QuiParseResultSink* sink);
    // Tells the sink again of every keyphrase the context holds, as the parse
    // that found it did, in the order they stand in the text: a destination
    // that let its phrases go takes the note as it stands.
    void Replay(QuiPrsContext* context, QuiParseResultSink* sink);

    // True while the context is one of this manager's live ones.
    bool HasContext(QuiPrsContext* context) const { return findContext(context) != nullptr; }
    QuiParser* GetParser() const { return m_parser; }
    QuiKestrel* GetKestrel() const { return m_kestrel; }
    QuiParserMgrRegistry& GetRegistry() { return m_registry; }
    const QuiPackageMap& GetPackages() const { return m_packages; }
    // The package names in the order they were loaded.
    const std::vector<std::string>& GetLoadOrder() const { return m_loadOrder; }

private:
    int loadPackages();
    // The context's data when the context is one of this manager's live ones.
    CONTEXT_DATA* findContext(QuiPrsContext* context) const;

    QuiParserMgrRegistry m_registry;
    QuiKestrel* m_kestrel;
    QuiPackageMap m_packages;
    std::list<CONTEXT_DATA*> m_contexts;
    QuiParser* m_parser = nullptr;
    std::vector<wchar_t> m_wide;
    std::vector<std::string> m_loadOrder;
};

// The parser's callback: hands every item role of the keyphrase to the sinks
// of the context registered for the role item's type.
void onKeyphrase(QuiParser* parser, QuiPrsContext* context, QuiPrsPackage* package, int event,
                 QuiPrsKeyphrase* keyphrase, int, int, void* manager);

// The one-off parse of a text into a date through the application's parser
// manager: its time of day as a fraction of a day with `timeOfDay`, else its
// midnight. FALSE, `date` untouched, when the text holds no date or the
// application has no parser manager.
BOOL ParseDate(const char* text, DATE* date, BOOL timeOfDay);

// The time and date fields' readers: ParseDate with the time flag set or clear.
BOOL ParseTimeText(const CString& text, DATE* pTime);
BOOL ParseDateText(const CString& text, DATE* pDate);
