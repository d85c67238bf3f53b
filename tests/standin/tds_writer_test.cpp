// The 3DS writer: its chunk layout, and what the project's own loader makes of its files.
#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/3ds/scene_loader.h"
#include "engine/scene.h"
#include "tools/standin/tds_writer.h"

namespace morvane::standin {
namespace {

TdsScene small_scene() {
  TdsScene s;
  s.materials = {{"F_GREY", {128, 128, 128}}, {"F_RANDBLUE", {0, 128, 255}}};
  TdsMesh quad{"Quad", {{0, 0, 0}, {10, 0, 0}, {10, 5, 2}, {0, 5, 2}}, {{0, 1, 2}, {0, 2, 3}},
               {{0, 0}, {1, 0}, {1, 0.5f}, {0, 0.5f}}, 0};
  TdsMesh tri{"Tri", {{1, 2, 3}, {4, 5, 6}, {7, 8, 10}}, {{2, 1, 0}}, {}, 1};
  s.meshes = {quad, tri};
  s.lights = {{"Omni", {1, 2, 3}, false, {}, 0, 0}, {"Spot", {-4, 5, -6}, true, {7, 8, 9}, 20.0f, 35.0f}};
  return s;
}

struct Chunk {
  std::uint16_t id;
  std::size_t start, end;
};

// The chunks directly inside [begin, end).
std::vector<Chunk> children(const std::vector<std::uint8_t>& b, std::size_t begin, std::size_t end) {
  std::vector<Chunk> out;
  while (begin + 6 <= end) {
    const std::uint16_t id = static_cast<std::uint16_t>(b[begin] | b[begin + 1] << 8);
    const std::uint32_t len = b[begin + 2] | b[begin + 3] << 8 | b[begin + 4] << 16 | static_cast<std::uint32_t>(b[begin + 5]) << 24;
    if (len < 6 || begin + len > end) break;
    out.push_back({id, begin, begin + len});
    begin += len;
  }
  return out;
}

std::vector<std::uint16_t> ids(const std::vector<Chunk>& chunks) {
  std::vector<std::uint16_t> out;
  for (const Chunk& c : chunks) out.push_back(c.id);
  return out;
}

TEST(TdsWriter, LaysChunksOutAsPublished) {
  const auto file = write_3ds(small_scene());
  const auto top = children(file, 0, file.size());
  ASSERT_EQ(top.size(), 1u);
  EXPECT_EQ(top[0].id, 0x4D4D);
  EXPECT_EQ(top[0].end, file.size());
  const auto main = children(file, 6, file.size());
  EXPECT_EQ(ids(main), (std::vector<std::uint16_t>{0x0002, 0x3D3D, 0xB000}));
  const auto editor = children(file, main[1].start + 6, main[1].end);
  // Mesh version, two materials, master scale, two meshes, two lights.
  EXPECT_EQ(ids(editor), (std::vector<std::uint16_t>{0x3D3E, 0xAFFF, 0xAFFF, 0x0100, 0x4000, 0x4000, 0x4000, 0x4000}));
  // The first named object: "Quad\0", then one mesh chunk with points, mapping (before the
  // faces, as readers need), matrix and faces; the faces carry their material group.
  const std::size_t object_data = editor[4].start + 6 + 5;
  const auto object = children(file, object_data, editor[4].end);
  ASSERT_EQ(ids(object), (std::vector<std::uint16_t>{0x4100}));
  const auto mesh = children(file, object[0].start + 6, object[0].end);
  EXPECT_EQ(ids(mesh), (std::vector<std::uint16_t>{0x4110, 0x4140, 0x4160, 0x4120}));
  const std::size_t faces_data = mesh[3].start + 6 + 2 + 2 * 8;
  EXPECT_EQ(ids(children(file, faces_data, mesh[3].end)), (std::vector<std::uint16_t>{0x4130}));
  // The keyframer: header, segment, time, one node per mesh, then the lights' nodes (the
  // spotlight with its target).
  EXPECT_EQ(ids(children(file, main[2].start + 6, main[2].end)),
            (std::vector<std::uint16_t>{0xB00A, 0xB008, 0xB009, 0xB002, 0xB002, 0xB005, 0xB007, 0xB006}));
}

TEST(TdsWriter, LoadsIntoTheEngineWithTheSameGeometry) {
  const TdsScene model = small_scene();
  const auto file = write_3ds(model);
  Scene scene("Zava3z", 100, 2, 2, 2, 5);
  const LoadSummary summary = load_3ds(scene, "morvane.3ds", [&](std::string_view) { return file; }, "[Element1]");
  EXPECT_EQ(summary.meshes, 2);
  EXPECT_EQ(summary.lights, 2);
  EXPECT_EQ(summary.cameras, 0);

  const Mesh* quad = scene.mesh(scene.find_object("Quad", 3));
  const Mesh* tri = scene.mesh(scene.find_object("Tri", 3));
  ASSERT_NE(quad, nullptr);
  ASSERT_NE(tri, nullptr);
  ASSERT_EQ(quad->vertex_count(), 4);
  for (int i = 0; i < 4; ++i) {  // written z up, read back y up: the same engine points
    EXPECT_EQ(quad->vertices[i].x, model.meshes[0].vertices[i].x);
    EXPECT_EQ(quad->vertices[i].y, model.meshes[0].vertices[i].y);
    EXPECT_EQ(quad->vertices[i].z, model.meshes[0].vertices[i].z);
  }
  ASSERT_EQ(quad->face_count(), 2);
  EXPECT_EQ(quad->faces[1].a, 0);
  EXPECT_EQ(quad->faces[1].b, 2);
  EXPECT_EQ(quad->faces[1].c, 3);
  // Mapping reaches the faces in texels, and the grey material colours them.
  EXPECT_FLOAT_EQ(quad->faces[1].mapping[1].u, 256.0f);
  EXPECT_FLOAT_EQ(quad->faces[1].mapping[1].v, 128.0f);
  EXPECT_EQ(quad->faces[0].material, scene.find_material("F_GREY"));
  EXPECT_FLOAT_EQ(quad->faces[0].red, 128.0f);
  EXPECT_FLOAT_EQ(quad->faces[0].blue, 128.0f);
  // The random-blue face: no red, green and blue drawn at random.
  EXPECT_EQ(tri->faces[0].a, 2);
  EXPECT_FLOAT_EQ(tri->faces[0].red, 0.0f);
  EXPECT_GE(tri->faces[0].green, 0.0f);
  EXPECT_LE(tri->faces[0].blue, 255.0f);

  const Light* spot = scene.light(scene.find_object("Spot", 6));
  ASSERT_NE(spot, nullptr);
  EXPECT_EQ(spot->spotlight, 1);
  EXPECT_FLOAT_EQ(spot->position.z, -6.0f);
  EXPECT_FLOAT_EQ(spot->target.y, 8.0f);
  EXPECT_FLOAT_EQ(spot->falloff, 35.0f);
  // The keyframer section sits inside 0xB000, which the show's reader skips whole.
  EXPECT_TRUE(quad->position_track.frames.empty());
}

TEST(TdsWriter, RefusesWhatTheFormatCannotHold) {
  TdsScene bad_index = small_scene();
  bad_index.meshes[1].faces[0][2] = 3;
  EXPECT_THROW(write_3ds(bad_index), std::invalid_argument);
  TdsScene bad_mapping = small_scene();
  bad_mapping.meshes[0].mapping.pop_back();
  EXPECT_THROW(write_3ds(bad_mapping), std::invalid_argument);
  TdsScene long_name = small_scene();
  long_name.meshes[0].name = "NameTooLong";
  EXPECT_THROW(write_3ds(long_name), std::invalid_argument);
  TdsScene no_material = small_scene();
  no_material.meshes[0].material = 2;
  EXPECT_THROW(write_3ds(no_material), std::invalid_argument);
  TdsScene too_many = small_scene();
  too_many.meshes[1].vertices.resize(70000);
  EXPECT_THROW(write_3ds(too_many), std::invalid_argument);
}

}  // namespace
}  // namespace morvane::standin
