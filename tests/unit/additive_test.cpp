// SPDX-License-Identifier: MIT
// Ordering, signed addition and subtraction, and the one-step operations.

#include "../support.h"

#include <algorithm>
#include <string>

using namespace bignum_test;

namespace {

using Additive = BignumTest;

// Reads "-0" as a zero with sign word 1: only the byte-string loaders make
// one, but every operation here must still cope with it.
struct Operand : Num {
    explicit Operand(const char* text) : Num(text) { big_words(get())[1] = text[0] == '-' ? 1 : 0; }
};

// A valid block may hold anything above its used count; such limbs are not
// part of the value.
void stray_limbs_above_used(BigNum* x)
{
    std::fill(big_limbs(x) + big_used_count(x), big_limbs(x) + big_limb_capacity(), 0x5A5A5A5A);
}

} // namespace

TEST_F(Additive, ComparisonIsAntisymmetric)
{
    struct Row {
        const char *a, *b;
        int cmp, cmp_mag;
    };
    const Row rows[] = {{"5", "-7", 1, -1},
                        {"-7", "-5", -1, 1},
                        {"-5", "-7", 1, -1},
                        {"-9", "5", -1, 1},
                        {"5", "-5", 1, 0},
                        {"-0", "0", -1, 0},
                        {"100000000", "FFFFFFFF", 1, 1},
                        {"-100000000", "FFFFFFFF", -1, 1},
                        {"1FFFFFFFF", "200000000", -1, -1},
                        {"200000001", "200000002", -1, -1},
                        {"-1234567890", "-1234567890", 0, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.a) + " vs " + row.b);
        const Operand a(row.a), b(row.b);
        EXPECT_EQ(big_cmp(a, b), row.cmp);
        EXPECT_EQ(big_cmp(b, a), -row.cmp);
        EXPECT_EQ(big_cmp(a, a), 0);
        EXPECT_EQ(big_cmp_mag(a, b), row.cmp_mag);
        EXPECT_EQ(big_cmp_mag(b, a), -row.cmp_mag);
    }
}

// Each row is a + b = c, checked as both sums and both differences; the
// operand added or subtracted has stray limbs above its used count.
TEST_F(Additive, SumsAndDifferencesInEveryOrder)
{
    struct Row {
        const char *a, *b, *c;
    };
    const Row rows[] = {{"05", "-05", "00"},
                        {"-02", "05", "03"},
                        {"02", "-05", "-03"},
                        {"-08", "05", "-03"},
                        {"08", "-05", "03"},
                        {"FFFFFFFF", "01", "0100000000"},
                        {"FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", "01", "0100000000000000000000000000000000"},
                        {"-FFFFFFFFFFFFFFFF", "-01", "-010000000000000000"},
                        {"0123456789ABCDEF0123456789", "-0123456789ABCDEF0000000000", "0123456789"}};
    const auto expect = [](void (*op)(BigNum*, const BigNum*), const char* a, const char* b, const char* result) {
        const Num x(a), y(b);
        stray_limbs_above_used(y);
        op(x, y);
        EXPECT_EQ(hex(x), result) << a << (op == big_add ? " + " : " - ") << b;
    };
    for (const Row& row : rows) {
        expect(big_add, row.a, row.b, row.c);
        expect(big_add, row.b, row.a, row.c);
        expect(big_sub, row.c, row.b, row.a);
        expect(big_sub, row.c, row.a, row.b);
        const Num self(row.c), doubled(row.c);
        big_add(self, self);
        big_shl1(doubled);
        EXPECT_EQ(hex(self), hex(doubled));
        big_sub(self, self);
        EXPECT_EQ(hex(self), "00");
    }
}

// Each row grows |x| by one: x all ones over the capacity has no room; one
// less, it fills the capacity exactly; over one limb less it just fits.
TEST_F(Additive, CarryPastCapacityRaises)
{
    big_set_precision(128); // capacity 16
    struct Row {
        const char* sign;
        void (*grow)(BigNum*);
    };
    const Row rows[] = {{"", [](BigNum* x) { big_add(x, Num("1")); }},
                        {"-", [](BigNum* x) { big_sub(x, Num("1")); }},
                        {"", [](BigNum* x) { big_inc(x); }},
                        {"-", [](BigNum* x) { big_dec(x); }},
                        {"-", [](BigNum* x) { big_add_word(x, 1); }}};
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        const Num full(row.sign + std::string(8 * 16, 'F')), fits(row.sign + std::string(8 * 15, 'F'));
        EXPECT_THROW(row.grow(full), big_error);
        const Num fills(row.sign + std::string(8 * 16 - 1, 'F') + "E");
        row.grow(fills);
        EXPECT_EQ(hex(fills), row.sign + std::string(8 * 16, 'F'));
        row.grow(fits);
        EXPECT_EQ(hex(fits), row.sign + ("01" + std::string(8 * 15, '0')));
    }
}

TEST_F(Additive, SmallStepsCrossZeroAndLimbs)
{
    struct Row {
        const char *x, *inc, *dec, *plus_max_word;
    };
    const Row rows[] = {{"00", "01", "-01", "FFFFFFFF"},
                        {"-0", "01", "-01", "-FFFFFFFF"},
                        {"01", "02", "00", "0100000000"},
                        {"-01", "00", "-02", "-0100000000"},
                        {"FFFFFFFF", "0100000000", "FFFFFFFE", "01FFFFFFFE"},
                        {"-0100000000", "-FFFFFFFF", "-0100000001", "-01FFFFFFFF"},
                        {"FFFFFFFFFFFFFFFF", "010000000000000000", "FFFFFFFFFFFFFFFE", "0100000000FFFFFFFE"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.x);
        const Operand up(row.x), down(row.x), plus(row.x);
        big_inc(up);
        big_dec(down);
        big_add_word(plus, 0xFFFFFFFF);
        EXPECT_EQ(hex(up), row.inc);
        EXPECT_EQ(hex(down), row.dec);
        EXPECT_EQ(hex(plus), row.plus_max_word);
    }
}

// The magnitude kernels, called through the public header as code outside
// the library would: a's sign word stays, a product's is t's own (+).
TEST_F(Additive, KernelsActOnMagnitudesOnly)
{
    using Kernel = BigNum* (*)(BigNum * a, const BigNum* b, BigNum* t);
    struct Row {
        Kernel run;
        const char *a, *b, *result;
    };
    // clang-format off
    const Row rows[] = {
        {[](BigNum* a, const BigNum*, BigNum*) { big_push_limb(a, 7); return a; }, "-5", "0", "-0700000005"},
        {[](BigNum* a, const BigNum*, BigNum*) { big_push_limb(a, 0); return a; }, "-5", "0", "-05"},
        {[](BigNum* a, const BigNum* b, BigNum*) { big_add_mag(a, b); return a; }, "-FFFFFFFF", "1", "-0100000000"},
        {[](BigNum* a, const BigNum* b, BigNum*) { big_sub_mag(a, b); return a; }, "-0100000000", "-1", "-FFFFFFFF"},
        {[](BigNum* a, const BigNum* b, BigNum*) { big_sub_mag(a, b); return a; }, "-5", "5", "00"},
        {[](BigNum* a, const BigNum*, BigNum*) { big_inc_mag(a); return a; }, "-FFFFFFFF", "0", "-0100000000"},
        {[](BigNum* a, const BigNum*, BigNum*) { big_dec_mag(a); return a; }, "-0100000000", "0", "-FFFFFFFF"},
        {[](BigNum* a, const BigNum* b, BigNum* t) { big_mul_mag(a, b, t); big_normalize(t); return t; },
         "-FFFFFFFF", "-FFFFFFFF", "FFFFFFFE00000001"},
        {[](BigNum* a, const BigNum*, BigNum* t) { big_sqr_mag(a, t); big_normalize(t); return t; },
         "-FFFFFFFF", "0", "FFFFFFFE00000001"},
        {[](BigNum* a, const BigNum*, BigNum* t) { big_mul_word_mag(a, 2, t); big_normalize(t); return t; },
         "-FFFFFFFF", "0", "01FFFFFFFE"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        const Num a(row.a), b(row.b), t;
        EXPECT_EQ(hex(row.run(a, b, t)), row.result);
    }
}
