// SPDX-License-Identifier: MIT
// GMP through its mpz layer.

#include "cases.h"

#include <gmp.h>

#include <array>

namespace bench {

namespace {

class GmpLib {
public:
    explicit GmpLib(unsigned /*bits*/) {}

    class Num {
    public:
        explicit Num(const GmpLib& /*lib*/) { mpz_init(z_); }
        ~Num() { mpz_clear(z_); }
        Num(const Num&) = delete;
        Num& operator=(const Num&) = delete;
        Num(Num&&) = delete;
        Num& operator=(Num&&) = delete;
        // NOLINTNEXTLINE(google-explicit-constructor): passed where an mpz goes
        operator mpz_ptr() noexcept { return z_; }
        // NOLINTNEXTLINE(google-explicit-constructor)
        operator mpz_srcptr() const noexcept { return z_; }

    private:
        mpz_t z_;
    };

    void load(Num& x, const Limbs& v) { mpz_import(x, v.size(), -1, sizeof(Limb), 0, 0, v.data()); }
    [[nodiscard]] std::string hex(mpz_srcptr x) const
    {
        std::string text(mpz_sizeinbase(x, 16) + 2, '\0');
        mpz_get_str(text.data(), 16, x);
        return canonical_hex(text.c_str());
    }

    void mul(const Num& a, const Num& b, Num& r) { mpz_mul(r, a, b); }
    void sqr(const Num& a, Num& r) { mpz_mul(r, a, a); }
    void divmod(const Num& a, const Num& b, Num& q, Num& r) { mpz_tdiv_qr(q, r, a, b); }
    void powmod_mont(const Num& base, const Num& exp, const Num& n, Num& r) { mpz_powm(r, base, exp, n); }
    void gcd(const Num& a, const Num& b, Num& r) { mpz_gcd(r, a, b); }
    void invmod(const Num& a, const Num& m, Num& r) { mpz_invert(r, a, m); }
    void to_dec(const Num& a, char* buf, std::size_t /*size*/) { mpz_get_str(buf, 10, a); }
    void from_dec(const char* text, Num& r) { mpz_set_str(r, text, 10); }
    void to_hex(const Num& a, char* buf, std::size_t /*size*/) { mpz_get_str(buf, 16, a); }

    void walk(WalkResult* out)
    {
        std::array<mpz_t, 9> z;
        for (auto& x : z) {
            mpz_init(x);
        }
        auto& [p, q, n, e, phi, d, m, ct, m2] = z;
        mpz_set_str(p, walk_p, 16);
        mpz_set_str(q, walk_q, 16);
        mpz_mul(n, p, q);
        mpz_sub_ui(p, p, 1);
        mpz_sub_ui(q, q, 1);
        mpz_mul(phi, p, q);
        mpz_set_ui(e, walk_e);
        mpz_invert(d, e, phi);
        mpz_import(m, sizeof walk_message, 1, 1, 1, 0, walk_message);
        mpz_powm(ct, m, d, n);
        mpz_powm(m2, ct, e, n);
        mpz_export(message_, nullptr, 1, 1, 1, 0, m2);
        if (out != nullptr) {
            out->d = hex(d);
            out->ct = hex(ct);
            out->message.assign(message_, sizeof message_);
        }
        for (auto& x : z) {
            mpz_clear(x);
        }
    }

private:
    char message_[sizeof walk_message] = {};
};

} // namespace

std::unique_ptr<Case> gmp_case(Op op, const Operands& in) { return std::make_unique<OpCase<GmpLib>>(op, in); }

} // namespace bench
