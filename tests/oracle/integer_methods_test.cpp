// SPDX-License-Identifier: MIT
// The value type's methods beside mpz_class at the sizes where they break:
// each method's thresholds, its rare steps and its worst operands, one table
// per method.

#include <bignum/integer.h>
#include <gmpxx.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

using bignum::integer;

namespace {

// The same value on both sides, from GMP's hexadecimal text.
[[maybe_unused]] integer ours(const mpz_class& x) { return integer::parse(x.get_str(16), 16); }
[[maybe_unused]] std::string hex(const integer& x) { return x.to_string(16); }
[[maybe_unused]] std::string hex(const mpz_class& x) { return x.get_str(-16); }

// A random value of exactly `bits` bits (bits >= 1), from a fixed seed.
[[maybe_unused]] mpz_class random_bits(gmp_randclass& random, unsigned long bits)
{
    mpz_class x = random.get_z_bits(bits);
    mpz_setbit(x.get_mpz_t(), bits - 1);
    return x;
}

} // namespace

// --- products ---------------------------------------------------------------


// --- division ---------------------------------------------------------------

namespace {

// The library's limb width, B = 2^limb_bits.
#if defined(__SIZEOF_INT128__)
constexpr unsigned limb_bits = 64;
#else
constexpr unsigned limb_bits = 32;
#endif
// Divisor and quotient limbs from which the library's division recurses.
constexpr unsigned recursive_division_limbs = 40;

mpz_class limb_power(unsigned long k) { return mpz_class(1) << static_cast<mp_bitcnt_t>(limb_bits * k); }

void expect_division(const mpz_class& a, const mpz_class& d)
{
    EXPECT_EQ(hex(ours(a) / ours(d)), hex(mpz_class(a / d))) << hex(a) << " / " << hex(d);
    EXPECT_EQ(hex(ours(a) % ours(d)), hex(mpz_class(a % d))) << hex(a) << " % " << hex(d);
}

// Knuth's estimate of the first quotient limb, once both are shifted so
// that d's top bit is set (the dividend's top three limbs over the
// divisor's top two, at most B - 1), less the true limb. For a of more
// limbs than d (three or more), a's top d-sized part below d.
mpz_class first_limb_overestimate(mpz_class a, mpz_class d)
{
    const auto shift = static_cast<mp_bitcnt_t>((limb_bits - mpz_sizeinbase(d.get_mpz_t(), 2) % limb_bits) % limb_bits);
    a <<= shift;
    d <<= shift;
    const auto limbs = [](const mpz_class& x) { return (mpz_sizeinbase(x.get_mpz_t(), 2) + limb_bits - 1) / limb_bits; };
    const auto n = limbs(d);
    const mpz_class window = a / limb_power(limbs(a) - n - 1);
    const mpz_class estimate = window / limb_power(n - 2) / (d / limb_power(n - 2));
    return std::min(estimate, mpz_class(limb_power(1) - 1)) - window / d;
}

} // namespace

TEST(IntegerMethods, DivisionAddBackStep)
{
    gmp_randclass random(gmp_randinit_default);
    random.seed(20);
    const mpz_class b = limb_power(1);
    // (B/4) B^3 over (B/2) B^2 + B - 8: the estimate is B/2, the quotient
    // B/2 - 1; low bits clear so that shifting right keeps both exact.
    const mpz_class u = b / 4 * b * b * b;
    const mpz_class v = b / 2 * b * b + b - 8;
    const std::vector<std::pair<mpz_class, mpz_class>> rows = {
        {u, v},                                            // one quotient limb
        {u * limb_power(5) + random.get_z_bits(5 * limb_bits), v}, // many below it
        {u >> 3, v >> 3},                                  // shifted to normalise
        {u * limb_power(2), v * limb_power(2) + b * b - 1}, // five-limb divisor
    };
    for (const auto& [a, d] : rows) {
        EXPECT_EQ(first_limb_overestimate(a, d), 1) << hex(a) << " / " << hex(d);
        expect_division(a, d);
    }
}

// Divisors of one, two and three limbs and at the recursion's threshold,
// topped by the top bit alone, by all ones or at random, or all ones
// throughout; quotients of one limb to many, at the threshold too.
TEST(IntegerMethods, DivisionAcrossSizes)
{
    gmp_randclass random(gmp_randinit_default);
    random.seed(21);
    const unsigned t = recursive_division_limbs;
    const auto below_top = [&](unsigned n) -> mpz_class { return random.get_z_bits((n - 1) * limb_bits); };
    const std::vector<std::function<mpz_class(unsigned)>> divisors = {
        [&](unsigned n) -> mpz_class { return random_bits(random, n * limb_bits - 5); },
        [&](unsigned n) -> mpz_class { return limb_power(n) / 2 + below_top(n); },
        [&](unsigned n) -> mpz_class { return (limb_power(1) - 1) * limb_power(n - 1) + below_top(n); },
        [&](unsigned n) -> mpz_class { return limb_power(n) - 1; },
    };
    for (const unsigned n : {1U, 2U, 3U, t - 1, t, t + 1, 2 * t + 1}) {
        for (const unsigned q : {1U, 2U, t - 1, t, t + 1, 3 * t + 5}) {
            for (const auto& divisor : divisors) {
                const mpz_class d = divisor(n);
                expect_division(random_bits(random, (n + q) * limb_bits), d);
                expect_division(limb_power(n + q) - 1, d);
            }
        }
    }
}

// --- modular exponentiation and primes ---------------------------------------


// --- gcd, inverse and symbols -------------------------------------------------


// --- text -------------------------------------------------------------------

namespace {

// Limbs from which the library's to_string splits by powers of the base, and
// digits from which its parse joins by them.
constexpr unsigned split_text_limbs = 20;
constexpr unsigned joined_text_digits = 2000;

} // namespace

// Powers of each base and their neighbours, at the digit counts where a
// limb's worth of digits, and parse's joining, begin; values of all ones
// and at random at to_string's split; each back and forth, and parsed after
// leading zeros.
TEST(IntegerMethods, TextAcrossSizes)
{
    gmp_randclass random(gmp_randinit_default);
    random.seed(22);
    const unsigned t = split_text_limbs;
    for (const int base : {2, 8, 10, 16, 32, 3, 36}) {
        std::vector<mpz_class> values;
        for (const unsigned long k : {1UL, 19UL, 20UL, 39UL, joined_text_digits - 1UL, joined_text_digits + 0UL, joined_text_digits + 1UL}) {
            mpz_class power;
            mpz_ui_pow_ui(power.get_mpz_t(), static_cast<unsigned long>(base), k);
            values.insert(values.end(), {power - 1, power, power + 1});
        }
        for (const unsigned n : {t - 1, t, t + 1, 4 * t + 3}) {
            values.insert(values.end(), {limb_power(n) - 1, random_bits(random, n * limb_bits)});
        }
        for (const mpz_class& x : values) {
            const std::string text = x.get_str(-base);
            EXPECT_EQ(ours(x).to_string(base), text) << base;
            EXPECT_EQ(hex(integer::parse(text, base)), hex(x)) << text;
            EXPECT_EQ(hex(integer::parse("000" + text, base)), hex(x)) << text;
        }
    }
}

// --- storage ----------------------------------------------------------------

