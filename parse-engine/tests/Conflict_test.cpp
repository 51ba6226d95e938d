#include "Conflict.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace osprey;

namespace {

const int kPkgA = 1, kPkgB = 2;
const void* A = &kPkgA;
const void* B = &kPkgB;

Candidate C(uint32_t strength, int start, int end, const void* package = A, uint32_t domain = 1)
{
    return {strength, domain, package, start, end};
}

} // namespace

TEST(Conflict, SettlesBatches)
{
    struct Row {
        const char* what;
        std::vector<Candidate> batch;       // in the order their items were made
        std::vector<size_t> kept;           // in emission order
    } rows[] = {
        {"alone, even of strength 0", {C(0, 2, 3)}, {0}},
        {"earlier start wins", {C(29, 0, 2), C(29, 1, 3)}, {0}},
        {"earlier start wins, made later", {C(29, 1, 3), C(29, 0, 1)}, {1}},
        {"same start: longer wins", {C(29, 0, 1), C(29, 0, 3)}, {1}},
        {"same span: both, longer-first order then made order", {C(29, 4, 5), C(29, 4, 5)}, {0, 1}},
        {"93 beats an earlier, longer 29", {C(29, 0, 5), C(93, 3, 4)}, {1}},
        {"93 against 93: earlier wins", {C(93, 2, 3), C(93, 1, 2)}, {1}},
        {"13 loses an equal span to 29", {C(13, 0, 4), C(29, 0, 4)}, {1}},
        {"13 loses an equal span to 13 made later", {C(13, 0, 4), C(13, 0, 4)}, {1}},
        {"strength 0 dropped in company", {C(0, 0, 5), C(29, 7, 8), C(29, 4, 7)}, {2}},
        {"domain 2 always kept", {C(29, 0, 5), C(29, 1, 2, A, 2)}, {0, 1}},
        {"0x400 kept without test", {C(29, 0, 5), C(0x400 | 29, 1, 2)}, {0, 1}},
        {"domain 1: other package not compared", {C(29, 0, 5, A), C(29, 1, 2, B)}, {0, 1}},
        {"domain 3: every package compared", {C(29, 0, 5, A, 3), C(29, 1, 2, B, 3)}, {0}},
        {"a domain 1 judge ignores other packages", {C(29, 1, 2, A, 1), C(29, 0, 5, B, 3)}, {1, 0}},
        {"1024 beats all", {C(93 | 0x80, 0, 5), C(1024, 2, 3)}, {1}},
        {"1024 is the 0x400 bit: kept without test", {C(1024, 0, 5), C(1024, 2, 3)}, {0, 1}},
        {"0x80 beats 0x40", {C(93, 0, 5), C(29 | 0x80, 2, 3)}, {1}},
        {"0x80 against 0x80: plain tests", {C(29 | 0x80, 0, 5), C(29 | 0x80, 2, 3)}, {0}},
        {"shorter wins with 0x100", {C(29 | 0x2 | 0x100, 0, 5), C(29 | 0x2 | 0x100, 0, 2)}, {1}},
        {"coupled ties favour the longer", {C(0x1 | 0x4 | 0x8, 0, 1), C(0x1 | 0x4 | 0x8, 0, 3)}, {1}},
        {"start ignored without 0x1", {C(0x2, 0, 2), C(0x2, 1, 5)}, {1}},
        {"both tests needed; the loser is gone when the other is judged", {C(0x1 | 0x2, 0, 2), C(0x1 | 0x2, 1, 5)}, {1}},
        {"one test suffices with 0x20", {C(0x1 | 0x2 | 0x20, 0, 2), C(0x1 | 0x2 | 0x20, 1, 5)}, {0, 1}},
        {"no overlap, same batch", {C(29, 0, 3), C(29, 2, 5), C(29, 4, 6)}, {0, 2}},
        {"equal lengths keep their order among longer ones", {C(29, 0, 2), C(29, 0, 4), C(29, 0, 2), C(29, 0, 4)}, {1, 3}},
        {"unordered starts", {C(29, 5, 6), C(29, 0, 1), C(29, 1, 5)}, {1, 0}},
        {"loser removed at once", {C(29, 0, 4), C(29, 3, 8), C(29, 5, 9)}, {0, 2}},
    };
    BatchSettler settler;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        std::vector<size_t> kept;
        settler.Settle(r.batch, kept);
        EXPECT_EQ(r.kept, kept);
    }
}

TEST(Conflict, TiesFollowTheStrengthBits)
{
    // K judged against an overlapping O of the same package.
    struct Row { const char* what; Candidate k, o; bool loses; } rows[] = {
        {"equal span, default", C(29, 0, 3), C(29, 0, 3), false},
        {"equal start without 0x8 is lost", C(0x1 | 0x4 | 0x10, 0, 3), C(29, 0, 3), true},
        {"equal length without 0x10 is not longer", C(0x1 | 0x2 | 0x8, 0, 3), C(29, 0, 3), true},
        {"equal length tie without 0x4 is won", C(0x1 | 0x2 | 0x8 | 0x10, 0, 3), C(29, 0, 3), false},
        {"coupled: tied start lost with a lost length", C(0x1 | 0x2 | 0x4 | 0x8, 0, 2), C(29, 0, 3), true},
        {"uncoupled: tied start won", C(0x1 | 0x8, 0, 2), C(29, 0, 3), false},
        {"coupled: tied length lost after a lost start", C(0x1 | 0x2 | 0x4 | 0x10 | 0x20, 2, 4), C(29, 1, 3), true},
        {"0x40 passes over a plain other", C(0x40, 5, 6), C(29, 0, 9), false},
        {"0x40 against 0x40: tests", C(93, 5, 6), C(93, 0, 9), true},
        {"plain loses to 0x40", C(29, 0, 9), C(0x40, 5, 6), true},
        {"0x80 passes over 0x40", C(0x80, 5, 6), C(93, 0, 9), false},
        {"exactly 1024 beats 0x80", C(0x80 | 0x1, 0, 9), C(1024, 5, 6), true},
        {"1024 with another bit is no longer 1024", C(29, 0, 9), C(1024 | 1, 5, 6), false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(r.loses, LosesTo(r.k, r.o));
    }
}
