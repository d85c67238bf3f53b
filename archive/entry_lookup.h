#pragma once
// One self-contained lookup of an entry by name in an open archive file: scan the blocks,
// unpack what a solid archive needs before the entry, extract the entry.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

namespace morvane {

// The entry's bytes (possibly fewer than its UNP_SIZE when its data is damaged or cut short);
// nullopt when the file is not an archive, the name is not found before the end or a
// sub-block, or the entry (or one it depends on) cannot be extracted. Never throws.
//
// Every real lookup uses the default options; fuzzers shrink them so that a run costs little.
struct LookupOptions {
  std::uint32_t window_size = 1u << 20;  // the unpacker's ring window
  // Output reserved before decoding; a larger entry grows its buffer as it is decoded, so that
  // a damaged UNP_SIZE does not claim gigabytes before a byte has been produced.
  std::size_t reserve_limit = 16u << 20;
};
std::optional<std::vector<std::uint8_t>> lookup_entry(std::FILE* file, std::string_view wanted,
                                                      const LookupOptions& options = {}) noexcept;

}  // namespace morvane
