// The data file the build generates, read back the way the show and outside tools read it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>

#include "archive/archive.h"
#include "engine/3ds/scene_loader.h"
#include "engine/scene.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

const fs::path kDat = fs::path(MORVANE_BUILD_DIR) / "morvane.dat";

struct Shape {
  const char* name;
  int width, height;
  int max_value;  // largest value a value picture may hold; 255 for palette pictures
};

// What the show asks of every picture: its shape (and so its pixel count) and, for pictures it
// reads as plain values (indices into its own tables), their range. The opening adds its mask
// to levels up to 196, so the mask stops at 59 (196 + 59 = 255, the table's last level).
const Shape kPictures[] = {
    {"begin_bw.pcx", 320, 200, 59}, {"sprott.pcx", 10, 10, 24},    {"begin.pcx", 320, 200, 255},
    {"begin2.pcx", 320, 200, 255},  {"morvane.pcx", 320, 200, 255}, {"gl_pic.pcx", 320, 200, 255},
    {"gl_tex.pcx", 256, 256, 127},  {"flares.pcx", 160, 500, 48},   {"liglog.pcx", 320, 400, 255},
    {"dans01.pcx", 320, 200, 255},  {"dans02.pcx", 320, 200, 255},  {"dans03.pcx", 320, 200, 255},
    {"dans04.pcx", 320, 200, 255},  {"dans05.pcx", 320, 200, 255},  {"dans06.pcx", 320, 200, 255},
    {"dans07.pcx", 320, 200, 255},  {"dans08.pcx", 320, 200, 255},  {"dans09.pcx", 320, 200, 255},
    {"dans10.pcx", 320, 200, 255},  {"fogback.pcx", 320, 200, 255}, {"shades.pcx", 320, 1000, 55},
    {"wogtex1.pcx", 256, 256, 255}, {"wogtex2.pcx", 256, 256, 255}, {"wogtex3.pcx", 256, 256, 255},
    {"light.pcx", 320, 200, 63},    {"light256.pcx", 256, 256, 63}, {"spice.pcx", 180, 480, 255},
};

struct Picture {
  std::vector<std::uint8_t> pixels, palette = std::vector<std::uint8_t>(768);
};

class DataFile : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kDat)) GTEST_SKIP() << "no generated data file at " << kDat;
  }
  static Picture picture(const Archive& archive, const Shape& s) {
    Picture p{std::vector<std::uint8_t>(static_cast<std::size_t>(s.width) * s.height)};
    archive.load_picture(s.name, p.pixels, p.palette);
    return p;
  }
};

// Exactly the pixel count: the run-length data ends right at the palette marker, so a reader
// that stops after the asked-for pixels finds the marker and the palette where they are.
TEST_F(DataFile, EveryPictureHasItsExactShapeAndItsValuesStayInTheirRange) {
  const Archive archive(kDat.string());
  std::map<std::string, Picture> read;
  for (const Shape& s : kPictures) {
    SCOPED_TRACE(s.name);
    const auto bytes = archive.extract(s.name);
    ASSERT_TRUE(bytes.has_value());
    const auto& b = *bytes;
    ASSERT_GT(b.size(), 128u + 769u);
    EXPECT_EQ(b[8] + 256 * b[9] + 1, s.width);
    EXPECT_EQ(b[10] + 256 * b[11] + 1, s.height);
    std::size_t at = 128, pixels = 0;
    while (pixels < static_cast<std::size_t>(s.width) * s.height && at < b.size()) {
      pixels += b[at] >= 0xC0 ? b[at] & 0x3F : 1;
      at += b[at] >= 0xC0 ? 2 : 1;
    }
    EXPECT_EQ(pixels, static_cast<std::size_t>(s.width) * s.height);
    EXPECT_EQ(at, b.size() - 769);
    EXPECT_EQ(b[at], 0x0C);
    const Picture& p = read[s.name] = picture(archive, s);
    EXPECT_TRUE(std::equal(b.end() - 768, b.end(), p.palette.begin()));
    EXPECT_LE(*std::max_element(p.pixels.begin(), p.pixels.end()), s.max_value);
  }
  // The overlay is see-through exactly where its 5-6-5 colour is black, which only index 0 is.
  std::size_t clear = 0;
  const Picture& overlay = read["spice.pcx"];
  for (std::uint8_t c : overlay.pixels) {
    const bool black = overlay.palette[c * 3u] / 8 == 0 && overlay.palette[c * 3u + 1] / 4 == 0 && overlay.palette[c * 3u + 2] / 8 == 0;
    EXPECT_EQ(black, c == 0);
    clear += black;
  }
  EXPECT_GT(clear, overlay.pixels.size() / 3);
  EXPECT_LT(clear, overlay.pixels.size() * 9 / 10);
}

// The flight's load step (the scene, the file under its element, then the part's own camera)
// fits the capacities the show gives it.
TEST_F(DataFile, FlightSceneFitsTheScenesCapacities) {
  Scene scene("Zava3z", 100, 2, 2, 2, 5);
  ASSERT_NO_THROW(load_scene(scene, "morvane.3ds", Archive(kDat.string()), "[Element1]", 1));
  scene.make_camera("Ca");
  EXPECT_EQ(scene.active_camera(), scene.find_camera("Ca"));
  int meshes = 0, lights = 0, materials = 0;
  for (int i = 0; i < scene.object_capacity(); ++i)
    if (const Mesh* m = scene.mesh(i)) {
      ++meshes;
      for (const Face& f : m->faces) EXPECT_GE(f.material, 0) << "an uncoloured face";
    }
  for (int i = 0; i < scene.light_capacity(); ++i) lights += scene.light(i) != nullptr;
  for (int i = 0; i < scene.material_capacity(); ++i) materials += scene.material(i) != nullptr;
  EXPECT_GT(meshes, 40);
  EXPECT_LE(meshes, 90);
  EXPECT_LE(materials, 5);
  EXPECT_EQ(lights, 2);
}

}  // namespace
}  // namespace morvane
