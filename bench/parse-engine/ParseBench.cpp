// Cost of re-parsing a note as the user types it, of one long note, and how
// the chart grows on repetitive input, up to the longest note (the worst
// pieces found, and the ordinary note, repeated to 32,767 characters: one
// cold parse, and a parse after one keystroke at the end). Chart items and
// heap bytes are reported beside the times.
#include "Context.h"
#include "Curlew.h"
#include "DateSource.h"
#include "DateValue.h"
#include "Locale.h"
#include "Package.h"
#include "Parser.h"
#include "TestGrammar.h"
#include "Vocabulary.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>

namespace {

// Heap accounting for the memory figures.
size_t g_current = 0;
size_t g_peak = 0;

int Weekday(int32_t time)
{
    return LocalWeekday(time);
}

// The date package's grammar from the en-US formats, the English test
// vocabulary, and a fixed now (Monday 15 April 2024, 10:30, UTC-4).
struct Engine {
    PrsParser* parser;
    PrsContext* context;
    Engine()
    {
        static FixedClock clock(1713191400, -5 * 3600);
        static curlew::FixedLocale locale(curlew::EnUsFormats());
        static PrsPackage package(nullptr, {&Load, &Unload, &GetKeyphraseAttributes, &AttributeToVariant});
        SetClock(&clock);
        curlew::SetLocaleSource(&locale);
        osprey::SetDateSource({&ConvertSlotsToDate, &Weekday});
        parser = PrsInit();
        package.Load(parser);
        curlew_test::AddVocabulary(parser);
        context = PrsCreateContext(parser);
    }
    ~Engine()
    {
        PrsContextDestroy(context);
        PrsDeInit(parser);
    }
};

void Typing(benchmark::State& state)
{
    Engine engine;
    const WText note = W(grammar::kNote200);
    std::vector<WText> prefixes;
    for (size_t n = 1; n <= note.size(); ++n)
        prefixes.push_back(note.substr(0, n));
    for (auto _ : state) {
        for (const WText& text : prefixes)
            PrsParse(engine.parser, engine.context, text.c_str());
    }
    state.counters["keystrokes"] = static_cast<double>(prefixes.size());
    state.counters["per_keystroke"] = benchmark::Counter(
        static_cast<double>(prefixes.size()),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(Typing)->Unit(benchmark::kMicrosecond);

void LongNote(benchmark::State& state)
{
    Engine engine;
    const WText note = W(grammar::Note1024().c_str());
    for (auto _ : state)
        PrsParse(engine.parser, engine.context, note.c_str());
    state.counters["chars"] = static_cast<double>(note.size());
    state.counters["items"] = static_cast<double>(engine.context->chart.ItemCount());
}
BENCHMARK(LongNote)->Unit(benchmark::kMicrosecond);

void LongNoteMemory(benchmark::State& state)
{
    const WText note = W(grammar::Note1024().c_str());
    size_t parsePeak = 0, allPeak = 0;
    for (auto _ : state) {
        size_t before = g_current;
        g_peak = g_current;
        Engine engine;
        size_t grammarDone = g_current;
        g_peak = g_current;
        PrsParse(engine.parser, engine.context, note.c_str());
        parsePeak = g_peak - grammarDone;
        allPeak = g_peak - before;
    }
    state.counters["parse_peak_bytes"] = static_cast<double>(parsePeak);
    state.counters["total_peak_bytes"] = static_cast<double>(allPeak);
}
BENCHMARK(LongNoteMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

void RuleCount(benchmark::State& state)
{
    Engine engine;
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.parser->rules.size());
    state.counters["rules"] = static_cast<double>(engine.parser->rules.size());
}
BENCHMARK(RuleCount)->Iterations(1);

void Repeated(benchmark::State& state, const char* unit)
{
    Engine engine;
    std::string text;
    for (int64_t i = 0; i < state.range(0); ++i)
        text += unit;
    const WText wide = W(text.c_str());
    const size_t before = g_current;
    g_peak = g_current;
    PrsParse(engine.parser, engine.context, wide.c_str());
    const size_t peak = g_peak - before;
    for (auto _ : state)
        PrsParse(engine.parser, engine.context, wide.c_str());
    state.SetComplexityN(state.range(0));
    state.counters["items"] = static_cast<double>(engine.context->chart.ItemCount());
    state.counters["peak_bytes"] = static_cast<double>(peak);
}
BENCHMARK_CAPTURE(Repeated, Monday, "Monday ")->RangeMultiplier(2)->Range(64, 512)->Complexity()->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Repeated, On, "on ")->RangeMultiplier(2)->Range(64, 512)->Complexity()->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Repeated, ThreePm, "3 pm - ")->RangeMultiplier(2)->Range(64, 512)->Complexity()->Unit(benchmark::kMicrosecond);
// Worst cases: notes of about 1024 characters made of one piece repeated.
// Every run of day names is a date, so "mon mon ..." makes n^2/2 dates, and
// the costliest note found is that one.
BENCHMARK_CAPTURE(Repeated, Worst_Mon1024, "mon ")->Arg(256)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Repeated, Worst_MonDot1024, "mon. ")->Arg(204)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Repeated, Worst_Monday1024, "Monday ")->Arg(146)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Repeated, Worst_MonAfter1024, "mon after ")->Arg(102)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Repeated, Worst_MonDash1024, "mon - ")->Arg(170)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Repeated, Worst_OnMon1024, "on mon ")->Arg(146)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Repeated, Worst_ThreePm1024, "3 pm - ")->Arg(146)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Repeated, Worst_Numbers1024, "1 ")->Arg(512)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Repeated, Worst_WeeksAfter1024, "2 weeks after ")->Arg(73)->Unit(benchmark::kMicrosecond);

// The worst pieces at the longest text a note or the automation server takes.
const size_t kNoteLimit = 32767;

// The piece repeated while it fits in `length` characters.
std::string Filled(const std::string& piece, size_t length)
{
    std::string text;
    while (text.size() + piece.size() <= length)
        text += piece;
    return text;
}

// One cold parse in a new context, with its peak heap and chart items.
void Limit(benchmark::State& state, const char* piece)
{
    Engine engine;
    const size_t length = state.range(0) ? static_cast<size_t>(state.range(0)) : kNoteLimit;
    const WText wide = W(Filled(piece, length).c_str());
    size_t peak = 0, items = 0;
    for (auto _ : state) {
        state.PauseTiming();
        PrsContextDestroy(engine.context);
        engine.context = PrsCreateContext(engine.parser);
        const size_t before = g_current;
        g_peak = g_current;
        state.ResumeTiming();
        PrsParse(engine.parser, engine.context, wide.c_str());
        state.PauseTiming();
        peak = std::max(peak, g_peak - before);
        items = engine.context->chart.ItemCount();
        state.ResumeTiming();
    }
    state.counters["chars"] = static_cast<double>(wide.size());
    state.counters["items"] = static_cast<double>(items);
    state.counters["peak_bytes"] = static_cast<double>(peak);
}

// A keystroke at the end of such a text: the piece's first character typed
// and taken back, each a parse of the whole text again.
void LimitKeystroke(benchmark::State& state, const char* piece)
{
    Engine engine;
    const std::string text = Filled(piece, kNoteLimit - 1);
    const WText without = W(text.c_str());
    const WText with = W((text + piece[0]).c_str());
    PrsParse(engine.parser, engine.context, without.c_str());
    bool typed = false;
    for (auto _ : state) {
        typed = !typed;
        PrsParse(engine.parser, engine.context, typed ? with.c_str() : without.c_str());
    }
}

// The ordinary note repeated to the limit, cut anywhere.
std::string OrdinaryPiece()
{
    static std::string note;
    while (note.size() < kNoteLimit)
        note += grammar::Note1024();
    note.resize(kNoteLimit - 1);
    return note;
}

void OrdinaryNote(benchmark::State& state, bool keystroke)
{
    const std::string note = OrdinaryPiece();
    if (keystroke)
        LimitKeystroke(state, note.c_str());
    else
        Limit(state, note.c_str());
}

#define LIMIT(name, piece)                                                                             \
    BENCHMARK_CAPTURE(Limit, name, piece)->Arg(0)->Unit(benchmark::kMillisecond);                      \
    BENCHMARK_CAPTURE(Limit, name##_8192, piece)->Arg(8192)->Unit(benchmark::kMillisecond);            \
    BENCHMARK_CAPTURE(LimitKeystroke, name, piece)->Unit(benchmark::kMillisecond)
LIMIT(Mon, "mon ");
LIMIT(MonDot, "mon. ");
LIMIT(MonDotTight, "mon.");
LIMIT(OnMon, "on mon ");
LIMIT(Monday, "Monday ");
LIMIT(MonAfter, "mon after ");
LIMIT(MonDash, "mon - ");
LIMIT(ThreePm, "3 pm - ");
LIMIT(Slashes, "1/");
LIMIT(Numbers, "1 ");
LIMIT(WeeksAfter, "2 weeks after ");
BENCHMARK_CAPTURE(OrdinaryNote, Cold, false)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OrdinaryNote, Keystroke, true)->Unit(benchmark::kMillisecond);

// Keywords of 2 to 21 dashes over a note of that many dashes: every word of
// every keyword is an element at every dash.
void DashKeywords(benchmark::State& state)
{
    Engine engine;
    for (size_t k = 2; k <= 21; ++k)
        PrsAddLexiconPhrase(engine.parser, W(std::string(k, '-').c_str()).c_str(), W("keyword").c_str(), nullptr);
    grammar::AddRule(engine.parser, nullptr, "keyword-found", true, 29, {{"keyword", {}}});
    PrsContextDestroy(engine.context);
    engine.context = PrsCreateContext(engine.parser);
    const WText wide = W(std::string(static_cast<size_t>(state.range(0)), '-').c_str());
    const size_t before = g_current;
    g_peak = g_current;
    PrsParse(engine.parser, engine.context, wide.c_str());
    const size_t peak = g_peak - before;
    for (auto _ : state)
        PrsParse(engine.parser, engine.context, wide.c_str());
    state.SetComplexityN(state.range(0));
    state.counters["items"] = static_cast<double>(engine.context->chart.ItemCount());
    state.counters["peak_bytes"] = static_cast<double>(peak);
}
BENCHMARK(DashKeywords)->RangeMultiplier(2)->Range(125, 1000)->Arg(8192)->Arg(kNoteLimit)->Complexity()
    ->Unit(benchmark::kMicrosecond);

} // namespace

void* operator new(size_t size)
{
    void* p = std::malloc(size + sizeof(size_t) * 2);
    if (!p)
        throw std::bad_alloc();
    *static_cast<size_t*>(p) = size;
    g_current += size;
    if (g_current > g_peak)
        g_peak = g_current;
    return static_cast<char*>(p) + sizeof(size_t) * 2;
}

void operator delete(void* p) noexcept
{
    if (!p)
        return;
    void* base = static_cast<char*>(p) - sizeof(size_t) * 2;
    g_current -= *static_cast<size_t*>(base);
    std::free(base);
}

void operator delete(void* p, size_t) noexcept
{
    operator delete(p);
}

BENCHMARK_MAIN();
