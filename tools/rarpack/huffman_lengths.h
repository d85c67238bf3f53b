#pragma once
// Length-limited Huffman code lengths and the canonical codes the RAR decoder derives from them.
#include <cstdint>
#include <span>

namespace morvane {

// Fills `lengths` (same size as `counts`) with optimal prefix-code lengths of at most
// `max_length` bits (package-merge). Unused symbols get 0; a single used symbol gets 1, since a
// code must have at least one bit. Requires the used symbols to fit: count <= 2^max_length.
void build_code_lengths(std::span<const std::uint32_t> counts, int max_length,
                        std::span<std::uint8_t> lengths);

// Canonical codes: shorter codes first, symbols of one length in increasing order, each code
// numerically following the previous one. Unused symbols get code 0.
void build_canonical_codes(std::span<const std::uint8_t> lengths, std::span<std::uint16_t> codes);

}  // namespace morvane
