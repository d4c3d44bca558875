// SPDX-License-Identifier: MIT
// The reference kernels as a benchmarked library.

#include "cases.h"
#include "reference.h"

namespace bench {

namespace {

class ReferenceLib {
public:
    // The library's own capacity rule: four times the nominal limbs, with
    // room for the carry limbs the kernels write past a value.
    explicit ReferenceLib(unsigned bits)
        : capacity_(bits / 8 + 4), work_(capacity_), p_(capacity_), q_(capacity_), n_(capacity_), e_(capacity_),
          phi_(capacity_), d_(capacity_), m_(capacity_), ct_(capacity_), m2_(capacity_)
    {
    }

    struct Num {
        explicit Num(const ReferenceLib& lib) : value(lib.capacity_) {}
        ref::Value value;
    };

    void load(Num& x, const Limbs& v) { x.value.assign(v); }
    [[nodiscard]] std::string hex(const Num& x) const
    {
        return hex_of(Limbs(x.value.view().begin(), x.value.view().end()));
    }

    void mul(const Num& a, const Num& b, Num& r) { ref::multiply(a.value, b.value, r.value); }
    void sqr(const Num& a, Num& r) { ref::square(a.value, r.value); }
    void divmod(const Num& a, const Num& b, Num& q, Num& r) { ref::divide(a.value, b.value, &q.value, r.value); }
    void powmod_mont(const Num& base, const Num& exp, const Num& n, Num& r)
    {
        ref::powmod_mont(base.value, exp.value, n.value, r.value, work_);
    }
    void gcd(const Num& a, const Num& b, Num& r) { ref::gcd(a.value, b.value, r.value, work_); }
    void invmod(const Num& a, const Num& m, Num& r) { ref::invmod(a.value, m.value, r.value, work_); }
    void to_dec(const Num& a, char* buf, std::size_t /*size*/) { ref::to_dec(a.value, buf, work_); }
    void from_dec(const char* text, Num& r) { ref::from_dec(text, r.value); }
    void to_hex(const Num& a, char* buf, std::size_t /*size*/) { ref::to_hex(a.value, buf); }

    // Allocation-free like every other reference operation: the nine values
    // live in the adapter.
    void walk(WalkResult* out)
    {
        ref::from_hex(walk_p, p_);
        ref::from_hex(walk_q, q_);
        ref::multiply(p_, q_, n_);
        ref::decrement(p_);
        ref::decrement(q_);
        ref::multiply(p_, q_, phi_);
        e_.set_word(walk_e);
        ref::invmod(e_, phi_, d_, work_);
        ref::from_text(reinterpret_cast<const unsigned char*>(walk_message), sizeof walk_message, m_);
        ref::powmod_mont(m_, d_, n_, ct_, work_);
        ref::powmod_mont(ct_, e_, n_, m2_, work_);
        ref::to_text(m2_, message_);
        if (out != nullptr) {
            out->d = hex_of(Limbs(d_.view().begin(), d_.view().end()));
            out->ct = hex_of(Limbs(ct_.view().begin(), ct_.view().end()));
            out->message.assign(reinterpret_cast<const char*>(message_), sizeof message_);
        }
    }

private:
    std::size_t capacity_;
    ref::Workspace work_;
    ref::Value p_, q_, n_, e_, phi_, d_, m_, ct_, m2_;
    unsigned char message_[sizeof walk_message] = {};
};

} // namespace

std::unique_ptr<Case> reference_case(Op op, const Operands& in)
{
    return std::make_unique<OpCase<ReferenceLib>>(op, in);
}

} // namespace bench
