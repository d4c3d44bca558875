# SPDX-License-Identifier: MIT
# Run by CPack before it builds each package (packaging.cmake), on what the
# package holds:
# - the static library without its debug information: CPack strips programs
#   and shared libraries only, and the package build's -g would make
#   libbignum.a several times its size (it keeps its symbols, as Debian's
#   static libraries do);
# - no .comment section (the compiler's version strings) in any binary.
# The Debian generator then moves the programs' and the shared library's
# debug information into the -dbgsym packages.
cmake_policy(VERSION 3.25)
file(GLOB_RECURSE archives ${CPACK_TEMPORARY_DIRECTORY}/*.a)
file(GLOB_RECURSE binaries ${CPACK_TEMPORARY_DIRECTORY}/*)
list(FILTER binaries INCLUDE REGEX "/bin/[^/]+$|\\.so\\.[0-9.]+$")
foreach(archive IN LISTS archives)
  execute_process(COMMAND ${CPACK_BIGNUM_OBJCOPY} --strip-debug --remove-section=.comment
    --enable-deterministic-archives ${archive} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
foreach(binary IN LISTS binaries)
  if(NOT IS_SYMLINK ${binary})
    execute_process(COMMAND ${CPACK_BIGNUM_OBJCOPY} --remove-section=.comment ${binary} COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
