// SPDX-License-Identifier: MIT
#include "../heap.h"

#include <windows.h>

namespace bignum::platform {

namespace {
// HEAP_ZERO_MEMORY | HEAP_GENERATE_EXCEPTIONS: an exhausted heap raises the
// system's own exception inside HeapAlloc; a null result is still tested.
constexpr DWORD heap_flags = HEAP_ZERO_MEMORY | HEAP_GENERATE_EXCEPTIONS;
} // namespace

void* heap_allocate_zeroed(std::size_t bytes) noexcept { return HeapAlloc(GetProcessHeap(), heap_flags, bytes); }

bool heap_release(void* block) noexcept { return HeapFree(GetProcessHeap(), heap_flags, block) != 0; }

} // namespace bignum::platform
