// SPDX-License-Identifier: MIT
// The benchmarked operations, and one `Case` per library and operation: the
// operands converted once into the library's own form, `run` doing exactly
// one operation (the timed part), `outcome` giving its result in a form that
// every library's result can be compared in.

#ifndef BIGNUM_BENCH_CASES_H
#define BIGNUM_BENCH_CASES_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace bench {

using Limb = std::uint32_t;
// A magnitude, least significant limb first, without zero top limbs.
using Limbs = std::vector<Limb>;

enum class Op { mul, sqr, divmod, powmod_mont, gcd, invmod, to_dec, from_dec, to_hex, rsacon };

struct Operands {
    unsigned bits = 0;
    Limbs a, b;          // exactly `bits` bits each
    Limbs wide;          // exactly 2 x `bits` bits: the dividend
    Limbs modulus;       // odd, exactly `bits` bits
    Limbs base;          // below the modulus
    Limbs exponent;      // exactly `bits` bits
    Limbs unit;          // below the modulus and prime to it
    std::string decimal; // a in decimal
};

// Fixed-seed operands, made once per size.
[[nodiscard]] const Operands& operands(unsigned bits);

// The console walk-through: its two 256-bit primes, public exponent, message
// (16 bytes, the NUL included) and precision.
inline constexpr const char* walk_p = "C1F54B1CD641B93F2B529E0E00FB7ADDEF5E4CB2DDE39ED2123245BC1EB1F373";
inline constexpr const char* walk_q = "EF1378E088048019795CC170C317E6321757EAE45C33DC610C4381B53EBCE855";
inline constexpr std::uint32_t walk_e = 65537;
inline constexpr char walk_message[16] = "secret message.";
inline constexpr unsigned walk_precision = 512;

// What a walk-through leaves to check: d, ct and the restored message bytes.
struct WalkResult {
    std::string d, ct, message;
    [[nodiscard]] std::string joined() const { return d + "/" + ct + "/" + message; }
};

// Upper case hexadecimal, no leading zeros; "0" for zero.
[[nodiscard]] std::string hex_of(const Limbs& x);
// Any library's hexadecimal text in the same form as hex_of.
[[nodiscard]] std::string canonical_hex(std::string_view text);
[[nodiscard]] Limbs limbs_of_hex(std::string_view text);

class Case {
public:
    Case() = default;
    virtual ~Case() = default;
    Case(const Case&) = delete;
    Case& operator=(const Case&) = delete;
    Case(Case&&) = delete;
    Case& operator=(Case&&) = delete;

    virtual void run() = 0;
    [[nodiscard]] virtual std::string outcome() = 0;
};

// Lib is a library adapter: constructed with the operand size (so it can set
// up precision, contexts and buffers), with a `Num` type that owns one number
// (constructed from the adapter) and one member function per operation.
template <class Lib>
class OpCase final : public Case {
public:
    OpCase(Op op, const Operands& in)
        : op_(op), in_(in), lib_(op == Op::rsacon ? walk_precision : in.bits), text_(in.bits + 64, '\0')
    {
        if (op != Op::rsacon) {
            lib_.load(a_, in.a);
            lib_.load(b_, in.b);
            lib_.load(wide_, in.wide);
            lib_.load(modulus_, in.modulus);
            lib_.load(base_, in.base);
            lib_.load(exponent_, in.exponent);
            lib_.load(unit_, in.unit);
        }
    }

    void run() override
    {
        switch (op_) {
        case Op::mul: lib_.mul(a_, b_, r_); break;
        case Op::sqr: lib_.sqr(a_, r_); break;
        case Op::divmod: lib_.divmod(wide_, b_, q_, r_); break;
        case Op::powmod_mont: lib_.powmod_mont(base_, exponent_, modulus_, r_); break;
        case Op::gcd: lib_.gcd(a_, b_, r_); break;
        case Op::invmod: lib_.invmod(unit_, modulus_, r_); break;
        case Op::to_dec: lib_.to_dec(a_, text_.data(), text_.size()); break;
        case Op::from_dec: lib_.from_dec(in_.decimal.c_str(), r_); break;
        case Op::to_hex: lib_.to_hex(a_, text_.data(), text_.size()); break;
        case Op::rsacon: lib_.walk(nullptr); break;
        }
    }

    [[nodiscard]] std::string outcome() override
    {
        switch (op_) {
        case Op::divmod: run(); return lib_.hex(q_) + "/" + lib_.hex(r_);
        case Op::to_dec: run(); return text_.c_str();
        case Op::to_hex: run(); return canonical_hex(text_.c_str());
        case Op::rsacon: {
            WalkResult result;
            lib_.walk(&result);
            return result.joined();
        }
        default: run(); return lib_.hex(r_);
        }
    }

private:
    using Num = typename Lib::Num;
    Op op_;
    const Operands& in_;
    Lib lib_; // first, so the numbers below come after its set-up
    std::string text_;
    Num a_{lib_}, b_{lib_}, wide_{lib_}, modulus_{lib_}, base_{lib_}, exponent_{lib_}, unit_{lib_}, q_{lib_}, r_{lib_};
};

[[nodiscard]] std::unique_ptr<Case> bignum_case(Op op, const Operands& in);
[[nodiscard]] std::unique_ptr<Case> reference_case(Op op, const Operands& in);
[[nodiscard]] std::unique_ptr<Case> gmp_case(Op op, const Operands& in);
[[nodiscard]] std::unique_ptr<Case> openssl_case(Op op, const Operands& in);
[[nodiscard]] std::unique_ptr<Case> tommath_case(Op op, const Operands& in);

// The value type beside mpz_class, operation by operation.
void register_integer_cases();

// Calls of operator new so far in this process.
[[nodiscard]] std::uint64_t allocations() noexcept;

} // namespace bench

#endif // BIGNUM_BENCH_CASES_H
