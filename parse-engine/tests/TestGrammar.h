// A date and time grammar of the size and shape the date package builds for
// a United States locale, its words, a fixed-clock date conversion for the
// match-date action, and a recorder of parse events. Shared by the engine's
// tests, fuzz targets and benchmark.
#pragma once
#include "Osprey.h"
#include "TestText.h"

#include <string>
#include <vector>

namespace grammar {

// One element of a rule: a symbol and its slot actions.
struct Action {
    int kind;               // 1 match, 2 transfer, 3 constrain, 4 concatenate, 5 match date
    int source, destination, low, high;
};
struct Element {
    const char* symbol;
    std::vector<Action> actions;
    int nearness = 0;
};

Action Transfer(int source, int destination);
Action Constrain(int slot, int low, int high);
Action MatchDate(int slot);
Action Concat(int source, int destination);
Action Match(int source, int destination);

// Builds a rule through the exports; adds it unless an alike one is there.
PrsRule* AddRule(PrsParser* parser, PrsPackage* package, const char* symbol, bool topLevel,
                 unsigned strength, const std::vector<Element>& elements);

// The package handle the date rules are made with.
PrsPackage* DatePackage();

// Words, the locale's compiled pictures and the hand rules.
void BuildDateGrammar(PrsParser* parser);

// Date conversion with "now" fixed at Monday 10 June 2024 09:00, local time
// being UTC. Installed as the engine's date source by Install().
namespace fake_dates {
const int kToday = 19884;   // days since 1970
void Install();
void Remove();
int Weekday(int time);
int Calls();                // conversions since Install()
} // namespace fake_dates

// A note of 200 characters as a user types it, and one of 1024.
extern const char* const kNote200;
std::string Note1024();

// Records the events of a parser's contexts as text:
// "1 date 5-10", "2 time 0-3", "3 date 9-14 was 5-10".
class EventLog {
public:
    explicit EventLog(PrsParser* parser);
    std::vector<std::string> Take();
    const std::vector<PrsKeyphrase*>& Handles() const { return m_handles; }

    struct Event {
        int event;
        PrsKeyphrase* keyphrase;     // released after an event 2
        int oldFirst, oldLast;
    };
    const std::vector<Event>& Raw() const { return m_raw; }
    void Clear() { m_raw.clear(); m_lines.clear(); m_handles.clear(); }

private:
    static void PRSAPI Callback(int event, PrsContext* context, PrsKeyphrase* keyphrase,
                                int oldFirst, int oldLast, void* userData);
    std::vector<std::string> m_lines;
    std::vector<PrsKeyphrase*> m_handles;
    std::vector<Event> m_raw;
};

// "symbol first-last" of a keyphrase.
std::string Describe(PrsKeyphrase* keyphrase);

} // namespace grammar
