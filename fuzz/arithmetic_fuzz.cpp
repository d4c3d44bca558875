// SPDX-License-Identifier: MIT
// Arithmetic on decoded operands, checked by identities between operations:
// q b + r = a with the truncating sign rules, (a + b) - b = a, shifts undone,
// products divided back, gcd and inverses verified, both exponentiations
// against a plain square-and-multiply. Whether an operation must refuse for
// capacity is predicted independently and compared with what it did.
//
// A quarter of the inputs keep their operands exactly as the raw loader left
// them (possibly outside normal form, possibly negative zero), and an eighth
// of the operands get arbitrary limbs above their used count, written
// straight into the block: valid blocks that no operation leaves. Inputs
// with either only run every operation and check that blocks stay valid (and
// free of stray limbs, unless an operand had some), operands untouched, a
// refused operation's outputs as they were, and that every operation
// finishes: the fuzzing stage's per-input timeout turns one that runs on
// into a finding.
//
// Input: one control byte (bits 0-2 the precision, bits 3-4 both set for the
// raw-operand sweep), operands a, b and e (each a shape byte, a length byte,
// the limb bytes and, for stray limbs, a seed word), two bytes of shift count
// and four of word operand.

#include "fuzz_support.h"

#include <array>
#include <functional>

using namespace bignum_fuzz;

namespace {

constexpr std::array<std::uint32_t, 5> precisions{32, 64, 128, 256, 512};

// The Euclidean chains and the exponentiations are quadratic or worse in the
// operand length: they run on operands of at most this many limbs (and a
// quarter of the capacity, so that every documented room rule is met).
constexpr std::uint32_t number_theory_limbs = 8;
// Exponents of at most 256 bits keep one input fast.
constexpr std::uint32_t exponent_bytes = 32;

constexpr std::array<std::uint32_t, 53> small_primes{
    3,   5,   7,   11,  13,  17,  19,  23,  29,  31,  37,  41,  43,  47,  53,  59,  61,  67,
    71,  73,  79,  83,  89,  97,  101, 103, 107, 109, 113, 127, 131, 137, 139, 149, 151, 157,
    163, 167, 173, 179, 181, 191, 193, 197, 199, 211, 223, 227, 229, 233, 239, 241, 251,
};

// Shape bits 2-4 all set: stray limbs.
constexpr std::uint8_t stray_shape = 0x1C;

// Fills the limbs above x's used count from `seed` (xorshift), about a third
// of them zero, so that strays both next to the used limbs and further up
// occur.
void add_stray_limbs(BigNum* x, std::uint32_t seed)
{
    std::uint32_t s = seed | 1U; // xorshift stays at zero once there
    std::uint32_t* l = big_limbs(x);
    for (std::uint32_t i = used_of(x); i < big_limb_capacity(); ++i) {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        l[i] = s % 3 == 0 ? 0 : s;
    }
}

// Shape byte: bit 0 the sign, bit 1 every byte 0xFF (carries everywhere),
// bits 2-4 all set stray limbs from a seed word after the limb bytes.
// Length byte: 0xF0 and up count down from the full capacity, so that values
// that exactly fill a block are common; below that, any length that fits.
Num decode(Input& in, std::uint32_t max_bytes, bool normalise)
{
    const std::uint8_t shape = in.byte();
    const std::uint8_t length = in.byte();
    const std::uint32_t n =
        length >= 0xF0 ? max_bytes - std::min<std::uint32_t>(length - 0xF0U, max_bytes) : length % (max_bytes + 1);
    std::vector<std::uint8_t> bytes(n, 0xFF);
    if ((shape & 2U) == 0) {
        const std::span<const std::uint8_t> taken = in.take(n);
        bytes.assign(taken.begin(), taken.end());
    }
    Num x;
    big_from_raw(bytes.data(), static_cast<std::uint32_t>(bytes.size()), x, shape & 1U);
    if (normalise) {
        big_normalize(x);
    }
    if ((shape & stray_shape) == stray_shape) {
        add_stray_limbs(x, in.word());
    }
    return x;
}

struct Context {
    std::uint32_t capacity_bits;
    Num largest; // every limb all ones
    Num zero;
    Num one{1};
};

bool bit_of(const BigNum* x, std::uint32_t k) { return ((big_limbs(x)[k / 32] >> (k % 32)) & 1U) != 0; }

// |a| + |b| fits in a block.
bool sum_fits(const Context& c, const BigNum* a, const BigNum* b)
{
    Num room(c.largest);
    big_sub(room, magnitude_of(b));
    return big_cmp_mag(a, room) <= 0;
}

// |a| x |b| fits in a block. The bit lengths decide unless they add up to
// one more than the block holds; then |a| <= floor(largest / |b|) does.
bool product_fits(const Context& c, const BigNum* a, const BigNum* b)
{
    if (is_zero(a) || is_zero(b)) {
        return true;
    }
    const std::uint32_t bits = big_bit_length(a) + big_bit_length(b);
    if (bits != c.capacity_bits + 1) {
        return bits <= c.capacity_bits;
    }
    const Num limit;
    big_divmod(c.largest, magnitude_of(b), limit, nullptr);
    return big_cmp_mag(a, limit) <= 0;
}

Num product(const BigNum* a, const BigNum* b)
{
    Num p;
    big_mul(a, b, p);
    return p;
}

Num remainder(const BigNum* a, const BigNum* b)
{
    Num r;
    big_mod(a, b, r);
    return r;
}

// A value checked to be in normal form, the form every operation leaves.
void check_result(const BigNum* x, const char* what)
{
    check_block(x);
    check(is_normal(x), what);
}

// ---- division ----

void check_zero_divisor(const BigNum* a, const BigNum* zero)
{
    const Num q(a);
    const Num r(7);
    const Num q_before(q);
    const Num r_before(r);
    check(raises<big_division_by_zero>([&] { big_divmod(a, zero, q, r); }), "divmod by zero");
    check(raises<big_division_by_zero>([&] { big_mod(a, zero, r); }), "mod by zero");
    check(raises<big_division_by_zero>([&] { (void)big_div_word(a, 0, q); }), "div_word by zero");
    check(raises<big_division_by_zero>([&] { big_mulmod(a, a, zero, r); }), "mulmod by zero");
    check(raises<big_division_by_zero>([&] { big_powmod(a, a, zero, r); }), "powmod by zero");
    check(raises<big_division_by_zero>([&] { big_powmod_mont(a, a, zero, r); }), "powmod_mont by zero");
    check(same(q, q_before) && same(r, r_before), "a zero divisor wrote a result");
}

void check_word_division(const BigNum* a, const BigNum* b, const BigNum* q, const BigNum* r)
{
    const std::uint32_t w = big_limbs(b)[0];
    const Num quotient;
    check(big_div_word(a, w, quotient) == big_limbs(r)[0], "div_word remainder differs from divmod's");
    check(same(quotient, magnitude_of(q)), "div_word quotient differs from divmod's");
    check(big_div_word(a, w, nullptr) == big_limbs(r)[0], "div_word without a quotient differs");
    const Num in_place(a);
    (void)big_div_word(in_place, w, in_place);
    check(same(in_place, quotient), "div_word into its dividend differs");
}

// Every documented aliasing of big_divmod's results with its operands.
void check_division_aliases(const BigNum* a, const BigNum* b, const BigNum* q, const BigNum* r)
{
    const Num only_q;
    big_divmod(a, b, only_q, nullptr);
    check(same(only_q, q), "divmod without remainder gave another quotient");
    struct Alias {
        bool dividend;    // else the divisor
        bool as_quotient; // else as the remainder
    };
    for (const Alias alias : {Alias{true, true}, Alias{true, false}, Alias{false, true}, Alias{false, false}}) {
        const Num shared(alias.dividend ? a : b);
        const Num other;
        const BigNum* dividend = alias.dividend ? static_cast<const BigNum*>(shared) : a;
        const BigNum* divisor = alias.dividend ? b : static_cast<const BigNum*>(shared);
        if (alias.as_quotient) {
            big_divmod(dividend, divisor, shared, other);
            check(same(shared, q) && same(other, r), "divmod with the quotient over an operand");
        } else {
            big_divmod(dividend, divisor, other, shared);
            check(same(other, q) && same(shared, r), "divmod with the remainder over an operand");
        }
    }
    const Num in_place(a);
    big_mod(in_place, b, in_place);
    check(same(in_place, r), "mod in place differs");
    const Num both(a);
    const Num both_before(both);
    check(raises<big_error>([&] { big_divmod(a, b, both, both); }), "divmod accepted q and r the same");
    check(same(both, both_before), "a refused divmod wrote its output");
}

void check_division(const BigNum* a, const BigNum* b)
{
    if (is_zero(b)) {
        check_zero_divisor(a, b);
        return;
    }
    const Num q;
    const Num r;
    big_divmod(a, b, q, r);
    check_result(q, "quotient outside normal form");
    check_result(r, "remainder outside normal form");
    check(big_cmp_mag(r, b) < 0, "|r| >= |b|");
    check(is_zero(r) || sign_of(r) == sign_of(a), "a non-zero remainder without the dividend's sign");
    check(is_zero(q) || sign_of(q) == (sign_of(a) ^ sign_of(b)), "quotient sign");
    Num back = product(q, b); // |q b| <= |a|: always fits
    big_add(back, r);
    check(same(back, a), "q b + r != a");
    check(same(remainder(a, b), r), "mod differs from divmod's remainder");
    check_division_aliases(a, b, q, r);
    if (used_of(b) == 1) {
        check_word_division(a, b, q, r);
    }
}

// ---- addition and subtraction ----

void check_sum(const Context& c, const BigNum* a, const BigNum* b)
{
    const bool fits = sign_of(a) != sign_of(b) || sum_fits(c, a, b);
    const Num s(a);
    check(raises<big_error>([&] { big_add(s, b); }) != fits, "big_add refusal differs from the capacity");
    check_block(s);
    if (!fits) {
        check(same(s, a), "a refused big_add changed its operand");
        return;
    }
    check_result(s, "sum outside normal form");
    const Num back(s);
    big_sub(back, b);
    check(same(back, a), "(a + b) - b != a");
    const Num swapped(b);
    big_add(swapped, a);
    check(same(swapped, s), "a + b != b + a");
    check(big_cmp(s, a) == big_cmp(b, c.zero), "a + b does not order against a as b against 0");
}

void check_difference(const Context& c, const BigNum* a, const BigNum* b)
{
    const bool fits = sign_of(a) == sign_of(b) || sum_fits(c, a, b);
    const Num d(a);
    check(raises<big_error>([&] { big_sub(d, b); }) != fits, "big_sub refusal differs from the capacity");
    check_block(d);
    if (!fits) {
        check(same(d, a), "a refused big_sub changed its operand");
        return;
    }
    check_result(d, "difference outside normal form");
    const Num back(d);
    big_add(back, b);
    check(same(back, a), "(a - b) + b != a");
    check(big_cmp(a, b) == big_cmp(d, c.zero), "big_cmp disagrees with the sign of a - b");
}

void check_steps(const Context& c, const BigNum* a, std::uint32_t w)
{
    const bool at_top = big_cmp_mag(a, c.largest) == 0;
    const Num up(a);
    const bool up_fits = !(at_top && sign_of(a) == 0);
    check(raises<big_error>([&] { big_inc(up); }) != up_fits, "big_inc refusal differs from the capacity");
    if (up_fits) {
        Num expected(a);
        big_add(expected, c.one);
        check(same(up, expected), "inc differs from adding 1");
        big_dec(up);
        check(same(up, a), "dec after inc differs");
    } else {
        check(same(up, a), "a refused big_inc changed its operand");
    }
    const Num word(w);
    const bool word_fits = sum_fits(c, a, word);
    const Num t(a);
    check(raises<big_error>([&] { big_add_word(t, w); }) != word_fits, "add_word refusal differs from the capacity");
    if (word_fits) {
        Num expected = magnitude_of(a);
        big_add(expected, word);
        check(big_cmp_mag(t, expected) == 0 && sign_of(t) == sign_of(a), "add_word differs from |a| + w");
    } else {
        check(same(t, a), "a refused add_word changed its operand");
    }
}

void check_additive(const Context& c, const BigNum* a, const BigNum* b, std::uint32_t w)
{
    check(big_cmp(a, b) == -big_cmp(b, a) && big_cmp(a, a) == 0, "big_cmp is not antisymmetric");
    check(big_cmp_mag(a, b) == -big_cmp_mag(b, a), "big_cmp_mag is not antisymmetric");
    check_sum(c, a, b);
    check_difference(c, a, b);
    check_steps(c, a, w);
    const Num self(a);
    big_sub(self, self);
    check(same(self, c.zero), "a - a is not +0");
}

// ---- shifts ----

Num power_of_two(std::uint32_t k)
{
    Num p(1);
    big_shl(p, k);
    return p;
}

void check_left_shift(const Context& c, const BigNum* a, std::uint32_t count)
{
    const std::uint32_t bits = big_bit_length(a);
    const bool fits = is_zero(a) || std::uint64_t{bits} + count <= c.capacity_bits;
    const Num t;
    check(raises<big_error>([&] { big_shl_to(a, count, t); }) != fits, "shl refusal differs from the capacity");
    check(fits || same(t, c.zero), "a refused shl_to wrote its output");
    check_block(t);
    const Num in_place(a);
    const bool in_place_refused = raises<big_error>([&] { big_shl(in_place, count); });
    check(in_place_refused != fits, "shl in place refusal differs from shl_to's");
    check(!in_place_refused || same(in_place, a), "a refused shl changed its operand");
    const Num doubled(a);
    std::uint32_t carry = 0;
    const bool double_fits = is_zero(a) || bits < c.capacity_bits;
    check(raises<big_error>([&] { carry = big_shl1(doubled); }) != double_fits, "shl1 refusal differs");
    if (double_fits) {
        Num expected;
        big_shl_to(a, 1, expected);
        check(same(doubled, expected), "shl1 differs from shl by 1");
        check(carry == (used_of(doubled) > used_of(a) ? 1U : 0U), "shl1 returned the wrong carry");
    } else {
        check(same(doubled, a), "a refused shl1 changed its operand");
    }
    if (!fits) {
        return;
    }
    check_result(t, "left shift outside normal form");
    check(same(in_place, t), "shl in place differs from shl_to");
    check(big_bit_length(t) == (is_zero(a) ? 0 : bits + count), "bit length after shl");
    const Num back;
    big_shr_to(t, count, back);
    check(same(back, a), "shr after shl does not restore");
    const Num low;
    big_low_bits(t, count, low);
    check(same(low, c.zero), "low bits of a left shift are not +0");
    if (count < c.capacity_bits) {
        check(same(product(a, power_of_two(count)), t), "shl differs from a product by 2^count");
    }
}

void check_right_shift(const Context& c, const BigNum* a, std::uint32_t count)
{
    const Num q;
    big_shr_to(a, count, q);
    check_result(q, "right shift outside normal form");
    const Num in_place(a);
    big_shr(in_place, count);
    check(same(in_place, q), "shr in place differs from shr_to");
    const Num low;
    big_low_bits(a, count, low);
    check_result(low, "low bits outside normal form");
    if (count < c.capacity_bits) {
        // Truncation towards zero, so the shift and the mask are the
        // quotient and the remainder by 2^count, signs included.
        const Num p = power_of_two(count);
        const Num dq;
        const Num dr;
        big_divmod(a, p, dq, dr);
        check(same(q, dq), "shr differs from division by 2^count");
        check(same(low, dr), "low bits differ from the remainder by 2^count");
    } else {
        check(same(q, c.zero) && same(low, a), "shifts past the capacity");
    }
    const Num halved(a);
    const std::uint32_t bit = big_shr1(halved);
    check(bit == (big_limbs(a)[0] & 1U), "shr1 returned another bit");
    const Num expected;
    big_shr_to(a, 1, expected);
    check(same(halved, expected), "shr1 differs from shr by 1");
}

void check_bit_length(const BigNum* a)
{
    const std::uint32_t bits = big_bit_length(a);
    if (bits == 0) {
        check(is_zero(a), "bit length 0 of a non-zero value");
        return;
    }
    const Num top;
    big_shr_to(a, bits - 1, top);
    check(used_of(top) == 1 && big_limbs(top)[0] == 1, "bit length: the top bit is not where it says");
}

// ---- multiplication ----

void check_product(const Context& c, const BigNum* a, const BigNum* b)
{
    const bool fits = product_fits(c, a, b);
    const Num p;
    check(raises<big_error>([&] { big_mul(a, b, p); }) != fits, "big_mul refusal differs from the capacity");
    if (!fits) {
        return;
    }
    check_result(p, "product outside normal form");
    check(is_zero(p) || sign_of(p) == (sign_of(a) ^ sign_of(b)), "product sign");
    check(same(product(b, a), p), "a b != b a");
    if (!is_zero(b)) {
        const Num q;
        const Num r;
        big_divmod(p, b, q, r);
        check(same(q, a) && same(r, c.zero), "(a b) / b != a");
    }
    const Num over_a(a);
    big_mul(over_a, b, over_a);
    const Num over_b(b);
    big_mul(a, over_b, over_b);
    check(same(over_a, p) && same(over_b, p), "mul into an operand differs");
}

void check_square(const Context& c, const BigNum* a)
{
    const bool fits = product_fits(c, a, a);
    const Num s(a);
    check(raises<big_error>([&] { big_sqr(s); }) != fits, "big_sqr refusal differs from the capacity");
    if (fits) {
        check(same(s, product(a, a)), "sqr differs from mul");
        const Num self(a);
        big_mul(self, self, self);
        check(same(self, s), "mul of one BigNum three times differs");
    }
}

void check_word_product(const Context& c, const BigNum* a, std::uint32_t w)
{
    for (const std::uint32_t factor : {w, 10U}) {
        const Num word(factor);
        const bool fits = product_fits(c, a, word);
        const Num t(a);
        const bool refused = raises<big_error>([&] {
            if (factor == w) {
                big_mul_word(t, w);
            } else {
                big_mul10(t);
            }
        });
        check(refused != fits, "mul_word or mul10 refusal differs from the capacity");
        check(same(t, fits ? product(a, word) : Num(a)), "mul_word or mul10 differs from mul, or a refusal wrote");
    }
}

// x, or x mod m when |x| >= |m|.
Num below_modulus(const BigNum* x, const BigNum* m) { return big_cmp_mag(x, m) >= 0 ? remainder(x, m) : Num(x); }

void check_modular_product(const Context& c, const BigNum* a, const BigNum* b, const BigNum* m)
{
    if (is_zero(m)) {
        return; // covered with the zero divisors
    }
    // Operands past |m| are reduced first when the product might not fit.
    const bool reduce = big_bit_length(a) + big_bit_length(b) > c.capacity_bits;
    const Num x = reduce ? below_modulus(a, m) : Num(a);
    const Num y = reduce ? below_modulus(b, m) : Num(b);
    const bool fits = product_fits(c, x, y);
    const Num r;
    check(raises<big_error>([&] { big_mulmod(a, b, m, r); }) != fits, "mulmod refusal differs from the capacity");
    check(fits || same(r, c.zero), "a refused mulmod wrote its result");
    if (fits) {
        check(same(r, remainder(product(x, y), m)), "mulmod differs from mul then mod");
        check(!product_fits(c, a, b) || same(r, remainder(product(a, b), m)), "reducing first changed mulmod");
        const Num over_a(a);
        big_mulmod(over_a, b, m, over_a);
        check(same(over_a, r), "mulmod into its operand differs");
    }
}

// ---- number theory ----

void check_gcd(const BigNum* a, const BigNum* b)
{
    const Num g;
    big_gcd(a, b, g);
    check_result(g, "gcd outside normal form");
    if (is_zero(a) && is_zero(b)) {
        check(is_zero(g), "gcd(0, 0) != 0");
        return;
    }
    check(!is_zero(g), "gcd of non-zero operands is 0");
    check(is_zero(remainder(a, g)) && is_zero(remainder(b, g)), "gcd does not divide both");
    // Dividing out the gcd leaves coprime values: it is the greatest.
    const Num a_part;
    const Num b_part;
    big_divmod(a, g, a_part, nullptr);
    big_divmod(b, g, b_part, nullptr);
    const Num rest;
    big_gcd(a_part, b_part, rest);
    check(used_of(rest) == 1 && big_limbs(rest)[0] == 1, "gcd is not the greatest common divisor");
    const Num over_a(a);
    big_gcd(over_a, b, over_a);
    check(same(over_a, g), "gcd into its operand differs");
}

// Non-negative operands: Bezout coefficients and the least common multiple.
void check_bezout(const BigNum* a, const BigNum* b, const BigNum* g)
{
    const Num x;
    const Num y;
    big_xgcd(a, b, x, y);
    Num combination = product(a, y);
    big_add(combination, product(b, x));
    check(same(combination, g), "a y + b x != gcd");
    const Num over_a(a);
    const Num over_b(b);
    big_xgcd(over_a, over_b, over_a, over_b);
    check(same(over_a, x) && same(over_b, y), "xgcd into its operands differs");
    const Num both;
    check(raises<big_error>([&] { big_xgcd(a, b, both, both); }), "xgcd accepted x and y the same");

    const Num l;
    if (is_zero(a) && is_zero(b)) {
        check(raises<big_division_by_zero>([&] { big_lcm(a, b, l); }), "lcm(0, 0) did not raise");
        return;
    }
    big_lcm(a, b, l);
    check(same(product(l, g), product(a, b)), "lcm x gcd != a b");
}

void check_inverse(const Context& c, const BigNum* x, const BigNum* m, const BigNum* g)
{
    if (is_zero(x) || is_zero(m)) {
        return; // outside the documented domain
    }
    const Num r;
    const bool coprime = same(g, c.one);
    check(raises<big_division_by_zero>([&] { big_invmod(x, m, r); }) != coprime, "invmod raised iff no inverse");
    if (coprime) {
        if (same(m, c.one)) {
            check(same(r, c.one), "an inverse modulo 1 is not 1");
        } else {
            check(sign_of(r) == 0 && !is_zero(r) && big_cmp(r, m) < 0, "inverse outside 1 .. m - 1");
            check(same(remainder(product(x, r), m), c.one), "x x invmod(x) != 1 mod m");
        }
        const Num over_x(x);
        big_invmod(over_x, m, over_x);
        check(same(over_x, r), "invmod into its operand differs");
    }
    const Num over_m(m);
    check(raises<big_error>([&] { big_invmod(x, over_m, over_m); }), "invmod accepted r the same as m");
    check(same(over_m, m), "a refused invmod changed m");
}

// base^|exp| mod |mod| by plain square-and-multiply with full products.
Num power_reference(const BigNum* base, const BigNum* exp, const BigNum* mod)
{
    const Num m = magnitude_of(mod);
    Num b = remainder(base, m);
    if (sign_of(b) != 0) {
        big_add(b, m);
    }
    Num acc = remainder(Num(1), m);
    for (std::uint32_t i = big_bit_length(exp); i-- > 0;) {
        acc = remainder(product(acc, acc), m);
        if (bit_of(exp, i)) {
            acc = remainder(product(acc, b), m);
        }
    }
    return acc;
}

// `alias` picks the operand that also receives the result.
void check_power(const BigNum* base, const BigNum* exp, const BigNum* mod, std::uint32_t alias)
{
    if (is_zero(mod)) {
        return; // covered with the zero divisors
    }
    const Num expected = power_reference(base, exp, mod);
    const Num r;
    big_powmod(base, exp, mod, r);
    check(same(r, expected), "powmod differs from square-and-multiply");
    if ((big_limbs(mod)[0] & 1U) != 0) {
        const Num mont;
        big_powmod_mont(base, exp, mod, mont);
        check(same(mont, expected), "powmod_mont differs from square-and-multiply");
    } else {
        check(raises<big_division_by_zero>([&] { big_powmod_mont(base, exp, mod, r); }), "mont took an even n");
    }
    const std::array<const BigNum*, 3> operands{base, exp, mod};
    const Num over(operands.at(alias % 3));
    const auto operand = [&](std::size_t i) -> const BigNum* { return i == alias % 3 ? over : operands.at(i); };
    big_powmod(operand(0), operand(1), operand(2), over);
    check(same(over, expected), "powmod into an operand differs");
}

// Fermat checks cost four exponentiations as long as n: kept to short n.
constexpr std::uint32_t fermat_limbs = 2;

void check_screens(const Context& c, const BigNum* n)
{
    bool divisible = false;
    for (const std::uint32_t p : small_primes) {
        divisible = divisible || is_zero(remainder(n, Num(p)));
    }
    check(big_small_prime_screen(n) == (divisible ? 0U : 1U), "small prime screen");
    if ((big_limbs(n)[0] & 1U) == 0) {
        check(raises<big_division_by_zero>([&] { (void)big_fermat_test(n); }), "fermat test of an even n");
        return;
    }
    if (used_of(n) > fermat_limbs) {
        return;
    }
    // The powers themselves are checked against the reference in
    // check_power; a reference run per base would dominate the input's time.
    const Num modulus = magnitude_of(n);
    const Num exponent = magnitude_of(n);
    big_dec(exponent);
    bool passes = true;
    for (const std::uint32_t b : {2U, 3U, 5U, 7U}) {
        const Num power;
        big_powmod(Num(b), exponent, modulus, power);
        passes = passes && same(power, c.one);
    }
    check(big_fermat_test(n) == (passes ? 1U : 0U), "fermat test");
}

void check_number_theory(const Context& c, const BigNum* a, const BigNum* b, const BigNum* e, std::uint32_t alias)
{
    check_gcd(a, b);
    const Num ma = magnitude_of(a);
    const Num mb = magnitude_of(b);
    const Num g;
    big_gcd(ma, mb, g);
    check_bezout(ma, mb, g);
    check_inverse(c, ma, mb, g);
    check_power(a, e, b, alias);
    check_screens(c, a);
}

// ---- operands outside normal form ----

// Every operation on operands outside normal form or with stray limbs:
// whatever it computes or refuses, blocks stay valid (and free of stray
// limbs when the operands were) and operands are not written, and a refusal
// leaves its outputs as they were. The Euclidean chains and the
// exponentiations run on short operands only, as for normal ones.
void sweep(const BigNum* a, const BigNum* b, const BigNum* e, std::uint32_t count, std::uint32_t w, bool small,
           bool strays)
{
    const auto check_output = strays ? check_valid : check_block;
    // Each operation writes r (and s), which start as copies of a (and b):
    // the in-place ones work on r.
    using Operation = std::function<void(BigNum * r, BigNum * s)>;
    const auto on_copy_of_a = [](const std::function<void(BigNum*)>& in_place) {
        return [in_place](BigNum* r, BigNum*) { in_place(r); };
    };
    const std::vector<Operation> everywhere{
        on_copy_of_a([&](BigNum* r) { big_add(r, b); }),
        on_copy_of_a([&](BigNum* r) { big_sub(r, b); }),
        on_copy_of_a(big_inc),
        on_copy_of_a(big_dec),
        on_copy_of_a([&](BigNum* r) { big_add_word(r, w); }),
        on_copy_of_a([](BigNum* r) { (void)big_shl1(r); }),
        on_copy_of_a([](BigNum* r) { (void)big_shr1(r); }),
        on_copy_of_a(big_sqr),
        on_copy_of_a([&](BigNum* r) { big_mul_word(r, w); }),
        on_copy_of_a(big_mul10),
        [&](BigNum* r, BigNum*) { big_shl_to(a, count, r); },
        [&](BigNum* r, BigNum*) { big_shr_to(a, count, r); },
        [&](BigNum* r, BigNum*) { big_low_bits(a, count, r); },
        [&](BigNum* r, BigNum*) { big_mul(a, b, r); },
        [&](BigNum* r, BigNum* s) { big_divmod(a, b, r, s); },
        [&](BigNum* r, BigNum*) { big_mod(a, b, r); },
        [&](BigNum* r, BigNum*) { (void)big_div_word(a, w, r); },
        [&](BigNum* r, BigNum*) { big_mulmod(a, b, e, r); },
        [&](BigNum*, BigNum*) { (void)big_small_prime_screen(a); },
        [&](BigNum*, BigNum*) {
            std::vector<char> hex(8 * std::size_t{used_of(a)} + 2);
            (void)big_to_hex(a, hex.data());
            std::vector<std::uint8_t> bytes(4 * std::size_t{used_of(a)});
            (void)big_to_raw(a, bytes.data());
            (void)big_to_text(a, bytes.data());
        },
    };
    const std::vector<Operation> small_only{
        [&](BigNum* r, BigNum*) { big_gcd(a, b, r); },
        [&](BigNum* r, BigNum*) { big_lcm(a, b, r); },
        [&](BigNum* r, BigNum*) { big_invmod(a, b, r); },
        [&](BigNum* r, BigNum* s) { big_xgcd(a, b, r, s); },
        [&](BigNum* r, BigNum*) { big_powmod(a, e, b, r); },
        [&](BigNum* r, BigNum*) { big_powmod_mont(a, e, b, r); },
        [&](BigNum*, BigNum*) { (void)big_fermat_test(a); },
        [&](BigNum*, BigNum*) {
            std::vector<char> text(10 * std::size_t{used_of(a)} + 2);
            big_to_dec(a, text.data());
        },
    };
    const Num a_before(a);
    const Num b_before(b);
    const Num e_before(e);
    const auto run = [&](const Operation& operation) {
        const Num r(a);
        const Num s(b);
        bool refused = true;
        try {
            operation(r, s);
            refused = false;
        } catch (const big_error&) {
        } catch (const big_division_by_zero&) {
        }
        check_output(r);
        check_output(s);
        check(same(a, a_before) && same(b, b_before) && same(e, e_before), "an operation wrote an operand");
        check(!refused || (same(r, a) && same(s, b)), "a refused operation wrote its output");
    };
    std::for_each(everywhere.begin(), everywhere.end(), run);
    if (small) {
        std::for_each(small_only.begin(), small_only.end(), run);
    }
}

void fuzz_one(Input in)
{
    const std::uint8_t control = in.byte();
    const std::uint32_t bits = precisions.at((control & 7U) % precisions.size());
    big_set_precision(bits);
    const bool raw_operands = (control & 0x18U) == 0x18U;
    const std::uint32_t capacity = big_limb_capacity();
    const Num a = decode(in, 4 * capacity, !raw_operands);
    const Num b = decode(in, 4 * capacity, !raw_operands);
    const Num e = decode(in, std::min(exponent_bytes, 4 * capacity), !raw_operands);
    const std::uint32_t count = (in.byte() | (std::uint32_t{in.byte()} << 8)) % (32 * capacity + 64);
    const std::uint32_t w = in.word();
    const std::uint32_t small_limbs = std::min(number_theory_limbs, capacity / 4);
    const bool small = used_of(a) <= small_limbs && used_of(b) <= small_limbs;
    const bool strays = has_stray_limbs(a) || has_stray_limbs(b) || has_stray_limbs(e);
    if (raw_operands || strays) {
        sweep(a, b, e, count, w, small, strays);
        return;
    }
    const Context c{32 * capacity, largest(), Num(), Num(1)};
    check_additive(c, a, b, w);
    check_left_shift(c, a, count);
    check_right_shift(c, a, count);
    check_bit_length(a);
    check_division(a, b);
    check_product(c, a, b);
    check_square(c, a);
    check_word_product(c, a, w);
    check_modular_product(c, a, b, e);
    if (small) {
        check_number_theory(c, a, b, e, count);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    run_without_leaks([&] { fuzz_one(Input(data, size)); });
    return 0;
}
