// The sample 3DS files no one here wrote, with the facts an independent chunk walker recorded
// for them, and damaged variants of the same files.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/3ds/scene_loader.h"
#include "engine/render.h"
#include "engine/scene.h"
#include "tests/engine/chunk_bytes.h"

namespace morvane {
namespace {

using test::Bytes;

const std::filesystem::path kDir = std::filesystem::path(MORVANE_TESTDATA_DIR) / "3ds";

Bytes read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + separator.size()) {
    parts.push_back(text.substr(start, at - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

using Row = std::map<std::string, std::string>;

std::vector<Row> manifest() {
  std::ifstream in(kDir / "MANIFEST.tsv");
  std::string line;
  std::getline(in, line);
  const std::vector<std::string> header = split(line, "\t");
  std::vector<Row> rows;
  while (std::getline(in, line)) {
    const std::vector<std::string> cells = split(line, "\t");
    Row row;
    for (std::size_t i = 0; i < header.size() && i < cells.size(); ++i) row[header[i]] = cells[i];
    rows.push_back(row);
  }
  return rows;
}

// Capacities large enough for every sample file.
std::unique_ptr<Scene> roomy_scene() { return std::make_unique<Scene>("test", 64, 8, 8, 2, 64); }

LoadSummary load_bytes(Scene& scene, const Bytes& bytes) {
  return load_3ds(scene, "file.3ds", [&](std::string_view) { return bytes; }, "[Element1]");
}

int number(const Row& row, const char* column) {
  const std::string& cell = row.at(column);
  return cell.empty() ? 0 : std::stoi(cell);
}

class RealFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kDir / "MANIFEST.tsv")) GTEST_SKIP() << "no sample files in " << kDir;
  }
};

TEST_F(RealFiles, EveryFileLoadsWithTheRecordedCounts) {
  for (const Row& row : manifest()) {
    const std::string& file = row.at("file");
    SCOPED_TRACE(file);
    auto scene = roomy_scene();
    const LoadSummary summary = load_bytes(*scene, read_file(kDir / file));
    EXPECT_EQ(summary.meshes, number(row, "n_meshes"));
    EXPECT_EQ(summary.cameras, number(row, "n_cameras"));
    EXPECT_EQ(summary.lights, number(row, "n_lights"));
    ASSERT_NE(scene->find_object("[Element1]", 0), -1);

    int vertices = 0, faces = 0;
    for (int i = 0; i < scene->object_capacity(); ++i) {
      if (const Mesh* m = scene->mesh(i)) {
        vertices += m->vertex_count();
        faces += m->face_count();
      }
    }
    EXPECT_EQ(vertices, number(row, "total_vertices"));
    EXPECT_EQ(faces, number(row, "total_faces"));

    // Per mesh: "name:V=..,F=..,maxidx=..,tv=..,..." joined by " ; ".
    const std::string& detail = row.at("meshes_detail");
    if (detail.empty() || detail == "-") continue;
    for (const std::string& entry : split(detail, " ; ")) {
      const std::size_t colon = entry.rfind(":V=");
      const std::string name = entry.substr(0, colon);
      std::map<std::string, std::string> facts;
      for (const std::string& kv : split(entry.substr(colon + 1), ",")) {
        const std::size_t eq = kv.find('=');
        if (eq != std::string::npos) facts[kv.substr(0, eq)] = kv.substr(eq + 1);
      }
      const Mesh* mesh = scene->mesh(scene->find_object(name, kSlotMesh));
      ASSERT_NE(mesh, nullptr) << name;
      EXPECT_EQ(mesh->vertex_count(), std::stoi(facts["V"])) << name;
      EXPECT_EQ(mesh->face_count(), std::stoi(facts["F"])) << name;
      bool mapped = false;
      for (const Face& f : mesh->faces) {
        for (const MapCoord& uv : f.mapping) mapped = mapped || uv.u != 0.0f || uv.v != 0.0f;
      }
      if (facts["tv"] == "none") {
        EXPECT_FALSE(mapped) << name;
      }
      EXPECT_NE(scene->slot(mesh->render_slot)->bounds, nullptr) << name;
    }
  }
}

TEST_F(RealFiles, CamerasAndLightsCarryTheirParameters) {
  auto scene = roomy_scene();
  load_bytes(*scene, read_file(kDir / "pyramob.3ds"));
  const Camera* camera = scene->camera(scene->active_camera());
  ASSERT_NE(camera, nullptr);
  EXPECT_EQ(camera->name, "Camera01");
  // File (-42.3995, -148.2726, 3.8611), z-up.
  EXPECT_NEAR(camera->position.x, -42.3995f, 1e-3f);
  EXPECT_NEAR(camera->position.y, 3.8611f, 1e-3f);
  EXPECT_NEAR(camera->position.z, -148.2726f, 1e-3f);
  EXPECT_NEAR(camera->target.y, 0.9639f, 1e-3f);
  EXPECT_NEAR(camera->field_of_view, 45.0f, 1e-3f);  // lens 53.3333 is no table row
  const Light* spot = scene->light(scene->find_object("Spot01", kSlotLight));
  ASSERT_NE(spot, nullptr);
  EXPECT_EQ(spot->spotlight, 1);
  EXPECT_NEAR(spot->hotspot, 39.6f, 1e-4f);
  EXPECT_NEAR(spot->falloff, 46.6f, 1e-4f);
  EXPECT_NEAR(spot->target.z, 38.5625f, 1e-3f);
  const Light* omni = scene->light(scene->find_object("Omni01", kSlotLight));
  ASSERT_NE(omni, nullptr);
  EXPECT_EQ(omni->spotlight, 0);
  EXPECT_NEAR(omni->position.y, 97.8348f, 1e-3f);
}

TEST_F(RealFiles, EmptyFileLoadsNothing) {
  auto scene = roomy_scene();
  const LoadSummary summary = load_bytes(*scene, read_file(kDir / "empty.3ds"));
  EXPECT_EQ(summary.meshes + summary.cameras + summary.lights, 0);
  EXPECT_EQ(scene->slot(0)->children, (std::vector<int>{1}));
}

// ---- damaged variants ----

// Offsets that look like chunk headers: a known id and a length that fits the file. Stray
// matches inside data only add more cut points.
std::vector<std::size_t> chunk_starts(const Bytes& b) {
  static const std::uint16_t kIds[] = {0x4D4D, 0x3D3D, 0x4000, 0x4100, 0x4110, 0x4120, 0x4130, 0x4140, 0x4150,
                                       0x4160, 0x4600, 0x4610, 0x4700, 0xB000, 0xB002, 0xB010, 0xB020, 0xAFFF,
                                       0x0002, 0x3D3E, 0x0100};
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i + 6 <= b.size(); ++i) {
    const std::uint16_t id = static_cast<std::uint16_t>(b[i] | b[i + 1] << 8);
    const std::uint32_t len = static_cast<std::uint32_t>(b[i + 2] | b[i + 3] << 8 | b[i + 4] << 16) |
                              static_cast<std::uint32_t>(b[i + 5]) << 24;
    if (len < 6 || len > b.size() - i) continue;
    for (std::uint16_t k : kIds) {
      if (k == id) starts.push_back(i);
    }
  }
  return starts;
}

// Every third start at most `limit` of them, so that big files stay quick.
std::vector<std::size_t> thinned(std::vector<std::size_t> starts, std::size_t limit) {
  if (starts.size() <= limit) return starts;
  std::vector<std::size_t> out;
  for (std::size_t i = 0; i < limit; ++i) out.push_back(starts[i * starts.size() / limit]);
  return out;
}

// Loads the bytes; a failure must be a message, never anything worse. A loaded scene is then
// rendered once, whatever its numbers.
void load_damaged(const Bytes& bytes) {
  auto scene = roomy_scene();
  try {
    load_bytes(*scene, bytes);
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()).rfind("VELDRA:", 0), 0u) << e.what();
    return;
  }
  if (scene->active_camera() < 0) {
    scene->make_camera("look");
    scene->camera(scene->active_camera())->position = {0, 50, -200};
  }
  std::vector<Rgb565> frame(kFramePixels);
  scene->set_target_frame(frame);
  render_scene(*scene);
}

std::vector<std::string> damage_files() {
  std::vector<std::string> files;
  for (const Row& row : manifest()) {
    if (row.at("file") != "pyramob.3ds") files.push_back(row.at("file"));  // the big one costs too much here
  }
  return files;
}

TEST_F(RealFiles, TruncatedAtChunkBoundaries) {
  for (const std::string& file : damage_files()) {
    SCOPED_TRACE(file);
    const Bytes bytes = read_file(kDir / file);
    for (std::size_t start : thinned(chunk_starts(bytes), 60)) {
      for (std::size_t cut : {start, start + 3, start + 6, start + 8}) {
        if (cut <= bytes.size()) load_damaged(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)));
      }
    }
  }
}

TEST_F(RealFiles, AlteredChunkLengths) {
  for (const std::string& file : damage_files()) {
    SCOPED_TRACE(file);
    const Bytes bytes = read_file(kDir / file);
    for (std::size_t start : thinned(chunk_starts(bytes), 40)) {
      const std::uint32_t len = static_cast<std::uint32_t>(bytes[start + 2] | bytes[start + 3] << 8 |
                                                           bytes[start + 4] << 16) |
                                static_cast<std::uint32_t>(bytes[start + 5]) << 24;
      for (std::uint32_t altered : {0u, 1u, 5u, 6u, len - 1, len + 1, len + 7, 0x80000000u, 0xFFFFFFFFu}) {
        Bytes damaged = bytes;
        for (int k = 0; k < 4; ++k) damaged[start + 2 + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(altered >> (8 * k));
        load_damaged(damaged);
      }
    }
  }
}

TEST_F(RealFiles, FlippedBytes) {
  std::uint32_t state = 12345;
  auto next = [&] { return state = state * 1664525u + 1013904223u; };
  for (const std::string& file : damage_files()) {
    SCOPED_TRACE(file);
    const Bytes bytes = read_file(kDir / file);
    if (bytes.empty()) continue;
    for (int variant = 0; variant < 40; ++variant) {
      Bytes damaged = bytes;
      for (int k = 0; k < 4; ++k) damaged[(next() >> 8) % damaged.size()] ^= static_cast<std::uint8_t>(1u << (next() >> 29));
      load_damaged(damaged);
    }
  }
}

// The first face list whose count fits its length, and the same for mapping coordinates.
std::size_t first_chunk(const Bytes& b, std::uint16_t id, std::size_t entry_size) {
  for (std::size_t start : chunk_starts(b)) {
    const std::uint16_t found = static_cast<std::uint16_t>(b[start] | b[start + 1] << 8);
    const std::size_t len = static_cast<std::size_t>(b[start + 2] | b[start + 3] << 8 | b[start + 4] << 16);
    const std::size_t count = static_cast<std::size_t>(b[start + 6] | b[start + 7] << 8);
    if (found == id && count > 0 && 8 + count * entry_size <= len) return start;
  }
  return 0;
}

TEST_F(RealFiles, IndicesAndCountsOutOfRange) {
  int faces_checked = 0, mappings_checked = 0;
  for (const std::string& file : damage_files()) {
    SCOPED_TRACE(file);
    const Bytes bytes = read_file(kDir / file);
    if (const std::size_t at = first_chunk(bytes, 0x4120, 8)) {
      Bytes damaged = bytes;
      damaged[at + 8 + 2] = damaged[at + 8 + 3] = 0xFF;  // first face's b = 65535
      auto scene = roomy_scene();
      EXPECT_THROW(
          {
            try {
              load_bytes(*scene, damaged);
            } catch (const std::runtime_error& e) {
              EXPECT_STREQ(e.what(), "VELDRA:3DS:LOAD: Face index out of range");
              throw;
            }
          },
          std::runtime_error);
      ++faces_checked;
    }
    if (const std::size_t at = first_chunk(bytes, 0x4140, 8)) {
      Bytes damaged = bytes;
      ++damaged[at + 6];
      auto scene = roomy_scene();
      try {
        load_bytes(*scene, damaged);
        ADD_FAILURE() << "a wrong mapping count loaded";
      } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "VELDRA:3DS:LOAD: Number of mappingvertices not equal to number of vertices");
      }
      ++mappings_checked;
    }
  }
  EXPECT_GT(faces_checked, 8);
  EXPECT_GT(mappings_checked, 5);
}

}  // namespace
}  // namespace morvane
