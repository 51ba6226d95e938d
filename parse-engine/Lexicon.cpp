#include "Lexicon.h"

#include "CharClass.h"
#include "Tokenizer.h"

namespace osprey {

WString LowerCase(const PRSWCHAR* text, size_t length)
{
    WString lower(text, length);
    for (PRSWCHAR& c : lower)
        c = ToLower(c);
    return lower;
}

Lexicon::~Lexicon()
{
    for (auto& bucket : m_byHash) {
        for (Record& r : bucket.second) {
            r.entry->stored = false;
            r.entry->Release();
        }
    }
}

PrsLexiconEntry* Lexicon::Add(PrsLexiconEntry* entry, const PRSWCHAR* text, size_t length)
{
    try {
        WString lower = LowerCase(text, length);
        int32_t hash = TextHash(lower.data(), lower.size());
        std::vector<Record>& bucket = m_byHash[hash];
        if (!entry->continuation) {
            for (const Record& r : bucket) {
                const PrsLexiconEntry* e = r.entry;
                if (r.text == lower && e->symbol == entry->symbol && e->next == entry->next &&
                    e->continuation == entry->continuation &&
                    SlotSetsEqual(e->slots.Span(), entry->slots.Span())) {
                    entry->Release();
                    return r.entry;
                }
            }
        }
        bucket.push_back(Record{std::move(lower), entry});
        entry->stored = true;
        entry->storedHash = hash;
        return entry;
    } catch (...) {
        entry->Release();
        throw;
    }
}

PrsLexiconEntry* Lexicon::AddPhrase(PrsSymbol* symbol, const Slots* slots, const PRSWCHAR* text,
                                    size_t length)
{
    // Build the whole chain first, so that a failure stores nothing.
    std::vector<std::pair<PrsLexiconEntry*, WString>> words;
    try {
        Tokenizer tokenizer(text, length);
        PrsToken token;
        while (tokenizer.Next(token)) {
            words.emplace_back(nullptr, token.text);
            PrsLexiconEntry* e = new PrsLexiconEntry;
            words.back().first = e;
            e->symbol = symbol;
            if (words.size() == 1) {
                if (slots)
                    e->slots = *slots;
            } else {
                e->continuation = true;
                PrsLexiconEntry* prev = words[words.size() - 2].first;
                prev->next = e;
                e->Retain();
            }
        }
    } catch (...) {
        for (auto& w : words)
            if (w.first)
                w.first->Release();
        throw;
    }
    if (words.empty())
        return nullptr;

    PrsLexiconEntry* first = words[0].first;
    PrsLexiconEntry* result = nullptr;
    size_t i = 0;
    try {
        for (; i < words.size(); ++i) {
            PrsLexiconEntry* kept = Add(words[i].first, words[i].second.data(), words[i].second.size());
            if (i == 0)
                result = kept;
        }
    } catch (...) {
        if (i > 0)
            Remove(first);
        for (++i; i < words.size(); ++i)
            words[i].first->Release();
        throw;
    }
    return result;
}

bool Lexicon::RemoveRecord(PrsLexiconEntry* entry)
{
    auto it = m_byHash.find(entry->storedHash);
    if (it == m_byHash.end())
        return false;
    std::vector<Record>& bucket = it->second;
    for (auto r = bucket.begin(); r != bucket.end(); ++r) {
        if (r->entry == entry) {
            bucket.erase(r);
            if (bucket.empty())
                m_byHash.erase(it);
            entry->stored = false;
            entry->Release();
            return true;
        }
    }
    return false;
}

int Lexicon::Remove(PrsLexiconEntry* entry)
{
    int removed = 0;
    entry->Retain();    // keeps the chain alive while its records go
    for (PrsLexiconEntry* e = entry; e; e = e->next) {
        if (e->stored && RemoveRecord(e))
            ++removed;
    }
    entry->Release();
    return removed;
}

bool Lexicon::PassesSlotFilter(const PrsLexiconEntry* entry, const Slots& filter)
{
    for (const SlotRecord& want : filter.records) {
        const SlotRecord* have = entry->slots.Find(want.id);
        if (!have)
            return false;
        if (have->value.Kind() == want.value.Kind() && !ValuesEqual(have->value, want.value))
            return false;
    }
    return true;
}

int Lexicon::RemoveMatching(const PRSWCHAR* text, const PrsSymbol* symbol, const Slots* filter,
                            int flags)
{
    WString lower;
    if (flags & PRS_REMOVE_BY_TEXT)
        lower = LowerCase(text, TextLength(text));
    std::vector<PrsLexiconEntry*> passing;
    auto visit = [&](const std::vector<Record>& bucket) {
        for (const Record& r : bucket) {
            const PrsLexiconEntry* e = r.entry;
            // Later words of a phrase go with their first word, never alone.
            if (e->continuation)
                continue;
            if ((flags & PRS_REMOVE_BY_TEXT) && r.text != lower)
                continue;
            if ((flags & PRS_REMOVE_BY_SYMBOL) && e->symbol != symbol)
                continue;
            if ((flags & PRS_REMOVE_BY_SLOTS) && filter && !PassesSlotFilter(e, *filter))
                continue;
            passing.push_back(r.entry);
        }
    };
    if (flags & PRS_REMOVE_BY_TEXT) {
        if (const std::vector<Record>* bucket = Bucket(TextHash(lower.data(), lower.size())))
            visit(*bucket);
    } else {
        for (const auto& bucket : m_byHash)
            visit(bucket.second);
    }
    int removed = 0;
    for (PrsLexiconEntry* e : passing)
        removed += Remove(e);
    return removed;
}

const std::vector<Lexicon::Record>* Lexicon::Bucket(int32_t hash) const
{
    auto it = m_byHash.find(hash);
    return it == m_byHash.end() ? nullptr : &it->second;
}

} // namespace osprey

void PrsLexiconEntry::Release()
{
    // Iterative, so a long phrase never recurses deeply.
    PrsLexiconEntry* e = this;
    while (e && --e->refs == 0) {
        PrsLexiconEntry* next = e->next;
        delete e;
        e = next;
    }
}
