// The sample 3DS files no one here wrote, with the facts an independent chunk walker recorded
// for them. Damaged files are the fuzz corpus's concern.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "engine/3ds/scene_loader.h"
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

}  // namespace
}  // namespace morvane
