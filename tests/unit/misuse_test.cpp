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
    struct Row { const char* misuse; std::function<void()> run; };
    const Row rows[] = {
        {"precision of 0 bits", [] { big_set_precision(0); }},
        {"precision with the low 14 bits zero", [] { big_set_precision(0x4000); }},
        {"precision under a live BigNum", [] { const Num x; big_set_precision(512); }},
        {"carry out of big_add", [] { const Num x(all_ones()); big_add(x, Num("1")); }},
        {"carry out of big_add_word", [] { const Num x(all_ones()); big_add_word(x, 1); }},
        {"carry out of big_shl1", [] { const Num x(all_ones()); big_shl1(x); }},
        {"whole limbs shifted past the capacity", [] { const Num x("1"); big_shl(x, 32 * big_limb_capacity()); }},
        {"product too long", [] { const Num x(all_ones()), r; big_mul(x, x, r); }},
        {"carry out of a product's last row", [] { const Num x(all_ones()), r; big_mul(x, Num("2"), r); }},
        {"square too long", [] { const Num x(all_ones()); big_sqr(x); }},
        {"carry out of big_mul_word", [] { const Num x(all_ones()); big_mul_word(x, 2); }},
        {"carry out of big_mul10", [] { const Num x(all_ones()); big_mul10(x); }},
        {"Montgomery radix past the capacity", [] { const Num n(all_ones()), r; big_powmod_mont(r, r, n, r); }},
        {"decimal text past the capacity",
         [] { const Num x; big_from_dec(std::string(10 * std::size_t{big_limb_capacity()} + 1, '9').c_str(), x); }},
        {"hexadecimal text too long", [] { const Num x; big_from_hex(("1" + all_ones()).c_str(), x); }},
        {"raw bytes too long", [] { const Num x; big_from_raw(too_long().data(), 4 * big_limb_capacity() + 1, x, 0); }},
        {"text too long", [] { const Num x; big_from_text(too_long().data(), 4 * big_limb_capacity() + 1, x, 0); }},
        {"raw sign 2", [] { const Num x; big_from_raw("a", 1, x, 2); }},
        {"text sign 0x100", [] { const Num x; big_from_text("a", 1, x, 0x100); }},
        {"big_divmod with q = r", [] { const Num a("7"), b("2"), q; big_divmod(a, b, q, q); }},
        {"big_xgcd with x = y", [] { const Num a("7"), b("2"), x; big_xgcd(a, b, x, x); }},
        {"big_invmod with r = m", [] { const Num a("3"), m("7"); big_invmod(a, m, m); }},
    };
    // clang-format on
    for (const Row& row : rows) {
        EXPECT_THROW(row.run(), big_error) << row.misuse;
    }
}
