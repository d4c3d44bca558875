// SPDX-License-Identifier: MIT
// The value type against GMP's mpz_class. First the text: integer::parse in
// every base (0 and the refused 1 and 37 included) and operator>> under each
// basefield. Acceptance and values are checked against mpz_set_str where its
// grammar is the same, and against a long long read from the same stream;
// every value read must come back from to_string in every base, agree with
// mpz_get_str, survive parse(to_string(x, b), b), and go into a handle API
// block and back exactly where the block's precision (32 to 16383 bits)
// holds it, refused naming the capacity where it does not. Then the
// operators on what was read, for every sign: x beside companions made from
// it (x + 1, ~x, -(x >> 3)), a moved-from integer and small constants,
// through the bit operations, shifts, divmod, pow_mod with negative
// operands, isqrt, test_bit and the checked conversions, each result or
// error against GMP's.
//
// Input: one control byte (bits 0-1 the blocks' precision, bit 2 parse or
// operator>>, bits 3-4 the basefield, bit 5 skipws), one byte for the base
// (modulo 38), then the text.

#include "../tests/oracle/gmp_outcome.h"
#include "fuzz_support.h"

#include <bignum/integer.h>

#include <gmpxx.h>

#include <array>
#include <climits>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

using namespace bignum_fuzz;
using bignum::integer;
using bignum_oracle::outcome;
using bignum_oracle::text;

namespace {

constexpr std::array<std::uint32_t, 4> precisions{32, 256, 1024, 16383};

// x in GMP, through hexadecimal text (itself checked by check_text).
mpz_class to_mpz(const integer& x)
{
    mpz_class z;
    check(z.set_str(x.to_string(16), 16) == 0, "hex text GMP refuses");
    return z;
}

// Past this many bits only a few bases are written, and past the second no
// operators run, so that long inputs keep the fuzzer fast.
constexpr std::uint32_t every_base_bits = 2048;
constexpr std::uint32_t operator_bits = 512;

// Every base's text agrees with GMP's and reads back.
void check_text(const integer& x, const mpz_class& z)
{
    for (int base = 2; base <= 36; ++base) {
        if (x.bit_length() > every_base_bits && base != 10 && base != 16 && base != 36) {
            continue;
        }
        const std::string written = x.to_string(base);
        check(written == z.get_str(-base), "to_string differs from mpz_get_str");
        check(integer::parse(written, base) == x, "parse(to_string(x, b), b) differs from x");
    }
}

// Into a block and back where the capacity holds x; refused otherwise.
void check_block(const integer& x)
{
    const big_scoped block;
    try {
        x.to_block(block);
        check(integer(block.get()) == x, "a value differs after a block");
    } catch (const big_error& e) {
        const std::string capacity = "capacity is " + std::to_string(bignum::capacity_bits()) + " bits";
        check(x.bit_length() > bignum::capacity_bits(), "a block refused a value it holds");
        check(std::string(e.what()).find(capacity) != std::string::npos, "a block refusal without the capacity");
    }
}

void check_unary(const integer& x, const mpz_class& z)
{
    const std::uint64_t bits = x.bit_length();
    for (const std::uint64_t n : std::array<std::uint64_t, 9>{0, 1, 31, 32, 33, 64, bits, bits + 1, bits + 40}) {
        check(x.test_bit(n) == (mpz_tstbit(z.get_mpz_t(), n) != 0), "test_bit differs from mpz_tstbit");
        mpz_class floor;
        mpz_fdiv_q_2exp(floor.get_mpz_t(), z.get_mpz_t(), n);
        check(text(x >> n) == text(floor), ">> differs from mpz_fdiv_q_2exp");
    }
    check(outcome([&] { return text(~x); }) == text(mpz_class(~z)), "~ differs from mpz_com");
    check(outcome([&] { return text(isqrt(x)); }) == (z < 0 ? "domain" : text(mpz_class(sqrt(z)))),
          "isqrt differs from mpz_sqrt");
    check(outcome([&] { return std::to_string(x.to<long>()); }) ==
              (z.fits_slong_p() ? std::to_string(z.get_si()) : "overflow"),
          "to<long> differs from mpz_get_si");
    check(outcome([&] { return std::to_string(x.to<unsigned>()); }) ==
              (z.fits_uint_p() ? std::to_string(z.get_ui()) : "overflow"),
          "to<unsigned> differs from mpz_get_ui");
    check(x.fits<short>() == z.fits_sshort_p() && x.fits<unsigned long>() == z.fits_ulong_p(),
          "fits differs from mpz_fits_*_p");
    check(x.to_double() == z.get_d(), "to_double differs from mpz_get_d");
}

// An integer and GMP's value of it.
struct Pair {
    integer ours;
    mpz_class gmp;
};

// x, what the value type makes from it (checked on the way), a moved-from
// integer and small constants of each sign.
std::vector<Pair> companions(const integer& x, const mpz_class& z)
{
    std::vector<Pair> out;
    const auto add = [&](const auto& make, const mpz_class& want, const char* what) {
        const std::string got = outcome([&] { return text(make()); });
        check(got == text(want), what);
        out.push_back({make(), want});
    };
    add([&] { return x; }, z, "a copy differs");
    add([&] { return x + 1; }, z + 1, "x + 1 differs from GMP");
    add([&] { return ~x; }, ~z, "~x differs from mpz_com");
    add([&] { return -(x >> 3); }, -(z >> 3), "-(x >> 3) differs from GMP");
    for (const int c : {0, -1, 7, -7}) {
        add([c] { return integer(c); }, c, "a small constant differs");
    }
    integer moved = 5;
    const integer taken = std::move(moved);
    out.push_back({std::move(moved), 0}); // NOLINT(bugprone-use-after-move): a moved-from operand
    return out;
}

void check_pow_mod(const Pair& base, const Pair& exp, const Pair& mod)
{
    const std::string got = outcome([&] { return text(pow_mod(base.ours, exp.ours, mod.ours)); });
    check(got == bignum_oracle::pow_mod_text(base.gmp, exp.gmp, mod.gmp), "pow_mod differs from mpz_powm");
}

void check_binary(const Pair& a, const Pair& b)
{
    check(outcome([&] { return text(a.ours & b.ours); }) == text(mpz_class(a.gmp & b.gmp)), "& differs from mpz_and");
    check(outcome([&] { return text(a.ours | b.ours); }) == text(mpz_class(a.gmp | b.gmp)), "| differs from mpz_ior");
    check(outcome([&] { return text(a.ours ^ b.ours); }) == text(mpz_class(a.gmp ^ b.gmp)), "^ differs from mpz_xor");
    check(outcome([&] { return text(a.ours * b.ours); }) == text(mpz_class(a.gmp * b.gmp)), "* differs from mpz_mul");
    const std::string quotient_remainder = outcome([&] {
        const auto [q, r] = divmod(a.ours, b.ours);
        return text(q) + ' ' + text(r);
    });
    check(quotient_remainder ==
              (b.gmp == 0 ? "division by zero" : text(mpz_class(a.gmp / b.gmp)) + ' ' + text(mpz_class(a.gmp % b.gmp))),
          "divmod differs from mpz_tdiv_qr");
    // Exponents of both signs, small enough to keep each run short.
    check_pow_mod(b, {a.ours % 64, mpz_class(a.gmp % 64)}, a);
    check_pow_mod(a, {-1, -1}, b);
    check_pow_mod(a, {3, 3}, b);
}

void check_operators(const integer& x, const mpz_class& z)
{
    if (x.bit_length() > operator_bits) {
        return;
    }
    check_unary(x, z);
    const std::vector<Pair> others = companions(x, z);
    for (const Pair& other : others) {
        check_binary(others.front(), other);
        check_binary(other, others.front());
    }
}

void check_value(const integer& x)
{
    const mpz_class z = to_mpz(x);
    check_text(x, z);
    check_block(x);
    check_operators(x, z);
}

// Texts both grammars read alike in bases 2 to 36: an optional '-', then
// letters and digits, not beginning with a 0 and a letter (GMP skips white
// space, and takes no '+' and no prefix in these bases).
bool gmp_reads_alike(const std::string& text, int base)
{
    constexpr std::string_view alphanumeric = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const std::string_view rest = std::string_view(text).substr(text.starts_with('-') ? 1 : 0);
    const bool prefix_like = rest.size() >= 2 && rest[0] == '0' && alphanumeric.find(rest[1]) >= 10;
    return base >= 2 && base <= 36 && rest.find_first_not_of(alphanumeric) == std::string_view::npos && !prefix_like;
}

void fuzz_parse(const std::string& input, int base)
{
    mpz_class z;
    const bool comparable = gmp_reads_alike(input, base);
    const bool gmp_accepts = comparable && z.set_str(input, base) == 0;
    try {
        const integer x = integer::parse(input, base);
        check(!comparable || gmp_accepts, "accepted what GMP refuses");
        if (comparable) {
            check(x.to_string(base) == z.get_str(-base), "value differs from mpz_set_str");
        }
        check_value(x);
    } catch (const bignum::parse_error& e) {
        check(e.position() <= input.size(), "error position past the text");
        check(!gmp_accepts, "refused what GMP accepts");
    } catch (const std::invalid_argument&) {
        check(base == 1 || base > 36, "a valid base refused");
    }
}

// Against a long long read from the same stream: the same state and stop
// wherever the number fits one, and a failed read changes nothing.
void fuzz_stream(const std::string& input, std::ios_base::fmtflags flags)
{
    std::istringstream ours(input);
    std::istringstream theirs(input);
    ours.flags(flags);
    theirs.flags(flags);
    integer x = 7;
    long long y = 7;
    theirs >> y;
    ours >> x;
    if (ours.fail()) {
        check(x == 7 && theirs.fail(), "failed where a long long was read, or changed the integer");
    } else if (theirs.fail()) {
        check(x > LLONG_MAX || x < LLONG_MIN, "read what fits a long long where a long long failed");
    } else {
        check(x == y && ours.rdstate() == theirs.rdstate(), "read otherwise than a long long");
        ours.clear();
        theirs.clear();
        check(ours.tellg() == theirs.tellg(), "stopped elsewhere than a long long");
    }
    if (!ours.fail()) {
        check_value(x);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    const std::uint8_t control = in.byte();
    const int base = in.byte() % 38;
    const std::span<const std::uint8_t> rest = in.rest();
    const std::string text(rest.begin(), rest.end());
    big_set_precision(precisions.at(control & 3U));
    constexpr std::array<std::ios_base::fmtflags, 4> basefields{std::ios_base::dec, std::ios_base::hex,
                                                                std::ios_base::oct, std::ios_base::fmtflags{}};
    run_without_leaks([&] {
        if ((control & 4U) == 0) {
            fuzz_parse(text, base);
        } else {
            const std::ios_base::fmtflags skip =
                (control & 32U) != 0 ? std::ios_base::skipws : std::ios_base::fmtflags{};
            fuzz_stream(text, basefields.at((control >> 3U) & 3U) | skip);
        }
    });
    return 0;
}
