// The chart of one parse context: rule items, the items waiting for each
// symbol, and the agenda of matched elements that advance them.
#pragma once
#include "Conflict.h"
#include "DateSource.h"
#include "FlatIndex.h"
#include "Rule.h"
#include "Slots.h"
#include "Tokenizer.h"

#include <memory>
#include <unordered_map>
#include <vector>

struct PrsParser;

namespace osprey {

// (token index, first character offset, last character offset); -1 unset.
struct Position {
    int index = -1;
    int first = -1;
    int last = -1;
};

// Bounds that no real phrase comes near, so that no text makes the chart grow
// with the square of its length ("mon mon mon ..." is a date of every length
// otherwise): an item spans at most kMaxSpan tokens, and one built of
// kMaxLevels levels of items (itself included) is taken into no other.
const int kMaxSpan = 64;
const int kMaxLevels = 10;

// A chart holds one of these for every candidate of a parse, so it is kept
// small: token indexes only (the chart knows their characters), and the
// slot set as a pointer and a count.
struct ChartItem {
    const PrsRule* rule = nullptr;
    const PrsLexiconEntry* pending = nullptr;   // phrase word whose next word must follow
    const SlotRecord* slotRecords = nullptr;    // in the chart's slot store, shared
    uint32_t slotCount = 0;
    uint32_t dot = 0;                           // entry to be matched next
    int32_t start = -1, end = -1;               // first and last token; -1 before the first element
    uint32_t waitOrder = 0;                     // when it began to wait, in its parse
    uint16_t levels = 0;                        // of the items it has taken, the most
    bool candidate = false;                     // complete, of a top-level rule
    bool Complete() const { return dot >= rule->entries.size(); }
    SlotSpan Slots() const { return {slotRecords, slotCount}; }
    void SetSlots(SlotSpan slots)
    {
        slotRecords = slots.begin;
        slotCount = static_cast<uint32_t>(slots.count);
    }
};

// How an element lines up with the item offered it, before the slot tests.
enum class Fit { kRefused, kPhraseWord, kTestSlots };
// madeByItem: the element is the item's own completion. Spans are in tokens,
// the item's start -1 before it has taken anything.
Fit FitOf(bool madeByItem, const RuleEntry& next, int itemStart, int itemEnd, const PrsLexiconEntry* pending,
          int elementStart, int elementEnd, const PrsLexiconEntry* element);

// Where an item stands after taking an element: its span grows to the
// element's end, and its dot moves on unless a phrase word is waiting for the
// next one.
struct Progress {
    int start, end;                             // token indexes
    const PrsLexiconEntry* pending;
    uint32_t dot;
};
Progress ProgressOver(const Progress& before, int elementStart, int elementEnd, const PrsLexiconEntry* element);

class Chart {
public:
    explicit Chart(PrsParser* parser);
    Chart(const Chart&) = delete;
    Chart& operator=(const Chart&) = delete;

    // Predictions of the parser's top-level rules; done once, when the
    // context is made.
    void Seed();
    // Rebuilds the chart over the text; only predictions survive from the
    // previous parse.
    void Parse(const PRSWCHAR* text, size_t length);
    // Complete items of top-level rules, stably sorted by start token, and
    // beside each what settling reads of it.
    const std::vector<const ChartItem*>& Candidates() const { return m_candidates; }
    const std::vector<Candidate>& CandidateTerms() const { return m_candidateTerms; }
    SlotSpan SlotsOf(const ChartItem& item) const { return item.Slots(); }
    // Where a token index of the last parse lies in its text; the index after
    // the last token is the end of the text.
    Position PositionOf(int token) const
    {
        if (token < 0)
            return Position();
        if (static_cast<size_t>(token) >= m_tokenCount)
            return {token, m_textEnd, m_textEnd};
        const PrsToken& t = m_tokens[static_cast<size_t>(token)];
        return {t.index, t.first, t.Last()};
    }
    // Drops every trace of a rule that is about to be destroyed.
    void ForgetRule(const PrsRule* rule);
    // Empties the chart for good (its parser is gone).
    void Clear();
    // Lets go of what the last parse needed beyond what a short note needs,
    // so that contexts that once held long texts do not keep their memory.
    // Nothing of the last parse is read after it.
    void Trim();
    // Bytes held for the next parse, predictions aside.
    size_t KeptBytes() const;

    // Items the last parse made, and the predictions.
    size_t ItemCount() const { return m_predictions.size() + m_made; }
    // Items the last parse offered an element to.
    uint64_t OfferCount() const { return m_offers; }

private:
    struct UnitLink {
        const PrsRule* rule;
        const UnitLink* next;
    };
    struct Constituent {
        Position start, end;
        const PrsSymbol* symbol;
        const PrsLexiconEntry* entry;           // a token's definition, else null
        SlotSpan slots;                         // the entry's, or in the slot store
        const ChartItem* origin;                // the item whose completion made it
        const UnitLink* units;                  // rules that made it over its own span
        uint16_t levels;                        // of items in it, itself included; 0 for a token
    };
    struct WaitList {
        std::vector<ChartItem*> items;          // this parse; ends never decrease
        std::vector<uint32_t> firstEndingAt;    // by end token: first of `items` ending there or later
        int32_t maxNearness = 0;
        void Append(ChartItem* item, int32_t nearness);
        uint32_t FirstEndingAtOrAfter(int end) const;
        void Clear();
        void Release();
        size_t KeptBytes() const;
    };
    struct WaitBucket {
        std::vector<ChartItem*> predictions;    // kept from parse to parse
        WaitList items;                         // this parse, items not inside a phrase
        // This parse, items inside a phrase by the word they wait for: no
        // other element can move them, and a text of one repeated word
        // would otherwise offer every word of every phrase to all of them.
        std::unordered_map<const PrsLexiconEntry*, WaitList> phraseWords;
    };

    // The entries of a token text, in lookup order; tokens of one text share
    // them, so a note of one word repeated holds that word's entries once.
    struct TextEntries {
        uint32_t first, count;                  // in m_textEntries
        uint32_t firstLead, leadCount;          // in m_leadEntries (none when all lead)
    };
    // Where a later word of a phrase is among the entries of its text.
    struct WordPlace {
        uint32_t text;
        uint32_t at;
    };
    // The texts of the later words of a phrase, from its second word, in
    // m_chainTexts; none when one of them is in no token of this text.
    struct Chain {
        uint32_t first = 0, count = 0;
        uint32_t lastPlace = 0;                 // of the last word among its text's entries
        const PrsLexiconEntry* beforeLast = nullptr;
    };
    // An item inside a phrase whose words up to the last are matched already,
    // waiting at the token of the last word.
    struct PhraseEnd {
        const PrsLexiconEntry* word;            // the last word
        uint32_t at;                            // its place among the entries of its token
        ChartItem item;
    };

    static constexpr size_t kChunk = 256;       // items to a block of storage
    ChartItem* NewItem();       // its fields are the caller's to set
    void ResetParse();
    // Cuts the text into tokens with their lexicon entries, and marks at each
    // text the symbols whose items could begin at its tokens.
    void ReadTokens(const PRSWCHAR* text, size_t length);
    uint32_t TextOf(size_t token);
    // A new text of no entries yet, where items of `begins` can begin.
    uint32_t AddText(const PrsSymbol* begins);
    enum : uint32_t { kWordText, kNumeralText, kEndText };
    // By symbol, the symbols whose items it can begin; rebuilt when the
    // grammar or the symbol table changed.
    void UpdateReach();
    // Whether an item of the symbol could begin at a token from `from` to
    // `from + nearness`: an item waiting for it there if not would never move.
    bool CanStartWithin(const PrsSymbol* symbol, int from, int32_t nearness) const;
    void Predict(const PrsSymbol* symbol, const PrsRule* own);
    bool FullyPredicted(const PrsSymbol* symbol) const;
    ChartItem* MakePrediction(PrsRule* rule);
    WaitBucket* BucketOf(const PrsSymbol* symbol, bool create);
    void QueueToken(size_t at);
    void QueueEntry(const Position& p, const PrsLexiconEntry* entry);
    void ProcessAgenda();
    void Offer(const Constituent& c);
    void OfferPhraseWord(const Constituent& c);
    // With every nearness 0, a phrase's words either follow its first one
    // token by token or the phrase is not there: it is matched at once, up to
    // its last word, which moves the item on at its own token as it would
    // have. No item is made for the words between.
    void MatchPhrase(ChartItem inside);
    std::vector<PhraseEnd>& PhraseEndsAt(size_t token);
    const Chain& ChainOf(const PrsLexiconEntry* firstWord);
    static uint64_t KeyOf(const PrsLexiconEntry* entry) { return reinterpret_cast<uintptr_t>(entry); }
    // True when the item, had it taken the element, would wait for an element
    // that cannot come; nothing else would follow from taking it.
    bool WouldWaitForEver(const ChartItem& item, const Constituent& c) const;
    bool Accepts(const ChartItem& item, const Constituent& c);
    void Advance(const ChartItem& item, const Constituent& c);
    void CollectCandidates();

    PrsParser* m_parser;
    std::vector<std::unique_ptr<ChartItem>> m_predictions;  // in order of creation
    std::vector<ChartItem*> m_predictionOf;                 // by rule number
    std::vector<std::unique_ptr<ChartItem[]>> m_chunks;     // storage of the items of a parse
    size_t m_used = 0;
    size_t m_made = 0;                                      // by the last parse
    size_t m_candidateCount = 0;                            // this parse
    // Slot sets of the items and elements of one parse, never moved, so
    // that items whose slots are alike can share one set.
    class SlotStore {
    public:
        SlotSpan Keep(std::vector<SlotRecord>& records);  // moves the records in
        void Reset();
        void Release();
        size_t KeptBytes() const;

    private:
        struct Chunk {
            std::unique_ptr<SlotRecord[]> records;
            size_t size = 0, used = 0;
        };
        std::vector<Chunk> m_chunks;
        size_t m_current = 0;
    };
    SlotStore m_slotStore;
    std::vector<SlotRecord> m_numeral;
    std::vector<WaitBucket> m_waiting;                      // by symbol number
    std::vector<Constituent> m_agenda;
    size_t m_agendaHead = 0;
    std::vector<ChartItem*> m_toWait;
    std::vector<std::unique_ptr<UnitLink[]>> m_linkChunks;
    size_t m_linksUsed = 0;
    std::vector<const ChartItem*> m_candidates;
    std::vector<Candidate> m_candidateTerms;
    Slots m_scratch;
    DateMemo m_dates;
    uint32_t m_nextWaitOrder = 0;
    uint64_t m_offers = 0;
    struct PredictFrame {
        const PrsSymbol* symbol;
        const PrsRule* own;
        size_t next;
        bool complete;          // every rule of the symbol has its prediction
    };
    std::vector<PredictFrame> m_predictStack;
    // By symbol: grammar version + 1 at which all its rules were predicted.
    std::vector<uint64_t> m_fullyPredicted;
    std::vector<uint32_t> m_startCounts;

    std::vector<PrsToken> m_tokens;             // reused from parse to parse
    size_t m_tokenCount = 0;
    int m_textEnd = 0;                          // offset after the last token
    std::vector<uint32_t> m_tokenText;          // by token, and the end of the text
    std::vector<TextEntries> m_texts;
    // Texts of entries, after the three of none, by the address of their first
    // lexicon record: in a row while few, then in the table too.
    std::vector<uint64_t> m_textKeys;
    FlatIndex m_textByRecord;
    static const size_t kTextsInARow = 16;
    std::vector<const PrsLexiconEntry*> m_textEntries;
    // By text, where later words of phrases are among its entries, the places
    // of the others.
    std::vector<uint32_t> m_leadEntries;
    FlatIndex m_wordPlaceOf;                    // later words of phrases, into m_wordPlaces
    std::vector<WordPlace> m_wordPlaces;
    FlatIndex m_chainOf;                        // first words of phrases, into m_chains
    std::vector<Chain> m_chains;
    std::vector<uint32_t> m_chainTexts;
    std::vector<uint64_t> m_startable;          // by text, m_symbolWords words each
    bool m_wholePhrases = false;                // every entry of every rule has nearness 0
    std::vector<std::vector<PhraseEnd>> m_phraseEnds;   // by token, modulo the longest span
    std::vector<uint64_t> m_endOrder;           // the current token's: place << 32 | index
    size_t m_phraseEndCursor = 0;               // in m_endOrder
    size_t m_phrasesMatched = 0;
    bool m_phraseWordsWaited = false;           // an item waits in a bucket's phraseWords
    ChartItem m_phraseStart;                    // an item at the first word of a phrase
    std::vector<uint64_t> m_reach;              // by symbol, m_symbolWords words each
    std::vector<uint64_t> m_begins;             // scratch of UpdateReach
    size_t m_symbolWords = 0;
    size_t m_reachSymbols = 0;
    uint64_t m_reachVersion = 0;                // grammar version + 1 it was built for
    uint64_t m_reachBuilds = 0;
    uint64_t m_textsBuild = 0;                  // the build of m_reach the texts without entries are of
};

} // namespace osprey
