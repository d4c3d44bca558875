# SPDX-License-Identifier: MIT
# Included by the top-level CMakeLists.txt when BIGNUM_INSTALL_PROGRAMS is
# on: each program with its manual page, in an install component of its own
# (a Debian package each, so that rsacon comes without rsabox's GTK).
#
# The installed programs find a shared libbignum by a run path relative to
# themselves, so that an installed tree runs wherever it is unpacked or
# moved; under /usr it names the directory the library is in anyway.
foreach(program IN ITEMS rsacon rsabox)
  install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${program})
  install(FILES ${program}/${program}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${program})
endforeach()

if(BUILD_SHARED_LIBS AND NOT WIN32 AND NOT APPLE)
  file(RELATIVE_PATH bignum_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
  set_target_properties(rsacon rsabox PROPERTIES INSTALL_RPATH "$ORIGIN/${bignum_bin_to_lib}")
endif()
