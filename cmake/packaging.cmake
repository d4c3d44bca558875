# SPDX-License-Identifier: MIT
# CPack: what `cmake --install` puts in place, as a .tar.gz and a Debian
# .deb (`cmake --workflow --preset package`, into build/packages).
set(CPACK_PACKAGE_NAME bignum)
set(CPACK_PACKAGE_VENDOR "The bignum authors")
set(CPACK_PACKAGE_CONTACT "The bignum authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Signed multi-precision integers in fixed-size blocks (C++20 library)")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR TGZ DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
# A shared library's package depends on the C and C++ runtimes it links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ${BUILD_SHARED_LIBS})
include(CPack)
