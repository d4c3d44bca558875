# SPDX-License-Identifier: MIT
include(CMakeFindDependencyMacro)
find_dependency(bignum 2.0)
include(${CMAKE_CURRENT_LIST_DIR}/mylibTargets.cmake)
