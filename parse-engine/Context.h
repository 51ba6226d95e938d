// A parse context: one text, its chart, and the keyphrases of its last parse.
#pragma once
#include "Chart.h"
#include "Conflict.h"
#include "FlatIndex.h"

#include <vector>

struct PrsKeyphrase {
    uint32_t refs = 1;
    void* userData = nullptr;
    const PrsRule* rule = nullptr;
    Slots slots;
    osprey::Position start, end;

    void Retain() { ++refs; }
    void Release()
    {
        if (--refs == 0)
            delete this;
    }
};

struct PrsContext {
    explicit PrsContext(PrsParser* owner);
    ~PrsContext();
    PrsContext(const PrsContext&) = delete;
    PrsContext& operator=(const PrsContext&) = delete;

    // Re-reads the whole text and raises the events of what changed.
    void Parse(const PRSWCHAR* text, size_t length);
    // Event 2 for every current keyphrase, which are then released.
    void RemoveAll();
    // Current keyphrases whose span holds the offset; the first `capacity`
    // of them go into the array.
    int KeyphrasesAt(int offset, int capacity, PrsKeyphrase** out) const;
    // Cuts the context loose from a parser that is being destroyed.
    void Detach();

    void* userData = nullptr;
    PrsParser* parser;
    osprey::Chart chart;
    osprey::WString text;
    std::vector<PrsKeyphrase*> current;
    bool busy = false;              // inside a parse: its callbacks may not re-enter it
    bool destroyRequested = false;  // destroyed from one of its own callbacks
    bool callbackFailed = false;    // a callback of this parse threw: the parse failed

private:
    void EndOfParse();
    // What the parse held goes, but for what a short note needs.
    void Trim();
    void SettleBatch(size_t first, size_t count);
    void Emit(const osprey::ChartItem& item);
    void Raise(int event, PrsKeyphrase* keyphrase, int oldFirst, int oldLast);

    // Finds the first keyphrase of the previous list of that rule and slot
    // set, and takes it from the list (its place left null).
    PrsKeyphrase* TakePrevious(const PrsRule* rule, osprey::SlotSpan slots);
    void IndexPrevious();

    std::vector<PrsKeyphrase*> m_previous;
    // Of the previous list, by the hash of rule and slot set: the first
    // still there, and each one's next of the same hash, in list order.
    size_t m_previousFront = 0;         // none before it is left
    bool m_previousIndexed = false;
    osprey::FlatIndex m_previousFirst;
    std::vector<uint32_t> m_previousNext;
    std::vector<PrsKeyphrase*> m_added;
    std::vector<size_t> m_kept;
    osprey::BatchSettler m_settler;
};
