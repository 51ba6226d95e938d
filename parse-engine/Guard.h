// Entry points of the flat interface run through this: nothing thrown inside
// the engine ever reaches a caller, who sees the failure value instead.
#pragma once
#include <utility>

namespace osprey {

template <class Result, class Body>
Result Guarded(Result onFailure, Body&& body)
{
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return onFailure;
    }
}

template <class Body>
void Guarded(Body&& body)
{
    try {
        std::forward<Body>(body)();
    } catch (...) {
    }
}

} // namespace osprey
