// SPDX-License-Identifier: MIT
// Schoolbook products, squares and word products, and their capacity limit.

#include "../support.h"

#include <functional>
#include <string>

using namespace bignum_test;

namespace {

using Multiplication = BignumTest;

// Runs a x b (in big_to_hex form) every way the operands allow: big_mul into
// a longer dirty BigNum and into either operand, big_sqr and big_mul (x, x, x)
// when a = b, big_mul_word when b is one non-negative limb, big_mul10 when b
// is ten. An empty product does not fit and must raise big_error.
void expect_product(const std::string& a, const std::string& b, const std::string& product)
{
    SCOPED_TRACE(a + " x " + b);
    const auto expect = [&](const std::function<void(BigNum * x, const BigNum* y)>& multiply) {
        const Num x(a);
        if (product.empty()) {
            EXPECT_THROW(multiply(x, Num(b)), big_error);
            return;
        }
        multiply(x, Num(b));
        EXPECT_EQ(hex(x), product);
        EXPECT_TRUE(upper_limbs_clear(x));
    };
    expect([](BigNum* x, const BigNum* y) {
        const Num r("-DEADBEEFDEADBEEFDEADBEEFDEADBEEFDEADBEEFDEADBEEF");
        big_mul(x, y, r);
        big_copy(x, r);
    });
    expect([](BigNum* x, const BigNum* y) { big_mul(x, y, x); });
    expect([](BigNum* x, const BigNum* y) { big_mul(y, x, x); });
    if (a == b) {
        expect([](BigNum* x, const BigNum*) { big_sqr(x); });
        expect([](BigNum* x, const BigNum*) { big_mul(x, x, x); });
    }
    if (b.size() <= 8 && b[0] != '-') {
        expect([](BigNum* x, const BigNum* y) { big_mul_word(x, big_limbs(y)[0]); });
    }
    if (b == "0A") {
        expect([](BigNum* x, const BigNum*) { big_mul10(x); });
    }
}

// The value `top` shifted up by limbs - 1 zero limbs, in big_to_hex form.
std::string over_zero_limbs(const char* top, std::uint32_t limbs) { return top + std::string(8 * (limbs - 1), '0'); }

} // namespace

TEST_F(Multiplication, ProductsInEveryOperandOrder)
{
    struct Row {
        const char *a, *b, *product;
    };
    const Row rows[] = {{"00", "-0123456789", "00"},
                        {"-0123", "00", "00"},
                        {"00", "07", "00"},
                        {"-07", "03", "-15"},
                        {"-03", "-05", "0F"},
                        {"-01", "-01", "01"},
                        {"-03", "-03", "09"},
                        {"-FFFFFFFF", "0A", "-09FFFFFFF6"}, // a top limb that carries, far below the capacity
                        {"-01", "0123456789ABCDEF0123", "-0123456789ABCDEF0123"},
                        {"FFFFFFFF", "FFFFFFFF", "FFFFFFFE00000001"},
                        {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFE0000000000000001"},
                        {"-FFFFFFFFFFFFFFFF", "010000", "-FFFFFFFFFFFFFFFF0000"},
                        {"0123456789ABCDEF01234567", "-FEDCBA9876543210", "-0121FA00AD77D7422358D29009CA39E1358E7470"},
                        {"FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF",
                         "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", // carries in the square
                         "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFE0000000000000000000000000000000000000001"}};
    for (const Row& row : rows) {
        expect_product(row.a, row.b, row.product);
        expect_product(row.b, row.a, row.product);
    }
}

// Operands are one non-zero top limb over zero limbs, so the product, when it
// fits, is the top limbs' product over all their zero limbs.
TEST_F(Multiplication, ProductPastCapacityRaises)
{
    big_set_precision(128); // capacity 16
    struct Row {
        const char *a_top, *b_top;
        std::uint32_t a_limbs, b_limbs;
        const char* product_top;
    };
    const Row rows[] = {{"FFFFFFFF", "FFFFFFFF", 8, 8, "FFFFFFFE00000001"},
                        {"FFFFFFFF", "FFFFFFFF", 9, 9, nullptr},
                        {"01", "-01", 9, 8, "-01"},
                        {"FFFF", "FFFF", 9, 8, "FFFE0001"}, // one limb over, yet the product fits
                        {"010000", "010000", 9, 8, nullptr},
                        {"01", "01", 10, 8, nullptr},
                        {"80000000", "01", 16, 1, "80000000"},
                        {"01", "FFFFFFFF", 16, 1, "FFFFFFFF"},
                        {"80000000", "02", 16, 1, nullptr}};
    for (const Row& row : rows) {
        const std::string product =
            row.product_top == nullptr ? "" : over_zero_limbs(row.product_top, row.a_limbs + row.b_limbs - 1);
        expect_product(over_zero_limbs(row.a_top, row.a_limbs), over_zero_limbs(row.b_top, row.b_limbs), product);
    }
}

// All-ones operands of n <= m limbs, around the length where products and
// squares switch from rows to columns, every column sum and carry at its
// largest: (2^32n - 1)(2^32m - 1) = (2^32n - 2) 2^32m + 2^32m - 2^32n + 1.
// Then the column form's top limb at the capacity.
TEST_F(Multiplication, AllOnesAcrossTheColumnForm)
{
    const auto ones = [](std::size_t limbs) { return std::string(8 * limbs, 'F'); };
    const std::size_t lengths[][2] = {{15, 15}, {15, 40}, {16, 16}, {16, 17}, {17, 17},
                                      {16, 47}, {31, 33}, {33, 33}, {64, 64}};
    for (const auto& [n, m] : lengths) {
        const std::string product =
            std::string(8 * n - 1, 'F') + "E" + std::string(8 * (m - n), 'F') + std::string(8 * n - 1, '0') + "1";
        expect_product(ones(n), ones(m), product);
        expect_product(ones(m), ones(n), product);
    }
    // Used counts one limb over the capacity of 128: the top limb decides.
    expect_product(over_zero_limbs("FFFF", 65), over_zero_limbs("FFFF", 64), over_zero_limbs("FFFE0001", 128));
    expect_product(over_zero_limbs("010000", 65), over_zero_limbs("010000", 64), "");
}
