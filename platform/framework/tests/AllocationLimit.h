// Include in exactly one source file of a test program: every allocation
// above 64 MB then fails with std::bad_alloc, so that a reader trusting a
// length from its input fails its test at once instead of taking the memory.
// A test can also make smaller allocations fail while a FailingAllocations
// lives, to see what the code under test does when memory runs out.
#pragma once
#include <cstddef>
#include <cstdlib>
#include <new>

const std::size_t kTestAllocationLimit = std::size_t(64) << 20;

// Allocations of at least this many bytes fail; 0 when none is set.
inline std::size_t& FailingAllocationSize()
{
    static std::size_t size = 0;
    return size;
}

// While it lives, every allocation of `size` bytes or more fails.
class FailingAllocations {
public:
    explicit FailingAllocations(std::size_t size) : m_previous(FailingAllocationSize())
    {
        FailingAllocationSize() = size;
    }
    ~FailingAllocations() { FailingAllocationSize() = m_previous; }
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;

private:
    std::size_t m_previous;
};

// The replacements stay out of line, as a pair: inlined where a block is
// taken or released, the malloc or the free would face the other side's
// operator new or delete and read to the compiler as a mismatched pair.
__attribute__((noinline)) void* operator new(std::size_t size)
{
    const std::size_t failing = FailingAllocationSize();
    if (size <= kTestAllocationLimit && !(failing && size >= failing)) {
        if (void* p = std::malloc(size ? size : 1))
            return p;
    }
    throw std::bad_alloc();
}

__attribute__((noinline)) void operator delete(void* p) noexcept
{
    std::free(p);
}

__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

// The array and no-throw forms too: a sanitizer that sees one form from its
// own heap and the other from this one reports a mismatch.
__attribute__((noinline)) void* operator new[](std::size_t size)
{
    return operator new(size);
}

__attribute__((noinline)) void operator delete[](void* p) noexcept
{
    std::free(p);
}

__attribute__((noinline)) void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

__attribute__((noinline)) void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
}

__attribute__((noinline)) void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return operator new(size, std::nothrow);
}

__attribute__((noinline)) void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}

__attribute__((noinline)) void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
