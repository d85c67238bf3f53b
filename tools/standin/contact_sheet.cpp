#include "tools/standin/contact_sheet.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/png/png_writer.h"
#include "tools/standin/font.h"
#include "tools/standin/preview.h"
#include "tools/standin/scene_preview.h"

namespace morvane::standin {

namespace {

constexpr int kColumns = 4;
constexpr int kMargin = 10;
constexpr int kCellWidth = 320 + kMargin;
constexpr float kCaptionScale = 1.5f;
constexpr int kCaptionHeight = 16;
const Rgb kBackground = rgb8(28, 28, 34);

struct Item {
  std::string caption;
  RgbImage image;
};

void draw_caption(RgbImage& sheet, const std::string& text, int x, int y) {
  const ValueMap cov = render_text(text, kCellWidth, kCaptionHeight, 0.0f, 2.0f, kCaptionScale);
  for (int j = 0; j < kCaptionHeight; ++j)
    for (int i = 0; i < kCellWidth; ++i)
      if (sheet.contains(x + i, y + j))
        sheet.at(x + i, y + j) = mix(sheet.at(x + i, y + j), rgb8(230, 230, 240), cov.at(i, j));
}

}  // namespace

RgbImage contact_sheet(const std::vector<Entry>& entries, const TdsScene& scene) {
  std::vector<Item> items;
  for (const Entry& e : entries)
    if (e.picture) {
      const IndexedImage& img = e.picture->image;
      std::string caption = e.name + "  " + std::to_string(img.width) + "x" + std::to_string(img.height);
      if (e.picture->value_max > 0) caption += "  0.." + std::to_string(e.picture->value_max);
      items.push_back({caption, preview_of(*e.picture)});
    }
  for (float t : {150.0f, 450.0f, 750.0f, 1050.0f})
    items.push_back({"morvane.3ds  t=" + std::to_string(static_cast<int>(t)), render_flight_frame(scene, t)});

  // Masonry: each item goes to the column that is shortest so far.
  int heights[kColumns] = {};
  struct Place {
    int column, y;
  };
  std::vector<Place> places;
  for (const Item& item : items) {
    const int c = static_cast<int>(std::min_element(heights, heights + kColumns) - heights);
    places.push_back({c, heights[c]});
    heights[c] += kCaptionHeight + item.image.height() + kMargin;
  }
  const int height = *std::max_element(heights, heights + kColumns) + kMargin;
  RgbImage sheet(kColumns * kCellWidth + kMargin, height, kBackground);
  for (std::size_t k = 0; k < items.size(); ++k) {
    const int x0 = kMargin + places[k].column * kCellWidth;
    const int y0 = kMargin + places[k].y;
    draw_caption(sheet, items[k].caption, x0, y0);
    const RgbImage& img = items[k].image;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) sheet.at(x0 + x, y0 + kCaptionHeight + y) = img.at(x, y);
  }
  return sheet;
}

void write_png(const std::filesystem::path& path, const RgbImage& image) {
  std::vector<std::uint8_t> rgb;
  rgb.reserve(image.cells().size() * 3);
  for (const Rgb& c : image.cells()) {
    rgb.push_back(static_cast<std::uint8_t>(std::lround(clamp01(c.r) * 255.0f)));
    rgb.push_back(static_cast<std::uint8_t>(std::lround(clamp01(c.g) * 255.0f)));
    rgb.push_back(static_cast<std::uint8_t>(std::lround(clamp01(c.b) * 255.0f)));
  }
  morvane::write_png_rgb(path, image.width(), image.height(), rgb);
}

}  // namespace morvane::standin
