#include "screen/row_converters.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace morvane {
namespace {

struct Format {
  const char* name;
  RowConverter convert;
  int bytes;
  // The destination pixel for source bytes r, g, b (and the source's top byte), as the value
  // stored in `bytes` bytes of native order; 24-bit formats give their three bytes in memory order.
  std::uint32_t (*expected)(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t top);
};

// Written from the format table, component by component, independently of the converters.
const std::array<Format, 8> kFormats = {{
    {"copy32", convert_copy32, 4,
     [](std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t top) { return top << 24 | r << 16 | g << 8 | b; }},
    {"swap32", convert_swap32, 4,
     [](std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t) { return b << 16 | g << 8 | r; }},
    {"pack24", convert_pack24, 3,
     [](std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t) { return b | g << 8 | r << 16; }},
    {"swap24", convert_swap24, 3,
     [](std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t) { return r | g << 8 | b << 16; }},
    {"565", convert_565, 2,
     [](std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t) { return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3; }},
    {"565_swapped", convert_565_swapped, 2,
     [](std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t) { return (b >> 3) << 11 | (g >> 2) << 5 | r >> 3; }},
    {"555", convert_555, 2,
     [](std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t) { return (r >> 3) << 10 | (g >> 3) << 5 | b >> 3; }},
    {"555_swapped", convert_555_swapped, 2,
     [](std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t) { return (b >> 3) << 10 | (g >> 3) << 5 | r >> 3; }},
}};

// Reads destination pixel i the way the device does: native 16/32-bit words, 24-bit as bytes.
std::uint32_t read_pixel(const unsigned char* row, int bytes, int i) {
  const unsigned char* p = row + static_cast<std::size_t>(i) * bytes;
  if (bytes == 2) {
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
  }
  if (bytes == 3) return p[0] | p[1] << 8 | static_cast<std::uint32_t>(p[2]) << 16;
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// Every pixel different, the top byte set on some of them (it must never reach a destination
// other than copy32's).
std::vector<Pixel32> varied_row(int n, bool with_top_byte) {
  std::vector<Pixel32> row(static_cast<std::size_t>(n));
  std::uint32_t x = 0x9E3779B9u;
  for (int i = 0; i < n; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    row[i] = (x & 0xFFFFFFu) | (with_top_byte && i % 3 == 1 ? 0xA5000000u : 0u);
  }
  return row;
}

constexpr unsigned char kGuard = 0xCD;

// Converts into a buffer at an odd offset (device rows need not be aligned) with guard bytes
// around it, and checks every pixel and that nothing outside the row was written.
void check_row(const Format& f, const std::vector<Pixel32>& source) {
  const int n = static_cast<int>(source.size());
  const std::size_t size = static_cast<std::size_t>(n) * f.bytes;
  constexpr std::size_t kOffset = 1, kTail = 32;
  std::vector<unsigned char> buffer(kOffset + size + kTail, kGuard);
  f.convert(source.data(), buffer.data() + kOffset, n);
  EXPECT_EQ(buffer[0], kGuard) << f.name << " wrote before the row";
  for (std::size_t k = kOffset + size; k < buffer.size(); ++k) {
    ASSERT_EQ(buffer[k], kGuard) << f.name << " wrote past the row, n=" << n;
  }
  for (int i = 0; i < n; ++i) {
    const Pixel32 p = source[i];
    const std::uint32_t want = f.expected(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF, p >> 24);
    ASSERT_EQ(read_pixel(buffer.data() + kOffset, f.bytes, i), want)
        << f.name << " pixel " << i << " of " << n << ", source 0x" << std::hex << p;
  }
}

TEST(RowConverters, EveryPixelOfRowsOfAnyWidth) {
  // Widths around the 4- and 8-pixel steps, and the display's own.
  for (int n : {0, 1, 2, 3, 4, 5, 7, 8, 9, 11, 12, 15, 16, 17, 23, 33, 639, 640, 643}) {
    for (const Format& f : kFormats) {
      SCOPED_TRACE(std::string(f.name) + " n=" + std::to_string(n));
      check_row(f, varied_row(n, true));
    }
  }
}

TEST(RowConverters, EveryComponentValueOfEveryChannel) {
  // Each byte value in each channel, so every truncation boundary is crossed.
  std::vector<Pixel32> row;
  for (std::uint32_t v = 0; v < 256; ++v) {
    row.push_back(v << 16);
    row.push_back(v << 8);
    row.push_back(v);
    row.push_back(v << 16 | (255 - v) << 8 | (v * 7 & 0xFF));
  }
  for (const Format& f : kFormats) check_row(f, row);
}

TEST(RowConverters, WhiteAndBlack) {
  const std::vector<Pixel32> row(13, 0x00FFFFFFu);
  std::uint16_t out[13];
  for (RowConverter c : {convert_565, convert_565_swapped}) {
    c(row.data(), out, 13);
    for (std::uint16_t v : out) EXPECT_EQ(v, 0xFFFF);
  }
  for (RowConverter c : {convert_555, convert_555_swapped}) {
    c(row.data(), out, 13);
    for (std::uint16_t v : out) EXPECT_EQ(v, 0x7FFF);
  }
  const std::vector<Pixel32> black(13, 0u);
  for (const Format& f : kFormats) check_row(f, black);
}

TEST(RowConverters, TopByteNeverReachesTheDestination) {
  const std::vector<Pixel32> row(9, 0xFF123456u);
  std::uint32_t out[9];
  convert_swap32(row.data(), out, 9);
  for (std::uint32_t v : out) EXPECT_EQ(v, 0x00563412u);
  convert_copy32(row.data(), out, 9);
  for (std::uint32_t v : out) EXPECT_EQ(v, 0xFF123456u);
  std::uint16_t out16[9];
  convert_555(row.data(), out16, 9);
  for (std::uint16_t v : out16) EXPECT_EQ(v & 0x8000, 0);
  convert_555_swapped(row.data(), out16, 9);
  for (std::uint16_t v : out16) EXPECT_EQ(v & 0x8000, 0);
}

TEST(RowConverters, WideningOfFramePixelsConvertsBackExactly) {
  // What a scene draws must reach a 16-bit device unchanged after the Screen's widening.
  std::vector<Pixel32> all(65536);
  for (std::uint32_t v = 0; v < 65536; ++v) all[v] = to_pixel32(static_cast<Rgb565>(v));
  std::vector<std::uint16_t> out(65536);
  convert_565(all.data(), out.data(), 65536);
  for (std::uint32_t v = 0; v < 65536; ++v) ASSERT_EQ(out[v], v);
  convert_555(all.data(), out.data(), 65536);
  for (std::uint32_t v = 0; v < 65536; ++v) {
    ASSERT_EQ(out[v], (v >> 11) << 10 | ((v >> 6) & 0x1F) << 5 | (v & 0x1F));
  }
}

TEST(SelectConverter, ChoosesByBitsAndMasks) {
  EXPECT_EQ(select_converter(32, 0xFF0000, 0xFF00, 0xFF), &convert_copy32);
  EXPECT_EQ(select_converter(32, 0xFF, 0xFF00, 0xFF0000), &convert_swap32);
  EXPECT_EQ(select_converter(24, 0xFF0000, 0xFF00, 0xFF), &convert_pack24);
  EXPECT_EQ(select_converter(24, 0xFF, 0xFF00, 0xFF0000), &convert_swap24);
  EXPECT_EQ(select_converter(16, 0xF800, 0x7E0, 0x1F), &convert_565);
  EXPECT_EQ(select_converter(16, 0x1F, 0x7E0, 0xF800), &convert_565_swapped);
  EXPECT_EQ(select_converter(16, 0x7C00, 0x3E0, 0x1F), &convert_555);
  EXPECT_EQ(select_converter(16, 0x1F, 0x3E0, 0x7C00), &convert_555_swapped);
}

TEST(SelectConverter, OtherFormatsHaveNone) {
  EXPECT_EQ(select_converter(8, 0, 0, 0), nullptr);                       // palettized
  EXPECT_EQ(select_converter(16, 0xF00, 0xF0, 0xF), nullptr);             // 4-4-4
  EXPECT_EQ(select_converter(15, 0x7C00, 0x3E0, 0x1F), nullptr);          // bits must say 16
  EXPECT_EQ(select_converter(24, 0xF800, 0x7E0, 0x1F), nullptr);          // masks of another depth
  EXPECT_EQ(select_converter(32, 0xFF000000, 0xFF0000, 0xFF00), nullptr); // RGBA order
  EXPECT_EQ(select_converter(32, 0xFF00, 0xFF0000, 0xFF), nullptr);       // green elsewhere
  EXPECT_EQ(select_converter(32, 0x3FF00000, 0xFFC00, 0x3FF), nullptr);   // 10-bit components
  EXPECT_EQ(select_converter(0, 0, 0, 0), nullptr);
}

}  // namespace
}  // namespace morvane
