// SPDX-License-Identifier: MIT
// The value type: each operator gives what the handle API gives (errors
// included, operands untouched), strict text in and out, stream flags, and
// hashing that agrees with ==.

#include "../support.h"

#include <bignum/integer.h>

#include <climits>
#include <functional>
#include <sstream>
#include <string>
#include <type_traits>
#include <unordered_set>

using namespace bignum_test;
using bignum::integer;

namespace {

// Capacity 16 limbs, so the table's edges are short.
class Integer : public BignumTest {
protected:
    Integer() : BignumTest(128) {}
};

// x from big_to_hex form, through the handle loader rather than the parser.
integer from_hex(const std::string& text)
{
    integer x;
    big_from_hex(text.c_str(), x.handle());
    return x;
}

// The result's hexadecimal form, or the error it raised.
std::string outcome(const std::function<std::string()>& run)
{
    try {
        return run();
    } catch (const big_error& e) {
        return e.what();
    } catch (const big_division_by_zero& e) {
        return e.what();
    }
}

// A negative zero, as the byte loaders leave one.
integer negative_zero()
{
    integer x;
    big_from_raw("", 1, x.handle(), 1);
    return x;
}

static_assert(std::is_nothrow_move_constructible_v<integer> && std::is_nothrow_move_assignable_v<integer>);
static_assert(std::is_nothrow_swappable_v<integer>);
static_assert(std::is_convertible_v<unsigned long long, integer> && std::is_convertible_v<signed char, integer>);
static_assert(!std::is_convertible_v<bool, integer> && !std::is_convertible_v<char, integer>);
static_assert(!std::is_convertible_v<const char*, integer> && !std::is_convertible_v<integer, int>);

} // namespace

TEST_F(Integer, OperatorsGiveWhatTheHandlesGiveAndLeaveOperandsOnError)
{
    const std::string max(8 * std::size_t{big_limb_capacity()}, 'F');
    const std::string values[] = {"00",      "01", "-01", "07", "-0D", "FFFFFFFF", "-0100000000", "0123456789ABCDEF01",
                                  "-" + max, max};
    using Value = const integer&;
    using Handle = void (*)(const BigNum*, const BigNum*, BigNum*);
    struct Row {
        const char* op;
        std::function<integer(Value, Value)> binary;
        std::function<void(integer&, Value)> compound;
        Handle handle;
    };
    // clang-format off
    const Row rows[] = {
        {"+", std::plus<integer>(), [](integer& a, Value b) { a += b; }, [](const BigNum* a, const BigNum* b, BigNum* r) { big_copy(r, a); big_add(r, b); }},
        {"-", std::minus<integer>(), [](integer& a, Value b) { a -= b; }, [](const BigNum* a, const BigNum* b, BigNum* r) { big_copy(r, a); big_sub(r, b); }},
        {"*", std::multiplies<integer>(), [](integer& a, Value b) { a *= b; }, big_mul},
        {"/", std::divides<integer>(), [](integer& a, Value b) { a /= b; }, [](const BigNum* a, const BigNum* b, BigNum* r) { big_divmod(a, b, r, nullptr); }},
        {"%", std::modulus<integer>(), [](integer& a, Value b) { a %= b; }, big_mod},
    };
    // clang-format on
    for (const std::string& a_text : values) {
        for (const std::string& b_text : values) {
            for (const Row& row : rows) {
                SCOPED_TRACE(a_text + " " + row.op + " " + b_text);
                const integer a = from_hex(a_text);
                const integer b = from_hex(b_text);
                const std::string expected = outcome([&] {
                    const Num r;
                    row.handle(a.handle(), b.handle(), r);
                    return hex(r);
                });
                EXPECT_EQ(outcome([&] { return hex(row.binary(a, b).handle()); }), expected);
                integer c = a;
                EXPECT_EQ(outcome([&] {
                              row.compound(c, b);
                              return hex(c.handle());
                          }),
                          expected);
                if (expected.starts_with("bignum:")) {
                    EXPECT_EQ(c, a) << "a compound assignment that raised changed its target";
                }
                EXPECT_EQ(hex(a.handle()), a_text);
                EXPECT_EQ(hex(b.handle()), b_text);
            }
        }
    }
}

TEST_F(Integer, UnaryShiftsAndStepsFollowTheHandles)
{
    const integer max = from_hex(std::string(8 * std::size_t{big_limb_capacity()}, 'F'));
    EXPECT_EQ(-integer(5), -5);
    EXPECT_EQ(-negative_zero(), 0);
    EXPECT_EQ(+integer(-5), -5);
    EXPECT_EQ(bignum::abs(integer(INT64_MIN)).to_string(), "9223372036854775808");
    // On the magnitude, sign kept; a built-in would give -3 and -1.
    EXPECT_EQ(integer(-5) >> 1, -2);
    EXPECT_EQ(integer(-1) >> 1, 0);
    EXPECT_EQ(integer(-3) << 33, INT64_C(-3) * (INT64_C(1) << 33));
    integer x = 7;
    EXPECT_EQ(x++, 7);
    EXPECT_EQ(++x, 9);
    EXPECT_EQ(x--, 9);
    EXPECT_EQ(--x, 7);
    x <<= 2;
    x >>= 1;
    EXPECT_EQ(x, 14);
    integer y = max;
    EXPECT_THROW(++y, big_error);
    EXPECT_THROW(y++, big_error);
    EXPECT_THROW(y <<= 1, big_error);
    EXPECT_EQ(y, max);
}

TEST_F(Integer, MixesWithBuiltInIntegersOnEitherSide)
{
    const integer x = 5;
    EXPECT_EQ(integer(INT64_MIN).to_string(), "-9223372036854775808");
    EXPECT_EQ(integer(UINT64_MAX).to_string(16), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(integer(INT64_MAX) + 1, integer(UINT64_MAX) / 2 + 1u);
    EXPECT_EQ(x * 3, 15);
    EXPECT_EQ(7 - x, 2);
    EXPECT_EQ(x % 65537, 5);
    EXPECT_EQ(-17 / x, -3);
    EXPECT_EQ(-17 % x, -2);
    EXPECT_TRUE(x < 6u && 4u < x && x != 0 && 0 != x && x > INT64_MIN && x < UINT64_MAX);
    EXPECT_EQ(integer(-1) <=> 0u, std::strong_ordering::less);
    EXPECT_TRUE(integer(1) && !integer());
    EXPECT_THROW(x / 0, big_division_by_zero);
}

TEST_F(Integer, NumberTheoryReadsMagnitudes)
{
    EXPECT_EQ(bignum::gcd(-4, 6), 2);
    EXPECT_EQ(bignum::gcd(-6, -4), 2);
    EXPECT_EQ(bignum::gcd(0, 0), 0);
    EXPECT_EQ(bignum::lcm(-4, 6), 12);
    EXPECT_THROW((void)bignum::lcm(0, 0), big_division_by_zero);
    EXPECT_EQ(bignum::inv_mod(3, 7), 5);
    EXPECT_THROW((void)bignum::inv_mod(2, 4), big_division_by_zero);
    EXPECT_EQ(bignum::pow_mod(-2, 3, 7), 6);
    EXPECT_EQ(bignum::pow_mod(2, -3, -7), 1);
    EXPECT_THROW((void)bignum::pow_mod(2, 3, 0), big_division_by_zero);
}

TEST_F(Integer, EqualityOrderAndHashAgreeAndANegativeZeroIsZero)
{
    const integer values[] = {negative_zero(), integer(),          integer(-1),
                              integer(1),      integer(INT64_MIN), integer(UINT64_MAX)};
    const std::hash<integer> hash;
    for (const integer& a : values) {
        for (const integer& b : values) {
            const int expected = a.sign() == 0 && b.sign() == 0 ? 0 : big_cmp(a.handle(), b.handle());
            EXPECT_EQ(a <=> b, expected <=> 0) << a << " <=> " << b;
            if (a == b) {
                EXPECT_EQ(hash(a), hash(b)) << a;
            }
        }
    }
    EXPECT_EQ(negative_zero().sign(), 0);
    EXPECT_EQ(negative_zero().to_string(), "0");
    const std::unordered_set<integer> set{negative_zero(), integer(), integer(-1), integer(1)};
    EXPECT_EQ(set.size(), 3U);
}

TEST_F(Integer, ParsesExactlyTheStrictForm)
{
    struct Accepted {
        const char* text;
        int base;
        const char* decimal;
    };
    const Accepted accepted[] = {
        {"0", 10, "0"},
        {"-0", 10, "0"},
        {"+42", 10, "42"},
        {"-18446744073709551616", 10, "-18446744073709551616"},
        {"0b1", 16, "177"},
        {"0x1f", 16, "31"},
        {"-0XaBc", 16, "-2748"},
        {"0b10000000000000000000000000000000000000000000000000000000000000000", 2, "18446744073709551616"},
        {"-0B101", 2, "-5"},
        {"0o7777777777777777777777", 8, "73786976294838206463"},
        {"+0O017", 8, "15"},
        {"0009", 10, "9"},
    };
    for (const Accepted& row : accepted) {
        EXPECT_EQ(integer::parse(row.text, row.base).to_string(), row.decimal) << row.text;
        EXPECT_EQ(integer(row.text, row.base).to_string(), row.decimal) << row.text;
    }
    struct Rejected {
        const char* text;
        int base;
        std::size_t position;
        const char* names;
    };
    const Rejected rejected[] = {
        {"", 10, 0, "where the text ends"},
        {"-", 10, 1, "where the text ends"},
        {"0x", 16, 2, "where the text ends"},
        {"0b", 2, 2, "where the text ends"},
        {" 1", 10, 0, "' '"},
        {"1 ", 10, 1, "' '"},
        {"+-1", 10, 1, "'-'"},
        {"12x3", 10, 2, "'x'"},
        {"1_000", 10, 1, "'_'"},
        {"0x1F", 10, 1, "'x'"},
        {"0o7", 16, 1, "'o'"},
        {"0b2", 2, 2, "'2'"},
        {"9", 8, 0, "'9'"},
        {"0xg", 16, 2, "'g'"},
        {"1\n", 10, 1, "byte 0x0A"},
        {"7\xFF", 10, 1, "byte 0xFF"},
    };
    for (const Rejected& row : rejected) {
        try {
            (void)integer::parse(row.text, row.base);
            ADD_FAILURE() << '"' << row.text << "\" was accepted";
        } catch (const bignum::parse_error& e) {
            const std::string what = e.what();
            EXPECT_EQ(e.position(), row.position) << what;
            EXPECT_NE(what.find(row.names), std::string::npos) << what;
            EXPECT_NE(what.find("at position " + std::to_string(row.position)), std::string::npos) << what;
        }
    }
    EXPECT_THROW((void)integer::parse("10", 3), std::invalid_argument);
    EXPECT_THROW((void)integer::parse("1" + std::string(8 * std::size_t{big_limb_capacity()}, '0'), 16), big_error);
    EXPECT_THROW((void)integer::parse("1" + std::string(32 * std::size_t{big_limb_capacity()}, '0'), 2), big_error);
}

TEST_F(Integer, WritesEachBaseWithoutPrefixOrLeadingZeros)
{
    struct Row {
        integer x;
        int base;
        const char* text;
    };
    const Row rows[] = {
        {0, 2, "0"},
        {negative_zero(), 16, "0"},
        {10, 16, "A"},
        {-10, 2, "-1010"},
        {-8, 8, "-10"},
        {UINT64_MAX, 16, "FFFFFFFFFFFFFFFF"},
        {INT64_MIN, 8, "-1000000000000000000000"},
        {INT64_MIN, 10, "-9223372036854775808"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.x.to_string(row.base), row.text);
        EXPECT_EQ(integer::parse(row.text, row.base), row.x) << row.text;
    }
    EXPECT_THROW((void)integer(1).to_string(36), std::invalid_argument);
}

TEST_F(Integer, StreamsHonourBaseCaseShowbaseWidthAndFill)
{
    using F = std::ios_base;
    struct Row {
        long long value;
        F::fmtflags flags;
        int width;
        const char* text;
    };
    const Row rows[] = {
        {-255, F::dec, 0, "-255"},
        {255, F::hex, 0, "ff"},
        {255, F::hex | F::uppercase, 0, "FF"},
        {-255, F::hex | F::showbase, 0, "-0xff"},
        {255, F::hex | F::showbase | F::uppercase, 0, "0XFF"},
        {0, F::hex | F::showbase, 0, "0"},
        {-8, F::oct | F::showbase, 0, "-010"},
        {8, F::oct, 0, "10"},
        {-255, F::dec, 7, "***-255"},
        {-255, F::dec | F::left, 7, "-255***"},
        {-255, F::hex | F::showbase | F::internal, 8, "-0x***ff"},
        {255, F::hex | F::showbase | F::internal, 7, "0x***ff"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        std::ostringstream out;
        out.flags(row.flags);
        out.width(row.width);
        out.fill('*');
        out << integer(row.value);
        EXPECT_EQ(out.str(), row.text);
        EXPECT_EQ(out.width(), 0) << "the width applies to one output only";
        if (row.value >= 0) {
            std::ostringstream builtin;
            builtin.flags(row.flags);
            builtin.width(row.width);
            builtin.fill('*');
            builtin << row.value;
            EXPECT_EQ(builtin.str(), row.text) << "differs from a built-in";
        }
    }
}

TEST_F(Integer, OwnsExactlyOneBlockThroughMovesAdoptAndRelease)
{
    integer a = 42;
    integer b = std::move(a);
    a = 7; // a moved-from integer may be assigned
    EXPECT_EQ(a, 7);
    const integer c = integer::adopt(b.release());
    EXPECT_EQ(c, 42);
    EXPECT_EQ(big_live_blocks(), 2U);
}
