// The Alias package: keyphrases of the phrases that the parser wrapper enters
// for the items of the item database. A package library exports these under
// the engine's entry-point names; the host tree registers them instead.
#pragma once
#include "Osprey.h"

#ifdef __cplusplus
extern "C" {
#endif

int PRSAPI AliasLoad(PrsParser* parser, PrsPackage* package);
void PRSAPI AliasUnload(void* parserSide, PrsPackage* package);
int PRSAPI AliasGetKeyphraseAttributes(void* first, PrsKeyphrase* keyphrase, int capacity,
                                       PrsAttribute* attributes);
int PRSAPI AliasAttributeToVariant(const PrsAttribute* attribute, VARIANT* out);

#ifdef __cplusplus
}
#endif
