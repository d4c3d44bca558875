// SPDX-License-Identifier: MIT
// The value type's methods beside mpz_class at the sizes where they break:
// each method's thresholds, its rare steps and its worst operands, one table
// per method.

#include <bignum/integer.h>
#include <gmpxx.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using bignum::integer;

namespace {

// The same value on both sides, from GMP's hexadecimal text.
[[maybe_unused]] integer ours(const mpz_class& x) { return integer::parse(x.get_str(16), 16); }
[[maybe_unused]] std::string hex(const integer& x) { return x.to_string(16); }
[[maybe_unused]] std::string hex(const mpz_class& x) { return x.get_str(-16); }

// A random value of exactly `bits` bits (bits >= 1), from a fixed seed.
[[maybe_unused]] mpz_class random_bits(gmp_randclass& random, unsigned long bits)
{
    mpz_class x = random.get_z_bits(bits);
    mpz_setbit(x.get_mpz_t(), bits - 1);
    return x;
}

} // namespace

// --- products ---------------------------------------------------------------


// --- division ---------------------------------------------------------------


// --- modular exponentiation and primes ---------------------------------------


// --- gcd, inverse and symbols -------------------------------------------------


// --- text -------------------------------------------------------------------


// --- storage ----------------------------------------------------------------

