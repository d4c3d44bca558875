// SPDX-License-Identifier: MIT
// The value type's text: integer::parse in every base (0 and the refused 1
// and 37 included), operator>> under each basefield, and a few operators on
// what was read, at precisions from 32 to 16383 bits. Acceptance and values
// are checked against GMP's mpz_set_str where its grammar is the same, and
// against a long long read from the same stream; every value read must come
// back from to_string in every base, agree with mpz_get_str, and survive
// parse(to_string(x, b), b).
//
// Input: one control byte (bits 0-1 the precision, bit 2 parse or
// operator>>, bits 3-4 the basefield, bit 5 skipws), one byte for the base
// (modulo 38), then the text.

#include "fuzz_support.h"

#include <bignum/integer.h>

#include <gmp.h>

#include <array>
#include <climits>
#include <sstream>
#include <string>

using namespace bignum_fuzz;
using bignum::integer;

namespace {

constexpr std::array<std::uint32_t, 4> precisions{32, 256, 1024, 16383};

class Mpz {
public:
    Mpz() { mpz_init(z_); }
    ~Mpz() { mpz_clear(z_); }
    Mpz(const Mpz&) = delete;
    Mpz& operator=(const Mpz&) = delete;
    Mpz(Mpz&&) = delete;
    Mpz& operator=(Mpz&&) = delete;
    mpz_ptr get() { return z_; }

    [[nodiscard]] std::string text(int base)
    {
        std::string s(mpz_sizeinbase(z_, base) + 2, '\0');
        mpz_get_str(s.data(), -base, z_);
        s.resize(s.find('\0'));
        return s;
    }
    [[nodiscard]] bool fits(std::uint32_t capacity_bits) { return mpz_sizeinbase(z_, 2) <= capacity_bits; }

private:
    mpz_t z_;
};

std::uint32_t capacity_bits() { return 32 * big_limb_capacity(); }

// x in GMP, through hexadecimal text (itself checked by the loops below).
void to_mpz(const integer& x, Mpz& z)
{
    check(mpz_set_str(z.get(), x.to_string(16).c_str(), 16) == 0, "hex text GMP refuses");
}

// Past this many bits only a few bases are written, and no operators run,
// so that long inputs keep the fuzzer fast.
constexpr std::uint32_t every_base_bits = 2048;

// Every base's text agrees with GMP's and reads back.
void check_text(const integer& x)
{
    Mpz z;
    to_mpz(x, z);
    for (int base = 2; base <= 36; ++base) {
        if (x.bit_length() > every_base_bits && base != 10 && base != 16 && base != 36) {
            continue;
        }
        const std::string text = x.to_string(base);
        check(text == z.text(base), "to_string differs from mpz_get_str");
        check(integer::parse(text, base) == x, "parse(to_string(x, b), b) differs from x");
    }
}

// Products, quotients and remainders of x against GMP, or the capacity error
// where GMP's result does not fit.
void check_operators(const integer& x)
{
    if (x.bit_length() > every_base_bits) {
        return;
    }
    Mpz z;
    to_mpz(x, z);
    Mpz want;
    mpz_mul(want.get(), z.get(), z.get());
    mpz_add(want.get(), want.get(), z.get());
    try {
        const integer got = x * x + x;
        check(got.to_string(16) == want.text(16), "x * x + x differs from GMP");
    } catch (const big_error&) {
        check(!want.fits(capacity_bits()), "capacity error for a result that fits");
    }
    mpz_tdiv_q_ui(want.get(), z.get(), 7);
    check((x / 7).to_string(16) == want.text(16), "x / 7 differs from GMP");
    mpz_tdiv_r_ui(want.get(), z.get(), 7);
    check((x % 7).to_string(16) == want.text(16), "x % 7 differs from GMP");
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

void fuzz_parse(const std::string& text, int base)
{
    Mpz z;
    const bool comparable = gmp_reads_alike(text, base);
    const bool gmp_accepts = comparable && mpz_set_str(z.get(), text.c_str(), base) == 0;
    try {
        const integer x = integer::parse(text, base);
        check(!comparable || gmp_accepts, "accepted what GMP refuses");
        if (comparable) {
            check(x.to_string(base) == z.text(base), "value differs from mpz_set_str");
        }
        check_text(x);
        check_operators(x);
    } catch (const bignum::parse_error& e) {
        check(e.position() <= text.size(), "error position past the text");
        check(!gmp_accepts, "refused what GMP accepts");
    } catch (const big_error&) {
        check(!gmp_accepts || !z.fits(capacity_bits()), "capacity error for a value that fits");
    } catch (const std::invalid_argument&) {
        check(base == 1 || base > 36, "a valid base refused");
    }
}

// Against a long long read from the same stream: the same state and stop
// wherever the number fits one, and a failed read changes nothing.
void fuzz_stream(const std::string& text, std::ios_base::fmtflags flags)
{
    std::istringstream ours(text);
    std::istringstream theirs(text);
    ours.flags(flags);
    theirs.flags(flags);
    integer x = 7;
    long long y = 7;
    theirs >> y;
    try {
        ours >> x;
    } catch (const big_error&) {
        check(x == 7, "a capacity error changed the integer");
        return;
    }
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
        check_text(x);
        check_operators(x);
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
