// SPDX-License-Identifier: MIT
// With every allocation refused, the library still raises its own errors.
// The C heap is replaced here by an arena that can be told to refuse: the
// C++ heap draws on it, and so does the runtime for every thrown exception,
// which then has nowhere to come from but the runtime's emergency pool.

#include <bignum/bignum.h>
#include <bignum/integer.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t granule = alignof(std::max_align_t);
alignas(granule) std::array<unsigned char, std::size_t{64} << 20> arena;
std::atomic<std::size_t> arena_used{0};
std::atomic<bool> refuse_all{false};

// Each block is preceded by one granule holding its size; blocks are never
// reused, so the arena's zero fill serves calloc.
void* take(std::size_t size) noexcept
{
    const std::size_t total = granule + (size + granule - 1) / granule * granule;
    if (refuse_all.load() || size > arena.size()) {
        return nullptr;
    }
    const std::size_t at = arena_used.fetch_add(total);
    if (at + total > arena.size()) {
        return nullptr;
    }
    std::memcpy(arena.data() + at, &size, sizeof size);
    return arena.data() + at + granule;
}

std::size_t size_of(const void* block) noexcept
{
    std::size_t size = 0;
    std::memcpy(&size, static_cast<const unsigned char*>(block) - granule, sizeof size);
    return size;
}

} // namespace

extern "C" {
void* malloc(std::size_t size) noexcept { return take(size); }
void* calloc(std::size_t n, std::size_t size) noexcept
{
    return size != 0 && n > SIZE_MAX / size ? nullptr : take(n * size);
}
void* realloc(void* old, std::size_t size) noexcept
{
    void* block = take(size);
    if (block != nullptr && old != nullptr) {
        std::memcpy(block, old, std::min(size, size_of(old)));
    }
    return block;
}
void free(void* /*block*/) noexcept {}
}

namespace {

// True when `operation` raises `Expected` while every allocation is refused.
template <typename Expected, typename Operation>
bool raises_with_heap_refusing(Operation operation)
{
    refuse_all = true;
    bool raised = false;
    try {
        operation();
    } catch (const Expected&) {
        raised = true;
    } catch (...) {
    }
    refuse_all = false;
    return raised;
}

} // namespace

int main()
{
    big_set_precision(512);
    BigNum* one = big_new_word(1);
    BigNum* zero = big_new();
    const struct {
        const char* what;
        bool passed;
    } rows[] = {
        {"big_new raises big_error", raises_with_heap_refusing<big_error>([] { big_free(big_new()); })},
        {"a zero divisor raises big_division_by_zero",
         raises_with_heap_refusing<big_division_by_zero>([=] { big_divmod(one, zero, one, nullptr); })},
        {"a capacity refusal with no room for its message raises big_error",
         raises_with_heap_refusing<big_error>([] { bignum::raise_capacity_error("a product", 5000); })},
    };
    big_free(zero);
    big_free(one);
    int failures = 0;
    for (const auto& row : rows) {
        if (!row.passed) {
            std::fprintf(stderr, "with every allocation refused, %s: FAILED\n", row.what);
            ++failures;
        }
    }
    if (big_live_blocks() != 0) {
        std::fprintf(stderr, "a refused block is still counted as alive\n");
        ++failures;
    }
    return failures;
}
