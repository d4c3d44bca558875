// SPDX-License-Identifier: MIT
// Primality screens: trial division by every odd prime up to 251, and the
// Fermat test to the bases 2, 3, 5 and 7.

#include "../support.h"

using namespace bignum_test;
using Primality = BignumTest;

TEST_F(Primality, ScreenFailsExactlyTheMultiplesOfAnOddPrimeUpTo251)
{
    // An oracle with no table of primes: when an odd d in 3 .. 251
    // divides n, so does d's smallest prime factor. The sweep holds every
    // tried prime, 241 x 251, 257 and 257 x 257, with either sign.
    const auto screened_out = [](std::uint32_t n) {
        std::uint32_t d = 3;
        while (d <= 251 && n % d != 0) {
            d += 2;
        }
        return d <= 251;
    };
    const Num n;
    for (std::uint32_t value = 0; value <= 70000; ++value) {
        for (const std::uint32_t sign : {0U, 1U}) {
            big_set_word(n, value);
            big_words(n)[1] = sign;
            ASSERT_EQ(big_small_prime_screen(n), screened_out(value) ? 0U : 1U) << (sign ? "-" : "") << value;
        }
    }
}

TEST_F(Primality, ScreenOfSeveralLimbsAndFermatLeaveNUnchanged)
{
    constexpr int raises = -1; // an even n has no Montgomery form
    // clang-format off
    struct Row { std::uint32_t (*screen)(const BigNum*); const char* n; int passes; };
    const Row rows[] = {
        {big_small_prime_screen, "2305843009213693951", 1}, {big_small_prime_screen, "-2305843009213693951", 1},
        {big_small_prime_screen, "578766595312637181701", 0}, // (2^61 - 1) x 251
        {big_small_prime_screen, "1427247692705959880439315947500961989719490561", 1}, // (2^89 - 1)(2^61 - 1)
        {big_fermat_test, "1", 0}, {big_fermat_test, "3", 0}, {big_fermat_test, "5", 0}, {big_fermat_test, "7", 0},
        {big_fermat_test, "9", 0}, {big_fermat_test, "11", 1}, {big_fermat_test, "13", 1}, {big_fermat_test, "97", 1},
        {big_fermat_test, "-1", 0}, {big_fermat_test, "-13", 1}, {big_fermat_test, "341", 0}, // passes base 2 only
        {big_fermat_test, "-341", 0}, {big_fermat_test, "561", 0}, {big_fermat_test, "29341", 1}, // 13 x 37 x 61
        {big_fermat_test, "2147483647", 1}, {big_fermat_test, "2305843009213693951", 1},
        {big_fermat_test, "618970019642690137449562111", 1},
        {big_fermat_test, "4951760154835678088235319297", 0}, // (2^61 - 1)(2^31 - 1)
        {big_fermat_test, "0", raises}, {big_fermat_test, "2", raises}, {big_fermat_test, "-2", raises},
        {big_fermat_test, "18446744073709551616", raises},
    };
    // clang-format on
    for (const Row& row : rows) {
        const Num n;
        big_from_dec(row.n, n);
        if (row.passes == raises) {
            EXPECT_THROW(static_cast<void>(row.screen(n)), big_division_by_zero) << row.n;
        } else {
            EXPECT_EQ(row.screen(n), static_cast<std::uint32_t>(row.passes)) << row.n;
        }
        EXPECT_EQ(dec(n), row.n);
    }
}
