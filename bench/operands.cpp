// SPDX-License-Identifier: MIT
#include "cases.h"

#include <gmp.h>

#include <algorithm>
#include <map>
#include <random>
#include <stdexcept>

namespace bench {

namespace {

Limbs trimmed(Limbs x)
{
    while (!x.empty() && x.back() == 0) {
        x.pop_back();
    }
    return x;
}

// Exactly `bits` bits: the top bit set (bits is a multiple of 32 here).
Limbs random_limbs(std::mt19937& gen, unsigned bits)
{
    Limbs x(bits / 32);
    std::generate(x.begin(), x.end(), [&gen] { return static_cast<Limb>(gen()); });
    x.back() |= 0x80000000U;
    return x;
}

// GMP only prepares operands here; the timed code never sees it.
class Mpz {
public:
    Mpz() { mpz_init(z_); }
    explicit Mpz(const Limbs& x) : Mpz() { mpz_import(z_, x.size(), -1, sizeof(Limb), 0, 0, x.data()); }
    ~Mpz() { mpz_clear(z_); }
    Mpz(const Mpz&) = delete;
    Mpz& operator=(const Mpz&) = delete;
    Mpz(Mpz&&) = delete;
    Mpz& operator=(Mpz&&) = delete;
    mpz_ptr get() { return z_; }

    [[nodiscard]] Limbs limbs() const
    {
        Limbs x((mpz_sizeinbase(z_, 2) + 31) / 32);
        std::size_t count = 0;
        mpz_export(x.data(), &count, -1, sizeof(Limb), 0, 0, z_);
        x.resize(count);
        return x;
    }

    [[nodiscard]] std::string text(int base) const
    {
        std::string s(mpz_sizeinbase(z_, base) + 2, '\0');
        mpz_get_str(s.data(), base, z_);
        s.resize(s.find('\0'));
        return s;
    }

private:
    mpz_t z_;
};

// A random value below the modulus and prime to it.
Limbs random_unit(std::mt19937& gen, const Limbs& modulus, unsigned bits)
{
    Mpz m(modulus);
    for (;;) {
        Mpz u(random_limbs(gen, bits));
        mpz_mod(u.get(), u.get(), m.get());
        Mpz g;
        mpz_gcd(g.get(), u.get(), m.get());
        if (mpz_cmp_ui(g.get(), 1) == 0 && mpz_cmp_ui(u.get(), 1) > 0) {
            return u.limbs();
        }
    }
}

Operands make_operands(unsigned bits)
{
    if (bits % 32 != 0 || bits == 0) {
        throw std::invalid_argument("operand sizes are whole limbs");
    }
    std::mt19937 gen(0xB16B00B5U ^ bits);
    Operands in;
    in.bits = bits;
    in.a = random_limbs(gen, bits);
    in.b = random_limbs(gen, bits);
    in.wide = random_limbs(gen, 2 * bits);
    in.modulus = random_limbs(gen, bits);
    in.modulus.front() |= 1U;
    Mpz base(random_limbs(gen, bits));
    Mpz modulus(in.modulus);
    mpz_mod(base.get(), base.get(), modulus.get());
    in.base = base.limbs();
    in.exponent = random_limbs(gen, bits);
    in.unit = random_unit(gen, in.modulus, bits);
    in.decimal = Mpz(in.a).text(10);
    return in;
}

} // namespace

const Operands& operands(unsigned bits)
{
    static std::map<unsigned, Operands> made;
    auto it = made.find(bits);
    if (it == made.end()) {
        it = made.emplace(bits, make_operands(bits)).first;
    }
    return it->second;
}

std::string hex_of(const Limbs& x)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string s;
    for (auto limb = x.rbegin(); limb != x.rend(); ++limb) {
        for (int shift = 28; shift >= 0; shift -= 4) {
            s += digits[(*limb >> shift) & 0xFU];
        }
    }
    return canonical_hex(s);
}

std::string canonical_hex(std::string_view text)
{
    const std::size_t first = text.find_first_not_of('0');
    std::string s(first == std::string_view::npos ? "0" : text.substr(first));
    std::transform(s.begin(), s.end(), s.begin(), [](char c) { return c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c; });
    return s;
}

Limbs limbs_of_hex(std::string_view text)
{
    Limbs x((text.size() + 7) / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[text.size() - 1 - i];
        const Limb v = c <= '9' ? Limb(c - '0') : c <= 'F' ? Limb(c - 'A' + 10) : Limb(c - 'a' + 10);
        x[i / 8] |= v << (4 * (i % 8));
    }
    return trimmed(x);
}

} // namespace bench
