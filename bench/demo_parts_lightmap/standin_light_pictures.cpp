#include "bench/demo_parts_lightmap/standin_light_pictures.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/standin/light_map_assets.h"

namespace morvane::bench {
namespace {

class StandinLightPictures final : public PictureSource {
 public:
  StandinLightPictures() {
    for (standin::Picture& p : standin::light_map_assets()) pictures_[p.name] = std::move(p.image);
    standin::IndexedImage dot(10, 10);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x) dot.at(x, y) = static_cast<std::uint8_t>(std::max(0.0, 24 - 6 * std::hypot(x - 4, y - 4)));
    pictures_["sprott.pcx"] = dot;
  }
  void load_picture(std::string_view name, std::span<std::uint8_t> pixels, std::span<std::uint8_t> palette) const override {
    const auto found = pictures_.find(std::string(name));
    if (found == pictures_.end()) throw std::runtime_error("no stand-in picture " + std::string(name));
    const auto& image = found->second;
    std::fill(pixels.begin(), pixels.end(), std::uint8_t{0});
    std::copy_n(image.pixels.begin(), std::min(pixels.size(), image.pixels.size()), pixels.begin());
    if (!palette.empty()) std::copy_n(image.palette.begin(), std::min<std::size_t>(palette.size(), 768), palette.begin());
  }

 private:
  std::map<std::string, standin::IndexedImage> pictures_;
};

}  // namespace

const PictureSource& standin_light_pictures() {
  static const StandinLightPictures pictures;
  return pictures;
}

}  // namespace morvane::bench
