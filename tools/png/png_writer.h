#pragma once
// Writes 8-bit PNG files (RGB, palette-indexed, greyscale) from plain pixel spans, so that tools
// and tests can dump frames and pictures for a human to look at.
#include <cstdint>
#include <filesystem>
#include <span>

namespace morvane {

// Rows top to bottom, width x height pixels, no padding between rows. Every function throws
// std::runtime_error naming the file when the sizes do not fit or the file cannot be written.

// How hard zlib works: small files, or fast writing (video frames by the thousand).
enum class PngCompression { kSmall, kFast };

// rgb: 3 bytes per pixel (red, green, blue).
void write_png_rgb(const std::filesystem::path& file, int width, int height,
                   std::span<const std::uint8_t> rgb, PngCompression compression = PngCompression::kSmall);

// indices: 1 byte per pixel; palette: 256 red, green, blue triples (768 bytes).
void write_png_indexed(const std::filesystem::path& file, int width, int height,
                       std::span<const std::uint8_t> indices, std::span<const std::uint8_t> palette);

// grey: 1 byte per pixel, 0 black to 255 white.
void write_png_grey(const std::filesystem::path& file, int width, int height,
                    std::span<const std::uint8_t> grey);

}  // namespace morvane
