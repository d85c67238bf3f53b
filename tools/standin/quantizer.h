#pragma once
// Reduces a full-colour picture to palette indices: a variance-splitting median cut picks the
// colours, a few k-means rounds refine them, and error diffusion maps the pixels.
#include <cstdint>
#include <span>

#include "tools/standin/canvas.h"
#include "tools/standin/indexed_image.h"

namespace morvane::standin {

struct QuantizeOptions {
  int first_index = 0;  // entries below it are left to the caller (fixed colours)
  int colours = 256;    // number of entries chosen, from first_index on
  float dither = 0.6f;  // strength of the error diffusion, 0 for plain nearest colours
  // When not empty (one byte per pixel), pixels marked non-zero become index 0 and take no part
  // in choosing or diffusing colours: the transparent colour of an overlay.
  std::span<const std::uint8_t> transparent{};
};

IndexedImage quantize(const RgbImage& image, const QuantizeOptions& options = {});

// Maps a picture to an existing palette (entries first..first+count-1) with the same diffusion.
void map_to_palette(const RgbImage& image, IndexedImage& out, int first, int count, float dither);

}  // namespace morvane::standin
