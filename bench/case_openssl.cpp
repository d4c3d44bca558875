// SPDX-License-Identifier: MIT
// OpenSSL's BN layer; exponentiation by BN_mod_exp_mont, which sets up its
// Montgomery constants on every call, as the library does.

#include "cases.h"

#include <openssl/bn.h>
#include <openssl/crypto.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace bench {

namespace {

void check(int ok)
{
    if (ok == 0) {
        std::fputs("OpenSSL reported a failure\n", stderr);
        std::abort();
    }
}

class OpensslLib {
public:
    explicit OpensslLib(unsigned /*bits*/) : ctx_(BN_CTX_new()) {}
    ~OpensslLib() { BN_CTX_free(ctx_); }
    OpensslLib(const OpensslLib&) = delete;
    OpensslLib& operator=(const OpensslLib&) = delete;
    OpensslLib(OpensslLib&&) = delete;
    OpensslLib& operator=(OpensslLib&&) = delete;

    class Num {
    public:
        explicit Num(const OpensslLib& /*lib*/) : bn_(BN_new()) {}
        ~Num() { BN_free(bn_); }
        Num(const Num&) = delete;
        Num& operator=(const Num&) = delete;
        Num(Num&&) = delete;
        Num& operator=(Num&&) = delete;
        // NOLINTNEXTLINE(google-explicit-constructor): passed where a BIGNUM goes
        operator BIGNUM*() const noexcept { return bn_; }
        BIGNUM** address() noexcept { return &bn_; }

    private:
        BIGNUM* bn_;
    };

    void load(Num& x, const Limbs& v)
    {
        std::vector<unsigned char> bytes;
        for (const Limb limb : v) {
            for (unsigned b = 0; b < 4; ++b) {
                bytes.push_back(static_cast<unsigned char>(limb >> (8 * b)));
            }
        }
        check(BN_lebin2bn(bytes.data(), static_cast<int>(bytes.size()), x) != nullptr);
    }

    [[nodiscard]] std::string hex(const BIGNUM* x) const
    {
        char* text = BN_bn2hex(x);
        std::string result = canonical_hex(text);
        OPENSSL_free(text);
        return result;
    }

    void mul(const Num& a, const Num& b, Num& r) { check(BN_mul(r, a, b, ctx_)); }
    void sqr(const Num& a, Num& r) { check(BN_sqr(r, a, ctx_)); }
    void divmod(const Num& a, const Num& b, Num& q, Num& r) { check(BN_div(q, r, a, b, ctx_)); }
    void powmod_mont(const Num& base, const Num& exp, const Num& n, Num& r)
    {
        check(BN_mod_exp_mont(r, base, exp, n, ctx_, nullptr));
    }
    void gcd(const Num& a, const Num& b, Num& r) { check(BN_gcd(r, a, b, ctx_)); }
    void invmod(const Num& a, const Num& m, Num& r) { check(BN_mod_inverse(r, a, m, ctx_) != nullptr); }
    // The text comes back in a fresh allocation; copying it out is part of
    // what a caller pays.
    void to_dec(const Num& a, char* buf, std::size_t size) { copy_out(BN_bn2dec(a), buf, size); }
    void from_dec(const char* text, Num& r) { check(BN_dec2bn(r.address(), text)); }
    void to_hex(const Num& a, char* buf, std::size_t size) { copy_out(BN_bn2hex(a), buf, size); }

    void walk(WalkResult* out)
    {
        std::array<BIGNUM*, 9> z{};
        for (auto& x : z) {
            x = BN_new();
        }
        auto [p, q, n, e, phi, d, m, ct, m2] = z;
        check(BN_hex2bn(&p, walk_p));
        check(BN_hex2bn(&q, walk_q));
        check(BN_mul(n, p, q, ctx_));
        check(BN_sub_word(p, 1));
        check(BN_sub_word(q, 1));
        check(BN_mul(phi, p, q, ctx_));
        check(BN_set_word(e, walk_e));
        check(BN_mod_inverse(d, e, phi, ctx_) != nullptr);
        check(BN_bin2bn(reinterpret_cast<const unsigned char*>(walk_message), sizeof walk_message, m) != nullptr);
        check(BN_mod_exp_mont(ct, m, d, n, ctx_, nullptr));
        check(BN_mod_exp_mont(m2, ct, e, n, ctx_, nullptr));
        check(BN_bn2bin(m2, message_));
        if (out != nullptr) {
            out->d = hex(d);
            out->ct = hex(ct);
            out->message.assign(reinterpret_cast<const char*>(message_), sizeof message_);
        }
        for (auto& x : z) {
            BN_free(x);
        }
    }

private:
    static void copy_out(char* text, char* buf, std::size_t size)
    {
        check(text != nullptr && std::strlen(text) < size);
        std::strcpy(buf, text);
        OPENSSL_free(text);
    }

    BN_CTX* ctx_;
    unsigned char message_[sizeof walk_message] = {};
};

} // namespace

std::unique_ptr<Case> openssl_case(Op op, const Operands& in) { return std::make_unique<OpCase<OpensslLib>>(op, in); }

} // namespace bench
