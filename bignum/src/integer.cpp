// SPDX-License-Identifier: MIT
// The value type's text forms: strict checking in front of the handle
// loaders, and the handle formatters behind to_string and the stream output.

#include <bignum/integer.h>

#include <algorithm>
#include <array>
#include <bit>
#include <ostream>
#include <vector>

namespace bignum {

namespace {

constexpr std::string_view digit_chars = "0123456789ABCDEF";

void require_base(int base)
{
    if (base != 2 && base != 8 && base != 10 && base != 16) {
        throw std::invalid_argument("bignum: base must be 2, 8, 10 or 16");
    }
}

// The value of ch as a digit, or base when it is not a digit of base.
std::uint32_t digit_value(char ch, int base)
{
    const auto limit = static_cast<std::uint32_t>(base);
    std::uint32_t value = limit;
    if (ch >= '0' && ch <= '9') {
        value = static_cast<std::uint32_t>(ch - '0');
    } else if (ch >= 'A' && ch <= 'F') {
        value = static_cast<std::uint32_t>(ch - 'A' + 10);
    } else if (ch >= 'a' && ch <= 'f') {
        value = static_cast<std::uint32_t>(ch - 'a' + 10);
    }
    return std::min(value, limit);
}

// 0b, 0o or 0x (either case) for bases 2, 8 and 16; base 10 has none.
bool starts_with_prefix(std::string_view text, int base)
{
    const char letter = base == 2 ? 'b' : base == 8 ? 'o' : base == 16 ? 'x' : '\0';
    const char upper = static_cast<char>(letter - 'a' + 'A');
    return letter != '\0' && text.size() >= 2 && text[0] == '0' && (text[1] == letter || text[1] == upper);
}

// Where the digits begin: after an optional sign and the base's optional
// prefix.
std::size_t digits_start(std::string_view text, int base)
{
    const std::size_t sign = text.starts_with('+') || text.starts_with('-') ? 1 : 0;
    return sign + (starts_with_prefix(text.substr(sign), base) ? 2 : 0);
}

void require_digits(std::string_view text, std::size_t start, int base)
{
    if (start == text.size()) {
        throw parse_error(text, start);
    }
    for (std::size_t i = start; i < text.size(); ++i) {
        if (digit_value(text[i], base) == static_cast<std::uint32_t>(base)) {
            throw parse_error(text, i);
        }
    }
}

std::string describe(std::string_view text, std::size_t position)
{
    const std::string where = " at position " + std::to_string(position);
    if (position == text.size()) {
        return "bignum: a digit was expected" + where + ", where the text ends";
    }
    const auto byte = static_cast<unsigned char>(text[position]);
    if (byte >= 0x20 && byte < 0x7F) {
        return "bignum: unexpected '" + std::string(1, text[position]) + "'" + where;
    }
    return "bignum: unexpected byte 0x" + std::string{digit_chars[byte / 16], digit_chars[byte % 16]} + where;
}

// Checked digits of base, through the handle loaders; bases 2 and 8 shift in
// each digit's bits.
integer magnitude_from(std::string_view digits, int base)
{
    integer x;
    if (base == 10) {
        big_from_dec(std::string(digits).c_str(), x.handle());
    } else if (base == 16) {
        big_from_hex(std::string(digits).c_str(), x.handle());
    } else {
        const auto bits = static_cast<std::uint32_t>(std::countr_zero(static_cast<unsigned>(base)));
        for (const char ch : digits) {
            big_shl(x.handle(), bits);
            big_add_word(x.handle(), digit_value(ch, base));
        }
    }
    return x;
}

// |x| in base 2 or 8, by repeated division.
std::string digits_by_division(integer rest, int base)
{
    std::string digits;
    do {
        digits.push_back(digit_chars.at(big_div_word(rest.handle(), static_cast<std::uint32_t>(base), rest.handle())));
    } while (rest.sign() != 0);
    std::reverse(digits.begin(), digits.end());
    return digits;
}

// |x| in base, without leading zeros: upper-case digits, "0" for zero.
std::string magnitude_text(const integer& x, int base)
{
    if (x.sign() == 0) {
        return "0";
    }
    if (base == 2 || base == 8) {
        return digits_by_division(x, base);
    }
    // Ten bytes a limb hold the decimal form, and the hexadecimal one's eight.
    std::vector<char> buf(10 * std::size_t{big_used_count(x.handle())} + 2);
    if (base == 10) {
        big_to_dec(x.handle(), buf.data());
    } else {
        big_to_hex(x.handle(), buf.data());
    }
    std::string text(buf.data());
    // The sign, and the zero that fills the hexadecimal form's top byte.
    text.erase(0, text.find_first_not_of("-0"));
    return text;
}

bool has(std::ios_base::fmtflags flags, std::ios_base::fmtflags flag) { return (flags & flag) == flag; }

int base_of(std::ios_base::fmtflags flags)
{
    const std::ios_base::fmtflags field = flags & std::ios_base::basefield;
    return field == std::ios_base::hex ? 16 : field == std::ios_base::oct ? 8 : 10;
}

std::string_view base_prefix(int base, bool upper)
{
    if (base == 16) {
        return upper ? "0X" : "0x";
    }
    return base == 8 ? "0" : "";
}

} // namespace

parse_error::parse_error(std::string_view text, std::size_t position)
    : std::invalid_argument(describe(text, position)), position_(position)
{
}

integer integer::parse(std::string_view text, int base)
{
    require_base(base);
    const std::size_t start = digits_start(text, base);
    require_digits(text, start, base);
    integer magnitude = magnitude_from(text.substr(start), base);
    return text.starts_with('-') ? -magnitude : magnitude;
}

std::string integer::to_string(int base) const
{
    require_base(base);
    std::string digits = magnitude_text(*this, base);
    return sign() < 0 ? "-" + digits : digits;
}

BigNum* integer::new_from(std::uint64_t magnitude, bool negative)
{
    std::array<unsigned char, sizeof magnitude> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes.at(i) = static_cast<unsigned char>(magnitude >> (8 * i));
    }
    integer x;
    big_from_raw(bytes.data(), static_cast<std::uint32_t>(bytes.size()), x.x_, negative ? 1 : 0);
    big_normalize(x.x_);
    return x.release();
}

std::ostream& operator<<(std::ostream& out, const integer& x)
{
    const std::ios_base::fmtflags flags = out.flags();
    const int base = base_of(flags);
    const bool upper = has(flags, std::ios_base::uppercase);
    std::string digits = magnitude_text(x, base);
    if (!upper) {
        std::transform(digits.begin(), digits.end(), digits.begin(),
                       [](char ch) { return ch >= 'A' ? static_cast<char>(ch - 'A' + 'a') : ch; });
    }
    std::string head = x.sign() < 0 ? "-" : "";
    if (has(flags, std::ios_base::showbase) && x.sign() != 0) {
        head += base_prefix(base, upper);
    }
    // Padding goes between the head and the digits only for std::internal;
    // the string's own insertion pads left or right and resets the width.
    const auto length = static_cast<std::streamsize>(head.size() + digits.size());
    if ((flags & std::ios_base::adjustfield) == std::ios_base::internal && out.width() > length) {
        digits.insert(0, static_cast<std::size_t>(out.width() - length), out.fill());
    }
    return out << head + digits;
}

} // namespace bignum
