#pragma once
// Deterministic inputs for the packer tests: each kind exercises another part of the encoder.
#include <cstdint>
#include <vector>

namespace morvane::test {

using Bytes = std::vector<std::uint8_t>;

// Incompressible bytes.
Bytes random_bytes(std::size_t size, std::uint32_t seed);
// Words from a small vocabulary with spaces and line breaks: literals and matches of all kinds.
Bytes word_text(std::size_t size, std::uint32_t seed);
// Fixed-size records with a counter and a few varying fields: recent distances and repeats.
Bytes records(std::size_t size, std::uint32_t seed);
// Slow waves with a little noise, interleaved in `channels` channels: multimedia mode.
Bytes waves(std::size_t size, int channels, std::uint32_t seed);
// Everything above one after another in short stretches, plus copies of earlier stretches.
Bytes mixture(std::size_t size, std::uint32_t seed);

}  // namespace morvane::test
