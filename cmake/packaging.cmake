# SPDX-License-Identifier: MIT
# CPack: what `cmake --install` puts in place, as one .tar.gz, and as Debian
# packages split by install component the way Debian splits a library:
#   runtime     -> libbignum<major>  the shared library (with its shlibs)
#   development -> libbignum-dev     headers, libbignum.so, libbignum.a, the
#                                    CMake package and the pkg-config files
#   rsacon      -> rsacon            the console program
#   rsabox      -> rsabox            the message-box program (with GTK's
#                                    libraries where it is built with GTK)
# each with a -dbgsym package of its debug information, as Debian builds
# them. `cmake --workflow --preset package` builds both kinds of library and
# writes these into build/packages.
set(BIGNUM_PACKAGE_MAINTAINER "The bignum authors <maintainers@users.noreply.c-seed-e4f5343e.example>"
  CACHE STRING "Maintainer of the Debian packages, as \"Name <address>\"")

set(CPACK_PACKAGE_NAME bignum)
set(CPACK_PACKAGE_VENDOR "The bignum authors")
set(CPACK_PACKAGE_CONTACT "${BIGNUM_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Signed multi-precision integers in fixed-size blocks (C++20 library)")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR TGZ DEB)
# Stripped; the Debian generator strips for itself, into the -dbgsym
# packages (cpack-settings.cmake).
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)

set(CPACK_COMPONENTS_ALL runtime development)
if(BIGNUM_INSTALL_PROGRAMS)
  list(APPEND CPACK_COMPONENTS_ALL rsacon rsabox)
endif()
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)
set(CPACK_COMPONENT_RSACON_DEPENDS runtime)
set(CPACK_COMPONENT_RSABOX_DEPENDS runtime)
# A component's dependency becomes "libbignum2 (= version)".
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends on the C and C++ runtimes from what the binaries link; the programs
# find libbignum.so.2 in the build tree.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/bignum)
# The runtime package says which package provides libbignum.so.2 to others.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libbignum${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Each package's description starts with its own synopsis line, which
# cpack-settings.cmake keeps the project's summary from displacing.
set(bignum_about "bignum holds signed integers of up to a few thousand bits as 32-bit
limbs, each number in one heap block under a process-wide precision, with
arithmetic, shifts, division, text and byte conversions, Euclid, modular
powers and primality screens.")
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "multi-precision integers in fixed-size blocks
${bignum_about}

This package holds the shared library.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libbignum-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "multi-precision integers in fixed-size blocks - development files
${bignum_about}

This package holds the C++20 headers, the static library, the link to the
shared one, the CMake package and the pkg-config files bignum and
bignum-static.")

# Both programs were one package, bignum-demos, before.
foreach(program IN ITEMS rsacon rsabox)
  string(TOUPPER ${program} upper)
  set(CPACK_DEBIAN_${upper}_PACKAGE_NAME ${program})
  set(CPACK_DEBIAN_${upper}_PACKAGE_SECTION math)
  set(CPACK_DEBIAN_${upper}_PACKAGE_CONFLICTS bignum-demos)
  set(CPACK_DEBIAN_${upper}_PACKAGE_REPLACES bignum-demos)
endforeach()
set(CPACK_DEBIAN_RSACON_DESCRIPTION "textbook RSA demonstration of the bignum library, on the console
rsacon derives an RSA key pair from two built-in primes, prints each value,
and encrypts and restores a short text with it, step by step.")
set(CPACK_DEBIAN_RSABOX_DESCRIPTION "textbook RSA demonstration of the bignum library, in message boxes
rsabox shows an RSA round trip in two message boxes (GTK dialogs on a
desktop, framed text on a terminal).")

# Settings per generator; before the packages are built, Debian's own files
# in each package (copyright and changelog.Debian.gz), and the binaries
# trimmed of what no package should carry.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack-settings.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian-docs.cmake ${CMAKE_CURRENT_LIST_DIR}/trim-binaries.cmake)
set(CPACK_BIGNUM_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_BIGNUM_CHANGELOG ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
set(CPACK_BIGNUM_OBJCOPY ${CMAKE_OBJCOPY})
# After them, what CPack of CMake 3.25 cannot be told: Multi-Arch for the
# library packages, and no postinst or postrm calling ldconfig where
# libbignum2's trigger does it.
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian-control.cmake)
set(CPACK_BIGNUM_MULTIARCH_SAME ${CPACK_DEBIAN_RUNTIME_PACKAGE_NAME} ${CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME})

include(CPack)
