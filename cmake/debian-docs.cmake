# SPDX-License-Identifier: MIT
# Run by CPack before it builds the packages (packaging.cmake). Each Debian
# package gets the files Debian asks of every package in
# /usr/share/doc/<package>: copyright (the license, machine-readable),
# changelog.Debian.gz and the upstream changelog.gz. They replace the plain
# LICENSE that the .tar.gz keeps. Manual pages are compressed, as Debian
# installs them.
cmake_policy(VERSION 3.25)
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()

# The license as a copyright file: the holder from its "Copyright (c)" line,
# the text after it indented, blank lines as " .". Debian calls this license
# Expat.
file(READ ${CPACK_BIGNUM_LICENSE} license)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)\n(.*)" license "${license}")
set(holder "${CMAKE_MATCH_1}")
string(STRIP "${CMAKE_MATCH_2}" license_text)
string(REPLACE "\n\n" "\n.\n" license_text "${license_text}")
string(REPLACE "\n" "\n " license_text "\n${license_text}")

# Dated as this version's entry in the changelog, so that the packages of
# one version built for two architectures hold the same changelog.Debian,
# as Multi-Arch: same needs; before the release, the build's time.
file(READ ${CPACK_BIGNUM_CHANGELOG} changelog)
string(REPLACE "." "\\." version_pattern "${CPACK_PACKAGE_VERSION}")
if(changelog MATCHES "\n## \\[${version_pattern}\\] - ([0-9]+-[0-9]+-[0-9]+)")
  execute_process(COMMAND date -R -u -d ${CMAKE_MATCH_1} OUTPUT_VARIABLE date
    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
else()
  string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S +0000" UTC)
endif()
set(debian_changelog ${CPACK_TOPLEVEL_DIRECTORY}/changelog.Debian)
file(WRITE ${debian_changelog}
  "${CPACK_PACKAGE_NAME} (${CPACK_PACKAGE_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}) unstable; urgency=medium\n\n"
  "  * Built from ${CPACK_PACKAGE_NAME} ${CPACK_PACKAGE_VERSION} by CPack; changelog.gz lists the\n"
  "    changes of each release.\n\n"
  " -- ${CPACK_PACKAGE_CONTACT}  ${date}\n")

# gzip -9n, as Debian wants it: the best compression, no name or time inside.
function(gzip_file input output)
  execute_process(COMMAND gzip -9nc INPUT_FILE ${input} OUTPUT_FILE ${output} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

foreach(component IN LISTS CPACK_COMPONENTS_ALL)
  string(TOUPPER ${component} upper)
  set(package ${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
  set(root ${CPACK_TEMPORARY_DIRECTORY}/${component}/usr/share/doc)
  file(REMOVE_RECURSE ${root}/${CPACK_PACKAGE_NAME})
  file(MAKE_DIRECTORY ${root}/${package})
  file(WRITE ${root}/${package}/copyright
    "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
    "Upstream-Name: ${CPACK_PACKAGE_NAME}\n\n"
    "Files: *\nCopyright: ${holder}\nLicense: Expat${license_text}\n")
  gzip_file(${debian_changelog} ${root}/${package}/changelog.Debian.gz)
  gzip_file(${CPACK_BIGNUM_CHANGELOG} ${root}/${package}/changelog.gz)
  file(GLOB_RECURSE pages ${CPACK_TEMPORARY_DIRECTORY}/${component}/usr/share/man/*)
  foreach(page IN LISTS pages)
    gzip_file(${page} ${page}.gz)
    file(REMOVE ${page})
  endforeach()
endforeach()
