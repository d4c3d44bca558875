# SPDX-License-Identifier: MIT
# Included by bignum/CMakeLists.txt. Installs the library, its headers (the
# public ones and the generated export.h and version.h), the CMake package
# bignum:: and the pkg-config files: bignum-static.pc for the static library,
# and bignum.pc for the shared one, or for the static one where no shared
# library is installed. A static and a shared build may install into one
# prefix: each kind has export and pkg-config files of its own, and
# bignumConfig.cmake picks between them.
#
# Install components, which the Debian packages follow: runtime (the shared
# library itself), development (everything a build needs), and rsacon and
# rsabox (the programs, installed by the top-level CMakeLists.txt).
include(CMakePackageConfigHelpers)

set(bignum_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/bignum)
# The file a shared library is linked by, which tells a static install that
# the shared library is in the prefix already.
if(WIN32)
  set(bignum_pc_shared_library ${CMAKE_IMPORT_LIBRARY_PREFIX}bignum${CMAKE_IMPORT_LIBRARY_SUFFIX})
else()
  set(bignum_pc_shared_library ${CMAKE_SHARED_LIBRARY_PREFIX}bignum${CMAKE_SHARED_LIBRARY_SUFFIX})
endif()

foreach(library IN LISTS bignum_libraries)
  get_target_property(kind ${library} EXPORT_NAME)
  string(REGEX REPLACE "^bignum_" "" kind "${kind}")
  install(TARGETS ${library} EXPORT bignum-${kind}-targets
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
  install(EXPORT bignum-${kind}-targets NAMESPACE bignum:: DESTINATION ${bignum_cmake_dir} COMPONENT development)

  # The .pc files are written when installing, for the prefix installed
  # into, which `cmake --install --prefix` and CPack choose only then.
  install(CODE "set(bignum_pc_kind ${kind})
    set(bignum_pc_shared_library ${bignum_pc_shared_library})
    set(bignum_pc_static_library ${CMAKE_STATIC_LIBRARY_PREFIX}bignum${CMAKE_STATIC_LIBRARY_SUFFIX})
    set(bignum_pc_both_kinds ${BIGNUM_STATIC_AND_SHARED})
    set(bignum_pc_libdir [[${CMAKE_INSTALL_LIBDIR}]])
    set(bignum_pc_includedir [[${CMAKE_INSTALL_INCLUDEDIR}]])
    set(bignum_pc_version ${bignum_VERSION})
    set(bignum_pc_template [[${CMAKE_CURRENT_LIST_DIR}/bignum.pc.in]])
    set(bignum_pc_build_dir [[${CMAKE_CURRENT_BINARY_DIR}/pkgconfig]])
    include([[${CMAKE_CURRENT_LIST_DIR}/install-pkg-config.cmake]])" COMPONENT development)
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
