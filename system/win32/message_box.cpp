// SPDX-License-Identifier: MIT
// Apart from the rest of the layer, so that only a program that shows a box
// imports the window system.

#include "../system.h"

#include <windows.h>

namespace bignum::platform {

void message_box(const char* text) { MessageBoxA(nullptr, text, nullptr, MB_OK); }

} // namespace bignum::platform
