# SPDX-License-Identifier: MIT
# Run by `cmake --install` for each kind of library (install.cmake sets the
# bignum_pc_* variables): writes its pkg-config files for the prefix that is
# being installed into.
#
# Under /usr the paths are spelt from prefix=/usr, the only form in which
# pkg-config recognises its system directories (/usr/include,
# /usr/lib/<triplet>) and leaves them out of --cflags and --libs. Elsewhere
# the prefix is found from the file's own place, so that the tree can be
# moved or unpacked anywhere. An absolute include or library directory is
# written as it is.
cmake_policy(VERSION 3.25)

function(bignum_pc_dir dir out)
  if(IS_ABSOLUTE "${dir}")
    set(${out} "${dir}" PARENT_SCOPE)
  else()
    set(${out} "\${prefix}/${dir}" PARENT_SCOPE)
  endif()
endfunction()

# A function, so that its variables stay out of the install script.
function(bignum_install_pc)
  if(IS_ABSOLUTE "${bignum_pc_libdir}")
    set(bignum_pc_full_libdir "${bignum_pc_libdir}")
  else()
    set(bignum_pc_full_libdir "${CMAKE_INSTALL_PREFIX}/${bignum_pc_libdir}")
  endif()
  if(CMAKE_INSTALL_PREFIX MATCHES "^/usr/*$")
    set(prefix /usr)
  else()
    file(RELATIVE_PATH prefix "${bignum_pc_full_libdir}/pkgconfig" "${CMAKE_INSTALL_PREFIX}")
    string(REGEX REPLACE "/$" "" prefix "\${pcfiledir}/${prefix}")
  endif()
  bignum_pc_dir("${bignum_pc_includedir}" includedir)
  bignum_pc_dir("${bignum_pc_libdir}" libdir)
  set(version ${bignum_pc_version})
  set(kind ${bignum_pc_kind})

  # The static library by its file name: -lbignum would take a shared one
  # wherever both are installed. bignum.pc describes the static library only
  # where no shared one is installed, before or by this build.
  if(kind STREQUAL "static")
    set(cflags " -DBIGNUM_STATIC_DEFINE")
    set(libs "\${libdir}/${bignum_pc_static_library}")
    set(names bignum-static)
    if(NOT bignum_pc_both_kinds AND NOT EXISTS "$ENV{DESTDIR}${bignum_pc_full_libdir}/${bignum_pc_shared_library}")
      list(APPEND names bignum)
    endif()
  else()
    set(cflags "")
    set(libs "-L\${libdir} -lbignum")
    set(names bignum)
  endif()

  foreach(name IN LISTS names)
    configure_file("${bignum_pc_template}" "${bignum_pc_build_dir}/${name}.pc" @ONLY)
    file(INSTALL DESTINATION "${bignum_pc_full_libdir}/pkgconfig" TYPE FILE FILES "${bignum_pc_build_dir}/${name}.pc")
  endforeach()
endfunction()

bignum_install_pc()
