#include "ReferenceParse.h"
#include "TestGrammar.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

using namespace grammar;

namespace {

struct Recorder {
    reference::EngineEvents numbering;
    std::vector<std::string> lines;
    static void PRSAPI Callback(int event, PrsContext*, PrsKeyphrase* k, int oldFirst, int oldLast, void* data)
    {
        Recorder* r = static_cast<Recorder*>(data);
        r->lines.push_back(r->numbering.Line(event, k, oldFirst, oldLast));
    }
};

const char* const kPieces[] = {
    "Monday", "monday ", "next ", "Tue", ".", ",", " ", "3", "30", ":", "pm", " am", "/", "-", "2024",
    "12", "June ", "14", "tomorrow", " at ", "noon", "from ", " to ", "the first ", "of ", "by ",
    "day", " after ", "weeks", "New", "x", "2/30/2024", "6/17", "Friday before ", "yy", "\xC9t\xE9",
};

// Edits a note step by step in one context and checks after each parse that
// the engine raised the events of the reference.
void CheckEdits(PrsParser* parser, unsigned seed, int steps, std::string text,
                const std::function<void(std::mt19937&, std::string&)>& edit)
{
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    PrsContext* context = PrsCreateContext(parser);
    reference::ReferenceContext slow(parser);
    Recorder recorder;
    PrsSetCallback(parser, &Recorder::Callback, &recorder);
    for (int step = 0; step < steps; ++step) {
        edit(rng, text);
        const WText wide = W(text.c_str());
        recorder.lines.clear();
        PrsParse(parser, context, wide.c_str());
        const std::vector<std::string> expected = slow.Parse(wide);
        EXPECT_EQ(expected, recorder.lines) << "step " << step << ": " << text;
        if (expected != recorder.lines)
            break;
    }
    PrsSetCallback(parser, nullptr, nullptr);
    PrsContextDestroy(context);
}

} // namespace

TEST(Reference, RandomEditsRaiseTheSameEvents)
{
    fake_dates::Install();
    PrsParser* parser = PrsInit();
    BuildDateGrammar(parser);
    // A second package whose rules meet the date rules' keyphrases on equal
    // spans, with strengths and domains of every kind.
    static int other;
    PrsPackage* pkg = reinterpret_cast<PrsPackage*>(&other);
    for (PrsRule* r : {AddRule(parser, pkg, "alias", true, 29, {{"day-name", {Transfer(4, 4)}}}),
                       AddRule(parser, pkg, "alias", true, 29, {{"date", {Transfer(-1, 0)}}}),
                       AddRule(parser, pkg, "stamp", true, 0, {{"numeral", {}}}),
                       AddRule(parser, pkg, "span", true, 0x23, {{"numeral", {}}, {"date-sep", {}}, {"numeral", {}}}),
                       AddRule(parser, pkg, "clock", true, 93 | 0x80, {{"numeral", {}}, {"time-sep", {}}}),
                       AddRule(parser, pkg, "keep", true, 29, {{"time-marker", {}}})})
        PrsRuleSetConflictDomain(r, 3);
    PrsRuleSetConflictDomain(AddRule(parser, pkg, "kept", true, 29, {{"which-date", {}}}), 2);
    for (unsigned seed = 1; seed <= 4; ++seed) {
        CheckEdits(parser, seed, 150, seed % 2 ? kNote200 : "", [](std::mt19937& rng, std::string& text) {
            unsigned what = rng() % 4;
            size_t at = text.empty() ? 0 : rng() % (text.size() + 1);
            if (what == 0 && !text.empty()) {
                text.erase(at, 1 + rng() % 6);
            } else if (what == 1 && !text.empty()) {
                text.erase(at, 1);
            } else {
                text.insert(at, kPieces[rng() % (sizeof(kPieces) / sizeof(kPieces[0]))]);
            }
            if (text.size() > 400)
                text.resize(200);
        });
    }
    PrsDeInit(parser);
    fake_dates::Remove();
}

TEST(Reference, RepetitiveNotesRaiseTheSameEvents)
{
    // Runs of day names, offsets and ranges: the notes where most items can
    // never move on and most candidates can never win.
    static const char* const pieces[] = {
        "mon ", "Monday ", "mon. ", "after ", "before ", "- ", "to ", "next ", "3 pm ", "on ", "2 ",
        "weeks ", "from ", "the ", "June 14 ", "6/17 ", "x ", "New ", "York ",
    };
    fake_dates::Install();
    PrsParser* parser = PrsInit();
    BuildDateGrammar(parser);
    for (unsigned seed = 1; seed <= 3; ++seed) {
        CheckEdits(parser, seed, 60, "", [](std::mt19937& rng, std::string& text) {
            const size_t at = text.empty() ? 0 : rng() % (text.size() + 1);
            if (rng() % 5 == 0 && !text.empty())
                text.erase(at, 1 + rng() % 4);
            else
                text.insert(at, rng() % 2 ? "mon " : pieces[rng() % (sizeof(pieces) / sizeof(pieces[0]))]);
            if (text.size() > 160)
                text.erase(0, 40);
        });
    }
    PrsDeInit(parser);
    fake_dates::Remove();
}

TEST(Reference, PhrasesRaiseTheSameEvents)
{
    // Phrases that share words and overlap, read by rules whose actions take
    // each word's offsets and text; once with every nearness 0 and once with
    // one rule that allows a gap.
    static const char* const pieces[] = {
        "new ", "york ", "city ", "new york ", "- ", "-- ", "to ", "on ", "mon ", "x ", "york city ", "a.m. ",
    };
    for (int gap = 0; gap <= 1; ++gap) {
        SCOPED_TRACE(gap);
        fake_dates::Install();
        PrsParser* parser = PrsInit();
        BuildDateGrammar(parser);
        static int other;
        PrsPackage* pkg = reinterpret_cast<PrsPackage*>(&other);
        for (const char* phrase : {"new york", "new york city", "york city", "york", "new new york", "- -", "- - -"}) {
            Slots* s = SlotsInit();
            SlotsSetString(s, 20, W(phrase).c_str());
            PrsAddLexiconPhrase(parser, W(phrase).c_str(), W("city").c_str(), s);
            SlotsDeinit(s);
        }
        AddRule(parser, pkg, "place", true, 29, {{"city", {Transfer(PRS_SLOT_FIRST_OFFSET, 1), Transfer(PRS_SLOT_LAST_OFFSET, 2),
                                                          Concat(20, 3)}}});
        AddRule(parser, pkg, "spot", true, 29, {{"city", {Transfer(20, 5)}}});
        AddRule(parser, pkg, "trip", true, 0x23, {{"city", {Transfer(20, 4)}}, {"range-sep", {}, gap}, {"city", {Concat(20, 4)}}});
        AddRule(parser, pkg, "visit", true, 29, {{"date-prefix", {}}, {"city", {Transfer(-1, 0)}}});
        for (unsigned seed = 1; seed <= 3; ++seed) {
            CheckEdits(parser, seed, 80, "", [](std::mt19937& rng, std::string& text) {
                const size_t at = text.empty() ? 0 : rng() % (text.size() + 1);
                if (rng() % 5 == 0 && !text.empty())
                    text.erase(at, 1 + rng() % 4);
                else
                    text.insert(at, pieces[rng() % (sizeof(pieces) / sizeof(pieces[0]))]);
                if (text.size() > 160)
                    text.erase(0, 40);
            });
        }
        PrsDeInit(parser);
        fake_dates::Remove();
    }
}
