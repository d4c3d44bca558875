# SPDX-License-Identifier: MIT
# Read by CPack before each generator runs (packaging.cmake).
if(CPACK_GENERATOR STREQUAL "DEB")
  # A Debian package's description begins with a synopsis line of its own,
  # so the project's summary must not be put above it.
  unset(CPACK_PACKAGE_DESCRIPTION_SUMMARY)
  # The Debian generator moves the debug information into the -dbgsym
  # packages and strips the binaries itself; it finds none in stripped ones.
  set(CPACK_STRIP_FILES OFF)
endif()
