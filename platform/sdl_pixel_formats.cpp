#include "platform/sdl_pixel_formats.h"

#include <SDL.h>

#include <algorithm>

namespace morvane {

RowConverter converter_for_sdl_format(std::uint32_t format) {
  if (SDL_ISPIXELFORMAT_FOURCC(format) || SDL_ISPIXELFORMAT_INDEXED(format)) return nullptr;
  int bits = 0;
  Uint32 red = 0, green = 0, blue = 0, alpha = 0;
  if (!SDL_PixelFormatEnumToMasks(format, &bits, &red, &green, &blue, &alpha)) return nullptr;
  return select_converter(SDL_BYTESPERPIXEL(format) * 8, red, green, blue);
}

std::uint32_t choose_texture_format(std::span<const std::uint32_t> renderer_formats) {
  for (std::uint32_t preferred : {SDL_PIXELFORMAT_RGB888, SDL_PIXELFORMAT_BGR888}) {
    if (std::find(renderer_formats.begin(), renderer_formats.end(), preferred) != renderer_formats.end()) {
      return preferred;
    }
  }
  for (std::uint32_t format : renderer_formats) {
    if (converter_for_sdl_format(format)) return format;
  }
  return SDL_PIXELFORMAT_RGB888;
}

}  // namespace morvane
