// SPDX-License-Identifier: MIT
// Reference kernels: the library's own algorithms (schoolbook products,
// restoring bit-serial division, Euclid by repeated division, Montgomery
// exponentiation with R = 2^k and three full products per step) written as
// tightly as they reasonably go: plain limb arrays allocated once, no block
// copies, no normalisation scans from a capacity. They measure what the
// library's bookkeeping costs on top of its arithmetic.

#ifndef BIGNUM_BENCH_REFERENCE_H
#define BIGNUM_BENCH_REFERENCE_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace bench::ref {

using Limb = std::uint32_t;
using Wide = std::uint64_t;

// A magnitude in a buffer allocated once: `size` limbs in use, no zero top
// limb, 0 for zero. Limbs at and above `size` hold anything.
class Value {
public:
    explicit Value(std::size_t capacity) : limbs_(capacity) {}

    [[nodiscard]] Limb* data() noexcept { return limbs_.data(); }
    [[nodiscard]] const Limb* data() const noexcept { return limbs_.data(); }
    [[nodiscard]] std::span<const Limb> view() const noexcept { return {limbs_.data(), size}; }
    [[nodiscard]] bool is_zero() const noexcept { return size == 0; }
    [[nodiscard]] bool is_one() const noexcept { return size == 1 && limbs_[0] == 1; }

    void assign(std::span<const Limb> x) noexcept;
    void set_word(Limb w) noexcept;
    void trim() noexcept;
    friend void swap(Value& x, Value& y) noexcept
    {
        x.limbs_.swap(y.limbs_);
        std::swap(x.size, y.size);
    }

    std::size_t size = 0;

private:
    std::vector<Limb> limbs_;
};

[[nodiscard]] std::size_t bit_length(const Value& x) noexcept;
[[nodiscard]] int compare(const Value& a, const Value& b) noexcept;
void add(Value& a, const Value& b) noexcept;      // a += b
void subtract(Value& a, const Value& b) noexcept; // a -= b; a >= b
void decrement(Value& a) noexcept;                // a -= 1; a >= 1
void add_word(Value& a, Limb w) noexcept;         // a += w
void times_ten(Value& a) noexcept;                // a = 2 (4a + a)
void shift_left(const Value& a, std::size_t count, Value& r) noexcept;
void shift_right(const Value& a, std::size_t count, Value& r) noexcept;
void keep_low_bits(Value& a, std::size_t k) noexcept; // a mod 2^k

// t = a b (t distinct from both); the schoolbook rows accumulate into t, or
// columns are summed where the library sums them.
void multiply(const Value& a, const Value& b, Value& t) noexcept;
// t = a^2: each cross product once, doubled, plus the diagonal.
void square(const Value& a, Value& t) noexcept;
// The same products by columns, vectorised, at the library's kernel level;
// false, touching nothing, where that level keeps the rows (the portable
// level, or an operand below the library's column threshold). t has room
// for na + nb limbs, or 2n.
bool multiply_columns(const Limb* a, std::size_t na, const Limb* b, std::size_t nb, Limb* t) noexcept;
bool square_columns(const Limb* a, std::size_t n, Limb* t) noexcept;
// "portable", "avx2" or "avx512": the library's kernel level.
[[nodiscard]] const char* kernel_level() noexcept;

// Restoring division, one bit of a per step: q = a / b (when q is given) and
// r = a mod b; b non-zero, neither output aliasing an input.
void divide(const Value& a, const Value& b, Value* q, Value& r) noexcept;

// Working values for the operations built from the kernels, each with room
// for `capacity` limbs, so that no operation allocates.
struct Workspace {
    explicit Workspace(std::size_t capacity);
    // Euclid and the decimal writer.
    Value a, b, q, c1, c2, product, rest;
    // Montgomery exponentiation, which also runs Euclid for its constant.
    Value radix, inverse, n_prime, base_m, acc_m, t, u, v;
};

void gcd(const Value& a, const Value& b, Value& r, Workspace& w) noexcept;
// The half-extended Euclid with both coefficients non-negative; r is not m.
void invmod(const Value& a, const Value& m, Value& r, Workspace& w) noexcept;
void powmod_mont(const Value& base, const Value& exp, const Value& n, Value& r, Workspace& w) noexcept;

// Text forms as the library writes and reads them.
void to_dec(const Value& a, char* buf, Workspace& w) noexcept;
void from_dec(const char* text, Value& r) noexcept;
void to_hex(const Value& a, char* buf) noexcept;
void from_hex(const char* text, Value& r) noexcept;
void from_text(const unsigned char* bytes, std::size_t n, Value& r) noexcept;
void to_text(const Value& a, unsigned char* buf) noexcept;

} // namespace bench::ref

#endif // BIGNUM_BENCH_REFERENCE_H
