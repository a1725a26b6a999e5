// SHA-256 (FIPS 180-4) of a byte string. The seed words of a public text are
// taken from its digest, and the tests pin long lists of drawn numbers by
// theirs; the programs depend on the standard library alone, so the hash is
// computed here.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace lotrano {

using Sha256Digest = std::array<std::uint8_t, 32>;

// The 32-byte digest of the bytes.
Sha256Digest sha256(std::string_view bytes);

// The digest as 64 lower-case hexadecimal digits.
std::string sha256Hex(std::string_view bytes);

}  // namespace lotrano
