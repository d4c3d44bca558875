# SPDX-License-Identifier: MIT
# Included by bignum/CMakeLists.txt. Installs the library, its headers (the
# public ones and the generated export.h and version.h), the CMake package
# bignum:: and a pkg-config file per kind: bignum.pc (shared) and
# bignum-static.pc. A static and a shared build may install into one prefix:
# each kind has export and pkg-config files of its own, and bignumConfig.cmake
# picks between them.
#
# Install components, which the Debian packages follow: runtime (the shared
# library itself), development (everything a build needs) and programs.
include(CMakePackageConfigHelpers)

set(bignum_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/bignum)

# The .pc files find the prefix from their own place, so the tree can be
# installed with --prefix, packaged, or moved.
file(RELATIVE_PATH bignum_pc_prefix ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" bignum_pc_prefix "\${pcfiledir}/${bignum_pc_prefix}")

foreach(library IN LISTS bignum_libraries)
  get_target_property(kind ${library} EXPORT_NAME)
  string(REGEX REPLACE "^bignum_" "" kind "${kind}")
  install(TARGETS ${library} EXPORT bignum-${kind}-targets
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
  install(EXPORT bignum-${kind}-targets NAMESPACE bignum:: DESTINATION ${bignum_cmake_dir} COMPONENT development)

  # The static library by its file name: -lbignum would take the shared one
  # wherever both are installed.
  if(kind STREQUAL "static")
    set(bignum_pc_name bignum-static)
    set(bignum_pc_cflags " -DBIGNUM_STATIC_DEFINE")
    set(bignum_pc_libs "\${libdir}/${CMAKE_STATIC_LIBRARY_PREFIX}bignum${CMAKE_STATIC_LIBRARY_SUFFIX}")
  else()
    set(bignum_pc_name bignum)
    set(bignum_pc_cflags "")
    set(bignum_pc_libs "-L\${libdir} -lbignum")
  endif()
  configure_file(${CMAKE_CURRENT_LIST_DIR}/bignum.pc.in ${CMAKE_CURRENT_BINARY_DIR}/${bignum_pc_name}.pc @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${bignum_pc_name}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
    COMPONENT development)
endforeach()

install(DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/include/ ${bignum_generated_include}/
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)
install(FILES ${bignum_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT development)

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/bignumConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/bignumConfig.cmake INSTALL_DESTINATION ${bignum_cmake_dir})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/bignumConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/bignumConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/bignumConfigVersion.cmake
  DESTINATION ${bignum_cmake_dir} COMPONENT development)
