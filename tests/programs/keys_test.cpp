// SPDX-License-Identifier: MIT
// The built-in keys, checked through the library under each program's
// precision: primes that pass both screens, e x d = 1 mod (p - 1)(q - 1), and
// a message that survives the round trip.

#include "../support.h"
#include "rsabox/keys.h"
#include "rsacon/keys.h"

#include <initializer_list>
#include <string_view>

using namespace bignum_test;

namespace {

struct Key {
    const char* program;
    std::uint32_t precision;
    const char* p;
    const char* q;
    const char* n; // null where the program derives n and d itself
    const char* d;
    std::uint32_t e;
    std::string_view message; // with its terminator, as the program loads it
};

// rsabox ships only n; its factors are kept here to check it.
// clang-format off
constexpr Key keys[] = {
    {"rsacon", 512, rsacon::prime_p, rsacon::prime_q, nullptr, nullptr, rsacon::public_exponent,
     {"secret message.", 16}},
    {"rsabox", 256, "F10A66EE470117AEC4258AEF5EE92F2F", "D6F1ABF08959B89D352DC85406381121", rsabox::modulus,
     rsabox::private_exponent, rsabox::public_exponent, {"neka poruka", 12}},
};
// clang-format on

void check_key(const Key& key)
{
    Num p(key.p);
    Num q(key.q);
    Num n;
    big_mul(p, q, n);
    if (key.n != nullptr) {
        EXPECT_EQ(hex(n), key.n);
    }
    for (BigNum* prime : {p.get(), q.get()}) {
        EXPECT_EQ(big_small_prime_screen(prime), 1U) << hex(prime);
        EXPECT_EQ(big_fermat_test(prime), 1U) << hex(prime);
        big_dec(prime);
    }
    Num phi;
    big_mul(p, q, phi);
    Num e;
    big_set_word(e, key.e);
    Num d;
    if (key.d != nullptr) {
        big_from_hex(key.d, d);
    } else {
        big_invmod(e, phi, d);
    }
    Num ed;
    big_mulmod(e, d, phi, ed);
    EXPECT_EQ(hex(ed), "01");

    Num m;
    big_from_text(key.message.data(), static_cast<std::uint32_t>(key.message.size()), m, 0);
    Num ct;
    big_powmod(m, d, n, ct);
    Num back;
    big_powmod(ct, e, n, back);
    EXPECT_NE(hex(ct), hex(m));
    EXPECT_EQ(hex(back), hex(m));
}

} // namespace

TEST(BuiltInKeys, MakeWorkingRsaKeys)
{
    for (const Key& key : keys) {
        SCOPED_TRACE(key.program);
        big_set_precision(key.precision);
        check_key(key);
        EXPECT_EQ(big_live_blocks(), 0U);
    }
}

TEST(BuiltInKeys, AreSixtyFourUpperCaseDigitsWithoutLeadingZero)
{
    for (std::string_view text : {rsacon::prime_p, rsacon::prime_q, rsabox::modulus, rsabox::private_exponent}) {
        EXPECT_EQ(text.size(), 64U) << text;
        EXPECT_NE(text.front(), '0') << text;
        EXPECT_EQ(text.find_first_not_of("0123456789ABCDEF"), std::string_view::npos) << text;
    }
}
