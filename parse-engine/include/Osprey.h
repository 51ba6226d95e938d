// The parse engine's flat interface: plain C functions over opaque handles.
// Creators return null (0) when they fail; setters return what they set.
// Text is UTF-16 throughout.
#pragma once

#include <stdint.h>

#if defined(_WIN32)
#  include <oaidl.h>
#  define PRSAPI __cdecl
typedef wchar_t PRSWCHAR;
#else
#  define PRSAPI
typedef char16_t PRSWCHAR;
// The part of an automation VARIANT that packages write on the host.
typedef unsigned short VARTYPE;
enum { VT_EMPTY = 0, VT_NULL = 1, VT_DATE = 7 };
typedef struct tagVARIANT {
    VARTYPE vt;
    unsigned short reserved1, reserved2, reserved3;
    union {
        double date;
        long long llVal;
    };
} VARIANT;
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct PrsParser PrsParser;
typedef struct PrsContext PrsContext;
typedef struct PrsRule PrsRule;
typedef struct PrsKeyphrase PrsKeyphrase;
typedef struct PrsPackage PrsPackage;
typedef struct PrsLexiconEntry PrsLexiconEntry;
typedef struct Slots Slots;

// Parse events raised through the callback.
enum {
    PRS_EVENT_ADDED = 1,
    PRS_EVENT_REMOVED = 2,
    PRS_EVENT_MOVED = 3
};

// Reserved slot ids.
enum {
    PRS_SLOT_ALL = -1,               // transfer source: every slot
    PRS_SLOT_DIGITS = 65530,         // digit count of a numeral
    PRS_SLOT_NUMBER = 65531,         // value of a numeral
    PRS_SLOT_LAST_OFFSET = 65532,    // transfer source: last character offset
    PRS_SLOT_FIRST_OFFSET = 65533    // transfer source: first character offset
};

// Flags of PrsRemoveLexiconEntries.
enum {
    PRS_REMOVE_BY_TEXT = 1,
    PRS_REMOVE_BY_SYMBOL = 2,
    PRS_REMOVE_BY_SLOTS = 4
};

// Conflict domains of a rule.
enum {
    PRS_DOMAIN_PACKAGE = 1,          // compared with keyphrases of its own package
    PRS_DOMAIN_NONE = 2              // never compared, always kept
};

// One attribute of a keyphrase, as its package reports it.
typedef struct PrsAttribute {
    int32_t kind;
    int32_t value;
} PrsAttribute;

// Entry points of a package library, looked up by these names.
typedef int(PRSAPI* PrsPackageLoadFn)(PrsParser* parser, PrsPackage* package);   // 0 on failure
typedef void(PRSAPI* PrsPackageUnloadFn)(void* parserSide, PrsPackage* package);
typedef int(PRSAPI* PrsPackageAttributesFn)(void* first, PrsKeyphrase* keyphrase, int capacity,
                                            PrsAttribute* attributes);
typedef int(PRSAPI* PrsPackageVariantFn)(const PrsAttribute* attribute, VARIANT* out);

typedef void(PRSAPI* PrsCallback)(int event, PrsContext* context, PrsKeyphrase* keyphrase,
                                  int oldFirst, int oldLast, void* userData);

//--- slot sets
Slots* PRSAPI SlotsInit(void);
void PRSAPI SlotsDeinit(Slots* slots);
Slots* PRSAPI SlotsClear(Slots* slots);
int PRSAPI SlotsHasSlot(const Slots* slots, int id);
int PRSAPI SlotsGetInt(const Slots* slots, int id);
const PRSWCHAR* PRSAPI SlotsGetString(const Slots* slots, int id);
int PRSAPI SlotsGetData(const Slots* slots, int id, const void** bytes);
int PRSAPI SlotsSetInt(Slots* slots, int id, int value);
const PRSWCHAR* PRSAPI SlotsSetString(Slots* slots, int id, const PRSWCHAR* text);
int PRSAPI SlotsSetData(Slots* slots, int id, int count, const void* bytes);

//--- parser
PrsParser* PRSAPI PrsInit(void);
void PRSAPI PrsDeInit(PrsParser* parser);
PrsCallback PRSAPI PrsSetCallback(PrsParser* parser, PrsCallback callback, void* userData);
// Conversions for the current code page. Each result is terminated, cut at
// 1024 characters (bytes), and stays valid until the same function has been
// called eight more times; null when the text cannot be converted.
const PRSWCHAR* PRSAPI PrsWiden(const char* text);
const char* PRSAPI PrsNarrow(const PRSWCHAR* text);

//--- lexicon
PrsLexiconEntry* PRSAPI PrsAddLexiconEntry(PrsParser* parser, const PRSWCHAR* text,
                                           const PRSWCHAR* symbol, const Slots* slots);
PrsLexiconEntry* PRSAPI PrsAddLexiconPhrase(PrsParser* parser, const PRSWCHAR* text,
                                            const PRSWCHAR* symbol, const Slots* slots);
int PRSAPI PrsRemoveLexiconEntry(PrsParser* parser, PrsLexiconEntry* entry);
int PRSAPI PrsRemoveLexiconEntries(PrsParser* parser, const PRSWCHAR* text,
                                   const PRSWCHAR* symbol, const Slots* filter, int flags);

//--- rules
PrsRule* PRSAPI PrsCreateRule(PrsParser* parser, PrsPackage* package, const PRSWCHAR* symbol,
                              int topLevel);
int PRSAPI PrsRuleAddEntry(PrsParser* parser, PrsRule* rule, const PRSWCHAR* symbol);
void PRSAPI PrsRuleEntryMatchSlot(PrsRule* rule, int entry, int source, int destination);
void PRSAPI PrsRuleEntryTransferSlot(PrsRule* rule, int entry, int source, int destination);
void PRSAPI PrsRuleEntryConstrainIntSlot(PrsRule* rule, int entry, int slot, int low, int high);
void PRSAPI PrsRuleEntryConcatSlot(PrsRule* rule, int entry, int source, int destination);
void PRSAPI PrsRuleEntryMatchDate(PrsRule* rule, int entry, int slot);
int PRSAPI PrsRuleEntrySetNearness(PrsRule* rule, int entry, int nearness);
unsigned PRSAPI PrsRuleSetStrength(PrsRule* rule, unsigned strength);
unsigned PRSAPI PrsRuleSetConflictDomain(PrsRule* rule, unsigned domain);
int PRSAPI PrsAddRule(PrsParser* parser, PrsRule* rule);
int PRSAPI PrsIsRuleDuplicate(PrsParser* parser, const PrsRule* rule);
int PRSAPI PrsIsSymbolDefined(PrsParser* parser, const PRSWCHAR* symbol);
void PRSAPI PrsRuleDestroy(PrsRule* rule);

//--- contexts and parsing
PrsContext* PRSAPI PrsCreateContext(PrsParser* parser);
void PRSAPI PrsContextDestroy(PrsContext* context);
int PRSAPI PrsParse(PrsParser* parser, PrsContext* context, const PRSWCHAR* text);
int PRSAPI PrsContextGetKeyphrasesAtOffset(PrsContext* context, int offset, int capacity,
                                           PrsKeyphrase** keyphrases);
PrsParser* PRSAPI PrsContextGetParser(const PrsContext* context);
const PRSWCHAR* PRSAPI PrsContextGetString(const PrsContext* context);
void* PRSAPI PrsContextGetUserData(const PrsContext* context);
void* PRSAPI PrsContextSetUserData(PrsContext* context, void* userData);

//--- keyphrases
int PRSAPI PrsKeyphraseGetOffsets(const PrsKeyphrase* keyphrase, int* first, int* last);
const PRSWCHAR* PRSAPI PrsKeyphraseGetSymbolName(const PrsKeyphrase* keyphrase);
Slots* PRSAPI PrsKeyphraseGetSemanticInfo(PrsKeyphrase* keyphrase);
void* PRSAPI PrsKeyphraseGetUserData(const PrsKeyphrase* keyphrase);
void* PRSAPI PrsKeyphraseSetUserData(PrsKeyphrase* keyphrase, void* userData);
PrsPackage* PRSAPI PrsKeyphraseGetPackage(const PrsKeyphrase* keyphrase);
int PRSAPI PrsKeyphraseGetAttributes(void* first, PrsKeyphrase* keyphrase, int capacity,
                                     PrsAttribute* attributes);

//--- packages
// Loads a package library by its path and lets it build its grammar; null
// when the library cannot be loaded, lacks an entry point or its Load fails.
PrsPackage* PRSAPI PrsLoadPackageDll(PrsParser* parser, const char* path);
void PRSAPI PrsUnloadPackage(PrsPackage* package);
int PRSAPI PrsPackageAttributeToVariant(PrsPackage* package, const PrsAttribute* attribute,
                                        VARIANT* out);
void* PRSAPI PrsPackageGetUserData(const PrsPackage* package);
void* PRSAPI PrsPackageSetUserData(PrsPackage* package, void* userData);

#if !defined(_WIN32)
// The host tree links its packages in: each registers its entry points under
// the file name that PrsLoadPackageDll then finds in a path.
typedef struct PrsPackageEntries {
    PrsPackageLoadFn load;
    PrsPackageUnloadFn unload;
    PrsPackageAttributesFn attributes;
    PrsPackageVariantFn variant;
} PrsPackageEntries;
int PrsRegisterStaticPackage(const char* fileName, const PrsPackageEntries* entries);
#endif

#ifdef __cplusplus
}
#endif
