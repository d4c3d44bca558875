// SPDX-License-Identifier: MIT
// Several threads at once: each working on numbers of its own, and precision
// changes racing with allocation. Plain builds check the results; the tsan
// preset watches for data races and the sanitize preset for mis-sized blocks.

#include "../support.h"

#include <array>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

using namespace bignum_test;

using Threads = BignumTest;

namespace {

// A mix of operations that allocate and free temporaries, on the thread's
// own numbers: 3^(e + 65537) mod (2^127 - 1), through its product with e and
// back by exact division, in hexadecimal.
std::string worked_example(std::uint32_t e)
{
    const Num base("3"), exp, mod("7FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"), r, q, g;
    big_set_word(exp, e);
    big_add_word(exp, 65537);
    big_powmod(base, exp, mod, r);
    big_mul(r, exp, q);
    big_divmod(q, exp, q, nullptr);
    big_gcd(q, mod, g);
    return hex(q) + "/" + hex(g);
}

} // namespace

TEST_F(Threads, OperationsOnTheirOwnNumbersGiveTheSerialResults)
{
    constexpr std::uint32_t rounds = 40;
    std::vector<std::string> expected;
    for (std::uint32_t e = 0; e < rounds; ++e) {
        expected.push_back(worked_example(e));
    }
    std::array<std::vector<std::string>, 4> got;
    std::vector<std::thread> workers;
    for (auto& results : got) {
        workers.emplace_back([&results] {
            for (std::uint32_t e = 0; e < rounds; ++e) {
                results.push_back(worked_example(e));
            }
        });
    }
    for (std::thread& t : workers) {
        t.join();
    }
    for (const auto& results : got) {
        EXPECT_EQ(results, expected);
    }
}

// One thread switches the precision back and forth while another allocates,
// clears the whole block and frees it. Each change must either come before an
// allocation or be refused while the block lives: the capacity a block was
// made under must hold until it is freed.
TEST_F(Threads, PrecisionChangesNeverOverlapALiveBlock)
{
    std::atomic<bool> allocating{true};
    std::atomic<std::uint32_t> changes{0};
    std::thread changer([&] {
        for (std::uint32_t i = 0; allocating.load(); ++i) {
            try {
                big_set_precision(i % 2 == 0 ? 16383 : 512);
                ++changes;
            } catch (const big_error& e) {
                EXPECT_EQ(e.why(), big_error::reason::precision_while_alive);
            }
        }
    });
    std::uint32_t resized_under_a_block = 0;
    for (std::uint32_t round = 0; round < 2000 || changes.load() < 100; ++round) {
        BigNum* x = big_new();
        const std::uint32_t capacity = big_limb_capacity();
        big_zero(x);
        resized_under_a_block += big_limb_capacity() == capacity ? 0 : 1;
        big_free(x);
    }
    allocating = false;
    changer.join();
    EXPECT_EQ(resized_under_a_block, 0U);
}
