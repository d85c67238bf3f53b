// The camera flight's kernels: the fade table, the camera path, the trail blend and the reveal's
// view and drawing, against values worked out apart from the code.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "demo_parts/flight/fade_table.h"
#include "demo_parts/flight/flight_camera.h"
#include "demo_parts/flight/picture_reveal.h"
#include "demo_parts/half_blend.h"
#include "tests/demo_parts/scene_harness.h"

namespace morvane {
namespace {

using testing::palette_of;

std::vector<Pixel32> fade_of(const std::vector<std::uint8_t>& palette) {
  std::vector<Pixel32> table(kFadeEntries);
  build_fade_table(std::span<const std::uint8_t, kFlightPaletteBytes>(palette.data(), kFlightPaletteBytes),
                   std::span<Pixel32, kFadeEntries>(table.data(), kFadeEntries));
  return table;
}

TEST(FadeTable, RowsLiftThePaletteTowardsWhite) {
  const auto table = fade_of(palette_of({{255, 255, 255}, {0, 0, 0}, {100, 150, 200}}));
  auto at = [&](int row, int colour) { return table[static_cast<std::size_t>(row * 256 + colour)]; };
  // White is limited to 31, 63, 31 before scaling: 247, 251, 247.
  EXPECT_EQ(at(0, 0), 0xF7FBF7u);
  EXPECT_EQ(at(63, 0), 0xF7FBF7u);
  EXPECT_EQ(at(0, 1), 0u);
  EXPECT_EQ(at(1, 1), 0x030303u);  // half a step of red and blue, one of green
  EXPECT_EQ(at(63, 1), 0xF7FBF7u);
  EXPECT_EQ(at(0, 2), 0x6395C7u);   // 12.5, 37.5, 25 scaled: 99, 149, 199
  EXPECT_EQ(at(1, 2), 0x6799CBu);   // 13, 38.5, 25.5: odd rows count, no integer division
  EXPECT_EQ(at(20, 2), 0xB3E5F7u);  // blue reached its limit
  // Every further row is brighter in every component, strictly so where no limit is reached.
  for (int colour = 0; colour < 3; ++colour) {
    for (int row = 1; row < kFadeRows; ++row) {
      for (int shift : {0, 8, 16}) {
        const auto before = (at(row - 1, colour) >> shift) & 0xFF;
        const auto now = (at(row, colour) >> shift) & 0xFF;
        ASSERT_GE(now, before) << colour << " " << row;
        if (colour == 1 && row < 63) {  // red and blue of black reach 31 at row 62
          ASSERT_GT(now, before) << row;
        }
      }
    }
  }
  // Unused palette entries are black, and every entry leaves byte 3 clear.
  EXPECT_EQ(at(0, 255), 0u);
  EXPECT_TRUE(std::all_of(table.begin(), table.end(), [](Pixel32 p) { return p <= 0xFFFFFFu; }));
}

TEST(FlightCamera, FollowsThePathsPhasesAndPeriods) {
  Camera camera;
  place_flight_camera(camera, 0.0f);
  EXPECT_NEAR(camera.field_of_view, 160.0f / 3.0f, 1e-4);
  EXPECT_FLOAT_EQ(camera.roll, 180.0f);
  EXPECT_NEAR(camera.target.x, -80.0f, 1e-3);      // cos 120 degrees
  EXPECT_NEAR(camera.target.y, -138.5641f, 1e-3);  // sin 240 degrees
  EXPECT_NEAR(camera.target.z, 0.0f, 1e-3);        // sin 360 degrees
  EXPECT_FLOAT_EQ(camera.position.x, 0.0f);
  EXPECT_NEAR(camera.position.y, 571.5768f, 1e-3);
  EXPECT_NEAR(camera.position.z, -571.5768f, 1e-3);

  // One roll cycle every 9000 ticks; each eye coordinate swings out to 660.
  place_flight_camera(camera, 4500.0f);
  EXPECT_NEAR(camera.roll, -180.0f, 1e-3);
  place_flight_camera(camera, 9000.0f);
  EXPECT_NEAR(camera.roll, 180.0f, 1e-3);
  place_flight_camera(camera, 2250.0f);
  EXPECT_NEAR(camera.roll, 0.0f, 1e-3);
  place_flight_camera(camera, static_cast<float>(90.0 / 0.6175));
  EXPECT_NEAR(camera.position.x, 660.0f, 1e-3);
}

TEST(TrailBlend, HalvesEachComponentWithoutCarriesBetweenPixels) {
  std::vector<Rgb565> frame(kFramePixels, 0xFFFF);
  std::vector<Rgb565> render(kFramePixels, 0);
  render[2] = 0x07E0;  // green
  frame[2] = 0xF800;   // red
  frame[4] = 0x0000;
  render[5] = 0xFFFF;  // the high pixel of a word: its low bit must not reach pixel 4
  frame[5] = 0x0000;
  frame[6] = 0x0821;  // every component 1: each halves to 0
  render[7] = 0x8410;
  frame[7] = 0x8410;
  const auto f = std::span<Rgb565, kFramePixels>(frame.data(), kFramePixels);
  blend_trail(f, std::span<const Rgb565, kFramePixels>(render.data(), kFramePixels));
  EXPECT_EQ(frame[0], 0x7BEF);
  EXPECT_EQ(frame[2], 0x7BE0);  // red 15, green 31
  EXPECT_EQ(frame[4], 0x0000);
  EXPECT_EQ(frame[5], 0x7BEF);
  EXPECT_EQ(frame[6], 0x0000);
  EXPECT_EQ(frame[7], 0x8410);
  EXPECT_EQ(frame[kFramePixels - 1], 0x7BEF);
  // A second frame on black: the white fades further.
  blend_trail(f, std::span<const Rgb565, kFramePixels>(render.data(), kFramePixels));
  EXPECT_EQ(frame[0], 0x39E7);
}

// A reveal that flashed at tick 100: the zoom ends at 355, the fade at 163.
RevealView view_at(float t) { return reveal_view(t, 355.0f, 163.0f); }

TEST(RevealView, FlashShowsTheCentreNearlyWhite) {
  const RevealView v = view_at(100.0f);
  EXPECT_EQ(v.fade_row, 63);
  EXPECT_EQ(v.x_start, 10404001);
  EXPECT_EQ(v.x_step, 255);
  EXPECT_EQ(v.y_start, 6502501);
  EXPECT_EQ(v.y_step, 255);
  // Source columns 158 to 161 and rows 99 to 100 stretched over the screen.
  EXPECT_EQ(v.x_start >> 16, 158);
  EXPECT_EQ((v.x_start + 639 * v.x_step) >> 16, 161);
  EXPECT_EQ(v.y_start >> 16, 99);
  EXPECT_EQ((v.y_start + 399 * v.y_step) >> 16, 100);
}

TEST(RevealView, FadeAndZoomFollowTheTicksSinceTheFlash) {
  RevealView v = view_at(110.5f);
  EXPECT_EQ(v.fade_row, 52);
  EXPECT_EQ(v.x_start, 9564841);
  EXPECT_EQ(v.x_step, 2877);
  EXPECT_EQ(v.y_start, 5978026);
  v = view_at(163.0f);
  EXPECT_EQ(v.fade_row, 0);
  EXPECT_EQ(v.x_start, 5898241);
  EXPECT_EQ(v.x_step, 14335);
  v = view_at(200.25f);
  EXPECT_EQ(v.x_start, 3831612);
  EXPECT_EQ(v.y_start, 2394758);
  EXPECT_EQ(v.y_step, 20794);
  // 255 ticks on, and any time after: the whole picture in its own colours.
  for (float t : {355.0f, 1000.0f, 1e9f}) {
    v = view_at(t);
    EXPECT_EQ(v.fade_row, 0);
    EXPECT_EQ(v.x_start, 2);
    EXPECT_EQ(v.x_step, 32767);
    EXPECT_EQ((v.x_start + 639 * v.x_step) >> 16, 319);
    EXPECT_EQ((v.y_start + 399 * v.y_step) >> 16, 199);
  }
  // A clock before the flash keeps the fade row in the table.
  EXPECT_EQ(view_at(0.0f).fade_row, 63);
  EXPECT_EQ(view_at(-1e30f).fade_row, 63);
}

class RevealDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    // Pixel (x, y) of the picture is its own colour index pattern; the fade table's entries
    // are unique so every output pixel names its source.
    for (int y = 0; y < kFrameHeight; ++y) {
      for (int x = 0; x < kFrameWidth; ++x)
        picture[static_cast<std::size_t>(y * kFrameWidth + x)] = static_cast<std::uint8_t>(x * 7 + y * 13);
    }
    for (int i = 0; i < kFadeEntries; ++i) fade[static_cast<std::size_t>(i)] = 0x100000u + static_cast<Pixel32>(i);
  }

  void draw(const RevealView& v) {
    draw_reveal(v, std::span<const std::uint8_t, kFramePixels>(picture.data(), kFramePixels),
                std::span<const Pixel32, kFadeEntries>(fade.data(), kFadeEntries),
                std::span<Pixel32, kDisplayPixels>(pixels.data(), kDisplayPixels));
  }

  // The drawing as the fixed-point walk states it: x restarts each row and adds its step.
  void expect_matches_walk(const RevealView& v) {
    std::int32_t y = v.y_start;
    for (int row = 0; row < kDisplayHeight; ++row) {
      if (row < kRevealTop || row >= kRevealTop + kRevealRows) {
        for (int i = 0; i < kDisplayWidth; ++i)
          ASSERT_EQ(pixels[static_cast<std::size_t>(row * kDisplayWidth + i)], 0xABCDEFu) << row;
        continue;
      }
      std::int32_t x = v.x_start;
      for (int i = 0; i < kDisplayWidth; ++i, x += v.x_step) {
        const int index = picture[static_cast<std::size_t>((y >> 16) * kFrameWidth + (x >> 16))];
        ASSERT_EQ(pixels[static_cast<std::size_t>(row * kDisplayWidth + i)],
                  fade[static_cast<std::size_t>(v.fade_row * 256 + index)])
            << row << " " << i;
      }
      y += v.y_step;
    }
  }

  std::vector<std::uint8_t> picture = std::vector<std::uint8_t>(kFramePixels);
  std::vector<Pixel32> fade = std::vector<Pixel32>(kFadeEntries);
  std::vector<Pixel32> pixels = std::vector<Pixel32>(kDisplayPixels, 0xABCDEF);
};

TEST_F(RevealDraw, FollowsTheFixedPointWalkAndLeavesTheBandsAlone) {
  for (float t : {100.0f, 110.5f, 200.25f, 355.0f}) {
    draw(view_at(t));
    expect_matches_walk(view_at(t));
  }
}

TEST_F(RevealDraw, ViewsOutsideThePictureAreClampedToItsEdges) {
  // Not produced by reveal_view; a damaged view must still stay inside the buffers.
  draw(RevealView{70, -5 * 65536, 65536, 190 * 65536, 65536});
  EXPECT_EQ(pixels[static_cast<std::size_t>(40 * kDisplayWidth)], fade[63 * 256 + picture[190 * kFrameWidth]]);
  EXPECT_EQ(pixels[static_cast<std::size_t>(439 * kDisplayWidth + 639)],
            fade[63 * 256 + picture[199 * kFrameWidth + 319]]);
  EXPECT_EQ(pixels[0], 0xABCDEFu);
}

}  // namespace
}  // namespace morvane
