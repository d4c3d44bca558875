#include "../heap.h"

#include <cstdlib>

namespace bignum::platform {

void* heap_allocate_zeroed(std::size_t bytes) noexcept { return std::calloc(1, bytes); }

bool heap_release(void* block) noexcept
{
    std::free(block);
    return true;
}

} // namespace bignum::platform
