#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "tools/capture/frame_fingerprint.h"
#include "tools/capture/yuv420.h"

namespace morvane::capture {
namespace {

TEST(FrameFingerprint, SeesColoursNotTheUnusedByte) {
  // One stray top byte sends a buffer down the masked path; it must hash as the clean buffer does.
  for (std::size_t size : {16u, 2 * 1024u + 5}) {
    std::vector<Pixel32> a(size, 0x00102030), b = a;
    b[size / 2] = 0xFF102030;
    EXPECT_EQ(frame_hash(a), frame_hash(b)) << size;
    b[size - 1] = 0x00102031;
    EXPECT_NE(frame_hash(a), frame_hash(b)) << size;
  }
}

// Studio-range BT.601 from its defining real-valued formulas.
void expect_close_to_bt601(int r, int g, int b, int y, int cb, int cr) {
  const double luma = 0.299 * r + 0.587 * g + 0.114 * b;
  EXPECT_NEAR(y, 16 + 219 * luma / 255, 1.0) << r << ' ' << g << ' ' << b;
  EXPECT_NEAR(cb, 128 + 224 * (b - luma) / (1.772 * 255), 1.0) << r << ' ' << g << ' ' << b;
  EXPECT_NEAR(cr, 128 + 224 * (r - luma) / (1.402 * 255), 1.0) << r << ' ' << g << ' ' << b;
}

TEST(Yuv420, UniformBlocksTakeTheirColour) {
  const std::vector<Pixel32> colours = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x808080, 0x123456, 0xFEDCBA};
  // One 2 x 2 block per colour, side by side: a 16 x 2 frame.
  const int width = 2 * static_cast<int>(colours.size());
  std::vector<Pixel32> frame(2 * static_cast<std::size_t>(width));
  for (std::size_t i = 0; i < colours.size(); ++i)
    for (int dy = 0; dy < 2; ++dy)
      for (int dx = 0; dx < 2; ++dx) frame[dy * width + 2 * i + dx] = colours[i] | 0xFF000000u;
  std::vector<std::uint8_t> out(yuv420_bytes(width, 2));
  ASSERT_EQ(out.size(), 48u);
  to_yuv420(frame, width, 2, out);
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const Pixel32 c = colours[i];
    for (int dy = 0; dy < 2; ++dy)
      for (int dx = 0; dx < 2; ++dx) EXPECT_EQ(out[dy * width + 2 * i + dx], out[2 * i]);
    expect_close_to_bt601(static_cast<int>(c >> 16), static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c & 0xFF),
                          out[2 * i], out[32 + i], out[40 + i]);
  }
}

TEST(Yuv420, ChromaIsTheBlocksMean) {
  // Black and white halves: neutral chroma, luma per pixel.
  const std::vector<Pixel32> frame = {0x000000, 0xFFFFFF, 0xFFFFFF, 0x000000};
  std::vector<std::uint8_t> out(yuv420_bytes(2, 2));
  to_yuv420(frame, 2, 2, out);
  EXPECT_EQ((std::vector<std::uint8_t>{16, 235, 235, 16, 128, 128}), out);
}

}  // namespace
}  // namespace morvane::capture
