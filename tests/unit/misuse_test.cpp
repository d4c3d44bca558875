// SPDX-License-Identifier: MIT
// Every precondition the library checks ends in its own error: never a write
// past a block (the sanitizer build watches for that), never a leaked
// temporary (the fixture counts blocks), never a changed argument.

#include "../support.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

using namespace bignum_test;
using Misuse = BignumTest;

namespace {
// Every limb of the capacity set: nothing can be added to it.
std::string all_ones() { return std::string(8 * std::size_t{big_limb_capacity()}, 'F'); }
// One byte more than a block holds.
std::string too_long() { return std::string(4 * std::size_t{big_limb_capacity()} + 1, 'Z'); }
// Decimal digits of a value past the capacity.
std::string too_many_nines() { return std::string(10 * std::size_t{big_limb_capacity()} + 1, '9'); }

// Runs `operation`; when it raises, checks that every argument was kept,
// its whole block as before, then lets the error go on.
void kept(std::initializer_list<const BigNum*> arguments, const std::function<void()>& operation)
{
    std::vector<std::vector<std::uint32_t>> before;
    for (const BigNum* x : arguments) {
        before.push_back(block_of(x));
    }
    try {
        operation();
    } catch (...) {
        std::size_t i = 0;
        for (const BigNum* x : arguments) {
            EXPECT_TRUE(block_of(x) == before.at(i)) << "argument " << i + 1 << " changed";
            ++i;
        }
        throw;
    }
}

} // namespace

TEST_F(Misuse, EveryCheckedPreconditionRaisesTheLibraryErrorAndChangesNoArgument)
{
    // Each row makes its own BigNums, so that none is alive between rows, and
    // hands every argument to `kept`.
    // clang-format off
    using R = big_error::reason;
    struct Row { const char* misuse; R why; std::function<void()> run; };
    const Row rows[] = {
        {"precision of 0 bits", R::precision_out_of_range, [] { big_set_precision(0); }},
        {"precision with the low 14 bits zero", R::precision_out_of_range, [] { big_set_precision(0x4000); }},
        {"precision of 20000 bits", R::precision_out_of_range, [] { big_set_precision(20000); }},
        {"precision of 2^20 + 512 bits", R::precision_out_of_range, [] { big_set_precision(0x100200); }},
        {"precision under a live BigNum", R::precision_while_alive, [] { const Num x; big_set_precision(512); }},
        {"carry out of big_add", R::capacity_exceeded,
         [] { const Num x(all_ones()), one("1"); kept({x, one}, [&] { big_add(x, one); }); }},
        {"carry out of big_add into itself", R::capacity_exceeded,
         [] { const Num x(all_ones()); kept({x}, [&] { big_add(x, x); }); }},
        {"carry out of big_add, top limb alone", R::capacity_exceeded,
         [] { const Num x("8" + all_ones().substr(1)); kept({x}, [&] { big_add(x, x); }); }},
        {"carry out of big_sub", R::capacity_exceeded,
         [] { const Num x(all_ones()), one("-1"); kept({x, one}, [&] { big_sub(x, one); }); }},
        {"carry out of big_inc", R::capacity_exceeded,
         [] { const Num x(all_ones()); kept({x}, [&] { big_inc(x); }); }},
        {"carry out of big_dec", R::capacity_exceeded,
         [] { const Num x("-" + all_ones()); kept({x}, [&] { big_dec(x); }); }},
        {"carry out of big_add_word", R::capacity_exceeded,
         [] { const Num x(all_ones()); kept({x}, [&] { big_add_word(x, 1); }); }},
        {"carry out of big_shl1", R::capacity_exceeded,
         [] { const Num x(all_ones()); kept({x}, [&] { big_shl1(x); }); }},
        {"bits spilled out of big_shl", R::capacity_exceeded,
         [] { const Num x("-1" + all_ones().substr(1)); kept({x}, [&] { big_shl(x, 4); }); }},
        {"bits spilled out of big_shl_to", R::capacity_exceeded,
         [] { const Num x("1" + all_ones().substr(1)), r("5"); kept({x, r}, [&] { big_shl_to(x, 36, r); }); }},
        {"whole limbs shifted past the capacity", R::capacity_exceeded,
         [] { const Num x("1"); kept({x}, [&] { big_shl(x, 32 * big_limb_capacity()); }); }},
        {"whole limbs shifted past the capacity into r", R::capacity_exceeded,
         [] { const Num x("1"), r("5"); kept({x, r}, [&] { big_shl_to(x, 32 * big_limb_capacity(), r); }); }},
        {"product too long", R::capacity_exceeded,
         [] { const Num x(all_ones()); kept({x}, [&] { big_mul(x, x, x); }); }},
        {"carry out of a product's last row", R::capacity_exceeded,
         [] { const Num x(all_ones()), two("2"); kept({x, two}, [&] { big_mul(x, two, two); }); }},
        {"square too long", R::capacity_exceeded,
         [] { const Num x(all_ones()); kept({x}, [&] { big_sqr(x); }); }},
        {"carry out of big_mul_word", R::capacity_exceeded,
         [] { const Num x(all_ones()); kept({x}, [&] { big_mul_word(x, 2); }); }},
        {"carry out of big_mul10", R::capacity_exceeded,
         [] { const Num x(all_ones()); kept({x}, [&] { big_mul10(x); }); }},
        {"carry out of big_mul10, top limb alone", R::capacity_exceeded,
         [] { const Num x("2" + all_ones().substr(1)); kept({x}, [&] { big_mul10(x); }); }},
        {"modular product of reduced operands too long", R::capacity_exceeded,
         [] { const Num x("7" + all_ones().substr(1)), m(all_ones()); kept({x, m}, [&] { big_mulmod(x, x, m, x); }); }},
        {"lcm too long", R::capacity_exceeded,
         [] { const Num a(all_ones()), b("-" + all_ones().substr(1)); kept({a, b}, [&] { big_lcm(a, b, b); }); }},
        {"power modulo a modulus too long to square", R::capacity_exceeded, [] {
             const Num x("-7"), e("3"), m(all_ones().substr(1) + "E");
             kept({x, e, m}, [&] { big_powmod(x, e, m, x); });
         }},
        {"Montgomery products past the capacity", R::capacity_exceeded, [] {
             const Num x("3"), e("5"), m(std::string(8 * big_limb_capacity() - 24, 'B'));
             kept({x, e, m}, [&] { big_powmod_mont(x, e, m, x); });
         }},
        {"Montgomery radix past the capacity", R::capacity_exceeded,
         [] { const Num n(all_ones()), r("5"); kept({n, r}, [&] { big_powmod_mont(r, r, n, r); }); }},
        {"decimal text past the capacity", R::capacity_exceeded,
         [] { const Num x("-ABC"); kept({x}, [&] { big_from_dec(too_many_nines().c_str(), x); }); }},
        {"hexadecimal text too long", R::text_too_long,
         [] { const Num x("-ABC"); kept({x}, [&] { big_from_hex(("1" + all_ones()).c_str(), x); }); }},
        {"raw bytes too long", R::bytes_too_long, [] {
             const Num x("-ABC");
             kept({x}, [&] { big_from_raw(too_long().data(), 4 * big_limb_capacity() + 1, x, 0); });
         }},
        {"text too long", R::bytes_too_long, [] {
             const Num x("-ABC");
             kept({x}, [&] { big_from_text(too_long().data(), 4 * big_limb_capacity() + 1, x, 0); });
         }},
        {"raw sign 2", R::invalid_sign,
         [] { const Num x("-ABC"); kept({x}, [&] { big_from_raw("a", 1, x, 2); }); }},
        {"text sign 0x100", R::invalid_sign,
         [] { const Num x("-ABC"); kept({x}, [&] { big_from_text("a", 1, x, 0x100); }); }},
        {"big_divmod with q = r", R::quotient_is_remainder,
         [] { const Num a("7"), b("2"), q("-5"); kept({a, b, q}, [&] { big_divmod(a, b, q, q); }); }},
        {"big_xgcd with x = y", R::x_is_y,
         [] { const Num a("7"), b("2"), x("-5"); kept({a, b, x}, [&] { big_xgcd(a, b, x, x); }); }},
        {"big_invmod with r = m", R::result_is_modulus,
         [] { const Num a("3"), m("7"); kept({a, m}, [&] { big_invmod(a, m, m); }); }},
        {"big_push_limb at the capacity", R::capacity_exceeded,
         [] { const Num x(all_ones()); kept({x}, [&] { big_push_limb(x, 1); }); }},
        {"a caller's own failure", R::general, [] { big_raise_error(); }},
        {"a caller's own error", R::general, [] { throw big_error{}; }},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.misuse);
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
