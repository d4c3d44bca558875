// SPDX-License-Identifier: MIT
// Integers in the standard containers: sorted in a vector, keys of a map
// (ordered by value) and of an unordered_map (hashed, every zero alike).

#include <bignum/integer.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

int main()
{
    using bignum::integer;
    std::vector<integer> values{integer("123456789012345678901234567890"), -7, 0, pow(integer(2), 100), -7,
                                integer("-0x10000000000000000", 16),       42};
    std::sort(values.begin(), values.end());
    std::cout << "sorted:";
    for (const integer& x : values) {
        std::cout << ' ' << x;
    }
    std::cout << '\n';

    std::map<integer, std::string> names{{1000000007, "prime"}, {-1, "minus one"}, {integer(1) << 64, "2^64"}};
    std::cout << "map:";
    for (const auto& [key, name] : names) {
        std::cout << ' ' << key << '=' << name;
    }
    std::cout << '\n';

    std::unordered_map<integer, int> counts;
    for (const integer& x : values) {
        ++counts[x % 3];
    }
    // A moved-from integer reads as 0, so it counts with the zeros.
    integer taken = values.back();
    const integer kept = std::move(taken);
    ++counts[taken];
    std::cout << "residues mod 3: 0 x" << counts[0] << ", -1 x" << counts[-1] << ", 1 x" << counts[1] << '\n';
    std::cout << "binary search for 2^100: " << std::boolalpha << std::binary_search(values.begin(), values.end(), kept)
              << '\n';
}
