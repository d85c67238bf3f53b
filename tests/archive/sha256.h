#pragma once
// SHA-256 as hex text, to compare extracted bytes with the digests in the test data manifests.
#include <cstdint>
#include <span>
#include <string>

namespace morvane::test {

std::string sha256_hex(std::span<const std::uint8_t> data);

}  // namespace morvane::test
