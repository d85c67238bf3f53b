// The camera flight as a scene: its load (scene, camera, picture, table, the generator's
// draws), its teardown, and both phases against a scripted song.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "demo_parts/flight/flight_camera.h"
#include "demo_parts/flight/flight_part.h"
#include "engine/demo_rand.h"
#include "core/song_event.h"
#include "tests/demo_parts/scene_harness.h"
#include "tests/engine/chunk_bytes.h"

namespace morvane {
namespace {

using testing::SongHarness;
using testing::MemoryPictures;
using testing::SongStep;
namespace b = morvane::test;

constexpr Rgb565 kWhite = 0xFFFF;
constexpr Rgb565 kHalfWhite = 0x7BEF;

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

  Pixel32 fade(int row, int index) const { return part.assets().fade[static_cast<std::size_t>(row * 256 + index)]; }
  std::uint8_t picture(int x, int y) const {
    return part.assets().picture[static_cast<std::size_t>(y * kFrameWidth + x)];
  }

  MemoryPictures pictures;
  FlightPart part;
};

TEST_F(FlightTest, LoadBuildsTheSceneUnderItsElementAddsCameraCaAndReadsThePicture) {
  load();
  const FlightAssets assets = part.assets();
  const Scene& scene = *assets.scene;
  EXPECT_EQ(scene.name(), "Zava3z");
  EXPECT_EQ(scene.object_capacity(), 100);
  EXPECT_EQ(scene.camera_capacity(), 2);
  EXPECT_EQ(scene.light_capacity(), 2);
  EXPECT_EQ(scene.element_capacity(), 2);
  EXPECT_EQ(scene.material_capacity(), 5);
  const int element = scene.find_object("[Element1]", 0);
  ASSERT_NE(element, -1);
  EXPECT_EQ(scene.slot(element)->type, kSlotElement);
  const int cube_slot = scene.find_object("Cube", 0);
  ASSERT_NE(cube_slot, -1);
  EXPECT_EQ(scene.slot(cube_slot)->parent, element);
  ASSERT_NE(scene.mesh(0), nullptr);
  EXPECT_EQ(scene.mesh(0)->face_count(), 12);
  // Without a camera in the file, "Ca" is the first entry, active, and the one the flight moves.
  EXPECT_EQ(scene.find_camera("Ca"), 0);
  EXPECT_EQ(scene.active_camera(), 0);
  EXPECT_EQ(assets.camera, scene.camera(0));

  ASSERT_EQ(pictures.requests.size(), 1u);
  EXPECT_EQ(pictures.requests[0].name, "morvane.pcx");
  EXPECT_EQ(pictures.requests[0].pixel_count, 64000u);
  EXPECT_TRUE(pictures.requests[0].palette);
  EXPECT_EQ(picture(5, 2), 11);
  EXPECT_EQ(part.palette()[3 * 10 + 2], 50);
  // Colour 10 is (10, 245, 50): row 0 holds 1.25, 61.25, 6.25 scaled.
  EXPECT_EQ(fade(0, 10), (9u << 16) | (244u << 8) | 49u);
  EXPECT_EQ(fade(63, 10), 0xF7FBF7u);
}

TEST_F(FlightTest, FaceColoursContinueTheProgramsRandomSequence) {
  // Three numbers per coloured face, red first: the load takes exactly six here.
  std::vector<int> expected(7);
  for (int& r : expected) r = demo_rand();
  reset_demo_rand();
  const auto two_faces =
      b::mesh_object("Pair", {b::vertex_list({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}),
                              b::face_list({{0, 1, 2}, {1, 3, 2}}, {b::face_material("FXRANDBLUE", {0, 1})})});
  load(b::scene_file({two_faces}));
  EXPECT_EQ(demo_rand(), expected[6]);
  const Face& first = part.assets().scene->mesh(0)->faces[0];
  EXPECT_EQ(first.red, 0.0f);
  EXPECT_EQ(first.green, static_cast<float>(expected[1]) * 0.0077822199f);
  EXPECT_EQ(first.blue, static_cast<float>(expected[2]) * 0.0077822199f);
}

TEST_F(FlightTest, AFileCameraTakesTheFirstEntryAndCaStaysActive) {
  load(b::scene_file({cube("Cube", "FXWHITE"), b::camera_object("View", {0, -500, 0}, {0, 0, 0}, 0, 50)}));
  const Scene& scene = *part.assets().scene;
  EXPECT_EQ(scene.find_camera("View"), 0);
  EXPECT_EQ(scene.find_camera("Ca"), 1);
  EXPECT_EQ(scene.active_camera(), 1);
  EXPECT_EQ(part.assets().camera, scene.camera(0));
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

TEST(FlightData, LoadsFromTheStandInDataFileAndTearsDown) {
  const Archive archive(std::string(MORVANE_BUILD_DIR) + "/morvane.dat");
  if (!archive.list()) GTEST_SKIP() << "no stand-in data file in the build directory";
  reset_demo_rand();
  FlightPart part;
  part.load(archive);
  ASSERT_TRUE(part.loaded());
  const Scene& scene = *part.assets().scene;
  EXPECT_GT(scene.find_object("[Element1]", 0), 0);
  EXPECT_NE(scene.mesh(0), nullptr);
  EXPECT_EQ(scene.camera(scene.active_camera())->name, "Ca");
  part.teardown();
  EXPECT_FALSE(part.loaded());
  EXPECT_THROW(part.assets(), std::logic_error);
}

TEST_F(FlightTest, FlightAveragesEachRenderIntoTheFrameBefore) {
  load();
  SongHarness song;
  // Command 12 is not the flash: taken and ignored. Orders never end the flight.
  const std::vector<SongStep> script = {
      {0, 0, std::nullopt}, {5, 100, 12}, {16, 200, std::nullopt}, {40, 300, std::nullopt}};
  EXPECT_FALSE(song.play(part, script));  // stopped only by the harness
  ASSERT_EQ(song.shown.size(), script.size() + 21);
  EXPECT_TRUE(std::none_of(song.shown.begin(), song.shown.end(), [](const auto& p) { return p.direct; }));
  EXPECT_FALSE(song_event().pending());

  // First frame: the white start averaged with a white cube on black.
  const auto& first = song.shown[0].frame;
  const auto cube_pixels = std::count(first.begin(), first.end(), 0xF7DE);
  EXPECT_GT(cube_pixels, 1000);
  EXPECT_EQ(cube_pixels + std::count(first.begin(), first.end(), kHalfWhite), kFramePixels);
  // Second frame: where both renders were black the white halves again; the cube keeps a trail.
  const auto& second = song.shown[1].frame;
  EXPECT_EQ(second[0], 0x39E7);
  for (std::size_t i = 0; i < second.size(); ++i) {
    if (first[i] == 0xF7DE) {
      ASSERT_TRUE(second[i] == 0x7BEF || second[i] == 0xF7DE) << i;  // off the cube now, or still on it
    }
  }
  EXPECT_EQ(song.screen().width(), kFrameWidth);
}

TEST_F(FlightTest, FlashTurnsWhiteThenRevealsThePictureUntilOrder16) {
  load();
  SongHarness song;
  // 100 ms = 7 ticks. The first reveal frame reads the flash's own time; 3900 ms is 266 ticks
  // after the flash.
  const std::vector<SongStep> script = {{0, 0, std::nullopt},     {1, 100, kFlightFlashEvent},
                                        {2, 100, std::nullopt},   {15, 3900, std::nullopt},
                                        {16, 4000, std::nullopt}, {17, 4100, std::nullopt}};
  ASSERT_TRUE(song.play(part, script));
  ASSERT_EQ(song.shown.size(), 5u);
  EXPECT_FALSE(song.shown[1].direct);
  EXPECT_TRUE(std::all_of(song.shown[1].frame.begin(), song.shown[1].frame.end(),
                          [](Rgb565 p) { return p == kWhite; }));
  for (int i = 2; i < 5; ++i) EXPECT_TRUE(song.shown[static_cast<std::size_t>(i)].direct) << i;

  // At the flash: nearly white, the picture's centre stretched over the screen.
  const auto& at_flash = song.shown[2].pixels;
  auto pixel = [](const std::vector<Pixel32>& p, int x, int y) {
    return p[static_cast<std::size_t>(y * kDisplayWidth + x)];
  };
  EXPECT_EQ(pixel(at_flash, 0, 40), fade(63, picture(158, 99)));
  EXPECT_EQ(pixel(at_flash, 639, 439), fade(63, picture(161, 100)));
  for (int y : {0, 39, 440, 479}) EXPECT_EQ(pixel(at_flash, 320, y), 0u) << y;
  // 266 ticks on: the whole picture in its own colours.
  const auto& whole = song.shown[3].pixels;
  EXPECT_EQ(pixel(whole, 0, 40), fade(0, picture(0, 0)));
  EXPECT_EQ(pixel(whole, 639, 439), fade(0, picture(319, 199)));
  EXPECT_EQ(pixel(whole, 321, 241), fade(0, picture(160, 100)));
  EXPECT_EQ(pixel(whole, 5, 479), 0u);

  // Back at the frame size, the shared frame left white.
  EXPECT_EQ(song.screen().width(), kFrameWidth);
  EXPECT_EQ(song.screen().height(), kFrameHeight);
  EXPECT_TRUE(
      std::all_of(song.screen().pixels().begin(), song.screen().pixels().end(), [](Pixel32 p) { return p == 0; }));
  EXPECT_TRUE(std::all_of(song.frame.begin(), song.frame.end(), [](Rgb565 p) { return p == kWhite; }));
}

TEST_F(FlightTest, FlashAtOrder16OrLaterDrawsExactlyOneRevealFrame) {
  load();
  SongHarness song;
  ASSERT_TRUE(song.play(part, {{0, 0, std::nullopt}, {17, 100, kFlightFlashEvent}, {18, 200, std::nullopt}}));
  ASSERT_EQ(song.shown.size(), 3u);
  EXPECT_FALSE(song.shown[1].direct);
  EXPECT_TRUE(song.shown[2].direct);
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

TEST_F(FlightTest, LocalTimeCountsFromTheWholeTicksAtEntry) {
  load();
  SongHarness song;
  // Entry at 1010 ms = 70.7 ticks: the start is tick 70, so 2000 ms (140 ticks) is t = 70.
  ASSERT_TRUE(song.play(part, {{0, 2000, kFlightFlashEvent}, {16, 2000, std::nullopt}}, 1010));
  Camera expected;
  place_flight_camera(expected, 70.0f);
  const Camera& moved = *part.assets().camera;
  EXPECT_EQ(moved.position.x, expected.position.x);
  EXPECT_EQ(moved.position.y, expected.position.y);
  EXPECT_EQ(moved.roll, expected.roll);
  EXPECT_EQ(part.assets().scene->active_camera(), 0);
}

}  // namespace
}  // namespace morvane
