// SPDX-License-Identifier: MIT
// The value type: each operator gives what the handle API gives (errors
// included, operands untouched), refusals that name the numbers, strict text
// in and out, stream flags, and hashing that agrees with ==.

#include "../support.h"

#include <bignum/integer.h>
#ifdef BIGNUM_TEST_FMT
#include <bignum/format.h>
#endif

#include <cstring>
#include <functional>
#include <iterator>
#include <new>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_set>
#include <vector>

using namespace bignum_test;
using bignum::integer;
using namespace bignum::literals;

namespace {

// Capacity 16 limbs for the handles, so the table's edges are short.
class Integer : public BignumTest {
protected:
    Integer() : BignumTest(128) {}
};

// x from big_to_hex form, through a block rather than the parser.
integer from_hex(const std::string& text) { return integer(Num(text).get()); }

// x in big_to_hex form, through a block.
std::string block_hex(const integer& x)
{
    const Num block;
    x.to_block(block);
    return hex(block);
}

// The result's text, or the error it raised: for big_error its reason,
// since the value type words its refusals in full.
std::string outcome(const std::function<std::string()>& run)
{
    try {
        return run();
    } catch (const big_error& e) {
        return "bignum: reason " + std::to_string(static_cast<int>(e.why()));
    } catch (const big_division_by_zero&) {
        return "bignum: division by zero";
    } catch (const std::exception& e) {
        return e.what();
    }
}

// A negative zero, as the byte loaders leave one.
integer negative_zero()
{
    const Num x;
    big_from_raw("", 1, x, 1);
    return integer(x.get());
}

static_assert(std::is_nothrow_move_constructible_v<integer> && std::is_nothrow_move_assignable_v<integer>);
static_assert(std::is_nothrow_swappable_v<integer>);
static_assert(std::is_convertible_v<unsigned long long, integer> && std::is_convertible_v<signed char, integer>);
static_assert(!std::is_convertible_v<bool, integer> && !std::is_convertible_v<char, integer>);
static_assert(!std::is_convertible_v<const char*, integer> && !std::is_convertible_v<integer, int>);
static_assert(!std::is_constructible_v<integer, bool> && !std::is_constructible_v<integer, char> &&
              !std::is_constructible_v<integer, char8_t> && std::is_constructible_v<integer, long double>);
static_assert(sizeof(integer) <= 32, "two inline limbs, a size and a capacity");

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
                    const Num x(a_text);
                    const Num y(b_text);
                    const Num r;
                    row.handle(x, y, r);
                    return hex(r);
                });
                EXPECT_EQ(outcome([&] { return block_hex(row.binary(a, b)); }), expected);
                integer c = a;
                bool raised = false;
                EXPECT_EQ(outcome([&] {
                              try {
                                  row.compound(c, b);
                              } catch (const big_division_by_zero&) {
                                  raised = true;
                                  throw;
                              }
                              return block_hex(c);
                          }),
                          expected);
                if (raised) {
                    EXPECT_EQ(c, a) << "a compound assignment that raised changed its target";
                }
                EXPECT_EQ(block_hex(a), a_text);
                EXPECT_EQ(block_hex(b), b_text);
            }
        }
    }
}

// Each row's value is computed as the table is built; a built-in integer
// sits on either side where it can.
TEST_F(Integer, ExpressionsMixBuiltInsOnEitherSideShiftAsBuiltInsDoAndStep)
{
    const integer x = 5;
    struct Row {
        const char* expression;
        integer value;
        const char* decimal;
    };
    // clang-format off
    const Row rows[] = {
        {"INT64_MIN", INT64_MIN, "-9223372036854775808"},
        {"UINT64_MAX", UINT64_MAX, "18446744073709551615"},
        {"x * 3", x * 3, "15"}, {"7 - x", 7 - x, "2"}, {"x % 65537", x % 65537, "5"},
        {"-17 / x", -17 / x, "-3"}, {"-17 % x", -17 % x, "-2"}, {"5u + x", 5U + x, "10"},
        {"-x", -x, "-5"}, {"+x", +x, "5"}, {"-(-0)", -negative_zero(), "0"},
        {"abs(INT64_MIN)", bignum::abs(INT64_MIN), "9223372036854775808"},
        // Rounded towards negative infinity, as a built-in does.
        {"-5 >> 1", integer(-5) >> 1, "-3"}, {"-1 >> 1", integer(-1) >> 1, "-1"},
        {"-3 << 33", integer(-3) << 33, "-25769803776"},
        {"gcd(-6, -4)", bignum::gcd(-6, -4), "2"}, {"gcd(0, 0)", bignum::gcd(0, 0), "0"},
        {"lcm(-4, 6)", bignum::lcm(-4, 6), "12"}, {"inv_mod(3, 7)", bignum::inv_mod(3, 7), "5"},
        {"pow_mod(-2, 3, 7)", bignum::pow_mod(-2, 3, 7), "6"}, {"pow_mod(2, -3, -7)", bignum::pow_mod(2, -3, -7), "1"},
        // Literals read as the language reads its own: 0 alone and a leading 0 for octal.
        {"123456789012345678901234567890_n", 123456789012345678901234567890_n, "123456789012345678901234567890"},
        {"-0xFFFF'FFFF'FFFF'FFFF'FFFF_n", -0xFFFF'FFFF'FFFF'FFFF'FFFF_n, "-1208925819614629174706175"},
        {"0b1'0000_n", 0b1'0000_n, "16"}, {"0777_n", 0777_n, "511"}, {"0_n", 0_n, "0"}, {"00_n", 00_n, "0"},
    };
    // clang-format on
    for (const Row& row : rows) {
        EXPECT_EQ(row.value.to_string(), row.decimal) << row.expression;
    }
    EXPECT_TRUE(x < 6U && 4U < x && x != 0 && 0 != x && x > INT64_MIN && x < UINT64_MAX && (integer(-1) <=> 0U) < 0);
    EXPECT_TRUE(integer(1) && !integer());
    EXPECT_THROW((void)(x / 0), big_division_by_zero);
    EXPECT_THROW((void)bignum::lcm(0, 0), big_division_by_zero);
    EXPECT_THROW((void)bignum::inv_mod(2, 4), big_division_by_zero);
    integer y = 7;
    EXPECT_TRUE(y++ == 7 && ++y == 9 && y-- == 9 && --y == 7);
    // No capacity: past the handles' largest value the steps go on.
    y = from_hex(std::string(8 * std::size_t{big_limb_capacity()}, 'F'));
    EXPECT_EQ(++y, integer(1) << 32 * big_limb_capacity());
    EXPECT_EQ((y <<= 1).bit_length(), 32 * std::uint64_t{big_limb_capacity()} + 2);
    // A size no limb count describes is refused before any work.
    EXPECT_THROW((void)(y << UINT64_MAX), std::length_error);
    EXPECT_THROW((void)bignum::pow(y, UINT64_MAX / 2), std::length_error);
}

// Refusals caused by the operands name them, long ones shortened.
TEST_F(Integer, RefusalsNameTheirOperands)
{
    const integer big = bignum::pow(integer(10), 60) + 7;
    struct Row {
        std::function<void()> run;
        const char* what;
    };
    const Row rows[] = {
        {[] { (void)bignum::inv_mod(2, 4); }, "bignum: 2 has no inverse modulo 4 (their gcd is 2)"},
        {[] { (void)bignum::inv_mod(-6, -9); }, "bignum: -6 has no inverse modulo 9 (their gcd is 3)"},
        {[] { (void)bignum::pow_mod(2, -1, 4); }, "bignum: 2 has no inverse modulo 4 (their gcd is 2)"},
        {[] { (void)(integer(7) / 0); }, "bignum: division of 7 by zero"},
        {[] { (void)(-7 % integer()); }, "bignum: division of -7 by zero"},
        {[&] { (void)(big / 0); },
         "bignum: division of 10000000000000000000...00000000000000000007 (61 digits) by zero"},
        {[] { (void)(integer(1) << 31).to<int>(); },
         "bignum: 2147483648 does not fit in int (-2147483648 .. 2147483647)"},
        {[] { (void)integer(-1).to<unsigned long long>(); },
         "bignum: -1 does not fit in unsigned long long (0 .. 18446744073709551615)"},
        {[] { (void)integer(128).to<signed char>(); }, "bignum: 128 does not fit in signed char (-128 .. 127)"},
    };
    for (const Row& row : rows) {
        try {
            row.run();
            ADD_FAILURE() << row.what << ": nothing raised";
        } catch (const std::exception& e) {
            EXPECT_STREQ(e.what(), row.what);
        }
    }
    EXPECT_THROW((void)bignum::inv_mod(2, 4), big_division_by_zero);
    EXPECT_THROW((void)integer(1 << 8).to<unsigned char>(), std::overflow_error);
}

// Floating values and 128-bit integers convert exactly.
TEST_F(Integer, ConvertsWideAndFloatingValuesExactly)
{
    struct Row {
        integer value;
        const char* decimal;
    };
    // clang-format off
    const Row rows[] = {
        {integer(18446744073709551615.0L), "18446744073709551615"},
        {integer(-0x1.8p100L), "-1901475900342344102245054808064"},
        {integer(-2.9), "-2"}, {integer(0.5L), "0"},
        {integer(integer(1e4000L).bit_length()), "13288"},
#if defined(__SIZEOF_INT128__)
        {integer(static_cast<bignum::detail::uint128>(-1)), "340282366920938463463374607431768211455"},
        {integer(static_cast<bignum::detail::int128>(static_cast<bignum::detail::uint128>(1) << 127U)), "-170141183460469231731687303715884105728"},
#endif
    };
    // clang-format on
    for (const Row& row : rows) {
        EXPECT_EQ(row.value.to_string(), row.decimal);
    }
    EXPECT_THROW(integer(std::numeric_limits<long double>::quiet_NaN()), std::domain_error);
    EXPECT_THROW(integer(-std::numeric_limits<long double>::infinity()), std::domain_error);
}

TEST_F(Integer, EqualityOrderAndHashAgreeAndANegativeZeroIsZero)
{
    struct Row {
        integer x;
        int rank;
    };
    const Row rows[] = {{INT64_MIN, 0}, {-1, 1}, {negative_zero(), 2}, {0, 2}, {1, 3}, {UINT64_MAX, 4}};
    for (const Row& a : rows) {
        for (const Row& b : rows) {
            EXPECT_EQ(a.x <=> b.x, a.rank <=> b.rank) << a.x << " <=> " << b.x;
            EXPECT_EQ(a.x == b.x, a.rank == b.rank) << a.x << " == " << b.x;
            if (a.rank == b.rank) {
                EXPECT_EQ(std::hash<integer>{}(a.x), std::hash<integer>{}(b.x)) << a.x;
            }
        }
    }
    EXPECT_EQ(std::unordered_set<integer>({negative_zero(), 0, -1, 1}).size(), 3U);
    EXPECT_EQ(negative_zero().to_string(16), "0");
}

TEST_F(Integer, ParsesExactlyTheStrictFormAndWritesItBack)
{
    // Each is read, written back in its base, and read from that again.
    struct Accepted {
        const char* text;
        int base;
        const char* written;
        const char* decimal;
    };
    // clang-format off
    const Accepted accepted[] = {
        {"0", 10, "0", "0"}, {"-0", 2, "0", "0"}, {"+42", 10, "42", "42"}, {"0009", 10, "9", "9"},
        {"-18446744073709551616", 10, "-18446744073709551616", "-18446744073709551616"},
        {"0b1", 16, "B1", "177"}, {"0x0a", 16, "A", "10"}, {"-0XaBc", 16, "-ABC", "-2748"},
        {"0xffffffffffffffff", 16, "FFFFFFFFFFFFFFFF", "18446744073709551615"},
        {"0b10000000000000000000000000000000000000000000000000000000000000000", 2,
         "10000000000000000000000000000000000000000000000000000000000000000", "18446744073709551616"},
        {"-0B101", 2, "-101", "-5"}, {"+0O017", 8, "17", "15"},
        {"0o7777777777777777777777", 8, "7777777777777777777777", "73786976294838206463"},
        {"-1000000000000000000000", 8, "-1000000000000000000000", "-9223372036854775808"},
        // Decimal chunks of nine digits: a zero chunk inside, a full one on top.
        {"1000000000000000000000000001", 10, "1000000000000000000000000001", "1000000000000000000000000001"},
        {"999999999999999999", 10, "999999999999999999", "999999999999999999"},
        {"-12012", 3, "-12012", "-140"}, {"0333", 4, "333", "63"}, {"zZ", 36, "ZZ", "1295"},
        {"0x10", 36, "X10", "42804"}, {"G000000000000", 32, "G000000000000", "18446744073709551616"},
        // Base 0: the prefix names the base, decimal without one.
        {"0x1f", 0, "31", "31"}, {"-0B101", 0, "-5", "-5"}, {"+0o17", 0, "15", "15"}, {"017", 0, "17", "17"},
        {"0", 16, "0", "0"}, // one character in a power-of-two base
    };
    // clang-format on
    for (const Accepted& row : accepted) {
        const integer x(row.text, row.base);
        // Also from a heap block that ends with the text, no terminator after
        // it: a read past the view's end is an overflow the sanitizers see.
        const std::vector<char> exact(row.text, row.text + std::strlen(row.text));
        EXPECT_EQ(integer::parse(std::string_view(exact.data(), exact.size()), row.base), x) << row.text;
        EXPECT_EQ(x.to_string(), row.decimal) << row.text;
        EXPECT_EQ(x.to_string(row.base == 0 ? 10 : row.base), row.written) << row.text;
        EXPECT_EQ(integer::parse(row.written, row.base), x) << row.text;
    }
    struct Rejected {
        const char* text;
        int base;
        std::size_t position;
        const char* names;
    };
    // clang-format off
    const Rejected rejected[] = {
        {"", 10, 0, "where the text ends"}, {"-", 10, 1, "where the text ends"},
        {"0x", 16, 2, "where the text ends"}, {"0b", 2, 2, "where the text ends"},
        {" 1", 10, 0, "' '"}, {"1 ", 10, 1, "' '"}, {"+-1", 10, 1, "'-'"}, {"12x3", 10, 2, "'x'"},
        {"1_000", 10, 1, "'_'"}, {"0x1F", 10, 1, "'x'"}, {"0o7", 16, 1, "'o'"}, {"0b2", 2, 2, "'2'"},
        {"9", 8, 0, "'9'"}, {"0xg", 16, 2, "'g'"}, {"1\n", 10, 1, "byte 0x0A"}, {"7\xFF", 10, 1, "byte 0xFF"},
        {"1\x7F", 10, 1, "byte 0x7F"}, {"1z", 35, 1, "'z'"}, {"-0x", 0, 3, "where the text ends"},
        {"0b2", 0, 2, "'2'"}, {"0o8", 0, 2, "'8'"}, {"0c", 0, 1, "'c'"},
    };
    // clang-format on
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
    EXPECT_THROW((void)integer::parse("10", 1), std::invalid_argument);
    EXPECT_THROW((void)integer::parse("10", 37), std::invalid_argument);
    EXPECT_THROW((void)integer(1).to_string(0), std::invalid_argument);
    EXPECT_THROW((void)integer(1).to_string(37), std::invalid_argument);
    // No capacity: as long as memory lasts.
    EXPECT_EQ(integer::parse("1" + std::string(10'000, '0'), 16).bit_length(), 40'001U);
    EXPECT_EQ(integer::parse("1" + std::string(10'000, '0'), 10), bignum::pow(integer(10), 10'000));
}

// A non-negative value must look as the built-in of the same value does.
TEST_F(Integer, StreamsHonourBaseCaseShowbaseWidthAndFill)
{
    using F = std::ios_base;
    struct Row {
        long long value;
        F::fmtflags flags;
        int width;
        const char* text;
    };
    // clang-format off
    const Row rows[] = {
        {-255, F::dec, 0, "-255"}, {255, F::hex, 0, "ff"}, {255, F::hex | F::uppercase, 0, "FF"},
        {-255, F::hex | F::showbase, 0, "-0xff"}, {255, F::hex | F::showbase | F::uppercase, 0, "0XFF"},
        {0, F::hex | F::showbase, 0, "0"}, {-8, F::oct | F::showbase, 0, "-010"}, {8, F::oct, 0, "10"},
        {-255, F::dec, 7, "***-255"}, {-255, F::dec | F::left, 7, "-255***"},
        {-255, F::hex | F::showbase | F::internal, 8, "-0x***ff"}, {255, F::hex | F::showbase | F::internal, 7, "0x***ff"},
        {255, F::fmtflags{}, 0, "255"}, {8, F::oct | F::showbase | F::internal, 6, "***010"},
        // A sign for non-negatives in decimal only, as for a long long.
        {0, F::dec | F::showpos, 0, "+0"}, {255, F::dec | F::showpos | F::internal, 7, "+***255"},
        {-255, F::dec | F::showpos | F::internal, 7, "-***255"}, {255, F::hex | F::showpos | F::showbase, 0, "0xff"},
    };
    // clang-format on
    for (const Row& row : rows) {
        std::ostringstream out;
        const auto written = [&](const auto& value) {
            out.str("");
            out.flags(row.flags);
            out.width(row.width);
            out.fill('*');
            out << value;
            return out.str();
        };
        EXPECT_EQ(written(integer(row.value)), row.text);
        EXPECT_EQ(out.width(), 0) << row.text << ": the width applies to one output only";
        if (row.value >= 0) {
            EXPECT_EQ(written(row.value), row.text) << "a built-in writes it otherwise";
        }
    }
}

static_assert(
    requires(std::istream & in, integer& x) { in >> x; }, "std::cin >> x compiles");

// Read as a long long is read: the same state and the same bytes left, and
// the same value, except that a failed read keeps the old one.
TEST_F(Integer, ReadsFromAStreamAsALongLongIs)
{
    using F = std::ios_base;
    const F::fmtflags ws = F::skipws;
    struct Row {
        const char* input;
        F::fmtflags flags;
    };
    // clang-format off
    const Row rows[] = {
        {"  -0x1F rest", ws}, {"017", ws}, {"09", ws}, {"0", ws}, {"0x", ws}, {"0xg", ws}, {"-0x", ws}, {"0b1", ws},
        {"0X1f", ws | F::hex}, {"x1", ws | F::hex}, {"-fF+", ws | F::hex}, {"017", ws | F::oct}, {"8", ws | F::oct},
        {"0x1F", ws | F::dec}, {"-", ws | F::dec}, {"+5z", ws | F::dec}, {"- 5", ws | F::dec}, {"", ws | F::dec},
        {" \n", ws | F::dec}, {" 12", F::dec}, {"0x1F", ws | F::hex | F::oct}, {"\t-9223372036854775808,", ws | F::dec},
    };
    // clang-format on
    for (const Row& row : rows) {
        std::istringstream ours(row.input);
        std::istringstream theirs(row.input);
        ours.flags(row.flags);
        theirs.flags(row.flags);
        integer x = 99;
        long long y = 99;
        ours >> x;
        theirs >> y;
        EXPECT_EQ(ours.rdstate(), theirs.rdstate()) << row.input;
        EXPECT_EQ(x, theirs.fail() ? 99 : y) << row.input;
        ours.clear();
        theirs.clear();
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(ours), {}),
                  std::string(std::istreambuf_iterator<char>(theirs), {}))
            << row.input;
    }
    // Past 64 bits, and past what any block holds.
    std::istringstream in("123456789012345678901234567890 0x1" + std::string(10'000, '0'));
    integer x;
    in >> x;
    EXPECT_EQ(x.to_string(), "123456789012345678901234567890");
    in >> std::hex >> x;
    EXPECT_EQ(x, integer(1) << 40'000);
    std::istringstream zeros(std::string(100'000, '0') + "42");
    zeros >> x;
    EXPECT_EQ(x, 42);
    // Into a moved-from integer: a failed read leaves it reading 0, a read gives it a value.
    const integer taken = std::move(x);
    std::istringstream after_move("z 12");
    after_move >> x; // NOLINT(bugprone-use-after-move,clang-analyzer-cplusplus.Move): the point of the check
    EXPECT_TRUE(after_move.fail() && x == 0 && x.to_string() == "0");
    after_move.clear();
    after_move.ignore();
    after_move >> x;
    EXPECT_EQ(x + taken, 54);
}

#ifdef BIGNUM_TEST_FMT
// Laid out as fmt lays out a long long, for every spec and value.
TEST_F(Integer, FormatsAsFmtFormatsALongLong)
{
    const char* const specs[] = {"{}",   "{:d}",   "{:x}",     "{:#X}",  "{:o}",   "{:#o}",  "{:#b}", "{:#B}",
                                 "{: }", "{:+08}", "{:#010x}", "{:*<8}", "{:*>8}", "{:*^9}", "{:3}",  "{:€^+#12x}"};
    const long long values[] = {0, 1, -1, 42, -255, INT64_MIN, INT64_MAX};
    for (const char* spec : specs) {
        for (const long long value : values) {
            EXPECT_EQ(fmt::format(fmt::runtime(spec), integer(value)), fmt::format(fmt::runtime(spec), value))
                << spec << " " << value;
        }
    }
    EXPECT_EQ(fmt::format("{:#x}", integer(1) << 100), "0x1" + std::string(25, '0'));
    // An alignment overrides '0', as in <format> and later fmt (fmt 9 fills with zeros).
    EXPECT_EQ(fmt::format("{:<08}", integer(42)), "42      ");
    for (const char* spec : {"{:.3}", "{:c}", "{:L}", "{:{}}", "{:x5}", "{:{<5}", "{:99999999}"}) {
        EXPECT_THROW((void)fmt::format(fmt::runtime(spec), integer(1), 5), fmt::format_error) << spec;
    }
}
#endif

// A source that fails after some digits, as a stream whose memory runs out
// in the middle of a number does.
class FailingBuffer : public std::streambuf {
public:
    explicit FailingBuffer(std::string digits) : digits_(std::move(digits)) {}

protected:
    int_type underflow() override
    {
        if (next_ == digits_.size()) {
            throw std::bad_alloc();
        }
        return traits_type::to_int_type(digits_[next_]);
    }
    int_type uflow() override
    {
        const int_type c = underflow();
        ++next_;
        return c;
    }

private:
    std::string digits_;
    std::size_t next_ = 0;
};

// badbit and the value kept, as a standard extractor leaves them; raised
// again only where the exception mask asks.
TEST_F(Integer, AFailureInTheMiddleOfANumberSetsBadbit)
{
    for (const bool raises : {false, true}) {
        FailingBuffer buffer("12345");
        std::istream in(&buffer);
        in.exceptions(raises ? std::ios_base::badbit : std::ios_base::goodbit);
        integer x = 99;
        if (raises) {
            EXPECT_THROW(in >> x, std::bad_alloc);
        } else {
            EXPECT_NO_THROW(in >> x);
        }
        EXPECT_TRUE(in.bad() && !in.good());
        EXPECT_EQ(x, 99);
    }
}

TEST_F(Integer, MovedFromIsZeroAndNoBlockIsUsed)
{
    integer a = integer(1) << 200;
    integer b = std::move(a);
    EXPECT_EQ(a, 0); // NOLINT(bugprone-use-after-move,clang-analyzer-cplusplus.Move): the point of the check
    integer c = 5;
    c = std::move(b);
    EXPECT_EQ(b, 0); // NOLINT(bugprone-use-after-move,clang-analyzer-cplusplus.Move): the point of the check
    EXPECT_EQ(c, integer(1) << 200);
    a = 7; // a moved-from integer may be assigned
    EXPECT_EQ(a + c, (integer(1) << 200) + 7);
    EXPECT_EQ(big_live_blocks(), 0U);
}
