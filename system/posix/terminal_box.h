// SPDX-License-Identifier: MIT
// The message box of a process without a display: the text in a frame on
// standard output, closed by Enter when standard input is a terminal.

#ifndef BIGNUM_SYSTEM_POSIX_TERMINAL_BOX_H
#define BIGNUM_SYSTEM_POSIX_TERMINAL_BOX_H

namespace bignum::platform {

void terminal_message_box(const char* text);

} // namespace bignum::platform

#endif // BIGNUM_SYSTEM_POSIX_TERMINAL_BOX_H
