// SPDX-License-Identifier: MIT
// The four loaders on arbitrary bytes, at precisions from 32 to 16383 bits.
// Each load is compared with a model of the documented format written here
// from scratch; every value then goes through the formatters and stores into
// buffers of exactly the documented size, and a value in normal form must
// load back from them unchanged.
//
// Input: one control byte (bits 0-2 the precision, 3-4 the loader, 5 a full
// 32-bit sign argument instead of one bit), the sign, then the payload.

#include "fuzz_support.h"

#include <algorithm>
#include <array>
#include <string>

using namespace bignum_fuzz;

namespace {

// The last entry has its low 14 bits clear, which the library refuses.
constexpr std::array<std::uint32_t, 8> precisions{1, 64, 100, 256, 1024, 4096, 16383, 0x8000};

// Decimal output divides by ten once per digit; longer values only load.
constexpr std::uint32_t decimal_round_trip_limbs = 32;

enum class Loader : std::uint8_t { hex, dec, raw, text };

// What a load should give: the limbs in use, or that it must be refused.
struct Expected {
    bool refused = false;
    std::vector<std::uint32_t> limbs{0};
    std::uint32_t sign = 0;
};

Expected refusal() { return Expected{true, {}, 0}; }

// Text up to its first NUL, as the text loaders read it.
std::string c_string(std::span<const std::uint8_t> bytes)
{
    return {bytes.begin(), std::find(bytes.begin(), bytes.end(), 0)};
}

// Skips an optional leading "-" and then every "0"; returns the position of
// the first significant character.
std::size_t skip_sign_and_zeros(const std::string& text, bool& negative)
{
    negative = !text.empty() && text[0] == '-';
    std::size_t pos = negative ? 1 : 0;
    while (pos < text.size() && text[pos] == '0') {
        ++pos;
    }
    return pos;
}

std::uint32_t hex_digit_value(unsigned char ch)
{
    if (ch >= 'a') {
        return ch - 87U;
    }
    if (ch >= 'A') {
        return ch - 55U;
    }
    return ch - 48U; // wraps below '0'
}

// Every character adds its value times 16 to the power of its distance from
// the right end, modulo 2^32 within the limb of its group of eight.
Expected hex_model(const std::string& text)
{
    bool negative = false;
    const std::size_t first = skip_sign_and_zeros(text, negative);
    const std::size_t len = text.size() - first;
    if (len > 8 * std::size_t{big_limb_capacity()}) {
        return refusal();
    }
    if (len == 0) {
        return {};
    }
    Expected e{false, std::vector<std::uint32_t>((len + 7) / 8, 0), negative ? 1U : 0U};
    for (std::size_t i = 0; i < len; ++i) {
        const std::size_t from_right = len - 1 - i;
        const std::uint32_t v = hex_digit_value(static_cast<unsigned char>(text[first + i]));
        e.limbs[from_right / 8] += v << (4 * (from_right % 8));
    }
    return e;
}

// value = value x 10 + (b - 48 mod 2^32) per byte, on a growing limb vector.
Expected decimal_model(const std::string& text)
{
    bool negative = false;
    const std::size_t first = skip_sign_and_zeros(text, negative);
    if (first == text.size()) {
        return {};
    }
    Expected e{false, {0}, negative ? 1U : 0U};
    for (std::size_t i = first; i < text.size(); ++i) {
        std::uint64_t carry = static_cast<unsigned char>(text[i]) - 48U;
        for (std::uint32_t& limb : e.limbs) {
            const std::uint64_t t = std::uint64_t{limb} * 10 + carry;
            limb = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        if (carry != 0) {
            e.limbs.push_back(static_cast<std::uint32_t>(carry));
        }
        if (e.limbs.size() > big_limb_capacity()) {
            return refusal(); // the value only grows from here
        }
    }
    return e;
}

Expected bytes_model(std::span<const std::uint8_t> bytes, std::uint32_t sign, Loader loader)
{
    const std::uint32_t sign_read = loader == Loader::raw ? (sign & 0xFFU) : sign;
    if (sign_read > 1 || bytes.size() > 4 * std::size_t{big_limb_capacity()}) {
        return refusal();
    }
    const std::size_t n = bytes.size();
    Expected e{false, std::vector<std::uint32_t>(n == 0 ? 1 : (n + 3) / 4, 0), sign_read};
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t position = loader == Loader::raw ? i : n - 1 - i;
        e.limbs[position / 4] |= std::uint32_t{bytes[i]} << (8 * (position % 4));
    }
    return e;
}

void check_matches(const BigNum* x, const Expected& e)
{
    check_block(x);
    check(used_of(x) == e.limbs.size(), "loaded used count differs from the model");
    check(sign_of(x) == e.sign, "loaded sign differs from the model");
    check(std::equal(e.limbs.begin(), e.limbs.end(), big_limbs(x)), "loaded limbs differ from the model");
}

std::uint32_t text_store_size(const BigNum* x)
{
    const std::uint32_t top = big_limbs(x)[used_of(x) - 1];
    std::uint32_t bytes = 4;
    while (bytes > 1 && (top >> (8 * (bytes - 1))) == 0) {
        --bytes;
    }
    return 4 * (used_of(x) - 1) + bytes;
}

// Each formatter and store writes into a buffer of exactly its documented
// size, so a write past it is a heap overflow that the address sanitizer
// reports; a value in normal form must load back unchanged.
void check_hex_round_trip(const BigNum* x, bool normal)
{
    std::vector<char> buf(8 * std::size_t{used_of(x)} + 2);
    const std::uint32_t len = big_to_hex(x, buf.data());
    check(len == std::strlen(buf.data()), "big_to_hex returned a length other than the text's");
    check(len % 2 == (sign_of(x) != 0 ? 1U : 0U), "big_to_hex wrote an odd number of digits");
    if (normal) {
        const Num back;
        big_from_hex(buf.data(), back);
        check(same(back, x), "hexadecimal round trip changed the value");
    }
}

void check_decimal_round_trip(const BigNum* x, bool normal)
{
    if (used_of(x) > decimal_round_trip_limbs) {
        return;
    }
    std::vector<char> buf(10 * std::size_t{used_of(x)} + 2);
    big_to_dec(x, buf.data());
    // Division reads a value's length from its top limb, so only a value in
    // normal form has a meaningful decimal text.
    if (normal) {
        const std::string text = buf.data();
        const std::size_t first_digit = text[0] == '-' ? 1 : 0;
        check(text.find_first_not_of("0123456789", first_digit) == std::string::npos, "big_to_dec wrote a non-digit");
        check(text.size() > first_digit && (text[first_digit] != '0' || text == "0"),
              "big_to_dec wrote a leading zero");
        const Num back;
        big_from_dec(buf.data(), back);
        check(same(back, x), "decimal round trip changed the value");
    }
}

void check_byte_round_trips(const BigNum* x, bool normal)
{
    std::vector<std::uint8_t> raw(4 * std::size_t{used_of(x)});
    const std::uint32_t raw_sign = big_to_raw(x, raw.data());
    check(raw_sign == sign_of(x), "big_to_raw returned another sign");
    check(std::memcmp(raw.data(), big_limbs(x), raw.size()) == 0, "big_to_raw wrote other than the limb image");

    const std::uint32_t text_size = text_store_size(x);
    std::vector<std::uint8_t> text(text_size);
    const std::uint32_t text_sign = big_to_text(x, text.data());
    check(text_sign == sign_of(x), "big_to_text returned another sign");
    if (normal) {
        const Num back;
        big_from_raw(raw.data(), static_cast<std::uint32_t>(raw.size()), back, raw_sign);
        check(same(back, x), "raw round trip changed the value");
        big_from_text(text.data(), text_size, back, text_sign);
        check(same(back, x), "text round trip changed the value");
    }
}

void load(Loader loader, const std::string& text, std::span<const std::uint8_t> bytes, std::uint32_t sign, BigNum* x)
{
    const auto n = static_cast<std::uint32_t>(bytes.size());
    switch (loader) {
    case Loader::hex: big_from_hex(text.c_str(), x); break;
    case Loader::dec: big_from_dec(text.c_str(), x); break;
    case Loader::raw: big_from_raw(bytes.data(), n, x, sign); break;
    case Loader::text: big_from_text(bytes.data(), n, x, sign); break;
    }
}

Expected model(Loader loader, const std::string& text, std::span<const std::uint8_t> bytes, std::uint32_t sign)
{
    switch (loader) {
    case Loader::hex: return hex_model(text);
    case Loader::dec: return decimal_model(text);
    case Loader::raw:
    case Loader::text: return bytes_model(bytes, sign, loader);
    }
    fail("unknown loader");
}

// The settings follow the documented rounding, and neither a refused bits
// value nor a change under a live block disturbs them.
bool check_precision(std::uint32_t bits)
{
    const std::uint32_t rounded = ((bits & 0x3FFFU) + 31U) & ~31U;
    const std::uint32_t capacity_before = big_limb_capacity();
    if (rounded == 0) {
        check(raises<big_error>([&] { big_set_precision(bits); }), "a precision of 0 bits was accepted");
        check(big_limb_capacity() == capacity_before, "a refused precision changed the capacity");
        return false;
    }
    big_set_precision(bits);
    check(big_limb_capacity() == rounded / 8 && big_block_size() == rounded / 2 + 8, "settings off the rounding");
    const Num alive;
    check(raises<big_error>([&] { big_set_precision(bits); }), "precision changed under a live block");
    check(big_limb_capacity() == rounded / 8, "a refused precision change altered the capacity");
    return true;
}

void fuzz_one(Input in)
{
    const std::uint8_t control = in.byte();
    if (!check_precision(precisions.at(control & 7U))) {
        return;
    }
    const auto loader = static_cast<Loader>((control >> 3) & 3U);
    const std::uint32_t sign = (control & 0x20U) != 0 ? in.word() : in.byte() & 1U;
    const std::span<const std::uint8_t> bytes = in.rest();
    const std::string text = c_string(bytes);

    const Expected expected = model(loader, text, bytes, sign);
    const Num x;
    big_set_int(x, -0x5A5A5A5A);
    const Num before(x);
    const bool refused = raises<big_error>([&] { load(loader, text, bytes, sign, x); });
    check(refused == expected.refused, "loader refusal differs from the model");
    if (refused) {
        // A failed decimal load may leave a partial value; the others leave x.
        check(loader == Loader::dec || same(x, before), "a refused load changed its destination");
        check_block(x);
        return;
    }
    check_matches(x, expected);
    const bool normal = is_normal(x);
    check(normal || loader != Loader::dec, "decimal text loaded outside normal form");
    check_hex_round_trip(x, normal);
    check_decimal_round_trip(x, normal);
    check_byte_round_trips(x, normal);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    run_without_leaks([&] { fuzz_one(Input(data, size)); });
    return 0;
}
