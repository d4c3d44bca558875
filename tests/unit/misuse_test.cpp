// SPDX-License-Identifier: MIT
// Every precondition the library checks ends in its own error: never a write
// past a block (the sanitizer build watches for that), never a leaked
// temporary (the fixture counts blocks).

#include "../support.h"

#include <functional>
#include <string>

using namespace bignum_test;
using Misuse = BignumTest;

namespace {
// Every limb of the capacity set: nothing can be added to it.
std::string all_ones() { return std::string(8 * std::size_t{big_limb_capacity()}, 'F'); }
// One byte more than a block holds.
std::string too_long() { return std::string(4 * std::size_t{big_limb_capacity()} + 1, 'Z'); }
} // namespace

TEST_F(Misuse, EveryCheckedPreconditionRaisesTheLibraryError)
{
    // Each row makes its own BigNums, so that none is alive between rows.
    // clang-format off
    using R = big_error::reason;
    struct Row { const char* misuse; R why; std::function<void()> run; };
    const Row rows[] = {
        {"precision of 0 bits", R::precision_out_of_range, [] { big_set_precision(0); }},
        {"precision with the low 14 bits zero", R::precision_out_of_range, [] { big_set_precision(0x4000); }},
        {"precision of 20000 bits", R::precision_out_of_range, [] { big_set_precision(20000); }},
        {"precision of 2^20 + 512 bits", R::precision_out_of_range, [] { big_set_precision(0x100200); }},
        {"precision under a live BigNum", R::precision_while_alive, [] { const Num x; big_set_precision(512); }},
        {"carry out of big_add", R::capacity_exceeded, [] { const Num x(all_ones()); big_add(x, Num("1")); }},
        {"carry out of big_add_word", R::capacity_exceeded, [] { const Num x(all_ones()); big_add_word(x, 1); }},
        {"carry out of big_shl1", R::capacity_exceeded, [] { const Num x(all_ones()); big_shl1(x); }},
        {"whole limbs shifted past the capacity", R::capacity_exceeded, [] { const Num x("1"); big_shl(x, 32 * big_limb_capacity()); }},
        {"product too long", R::capacity_exceeded, [] { const Num x(all_ones()), r; big_mul(x, x, r); }},
        {"carry out of a product's last row", R::capacity_exceeded, [] { const Num x(all_ones()), r; big_mul(x, Num("2"), r); }},
        {"square too long", R::capacity_exceeded, [] { const Num x(all_ones()); big_sqr(x); }},
        {"carry out of big_mul_word", R::capacity_exceeded, [] { const Num x(all_ones()); big_mul_word(x, 2); }},
        {"carry out of big_mul10", R::capacity_exceeded, [] { const Num x(all_ones()); big_mul10(x); }},
        {"Montgomery radix past the capacity", R::capacity_exceeded, [] { const Num n(all_ones()), r; big_powmod_mont(r, r, n, r); }},
        {"decimal text past the capacity", R::capacity_exceeded,
         [] { const Num x; big_from_dec(std::string(10 * std::size_t{big_limb_capacity()} + 1, '9').c_str(), x); }},
        {"hexadecimal text too long", R::text_too_long, [] { const Num x; big_from_hex(("1" + all_ones()).c_str(), x); }},
        {"raw bytes too long", R::bytes_too_long, [] { const Num x; big_from_raw(too_long().data(), 4 * big_limb_capacity() + 1, x, 0); }},
        {"text too long", R::bytes_too_long, [] { const Num x; big_from_text(too_long().data(), 4 * big_limb_capacity() + 1, x, 0); }},
        {"raw sign 2", R::invalid_sign, [] { const Num x; big_from_raw("a", 1, x, 2); }},
        {"text sign 0x100", R::invalid_sign, [] { const Num x; big_from_text("a", 1, x, 0x100); }},
        {"big_divmod with q = r", R::quotient_is_remainder, [] { const Num a("7"), b("2"), q; big_divmod(a, b, q, q); }},
        {"big_xgcd with x = y", R::x_is_y, [] { const Num a("7"), b("2"), x; big_xgcd(a, b, x, x); }},
        {"big_invmod with r = m", R::result_is_modulus, [] { const Num a("3"), m("7"); big_invmod(a, m, m); }},
    };
    // clang-format on
    for (const Row& row : rows) {
        try {
            row.run();
            ADD_FAILURE() << row.misuse << " was accepted";
        } catch (const big_error& e) {
            EXPECT_EQ(e.why(), row.why) << row.misuse;
            EXPECT_EQ(e.code(), 0x0BADC0DEU) << row.misuse;
            EXPECT_EQ(std::string(e.what()).rfind("bignum: ", 0), 0U) << row.misuse;
        }
    }
}
