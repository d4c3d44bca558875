# SPDX-License-Identifier: MIT
# 64-bit big-endian Linux (s390x): every byte order assumption shows here.
set(LINUX_TRIPLE s390x-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(LINUX_QEMU qemu-s390x-static)
include(${CMAKE_CURRENT_LIST_DIR}/linux.cmake)
