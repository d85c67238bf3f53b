#include "demo_parts/lightmap/light_output.h"

#include "demo_parts/half_blend.h"

namespace morvane {
namespace {

constexpr int kTopLevel = kLightShadeLevels - 1;

int level_of(std::uint8_t light) { return light > kTopLevel ? kTopLevel : light; }

}  // namespace

void build_grey_ramp(std::span<Rgb565, kGreyLevels> grey) {
  for (int j = 0; j < kGreyLevels; ++j) grey[static_cast<std::size_t>(j)] = static_cast<Rgb565>((j / 2) * 2049 + 32 * j);
}

void shade_light_map(FrameView frame, ConstLightView light, LightShadeView shade, PictureView picture) {
  const Rgb565* table = shade.data();
  const std::uint8_t* level = light.data();
  const std::uint8_t* colour = picture.data();
  Rgb565* out = frame.data();
  for (int i = 0; i < kFramePixels; ++i) out[i] = table[level_of(level[i]) * 256 + colour[i]];
}

void blend_shaded_light_map(FrameView frame, ConstLightView light, LightShadeView shade, PictureView picture) {
  const Rgb565* table = shade.data();
  const std::uint8_t* level = light.data();
  const std::uint8_t* colour = picture.data();
  Rgb565* out = frame.data();
  for (int i = 0; i < kFramePixels; ++i) {
    const Rgb565 shaded = table[level_of(level[i]) * 256 + colour[i]];
    out[i] = static_cast<Rgb565>(half_pixel(shaded) + half_pixel(out[i]));
  }
}

void grey_light_map(FrameView frame, ConstLightView light, GreyRampView grey) {
  const Rgb565* ramp = grey.data();
  const std::uint8_t* level = light.data();
  Rgb565* out = frame.data();
  for (int i = 0; i < kFramePixels; ++i) out[i] = ramp[level_of(level[i])];
}

}  // namespace morvane
