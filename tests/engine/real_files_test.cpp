// The sample 3DS files no one here wrote, with the facts an independent chunk walker recorded
// for them, and damaged variants of the same files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/3ds/scene_loader.h"
#include "engine/render.h"
#include "engine/scene.h"

namespace morvane {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Row = std::map<std::string, std::string>;

const std::filesystem::path kDir = std::filesystem::path(MORVANE_TESTDATA_DIR) / "3ds";

Bytes read_file(const std::string& name) {
  std::ifstream in(kDir / name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  return parts;
}

std::vector<Row> manifest() {
  std::ifstream in(kDir / "MANIFEST.tsv");
  std::string line;
  std::getline(in, line);
  const std::vector<std::string> header = split(line, '\t');
  std::vector<Row> rows;
  while (std::getline(in, line)) {
    const std::vector<std::string> cells = split(line, '\t');
    Row& row = rows.emplace_back();
    for (std::size_t i = 0; i < header.size(); ++i) row[header[i]] = i < cells.size() ? cells[i] : "";
  }
  return rows;
}

int number(const Row& row, const char* column) { return row.at(column).empty() ? 0 : std::stoi(row.at(column)); }

// Capacities large enough for every sample file.
std::unique_ptr<Scene> roomy_scene() { return std::make_unique<Scene>("test", 64, 8, 8, 2, 64); }

LoadSummary load_bytes(Scene& scene, const Bytes& bytes) {
  return load_3ds(scene, "file.3ds", [&](std::string_view) { return bytes; }, "[Element1]");
}

class RealFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kDir / "MANIFEST.tsv")) GTEST_SKIP() << "no sample files in " << kDir;
  }
};

TEST_F(RealFiles, EveryFileLoadsWithTheRecordedFacts) {
  for (const Row& row : manifest()) {
    SCOPED_TRACE(row.at("file"));
    auto scene = roomy_scene();
    const LoadSummary summary = load_bytes(*scene, read_file(row.at("file")));
    EXPECT_EQ(summary.meshes, number(row, "n_meshes"));
    EXPECT_EQ(summary.cameras, number(row, "n_cameras"));
    EXPECT_EQ(summary.lights, number(row, "n_lights"));
    int vertices = 0, faces = 0;
    for (int i = 0; i < scene->object_capacity(); ++i) {
      if (const Mesh* m = scene->mesh(i)) vertices += m->vertex_count(), faces += m->face_count();
    }
    EXPECT_EQ(vertices, number(row, "total_vertices"));
    EXPECT_EQ(faces, number(row, "total_faces"));
    // Per mesh: "name:V=..,F=..,..." joined by " ; ".
    static const std::regex kMesh(R"(([^;]+?):V=(\d+),F=(\d+),)");
    const std::string& detail = row.at("meshes_detail");
    for (std::sregex_iterator m(detail.begin(), detail.end(), kMesh), end; m != end; ++m) {
      const std::string name = std::regex_replace((*m)[1].str(), std::regex("^ +"), "");
      const Mesh* mesh = scene->mesh(scene->find_object(name, kSlotMesh));
      ASSERT_NE(mesh, nullptr) << name;
      EXPECT_EQ(mesh->vertex_count(), std::stoi((*m)[2])) << name;
      EXPECT_EQ(mesh->face_count(), std::stoi((*m)[3])) << name;
    }
    // Cameras and lights: "name:camera {"pos":[x,y,z],"target":[...]" with z up; y up here.
    static const std::regex kPlace(R"((?:^| ; )([^:]+):(camera|light) \{"(?:pos|spot)[^\[]*\[([-\d.]+),([-\d.]+),([-\d.]+)\])");
    const std::string& others = row.at("non_mesh_objects");
    for (std::sregex_iterator m(others.begin(), others.end(), kPlace), end; m != end; ++m) {
      const std::string name = (*m)[1];
      const Camera* camera = scene->camera(scene->find_camera(name));
      const Light* light = scene->light(scene->find_object(name, kSlotLight));
      ASSERT_TRUE((*m)[2] == "camera" ? camera != nullptr : light != nullptr) << name;
      const Vec3* p = (*m)[2] == "camera" ? &camera->position : &light->position;
      EXPECT_NEAR(p->x, std::stof((*m)[3]), 1e-3f) << name;
      EXPECT_NEAR(p->y, std::stof((*m)[5]), 1e-3f) << name;
      EXPECT_NEAR(p->z, std::stof((*m)[4]), 1e-3f) << name;
    }
  }
}

// Offsets that look like chunk headers: a known id and a length that fits the file. Stray
// matches inside data only add more cut points.
std::vector<std::size_t> chunk_starts(const Bytes& b, std::size_t limit) {
  static const std::uint16_t kIds[] = {0x4D4D, 0x3D3D, 0x4000, 0x4100, 0x4110, 0x4120, 0x4130, 0x4140,
                                       0x4600, 0x4610, 0x4700, 0xB000, 0xB002, 0xB010, 0xB020};
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i + 6 <= b.size(); ++i) {
    const std::uint16_t id = static_cast<std::uint16_t>(b[i] | b[i + 1] << 8);
    const std::uint32_t len = b[i + 2] | b[i + 3] << 8 | b[i + 4] << 16 | static_cast<std::uint32_t>(b[i + 5]) << 24;
    if (len >= 6 && len <= b.size() - i && std::find(std::begin(kIds), std::end(kIds), id) != std::end(kIds)) starts.push_back(i);
  }
  std::vector<std::size_t> thinned;  // at most `limit`, spread over the file, so big files stay quick
  for (std::size_t i = 0; i < std::min(limit, starts.size()); ++i) thinned.push_back(starts[i * starts.size() / std::min(limit, starts.size())]);
  return thinned;
}

// A failure must be a message, never anything worse; a loaded scene is then rendered once.
void load_damaged(const Bytes& bytes) {
  auto scene = roomy_scene();
  try {
    load_bytes(*scene, bytes);
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()).rfind("VELDRA:", 0), 0u) << e.what();
    return;
  }
  if (scene->active_camera() < 0) scene->camera(scene->make_camera("look"))->position = {0, 50, -200};
  std::vector<Rgb565> frame(kFramePixels);
  scene->set_target_frame(frame);
  render_scene(*scene);
}

TEST_F(RealFiles, DamagedVariantsFailWithAMessageOrLoad) {
  std::uint32_t state = 12345;
  auto next = [&] { return state = state * 1664525u + 1013904223u; };
  for (const Row& row : manifest()) {
    if (row.at("file") == "pyramob.3ds") continue;  // the big one costs too much here
    SCOPED_TRACE(row.at("file"));
    const Bytes bytes = read_file(row.at("file"));
    for (std::size_t start : chunk_starts(bytes, 60)) {  // cut at and just behind chunk headers
      for (std::size_t cut : {start, start + 3, start + 6, start + 8})
        if (cut <= bytes.size()) load_damaged(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)));
    }
    for (std::size_t start : chunk_starts(bytes, 40)) {  // chunk lengths changed
      const std::uint32_t len = bytes[start + 2] | bytes[start + 3] << 8 | bytes[start + 4] << 16 | static_cast<std::uint32_t>(bytes[start + 5]) << 24;
      for (std::uint32_t altered : {0u, 1u, 5u, 6u, len - 1, len + 1, len + 7, 0x80000000u, 0xFFFFFFFFu}) {
        Bytes damaged = bytes;
        for (std::size_t k = 0; k < 4; ++k) damaged[start + 2 + k] = static_cast<std::uint8_t>(altered >> (8 * k));
        load_damaged(damaged);
      }
    }
    for (int variant = 0; variant < 40 && !bytes.empty(); ++variant) {  // bits flipped anywhere
      Bytes damaged = bytes;
      for (int k = 0; k < 4; ++k) damaged[(next() >> 8) % damaged.size()] ^= static_cast<std::uint8_t>(1u << (next() >> 29));
      load_damaged(damaged);
    }
  }
}

}  // namespace
}  // namespace morvane
