# SPDX-License-Identifier: MIT
# Run by CPack after it has built the packages (packaging.cmake). Each Debian
# package is unpacked, given what the DEB generator of CMake 3.25 leaves out
# or gets wrong, and built again:
# - "Multi-Arch: same" for the packages in CPACK_BIGNUM_MULTIARCH_SAME and
#   their -dbgsym packages, whose files never clash between architectures;
# - no postinst and postrm: CPack writes them to call ldconfig for a shared
#   library, which libbignum2's ldconfig trigger does instead;
# - in a -dbgsym package, md5sums of its own files (CPack lists the build
#   tree's paths), debug files that are not executable, and the
#   documentation of the package it belongs to, by a link as Debian's own.
cmake_policy(VERSION 3.25)
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()

# The value of a control field; each field starts a line.
function(control_field control field out)
  string(REGEX MATCH "\n${field}: ([^\n]*)" match "\n${control}")
  set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

function(add_multiarch_same root)
  file(READ ${root}/DEBIAN/control control)
  if(NOT control MATCHES "(^|\n)Multi-Arch:")
    string(REGEX REPLACE "(^|\n)(Package: [^\n]*)" "\\1\\2\nMulti-Arch: same" control "${control}")
    file(WRITE ${root}/DEBIAN/control "${control}")
  endif()
endfunction()

function(mend_dbgsym root owner)
  file(GLOB_RECURSE debug_files RELATIVE ${root} ${root}/usr/lib/debug/*)
  set(sums "")
  foreach(file IN LISTS debug_files)
    file(CHMOD ${root}/${file} FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    file(MD5 ${root}/${file} sum)
    string(APPEND sums "${sum}  ${file}\n")
  endforeach()
  file(WRITE ${root}/DEBIAN/md5sums "${sums}")
  file(MAKE_DIRECTORY ${root}/usr/share/doc)
  file(CREATE_LINK ${owner} ${root}/usr/share/doc/${owner}-dbgsym SYMBOLIC)
endfunction()

set(root ${CPACK_TOPLEVEL_DIRECTORY}/control-fix)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  file(REMOVE_RECURSE ${root})
  execute_process(COMMAND dpkg-deb --raw-extract ${package} ${root} COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE ${root}/DEBIAN/postinst ${root}/DEBIAN/postrm)
  file(READ ${root}/DEBIAN/control control)
  control_field("${control}" Package name)
  string(REGEX REPLACE "-dbgsym$" "" owner "${name}")
  if(owner IN_LIST CPACK_BIGNUM_MULTIARCH_SAME)
    add_multiarch_same(${root})
  endif()
  if(NOT owner STREQUAL name)
    mend_dbgsym(${root} ${owner})
  endif()
  execute_process(COMMAND dpkg-deb --root-owner-group --build ${root} ${package}
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
endforeach()
file(REMOVE_RECURSE ${root})
