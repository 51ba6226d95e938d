#include "QuiPrsAlias.h"
#include "QuiPrsAliasPackage.h"

#include <string>

namespace {

std::basic_string<PRSWCHAR> Wide(const char* ascii)
{
    return std::basic_string<PRSWCHAR>(ascii, ascii + std::char_traits<char>::length(ascii));
}

} // namespace

extern "C" {

int PRSAPI AliasLoad(PrsParser* parser, PrsPackage* package)
{
    // Nothing may leave a package's entry point but its result.
    try {
        PrsRule* rule = PrsCreateRule(parser, package, Wide(QUI_ALIAS_RULE_SYMBOL).c_str(), 1);
        if (!rule)
            return 0;
        if (PrsRuleAddEntry(parser, rule, Wide(QUI_ALIAS_PHRASE_SYMBOL).c_str()) < 0) {
            PrsRuleDestroy(rule);
            return 0;
        }
        PrsRuleEntryTransferSlot(rule, 0, kAliasItemSlot, kAliasItemSlot);
        if (!PrsAddRule(parser, rule)) {
            PrsRuleDestroy(rule);
            return 0;
        }
        return 1;
    } catch (...) {
        return 0;
    }
}

void PRSAPI AliasUnload(void*, PrsPackage*)
{
}

int PRSAPI AliasGetKeyphraseAttributes(void*, PrsKeyphrase* keyphrase, int capacity, PrsAttribute* attributes)
{
    Slots* slots = PrsKeyphraseGetSemanticInfo(keyphrase);
    if (!slots || !SlotsHasSlot(slots, kAliasItemSlot))
        return 0;
    if (attributes && capacity > 0)
        attributes[0] = PrsAttribute{kAliasAttributeKind, SlotsGetInt(slots, kAliasItemSlot)};
    return 1;
}

int PRSAPI AliasAttributeToVariant(const PrsAttribute*, VARIANT*)
{
    // An item is not a value an automation client could hold.
    return 0;
}

} // extern "C"
