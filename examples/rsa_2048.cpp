// SPDX-License-Identifier: MIT
// An RSA-2048 round trip: two fixed 1024-bit primes, the private exponent by
// inv_mod, encryption and decryption by pow_mod.

#include <bignum/integer.h>

#include <iostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

int main()
{
    using bignum::integer;
    const integer p("FF89B19FD94C3E98D02E375DE133A82E3575A55DB256EDE3A636069216AD10C6214F06E90A156D43DDA9278F9DEC2939"
                    "1CD1A0E9E0938401CD85E3F700C2ECD4F046CD22EA39F334D345D00C543A1FC83E4FCEFEBE9CAE145B74943BD7AA4170"
                    "A236A09FAF759682844A3B45BC53D56961C6CA3484E717BC7FDFE7E949F076AB",
                    16);
    const integer q("F5185D113E483BF251BE0AA860D9D7E550B432769C81B3F59554C672B9D6F8949084A7EA8070B3AF019C26353C68F011"
                    "7759753C271C2BA61D1584A1FEC833CC1FCD84D6F8BDFEBD9EA17FB170FD6323D4D6069B7073DC2E48202FE1B8504382"
                    "EFF17925AD56A2E06D0977179A1529C437ED536ED62BEBBD3CF8B56FEBF86EBB",
                    16);
    const integer n = p * q;
    const integer e = 65537;
    const integer d = inv_mod(e, lcm(p - 1, q - 1));

    constexpr std::string_view text = "a 2048-bit round trip";
    const integer message = integer::from_bytes(std::as_bytes(std::span{text}), std::endian::big);
    const integer cipher = pow_mod(message, e, n);
    const integer decrypted = pow_mod(cipher, d, n);
    const std::vector<std::byte> bytes = decrypted.to_bytes(std::endian::big);
    std::cout << "modulus: " << n.bit_length() << " bits\n";
    std::cout << "decrypted: " << std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()) << '\n';
    std::cout << "round trip: " << (decrypted == message && cipher != message ? "ok" : "failed") << '\n';
}
