// The parse engine's flat interface: plain C functions over opaque handles.
// Creators return null (0) when they fail; setters return what they set.
// Text is UTF-16 throughout.
#pragma once

#include <stdint.h>

#if defined(_WIN32)
#  define PRSAPI __cdecl
typedef wchar_t PRSWCHAR;
#else
#  define PRSAPI
typedef char16_t PRSWCHAR;
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct PrsParser PrsParser;
typedef struct PrsLexiconEntry PrsLexiconEntry;
typedef struct Slots Slots;

// Reserved slot ids.
enum {
    PRS_SLOT_DIGITS = 65530,         // digit count of a numeral
    PRS_SLOT_NUMBER = 65531          // value of a numeral
};

// Flags of PrsRemoveLexiconEntries.
enum {
    PRS_REMOVE_BY_TEXT = 1,
    PRS_REMOVE_BY_SYMBOL = 2,
    PRS_REMOVE_BY_SLOTS = 4
};

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

//--- lexicon
PrsLexiconEntry* PRSAPI PrsAddLexiconEntry(PrsParser* parser, const PRSWCHAR* text,
                                           const PRSWCHAR* symbol, const Slots* slots);
PrsLexiconEntry* PRSAPI PrsAddLexiconPhrase(PrsParser* parser, const PRSWCHAR* text,
                                            const PRSWCHAR* symbol, const Slots* slots);
int PRSAPI PrsRemoveLexiconEntry(PrsParser* parser, PrsLexiconEntry* entry);
int PRSAPI PrsRemoveLexiconEntries(PrsParser* parser, const PRSWCHAR* text,
                                   const PRSWCHAR* symbol, const Slots* filter, int flags);

#ifdef __cplusplus
}
#endif
