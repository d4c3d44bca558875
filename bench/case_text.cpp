// SPDX-License-Identifier: MIT
// The value type's decimal text beside GMP's mpz_get_str, at 4,096 bits and
// at 65,536 bits, registered as
// "to_string/<library>/<bits>". Each result is checked against GMP's decimal
// text of the same operand before it is timed.

#include "cases.h"

#include <bignum/integer.h>

#include <benchmark/benchmark.h>
#include <gmp.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

namespace bench {

namespace {

constexpr std::array text_sizes{4096U, 65536U};

void require_decimal(const std::string& got, unsigned bits, const char* library)
{
    if (got != operands(bits).decimal) {
        std::fprintf(stderr, "to_string/%s/%u disagrees with the operand's decimal text\n", library, bits);
        std::abort();
    }
}

void bignum_to_string(benchmark::State& state, unsigned bits)
{
    const bignum::integer x = bignum::integer::parse(hex_of(operands(bits).a), 16);
    require_decimal(x.to_string(), bits, "bignum");
    for (auto _ : state) {
        std::string text = x.to_string();
        benchmark::DoNotOptimize(text);
    }
}

void gmp_to_string(benchmark::State& state, unsigned bits)
{
    const Limbs& a = operands(bits).a;
    mpz_t z;
    mpz_init(z);
    mpz_import(z, a.size(), -1, sizeof(Limb), 0, 0, a.data());
    std::string text(mpz_sizeinbase(z, 10) + 2, '\0');
    require_decimal(mpz_get_str(text.data(), 10, z), bits, "gmp");
    for (auto _ : state) {
        mpz_get_str(text.data(), 10, z);
        benchmark::ClobberMemory();
    }
    mpz_clear(z);
}

} // namespace

void register_text_cases()
{
    for (const unsigned bits : text_sizes) {
        const std::string size = std::to_string(bits);
        benchmark::RegisterBenchmark(("to_string/bignum/" + size).c_str(),
                                     [bits](benchmark::State& state) { bignum_to_string(state, bits); });
        benchmark::RegisterBenchmark(("to_string/gmp/" + size).c_str(),
                                     [bits](benchmark::State& state) { gmp_to_string(state, bits); });
    }
}

} // namespace bench
