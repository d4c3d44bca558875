// SPDX-License-Identifier: MIT
// The value type beside GMP's mpz_class, registered as
// "integer/<operation>/<library>/<bits>" with library bignum or gmp. Both
// sides get the same fixed-seed operands, and each result is checked against
// GMP's before it is timed. Every row creates its result as a new value on
// both sides (`number c = a + b`), so that both pay for the same objects.

#include "cases.h"

#include <bignum/integer.h>

#include <benchmark/benchmark.h>
#include <gmpxx.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

namespace bench {

namespace {

using bignum::integer;

// The operands of one size, as hexadecimal text both libraries read.
struct Values {
    std::string a, b;      // exactly k bits each
    std::string wide;      // exactly 2k bits: a dividend
    std::string odd;       // an odd modulus of exactly k bits
    std::string even;      // an even modulus of exactly k bits
    std::string base;      // below both moduli
    std::string exponent;  // exactly k bits
    std::string prime;     // a probable prime of k bits
    std::string composite; // a product of two primes of k/2 bits
    std::string decimal;   // a in decimal
};

mpz_class exactly(gmp_randclass& random, unsigned long bits)
{
    mpz_class x = random.get_z_bits(bits);
    mpz_setbit(x.get_mpz_t(), bits - 1);
    return x;
}

mpz_class next_prime_after(const mpz_class& x)
{
    mpz_class p;
    mpz_nextprime(p.get_mpz_t(), x.get_mpz_t());
    return p;
}

const Values& values(unsigned bits)
{
    static std::vector<std::pair<unsigned, Values>> made;
    for (const auto& [size, v] : made) {
        if (size == bits) {
            return v;
        }
    }
    gmp_randclass random(gmp_randinit_mt);
    random.seed(bits);
    const mpz_class a = exactly(random, bits);
    const mpz_class odd = exactly(random, bits) | 1;
    const mpz_class even = exactly(random, bits) & ~mpz_class(1);
    Values v{a.get_str(16),
             exactly(random, bits).get_str(16),
             exactly(random, 2UL * bits).get_str(16),
             odd.get_str(16),
             even.get_str(16),
             mpz_class(exactly(random, bits - 1)).get_str(16),
             exactly(random, bits).get_str(16),
             "",
             "",
             a.get_str(10)};
    if (bits <= 4096) {
        v.prime = next_prime_after(exactly(random, bits)).get_str(16);
        const unsigned long half = std::max(bits / 2, 2U);
        v.composite =
            mpz_class(next_prime_after(exactly(random, half)) * next_prime_after(exactly(random, half))).get_str(16);
    }
    return made.emplace_back(bits, std::move(v)).second;
}

// The operations each library is timed on, written once per library.
struct Ours {
    using number = integer;
    static number read(const std::string& hex) { return integer::parse(hex, 16); }
    static std::string hex(const number& x) { return x.to_string(16); }
    static number pow_mod(const number& b, const number& e, const number& m) { return bignum::pow_mod(b, e, m); }
    static number gcd(const number& a, const number& b) { return bignum::gcd(a, b); }
    static number inv_mod(const number& a, const number& m) { return bignum::inv_mod(a, m); }
    static bool is_prime(const number& x) { return bignum::is_probable_prime(x, 25); }
    static std::string decimal(const number& x) { return x.to_string(10); }
    static number from_decimal(const std::string& text) { return integer::parse(text); }
    static number next_prime(const number& x) { return bignum::next_prime(x); }
    static number factorial(unsigned n) { return bignum::factorial(n); }
    static number fibonacci(unsigned n) { return bignum::fibonacci(n); }
    static number iroot(const number& x, unsigned k) { return bignum::iroot(x, k); }
    static bool is_square(const number& x) { return bignum::is_perfect_square(x); }
    static int jacobi(const number& a, const number& n) { return bignum::jacobi(a, n); }
    static std::string gcd_ext(const number& a, const number& b)
    {
        const auto [g, s, t] = bignum::gcd_ext(a, b);
        return hex(g) + "," + hex(s) + "," + hex(t);
    }
};

struct Gmp {
    using number = mpz_class;
    static number read(const std::string& hex) { return number(hex, 16); }
    static std::string hex(const number& x) { return x.get_str(-16); }
    static number pow_mod(const number& b, const number& e, const number& m)
    {
        number r;
        mpz_powm(r.get_mpz_t(), b.get_mpz_t(), e.get_mpz_t(), m.get_mpz_t());
        return r;
    }
    static number gcd(const number& a, const number& b) { return ::gcd(a, b); }
    static number inv_mod(const number& a, const number& m)
    {
        number r;
        mpz_invert(r.get_mpz_t(), a.get_mpz_t(), m.get_mpz_t());
        return r;
    }
    static bool is_prime(const number& x) { return mpz_probab_prime_p(x.get_mpz_t(), 25) != 0; }
    static std::string decimal(const number& x) { return x.get_str(10); }
    static number from_decimal(const std::string& text) { return number(text, 10); }
    static number next_prime(const number& x)
    {
        number p;
        mpz_nextprime(p.get_mpz_t(), x.get_mpz_t());
        return p;
    }
    static number factorial(unsigned n)
    {
        number f;
        mpz_fac_ui(f.get_mpz_t(), n);
        return f;
    }
    static number fibonacci(unsigned n)
    {
        number f;
        mpz_fib_ui(f.get_mpz_t(), n);
        return f;
    }
    static number iroot(const number& x, unsigned k)
    {
        number r;
        mpz_root(r.get_mpz_t(), x.get_mpz_t(), k);
        return r;
    }
    static bool is_square(const number& x) { return mpz_perfect_square_p(x.get_mpz_t()) != 0; }
    static int jacobi(const number& a, const number& n) { return mpz_jacobi(a.get_mpz_t(), n.get_mpz_t()); }
    static std::string gcd_ext(const number& a, const number& b)
    {
        number g, s, t;
        mpz_gcdext(g.get_mpz_t(), s.get_mpz_t(), t.get_mpz_t(), a.get_mpz_t(), b.get_mpz_t());
        return hex(g) + "," + hex(s) + "," + hex(t);
    }
};

// 200,000 values below 2^64, each made and stepped in place in a vector
// reserved beforehand; returns the last one. Ours live inside their objects,
// so that the loop allocates nothing: the count is reported, and anything
// but 0 aborts the run.
template <class Lib>
std::string small_values(benchmark::State* state)
{
    using N = typename Lib::number;
    constexpr unsigned long count = 200000;
    std::vector<N> values;
    values.reserve(count);
    const auto fill = [&values] {
        values.clear();
        std::uint64_t x = 1;
        for (unsigned long i = 0; i < count; ++i) {
            x = x * 6364136223846793005U + 1442695040888963407U;
            N& v = values.emplace_back(static_cast<unsigned long>(x >> 2));
            v *= 3;
            v -= i;
        }
    };
    if (state != nullptr) {
        std::uint64_t made = 0;
        for (auto _ : *state) {
            const std::uint64_t before = allocations();
            fill();
            made += allocations() - before;
            benchmark::DoNotOptimize(values.data());
        }
        if constexpr (std::is_same_v<N, integer>) {
            state->counters["allocations"] = static_cast<double>(made);
            if (made != 0) {
                std::fprintf(stderr, "integer/small_values: %llu heap allocations\n",
                             static_cast<unsigned long long>(made));
                std::abort();
            }
        }
    }
    fill();
    return Lib::hex(values.back());
}

// Runs `op` on `v` once, returning its result as text, then, given a
// state, times it.
template <class Lib>
std::string run(const std::string& op, benchmark::State* state, const Values& v)
{
    using N = typename Lib::number;
    const N a = Lib::read(v.a);
    const N b = Lib::read(v.b);
    const auto hex = [](auto&& make) { return [make]() { return Lib::hex(N(make())); }; };
    std::function<std::string()> body;
    if (op == "small_values") {
        return small_values<Lib>(state);
    }
    if (op == "add") {
        body = hex([&] { return N(a + b); });
    } else if (op == "sub") {
        body = hex([&] { return N(a - b); });
    } else if (op == "add_builtin") {
        N s = a;
        if (state != nullptr) {
            for (auto _ : *state) {
                s += 3;
                benchmark::DoNotOptimize(s);
            }
        }
        N t = a;
        t += 3;
        return Lib::hex(t);
    } else if (op == "mul") {
        body = hex([&] { return N(a * b); });
    } else if (op == "sqr") {
        body = hex([&] { return N(a * a); });
    } else if (op == "div" || op == "mod") {
        const N w = Lib::read(v.wide);
        if (op == "div") {
            body = hex([&, w] { return N(w / b); });
        } else {
            body = hex([&, w] { return N(w % b); });
        }
    } else if (op == "pow_mod_odd" || op == "pow_mod_even") {
        const N m = Lib::read(op == "pow_mod_odd" ? v.odd : v.even);
        const N base = Lib::read(v.base);
        const N e = Lib::read(v.exponent);
        body = hex([m, base, e] { return Lib::pow_mod(base, e, m); });
    } else if (op == "gcd") {
        body = hex([&] { return Lib::gcd(a, b); });
    } else if (op == "inv_mod") {
        const N m = Lib::read(v.prime);
        body = hex([&, m] { return Lib::inv_mod(a % m, m); });
    } else if (op == "prime" || op == "composite") {
        const N x = Lib::read(op == "prime" ? v.prime : v.composite);
        body = [x] { return std::string(Lib::is_prime(x) ? "prime" : "composite"); };
    } else if (op == "to_string") {
        body = [&] { return Lib::decimal(a); };
    } else if (op == "parse") {
        body = [&] { return Lib::hex(Lib::from_decimal(v.decimal)); };
    } else if (op == "next_prime") {
        body = [&] { return Lib::hex(Lib::next_prime(a)); };
    } else if (op == "factorial") {
        body = [] { return Lib::hex(Lib::factorial(10000)); };
    } else if (op == "fibonacci") {
        body = [] { return Lib::hex(Lib::fibonacci(1000000)); };
    } else if (op == "iroot3") {
        body = [&] { return Lib::hex(Lib::iroot(a, 3)); };
    } else if (op == "perfect_square") {
        const N square = Lib::read(v.a.substr(0, v.a.size() / 2));
        body = [x = N(square * square)] { return std::string(Lib::is_square(x) ? "square" : "not"); };
    } else if (op == "jacobi") {
        const N n = Lib::read(v.odd);
        body = [&, n] { return std::to_string(Lib::jacobi(a, n)); };
    } else if (op == "gcd_ext") {
        body = [&] { return Lib::gcd_ext(a, b); };
    } else if (op == "factorial_loop") {
        // 10,000! by a loop of *=, then printed in decimal.
        body = [] {
            N f = 1;
            for (unsigned i = 2; i <= 10000; ++i) {
                f *= i;
            }
            return Lib::decimal(f);
        };
    }
    std::string result = body();
    if (state != nullptr) {
        for (auto _ : *state) {
            benchmark::DoNotOptimize(body());
        }
    }
    return result;
}

struct Row {
    const char* op;
    std::vector<unsigned> sizes;
};

const std::vector<unsigned> common_sizes{64, 256, 512, 1024, 2048, 4096};
const std::vector<unsigned> large_sizes{65536, 1000000};

std::vector<Row> rows()
{
    std::vector<Row> r;
    for (const char* op : {"add", "sub", "add_builtin", "mul", "sqr", "div", "mod", "pow_mod_odd", "pow_mod_even",
                           "gcd", "inv_mod", "prime", "composite", "to_string", "parse"}) {
        r.push_back({op, common_sizes});
    }
    for (const char* op : {"mul", "div", "to_string"}) {
        r.push_back({op, large_sizes});
    }
    r.push_back({"factorial_loop", {118459}});
    r.push_back({"next_prime", {1024, 2048}});
    r.push_back({"factorial", {118459}});
    r.push_back({"fibonacci", {694241}});
    r.push_back({"iroot3", {4096}});
    r.push_back({"perfect_square", {4096}});
    r.push_back({"jacobi", {2048}});
    r.push_back({"gcd_ext", {2048}});
    r.push_back({"small_values", {64}});
    return r;
}

void check_same(const std::string& op, unsigned bits)
{
    const std::string ours = run<Ours>(op, nullptr, values(bits));
    const std::string gmp = run<Gmp>(op, nullptr, values(bits));
    if (ours != gmp) {
        std::fprintf(stderr, "integer/%s/%u disagrees with GMP:\n  %.200s\n  %.200s\n", op.c_str(), bits, ours.c_str(),
                     gmp.c_str());
        std::abort();
    }
}

} // namespace

void register_integer_cases()
{
    for (const Row& row : rows()) {
        for (const unsigned bits : row.sizes) {
            const std::string op = row.op;
            const std::string size = std::to_string(bits);
            const auto make = [op, bits](auto lib) { // NOLINT(performance-unnecessary-value-param): a tag
                return [op, bits](benchmark::State& state) {
                    using Lib = decltype(lib);
                    if constexpr (std::is_same_v<Lib, Ours>) {
                        check_same(op, bits);
                    }
                    run<Lib>(op, &state, values(bits));
                };
            };
            benchmark::RegisterBenchmark(("integer/" + op + "/bignum/" + size).c_str(), make(Ours{}));
            benchmark::RegisterBenchmark(("integer/" + op + "/gmp/" + size).c_str(), make(Gmp{}));
        }
    }
}

} // namespace bench
