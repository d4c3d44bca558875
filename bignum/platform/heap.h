// SPDX-License-Identifier: MIT
// The library's view of the operating system: one zero-filled heap block per
// number. Each platform implements this in its own folder.

#ifndef BIGNUM_PLATFORM_HEAP_H
#define BIGNUM_PLATFORM_HEAP_H

#include <cstddef>

namespace bignum::platform {

// A zero-filled block of `bytes` bytes, or null when the heap has none.
[[nodiscard]] void* heap_allocate_zeroed(std::size_t bytes) noexcept;
// Returns the block to the heap; false when the heap reports a failure.
[[nodiscard]] bool heap_release(void* block) noexcept;

} // namespace bignum::platform

#endif // BIGNUM_PLATFORM_HEAP_H
