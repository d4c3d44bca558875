// SPDX-License-Identifier: MIT
// The C++ heap of the bench binary, counted: every operator new passes
// through here (new[] and the nothrow forms call it), so that a row can say
// how many allocations its loop made. The benchmarks run on one thread.

#include "cases.h"

#include <cstdlib>
#include <new>

namespace {

std::uint64_t made = 0;

} // namespace

std::uint64_t bench::allocations() noexcept { return made; }

void* operator new(std::size_t size)
{
    ++made;
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t /*size*/) noexcept { std::free(block); }
