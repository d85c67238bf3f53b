// Scene 2: views clamped to the picture, load failures, the whole-tick start and flash commands
// the short show never sends.
#include <gtest/gtest.h>


#include "core/song_event.h"
#include "demo_parts/flight/flight_part.h"
#include "engine/demo_rand.h"
#include "tests/demo_parts/scene_harness.h"
#include "tests/engine/chunk_bytes.h"

namespace morvane {
namespace {


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

  std::vector<std::uint8_t> picture = std::vector<std::uint8_t>(kFramePixels);
  std::vector<Pixel32> fade = std::vector<Pixel32>(kFadeEntries);
  std::vector<Pixel32> pixels = std::vector<Pixel32>(kDisplayPixels, 0xABCDEF);
};

using testing::SongHarness;
using testing::MemoryPictures;
using testing::SongStep;
namespace b = morvane::test;

constexpr Rgb565 kWhite = 0xFFFF;

// A cube of side 300 around the origin: the flight circles it from 660 away and keeps it in view.
b::Bytes cube(std::string_view name, std::string_view material) {
  return b::mesh_object(name, {b::vertex_list({{-150, -150, -150},
                                               {150, -150, -150},
                                               {150, 150, -150},
                                               {-150, 150, -150},
                                               {-150, -150, 150},
                                               {150, -150, 150},
                                               {150, 150, 150},
                                               {-150, 150, 150}}),
                               b::face_list({{0, 1, 2}, {0, 2, 3}, {4, 5, 6}, {4, 6, 7}, {0, 1, 5}, {0, 5, 4},
                                             {2, 3, 7}, {2, 7, 6}, {1, 2, 6}, {1, 6, 5}, {0, 3, 7}, {0, 7, 4}},
                                            {b::face_material(material, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11})})});
}

FileSource files_of(b::Bytes scene) {
  return [scene = std::move(scene)](std::string_view name) {
    if (name != "morvane.3ds") throw std::runtime_error("no such file");
    return scene;
  };
}

class FlightTest : public ::testing::Test {
 protected:
  void SetUp() override {
    song_event().reset();
    reset_demo_rand();
    // Colour index c = (x + 3y) mod 256 with a palette of distinct colours.
    std::vector<std::uint8_t> pixels(kFramePixels);
    for (int y = 0; y < kFrameHeight; ++y) {
      for (int x = 0; x < kFrameWidth; ++x)
        pixels[static_cast<std::size_t>(y * kFrameWidth + x)] = static_cast<std::uint8_t>(x + 3 * y);
    }
    std::vector<std::uint8_t> palette(768);
    for (int c = 0; c < 256; ++c) {
      palette[static_cast<std::size_t>(3 * c)] = static_cast<std::uint8_t>(c);
      palette[static_cast<std::size_t>(3 * c + 1)] = static_cast<std::uint8_t>(255 - c);
      palette[static_cast<std::size_t>(3 * c + 2)] = static_cast<std::uint8_t>(c * 5);
    }
    pictures.pictures["morvane.pcx"] = {pixels, palette};
  }

  void load(b::Bytes scene = b::scene_file({cube("Cube", "FXWHITE")})) {
    part.load_from(files_of(std::move(scene)), pictures);
  }

  MemoryPictures pictures;
  FlightPart part;
};

TEST_F(RevealDraw, ViewsOutsideThePictureAreClampedToItsEdges) {
  // Not produced by reveal_view; a damaged view must still stay inside the buffers.
  draw(RevealView{70, -5 * 65536, 65536, 190 * 65536, 65536});
  EXPECT_EQ(pixels[static_cast<std::size_t>(40 * kDisplayWidth)], fade[63 * 256 + picture[190 * kFrameWidth]]);
  EXPECT_EQ(pixels[static_cast<std::size_t>(439 * kDisplayWidth + 639)],
            fade[63 * 256 + picture[199 * kFrameWidth + 319]]);
  EXPECT_EQ(pixels[0], 0xABCDEFu);
}

TEST_F(FlightTest, LoadFailuresCarryTheirMessages) {
  try {
    load(b::scene_file({cube("Cube", "FXWHITE"), b::camera_object("Ca", {0, -500, 0}, {0, 0, 0}, 0, 50)}));
    FAIL() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "VELDRA:MAKE:CAMERA: Camera does allready exist");
  }
  FlightPart second;
  pictures.pictures.clear();
  try {
    second.load_from(files_of(b::scene_file({cube("Cube", "FXWHITE")})), pictures);
    FAIL() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Could not load the file 'morvane.pcx' from memory");
  }
  EXPECT_FALSE(second.loaded());
  second.teardown();
}

TEST_F(FlightTest, FlashInTheFirstFrameAndCommandsDuringTheRevealStayForTheNextPart) {
  load();
  SongHarness song;
  ASSERT_TRUE(song.play(part, {{0, 0, kFlightFlashEvent}, {3, 100, 42}, {16, 200, std::nullopt}}));
  ASSERT_EQ(song.shown.size(), 3u);
  EXPECT_TRUE(std::all_of(song.shown[0].frame.begin(), song.shown[0].frame.end(),
                          [](Rgb565 p) { return p == kWhite; }));
  const auto pending = song_event().take();
  ASSERT_TRUE(pending.has_value());
  EXPECT_EQ(*pending, 42);
}

}  // namespace
}  // namespace morvane
