// SPDX-License-Identifier: MIT
#include "../heap.h"

#include <windows.h>

namespace bignum::platform {

// Without HEAP_GENERATE_EXCEPTIONS: an exhausted heap then returns null, and
// the caller raises big_error, instead of a system exception that no C++
// handler catches.
void* heap_allocate_zeroed(std::size_t bytes) noexcept { return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes); }

bool heap_release(void* block) noexcept { return HeapFree(GetProcessHeap(), 0, block) != 0; }

} // namespace bignum::platform
