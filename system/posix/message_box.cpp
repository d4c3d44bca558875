// SPDX-License-Identifier: MIT
// The message box of a build without a desktop toolkit.

#include "../system.h"
#include "terminal_box.h"

namespace bignum::platform {

void message_box(const char* text) { terminal_message_box(text); }

} // namespace bignum::platform
