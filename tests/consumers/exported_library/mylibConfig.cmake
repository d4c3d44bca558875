# SPDX-License-Identifier: MIT
include(CMakeFindDependencyMacro)
find_dependency(bignum 1.0)
include(${CMAKE_CURRENT_LIST_DIR}/mylibTargets.cmake)
