#include "tools/standin/preview.h"

#include <algorithm>

#include "tools/standin/gradient.h"

namespace morvane::standin {

RgbImage preview_of(const Picture& picture) {
  const IndexedImage& img = picture.image;
  RgbImage out(img.width, img.height);
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      const int v = img.at(x, y);
      if (picture.value_max > 0) {
        const float g = std::min(1.0f, static_cast<float>(v) / static_cast<float>(picture.value_max));
        out.at(x, y) = {g, g, g};
      } else {
        out.at(x, y) = palette_colour(img.palette, v);
      }
    }
  return out;
}

}  // namespace morvane::standin
