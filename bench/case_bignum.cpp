// SPDX-License-Identifier: MIT
// The library under test.

#include "cases.h"

#include <bignum/bignum.h>

#include <vector>

namespace bench {

namespace {

class BignumLib {
public:
    // Precision k for k-bit operands: a capacity of 4 x k / 32 limbs.
    explicit BignumLib(unsigned bits) { big_set_precision(bits); }

    class Num : public big_scoped {
    public:
        explicit Num(const BignumLib& /*lib*/) {}
    };

    void load(Num& x, const Limbs& v)
    {
        std::vector<unsigned char> bytes;
        for (const Limb limb : v) {
            for (unsigned b = 0; b < 4; ++b) {
                bytes.push_back(static_cast<unsigned char>(limb >> (8 * b)));
            }
        }
        big_from_raw(bytes.data(), static_cast<std::uint32_t>(bytes.size()), x, 0);
    }

    [[nodiscard]] std::string hex(const BigNum* x) const
    {
        std::string text(8 * std::size_t{big_used_count(x)} + 2, '\0');
        text.resize(big_to_hex(x, text.data()));
        return canonical_hex(text);
    }

    void mul(const Num& a, const Num& b, Num& r) { big_mul(a, b, r); }
    // big_sqr works in place, so each run squares a fresh copy.
    void sqr(const Num& a, Num& r)
    {
        big_copy(r, a);
        big_sqr(r);
    }
    void divmod(const Num& a, const Num& b, Num& q, Num& r) { big_divmod(a, b, q, r); }
    void powmod_mont(const Num& base, const Num& exp, const Num& n, Num& r) { big_powmod_mont(base, exp, n, r); }
    void gcd(const Num& a, const Num& b, Num& r) { big_gcd(a, b, r); }
    void invmod(const Num& a, const Num& m, Num& r) { big_invmod(a, m, r); }
    void to_dec(const Num& a, char* buf, std::size_t /*size*/) { big_to_dec(a, buf); }
    void from_dec(const char* text, Num& r) { big_from_dec(text, r); }
    void to_hex(const Num& a, char* buf, std::size_t /*size*/) { big_to_hex(a, buf); }

    // The walk-through's library calls in its order, minus printing; the
    // precision is already the walk's own (512) from the constructor.
    void walk(WalkResult* out)
    {
        BigNum* p = big_new();
        BigNum* q = big_new();
        BigNum* n = big_new();
        BigNum* e = big_new();
        BigNum* phi = big_new();
        BigNum* d = big_new();
        BigNum* m = big_new();
        BigNum* ct = big_new();
        BigNum* m2 = big_new();
        big_from_hex(walk_p, p);
        big_from_hex(walk_q, q);
        big_mul(p, q, n);
        big_dec(p);
        big_dec(q);
        big_mul(p, q, phi);
        big_set_word(e, walk_e);
        big_invmod(e, phi, d);
        big_from_text(walk_message, sizeof walk_message, m, 0);
        big_powmod_mont(m, d, n, ct);
        big_powmod_mont(ct, e, n, m2);
        big_to_text(m2, message_);
        if (out != nullptr) {
            out->d = hex(d);
            out->ct = hex(ct);
            out->message.assign(message_, sizeof message_);
        }
        for (BigNum* x : {p, q, n, e, phi, d, m, ct, m2}) {
            big_free(x);
        }
    }

private:
    char message_[sizeof walk_message] = {};
};

} // namespace

std::unique_ptr<Case> bignum_case(Op op, const Operands& in) { return std::make_unique<OpCase<BignumLib>>(op, in); }

} // namespace bench
