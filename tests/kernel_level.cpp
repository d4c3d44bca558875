// SPDX-License-Identifier: MIT
// Exits 0 when the product kernel level in use is the one its argument
// names; else says which is in use and exits 1. The level is chosen once per
// process, so each level that BIGNUM_KERNEL forces is checked by a run of
// its own (tests/CMakeLists.txt, .ci/kernels.sh).

#include <bignum/bignum.h>

#include <cstdio>
#include <string_view>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: bignum_kernel_level portable|avx2|avx512\n", stderr);
        return 2;
    }
    const std::string_view expected = argv[1];
    const std::string_view in_use = big_product_kernel();
    if (in_use == expected) {
        return 0;
    }
    std::fprintf(stderr, "product kernel level %s in use, %s expected\n", in_use.data(), argv[1]);
    return 1;
}
