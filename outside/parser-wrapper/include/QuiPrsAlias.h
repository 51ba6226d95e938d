// What the Alias package and the wrapper agree on: the wrapper enters each
// item's phrases under kAliasPhraseSymbol with the item's cookie in
// kAliasItemSlot; the package reports the cookie as an attribute of kind
// kAliasAttributeKind.
#pragma once

#define QUI_ALIAS_RULE_SYMBOL "alias"
#define QUI_ALIAS_PHRASE_SYMBOL "alias-phrase"

enum {
    kAliasItemSlot = 1,
    kAliasAttributeKind = 100
};
