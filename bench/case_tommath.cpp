// SPDX-License-Identifier: MIT
// libtommath.

#include "cases.h"

#include <tommath.h>

#include <array>
#include <cstdio>
#include <cstdlib>

namespace bench {

namespace {

void check(mp_err err)
{
    if (err != MP_OKAY) {
        std::fprintf(stderr, "libtommath reported error %d\n", static_cast<int>(err));
        std::abort();
    }
}

class TommathLib {
public:
    explicit TommathLib(unsigned /*bits*/) {}

    class Num {
    public:
        explicit Num(const TommathLib& /*lib*/) { check(mp_init(&x_)); }
        ~Num() { mp_clear(&x_); }
        Num(const Num&) = delete;
        Num& operator=(const Num&) = delete;
        Num(Num&&) = delete;
        Num& operator=(Num&&) = delete;
        // NOLINTNEXTLINE(google-explicit-constructor): passed where an mp_int goes
        operator mp_int*() noexcept { return &x_; }
        // NOLINTNEXTLINE(google-explicit-constructor)
        operator const mp_int*() const noexcept { return &x_; }

    private:
        mp_int x_;
    };

    void load(Num& x, const Limbs& v)
    {
        check(mp_unpack(x, v.size(), MP_LSB_FIRST, sizeof(Limb), MP_NATIVE_ENDIAN, 0, v.data()));
    }

    [[nodiscard]] std::string hex(const mp_int* x) const
    {
        int size = 0;
        check(mp_radix_size(x, 16, &size));
        std::string text(static_cast<std::size_t>(size) + 1, '\0');
        check(mp_to_radix(x, text.data(), text.size(), nullptr, 16));
        return canonical_hex(text.c_str());
    }

    void mul(const Num& a, const Num& b, Num& r) { check(mp_mul(a, b, r)); }
    void sqr(const Num& a, Num& r) { check(mp_sqr(a, r)); }
    void divmod(const Num& a, const Num& b, Num& q, Num& r) { check(mp_div(a, b, q, r)); }
    void powmod_mont(const Num& base, const Num& exp, const Num& n, Num& r) { check(mp_exptmod(base, exp, n, r)); }
    void gcd(const Num& a, const Num& b, Num& r) { check(mp_gcd(a, b, r)); }
    void invmod(const Num& a, const Num& m, Num& r) { check(mp_invmod(a, m, r)); }
    void to_dec(const Num& a, char* buf, std::size_t size) { check(mp_to_radix(a, buf, size, nullptr, 10)); }
    void from_dec(const char* text, Num& r) { check(mp_read_radix(r, text, 10)); }
    void to_hex(const Num& a, char* buf, std::size_t size) { check(mp_to_radix(a, buf, size, nullptr, 16)); }

    void walk(WalkResult* out)
    {
        std::array<mp_int, 9> z{};
        for (auto& x : z) {
            check(mp_init(&x));
        }
        auto& [p, q, n, e, phi, d, m, ct, m2] = z;
        check(mp_read_radix(&p, walk_p, 16));
        check(mp_read_radix(&q, walk_q, 16));
        check(mp_mul(&p, &q, &n));
        check(mp_sub_d(&p, 1, &p));
        check(mp_sub_d(&q, 1, &q));
        check(mp_mul(&p, &q, &phi));
        mp_set_u32(&e, walk_e);
        check(mp_invmod(&e, &phi, &d));
        check(mp_from_ubin(&m, reinterpret_cast<const unsigned char*>(walk_message), sizeof walk_message));
        check(mp_exptmod(&m, &d, &n, &ct));
        check(mp_exptmod(&ct, &e, &n, &m2));
        check(mp_to_ubin(&m2, message_, sizeof message_, nullptr));
        if (out != nullptr) {
            out->d = hex(&d);
            out->ct = hex(&ct);
            out->message.assign(reinterpret_cast<const char*>(message_), sizeof message_);
        }
        for (auto& x : z) {
            mp_clear(&x);
        }
    }

private:
    unsigned char message_[sizeof walk_message] = {};
};

} // namespace

std::unique_ptr<Case> tommath_case(Op op, const Operands& in) { return std::make_unique<OpCase<TommathLib>>(op, in); }

} // namespace bench
