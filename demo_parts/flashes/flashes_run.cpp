#include "demo_parts/flashes/flashes_run.h"

#include <algorithm>

#include "demo_parts/float_to_int.h"

namespace morvane {
namespace {

constexpr float kFadeTicks = 32.0f;
constexpr int kFullColourLevel = 32;

}  // namespace

void FlashRun::draw_frame(float t, bool event, std::span<Rgb565, kFramePixels> frame) {
  if (peak_ == -1.0f) peak_ = t + kFadeTicks;
  if (event) {
    picture_ = picture_ + 1 == kFlashPictures ? 0 : picture_ + 1;
    peak_ = t + kFadeTicks;
  }
  level_ = std::clamp(trunc_to_int(peak_ - t), 0, kFullColourLevel);
  const Rgb565* row = assets_.shade.data() + level_ * 256;
  const std::uint8_t* image = assets_.pictures[static_cast<std::size_t>(picture_)].data();
  Rgb565* out = frame.data();
  for (int i = 0; i < kFramePixels; ++i) out[i] = row[image[i]];
}

}  // namespace morvane
