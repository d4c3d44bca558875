// SPDX-License-Identifier: MIT
// Euclidean algorithms: gcd and lcm with every sign, the modular inverse
// through either exit, Bezout coefficients, and the calls that must fail.

#include "../support.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace bignum_test;
using Euclid = BignumTest;

namespace {

using Binary = void (*)(const BigNum*, const BigNum*, BigNum*);

// 2^96 - 1 and 2^64 - 1, which share the factor 2^32 - 1.
constexpr const char* two_96_less_1 = "79228162514264337593543950335";
constexpr const char* two_64_less_1 = "18446744073709551615";

// r = op(a, b) from decimal text ("-0" a negative zero both ways), with r
// fresh, then r = a, then (if places is 3) r = b: the results in turn,
// "raises" for a zero divisor, and "wrote r" too if r changed.
std::vector<std::string> in_places(Binary op, const char* a_dec, const char* b_dec, std::size_t places)
{
    std::vector<std::string> results;
    for (std::size_t place = 0; place < places; ++place) {
        const Num a, b, fresh;
        from_dec(a_dec, a);
        from_dec(b_dec, b);
        BigNum* const r = std::array<BigNum*, 3>{fresh, a, b}[place];
        const std::vector<std::uint32_t> before = block_of(r);
        try {
            op(a, b, r);
            results.push_back(signed_dec(r));
        } catch (const big_division_by_zero&) {
            results.emplace_back(block_of(r) == before ? "raises" : "raises, wrote r");
        }
    }
    return results;
}

} // namespace

TEST_F(Euclid, GcdLcmAndInvmodIntoEveryPermittedResult)
{
    // Rows are told apart by table, not by comparing function pointers: a
    // DLL's functions have two addresses in a program that imports them.
    const std::string nines(1200, '9'); // its square does not fit in a block
    // clang-format off
    struct Row { Binary op; const char *a, *b, *result; };
    const Row into_a_b_or_fresh[] = {
        {big_gcd, "12", "18", "6"}, {big_gcd, "18", "12", "6"}, {big_gcd, "7", "7", "7"}, {big_gcd, "0", "5", "5"},
        {big_gcd, "5", "0", "5"}, {big_gcd, "0", "0", "0"}, {big_gcd, two_96_less_1, two_64_less_1, "4294967295"},
        {big_gcd, "-12", "18", "6"}, {big_gcd, "12", "-18", "-6"}, {big_gcd, "-12", "-18", "-6"}, // the chain's sign
        {big_gcd, "-0", "0", "-0"}, {big_gcd, "-0", "5", "5"}, {big_gcd, "5", "-0", "5"},
        {big_lcm, "4", "6", "12"}, {big_lcm, "21", "6", "42"}, {big_lcm, "0", "5", "0"}, {big_lcm, "-4", "6", "-12"},
        {big_lcm, "12", "-18", "36"}, {big_lcm, "0", "0", "raises"},
        {big_lcm, two_96_less_1, two_64_less_1, "340282367000166625977638945021017194495"},
        {big_lcm, nines.c_str(), nines.c_str(), nines.c_str()}, {big_lcm, nines.c_str(), "3", nines.c_str()},
    };
    const Row into_a_or_fresh[] = { // the inverse may go into a, never into m
        {big_invmod, "3", "7", "5"}, {big_invmod, "5", "7", "3"}, {big_invmod, "1", "97", "1"},
        {big_invmod, "96", "97", "96"}, {big_invmod, "3", "4", "3"}, {big_invmod, "5", "8", "5"},
        {big_invmod, "11", "16", "3"}, {big_invmod, "15", "16", "15"}, {big_invmod, "10", "7", "5"},
        {big_invmod, "2", "1", "1"}, {big_invmod, "1", "1", "1"}, {big_invmod, "6", "9", "raises"},
        {big_invmod, "0", "7", "raises"}, {big_invmod, "4", "6", "raises"}, {big_invmod, "9", "6", "raises"},
        {big_invmod, "65537", "105312291668557186697918027343388065396718691897889123547643641860", // (2^127 - 2)
         "52724439659078533542050878056119532687363428290303798353933435053"},                       // x (2^89 - 2)
    };
    // clang-format on
    const auto check = [](const Row& row, std::size_t places) {
        SCOPED_TRACE(std::string(row.a) + ", " + row.b);
        EXPECT_EQ(in_places(row.op, row.a, row.b, places), std::vector<std::string>(places, row.result));
    };
    for (const Row& row : into_a_b_or_fresh) {
        check(row, 3);
    }
    for (const Row& row : into_a_or_fresh) {
        check(row, 2);
    }
}

TEST_F(Euclid, XgcdGivesTheCoefficientOfTheSecondOperandFirst)
{
    // clang-format off
    struct Row { const char *a, *b, *x, *y; }; // a y + b x = gcd(a, b)
    const Row rows[] = {
        {"240", "46", "47", "-9"}, {"46", "240", "-9", "47"}, {"7", "7", "1", "0"}, {"5", "0", "0", "1"},
        {"0", "5", "1", "0"}, {"0", "0", "0", "1"}, {two_96_less_1, two_64_less_1, "-4294967296", "1"},
    };
    // clang-format on
    using Outputs = std::pair<BigNum*, BigNum*>;
    for (const Row& row : rows) {
        for (std::size_t place = 0; place < 3; ++place) {
            SCOPED_TRACE(std::string(row.a) + ", " + row.b + " outputs " + std::to_string(place));
            const Num a, b, x, y;
            big_from_dec(row.a, a);
            big_from_dec(row.b, b);
            const auto [out_x, out_y] = std::array{Outputs{x, y}, Outputs{a, b}, Outputs{b, a}}[place];
            big_xgcd(a, b, out_x, out_y);
            EXPECT_EQ(dec(out_x) + ", " + dec(out_y), std::string(row.x) + ", " + row.y);
        }
    }
}

// Operands as the raw loader leaves them, a zero limb on top: the Euclidean
// chains read them by their value, and so finish.
TEST_F(Euclid, OperandsWithAZeroTopLimbAreReadByTheirValue)
{
    using namespace std::string_view_literals;
    // clang-format off
    struct Row { Binary op; std::string_view a, b; const char* result; }; // raw bytes, least significant first
    const Row rows[] = {
        {big_gcd, "\1\0\0\0\0\0\0\0"sv, "\0\0\0\0\0\0\0\x80"sv, "1"}, // once a chain without end
        {big_gcd, "\0\0\0\0\0\0\0\x80"sv, "\1\0\0\0\0\0\0\0"sv, "1"},
        {big_gcd, "\x0C\0\0\0\0\0\0\0"sv, "\0\0\0\0\0\0\0\0"sv, "12"},
        {big_lcm, "\6\0\0\0\0\0\0\0"sv, "\x0A\0\0\0\0\0\0\0"sv, "30"},
        {big_lcm, "\0\0\0\0\0\0\0\0"sv, "\0\0\0\0"sv, "raises"},
        {big_invmod, "\3\0\0\0\0\0\0\0"sv, "\7\0\0\0\0\0\0\0"sv, "5"},
        {big_invmod, "\6\0\0\0\0\0\0\0"sv, "\x09\0\0\0\0\0\0\0"sv, "raises"},
    };
    // clang-format on
    for (const Row& row : rows) {
        const Num a, b, r;
        big_from_raw(row.a.data(), static_cast<std::uint32_t>(row.a.size()), a, 0);
        big_from_raw(row.b.data(), static_cast<std::uint32_t>(row.b.size()), b, 0);
        try {
            row.op(a, b, r);
            EXPECT_EQ(dec(r), row.result);
        } catch (const big_division_by_zero&) {
            EXPECT_STREQ("raises", row.result);
        }
    }
}
