// The engine as its clients see it: through the exported functions only (of
// Osprey.dll in the Windows tree).
#include "Osprey.h"
#include "TestText.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <string>
#include <vector>

#ifdef _WIN32
TEST(Exports, UndecoratedNames)
{
    HMODULE engine = GetModuleHandleA("Osprey.dll");
    ASSERT_NE(nullptr, engine);
    const char* names[] = {
        "SlotsInit",
        "SlotsDeinit",
        "SlotsClear",
        "SlotsHasSlot",
        "SlotsGetInt",
        "SlotsGetString",
        "SlotsGetData",
        "SlotsSetInt",
        "SlotsSetString",
        "SlotsSetData",
        "PrsInit",
        "PrsDeInit",
        "PrsSetCallback",
        "PrsAddLexiconEntry",
        "PrsAddLexiconPhrase",
        "PrsRemoveLexiconEntry",
        "PrsRemoveLexiconEntries",
        "PrsCreateRule",
        "PrsRuleAddEntry",
        "PrsRuleEntryMatchSlot",
        "PrsRuleEntryTransferSlot",
        "PrsRuleEntryConstrainIntSlot",
        "PrsRuleEntryConcatSlot",
        "PrsRuleEntryMatchDate",
        "PrsRuleEntrySetNearness",
        "PrsRuleSetStrength",
        "PrsRuleSetConflictDomain",
        "PrsAddRule",
        "PrsIsRuleDuplicate",
        "PrsIsSymbolDefined",
        "PrsRuleDestroy",
        "PrsCreateContext",
        "PrsContextDestroy",
        "PrsParse",
        "PrsContextGetKeyphrasesAtOffset",
        "PrsKeyphraseGetOffsets",
        "PrsKeyphraseGetSymbolName",
        "PrsKeyphraseGetSemanticInfo",
        "PrsKeyphraseGetUserData",
        "PrsKeyphraseSetUserData",
    };
    for (const char* name : names)
        EXPECT_NE(nullptr, reinterpret_cast<void*>(GetProcAddress(engine, name))) << name;
}
#endif

namespace {

std::vector<std::string> g_events;

void PRSAPI Record(int event, PrsContext*, PrsKeyphrase* k, int oldFirst, int, void* data)
{
    int first = 0, last = 0;
    PrsKeyphraseGetOffsets(k, &first, &last);
    g_events.push_back(std::to_string(event) + " " + Narrow(PrsKeyphraseGetSymbolName(k)) + " " +
                       std::to_string(first) + "-" + std::to_string(last) + " " +
                       std::to_string(SlotsGetInt(PrsKeyphraseGetSemanticInfo(k), 7)) +
                       (event == PRS_EVENT_MOVED ? " was " + std::to_string(oldFirst) : "") +
                       (data ? "" : " no user data"));
}

} // namespace

TEST(Exports, ParseThroughTheFlatInterface)
{
    PrsParser* parser = PrsInit();
    ASSERT_NE(nullptr, parser);
    int tag = 0;
    EXPECT_EQ(&Record, PrsSetCallback(parser, &Record, &tag));
    Slots* pm = SlotsInit();
    SlotsSetInt(pm, 9, 1);
    ASSERT_NE(nullptr, PrsAddLexiconPhrase(parser, W("p.m.").c_str(), W("time-marker").c_str(), pm));
    SlotsDeinit(pm);
    PrsRule* rule = PrsCreateRule(parser, nullptr, W("time").c_str(), 1);
    EXPECT_EQ(0, PrsRuleAddEntry(parser, rule, W("numeral").c_str()));
    EXPECT_EQ(1, PrsRuleAddEntry(parser, rule, W("time-marker").c_str()));
    PrsRuleEntryConstrainIntSlot(rule, 0, PRS_SLOT_NUMBER, 1, 12);
    PrsRuleEntryTransferSlot(rule, 0, PRS_SLOT_NUMBER, 7);
    PrsRuleEntryTransferSlot(rule, 1, 9, -1);
    EXPECT_EQ(0, PrsIsRuleDuplicate(parser, rule));
    EXPECT_EQ(1, PrsAddRule(parser, rule));
    EXPECT_EQ(0, PrsIsRuleDuplicate(parser, rule)) << "a rule is not its own duplicate";
    EXPECT_EQ(1, PrsIsSymbolDefined(parser, W("time").c_str()));
    PrsContext* context = PrsCreateContext(parser);
    PrsParse(parser, context, W("call at 4 p.m.").c_str());
    PrsParse(parser, context, W("call Ann at 4 p.m.").c_str());
    PrsParse(parser, context, W("call Ann at 5 p.m.").c_str());
    PrsContextDestroy(context);
    PrsDeInit(parser);
    EXPECT_EQ((std::vector<std::string>{"1 time 8-13 4", "3 time 12-17 4 was 8", "2 time 12-17 4",
                                        "1 time 12-17 5", "2 time 12-17 5"}),
              g_events);
}
