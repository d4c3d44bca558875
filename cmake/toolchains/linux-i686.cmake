# SPDX-License-Identifier: MIT
# 32-bit Linux (i686): the home platform's word sizes on a kernel that runs
# no i386 code itself.
set(LINUX_TRIPLE i686-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(LINUX_QEMU qemu-i386-static)
include(${CMAKE_CURRENT_LIST_DIR}/linux.cmake)
