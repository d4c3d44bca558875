// SPDX-License-Identifier: MIT
#include "reference.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

namespace bench::ref {

namespace {

constexpr unsigned limb_bits = 32;

[[nodiscard]] Limb low_word(Wide w) noexcept { return static_cast<Limb>(w); }
[[nodiscard]] Limb high_word(Wide w) noexcept { return static_cast<Limb>(w >> limb_bits); }

[[nodiscard]] Limb bit_of(const Value& x, std::size_t k) noexcept
{
    return (x.data()[k / limb_bits] >> (k % limb_bits)) & 1U;
}

// acc[0 .. n) += a[0 .. n) w; returns the carry out of the top: one
// schoolbook row.
Limb mul_add_row(Limb* acc, const Limb* a, std::size_t n, Limb w) noexcept
{
    Limb carry = 0;
    for (std::size_t j = 0; j < n; ++j) {
        const Wide p = Wide{a[j]} * w + acc[j] + carry;
        acc[j] = low_word(p);
        carry = high_word(p);
    }
    return carry;
}

// r[0 .. n) -= b[0 .. nb) with b zero-extended, n >= nb.
void subtract_limbs(Limb* r, std::size_t n, const Limb* b, std::size_t nb) noexcept
{
    Limb borrow = 0;
    std::size_t i = 0;
    for (; i < nb; ++i) {
        const Wide d = Wide{r[i]} - b[i] - borrow;
        r[i] = low_word(d);
        borrow = high_word(d) & 1U;
    }
    for (; borrow != 0 && i < n; ++i) {
        borrow = r[i] == 0 ? 1U : 0U;
        --r[i];
    }
}

} // namespace

void Value::assign(std::span<const Limb> x) noexcept
{
    std::copy(x.begin(), x.end(), limbs_.begin());
    size = x.size();
}

void Value::set_word(Limb w) noexcept
{
    limbs_[0] = w;
    size = w == 0 ? 0 : 1;
}

void Value::trim() noexcept
{
    while (size > 0 && limbs_[size - 1] == 0) {
        --size;
    }
}

std::size_t bit_length(const Value& x) noexcept
{
    return x.size == 0 ? 0 : limb_bits * (x.size - 1) + std::bit_width(x.data()[x.size - 1]);
}

int compare(const Value& a, const Value& b) noexcept
{
    if (a.size != b.size) {
        return a.size > b.size ? 1 : -1;
    }
    for (std::size_t i = a.size; i-- > 0;) {
        if (a.data()[i] != b.data()[i]) {
            return a.data()[i] > b.data()[i] ? 1 : -1;
        }
    }
    return 0;
}

void add(Value& a, const Value& b) noexcept
{
    Limb* al = a.data();
    const Limb* bl = b.data();
    if (a.size < b.size) {
        std::fill(al + a.size, al + b.size, 0);
        a.size = b.size;
    }
    Limb carry = 0;
    std::size_t i = 0;
    for (; i < b.size; ++i) {
        const Wide s = Wide{al[i]} + bl[i] + carry;
        al[i] = low_word(s);
        carry = high_word(s);
    }
    for (; carry != 0 && i < a.size; ++i) {
        carry = ++al[i] == 0 ? 1U : 0U;
    }
    if (carry != 0) {
        al[a.size++] = 1;
    }
}

void subtract(Value& a, const Value& b) noexcept
{
    subtract_limbs(a.data(), a.size, b.data(), b.size);
    a.trim();
}

void decrement(Value& a) noexcept
{
    const Limb one = 1;
    subtract_limbs(a.data(), a.size, &one, 1);
    a.trim();
}

void add_word(Value& a, Limb w) noexcept
{
    Limb* l = a.data();
    Limb carry = w;
    for (std::size_t i = 0; carry != 0 && i < a.size; ++i) {
        const Wide s = Wide{l[i]} + carry;
        l[i] = low_word(s);
        carry = high_word(s);
    }
    if (carry != 0) {
        l[a.size++] = carry;
    }
}

void times_ten(Value& a) noexcept
{
    // One pass: each limb of 4a from two neighbours, plus a, then doubled.
    Limb* l = a.data();
    const std::size_t n = a.size;
    l[n] = 0;
    l[n + 1] = 0;
    Limb previous = 0;
    Limb carry = 0;
    Limb doubled_out = 0;
    for (std::size_t i = 0; i < n + 2; ++i) {
        const Limb v = l[i];
        const Limb four = (v << 2) | (previous >> (limb_bits - 2));
        const Wide five = Wide{four} + v + carry;
        carry = high_word(five);
        l[i] = (low_word(five) << 1) | doubled_out;
        doubled_out = low_word(five) >> (limb_bits - 1);
        previous = v;
    }
    a.size = n + 2;
    a.trim();
}

void shift_left(const Value& a, std::size_t count, Value& r) noexcept
{
    const std::size_t whole = count / limb_bits;
    const unsigned bits = count % limb_bits;
    const Limb* al = a.data();
    Limb* rl = r.data();
    std::fill(rl, rl + whole, 0);
    if (bits == 0) {
        std::copy(al, al + a.size, rl + whole);
        r.size = a.size + whole;
    } else {
        Limb spill = 0;
        for (std::size_t i = 0; i < a.size; ++i) {
            rl[i + whole] = (al[i] << bits) | spill;
            spill = al[i] >> (limb_bits - bits);
        }
        rl[a.size + whole] = spill;
        r.size = a.size + whole + 1;
    }
    r.trim();
}

void shift_right(const Value& a, std::size_t count, Value& r) noexcept
{
    const std::size_t whole = count / limb_bits;
    const unsigned bits = count % limb_bits;
    if (whole >= a.size) {
        r.size = 0;
        return;
    }
    const std::size_t n = a.size - whole;
    const Limb* al = a.data() + whole;
    Limb* rl = r.data();
    if (bits == 0) {
        std::copy(al, al + n, rl);
    } else {
        for (std::size_t i = 0; i + 1 < n; ++i) {
            rl[i] = (al[i] >> bits) | (al[i + 1] << (limb_bits - bits));
        }
        rl[n - 1] = al[n - 1] >> bits;
    }
    r.size = n;
    r.trim();
}

void keep_low_bits(Value& a, std::size_t k) noexcept
{
    const std::size_t j = k / limb_bits;
    if (a.size <= j) {
        return;
    }
    a.data()[j] &= (Limb{1} << (k % limb_bits)) - 1;
    a.size = j + 1;
    a.trim();
}

void multiply(const Value& a, const Value& b, Value& t) noexcept
{
    const std::size_t na = a.size;
    const std::size_t nb = b.size;
    if (na == 0 || nb == 0) {
        t.size = 0;
        return;
    }
    const Limb* al = a.data();
    const Limb* bl = b.data();
    Limb* tl = t.data();
    t.size = na + nb;
    if (multiply_columns(al, na, bl, nb, tl)) {
        t.trim();
        return;
    }
    std::fill(tl, tl + nb, 0);
    for (std::size_t i = 0; i < na; ++i) {
        tl[i + nb] = mul_add_row(tl + i, bl, nb, al[i]);
    }
    t.trim();
}

void square(const Value& a, Value& t) noexcept
{
    const std::size_t n = a.size;
    if (n == 0) {
        t.size = 0;
        return;
    }
    const Limb* al = a.data();
    Limb* tl = t.data();
    t.size = 2 * n;
    if (square_columns(al, n, tl)) {
        t.trim();
        return;
    }
    std::fill(tl, tl + 2 * n, 0);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        tl[i + n] = mul_add_row(tl + 2 * i + 1, al + i + 1, n - i - 1, al[i]);
    }
    Limb out = 0;
    for (std::size_t i = 0; i < 2 * n; ++i) {
        const Limb top = tl[i] >> (limb_bits - 1);
        tl[i] = (tl[i] << 1) | out;
        out = top;
    }
    Limb carry = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const Wide sq = Wide{al[i]} * al[i];
        const Wide lo = Wide{tl[2 * i]} + low_word(sq) + carry;
        tl[2 * i] = low_word(lo);
        const Wide hi = Wide{tl[2 * i + 1]} + high_word(sq) + high_word(lo);
        tl[2 * i + 1] = low_word(hi);
        carry = high_word(hi);
    }
    t.trim();
}

void divide(const Value& a, const Value& b, Value* q, Value& r) noexcept
{
    if (compare(a, b) < 0) {
        r.assign(a.view());
        if (q != nullptr) {
            q->size = 0;
        }
        return;
    }
    const std::size_t nb = b.size;
    const Limb* bl = b.data();
    Limb* rl = r.data();
    std::size_t rn = 0;
    const std::size_t bits = bit_length(a);
    // A limb of a at a time; its quotient bits gather in a register.
    for (std::size_t w = (bits + limb_bits - 1) / limb_bits; w-- > 0;) {
        const Limb word = a.data()[w];
        Limb quotient = 0;
        for (std::size_t j = std::min<std::size_t>(bits - w * limb_bits, limb_bits); j-- > 0;) {
            const Limb bit = (word >> j) & 1U;
            // Top down, each limb from itself and its lower neighbour: no
            // carry runs along the loop, so it vectorises.
            if (rn == 0) {
                rl[0] = bit;
                rn = bit;
            } else {
                const Limb out = rl[rn - 1] >> (limb_bits - 1);
                for (std::size_t i = rn - 1; i > 0; --i) {
                    rl[i] = (rl[i] << 1) | (rl[i - 1] >> (limb_bits - 1));
                }
                rl[0] = (rl[0] << 1) | bit;
                if (out != 0) {
                    rl[rn++] = out;
                }
            }
            bool at_least_b = rn > nb;
            if (rn == nb) {
                std::size_t i = nb;
                while (i > 0 && rl[i - 1] == bl[i - 1]) {
                    --i;
                }
                at_least_b = i == 0 || rl[i - 1] > bl[i - 1];
            }
            if (at_least_b) {
                subtract_limbs(rl, rn, bl, nb);
                while (rn > 0 && rl[rn - 1] == 0) {
                    --rn;
                }
                quotient |= Limb{1} << j;
            }
        }
        if (q != nullptr) {
            q->data()[w] = quotient;
        }
    }
    r.size = rn;
    if (q != nullptr) {
        q->size = a.size;
        q->trim();
    }
}

Workspace::Workspace(std::size_t capacity)
    : a(capacity), b(capacity), q(capacity), c1(capacity), c2(capacity), product(capacity), rest(capacity),
      radix(capacity), inverse(capacity), n_prime(capacity), base_m(capacity), acc_m(capacity), t(capacity),
      u(capacity), v(capacity)
{
}

void gcd(const Value& a, const Value& b, Value& r, Workspace& w) noexcept
{
    w.a.assign(a.view());
    w.b.assign(b.view());
    while (!w.b.is_zero()) {
        divide(w.a, w.b, nullptr, w.rest);
        swap(w.a, w.b);
        swap(w.b, w.rest);
    }
    r.assign(w.a.view());
}

void invmod(const Value& a, const Value& m, Value& r, Workspace& w) noexcept
{
    Value& A = w.a;
    Value& B = w.b;
    A.assign(a.view());
    B.assign(m.view());
    w.c1.set_word(1);
    w.c2.set_word(0);
    for (;;) {
        if (A.is_one()) {
            r.assign(w.c1.view());
            return;
        }
        divide(B, A, &w.q, w.rest);
        swap(B, w.rest);
        multiply(w.q, w.c1, w.product);
        add(w.c2, w.product);
        if (B.is_one()) {
            r.assign(m.view());
            subtract(r, w.c2);
            return;
        }
        divide(A, B, &w.q, w.rest);
        swap(A, w.rest);
        multiply(w.q, w.c2, w.product);
        add(w.c1, w.product);
    }
}

namespace {

struct Montgomery {
    const Value& n;
    const Value& n_prime;
    std::size_t k;
    Value& t;
    Value& u;
    Value& v;

    // y = x / R mod n, for x < n R; x is not y.
    void reduce(const Value& x, Value& y) const noexcept
    {
        multiply(x, n_prime, u);
        keep_low_bits(u, k);
        multiply(u, n, v);
        add(v, x);
        shift_right(v, k, y);
        if (compare(y, n) >= 0) {
            subtract(y, n);
        }
    }

    // y = x y / R mod n, three full products; x may be y.
    void step(const Value& x, Value& y) const noexcept
    {
        multiply(x, y, t);
        reduce(t, y);
    }
};

} // namespace

void powmod_mont(const Value& base, const Value& exp, const Value& n, Value& r, Workspace& w) noexcept
{
    const std::size_t k = bit_length(n);
    std::fill(w.radix.data(), w.radix.data() + k / limb_bits + 1, 0);
    w.radix.data()[k / limb_bits] = Limb{1} << (k % limb_bits);
    w.radix.size = k / limb_bits + 1;
    invmod(n, w.radix, w.inverse, w);
    w.n_prime.assign(w.radix.view());
    subtract(w.n_prime, w.inverse);
    const Montgomery mont{n, w.n_prime, k, w.t, w.u, w.v};

    shift_left(base, k, w.t);
    divide(w.t, n, nullptr, w.base_m);
    w.acc_m.assign(w.radix.view());
    subtract(w.acc_m, n);

    const std::size_t bits = bit_length(exp);
    for (std::size_t i = bits == 0 ? 1 : bits; i-- > 0;) {
        mont.step(w.acc_m, w.acc_m);
        if (i < bits && bit_of(exp, i) != 0) {
            mont.step(w.base_m, w.acc_m);
        }
    }
    mont.reduce(w.acc_m, r);
}

void to_dec(const Value& a, char* buf, Workspace& w) noexcept
{
    if (a.is_zero()) {
        std::strcpy(buf, "0");
        return;
    }
    w.a.assign(a.view());
    w.b.set_word(10);
    char* out = buf;
    while (!w.a.is_zero()) {
        divide(w.a, w.b, &w.q, w.rest);
        swap(w.a, w.q);
        *out++ = static_cast<char>('0' + (w.rest.is_zero() ? 0 : w.rest.data()[0]));
    }
    *out = '\0';
    std::reverse(buf, out);
}

void from_dec(const char* text, Value& r) noexcept
{
    r.size = 0;
    while (*text == '0') {
        ++text;
    }
    for (; *text != '\0'; ++text) {
        times_ten(r);
        add_word(r, static_cast<unsigned char>(*text) - 48U);
    }
}

namespace {

[[nodiscard]] char hex_digit(Limb nibble) noexcept
{
    return static_cast<char>(nibble <= 9 ? nibble + '0' : nibble - 10 + 'A');
}

} // namespace

void to_hex(const Value& a, char* buf) noexcept
{
    const Limb* l = a.data();
    const std::size_t top = a.size == 0 ? 0 : a.size - 1;
    const Limb high = a.size == 0 ? 0 : l[top];
    unsigned digits = 8;
    while (digits > 2 && (high >> (4 * (digits - 2))) == 0) {
        digits -= 2;
    }
    char* out = buf;
    for (unsigned d = digits; d-- > 0;) {
        *out++ = hex_digit((high >> (4 * d)) & 0xFU);
    }
    for (std::size_t i = top; i-- > 0;) {
        for (unsigned d = 8; d-- > 0;) {
            *out++ = hex_digit((l[i] >> (4 * d)) & 0xFU);
        }
    }
    *out = '\0';
}

void from_hex(const char* text, Value& r) noexcept
{
    while (*text == '0') {
        ++text;
    }
    const std::size_t len = std::strlen(text);
    r.size = (len + 7) / 8;
    Limb* l = r.data();
    std::size_t next = r.size;
    Limb acc = 0;
    for (std::size_t left = len; left-- > 0;) {
        const auto ch = static_cast<unsigned char>(*text++);
        acc = acc * 16 + (ch >= 'a' ? ch - 87U : ch >= 'A' ? ch - 55U : ch - 48U);
        if (left % 8 == 0) {
            l[--next] = acc;
        }
    }
    r.trim();
}

void from_text(const unsigned char* bytes, std::size_t n, Value& r) noexcept
{
    r.size = (n + 3) / 4;
    Limb* l = r.data();
    std::fill(l, l + r.size, 0);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t position = n - 1 - i;
        l[position / 4] |= Limb{bytes[i]} << (8 * (position % 4));
    }
    r.trim();
}

void to_text(const Value& a, unsigned char* buf) noexcept
{
    const Limb* l = a.data();
    const std::size_t top = a.size == 0 ? 0 : a.size - 1;
    const Limb high = a.size == 0 ? 0 : l[top];
    unsigned bytes = 4;
    while (bytes > 1 && (high >> (8 * (bytes - 1))) == 0) {
        --bytes;
    }
    for (unsigned b = bytes; b-- > 0;) {
        *buf++ = static_cast<unsigned char>(high >> (8 * b));
    }
    for (std::size_t i = top; i-- > 0;) {
        for (unsigned b = 4; b-- > 0;) {
            *buf++ = static_cast<unsigned char>(l[i] >> (8 * b));
        }
    }
}

} // namespace bench::ref
