// The data file the build generates, read back the way the show and outside tools read it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include <unistd.h>

#include "archive/archive.h"
#include "engine/3ds/scene_loader.h"
#include "engine/scene.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

const fs::path kBuild = MORVANE_BUILD_DIR;
const fs::path kDat = kBuild / "morvane.dat";
const fs::path kInputs = kBuild / "standin";

struct Shape {
  const char* name;
  int width, height;
  int max_value;  // largest value a value picture may hold; 255 for palette pictures
};

// What the show asks of every picture: its shape (and so its pixel count) and, for pictures it
// reads as plain values, their range. The opening adds its mask to levels up to 196, so the mask
// stops at 59 (196 + 59 = 255, the table's last level).
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
  std::vector<std::uint8_t> pixels, palette;
  int width = 0, height = 0;
};

class DataFile : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!fs::exists(kDat)) return;
    const Archive archive(kDat.string());
    for (const Shape& s : kPictures) {
      Picture p;
      p.width = s.width;
      p.height = s.height;
      p.pixels.assign(static_cast<std::size_t>(s.width) * s.height, 0);
      p.palette.assign(768, 0);
      archive.load_picture(s.name, p.pixels, p.palette);
      pictures_[s.name] = std::move(p);
    }
  }
  void SetUp() override {
    if (!fs::exists(kDat)) GTEST_SKIP() << "no generated data file at " << kDat;
  }
  static const Picture& picture(const std::string& name) { return pictures_.at(name); }

  static inline std::map<std::string, Picture> pictures_;
};

unsigned u16_at(const std::vector<std::uint8_t>& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }

// Exactly the pixel count: the run-length data ends right at the palette marker, so a reader
// that stops after the asked-for pixels finds the marker and the palette where they are.
TEST_F(DataFile, EveryPictureHasItsExactShapeAndPixelCount) {
  const Archive archive(kDat.string());
  for (const Shape& s : kPictures) {
    SCOPED_TRACE(s.name);
    const auto bytes = archive.extract(s.name);
    ASSERT_TRUE(bytes.has_value());
    const auto& b = *bytes;
    ASSERT_GT(b.size(), 128u + 769u);
    EXPECT_EQ(u16_at(b, 8) + 1, static_cast<unsigned>(s.width));
    EXPECT_EQ(u16_at(b, 10) + 1, static_cast<unsigned>(s.height));
    std::size_t at = 128, pixels = 0;
    const std::size_t want = static_cast<std::size_t>(s.width) * s.height;
    while (pixels < want && at < b.size()) {
      if (b[at] >= 0xC0) {
        pixels += b[at] & 0x3F;
        at += 2;
      } else {
        ++pixels;
        ++at;
      }
    }
    EXPECT_EQ(pixels, want);
    EXPECT_EQ(at, b.size() - 769);
    EXPECT_EQ(b[b.size() - 769], 0x0C);
    EXPECT_TRUE(std::equal(b.end() - 768, b.end(), picture(s.name).palette.begin()));
  }
  EXPECT_EQ(archive.load_raw_file("morvane.3ds").size(), fs::file_size(kInputs / "morvane.3ds"));
}

TEST_F(DataFile, ValuePicturesStayInTheRangesTheScenesAssume) {
  for (const Shape& s : kPictures) {
    const auto& px = picture(s.name).pixels;
    EXPECT_LE(*std::max_element(px.begin(), px.end()), s.max_value) << s.name;
  }
  // The light levels reach up their range: these are pictures, not blanks.
  EXPECT_EQ(*std::max_element(picture("sprott.pcx").pixels.begin(), picture("sprott.pcx").pixels.end()), 24);
  EXPECT_GE(*std::max_element(picture("flares.pcx").pixels.begin(), picture("flares.pcx").pixels.end()), 40);
  EXPECT_GE(*std::max_element(picture("shades.pcx").pixels.begin(), picture("shades.pcx").pixels.end()), 50);
  EXPECT_GE(*std::max_element(picture("gl_tex.pcx").pixels.begin(), picture("gl_tex.pcx").pixels.end()), 120);
}

TEST_F(DataFile, GlowAndFlaresFadeOutBeforeTheirEdges) {
  // Stamped and blitted as rectangles: any value on the border would show as an edge.
  const auto& glow = picture("sprott.pcx").pixels;
  EXPECT_EQ(glow[4 * 10 + 4], 24);
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(glow[i], 0);
    EXPECT_EQ(glow[i * 10], 0);
  }
  const auto& flares = picture("flares.pcx").pixels;
  for (int f = 0; f < 5; ++f)
    for (int x = 0; x < 160; ++x) {
      EXPECT_EQ(flares[(f * 100) * 160 + x], 0) << "flare " << f;
      EXPECT_EQ(flares[(f * 100 + 99) * 160 + x], 0) << "flare " << f;
    }
}

TEST_F(DataFile, FlashPicturesShareTheLastOnesPalette) {
  const auto& shared = picture("dans10.pcx").palette;
  for (int i = 1; i <= 9; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "dans%02d.pcx", i);
    EXPECT_EQ(picture(name).palette, shared) << name;
  }
}

TEST_F(DataFile, OverlayIsSeeThroughOnlyWhereItsColourIsBlack) {
  const Picture& p = picture("spice.pcx");
  EXPECT_EQ(p.palette[0], 0);
  EXPECT_EQ(p.palette[1], 0);
  EXPECT_EQ(p.palette[2], 0);
  std::size_t clear = 0;
  for (std::uint8_t c : p.pixels) {
    const int r = p.palette[c * 3] / 8, g = p.palette[c * 3 + 1] / 4, b = p.palette[c * 3 + 2] / 8;
    if (r == 0 && g == 0 && b == 0) {
      EXPECT_EQ(c, 0);
      ++clear;
    }
  }
  // Mostly see-through, with a good part drawn.
  EXPECT_GT(clear, p.pixels.size() / 3);
  EXPECT_LT(clear, p.pixels.size() * 9 / 10);
}

double luminance(const Picture& p, int x, int y) {
  const int c = p.pixels[static_cast<std::size_t>(y) * p.width + x];
  return 0.3 * p.palette[c * 3] + 0.59 * p.palette[c * 3 + 1] + 0.11 * p.palette[c * 3 + 2];
}

// Textures are read across their edges: the step over the seam must look like a step inside.
// (Compared with the largest mean step of any inner column or row, since panel borders inside a
// texture are as sharp as the one at its edge.)
TEST_F(DataFile, TexturesWrapWithoutVisibleSeams) {
  for (const char* name : {"wogtex1.pcx", "wogtex2.pcx", "wogtex3.pcx", "light256.pcx"}) {
    Picture p = picture(name);
    if (std::string(name) == "light256.pcx")
      for (int i = 0; i < 768; ++i) p.palette[i] = static_cast<std::uint8_t>(i / 3 * 4);
    for (bool across : {true, false}) {
      auto at = [&](int i, int k) { return across ? luminance(p, i, k) : luminance(p, k, i); };
      double worst_inner = 0, seam = 0;
      for (int k = 0; k < 256; ++k) seam += std::fabs(at(255, k) - at(0, k));
      for (int i = 0; i < 255; ++i) {
        double step = 0;
        for (int k = 0; k < 256; ++k) step += std::fabs(at(i, k) - at(i + 1, k));
        worst_inner = std::max(worst_inner, step);
      }
      EXPECT_LE(seam, worst_inner * 1.25 + 256.0) << name << (across ? " left/right" : " top/bottom");
    }
  }
}

// The logo scene shows mask rows 210..409 first and rows 10..209 last; in both views the
// wandering light (columns 70..250, rows 40..160 of the screen) must be able to hide and shine.
TEST_F(DataFile, LogoMaskCoversAndUncoversTheLightInBothViews) {
  const Picture& m = picture("liglog.pcx");
  for (int top : {210, 10}) {
    std::size_t covered = 0, open = 0;
    for (int y = 40; y < 160; ++y)
      for (int x = 70; x < 250; ++x) (m.pixels[static_cast<std::size_t>(top + y) * 320 + x] ? covered : open)++;
    EXPECT_GT(covered, 2000u) << "view from row " << top;
    EXPECT_GT(open, 4000u) << "view from row " << top;
  }
}

struct SceneCounts {
  int meshes = 0, faces = 0, lights = 0, materials = 0, uncoloured_faces = 0;
};

// The flight's load step: the scene, the file under its element, then the part's own camera.
SceneCounts load_flight_scene() {
  Scene scene("Zava3z", 100, 2, 2, 2, 5);
  load_scene(scene, "morvane.3ds", Archive(kDat.string()), "[Element1]", 1);
  scene.make_camera("Ca");
  SceneCounts c;
  for (int i = 0; i < scene.object_capacity(); ++i)
    if (const Mesh* m = scene.mesh(i)) {
      ++c.meshes;
      c.faces += m->face_count();
      for (const Face& f : m->faces) c.uncoloured_faces += f.material < 0;
    }
  for (int i = 0; i < scene.light_capacity(); ++i) c.lights += scene.light(i) != nullptr;
  for (int i = 0; i < scene.material_capacity(); ++i) c.materials += scene.material(i) != nullptr;
  EXPECT_EQ(scene.active_camera(), scene.find_camera("Ca"));
  return c;
}

TEST_F(DataFile, FlightSceneFitsTheScenesCapacities) {
  SceneCounts c;
  ASSERT_NO_THROW(c = load_flight_scene());
  EXPECT_GT(c.meshes, 40);
  EXPECT_LE(c.meshes, 90);
  EXPECT_LE(c.materials, 5);
  EXPECT_EQ(c.lights, 2);
  EXPECT_EQ(c.uncoloured_faces, 0);
}

std::string run(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

bool have(const char* tool) { return !run(std::string("command -v ") + tool + " 2>/dev/null").empty(); }

int field(const std::string& report, const std::string& label) {
  const std::size_t at = report.find("\n" + label);
  return at == std::string::npos ? -1 : std::atoi(report.c_str() + at + 1 + label.size());
}

TEST_F(DataFile, AssimpReadsTheSameMeshesAndFaces) {
  if (!have("assimp")) GTEST_SKIP() << "assimp (Debian assimp-utils) not installed";
  const SceneCounts ours = load_flight_scene();
  const std::string report = run("assimp info '" + (kInputs / "morvane.3ds").string() + "' 2>&1");
  EXPECT_EQ(field(report, "Meshes:"), ours.meshes) << report.substr(0, 2000);
  EXPECT_EQ(field(report, "Faces:"), ours.faces);
  EXPECT_EQ(field(report, "Lights:"), ours.lights);
  EXPECT_EQ(field(report, "Cameras:"), 0);
}

std::vector<std::uint8_t> read(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

TEST_F(DataFile, UnarExtractsExactlyTheGeneratedFiles) {
  if (!have("unar")) GTEST_SKIP() << "unar not installed";
  const fs::path out = fs::temp_directory_path() / ("standin-unar-" + std::to_string(::getpid()));
  fs::remove_all(out);
  fs::create_directories(out);
  run("unar -q -D -nr -f -o '" + out.string() + "' '" + kDat.string() + "' 2>&1");
  std::size_t count = 0;
  for (const auto& e : fs::directory_iterator(kInputs)) {
    SCOPED_TRACE(e.path().filename().string());
    ++count;
    EXPECT_EQ(read(out / e.path().filename()), read(e.path()));
  }
  EXPECT_EQ(count, std::size(kPictures) + 1);
  EXPECT_EQ(static_cast<std::size_t>(std::distance(fs::directory_iterator(out), fs::directory_iterator())), count);
  fs::remove_all(out);
}

}  // namespace
}  // namespace morvane
