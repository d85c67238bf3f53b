// morvane-dat picture FILE NAME WIDTH HEIGHT OUT.png [--no-palette]
#include <array>
#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "tools/morvane_dat/command.h"
#include "tools/png/png_writer.h"

namespace morvane::dat {
namespace {

// Pictures in the data file are at most a few hundred thousand pixels; the limit only keeps a
// mistyped size from asking for gigabytes.
constexpr long kMaxPixels = 1L << 26;

int parse_size(std::string_view text, const char* what) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value <= 0)
    throw UsageError(std::string(what) + " must be a positive whole number, not '" + std::string(text) + "'");
  return value;
}

}  // namespace

int run_picture(Arguments args) {
  std::vector<std::string_view> positional;
  bool with_palette = true;
  for (std::string_view a : args) {
    if (a == "--no-palette")
      with_palette = false;
    else
      positional.push_back(a);
  }
  if (positional.size() != 5) throw UsageError("expects FILE NAME WIDTH HEIGHT OUT.png");
  const int width = parse_size(positional[2], "WIDTH");
  const int height = parse_size(positional[3], "HEIGHT");
  if (static_cast<long>(width) * height > kMaxPixels) throw UsageError("WIDTH x HEIGHT is too large");

  const Archive archive(positional[0]);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  std::array<std::uint8_t, 768> palette{};
  archive.load_picture(positional[1], pixels, with_palette ? std::span<std::uint8_t>(palette) : std::span<std::uint8_t>());

  const std::string out(positional[4]);
  if (with_palette)
    write_png_indexed(out, width, height, pixels, palette);
  else
    write_png_grey(out, width, height, pixels);
  return 0;
}

}  // namespace morvane::dat
