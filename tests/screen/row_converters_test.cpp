#include "screen/row_converters.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace morvane {
namespace {

using Expected = std::uint32_t (*)(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t top);

struct Format {
  const char* name;
  RowConverter convert;
  int bytes;
  // The destination pixel for source bytes r, g, b (and the source's top byte) as the value
  // stored in `bytes` bytes of native order; 24-bit formats give their bytes in memory order.
  Expected expected;
};

// Written from the format table, component by component, independently of the converters.
const std::array<Format, 8> kFormats = {{
    {"copy32", convert_copy32, 4, [](auto r, auto g, auto b, auto top) { return top << 24 | r << 16 | g << 8 | b; }},
    {"swap32", convert_swap32, 4, [](auto r, auto g, auto b, auto) { return b << 16 | g << 8 | r; }},
    {"pack24", convert_pack24, 3, [](auto r, auto g, auto b, auto) { return b | g << 8 | r << 16; }},
    {"swap24", convert_swap24, 3, [](auto r, auto g, auto b, auto) { return r | g << 8 | b << 16; }},
    {"565", convert_565, 2, [](auto r, auto g, auto b, auto) { return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3; }},
    {"565_swapped", convert_565_swapped, 2, [](auto r, auto g, auto b, auto) { return (b >> 3) << 11 | (g >> 2) << 5 | r >> 3; }},
    {"555", convert_555, 2, [](auto r, auto g, auto b, auto) { return (r >> 3) << 10 | (g >> 3) << 5 | b >> 3; }},
    {"555_swapped", convert_555_swapped, 2, [](auto r, auto g, auto b, auto) { return (b >> 3) << 10 | (g >> 3) << 5 | r >> 3; }},
}};

// Converts into a buffer at an odd offset (device rows need not be aligned) between guard
// bytes, and checks every pixel and that nothing outside the row was written.
void check_row(const Format& f, const std::vector<Pixel32>& source) {
  constexpr unsigned char kGuard = 0xCD;
  const std::size_t n = source.size(), size = n * static_cast<std::size_t>(f.bytes);
  std::vector<unsigned char> buffer(1 + size + 32, kGuard);
  f.convert(source.data(), buffer.data() + 1, static_cast<int>(n));
  EXPECT_EQ(buffer[0], kGuard) << f.name << " wrote before the row";
  for (std::size_t k = 1 + size; k < buffer.size(); ++k) ASSERT_EQ(buffer[k], kGuard) << f.name << " wrote past the row";
  for (std::size_t i = 0; i < n; ++i) {
    std::uint32_t got = 0;  // little-endian host: the low bytes of the word are the first in memory
    std::memcpy(&got, buffer.data() + 1 + i * static_cast<std::size_t>(f.bytes), static_cast<std::size_t>(f.bytes));
    const Pixel32 p = source[i];
    ASSERT_EQ(got, f.expected(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF, p >> 24))
        << f.name << " pixel " << i << " of " << n << ", source 0x" << std::hex << p;
  }
}

TEST(RowConverters, EveryPixelOfRowsOfAnyWidthAndEveryComponentValue) {
  // Every byte value in each channel alone and mixed, so every truncation boundary is crossed;
  // the top byte set on some pixels (only copy32 may pass it on).
  std::vector<Pixel32> values;
  for (std::uint32_t v = 0; v < 256; ++v) {
    for (std::uint32_t p : {v << 16, v << 8, v, v << 16 | (255 - v) << 8 | (v * 7 & 0xFF), 0xA5000000u | v << 8}) values.push_back(p);
  }
  // Widths around the 4- and 8-pixel steps, and the display's own.
  for (int n : {0, 1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 33, 640, 643}) {
    std::vector<Pixel32> row(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) row[static_cast<std::size_t>(i)] = values[static_cast<std::size_t>(i * 37 % values.size())];
    for (const Format& f : kFormats) {
      SCOPED_TRACE(std::string(f.name) + " n=" + std::to_string(n));
      check_row(f, row);
    }
  }
  for (const Format& f : kFormats) check_row(f, values);
}

TEST(SelectConverter, ChoosesByBitsAndMasksAndRefusesOtherLayouts) {
  struct Case {
    int bits;
    std::uint32_t r, g, b;
    RowConverter want;
  };
  for (const Case& c : {Case{32, 0xFF0000, 0xFF00, 0xFF, convert_copy32}, Case{32, 0xFF, 0xFF00, 0xFF0000, convert_swap32},
                        Case{24, 0xFF0000, 0xFF00, 0xFF, convert_pack24}, Case{24, 0xFF, 0xFF00, 0xFF0000, convert_swap24},
                        Case{16, 0xF800, 0x7E0, 0x1F, convert_565}, Case{16, 0x1F, 0x7E0, 0xF800, convert_565_swapped},
                        Case{16, 0x7C00, 0x3E0, 0x1F, convert_555}, Case{16, 0x1F, 0x3E0, 0x7C00, convert_555_swapped},
                        Case{8, 0, 0, 0, nullptr},                         // palettized
                        Case{16, 0xF00, 0xF0, 0xF, nullptr},               // 4-4-4
                        Case{15, 0x7C00, 0x3E0, 0x1F, nullptr},            // bits must say 16
                        Case{24, 0xF800, 0x7E0, 0x1F, nullptr},            // masks of another depth
                        Case{32, 0xFF000000, 0xFF0000, 0xFF00, nullptr},   // RGBA order
                        Case{32, 0xFF00, 0xFF0000, 0xFF, nullptr},         // green elsewhere
                        Case{32, 0x3FF00000, 0xFFC00, 0x3FF, nullptr}}) {  // 10-bit components
    EXPECT_EQ(select_converter(c.bits, c.r, c.g, c.b), c.want) << c.bits << " bits, red 0x" << std::hex << c.r;
  }
}

}  // namespace
}  // namespace morvane
