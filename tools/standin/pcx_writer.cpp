#include "tools/standin/pcx_writer.h"

#include <stdexcept>

namespace morvane::standin {

namespace {

constexpr int kHeaderSize = 128;
constexpr int kMaxRun = 63;

void put16(std::vector<std::uint8_t>& out, std::size_t at, unsigned value) {
  out[at] = static_cast<std::uint8_t>(value & 0xFF);
  out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

// Runs stop at the end of each scan line, as the format's own writers do, so that decoders that
// work line by line read the file as well as those that decode one stream.
void encode_line(const std::uint8_t* line, int width, std::vector<std::uint8_t>& out) {
  int x = 0;
  while (x < width) {
    const std::uint8_t value = line[x];
    int run = 1;
    while (x + run < width && run < kMaxRun && line[x + run] == value) ++run;
    // A byte that looks like a run marker can only travel inside a run.
    if (run > 1 || value >= 0xC0) out.push_back(static_cast<std::uint8_t>(0xC0 | run));
    out.push_back(value);
    x += run;
  }
}

}  // namespace

Palette grey_palette(int max_value) {
  Palette p{};
  const int top = max_value < 1 ? 1 : max_value;
  for (int i = 0; i < 256; ++i) {
    const int v = i >= top ? 255 : i * 255 / top;
    p[i * 3] = p[i * 3 + 1] = p[i * 3 + 2] = static_cast<std::uint8_t>(v);
  }
  return p;
}

std::vector<std::uint8_t> encode_pcx(const IndexedImage& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != static_cast<std::size_t>(image.width) * image.height)
    throw std::invalid_argument("PCX: empty picture or pixel count that does not match its size");
  if (image.width % 2 != 0) throw std::invalid_argument("PCX: the width must be even");
  if (image.width > 65536 || image.height > 65536)
    throw std::invalid_argument("PCX: picture too large for the header");

  std::vector<std::uint8_t> out(kHeaderSize, 0);
  out[0] = 10;  // manufacturer
  out[1] = 5;   // version 3.0 and later: 256-colour palette at the end
  out[2] = 1;   // run-length coding
  out[3] = 8;   // bits per pixel and plane
  put16(out, 4, 0);
  put16(out, 6, 0);
  put16(out, 8, static_cast<unsigned>(image.width - 1));
  put16(out, 10, static_cast<unsigned>(image.height - 1));
  put16(out, 12, 72);  // resolution, informational only
  put16(out, 14, 72);
  out[65] = 1;  // planes
  put16(out, 66, static_cast<unsigned>(image.width));  // bytes per line: even, no padding
  put16(out, 68, 1);                                  // palette holds colours

  out.reserve(out.size() + image.pixels.size() + image.pixels.size() / 8 + 769);
  for (int y = 0; y < image.height; ++y)
    encode_line(image.pixels.data() + static_cast<std::size_t>(y) * image.width, image.width, out);
  out.push_back(0x0C);
  out.insert(out.end(), image.palette.begin(), image.palette.end());
  return out;
}

}  // namespace morvane::standin
