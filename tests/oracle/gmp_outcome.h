// SPDX-License-Identifier: MIT
// What a value-type operation gave, as text to compare with GMP's: a value in
// hexadecimal, or the kind of error raised; and GMP's side of pow_mod.
// Shared by the differential tests and the value type's fuzz target.

#ifndef BIGNUM_TESTS_ORACLE_GMP_OUTCOME_H
#define BIGNUM_TESTS_ORACLE_GMP_OUTCOME_H

#include <bignum/integer.h>
#include <gmpxx.h>

#include <stdexcept>
#include <string>

namespace bignum_oracle {

// Hexadecimal, the cheap conversion both ways.
inline std::string text(const bignum::integer& x) { return x.to_string(16); }
inline std::string text(const mpz_class& x) { return x.get_str(-16); }

// base^exp mod |mod| as pow_mod gives it: mpz_powm, with a negative exponent
// through the inverse, and "division by zero" where there is none.
inline std::string pow_mod_text(const mpz_class& base, const mpz_class& exp, const mpz_class& mod)
{
    mpz_class b = base;
    if (mod == 0 || (exp < 0 && mpz_invert(b.get_mpz_t(), base.get_mpz_t(), mod.get_mpz_t()) == 0)) {
        return "division by zero";
    }
    mpz_class r;
    mpz_powm(r.get_mpz_t(), b.get_mpz_t(), mpz_class(abs(exp)).get_mpz_t(), mod.get_mpz_t());
    return text(r);
}

// run()'s text, or the kind of error it raised; a big_error reads as its
// message.
template <class Run>
std::string outcome(Run run)
{
    try {
        return run();
    } catch (const big_error& e) {
        return e.what();
    } catch (const big_division_by_zero&) {
        return "division by zero";
    } catch (const std::domain_error&) {
        return "domain";
    } catch (const std::overflow_error&) {
        return "overflow";
    } catch (const std::invalid_argument&) {
        return "invalid";
    } catch (const std::length_error&) {
        return "length";
    }
}

} // namespace bignum_oracle

#endif // BIGNUM_TESTS_ORACLE_GMP_OUTCOME_H
