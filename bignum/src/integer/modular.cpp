// SPDX-License-Identifier: MIT
// Divisors and residues: gcd, lcm, inv_mod, pow_mod and the primality test.

#include "internals.h"

namespace bignum {

namespace {

using result = integer_internals::result;

limbs::view magnitude(const integer& x) noexcept { return integer_internals::magnitude(x); }

// a mod |m| in 0 .. |m| - 1, for a non-zero m.
integer residue(const integer& a, const integer& m)
{
    integer r = a % m;
    return r.sign() < 0 ? r + abs(m) : r;
}

// The inverse of a modulo |m| > 1, or the refusal naming a as `what`.
integer inverse_or_refuse(const integer& a, const integer& m)
{
    const integer base = residue(a, m);
    integer r;
    result room(r, magnitude(m).size(), true);
    if (!limbs::inverse(room.limbs(), magnitude(base), magnitude(m))) {
        raise_division_by_zero([&] {
            return "bignum: " + shown(a) + " has no inverse modulo " + shown(abs(m)) + " (their gcd is " +
                   shown(gcd(a, m)) + ")";
        });
    }
    room.commit(room.limbs().size(), false);
    return r;
}

} // namespace

integer gcd(const integer& a, const integer& b)
{
    if (!a || !b) {
        return abs(a ? a : b);
    }
    integer r;
    result room(r, std::min(magnitude(a).size(), magnitude(b).size()), true);
    const std::size_t size = limbs::gcd(room.limbs(), magnitude(a), magnitude(b));
    room.commit(size, false);
    return r;
}

integer lcm(const integer& a, const integer& b)
{
    if (!a && !b) {
        raise_division_by_zero([] { return std::string("bignum: lcm(0, 0) divides by their gcd, 0"); });
    }
    if (!a || !b) {
        return {};
    }
    integer r = abs(a) / gcd(a, b);
    r *= abs(b);
    return r;
}

integer inv_mod(const integer& a, const integer& m)
{
    if (!m) {
        raise_division_by_zero([&] { return "bignum: " + shown(a) + " has no inverse modulo 0"; });
    }
    if (m == 1 || m == -1) {
        return {}; // every number is 0 modulo 1, its own inverse
    }
    return inverse_or_refuse(a, m);
}

integer pow_mod(const integer& base, const integer& exp, const integer& mod)
{
    if (!mod) {
        raise_division_by_zero([&] { return "bignum: pow_mod of " + shown(base) + " modulo zero"; });
    }
    if (mod == 1 || mod == -1) {
        return {};
    }
    const integer b = exp.sign() < 0 ? inverse_or_refuse(base, mod) : residue(base, mod);
    integer r;
    result room(r, magnitude(mod).size(), true);
    limbs::pow_mod(room.limbs(), magnitude(b), magnitude(exp), magnitude(mod));
    room.commit(room.limbs().size(), false);
    return r;
}

bool is_probable_prime(const integer& x, int rounds) { return limbs::is_probable_prime(magnitude(x), rounds); }

} // namespace bignum
