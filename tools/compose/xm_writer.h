#pragma once
// Serialises a Module as FastTracker 2 saves it: version 1.04 layout, 276-byte header, packed
// patterns, 263-byte instrument headers and delta-coded sample data.
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "tools/compose/xm_module.h"

namespace morvane::xm {

// Throws std::invalid_argument when a value is outside what the format (or FT2) can hold.
std::vector<std::uint8_t> write_module(const Module& module);

// One pattern's packed cell data: a cell with every field set is stored as its five bytes,
// any other as a mask byte (0x80 | present fields) followed by those fields. An all-empty
// pattern packs to nothing.
std::vector<std::uint8_t> pack_pattern(const Pattern& pattern);

// Delta coding of sample data as stored in the file.
std::vector<std::uint8_t> delta_encode(std::span<const std::int16_t> pcm);
std::vector<std::uint8_t> delta_encode(std::span<const std::int8_t> pcm);

// Writes the bytes to path; throws std::runtime_error naming the file when that fails.
void save_file(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

}  // namespace morvane::xm
