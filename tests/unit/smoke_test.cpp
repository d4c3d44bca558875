// SPDX-License-Identifier: MIT
#include "../support.h"

using namespace bignum_test;

class Smoke : public BignumTest {};

TEST_F(Smoke, RoundTrips)
{
    Num p("E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855");
    Num q("-123456789ABCDEF");
    Num r;
    big_mul(p, q, r);
    EXPECT_EQ(hex(p), "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855");
    Num back;
    big_divmod(r, q, back, nullptr);
    EXPECT_EQ(hex(back), hex(p));
    Num e("10001");
    Num n("3B5"); // 949 odd
    big_powmod(e, e, n, r);
    EXPECT_EQ(dec(q), "-81985529216486895");
}
