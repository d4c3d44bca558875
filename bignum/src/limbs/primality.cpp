// SPDX-License-Identifier: MIT
// Probable-prime tests of limb spans: trial division by the odd primes below
// 1024, then the Baillie-PSW test (Baillie and Wagstaff, "Lucas
// pseudoprimes", 1980): a strong probable-prime test to base 2 and a strong
// Lucas test with Selfridge's parameters (the strong Lucas test as FIPS
// 186-5 gives it), which no composite below 2^64 passes; then, for rounds
// beyond 24, strong tests to pseudo-random bases from a fixed seed.

#include "limbs.h"
#include "montgomery.h"
#include "small_primes.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>
#include <random>

namespace bignum::limbs {

namespace {

// Trial division: every odd prime below trial_limit, grouped so that each
// group's product fits a limb and one division by it tries the whole group.
constexpr limb trial_limit = small_prime_limit;

struct prime_group {
    limb product;
    std::size_t first;
    std::size_t end;
};

// Calls f(group) for each run of odd_small_primes whose product fits a limb.
template <class F>
constexpr void for_each_group(F f)
{
    std::size_t first = 0;
    while (first < odd_small_prime_count) {
        limb product = 1;
        std::size_t end = first;
        while (end < odd_small_prime_count && product <= std::numeric_limits<limb>::max() / odd_small_primes.at(end)) {
            product *= odd_small_primes.at(end++);
        }
        f(prime_group{product, first, end});
        first = end;
    }
}

constexpr std::size_t group_count = [] {
    std::size_t count = 0;
    for_each_group([&count](prime_group) { ++count; });
    return count;
}();

constexpr std::array<prime_group, group_count> prime_groups = [] {
    std::array<prime_group, group_count> groups{};
    std::size_t i = 0;
    for_each_group([&](prime_group g) { groups.at(i++) = g; });
    return groups;
}();

enum class verdict { composite, prime, unknown };

// For odd x > 1: composite when a small prime divides it and is not x
// itself, prime when none does and x < trial_limit^2, else unknown.
verdict trial_division(view x) noexcept
{
    for (const prime_group& group : prime_groups) {
        const limb rest = mod_1(x, group.product);
        for (std::size_t i = group.first; i < group.end; ++i) {
            if (rest % odd_small_primes.at(i) == 0) {
                return x.size() == 1 && x[0] == odd_small_primes.at(i) ? verdict::prime : verdict::composite;
            }
        }
    }
    return x.size() == 1 && x[0] < trial_limit * trial_limit ? verdict::prime : verdict::unknown;
}

bool is_zero(view a) noexcept
{
    return std::all_of(a.begin(), a.end(), [](limb v) { return v == 0; });
}

// The strong probable-prime test of odd x = ring's modulus to a base a
// whose powers `power(y, d)` puts into y in Montgomery form: with
// x - 1 = d 2^s, d odd, either a^d = 1 or a^(d 2^i) = -1 for some i < s.
template <class Power>
bool strong_probable_prime(const montgomery& ring, const Power& power)
{
    const std::size_t n = ring.size();
    const view x = ring.modulus();
    scratch room(4 * n + ring.work_size());
    const span x_minus_1 = room.first(n);
    const span d = room.all().subspan(n, n);
    const span minus_one = room.all().subspan(2 * n, n);
    const span y = room.all().subspan(3 * n, n);
    const span work = room.all().subspan(4 * n);
    sub_1(x_minus_1, x, 1);
    const std::size_t s = trailing_zeros(x_minus_1);
    std::fill(d.begin(), d.end(), 0);
    shift_right_bits(d, x_minus_1, s);
    ring.sub(minus_one, x, ring.one());
    power(y, view(trimmed(d)));
    if (compare_same_size(y, ring.one()) == 0 || compare_same_size(y, minus_one) == 0) {
        return true;
    }
    for (std::size_t i = 1; i < s; ++i) {
        ring.sqr(y, y, work);
        if (compare_same_size(y, minus_one) == 0) {
            return true;
        }
        if (compare_same_size(y, ring.one()) == 0) {
            return false;
        }
    }
    return false;
}

// The Jacobi symbol (a / b) for odd b > 0, by quadratic reciprocity.
int jacobi(limb a, limb b) noexcept
{
    int sign = 1;
    a %= b;
    while (a != 0) {
        const auto twos = std::countr_zero(a);
        a >>= twos;
        // (2 / b) = -1 for b = 3, 5 mod 8.
        if ((twos & 1) != 0 && (b % 8 == 3 || b % 8 == 5)) {
            sign = -sign;
        }
        // Reciprocity flips the sign when both are 3 mod 4.
        if (a % 4 == 3 && b % 4 == 3) {
            sign = -sign;
        }
        const limb r = b % a;
        b = a;
        a = r;
    }
    return b == 1 ? sign : 0;
}

// (d / x) for odd x > d, d = +-magnitude odd: (|d| / x) = (x / |d|) up to
// reciprocity's sign, and (-1 / x) = -1 for x = 3 mod 4.
int jacobi_of_small(view x, limb magnitude, bool negative) noexcept
{
    int sign = 1;
    if (negative && x[0] % 4 == 3) {
        sign = -sign;
    }
    if (magnitude % 4 == 3 && x[0] % 4 == 3) {
        sign = -sign;
    }
    return sign * jacobi(mod_1(x, magnitude), magnitude);
}

// Whether x is a perfect square: the floor of its root by Newton's
// iteration from above, squared.
bool is_square(view x)
{
    const std::size_t n = x.size();
    scratch room(5 * n + 2);
    const span root = room.first(n);
    const span next = room.all().subspan(n, n);
    const span quotient = room.all().subspan(2 * n, n + 1);
    const span rest = room.all().subspan(3 * n + 1, n);
    const span product = room.all().subspan(4 * n + 1, n + 1);
    std::fill(root.begin(), root.end(), 0);
    const std::size_t half = (bit_length(x) + 1) / 2;
    root[half / limb_bits] |= limb{1} << (half % limb_bits);
    for (;;) {
        // next = (root + x / root) / 2
        const view r = trimmed(root);
        const span q = quotient.first(n - r.size() + 1);
        divrem(q, rest.first(r.size()), x, r);
        std::fill(next.begin(), next.end(), 0);
        std::copy(q.begin(), q.begin() + static_cast<std::ptrdiff_t>(std::min(q.size(), n)), next.begin());
        const limb carry = add(next, next, root);
        shift_right(next, next, 1);
        next[n - 1] |= carry << (limb_bits - 1);
        if (compare_same_size(next, root) >= 0) {
            break;
        }
        std::copy(next.begin(), next.end(), root.begin());
    }
    const view r = trimmed(root);
    std::fill(product.begin(), product.end(), 0);
    mul(product.first(2 * r.size()), r, r);
    return compare(trimmed(product), x) == 0;
}

// D = -magnitude when negative, else +magnitude.
struct lucas_discriminant {
    limb magnitude;
    bool negative;
};

// The first D of 5, -7, 9, -11, ... with (D / x) = -1 for odd x, or none
// when the search shows x composite: a D sharing a factor with it, or x a
// square, which has no such D.
std::optional<lucas_discriminant> selfridge_discriminant(view x)
{
    lucas_discriminant d{5, false};
    for (int tried = 0;; ++tried) {
        // A few misses are worth the check for a square.
        if (tried == 8 && is_square(x)) {
            return std::nullopt;
        }
        const int symbol = jacobi_of_small(x, d.magnitude, d.negative);
        if (symbol == -1) {
            return d;
        }
        if (symbol == 0 && (x.size() > 1 || x[0] != d.magnitude)) {
            return std::nullopt;
        }
        d = {d.magnitude + 2, !d.negative};
    }
}

// The strong Lucas test of odd x = ring's modulus with P = 1 and
// Q = (1 - D) / 4 for Selfridge's D: with x + 1 = d 2^s, d odd, either
// U_d = 0 or V_(d 2^i) = 0 for some i < s. Doubling: U_2k = U_k V_k,
// V_2k = V_k^2 - 2 Q^k; adding one: U_k+1 = (U_k + V_k) / 2,
// V_k+1 = (D U_k + V_k) / 2.
bool strong_lucas_probable_prime(const montgomery& ring)
{
    const view x = ring.modulus();
    const std::optional<lucas_discriminant> found = selfridge_discriminant(x);
    if (!found) {
        return false;
    }
    const auto [magnitude, negative] = *found;
    // Q = (1 - D) / 4: for D = 5, -7, 9, -11, ..., |Q| = (|D| -+ 1) / 4 with
    // the opposite sign of D.
    const limb q_magnitude = negative ? (magnitude + 1) / 4 : (magnitude - 1) / 4;
    const bool q_negative = !negative;

    const std::size_t n = ring.size();
    scratch room(6 * n + 1 + ring.work_size());
    const span u = room.first(n);
    const span v = room.all().subspan(n, n);
    const span qk = room.all().subspan(2 * n, n);
    const span t = room.all().subspan(3 * n, n);
    const span t2 = room.all().subspan(4 * n, n);
    const span d = room.all().subspan(5 * n, n + 1);
    const span work = room.all().subspan(6 * n + 1);

    // x + 1 = d 2^s
    d[n] = add_1(d.first(n), x, 1);
    const std::size_t s = trailing_zeros(d);
    shift_right_bits(d.first(n + 1 - s / limb_bits), d, s);
    const view exponent = trimmed(d.first(n + 1 - s / limb_bits));

    const auto times_small = [&](span r, view a, limb c, bool minus) {
        ring.mul_small(t2, a, c);
        if (minus) {
            std::fill(r.begin(), r.end(), 0);
            ring.sub(r, r, t2);
        } else {
            std::copy(t2.begin(), t2.end(), r.begin());
        }
    };
    std::copy(ring.one().begin(), ring.one().end(), u.begin());
    std::copy(ring.one().begin(), ring.one().end(), v.begin());
    times_small(qk, ring.one(), q_magnitude, q_negative);
    // Q^2k: with Q = -1 (D = 5, half of all primes) it is 1, no squaring.
    const auto square_qk = [&] {
        if (q_magnitude == 1 && q_negative) {
            std::copy(ring.one().begin(), ring.one().end(), qk.begin());
        } else {
            ring.sqr(qk, qk, work);
        }
    };
    const auto double_index = [&] {
        ring.mul(u, u, v, work);
        ring.sqr(v, v, work);
        ring.sub(v, v, qk);
        ring.sub(v, v, qk);
        square_qk();
    };
    for (std::size_t i = bit_length(exponent) - 1; i-- > 0;) {
        double_index();
        if (bit_at(exponent, i)) {
            times_small(t, u, magnitude, negative);
            ring.add(t, t, v);
            ring.add(u, u, v);
            ring.half(u, u);
            ring.half(v, t);
            times_small(qk, qk, q_magnitude, q_negative);
        }
    }
    if (is_zero(u) || is_zero(v)) {
        return true;
    }
    for (std::size_t i = 1; i < s; ++i) {
        ring.sqr(v, v, work);
        ring.sub(v, v, qk);
        ring.sub(v, v, qk);
        if (is_zero(v)) {
            return true;
        }
        square_qk();
    }
    return false;
}

} // namespace

bool is_probable_prime(view x, int rounds)
{
    x = trimmed(x);
    if (x.empty() || (x.size() == 1 && x[0] < 3)) {
        return x.size() == 1 && x[0] == 2;
    }
    if ((x[0] & 1) == 0) {
        return false;
    }
    if (const verdict v = trial_division(x); v != verdict::unknown) {
        return v == verdict::prime;
    }
    const montgomery ring(x);
    const std::size_t n = x.size();
    scratch room(3 * n);
    const span base = room.first(n);
    const span random = room.all().subspan(n, n);
    const span x_minus_3 = room.all().subspan(2 * n, n);
    const auto power_of_two = [&ring](span y, view d) { ring.pow_two(y, d); };
    const auto power_of_base = [&ring, base](span y, view d) { ring.pow(y, base, d); };
    if (!strong_probable_prime(ring, power_of_two) || !strong_lucas_probable_prime(ring)) {
        return false;
    }
    // Bases 2 .. x - 2, from a fixed seed so that an answer is repeatable.
    std::mt19937_64 generator(0x6270737721ULL);
    sub_1(x_minus_3, x, 3);
    const view range = trimmed(x_minus_3);
    for (int i = 24; i < rounds; ++i) {
        std::generate(random.begin(), random.end(), [&] { return static_cast<limb>(generator()); });
        std::fill(base.begin(), base.end(), 0);
        mod(base.first(range.size()), random, range);
        add_1(base, base, 2);
        ring.to_form(base, view(base));
        if (!strong_probable_prime(ring, power_of_base)) {
            return false;
        }
    }
    return true;
}

} // namespace bignum::limbs
