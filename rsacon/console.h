// SPDX-License-Identifier: MIT
// rsacon's console: unbuffered writes of NUL-terminated strings to standard
// output and a wait for one key on standard input.

#ifndef RSACON_CONSOLE_H
#define RSACON_CONSOLE_H

#include <bignum/bignum.h>

#include <cstdint>

// Takes the standard handles and puts the input into its normal line mode.
void console_init();
// One write of the string; false, writing nothing, when it is empty.
bool print_str(const char* s);
// The string (unless null) and then CR LF as a write of its own; returns the
// string write's byte count plus 2.
std::uint32_t print_line(const char* s);
// x in hexadecimal and CR LF, as print_line.
std::uint32_t print_big(const BigNum* x);
// Waits for one key without echo; 0 when input has ended.
std::uint32_t wait_key();
[[nodiscard]] std::uint32_t str_length(const char* s);

#endif // RSACON_CONSOLE_H
