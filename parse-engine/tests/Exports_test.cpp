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
        "PrsWiden",
        "PrsNarrow",
        "PrsContextGetParser",
        "PrsContextGetString",
        "PrsContextGetUserData",
        "PrsContextSetUserData",
        "PrsKeyphraseGetPackage",
        "PrsKeyphraseGetAttributes",
        "PrsLoadPackageDll",
        "PrsUnloadPackage",
        "PrsPackageAttributeToVariant",
        "PrsPackageGetUserData",
        "PrsPackageSetUserData",
    };
    EXPECT_EQ(53u, sizeof names / sizeof names[0]);
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

TEST(Exports, ContextsKeepParserTextAndUserData)
{
    PrsParser* parser = PrsInit();
    PrsContext* context = PrsCreateContext(parser);
    EXPECT_EQ(parser, PrsContextGetParser(context));
    ASSERT_NE(nullptr, PrsContextGetString(context)) << "a fresh context has an empty text";
    EXPECT_EQ(WText(), WText(PrsContextGetString(context)));
    int tag = 0;
    EXPECT_EQ(nullptr, PrsContextGetUserData(context));
    EXPECT_EQ(&tag, PrsContextSetUserData(context, &tag));
    EXPECT_EQ(&tag, PrsContextGetUserData(context));
    PrsParse(parser, context, W("lunch at 12").c_str());
    EXPECT_EQ(W("lunch at 12"), WText(PrsContextGetString(context)));
    PrsParse(parser, context, nullptr);
    EXPECT_EQ(WText(), WText(PrsContextGetString(context)));
    PrsContextDestroy(context);
    PrsDeInit(parser);
}

TEST(Exports, KeyphrasesOfRulesWithoutAPackageHaveNoAttributes)
{
    PrsParser* parser = PrsInit();
    PrsRule* rule = PrsCreateRule(parser, nullptr, W("amount").c_str(), 1);
    PrsRuleAddEntry(parser, rule, W("numeral").c_str());
    PrsAddRule(parser, rule);
    PrsContext* context = PrsCreateContext(parser);
    PrsParse(parser, context, W("42").c_str());
    PrsKeyphrase* found[2] = {};
    ASSERT_EQ(1, PrsContextGetKeyphrasesAtOffset(context, 0, 2, found));
    EXPECT_EQ(nullptr, PrsKeyphraseGetPackage(found[0]));
    PrsAttribute attributes[2] = {{9, 9}, {9, 9}};
    EXPECT_EQ(0, PrsKeyphraseGetAttributes(nullptr, found[0], 2, attributes));
    EXPECT_EQ(9, attributes[0].kind) << "nothing written";
    PrsContextDestroy(context);
    PrsDeInit(parser);
}

TEST(Exports, WideningIsTerminatedCutAndUnshared)
{
    const std::string longText(1500, 'x');
    struct Row { const char* what; std::string text; bool converts; WText expected; } rows[] = {
        {"plain", "Tue 3/5", true, W("Tue 3/5")},
        {"empty", "", true, WText()},
        {"exactly 1024", std::string(1024, 'y'), true, WText(1024, 'y')},
        {"longer than 1024", longText, true, WText(1024, 'x')},
#ifndef _WIN32
        {"a broken sequence", "caf\xc3", false, WText()},
        {"not cut inside a pair", std::string(1023, 'z') + "\xf0\x9f\x98\x80", true, WText(1023, 'z')},
#endif
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const PRSWCHAR* wide = PrsWiden(r.text.c_str());
        if (!r.converts) {
            EXPECT_EQ(nullptr, wide);
            continue;
        }
        ASSERT_NE(nullptr, wide);
        EXPECT_EQ(r.expected, WText(wide));
    }
    EXPECT_EQ(nullptr, PrsWiden(nullptr));
    const PRSWCHAR* first = PrsWiden("first");
    const PRSWCHAR* second = PrsWiden("second");
    EXPECT_EQ(W("first"), WText(first)) << "a second result leaves the first alone";
    EXPECT_EQ(W("second"), WText(second));
}

TEST(Exports, NarrowingIsTerminatedCutAndUnshared)
{
    struct Row { const char* what; WText text; bool converts; std::string expected; } rows[] = {
        {"plain", W("Fri 3/8"), true, "Fri 3/8"},
        {"empty", WText(), true, ""},
        {"longer than 1024", WText(1300, 'q'), true, std::string(1024, 'q')},
#ifdef _WIN32
        {"a character outside the code page", W(u"\u4e00"), false, ""},
        {"not cut inside a character", WText(1023, 'r') + W(u"\u00e9"), true, std::string(1023, 'r') + "\xe9"},
#else
        {"a lone surrogate", W(u"a") + WText(1, static_cast<PRSWCHAR>(0xD800)), false, ""},
        {"not cut inside a character", WText(1023, 'r') + W(u"\u00e9"), true, std::string(1023, 'r')},
#endif
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const char* narrow = PrsNarrow(r.text.c_str());
        if (!r.converts) {
            EXPECT_EQ(nullptr, narrow);
            continue;
        }
        ASSERT_NE(nullptr, narrow);
        EXPECT_EQ(r.expected, std::string(narrow));
    }
    EXPECT_EQ(nullptr, PrsNarrow(nullptr));
    const char* first = PrsNarrow(W("first").c_str());
    const char* second = PrsNarrow(W("second").c_str());
    EXPECT_STREQ("first", first) << "a second result leaves the first alone";
    EXPECT_STREQ("second", second);
}
