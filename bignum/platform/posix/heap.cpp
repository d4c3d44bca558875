// SPDX-License-Identifier: MIT
#include "../heap.h"

#include <cstring>
#include <new>

namespace bignum::platform {

// Not calloc (nor malloc and memset, which compilers fold into calloc):
// glibc's calloc bypasses the per-thread cache, and every operation allocates
// and frees temporaries of one size, which that cache serves in a few
// instructions.
void* heap_allocate_zeroed(std::size_t bytes) noexcept
{
    void* block = ::operator new(bytes, std::nothrow);
    return block == nullptr ? nullptr : std::memset(block, 0, bytes);
}

bool heap_release(void* block) noexcept
{
    ::operator delete(block);
    return true;
}

} // namespace bignum::platform
