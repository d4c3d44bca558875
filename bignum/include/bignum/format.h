// SPDX-License-Identifier: MIT
// Formatting bignum::integer with fmt (when <fmt/format.h> is there) and
// with std::format (when the standard library has <format>): the integer
// presentation types d, x, X, o, b and B, '#' for the base's prefix, a sign
// of '+', '-' or ' ', '0' for zeros after the sign and prefix, and a fixed
// width with fill and alignment ('<', '>', '^'; right by default), as both
// write a long long:
//
//     fmt::format("{:#x}", x);       // 0x1f
//     fmt::format("{:*>+12}", x);    // *********+31
//
// As in <format>, '0' is ignored where an alignment is given. A precision,
// 'L', 'c' and a width taken from an argument are refused.
// Including this header needs neither library; the bignum library itself
// is built without either.

#ifndef BIGNUM_FORMAT_H
#define BIGNUM_FORMAT_H

#include <bignum/integer.h>

#include <algorithm>
#include <string>
#include <version>

namespace bignum::detail {

// Where a spec stops, and what was wrong with it (nullptr when nothing).
template <class Iterator>
struct spec_end {
    Iterator end;
    const char* error;
};

constexpr bool is_align(char ch) noexcept { return ch == '<' || ch == '>' || ch == '^'; }

// Reads [[fill]align][sign][#][0][width][type] from [it, end) into spec, up
// to the closing '}' or the end. Constant-evaluated where the format string
// is checked when compiling, so a bad spec there does not compile.
template <class Iterator>
constexpr spec_end<Iterator> parse_format_spec(Iterator it, Iterator end, format_spec& spec)
{
    const auto at_end = [&it, end] { return it == end || *it == '}'; };
    const std::size_t fill_size = it == end ? 1 : utf8_length(*it);
    if (end - it > static_cast<std::ptrdiff_t>(fill_size) && is_align(*(it + static_cast<std::ptrdiff_t>(fill_size)))) {
        if (*it == '{' || *it == '}') {
            return {it, "bignum: '{' and '}' cannot fill"};
        }
        std::copy(it, it + static_cast<std::ptrdiff_t>(fill_size), spec.fill.begin());
        spec.fill_size = fill_size;
        it += static_cast<std::ptrdiff_t>(fill_size);
    }
    if (!at_end() && is_align(*it)) {
        spec.align = *it++;
    }
    if (!at_end() && (*it == '+' || *it == '-' || *it == ' ')) {
        spec.sign = *it++;
    }
    if (!at_end() && *it == '#') {
        spec.alternate = true;
        ++it;
    }
    if (!at_end() && *it == '0') {
        spec.zero_pad = true;
        ++it;
    }
    while (!at_end() && *it >= '0' && *it <= '9') {
        spec.width = spec.width * 10 + static_cast<std::size_t>(*it++ - '0');
        if (spec.width > format_spec::max_width) {
            return {it, "bignum: the width is too large"};
        }
    }
    if (!at_end() && std::string_view("dxXobB").find(*it) != std::string_view::npos) {
        spec.type = *it++;
    }
    if (!at_end()) {
        return {it, "bignum: an integer takes [[fill]align][sign][#][0][width][type], type one of d x X o b B"};
    }
    return {it, nullptr};
}

// Both formatters: the spec parsed once, the text laid out by the library.
// Error is the format_error type of the library doing the formatting.
template <class Error>
class integer_formatter {
public:
    template <class ParseContext>
    constexpr auto parse(ParseContext& ctx)
    {
        const auto [end, error] = parse_format_spec(ctx.begin(), ctx.end(), spec_);
        if (error != nullptr) {
            throw Error(error);
        }
        return end;
    }
    template <class FormatContext>
    auto format(const integer& x, FormatContext& ctx) const
    {
        const std::string text = formatted(x, spec_);
        return std::copy(text.begin(), text.end(), ctx.out());
    }

private:
    format_spec spec_;
};

} // namespace bignum::detail

#if __has_include(<fmt/format.h>)
#include <fmt/format.h>

template <>
struct fmt::formatter<bignum::integer> : bignum::detail::integer_formatter<fmt::format_error> {
};
#endif

#if defined(__cpp_lib_format)
#include <format>

template <>
struct std::formatter<bignum::integer> : bignum::detail::integer_formatter<std::format_error> {
};
#endif

#endif // BIGNUM_FORMAT_H
