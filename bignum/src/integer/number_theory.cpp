// SPDX-License-Identifier: MIT
// The number theory a user of the value type reaches for, written on its
// public operations alone (arithmetic, shifts, divmod, isqrt, pow,
// is_probable_prime), so that it holds whatever the storage beneath.

#include <bignum/integer.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <stdexcept>
#include <utility>

namespace bignum {

namespace {

constexpr bool is_prime_by_trial(std::uint64_t n) noexcept
{
    if (n < 2) {
        return false;
    }
    for (std::uint64_t d = 2; d * d <= n; ++d) {
        if (n % d == 0) {
            return false;
        }
    }
    return true;
}

// The odd primes below 1024: next_prime's sieve.
constexpr std::uint32_t sieve_limit = 1024;
constexpr std::size_t odd_prime_count = [] {
    std::size_t count = 0;
    for (std::uint32_t n = 3; n < sieve_limit; n += 2) {
        count += is_prime_by_trial(n) ? 1 : 0;
    }
    return count;
}();
constexpr auto odd_primes = [] {
    std::array<std::uint32_t, odd_prime_count> primes{};
    std::size_t i = 0;
    for (std::uint32_t n = 3; n < sieve_limit; n += 2) {
        if (is_prime_by_trial(n)) {
            primes.at(i++) = n;
        }
    }
    return primes;
}();

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

// (a/n) for 0 <= a and odd n > 0, by the binary method: twos leave a with
// the second supplement's sign, two odd values swap with reciprocity's,
// and the larger loses the smaller.
int odd_jacobi(integer a, integer n)
{
    int symbol = 1;
    while (a.sign() != 0) {
        const std::uint32_t twos = a.countr_zero();
        a >>= twos;
        if (twos % 2 == 1 && (mod_8(n) == 3 || mod_8(n) == 5)) {
            symbol = -symbol;
        }
        if (a < n) {
            a.swap(n);
            if (mod_8(a) % 4 == 3 && mod_8(n) % 4 == 3) {
                symbol = -symbol;
            }
        }
        a -= n;
    }
    return n == 1 ? symbol : 0;
}

// floor(x / y^e) for x >= 0, y >= 1, dividing by powers of y that each fit
// the capacity and reach past x at most by one factor y; nested floors of
// divisions are the floor of the whole.
integer quotient_by_power(const integer& x, const integer& y, std::uint64_t e)
{
    const std::uint64_t bits = y.bit_length();
    const std::uint64_t piece =
        std::max<std::uint64_t>(1, std::min<std::uint64_t>(capacity_bits(), x.bit_length() + bits) / bits);
    integer q = x;
    while (e > 0 && q.sign() != 0) {
        const std::uint64_t n = std::min(e, piece);
        q /= pow(y, n);
        e -= n;
    }
    return q;
}

// One Newton step towards the k-th root of x from y > 0. From any y it
// lands at the root's floor or above (the arithmetic mean of y, ..., y and
// x / y^(k-1) is at least their geometric mean).
integer newton_step(const integer& x, const integer& y, std::uint64_t k)
{
    return (integer(k - 1) * y + quotient_by_power(x, y, k - 1)) / integer(k);
}

// x^(1/k) from the top 64 bits of x through double logarithms: near the
// root, so that Newton starts with half the bits right.
integer root_estimate(const integer& x, std::uint64_t k)
{
    const std::uint32_t bits = x.bit_length();
    const std::uint32_t dropped = bits > 64 ? bits - 64 : 0;
    const double log2_root = (std::log2((x >> dropped).to_double()) + dropped) / static_cast<double>(k);
    const double whole = std::floor(log2_root);
    constexpr int mantissa_bits = 52;
    const integer mantissa(std::exp2(log2_root - whole + mantissa_bits));
    const auto shift = static_cast<std::int64_t>(whole) - mantissa_bits;
    return (shift >= 0 ? mantissa << shift : mantissa >> -shift) + 1;
}

// The product of `count` odd numbers from `first` on, split in halves so
// that the factors of each product are alike in size.
integer odd_run_product(std::uint64_t first, std::uint64_t count)
{
    if (count <= 1) {
        return count == 0 ? integer(1) : integer(first);
    }
    const std::uint64_t half = count / 2;
    return odd_run_product(first, half) * odd_run_product(first + 2 * half, count - half);
}

// The product of the odd numbers in (low, high].
integer odd_product_between(std::uint64_t low, std::uint64_t high)
{
    const std::uint64_t first = (low + 1) | 1U;
    return odd_run_product(first, high >= first ? (high - first) / 2 + 1 : 0);
}

} // namespace

void integer::set_bit(std::uint64_t n)
{
    if (!test_bit(n)) {
        *this |= integer(1) << n;
    }
}

// Only a change is computed: a bit that already reads as asked stays, even
// past the capacity (bit 10^6 of -1 is set already).
void integer::clear_bit(std::uint64_t n)
{
    if (test_bit(n)) {
        *this &= ~(integer(1) << n);
    }
}

void integer::flip_bit(std::uint64_t n) { *this ^= integer(1) << n; }

std::uint32_t integer::countr_zero() const
{
    if (sign() == 0) {
        throw std::domain_error("bignum: zero has no lowest set bit");
    }
    // x & -x is the lowest set bit alone, for either sign.
    return (*this & -*this).bit_length() - 1;
}

integer next_prime(const integer& x)
{
    if (x < odd_primes.back()) {
        return x < 2 ? integer(2) : integer(*std::ranges::upper_bound(odd_primes, x.to<std::uint32_t>()));
    }
    // Odd candidates above the sieve's primes: one with no residue 0 goes
    // to the full test.
    integer candidate = x + (x.test_bit(0) ? 2 : 1);
    std::array<std::uint32_t, odd_prime_count> residues{};
    std::ranges::transform(odd_primes, residues.begin(),
                           [&](std::uint32_t p) { return (candidate % p).to<std::uint32_t>(); });
    while (std::ranges::find(residues, 0U) != residues.end() || !is_probable_prime(candidate)) {
        candidate += 2;
        std::ranges::transform(residues, odd_primes, residues.begin(),
                               [](std::uint32_t r, std::uint32_t p) { return (r + 2) % p; });
    }
    return candidate;
}

int jacobi(const integer& a, const integer& n)
{
    if (n.sign() <= 0 || !n.test_bit(0)) {
        throw std::domain_error("bignum: the Jacobi symbol needs an odd positive n");
    }
    return odd_jacobi(floor_mod(a, n), n);
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
    const std::uint32_t twos = m.countr_zero();
    if (twos > 0) {
        if (!a.test_bit(0)) {
            return 0;
        }
        if (twos % 2 == 1 && (mod_8(a) == 3 || mod_8(a) == 5)) {
            symbol = -symbol;
        }
    }
    const integer odd = m >> twos;
    return symbol * odd_jacobi(floor_mod(a, odd), odd);
}

integer iroot(const integer& x, std::uint64_t k)
{
    if (k == 0) {
        throw std::domain_error("bignum: there is no 0th root");
    }
    if (x.sign() < 0) {
        if (k % 2 == 0) {
            throw std::domain_error("bignum: an even root of a negative value");
        }
        return -iroot(-x, k);
    }
    if (k == 1 || x.sign() == 0) {
        return x;
    }
    if (k >= x.bit_length()) {
        return 1; // 1 <= x < 2^k
    }
    // Newton from at or above the floor decreases until it reaches it.
    integer root = newton_step(x, root_estimate(x, k), k);
    for (integer next = newton_step(x, root, k); next < root; next = newton_step(x, root, k)) {
        root = std::move(next);
    }
    return root;
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
    const integer root = isqrt(x);
    return root * root == x;
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
    const std::uint32_t twos = m.countr_zero();
    for (std::uint32_t p = x.sign() < 0 ? 3 : 2; p < m.bit_length(); ++p) {
        if (is_prime_by_trial(p) && (twos == 0 || twos % p == 0) &&
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

// Fast doubling: F(2m) = F(m) (2 F(m + 1) - F(m)) and F(2m + 1) = F(m)^2 +
// F(m + 1)^2, over the bits of n / 2; the last step makes F(n) alone, so
// nothing bigger than it is needed.
integer fibonacci(std::uint64_t n)
{
    const auto twice = [](const integer& f, const integer& g) { return f * ((g << 1) - f); };
    const auto twice_plus_one = [](const integer& f, const integer& g) { return f * f + g * g; };
    integer f = 0; // F(m)
    integer g = 1; // F(m + 1)
    const std::uint64_t half = n / 2;
    for (int i = static_cast<int>(std::bit_width(half)) - 1; i >= 0; --i) {
        integer even = twice(f, g);
        integer odd = twice_plus_one(f, g);
        if ((half >> i & 1U) != 0) {
            g = even + odd;
            f = std::move(odd);
        } else {
            f = std::move(even);
            g = std::move(odd);
        }
    }
    return n % 2 == 1 ? twice_plus_one(f, g) : twice(f, g);
}

// Euclid on |a| and |b|, then s moved by a multiple of b / g into
// |s| < |b| / 2g (t by the matching multiple of a / g), which fixes it
// but where |b| = 2g leaves two choices: s is then sgn(a), as with b = 0.
gcd_ext_result gcd_ext(const integer& a, const integer& b)
{
    integer r0 = abs(a);
    integer r1 = abs(b);
    integer s0 = 1;
    integer s1 = 0;
    integer t0 = 0;
    integer t1 = 1;
    while (r1.sign() != 0) {
        auto [q, r] = divmod(r0, r1);
        r0 = std::exchange(r1, std::move(r));
        s0 = std::exchange(s1, s0 - q * s1);
        t0 = std::exchange(t1, t0 - q * t1);
    }
    const integer& g = r0;
    if (g.sign() == 0) {
        return {0, 0, 0};
    }
    if (b.sign() == 0) {
        return {g, a.sign(), 0};
    }
    const integer s = a.sign() < 0 ? -s0 : s0;
    const integer t = b.sign() < 0 ? -t0 : t0;
    const integer period = abs(b) / g;
    integer least = floor_mod(s, period);
    if (period == 2) {
        least = a.sign();
    } else if (least * 2 > period) {
        least -= period;
    }
    const integer shift = (least - s) / (b / g);
    return {g, least, t - shift * (a / g)};
}

} // namespace bignum
