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
// window_size is handed to the unpacker: the format's 1 MiB except in fuzzers.
std::optional<std::vector<std::uint8_t>> lookup_entry(std::FILE* file, std::string_view wanted,
                                                      std::uint32_t window_size = 1u << 20) noexcept;

}  // namespace morvane
