#include "platform/frame_fit.h"

#include <cstdint>

namespace morvane {

FrameRect fit_frame(int output_width, int output_height, int frame_width, int frame_height) {
  if (output_width <= 0 || output_height <= 0 || frame_width <= 0 || frame_height <= 0) return {};
  // Compare the two aspect ratios by cross-multiplying, so the choice of the limiting side is exact.
  const std::int64_t ow = output_width, oh = output_height, fw = frame_width, fh = frame_height;
  FrameRect r;
  if (ow * fh <= oh * fw) {
    r.width = output_width;
    r.height = static_cast<int>(ow * fh / fw);
  } else {
    r.width = static_cast<int>(oh * fw / fh);
    r.height = output_height;
  }
  r.x = (output_width - r.width) / 2;
  r.y = (output_height - r.height) / 2;
  return r;
}

}  // namespace morvane
