# SPDX-License-Identifier: MIT
# Shared by the Linux cross toolchain files, which set LINUX_TRIPLE,
# CMAKE_SYSTEM_PROCESSOR and LINUX_QEMU before including this one. Uses the
# Debian cross compilers (g++-<triple>); the executables run under QEMU's user
# mode emulation (qemu-user-static).

set(CMAKE_SYSTEM_NAME Linux)

# googletest's own project enables C as well as C++.
set(CMAKE_C_COMPILER ${LINUX_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${LINUX_TRIPLE}-g++)

# Libraries and headers come from the target's tree only, so the host's GMP
# and GoogleTest are never mistaken for the target's.
set(CMAKE_FIND_ROOT_PATH /usr/${LINUX_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static executables need no target loader or libraries to run under QEMU.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_CROSSCOMPILING_EMULATOR ${LINUX_QEMU})
