# SPDX-License-Identifier: MIT
# Included by bignum/CMakeLists.txt. Installs the library, its headers (the
# public ones and the generated export.h and version.h), the CMake package
# bignum:: and bignum.pc.
include(CMakePackageConfigHelpers)

set(bignum_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/bignum)

install(TARGETS bignum EXPORT bignumTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/include/ ${bignum_generated_include}/
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${bignum_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})

install(EXPORT bignumTargets NAMESPACE bignum:: DESTINATION ${bignum_cmake_dir})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/bignumConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/bignumConfig.cmake INSTALL_DESTINATION ${bignum_cmake_dir})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/bignumConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/bignumConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/bignumConfigVersion.cmake
  DESTINATION ${bignum_cmake_dir})

# bignum.pc finds the prefix from its own place, so the tree can be installed
# with --prefix, packaged, or moved.
file(RELATIVE_PATH bignum_pc_prefix ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" bignum_pc_prefix "\${pcfiledir}/${bignum_pc_prefix}")
if(bignum_type STREQUAL "STATIC_LIBRARY")
  set(bignum_pc_cflags "-DBIGNUM_STATIC_DEFINE")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/bignum.pc.in ${CMAKE_CURRENT_BINARY_DIR}/bignum.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/bignum.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
