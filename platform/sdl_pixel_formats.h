#pragma once
// From SDL pixel formats to the row converters: which texture format to ask for, and which
// converter writes a given format.
#include <cstdint>
#include <span>

#include "screen/row_converters.h"

namespace morvane {

// The converter for an SDL pixel format (SDL_PIXELFORMAT_*), or nullptr. The bit count given to
// select_converter is the storage size of a pixel, so 5-5-5 formats count as 16 bits.
RowConverter converter_for_sdl_format(std::uint32_t format);

// The texture format to request from a renderer that lists these formats: the plain 32-bit
// layouts when offered (cheapest to fill), else the first listed that has a converter, else
// SDL's 32-bit RGB, which SDL converts from itself.
std::uint32_t choose_texture_format(std::span<const std::uint32_t> renderer_formats);

}  // namespace morvane
