// SPDX-License-Identifier: MIT
// Registers every operation, size and library as "operation/library/bits".
// Before a case is timed its result is checked against the library's own;
// a mismatch aborts the run with both results.

#include "cases.h"
#include "reference.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>

namespace {

using namespace bench;

struct Library {
    const char* name;
    std::unique_ptr<Case> (*make)(Op, const Operands&);
};

constexpr std::array libraries{
    Library{"bignum", bignum_case},   Library{"reference", reference_case}, Library{"gmp", gmp_case},
    Library{"openssl", openssl_case}, Library{"tommath", tommath_case},
};

struct Operation {
    const char* name;
    Op op;
};

constexpr std::array operations{
    Operation{"mul", Op::mul},       Operation{"sqr", Op::sqr},
    Operation{"divmod", Op::divmod}, Operation{"powmod_mont", Op::powmod_mont},
    Operation{"gcd", Op::gcd},       Operation{"invmod", Op::invmod},
    Operation{"to_dec", Op::to_dec}, Operation{"from_dec", Op::from_dec},
    Operation{"to_hex", Op::to_hex}, Operation{"rsacon", Op::rsacon},
};

constexpr std::array sizes{256U, 512U, 1024U, 2048U, 4096U};

// The library's own result for an operation and size, computed once.
const std::string& ours(Op op, unsigned bits)
{
    static std::map<std::pair<Op, unsigned>, std::string> known;
    const auto key = std::pair{op, bits};
    auto it = known.find(key);
    if (it == known.end()) {
        it = known.emplace(key, bignum_case(op, operands(bits))->outcome()).first;
    }
    return it->second;
}

void run_case(benchmark::State& state, const Library& library, const Operation& operation, unsigned bits)
{
    const std::string& expected = ours(operation.op, bits);
    const auto c = library.make(operation.op, operands(bits));
    const std::string got = c->outcome();
    if (got != expected) {
        std::fprintf(stderr, "%s/%s/%u disagrees with bignum:\n  %s\n  %s\n", operation.name, library.name, bits,
                     got.c_str(), expected.c_str());
        std::abort();
    }
    for (auto _ : state) {
        c->run();
    }
}

void register_all()
{
    for (const Operation& operation : operations) {
        for (const unsigned bits : sizes) {
            if (operation.op == Op::rsacon && bits != walk_precision) {
                continue;
            }
            for (const Library& library : libraries) {
                const std::string name = std::string(operation.name) + "/" + library.name + "/" + std::to_string(bits);
                benchmark::RegisterBenchmark(name.c_str(), [&library, &operation, bits](benchmark::State& state) {
                    run_case(state, library, operation, bits);
                });
            }
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    register_all();
    register_integer_cases();
    // The product kernel level the library chose (BIGNUM_KERNEL can force one).
    benchmark::AddCustomContext("bignum_kernel", bench::ref::kernel_level());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
