// Include in exactly one source file of a test program: every allocation
// above 64 MB then fails with std::bad_alloc, so that a reader trusting a
// length from its input fails its test at once instead of taking the memory.
#pragma once
#include <cstddef>
#include <cstdlib>
#include <new>

const std::size_t kTestAllocationLimit = std::size_t(64) << 20;

void* operator new(std::size_t size)
{
    if (size <= kTestAllocationLimit) {
        if (void* p = std::malloc(size ? size : 1))
            return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
