# SPDX-License-Identifier: MIT
# Shared by the MinGW-w64 toolchain files, which set MINGW_TRIPLE and
# CMAKE_SYSTEM_PROCESSOR before including this one. Uses the Debian
# cross compilers with POSIX threads (g++-mingw-w64-*-posix).

set(CMAKE_SYSTEM_NAME Windows)

# googletest's own project enables C as well as C++.
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)

# Libraries and headers come from the target's tree only, so the host's GMP
# and GoogleTest are never mistaken for Windows ones.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Each .exe, and libbignum.dll in a shared build, runs alone: no libgcc,
# libstdc++ or winpthread DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
