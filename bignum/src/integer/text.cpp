// SPDX-License-Identifier: MIT
// The value type's text forms: strict checking in front of the limb
// routines' digit conversions, numbers shortened for messages, the layout that streams and formatters share, and
// reading from a stream as the standard library reads a long long.

#include "internals.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <istream>
#include <numeric>
#include <ostream>
#include <span>

namespace bignum {

namespace {

constexpr int max_base = 36;

void require_base(int base)
{
    if (base < 2 || base > max_base) {
        throw std::invalid_argument("bignum: base must be 2 to 36 (or 0 to parse by prefix)");
    }
}

// The prefix letter of bases 2, 8 and 16, lower case; none for the others.
char prefix_letter(int base) { return base == 2 ? 'b' : base == 8 ? 'o' : base == 16 ? 'x' : '\0'; }

// 0b, 0o or 0x (either case) as the text's first two bytes, for its base.
bool starts_with_prefix(std::string_view text, int base)
{
    const char letter = prefix_letter(base);
    return letter != '\0' && text.size() >= 2 && text[0] == '0' &&
           (text[1] == letter || text[1] == static_cast<char>(letter - 'a' + 'A'));
}

// What '#' or std::showbase puts before a value's digits: 0b, 0x (upper
// case when asked) or 0; nothing in the other bases.
std::string_view base_prefix(int base, bool upper)
{
    switch (base) {
    case 2: return upper ? "0B" : "0b";
    case 8: return "0";
    case 16: return upper ? "0X" : "0x";
    default: return "";
    }
}

std::size_t sign_length(std::string_view text) { return text.starts_with('+') || text.starts_with('-') ? 1 : 0; }

// Base 0: the base that the prefix after the sign names, decimal without one.
int base_from_prefix(std::string_view text)
{
    const std::string_view rest = text.substr(sign_length(text));
    constexpr std::array prefixed{2, 8, 16};
    const auto named = static_cast<std::size_t>(
        std::ranges::find_if(prefixed, [rest](int base) { return starts_with_prefix(rest, base); }) - prefixed.begin());
    return named < prefixed.size() ? prefixed.at(named) : 10;
}

// Where the digits begin: after an optional sign and the base's optional
// prefix.
std::size_t digits_start(std::string_view text, int base)
{
    const std::size_t sign = sign_length(text);
    return sign + (starts_with_prefix(text.substr(sign), base) ? 2 : 0);
}

// The digits of a base: how many decimal digits and how many letters.
struct digit_set {
    unsigned char decimals;
    unsigned char letters;
};

digit_set digits_of(int base)
{
    const auto b = static_cast<unsigned char>(base);
    return {std::min<unsigned char>(b, 10), static_cast<unsigned char>(b > 10 ? b - 10 : 0)};
}

// Without a branch, so that the compiler checks many bytes at once; bytes
// below '0' or 'a' wrap to large values.
bool is_digit(char ch, digit_set set)
{
    const auto byte = static_cast<unsigned char>(ch);
    const auto decimal = static_cast<unsigned char>(byte - '0');
    const auto letter = static_cast<unsigned char>((byte | 0x20U) - 'a');
    return (static_cast<unsigned>(decimal < set.decimals) | static_cast<unsigned>(letter < set.letters)) != 0;
}

bool is_digit_of(char ch, int base) { return is_digit(ch, digits_of(base)); }

template <std::size_t N>
bool all_digits(std::span<const char, N> part, digit_set set)
{
    const auto stray = std::accumulate(part.begin(), part.end(), 0U, [set](unsigned seen, char ch) {
        return seen | static_cast<unsigned>(!is_digit(ch, set));
    });
    return stray == 0;
}

// Blocks of a fixed size first, checked without a branch per byte, so that
// the check costs little beside the conversion; the first offending byte is
// searched for only in malformed text.
void require_digits(std::string_view text, std::size_t start, int base)
{
    const digit_set set = digits_of(base);
    const std::string_view digits = text.substr(start);
    constexpr std::size_t block = 64;
    std::size_t checked = 0;
    for (; checked + block <= digits.size(); checked += block) {
        if (!all_digits(std::span<const char, block>(digits.data() + checked, block), set)) {
            break;
        }
    }
    const std::string_view rest = digits.substr(checked);
    if (digits.empty() || !all_digits(std::span(rest), set)) {
        const auto bad = static_cast<std::size_t>(
            std::ranges::find_if_not(rest, [set](char ch) { return is_digit(ch, set); }) - rest.begin());
        throw parse_error(text, start + checked + bad);
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
    constexpr std::string_view hex_digits = "0123456789ABCDEF";
    return "bignum: unexpected byte 0x" + std::string{hex_digits[byte / 16], hex_digits[byte % 16]} + where;
}

// The digits of |x| in base.
std::string magnitude_text(const integer& x, int base, bool lower)
{
    return limbs::to_digits(integer_internals::magnitude(x), static_cast<unsigned>(base), lower);
}

// Where padding goes: before, around, after, or between head and digits.
enum class Align { left, right, center, internal };

// head (sign and prefix) and digits, padded with fill to width characters.
std::string laid_out(std::string_view head, std::string_view digits, std::size_t width, std::string_view fill,
                     Align align)
{
    const std::size_t length = head.size() + digits.size();
    const std::size_t padding = width > length ? width - length : 0;
    const std::size_t before = align == Align::right ? padding : align == Align::center ? padding / 2 : 0;
    const std::size_t inside = align == Align::internal ? padding : 0;
    const std::size_t after = padding - before - inside;
    std::string text;
    text.reserve(length + padding * fill.size());
    const auto pad = [&text, fill](std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            text += fill;
        }
    };
    pad(before);
    text += head;
    pad(inside);
    text += digits;
    pad(after);
    return text;
}

// badbit set without raising what the exception mask asks for: the caller
// raises the failure's own exception instead.
void set_badbit_quietly(std::istream& in)
{
    const std::ios_base::iostate mask = in.exceptions();
    in.exceptions(std::ios_base::goodbit);
    in.setstate(std::ios_base::badbit);
    try {
        in.exceptions(mask);
    } catch (const std::ios_base::failure&) {
        // Raised by restoring the mask over badbit; the caller raises its own.
    }
}

bool has(std::ios_base::fmtflags flags, std::ios_base::fmtflags flag) { return (flags & flag) == flag; }

// The basefield's base: 0 when it is cleared (the reader then looks for a
// prefix), decimal for dec or any mix of flags, as the standard library has it.
int base_of(std::ios_base::fmtflags flags)
{
    const std::ios_base::fmtflags field = flags & std::ios_base::basefield;
    if (field == std::ios_base::fmtflags{}) {
        return 0;
    }
    return field == std::ios_base::hex ? 16 : field == std::ios_base::oct ? 8 : 10;
}

Align align_of(std::ios_base::fmtflags flags)
{
    const std::ios_base::fmtflags field = flags & std::ios_base::adjustfield;
    return field == std::ios_base::left       ? Align::left
           : field == std::ios_base::internal ? Align::internal
                                              : Align::right;
}

// What a stream reads as one number, one byte at a time: the sign, then the
// base's digits, with a prefix that a hexadecimal or cleared basefield
// allows before them.
class Scanner {
public:
    Scanner(std::streambuf& buf, int base) : buf_(buf), base_(base) {}

    // The text of the number (sign and digits) and its base; no text when
    // the input holds none.
    std::string scan()
    {
        if (peek() == '+' || peek() == '-') {
            text_ += take();
        }
        if ((base_ == 16 || base_ == 0) && peek() == '0') {
            take();
            if (peek() == 'x' || peek() == 'X') {
                // The prefix alone is not a number: hexadecimal digits must follow.
                take();
                base_ = 16;
            } else {
                keep('0');
                base_ = base_ == 0 ? 8 : base_;
            }
        }
        base_ = base_ == 0 ? 10 : base_;
        while (is_digit_of(peek(), base_)) {
            keep(take());
        }
        return text_.size() > sign_length(text_) ? text_ : std::string{};
    }
    [[nodiscard]] int base() const noexcept { return base_; }
    [[nodiscard]] bool ended() const noexcept { return ended_; }

private:
    // The next byte, or '\0' (which continues no number) at the end.
    char peek()
    {
        const auto next = buf_.sgetc();
        ended_ = std::istream::traits_type::eq_int_type(next, std::istream::traits_type::eof());
        return ended_ ? '\0' : std::istream::traits_type::to_char_type(next);
    }
    char take()
    {
        const char ch = peek();
        buf_.sbumpc();
        return ch;
    }
    // One zero stands for every leading zero, so that a run of them costs
    // no memory.
    void keep(char digit)
    {
        if (digit == '0' && !significant_) {
            if (!zero_kept_) {
                text_ += '0';
                zero_kept_ = true;
            }
            return;
        }
        significant_ = true;
        text_ += digit;
    }

    std::streambuf& buf_;
    int base_;
    std::string text_;
    bool significant_ = false;
    bool zero_kept_ = false;
    bool ended_ = false;
};

} // namespace

parse_error::parse_error(std::string_view text, std::size_t position)
    : std::invalid_argument(describe(text, position)), position_(position)
{
}

integer integer::parse(std::string_view text, int base)
{
    if (base == 0) {
        base = base_from_prefix(text);
    }
    require_base(base);
    const std::size_t start = digits_start(text, base);
    require_digits(text, start, base);
    const std::string_view digits = text.substr(start);
    integer x;
    integer_internals::result r(x, limbs::digits_room(digits.size(), static_cast<unsigned>(base)), false);
    const std::size_t used = limbs::from_digits(r.limbs(), digits, static_cast<unsigned>(base));
    r.commit(used, text.starts_with('-'));
    return x;
}

std::string integer::to_string(int base) const
{
    require_base(base);
    // The sign goes into the digits' own string: no second one, no copy.
    std::string text = magnitude_text(*this, base, false);
    if (sign() < 0) {
        text.insert(text.begin(), '-');
    }
    return text;
}

std::string shown(detail::operand x)
{
    constexpr std::size_t longest = 40;
    constexpr std::size_t kept = longest / 2;
    std::string digits = limbs::to_digits(integer_internals::magnitude(x), 10, true);
    if (const std::size_t count = digits.size(); count > longest) {
        digits.replace(kept, count - 2 * kept, "...");
        digits += " (" + std::to_string(count) + " digits)";
    }
    return x.negative ? "-" + digits : digits;
}

// As the standard library writes a long long: the sign (showpos only in
// decimal), then 0x or 0X before a non-zero hexadecimal value, the digits
// (an octal value's leading 0 among them, so internal padding goes before
// it), with the padding of the adjustfield.
std::ostream& operator<<(std::ostream& out, const integer& x)
{
    const std::ios_base::fmtflags flags = out.flags();
    const int field = base_of(flags);
    const int base = field == 0 ? 10 : field;
    const bool upper = has(flags, std::ios_base::uppercase);
    const bool prefixed = has(flags, std::ios_base::showbase) && x.sign() != 0;
    std::string head = x.sign() < 0 ? "-" : base == 10 && has(flags, std::ios_base::showpos) ? "+" : "";
    if (prefixed && base == 16) {
        head += base_prefix(base, upper);
    }
    const std::string digits = (prefixed && base == 8 ? "0" : "") + magnitude_text(x, base, !upper);
    const std::size_t width = static_cast<std::size_t>(std::max<std::streamsize>(out.width(), 0));
    const char fill = out.fill();
    out.width(0);
    return out << laid_out(head, digits, width, {&fill, 1}, align_of(flags));
}

// A failure in the middle of a number (memory) sets badbit as the standard
// extractors do, and raises again only where the exception mask asks.
std::istream& operator>>(std::istream& in, integer& x)
{
    const std::istream::sentry ready(in);
    if (!ready) {
        return in;
    }
    std::ios_base::iostate state = std::ios_base::goodbit;
    try {
        Scanner scanner(*in.rdbuf(), base_of(in.flags()));
        const std::string text = scanner.scan();
        state = scanner.ended() ? std::ios_base::eofbit : std::ios_base::goodbit;
        if (text.empty()) {
            state |= std::ios_base::failbit;
        } else {
            x = integer::parse(text, scanner.base());
        }
    } catch (...) {
        set_badbit_quietly(in);
        if ((in.exceptions() & std::ios_base::badbit) != 0) {
            throw;
        }
        return in;
    }
    in.setstate(state);
    return in;
}

namespace {

// True for a spec that the formatters' parser could have built: one whole
// UTF-8 lead's worth of fill other than a brace, and known fields.
bool is_parsable(const format_spec& spec)
{
    const auto one_of = [](char ch, std::string_view allowed) {
        return ch != '\0' && allowed.find(ch) != std::string_view::npos;
    };
    return spec.fill_size == detail::utf8_length(spec.fill[0]) && !one_of(spec.fill[0], "{}") &&
           (spec.align == '\0' || one_of(spec.align, "<>^")) && one_of(spec.sign, "-+ ") &&
           one_of(spec.type, "dxXobB") && spec.width <= format_spec::max_width;
}

} // namespace

std::string formatted(const integer& x, const format_spec& spec)
{
    if (!is_parsable(spec)) {
        throw std::invalid_argument("bignum: a format_spec that no format string gives");
    }
    const int base = spec.type == 'x' || spec.type == 'X' ? 16 : spec.type == 'o' ? 8 : spec.type == 'd' ? 10 : 2;
    const bool upper = spec.type == 'X' || spec.type == 'B';
    std::string head = x.sign() < 0 ? "-" : spec.sign == '-' ? "" : std::string(1, spec.sign);
    if (spec.alternate && (base != 8 || x.sign() != 0)) {
        head += base_prefix(base, upper);
    }
    const std::string digits = magnitude_text(x, base, !upper);
    const std::string_view fill(spec.fill.data(), spec.fill_size);
    switch (spec.align) {
    case '<': return laid_out(head, digits, spec.width, fill, Align::left);
    case '^': return laid_out(head, digits, spec.width, fill, Align::center);
    case '>': return laid_out(head, digits, spec.width, fill, Align::right);
    default:
        return spec.zero_pad ? laid_out(head, digits, spec.width, "0", Align::internal)
                             : laid_out(head, digits, spec.width, fill, Align::right);
    }
}

integer integer::from_literal(std::string_view text)
{
    const std::size_t bad = detail::literal_error(text);
    if (bad != std::string_view::npos) {
        throw parse_error(text, bad);
    }
    const detail::literal_form form = detail::literal_form_of(text);
    std::string digits(text.substr(form.start));
    std::erase(digits, '\'');
    return integer::parse(digits, static_cast<int>(form.base));
}

} // namespace bignum
