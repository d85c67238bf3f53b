#pragma once
// One run of the picture flash sequence: which picture shows and when its flash peaked.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "contracts/pixel.h"

namespace morvane {

inline constexpr int kFlashPictures = 10;
inline constexpr int kFlashShadeEntries = 64 * 256;
inline constexpr int kFlashLastOrder = 27;

struct FlashAssets {
  std::span<const std::array<std::uint8_t, kFramePixels>, kFlashPictures> pictures;
  std::span<const Rgb565, kFlashShadeEntries> shade;
};

class FlashRun {
 public:
  explicit FlashRun(const FlashAssets& assets) : assets_(assets) {}

  // t local to the run; any event moves on to the next picture and flashes it.
  void draw_frame(float t, bool event, std::span<Rgb565, kFramePixels> frame);

  int picture() const { return picture_; }
  float peak() const { return peak_; }
  // The table level of the frame last drawn (32 at the peak, 0 once faded out).
  int level() const { return level_; }

 private:
  FlashAssets assets_;
  int picture_ = 0;
  float peak_ = -1.0f;  // marks the first frame
  int level_ = 0;
};

}  // namespace morvane
