// SPDX-License-Identifier: MIT
// Modular product and exponentiation: both paths of big_powmod, the
// Montgomery exponentiation called directly, signed operands, and the moduli
// that must be refused.

#include "../support.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

using namespace bignum_test;
using Modexp = BignumTest;

namespace {

using Modular = void (*)(const BigNum*, const BigNum*, const BigNum*, BigNum*);

// Rows name their operation by tag: function addresses need not compare equal
// across a DLL boundary, which would skip the Montgomery cross-check there.
enum Op { mulmod, powmod, mont };

Modular operation(Op op) { return std::array<Modular, 3>{big_mulmod, big_powmod, big_powmod_mont}[op]; }

// r = op(a, b, m) from decimal text, with r fresh, then r each operand in
// turn, "-0" a negative zero both ways; a zero divisor "raises", and "wrote
// r" too if r changed.
std::vector<std::string> in_every_place(Modular op, const char* a_dec, const char* b_dec, const char* m_dec)
{
    std::vector<std::string> results;
    for (std::size_t place = 0; place < 4; ++place) {
        const Num a, b, m, fresh;
        from_dec(a_dec, a);
        from_dec(b_dec, b);
        from_dec(m_dec, m);
        BigNum* const r = std::array<BigNum*, 4>{fresh, a, b, m}[place];
        const std::string before = hex(r);
        try {
            op(a, b, m, r);
            results.push_back(signed_dec(r));
        } catch (const big_division_by_zero&) {
            results.emplace_back(hex(r) == before ? "raises" : "raises, wrote r");
        }
    }
    return results;
}

// n = (2^127 - 1)(2^89 - 1), d the inverse of 65537 modulo (p - 1)(q - 1),
// m the bytes of "secret message." and its NUL, c = m^d mod n.
constexpr const char* n = "105312291668557186697918027513529248857806893649219117400977309697";
constexpr const char* d = "52724439659078533542050878056119532687363428290303798353933435053";
constexpr const char* m = "153387658519937005636689866774171430400";
constexpr const char* c = "28938771443874103820064320896278088636152887996932354223011257055";
// 2^224 - 1: seven limbs, whose Montgomery products need more than precision
// 64's eight, though a base below it shifts into Montgomery form.
constexpr const char* two_224_less_1 = "26959946667150639794667015087019630673637144422540572481103610249215";

} // namespace

// Every powmod row with an odd modulus runs through big_powmod_mont as well.
TEST_F(Modexp, MulmodAndPowmodIntoEveryPlaceOrRefusedBeforeWriting)
{
    // Too long to be multiplied or shifted as it is; reduced first, it fits.
    const std::string nines(1230, '9'), minus_nines = "-" + nines;
    // clang-format off
    struct Row { Op op; const char *a, *b, *m, *result; std::uint32_t bits = 1024; };
    const Row rows[] = {
        {mulmod, "123456789123", "987654321987", "1000000007", "187830321"}, {mulmod, "-7", "3", "5", "-1"},
        {mulmod, "7", "-3", "5", "-1"}, {mulmod, "-7", "-3", "5", "1"}, {mulmod, "6", "7", "-5", "2"},
        {mulmod, "-3", "5", "15", "0"}, {powmod, "4", "13", "497", "445"}, {powmod, "3", "4", "10", "1"},
        {powmod, "3", "200", "1024", "161"}, {powmod, "12", "3", "8", "0"}, {powmod, "7", "0", "10", "1"},
        {powmod, "0", "0", "10", "1"}, {powmod, "0", "5", "10", "0"}, {powmod, "3", "-4", "10", "1"},
        {powmod, "3", "200", "18446744073709551616", "6627890308811632801"},
        {powmod, "18446744073709551617", "2", "10", "9"}, // an unreduced base on the even path
        {powmod, "0", "0", "13", "1"}, {powmod, "9", "0", "13", "1"}, {powmod, "5", "0", "1", "0"},
        {powmod, "5", "3", "1", "0"}, {powmod, "0", "3", "13", "0"}, {powmod, "10", "1", "7", "3"},
        {powmod, "2", "-5", "7", "4"}, {powmod, "2", "5", "4294967295", "32"},
        {powmod, "3", "2", "18446744073709551615", "9"}, {powmod, "2", "4294967297", "4294967295", "2"},
        {powmod, "65537", "3", "2305843009213693951", "281487861809153"},
        // a negative base is brought into range; a negative modulus acts as its magnitude
        {powmod, "-2", "3", "7", "6"}, {powmod, "-2", "3", "10", "2"}, {powmod, "-100", "1", "7", "5"},
        {powmod, "-7", "1", "7", "0"}, {powmod, "-4", "1", "2", "0"}, {powmod, "2", "5", "-7", "4"},
        {powmod, "3", "3", "-10", "7"}, {powmod, "-2", "3", "-7", "6"}, {powmod, "-3", "3", "-10", "3"},
        {powmod, "-0", "3", "13", "0"}, {powmod, "-0", "3", "10", "0"}, {powmod, "-0", "0", two_224_less_1, "1", 64},
        {powmod, "-1", "0", two_224_less_1, "1", 64}, // a base below the modulus fits as it is
        {powmod, "-79228162514264337593543950270", "167", "79228162514264337593543950271", "1", 32}, // or as 1
        {powmod, m, d, n, c}, {powmod, c, "65537", n, m},
        {powmod, nines.c_str(), "3", "18446744073709551615", "724588000520130699"},
        {powmod, nines.c_str(), "3", "18446744073709551616", "18446744073709551615"},
        {mulmod, nines.c_str(), nines.c_str(), "1000000007", "871790123"},
        {mulmod, minus_nines.c_str(), nines.c_str(), "1000000007", "-871790123"},
        {mulmod, "12345678901234567890", nines.c_str(), "18446744073709551615", "11433411623736574065"}, {mulmod, "5", "3", "0", "raises"},
        {powmod, "5", "3", "0", "raises"}, {mont, "5", "3", "0", "raises"},
        {mont, "5", "3", "2", "raises"}, {mont, "5", "3", "-10", "raises"},
        {mont, "5", "3", "18446744073709551616", "raises"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.a) + ", " + row.b + " mod " + row.m);
        big_set_precision(row.bits);
        const std::vector<std::string> expected(4, row.result);
        EXPECT_EQ(in_every_place(operation(row.op), row.a, row.b, row.m), expected);
        if (row.op == powmod && (std::string_view(row.m).back() - '0') % 2 != 0) {
            EXPECT_EQ(in_every_place(big_powmod_mont, row.a, row.b, row.m), expected);
        }
    }
}
