// SPDX-License-Identifier: MIT
#include "console.h"

#include "system/system.h"

#include <array>
#include <vector>

namespace platform = bignum::platform;

namespace {

constexpr std::uint32_t normal_input_mode = platform::input_processed | platform::input_line | platform::input_echo;
constexpr std::uint32_t key_wait_input_mode = platform::input_processed;

constexpr std::array<char, 2> line_break{'\r', '\n'};

platform::Handle stdin_handle{};
platform::Handle stdout_handle{};
// Byte count of the last string write or key read.
std::uint32_t transfer_count = 0;

} // namespace

void console_init()
{
    stdin_handle = platform::standard_handle(platform::StandardStream::input);
    stdout_handle = platform::standard_handle(platform::StandardStream::output);
    platform::set_input_mode(stdin_handle, normal_input_mode);
}

std::uint32_t str_length(const char* s)
{
    std::uint32_t n = 0;
    while (s[n] != '\0') {
        ++n;
    }
    return n;
}

bool print_str(const char* s)
{
    const std::uint32_t len = str_length(s);
    return len != 0 && platform::write_bytes(stdout_handle, s, len, transfer_count);
}

std::uint32_t print_line(const char* s)
{
    if (s != nullptr) {
        platform::write_bytes(stdout_handle, s, str_length(s), transfer_count);
    }
    std::uint32_t break_count = 0;
    platform::write_bytes(stdout_handle, line_break.data(), line_break.size(), break_count);
    return transfer_count + 2;
}

std::uint32_t print_big(const BigNum* x)
{
    std::vector<char> text(8 * std::size_t{big_used_count(x)} + 2);
    big_to_hex(x, text.data());
    return print_line(text.data());
}

std::uint32_t wait_key()
{
    unsigned char key = 0;
    platform::set_input_mode(stdin_handle, key_wait_input_mode);
    platform::read_bytes(stdin_handle, &key, 1, transfer_count);
    platform::set_input_mode(stdin_handle, normal_input_mode);
    return key;
}
