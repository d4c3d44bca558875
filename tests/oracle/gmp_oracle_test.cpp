// SPDX-License-Identifier: MIT
// Randomised comparison with GMP: each operation beside its mpz twin, over
// seeded operands skewed towards the edges the arithmetic has (zero, one limb,
// all-ones limbs, single set bits, lengths at the capacity).

#include "../support.h"

#include <bignum/integer.h>
#include <gmp.h>

#include <array>
#include <cstdlib>
#include <random>
#include <sstream>

using namespace bignum_test;

namespace {

constexpr std::uint64_t kSeed = 0x5EED0B16A7C1E;
constexpr std::uint32_t kCapacityBits = 4096; // the fixture's 1024 bits of precision: 128 limbs

class Mpz {
public:
    Mpz() { mpz_init(v_); }
    explicit Mpz(const std::string& hex) { EXPECT_EQ(mpz_init_set_str(v_, hex.c_str(), 16), 0) << hex; }
    Mpz(const Mpz& other) { mpz_init_set(v_, other.v_); }
    Mpz& operator=(const Mpz& other)
    {
        mpz_set(v_, other.v_);
        return *this;
    }
    ~Mpz() { mpz_clear(v_); }
    operator mpz_ptr() { return v_; }          // NOLINT(google-explicit-constructor): passed to mpz_*
    operator mpz_srcptr() const { return v_; } // NOLINT(google-explicit-constructor)

    // A negative base gives upper-case digits.
    [[nodiscard]] std::string text(int base = 16) const
    {
        std::string s(mpz_sizeinbase(v_, std::abs(base)) + 2, '\0');
        return mpz_get_str(s.data(), base, v_);
    }

private:
    mpz_t v_;
};

using Mpzs = std::vector<Mpz>;
using Nums = std::array<Num, 3>;

// The value of an mpz function of the given operands.
template <class F, class... A>
Mpz make(F f, const A&... a)
{
    Mpz r;
    f(r, a...);
    return r;
}

int sign_of(const Mpz& v) { return mpz_sgn(static_cast<mpz_srcptr>(v)); } // a macro that needs a plain pointer
int sign_of(int v) { return (v > 0) - (v < 0); }

std::uint32_t word(const BigNum* x) { return big_limbs(x)[0]; }
unsigned long word(const Mpz& v) { return mpz_get_ui(v); }

// Minimal used count, +0 for zero, nothing above the used count.
void expect_normal(const BigNum* x)
{
    const std::uint32_t n = big_used_count(x);
    const bool fits = n >= 1 && n <= big_limb_capacity() && big_sign_word(x) <= 1;
    const bool zero = n == 1 && big_limbs(x)[0] == 0;
    const bool minimal = fits && (n == 1 || big_limbs(x)[n - 1] != 0) && !(zero && big_sign_word(x) != 0);
    EXPECT_TRUE(minimal && upper_limbs_clear(x)) << "not in normal form, used count " << n;
}

// What one side computed, as text: numbers in GMP's hexadecimal, words in
// decimal. A GMP value past the capacity means the library must raise
// big_error instead.
struct Outcome {
    std::vector<std::string> items;
    bool past_capacity = false;

    void add(const BigNum* x)
    {
        expect_normal(x);
        items.push_back(Mpz(hex(x)).text());
    }
    void add(const Mpz& v)
    {
        past_capacity |= mpz_sizeinbase(v, 2) > kCapacityBits;
        items.push_back(v.text());
    }
    void add(std::int64_t w) { items.push_back(std::to_string(w)); }
    void add(std::string s) { items.push_back(std::move(s)); }
};

// Reads its BigNums only after every argument, library calls included, has
// been evaluated.
template <class... T>
Outcome out(const T&... v)
{
    Outcome o;
    (o.add(v), ...);
    return o;
}

// A library call as an expression: r after op(operands..., r), or x after
// the in-place op(x, operands...).
template <class Op, class... A>
const BigNum* into(BigNum* r, Op op, const A&... a)
{
    op(a..., r);
    return r;
}
template <class Op, class... A>
const BigNum* after(Op op, BigNum* x, const A&... a)
{
    op(x, a...);
    return x;
}

class Gen {
public:
    explicit Gen(std::uint64_t seed) : rng_(seed) {}

    std::uint32_t below(std::uint32_t n) { return std::uniform_int_distribution<std::uint32_t>(0, n - 1)(rng_); }

    // One limb or the full max_bits as often as any other length; limbs often
    // all ones, 0, 1 or a single bit.
    Mpz nonneg(std::uint32_t max_bits)
    {
        const std::uint32_t max_limbs = (max_bits + 31) / 32;
        const std::uint32_t shape = below(8);
        std::vector<std::uint32_t> limbs(shape == 0 ? 1 : shape == 1 ? max_limbs : 1 + below(max_limbs));
        const bool all_ones = below(8) == 0;
        for (auto& limb : limbs) {
            const std::uint32_t kind = all_ones ? 0 : below(8);
            const auto random = static_cast<std::uint32_t>(rng_());
            limb = kind == 0 ? ~0U : kind == 1 ? below(2) : kind == 2 ? 1U << below(32) : random;
        }
        Mpz v;
        mpz_import(v, limbs.size(), -1, sizeof(std::uint32_t), 0, 0, limbs.data());
        mpz_tdiv_r_2exp(v, v, max_bits);
        return v;
    }
    Mpz any(std::uint32_t max_bits) { return below(2) == 0 ? nonneg(max_bits) : make(mpz_neg, nonneg(max_bits)); }
    // Often a, -a or a neighbour of a (cut to max_bits): equal magnitudes and
    // cancellation.
    Mpz partner(const Mpz& a, std::uint32_t max_bits)
    {
        const Mpz near[] = {a, make(mpz_neg, a), make(mpz_add_ui, a, 1UL), make(mpz_sub_ui, a, 1UL)};
        const std::uint32_t pick = below(12);
        return pick < 4 ? make(mpz_tdiv_r_2exp, near[pick], 1UL * max_bits) : any(max_bits);
    }
    Mpz nonzero(const Mpz& v) { return sign_of(v) != 0 ? v : make(mpz_set_ui, 1UL + below(3)); }

private:
    std::mt19937_64 rng_;
};

Mpzs pair(Gen& g, std::uint32_t bits)
{
    Mpz a = g.any(bits);
    return {a, g.partner(a, bits)};
}
// A value and a shift count below `counts`.
Mpzs shifting(Gen& g, std::uint32_t bits, std::uint32_t counts)
{
    return {g.any(bits), make(mpz_set_ui, g.below(counts))};
}
// base, exponent, modulus
Mpzs exponentiation(Gen& g, std::uint32_t bits, std::uint32_t exp_bits, bool odd)
{
    Mpz mod = g.nonzero(g.any(bits));
    odd ? mpz_setbit(mod, 0) : mpz_mul_2exp(mod, mod, 1);
    return {g.any(bits), g.any(exp_bits), mod};
}
Mpzs invertible(Gen& g, std::uint32_t bits)
{
    const Mpz m = make(mpz_add_ui, g.nonneg(bits), 2UL);
    for (;;) {
        Mpz a = g.nonneg(bits + 64); // past the modulus too
        if (mpz_invert(Mpz(), a, m) != 0) {
            return {a, m};
        }
    }
}

// gcd(|a|, |b|) signed as the last non-zero value of the truncating remainder
// chain a, b, a mod b, ...
Mpz chained_gcd(const Mpz& x, const Mpz& y) { return sign_of(y) == 0 ? x : chained_gcd(y, make(mpz_tdiv_r, x, y)); }

// Whole bytes, upper case, as big_to_hex writes.
std::string byte_hex(const Mpz& v)
{
    const std::string digits = make(mpz_abs, v).text(-16);
    return (sign_of(v) < 0 ? "-" : "") + std::string(digits.size() % 2, '0') + digits;
}

struct Operation {
    const char* name;
    int cases;
    Mpzs (*operands)(Gen&);
    Outcome (*library)(const Nums&); // may change its operands
    Outcome (*gmp)(const Mpzs&);
};

void PrintTo(const Operation& op, std::ostream* os) { *os << op.name; }

// Sums and products reach past the capacity, where big_error is expected.
// Exponentiation moduli stay within a third of it; the costly operations
// (every Euclid step and decimal digit is a bit-serial division) get fewer
// and shorter cases.
const Operation kOperations[] = {
    {"add", 800, [](Gen& g) { return pair(g, kCapacityBits); },
     [](const Nums& in) { return out(after(big_add, in[0], in[1])); },
     [](const Mpzs& in) { return out(make(mpz_add, in[0], in[1])); }},
    {"sub", 800, [](Gen& g) { return pair(g, kCapacityBits); },
     [](const Nums& in) { return out(after(big_sub, in[0], in[1])); },
     [](const Mpzs& in) { return out(make(mpz_sub, in[0], in[1])); }},
    {"inc", 600, [](Gen& g) { return Mpzs{g.any(kCapacityBits)}; },
     [](const Nums& in) { return out(after(big_inc, in[0])); },
     [](const Mpzs& in) { return out(make(mpz_add_ui, in[0], 1UL)); }},
    {"dec", 600, [](Gen& g) { return Mpzs{g.any(kCapacityBits)}; },
     [](const Nums& in) { return out(after(big_dec, in[0])); },
     [](const Mpzs& in) { return out(make(mpz_sub_ui, in[0], 1UL)); }},
    {"cmp", 800, [](Gen& g) { return pair(g, kCapacityBits); },
     [](const Nums& in) { return out(big_cmp(in[0], in[1]), big_cmp_mag(in[0], in[1])); },
     [](const Mpzs& in) { return out(sign_of(mpz_cmp(in[0], in[1])), sign_of(mpz_cmpabs(in[0], in[1]))); }},
    {"mul", 600, [](Gen& g) { return pair(g, kCapacityBits / 2 + 32); },
     [](const Nums& in) { return out(into(in[2], big_mul, in[0], in[1])); },
     [](const Mpzs& in) { return out(make(mpz_mul, in[0], in[1])); }},
    {"sqr", 400, [](Gen& g) { return Mpzs{g.any(kCapacityBits / 2 + 32)}; },
     [](const Nums& in) { return out(after(big_sqr, in[0])); },
     [](const Mpzs& in) { return out(make(mpz_mul, in[0], in[0])); }},
    {"divmod", 300,
     [](Gen& g) {
         Mpzs v = pair(g, 2048);
         v[1] = g.nonzero(v[1]);
         return v;
     },
     [](const Nums& in) {
         const Num q, r, q2, r2, rem;
         big_divmod(in[0], in[1], q, r);
         big_mod(in[0], in[1], rem);
         big_copy(in[2], in[0]);
         big_divmod(in[2], in[1], in[2], r2); // quotient over the dividend
         big_divmod(in[0], in[1], q2, in[0]); // remainder over the dividend
         return out(q, r, rem, in[2], r2, q2, in[0]);
     },
     [](const Mpzs& in) {
         Mpz q, r;
         mpz_tdiv_qr(q, r, in[0], in[1]);
         return out(q, r, r, q, r, q, r);
     }},
    {"div_word", 400,
     [](Gen& g) {
         return Mpzs{g.any(kCapacityBits), g.nonzero(g.nonneg(32))};
     },
     [](const Nums& in) { return out(in[2], big_div_word(in[0], word(in[1]), in[2])); },
     [](const Mpzs& in) {
         return out(make(mpz_tdiv_q_ui, make(mpz_abs, in[0]), word(in[1])), mpz_tdiv_ui(in[0], word(in[1])));
     }},
    {"shl", 600, [](Gen& g) { return shifting(g, kCapacityBits - 1024, 1100); },
     [](const Nums& in) { return out(after(big_shl, in[0], word(in[1]))); },
     [](const Mpzs& in) { return out(make(mpz_mul_2exp, in[0], word(in[1]))); }},
    {"shl_to", 600, [](Gen& g) { return shifting(g, kCapacityBits - 1024, 1100); },
     [](const Nums& in) { return out(into(in[2], big_shl_to, in[0], word(in[1]))); },
     [](const Mpzs& in) { return out(make(mpz_mul_2exp, in[0], word(in[1]))); }},
    {"shr", 600, [](Gen& g) { return shifting(g, kCapacityBits, kCapacityBits + 100); },
     [](const Nums& in) { return out(after(big_shr, in[0], word(in[1]))); },
     [](const Mpzs& in) { return out(make(mpz_tdiv_q_2exp, in[0], word(in[1]))); }},
    {"shr_to", 600, [](Gen& g) { return shifting(g, kCapacityBits, kCapacityBits + 100); },
     [](const Nums& in) { return out(into(in[2], big_shr_to, in[0], word(in[1]))); },
     [](const Mpzs& in) { return out(make(mpz_tdiv_q_2exp, in[0], word(in[1]))); }},
    {"low_bits", 600, [](Gen& g) { return shifting(g, kCapacityBits, kCapacityBits + 100); },
     [](const Nums& in) { return out(into(in[2], big_low_bits, in[0], word(in[1]))); },
     [](const Mpzs& in) { return out(make(mpz_tdiv_r_2exp, in[0], word(in[1]))); }},
    {"gcd", 200, [](Gen& g) { return pair(g, 320); },
     [](const Nums& in) { return out(into(in[2], big_gcd, in[0], in[1])); },
     [](const Mpzs& in) { return out(chained_gcd(in[0], in[1])); }},
    {"xgcd", 200,
     [](Gen& g) {
         Mpzs v = pair(g, 320);
         return Mpzs{make(mpz_abs, v[0]), make(mpz_abs, v[1])};
     },
     [](const Nums& in) {
         const Num x, y;
         big_xgcd(in[0], in[1], x, y);
         expect_normal(x);
         expect_normal(y);
         Mpz sum = make(mpz_mul, Mpz(hex(in[0])), Mpz(hex(y)));
         mpz_addmul(sum, Mpz(hex(in[1])), Mpz(hex(x)));
         return out(sum);
     },
     [](const Mpzs& in) { return out(make(mpz_gcd, in[0], in[1])); }},
    {"invmod", 200, [](Gen& g) { return invertible(g, 320); },
     [](const Nums& in) { return out(into(in[2], big_invmod, in[0], in[1])); },
     [](const Mpzs& in) { return out(make(mpz_invert, in[0], in[1])); }},
    {"mulmod", 200,
     [](Gen& g) {
         return Mpzs{g.any(1024), g.any(1024), g.nonzero(g.any(1024))};
     },
     [](const Nums& in) { return out(into(in[2], big_mulmod, in[0], in[1], in[2])); },
     [](const Mpzs& in) { return out(make(mpz_tdiv_r, make(mpz_mul, in[0], in[1]), in[2])); }},
    {"powmod_odd", 100, [](Gen& g) { return exponentiation(g, 1024, 192, true); },
     [](const Nums& in) { return out(into(in[0], big_powmod, in[0], in[1], in[2])); },
     [](const Mpzs& in) { return out(make(mpz_powm, in[0], make(mpz_abs, in[1]), make(mpz_abs, in[2]))); }},
    {"powmod_even", 80, [](Gen& g) { return exponentiation(g, 512, 64, false); },
     [](const Nums& in) { return out(into(in[0], big_powmod, in[0], in[1], in[2])); },
     [](const Mpzs& in) { return out(make(mpz_powm, in[0], make(mpz_abs, in[1]), make(mpz_abs, in[2]))); }},
    {"powmod_mont", 100,
     [](Gen& g) {
         Mpzs v = exponentiation(g, 1024, 192, true);
         mpz_abs(v[2], v[2]);
         return v;
     },
     [](const Nums& in) { return out(into(in[2], big_powmod_mont, in[0], in[1], in[2])); },
     [](const Mpzs& in) { return out(make(mpz_powm, in[0], make(mpz_abs, in[1]), in[2])); }},
    {"hex", 600, [](Gen& g) { return Mpzs{g.any(kCapacityBits)}; },
     [](const Nums& in) { return out(hex(in[0]), into(in[1], big_from_hex, hex(in[0]).c_str())); },
     [](const Mpzs& in) { return out(byte_hex(in[0]), in[0]); }},
    {"decimal", 100, [](Gen& g) { return Mpzs{g.any(512)}; },
     [](const Nums& in) { return out(dec(in[0]), into(in[1], big_from_dec, Mpz(hex(in[0])).text(10).c_str())); },
     [](const Mpzs& in) { return out(in[0].text(10), in[0]); }},
    // The value type's text in every base, and read back from it.
    {"integer_text", 60, [](Gen& g) { return Mpzs{g.any(kCapacityBits)}; },
     [](const Nums& in) {
         Outcome o;
         const bignum::integer x(in[0]);
         for (int base = 2; base <= 36; ++base) {
             o.add(x.to_string(base));
             o.add(bignum::integer::parse(o.items.back(), base) == x ? "read back" : "misread");
         }
         return o;
     },
     [](const Mpzs& in) {
         Outcome o;
         for (int base = 2; base <= 36; ++base) {
             o.add(in[0].text(-base));
             o.add("read back");
         }
         return o;
     }},
};

class Oracle : public BignumTest, public ::testing::WithParamInterface<Operation> {};

TEST_P(Oracle, AgreesWithGmp)
{
    const Operation& op = GetParam();
    Gen gen(kSeed);
    for (int i = 0; i < op.cases && !HasFailure(); ++i) {
        const Mpzs in = op.operands(gen);
        std::ostringstream trace;
        trace << op.name << " case " << i << " (seed 0x" << std::hex << kSeed << "), operands";
        for (const Mpz& v : in) {
            trace << ' ' << v.text();
        }
        SCOPED_TRACE(trace.str());
        const Outcome want = op.gmp(in);
        const Nums nums;
        for (std::size_t j = 0; j < in.size(); ++j) {
            big_from_hex(in[j].text().c_str(), nums.at(j));
        }
        try {
            const Outcome got = op.library(nums);
            EXPECT_FALSE(want.past_capacity) << "no big_error, got " << ::testing::PrintToString(got.items);
            EXPECT_EQ(got.items, want.items);
        } catch (const big_error&) {
            EXPECT_TRUE(want.past_capacity) << "unexpected big_error";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Gmp, Oracle, ::testing::ValuesIn(kOperations),
                         [](const ::testing::TestParamInfo<Operation>& info) { return std::string(info.param.name); });

} // namespace
