# SPDX-License-Identifier: MIT
# Included by the top-level CMakeLists.txt when BIGNUM_HARDENING is on: the
# protections distributions build with, each one the compiler or linker has.
# The builder's flags (CMAKE_CXX_FLAGS, which the package preset fills from
# CPPFLAGS and CXXFLAGS) keep the last word: a protection they already set,
# or turn off, is left to them. _FORTIFY_SOURCE needs optimisation.
include(CheckCXXCompilerFlag)
include(CheckLinkerFlag)
include(CheckPIESupported)

set(CMAKE_POSITION_INDEPENDENT_CODE ON)
check_pie_supported(LANGUAGES CXX)

# Adds a compile flag unless the builder's flags mention `chosen`.
function(bignum_harden flag chosen)
  if(CMAKE_CXX_FLAGS MATCHES "${chosen}")
    return()
  endif()
  string(MAKE_C_IDENTIFIER "bignum_cxx_has${flag}" has_flag)
  check_cxx_compiler_flag(${flag} ${has_flag})
  if(${has_flag})
    add_compile_options(${flag})
  endif()
endfunction()

bignum_harden(-D_FORTIFY_SOURCE=2 _FORTIFY_SOURCE)
bignum_harden(-fstack-protector-strong stack-protector)
bignum_harden(-fstack-clash-protection stack-clash-protection)
bignum_harden(-fcf-protection cf-protection)

check_linker_flag(CXX "LINKER:-z,relro,-z,now" bignum_linker_has_relro_now)
if(bignum_linker_has_relro_now)
  add_link_options("LINKER:-z,relro,-z,now")
endif()
