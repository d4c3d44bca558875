// SPDX-License-Identifier: MIT
// The number theory a user of the value type reaches for: on its public
// operations where those carry the work, on the limb routines for the
// symbols and the extended gcd.

#include "../limbs/small_primes.h"
#include "internals.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <stdexcept>
#include <utility>
#include <vector>

namespace bignum {

namespace {

using limbs::is_small_prime;

// Which residues modulo M squares have.
template <std::uint32_t M>
constexpr std::array<bool, M> square_residues = [] {
    std::array<bool, M> squares{};
    for (std::uint32_t i = 0; i < M; ++i) {
        squares.at(i * i % M) = true;
    }
    return squares;
}();
template <std::uint32_t M>
bool is_square_modulo(std::uint32_t r)
{
    return square_residues<M>.at(r % M);
}

// x mod 8 (two's complement, so for every sign).
unsigned mod_8(const integer& x) { return (x & 7).to<unsigned>(); }

// (a/n) for odd n > 0 and any a, by the limb routine on |a|: (-1/n) is
// -1 exactly for n = 3 mod 4.
int odd_jacobi(const integer& a, const integer& n)
{
    const int symbol = limbs::jacobi(integer_internals::magnitude(a), integer_internals::magnitude(n));
    return a.sign() < 0 && mod_8(n) % 4 == 3 ? -symbol : symbol;
}

// The product of words[first, last), split in halves so that the factors
// of each product are alike in size.
integer product_tree(const std::vector<std::uint64_t>& words, std::size_t first, std::size_t last)
{
    if (last - first <= 1) {
        return first == last ? integer(1) : integer(words[first]);
    }
    const std::size_t middle = first + (last - first) / 2;
    integer r = product_tree(words, first, middle);
    r *= product_tree(words, middle, last);
    return r;
}

// The product of the odd numbers in (low, high]: runs of them multiplied
// as built-ins while a word holds the product, then those words' tree.
integer odd_product_between(std::uint64_t low, std::uint64_t high)
{
    std::vector<std::uint64_t> words;
    std::uint64_t word = 1;
    for (std::uint64_t f = (low + 1) | 1U; f <= high; f += 2) {
        if (word > std::numeric_limits<std::uint64_t>::max() / f) {
            words.push_back(word);
            word = 1;
        }
        word *= f;
    }
    words.push_back(word);
    return product_tree(words, 0, words.size());
}

} // namespace

void integer::set_bit(std::uint64_t n)
{
    if (!test_bit(n)) {
        *this |= integer(1) << n;
    }
}

// Only a change is computed: a bit that already reads as asked stays, so
// clearing a high bit of a non-negative value costs nothing.
void integer::clear_bit(std::uint64_t n)
{
    if (test_bit(n)) {
        *this &= ~(integer(1) << n);
    }
}

void integer::flip_bit(std::uint64_t n) { *this ^= integer(1) << n; }

std::uint64_t integer::countr_zero() const
{
    // The lowest set bit of x and of its two's complement -x is the same.
    const limbs::view m = integer_internals::magnitude(*this);
    const auto first = std::ranges::find_if(m, [](limbs::limb l) { return l != 0; });
    if (first == m.end()) {
        throw std::domain_error("bignum: zero has no lowest set bit");
    }
    return static_cast<std::uint64_t>(first - m.begin()) * limbs::limb_bits +
           static_cast<std::uint64_t>(std::countr_zero(*first));
}

integer next_prime(const integer& x)
{
    if (x < limbs::odd_small_primes.back()) {
        return x < 2 ? integer(2) : integer(*std::ranges::upper_bound(limbs::odd_small_primes, x.to<std::uint32_t>()));
    }
    // Odd candidates above the sieve's primes: one with no residue 0 goes
    // to the full test.
    integer candidate = x + (x.test_bit(0) ? 2 : 1);
    std::array<std::uint32_t, limbs::odd_small_prime_count> residues{};
    std::ranges::transform(limbs::odd_small_primes, residues.begin(),
                           [&](std::uint32_t p) { return (candidate % p).to<std::uint32_t>(); });
    while (std::ranges::find(residues, 0U) != residues.end() || !is_probable_prime(candidate)) {
        candidate += 2;
        std::ranges::transform(residues, limbs::odd_small_primes, residues.begin(),
                               [](std::uint32_t r, std::uint32_t p) { return (r + 2) % p; });
    }
    return candidate;
}

int jacobi(const integer& a, const integer& n)
{
    if (n.sign() <= 0 || !n.test_bit(0)) {
        throw std::domain_error("bignum: the Jacobi symbol needs an odd positive n");
    }
    return odd_jacobi(a, n);
}

// (a/n) as Jacobi's for the odd part of |n|, times (a/-1) for a negative n
// and (a/2) for each factor 2.
int kronecker(const integer& a, const integer& n)
{
    if (n.sign() == 0) {
        return abs(a) == 1 ? 1 : 0;
    }
    int symbol = n.sign() < 0 && a.sign() < 0 ? -1 : 1;
    const integer m = abs(n);
    const std::uint64_t twos = m.countr_zero();
    if (twos > 0) {
        if (!a.test_bit(0)) {
            return 0;
        }
        if (twos % 2 == 1 && (mod_8(a) == 3 || mod_8(a) == 5)) {
            symbol = -symbol;
        }
    }
    const integer odd = m >> twos;
    return symbol * odd_jacobi(a, odd);
}

bool is_perfect_square(const integer& x)
{
    if (x.sign() < 0 || !is_square_modulo<64>((x & 63).to<std::uint32_t>())) {
        return false;
    }
    // One division screens modulo 63, 65 and 11 at once.
    const auto r = (x % (63 * 65 * 11)).to<std::uint32_t>();
    if (!is_square_modulo<63>(r) || !is_square_modulo<65>(r) || !is_square_modulo<11>(r)) {
        return false;
    }
    return sqrt_rest(x).rest.sign() == 0;
}

// a^(pq) is (a^q)^p, so prime exponents p suffice, below the bit length;
// with m = 2^z times odd and z > 0, p divides z. A negative value needs an
// odd p.
bool is_perfect_power(const integer& x)
{
    const integer m = abs(x);
    if (m <= 1) {
        return true;
    }
    const std::uint64_t twos = m.countr_zero();
    for (std::uint32_t p = x.sign() < 0 ? 3 : 2; p < m.bit_length(); ++p) {
        if (is_small_prime(p) && (twos == 0 || twos % p == 0) &&
            (p == 2 ? is_perfect_square(m) : pow(iroot(m, p), p) == m)) {
            return true;
        }
    }
    return false;
}

integer floor_div(const integer& a, const integer& b)
{
    auto [q, r] = divmod(a, b);
    return r.sign() * b.sign() < 0 ? q - 1 : q;
}

integer floor_mod(const integer& a, const integer& b)
{
    integer r = a % b;
    return r.sign() * b.sign() < 0 ? r + b : r;
}

integer ceil_div(const integer& a, const integer& b)
{
    auto [q, r] = divmod(a, b);
    return r.sign() * b.sign() > 0 ? q + 1 : q;
}

// n! = 2^(n - popcount n) times, for each i, the odd numbers up to n >> i;
// those products build on one another from the smallest range up.
integer factorial(std::uint64_t n)
{
    // log2(n!) from the logarithm of the gamma function, so that a result
    // no limb count can describe is refused before any work.
    if (std::lgamma(static_cast<double>(n) + 1) / std::log(2.0) >
        static_cast<double>(integer_internals::max_limbs) * limbs::limb_bits) {
        throw std::length_error("bignum: " + std::to_string(n) + "! is larger than any size");
    }
    integer odd_part = 1;
    integer odd_up_to = 1;
    for (int i = static_cast<int>(std::bit_width(n)) - 1; i >= 0; --i) {
        odd_up_to *= odd_product_between(n >> i >> 1U, n >> i);
        odd_part *= odd_up_to;
    }
    return odd_part << (n - static_cast<std::uint64_t>(std::popcount(n)));
}

// C(n - k + i, i) from C(n - k + i - 1, i - 1): times (n - k + i), over i.
// The division goes first, by what of i the new factor does not cancel,
// so that no step outgrows the result; it is exact because that part of i
// is coprime to the factor yet divides the product.
integer binomial(std::uint64_t n, std::uint64_t k)
{
    if (k > n) {
        return 0;
    }
    k = std::min(k, n - k);
    integer c = 1;
    for (std::uint64_t i = 1; i <= k; ++i) {
        const std::uint64_t factor = n - k + i;
        const std::uint64_t common = std::gcd(factor, i);
        c = c / (i / common) * (factor / common);
    }
    return c;
}

// Doubling by two squares a = F(k)^2 and b = F(k - 1)^2: F(2k + 1) =
// 4a - b + 2(-1)^k, F(2k - 1) = a + b and F(2k) = F(2k + 1) - F(2k - 1),
// over the bits of n from the top.
integer fibonacci(std::uint64_t n)
{
    if (n == 0) {
        return 0;
    }
    integer f = 1; // F(k)
    integer g = 0; // F(k - 1)
    std::uint64_t k = 1;
    for (int i = static_cast<int>(std::bit_width(n)) - 2; i >= 0; --i) {
        f *= f;
        g *= g;
        integer up = f;
        up <<= 2;
        up -= g;
        up += k % 2 == 0 ? 2 : -2; // F(2k + 1)
        f += g;                    // F(2k - 1)
        k *= 2;
        if ((n >> i & 1U) != 0) {
            g = up;
            g -= f; // F(2k)
            f = std::move(up);
            ++k;
        } else {
            g.swap(f);
            f = std::move(up);
            f -= g; // F(2k)
        }
    }
    return f;
}

// The limb routine gives g and the cofactor of |a|, chosen as GMP chooses
// it; t then follows from g = s a + t b by one exact division.
gcd_ext_result gcd_ext(const integer& a, const integer& b)
{
    const limbs::view ma = integer_internals::magnitude(a);
    const limbs::view mb = integer_internals::magnitude(b);
    if (ma.empty() && mb.empty()) {
        return {0, 0, 0};
    }
    integer g;
    integer s;
    integer_internals::result g_room(g, std::max(ma.size(), mb.size()), true);
    integer_internals::result s_room(s, std::max<std::size_t>(mb.size(), 1), true);
    const limbs::gcd_ext_result r = limbs::gcd_ext(g_room.limbs(), s_room.limbs(), ma, mb);
    g_room.commit(r.g_size, false);
    s_room.commit(r.s_size, r.s_negative != (a.sign() < 0));
    integer t = b ? (g - s * a) / b : integer(0);
    return {std::move(g), std::move(s), std::move(t)};
}

} // namespace bignum
