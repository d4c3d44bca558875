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

// Hexadecimal, the cheap conversion both ways; "capacity" for a GMP value
// that the capacity cannot hold.
inline std::string text(const bignum::integer& x) { return x.to_string(16); }
inline std::string text(const mpz_class& x)
{
    return mpz_sizeinbase(x.get_mpz_t(), 2) <= bignum::capacity_bits() ? x.get_str(-16) : "capacity";
}

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

// run()'s text, or the kind of error it raised. A capacity refusal reads as
// "capacity" only when its message names the capacity, as every value-type
// refusal must; any other big_error reads as its message.
template <class Run>
std::string outcome(Run run)
{
    try {
        return run();
    } catch (const big_error& e) {
        const std::string what = e.what();
        const std::string capacity = "capacity is " + std::to_string(bignum::capacity_bits()) + " bits";
        const bool named = what.find(capacity) != std::string::npos;
        return e.why() == big_error::reason::capacity_exceeded && named ? "capacity" : what;
    } catch (const big_division_by_zero&) {
        return "division by zero";
    } catch (const std::domain_error&) {
        return "domain";
    } catch (const std::overflow_error&) {
        return "overflow";
    } catch (const std::invalid_argument&) {
        return "invalid";
    }
}

} // namespace bignum_oracle

#endif // BIGNUM_TESTS_ORACLE_GMP_OUTCOME_H
