// SPDX-License-Identifier: MIT
// The value type's methods beside mpz_class at the sizes where they break:
// each method's thresholds, its rare steps and its worst operands, one table
// per method.

#include <bignum/integer.h>
#include <gmpxx.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <new>
#include <random>
#include <string>
#include <utility>
#include <vector>

using bignum::integer;

namespace {

// The same value on both sides, from GMP's hexadecimal text.
integer ours(const mpz_class& x) { return integer::parse(x.get_str(16), 16); }
std::string hex(const integer& x) { return x.to_string(16); }
std::string hex(const mpz_class& x) { return x.get_str(-16); }

// A random value of exactly `bits` bits (bits >= 1), from a fixed seed.
mpz_class random_bits(gmp_randclass& random, unsigned long bits)
{
    mpz_class x = random.get_z_bits(bits);
    mpz_setbit(x.get_mpz_t(), bits - 1);
    return x;
}

} // namespace

// --- products ---------------------------------------------------------------

// Sizes in 64-bit limbs on both sides of each method's threshold in
// bignum/src/limbs/products.h (schoolbook by vector columns from 16, squares
// from 24; Karatsuba 32, or 64 after columns, its square 72; Toom-3 288; the
// transform 1800), unbalanced pairs that cut the longer operand into pieces
// of the shorter one with a remainder, and all-ones operands, whose partial
// sums carry the furthest. Each pair is multiplied, and each operand squared.
TEST(IntegerMethods, ProductsAroundEachMethodsThreshold)
{
    struct row {
        unsigned long longer, shorter; // limbs
    };
    const row rows[] = {
        {15, 15},     {16, 16},     {17, 17},     // columns
        {23, 23},     {24, 24},     {25, 25},     // columns' square
        {31, 31},     {32, 32},     {33, 33},     // Karatsuba
        {63, 63},     {64, 64},     {65, 65},     // Karatsuba after columns
        {71, 71},     {72, 72},     {73, 73},     // Karatsuba's square
        {287, 287},   {288, 288},   {289, 289},   // Toom-3
        {1799, 1799}, {1800, 1800}, {1801, 1801}, // transform
        {33, 32},     {95, 32},     {100, 33},    // pieces with a remainder
        {144, 64},    {870, 289},   {1000, 300},  //
        {2500, 1800},                             //
    };
    gmp_randclass random(gmp_randinit_default);
    random.seed(20261209);
    for (const auto& [longer, shorter] : rows) {
        for (const bool all_ones : {false, true}) {
            const auto operand = [&](unsigned long limbs) {
                const unsigned long bits = 64 * limbs;
                return all_ones ? mpz_class((mpz_class(1) << bits) - 1) : random_bits(random, bits);
            };
            const mpz_class a = operand(longer);
            const mpz_class b = operand(shorter);
            const integer x = ours(a);
            const integer y = ours(b);
            SCOPED_TRACE(std::to_string(longer) + " x " + std::to_string(shorter) +
                         (all_ones ? " limbs, all ones" : " limbs"));
            EXPECT_EQ(hex(x * y), hex(mpz_class(a * b)));
            EXPECT_EQ(hex(x * x), hex(mpz_class(a * a)));
            EXPECT_EQ(hex(y * y), hex(mpz_class(b * b)));
        }
    }
}

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
    const auto limbs = [](const mpz_class& x) {
        return (mpz_sizeinbase(x.get_mpz_t(), 2) + limb_bits - 1) / limb_bits;
    };
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
        {u, v},                                                    // one quotient limb
        {u * limb_power(5) + random.get_z_bits(5 * limb_bits), v}, // many below it
        {u >> 3, v >> 3},                                          // shifted to normalise
        {u * limb_power(2), v * limb_power(2) + b * b - 1},        // five-limb divisor
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

// Odd moduli (Montgomery) of one limb and of many, powers of two, and 2^k
// times an odd number (two powers joined by the remainder theorem), against
// exponents 0 and 1 and long runs of ones and zeros; and bit lengths on each
// side of every change of window width.
TEST(IntegerMethods, PowModAgreesWithGmpAcrossModulusAndExponentShapes)
{
    gmp_randclass random(gmp_randinit_default);
    random.seed(2026);
    const auto ones = [](unsigned long n) { return mpz_class((mpz_class(1) << n) - 1); };
    const auto odd = [&](unsigned long bits) { return mpz_class(random_bits(random, bits) | 1); };
    struct Row {
        mpz_class modulus;
        mpz_class exponent;
    };
    std::vector<Row> rows;
    // clang-format off
    const std::vector<mpz_class> moduli{3, odd(32), odd(64), ones(64), odd(65), odd(512), ones(1279), odd(1300),
                                        odd(3100), ones(4253), 2, mpz_class(1) << 64, mpz_class(1) << 1000, odd(64) << 1,
                                        mpz_class(3) << 700, odd(600) << 64, odd(64) << 600, odd(700) << 555};
    // clang-format on
    const std::vector<mpz_class> exponents{0, 1, ones(150) << 250 | ones(100)};
    for (const mpz_class& m : moduli) {
        for (const mpz_class& e : exponents) {
            rows.push_back({m, e});
        }
    }
    for (const unsigned long bits : {7, 8, 24, 25, 80, 81, 240, 241, 672, 673, 1792, 1793}) {
        rows.push_back({odd(130), random_bits(random, bits)});
        rows.push_back({odd(70) << 60, random_bits(random, bits)});
    }
    for (const Row& row : rows) {
        const mpz_class& m = row.modulus;
        const std::vector<mpz_class> bases{m - 1, random.get_z_range(m) | 1};
        for (const mpz_class& b : bases) {
            mpz_class expected;
            mpz_powm(expected.get_mpz_t(), b.get_mpz_t(), row.exponent.get_mpz_t(), m.get_mpz_t());
            EXPECT_EQ(hex(pow_mod(ours(b), ours(row.exponent), ours(m))), hex(expected))
                << hex(b) << " ^ " << hex(row.exponent) << " mod " << hex(m);
        }
    }
}

// Composites that fool weaker tests, each at every rounds count: strong
// pseudoprimes to every prime base up to 37 (and 41), Carmichael numbers,
// strong Lucas pseudoprimes (base 2 catches them), squares of primes (no
// Lucas parameter exists; those of 1093 and 3511 pass base 2), Mersenne
// composites; and primes beside them.
TEST(IntegerMethods, ProbablePrimeAgreesWithGmpAtEveryRoundsCount)
{
    const auto power = [](unsigned long n) { return mpz_class(mpz_class(1) << n); };
    const auto square = [](const mpz_class& p) { return mpz_class(p * p); };
    const auto next_prime = [](const mpz_class& from) {
        mpz_class p;
        mpz_nextprime(p.get_mpz_t(), from.get_mpz_t());
        return p;
    };
    // clang-format off
    const mpz_class numbers[] = {
        mpz_class("318665857834031151167461"), mpz_class("3317044064679887385961981"),
        mpz_class("3825123056546413051"), mpz_class("341550071728321"), mpz_class("1373653"),
        561, 29341, mpz_class("9746347772161"), mpz_class("1436697831295441"),
        5459, 5777, 10877, 16109, 18971,
        square(1093), square(3511), square(1009), square(65537), square(power(61) - 1), square(next_prime(power(64))),
        power(61) - 1, power(67) - 1, power(89) - 1, power(127) - 1, power(521) - 1, power(523) - 1,
        next_prime(power(64)), next_prime(next_prime(power(64))), power(64) + 1, power(64) - 59, 1048573, 1048583,
        next_prime(power(600)), next_prime(power(600)) * next_prime(power(600) + power(300)),
    };
    // clang-format on
    for (const mpz_class& x : numbers) {
        // Every count for the small ones; past 24 the pseudo-random rounds begin.
        const bool small = mpz_sizeinbase(x.get_mpz_t(), 2) <= 130;
        for (int rounds = small ? 1 : 24; rounds <= 26; ++rounds) {
            EXPECT_EQ(bignum::is_probable_prime(ours(x), rounds), mpz_probab_prime_p(x.get_mpz_t(), rounds) != 0)
                << x.get_str() << " with " << rounds << " rounds";
        }
    }
}

// --- gcd, inverse and symbols -------------------------------------------------

namespace {

mpz_class fibonacci(unsigned long n)
{
    mpz_class f;
    mpz_fib_ui(f.get_mpz_t(), n);
    return f;
}

struct pair_row {
    const char* label;
    mpz_class a;
    mpz_class b;
};

// Where a gcd goes wrong: Fibonacci neighbours, whose quotients are all 1
// (Euclid's longest run); a common factor across each size where the
// reduction changes hands (one word, two words, the top two of a longer
// pair); values a first step reduces to zero; long divisions between
// operands of very different sizes.
std::vector<pair_row> gcd_rows()
{
    gmp_randclass random(gmp_randinit_default);
    random.seed(7);
    const mpz_class x = random_bits(random, 2000);
    const mpz_class odd = random_bits(random, 1500) | 1;
    const mpz_class g = random_bits(random, 64);
    std::vector<pair_row> rows{
        {"F(93), F(94): one word", fibonacci(93), fibonacci(94)},
        {"F(186), F(187): two words", fibonacci(186), fibonacci(187)},
        {"F(500), F(501)", fibonacci(500), fibonacci(501)},
        {"F(1480), F(1481): 1024 bits", fibonacci(1480), fibonacci(1481)},
        {"equal", x, x},
        {"a multiple", x * odd, x},
        {"powers of two times odd", odd << 300, x << 77},
        {"powers of two", mpz_class(1) << 4000, mpz_class(3) << 1234},
        {"4000 bits and one word", x * odd + 1, g},
        {"4000 bits and two words", x * odd, g * g + 1},
        {"zero", 0, x},
        {"negative", -x, -odd},
    };
    for (const unsigned long bits : {1UL, 32UL, 63UL, 64UL, 65UL, 128UL, 129UL, 192UL, 1000UL}) {
        rows.push_back({"common factor", g * random_bits(random, bits), g * random_bits(random, bits + 1)});
    }
    return rows;
}

} // namespace

TEST(IntegerMethods, GcdAndLcm)
{
    for (const pair_row& row : gcd_rows()) {
        const integer a = ours(row.a);
        const integer b = ours(row.b);
        EXPECT_EQ(hex(gcd(a, b)), hex(mpz_class(gcd(row.a, row.b)))) << row.label;
        if (mpz_sizeinbase(row.a.get_mpz_t(), 2) + mpz_sizeinbase(row.b.get_mpz_t(), 2) <= bignum::capacity_bits()) {
            EXPECT_EQ(hex(lcm(a, b)), hex(mpz_class(lcm(row.a, row.b)))) << row.label;
        }
    }
}

// Inverses at the ends of the range, with none, of the gcd's worst pair,
// and modulo a power of two.
TEST(IntegerMethods, InverseModulo)
{
    gmp_randclass random(gmp_randinit_default);
    random.seed(11);
    const mpz_class m = random_bits(random, 4000) | 1;
    const mpz_class g = random_bits(random, 100);
    const std::vector<pair_row> rows{
        {"1", 1, m},
        {"m - 1", m - 1, m},
        {"negative and past m", -(m * 3 + 5), m},
        {"negative modulus", 3, -m},
        {"Fibonacci neighbours", fibonacci(1480), fibonacci(1481)},
        {"modulo a power of two", random_bits(random, 3000) | 1, mpz_class(1) << 4000},
        {"one word", 0xfedcba987654321, 0xffffffffffffffc5},
        {"none: a common factor", g * 3, g * random_bits(random, 2000)},
        {"none: zero", 0, m},
        {"none: even modulo a power of two", 6, mpz_class(1) << 100},
    };
    for (const pair_row& row : rows) {
        mpz_class expected;
        if (mpz_invert(expected.get_mpz_t(), row.a.get_mpz_t(), row.b.get_mpz_t()) != 0) {
            EXPECT_EQ(hex(inv_mod(ours(row.a), ours(row.b))), hex(expected)) << row.label;
        } else {
            EXPECT_THROW((void)inv_mod(ours(row.a), ours(row.b)), big_division_by_zero) << row.label;
        }
    }
}

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
        for (const unsigned long k :
             {1UL, 19UL, 20UL, 39UL, joined_text_digits - 1UL, joined_text_digits + 0UL, joined_text_digits + 1UL}) {
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

// Around the inline limbs' edge (64 bits) and the next ones, growing and
// shrinking in place, with the destination among the operands.
TEST(IntegerStorage, CompoundAssignmentsCrossTheInlineEdgeBothWays)
{
    using I = integer&;
    using M = mpz_class&;
    struct Row {
        const char* op;
        std::function<void(I)> ours;
        std::function<void(M)> gmp;
    };
    const mpz_class two_64 = mpz_class(1) << 64;
    // clang-format off
    const Row rows[] = {
        {"+= 1", [](I x) { x += 1; }, [](M x) { x += 1; }},
        {"-= 1", [](I x) { x -= 1; }, [](M x) { x -= 1; }},
        {"-= 2^64", [](I x) { x -= integer(1) << 64; }, [&](M x) { x -= two_64; }},
        {"+= x", [](I x) { x += x; }, [](M x) { x += x; }},
        {"-= x", [](I x) { const integer& same = x; x -= same; }, [](M x) { x = 0; }},
        {"*= x", [](I x) { x *= x; }, [](M x) { x *= x; }},
        {"*= -3", [](I x) { x *= -3; }, [](M x) { x *= -3; }},
        {"*= 2^64", [](I x) { x *= integer(1) << 64; }, [&](M x) { x *= two_64; }},
        {"<<= 1", [](I x) { x <<= 1; }, [](M x) { x <<= 1; }},
        {"<<= 64", [](I x) { x <<= 64; }, [](M x) { x <<= 64; }},
        {">>= 1", [](I x) { x >>= 1; }, [](M x) { mpz_fdiv_q_2exp(x.get_mpz_t(), x.get_mpz_t(), 1); }},
        {">>= 64", [](I x) { x >>= 64; }, [](M x) { mpz_fdiv_q_2exp(x.get_mpz_t(), x.get_mpz_t(), 64); }},
        {"/= 2^64", [](I x) { x /= integer(1) << 64; }, [&](M x) { x /= two_64; }},
        {"%= 2^64 + 1", [](I x) { x %= (integer(1) << 64) + 1; }, [&](M x) { x %= two_64 + 1; }},
        {"= x / x", [](I x) { if (x) { x = x / x; } }, [](M x) { if (x != 0) { x = 1; } }},
        {"&= x >> 1", [](I x) { x &= x >> 1; }, [](M x) { x &= x / 2 - (x < 0 && x % 2 != 0 ? 1 : 0); }},
        {"|= 2^64", [](I x) { x |= integer(1) << 64; }, [&](M x) { x |= two_64; }},
        {"++", [](I x) { ++x; }, [](M x) { ++x; }},
        {"--", [](I x) { --x; }, [](M x) { --x; }},
        {"+= UINT64_MAX", [](I x) { x += UINT64_MAX; }, [&](M x) { x += two_64 - 1; }},
        {"-= UINT64_MAX", [](I x) { x -= UINT64_MAX; }, [&](M x) { x -= two_64 - 1; }},
        {"+= INT64_MIN", [](I x) { x += INT64_MIN; }, [&](M x) { x -= two_64 / 2; }},
        {"-= INT64_MIN", [](I x) { x -= INT64_MIN; }, [&](M x) { x += two_64 / 2; }},
        // Shifted up and back, so that a carry out of the top finds room to spare.
        {"+= 1 with room", [](I x) { x <<= 64; x >>= 64; x += 1; }, [](M x) { x += 1; }},
    };
    // clang-format on
    // Zero and its neighbours too: steps through zero change the sign.
    std::vector<mpz_class> starts{0, 1, -1};
    for (const unsigned bits : {32U, 63U, 64U, 65U, 127U, 128U, 129U, 192U}) {
        for (const int offset : {-1, 0, 1}) {
            const mpz_class edge = (mpz_class(1) << bits) + offset;
            starts.push_back(edge);
            starts.push_back(-edge);
        }
    }
    for (const mpz_class& start : starts) {
        for (const Row& row : rows) {
            integer x = ours(start);
            mpz_class z = start;
            // Twice, so that the second step starts from the first's storage.
            for (int step = 0; step < 2; ++step) {
                row.ours(x);
                row.gmp(z);
                EXPECT_EQ(hex(x), hex(z)) << hex(start) << ' ' << row.op << " step " << step;
                EXPECT_EQ(x.bit_length(), z == 0 ? 0 : mpz_sizeinbase(z.get_mpz_t(), 2)) << hex(start) << ' ' << row.op;
            }
        }
    }
}

TEST(IntegerStorage, AMovedFromHeapValueIsZeroAndTakesNewValues)
{
    integer a = integer(1) << 300;
    const integer b = std::move(a);
    EXPECT_TRUE(a == 0 && a.sign() == 0 &&
                a.bit_length() == 0); // NOLINT(bugprone-use-after-move,clang-analyzer-cplusplus.Move)
    a += b;
    EXPECT_EQ(a, b);
}

// Memory refused for a result leaves every operand and the destination as
// they were. (AddressSanitizer reports such a request instead of refusing
// it, so there the check is skipped.)
TEST(IntegerStorage, MemoryRefusedLeavesOperandsUnchanged)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer aborts on an impossible allocation";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "AddressSanitizer aborts on an impossible allocation";
#endif
#endif
    // Some 2^46 limbs: a size that can be counted but not allocated.
    constexpr std::uint64_t huge = std::uint64_t{1} << 52;
    const integer x = (integer(1) << 100) + 3;
    integer y = -5;
    EXPECT_THROW(y = x << huge, std::bad_alloc);
    EXPECT_EQ(y, -5);
    integer z = x;
    EXPECT_THROW(z <<= huge, std::bad_alloc);
    EXPECT_EQ(z, x);
    EXPECT_EQ(hex(x), "10000000000000000000000003");
}
