# SPDX-License-Identifier: MIT
# Read by CPack before each generator runs (packaging.cmake). A Debian
# package's description begins with a synopsis line of its own, so the
# project's summary must not be put above it.
if(CPACK_GENERATOR STREQUAL "DEB")
  unset(CPACK_PACKAGE_DESCRIPTION_SUMMARY)
endif()
