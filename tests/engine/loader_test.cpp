// The 3DS loader on hand-built chunks: where records land, the messages, and hostile files.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "engine/3ds/scene_loader.h"
#include "engine/scene.h"
#include "tests/engine/chunk_bytes.h"
#include "tests/support/thrown_message.h"

namespace morvane {
namespace {

using namespace morvane::test;

class Loader : public ::testing::Test {
 protected:
  LoadSummary load(const Bytes& bytes, const LoadFilters& filters = {}) {
    return load_3ds(scene, "test.3ds", [&](std::string_view) { return bytes; }, "[Element1]", filters);
  }
  Mesh& mesh_named(const char* name) { return *scene.mesh(scene.find_object(name, kSlotMesh)); }

  Scene scene{"Zava3z", 16, 2, 2, 2, 5};
};

using test::message_of;

TEST_F(Loader, Messages) {
  const Bytes two_vertices = vertex_list({{0, 0, 0}, {1, 0, 0}});
  struct Case {
    Bytes file;
    const char* message;
  };
  const Case cases[] = {
      {scene_file({mesh_object("m", {two_vertices, mapping({{0, 0}})})}), "VELDRA:3DS:LOAD: Number of mappingvertices not equal to number of vertices"},
      {scene_file({mesh_object("m", {two_vertices, face_list({{0, 1, 2}})})}), "VELDRA:3DS:LOAD: Face index out of range"},
      {scene_file({mesh_object("m", {face_list({{0, 0, 0}}), two_vertices})}), "VELDRA:3DS:LOAD: Face index out of range"},
      {scene_file({triangle_object("A"), triangle_object("A")}), "VELDRA:MAKE:OBJECT: Object does allready exist"},
      {scene_file({camera_object("k", {}, {0, 0, 1}, 0, 45), camera_object("k", {}, {0, 0, 1}, 0, 45)}),
       "VELDRA:MAKE:CAMERA: Camera does allready exist"},
  };
  for (const Case& c : cases) {
    Scene s("s", 4, 2, 0, 2, 0);
    EXPECT_EQ(message_of([&] { load_3ds(s, "x.3ds", [&](std::string_view) { return c.file; }, "e"); }), c.message);
    EXPECT_NE(s.find_object("e", 0), -1) << "what was made stays";
  }
  EXPECT_EQ(message_of([&] { load(Bytes{}); }), "");
  EXPECT_EQ(message_of([&] { load(Bytes{}); }), "VELDRA:MAKE:OBJECT: Object does allready exist") << "the same element again";
  EXPECT_NE(message_of([&] { load_3ds(scene, "x", [](std::string_view) { return Bytes{}; }, "Zava3z"); }), "");

  // The file type comes from the extension, unless the caller names it.
  int reads = 0;
  Scene files("f", 4, 0, 0, 4, 0);
  auto load_as = [&](const char* file, std::uint8_t type, const char* element) {
    return message_of([&] { load_scene(files, file, [&](std::string_view) {
      ++reads;
      return Bytes{};
    }, element, type); });
  };
  EXPECT_EQ(load_as("box.3DS", 0, "e1") + load_as("box.txt", 1, "e2") + load_as("box.3ds", 2, "e3"), "");
  EXPECT_EQ(reads, 2);
  EXPECT_EQ(files.find_object("e3", 0), -1);
  for (const char* refused : {"box", "box.", "scene.old.3ds", "box.3dsx", ".", ""})
    EXPECT_EQ(load_as(refused, 0, "x"), "VELDRA:LOADSCENE: Could not determine filetype") << refused;
}

TEST_F(Loader, MappingReachesFacesOnlyBeforeTheFaceList) {
  const Bytes corners = vertex_list({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), uv = mapping({{0.5f, 0.25f}, {1, 0}, {0, 2}});
  load(scene_file({mesh_object("before", {corners, uv, face_list({{2, 0, 1}})}), mesh_object("after", {corners, face_list({{2, 0, 1}}), uv})}));
  const Face& f = mesh_named("before").faces[0];
  EXPECT_EQ(f.mapping[0].u, 0.0f);
  EXPECT_EQ(f.mapping[0].v, 512.0f);
  EXPECT_EQ(f.mapping[1].u, 128.0f);
  EXPECT_EQ(f.mapping[1].v, 64.0f);
  EXPECT_FALSE(mesh_named("before").mapping.has_value());
  EXPECT_EQ(mesh_named("after").faces[0].mapping[1].u, 0.0f);
  EXPECT_TRUE(mesh_named("after").mapping.has_value());
}

TEST_F(Loader, NodeHeadersFiltersAndLoops) {
  const Bytes file = chunk(0x4D4D, {chunk(0x3D3D, {triangle_object("A"), triangle_object("B"),
                                                   chunk(0x4000, {name("X"), chunk(0x4110, u16(0))}),  // not a named object kind
                                                   triangle_object("C"), light_object("L", {0, 0, 0})}),
                                    chunk(0xB010, {name("L"), u16(0), u16(0), u16(2)}),         // L under node 2: C
                                    chunk(0xB010, {name("C"), u16(0), u16(0), u16(3)}),         // C under L: a loop
                                    chunk(0xB010, {name("Zava3z"), u16(0), u16(0), u16(2)})});  // the root under C
  LoadFilters filters;
  filters.mesh = "C";
  const LoadSummary summary = load(file, filters);
  EXPECT_EQ(summary.meshes, 1);
  EXPECT_EQ(scene.find_object("A", 0), -1);
  EXPECT_EQ(scene.find_object("X", 0), -1);
  const int c = scene.find_object("C", 0), l = scene.find_object("L", 0);
  EXPECT_EQ(scene.slot(l)->parent, c);
  EXPECT_EQ(scene.slot(c)->children, (std::vector<int>{l}));
  EXPECT_EQ(scene.slot(c)->parent, scene.find_object("[Element1]", 0));
  EXPECT_EQ(scene.slot(0)->parent, -1);
}

TEST_F(Loader, CamerasAndLights) {
  // Places and the axis swap are checked on the sample files; here the lens, the active camera
  // and the spotlight's cone.
  load(scene_file({camera_object("first", {1, 2, 3}, {4, 5, 6}, 10.0f, 50.0f), camera_object("second", {}, {0, 0, 1}, 0.0f, 30.0f),
                   light_object("L", {1, 2, 3}, {chunk(0x4610, floats({4, 5, 6, 30, 40}))})}));
  EXPECT_EQ(scene.active_camera(), 1);
  EXPECT_EQ(scene.camera(0)->roll, 10.0f);
  EXPECT_EQ(scene.camera(0)->field_of_view, 46.0f);
  EXPECT_EQ(scene.camera(1)->field_of_view, 15.0f / 30.0f * 160.0f);
  const int l = scene.find_object("L", 0);
  EXPECT_EQ(scene.slot(l)->parent, 0);  // lights hang under the root
  const Light& light = *scene.light(scene.slot(l)->index);
  EXPECT_EQ(light.target.z, 5.0f);
  EXPECT_EQ(light.spotlight, 1);
  EXPECT_EQ(light.hotspot, 30.0f);
  EXPECT_EQ(light.falloff, 40.0f);
}

TEST_F(Loader, WalkRules) {
  // A zero length ends the walk; unlisted chunks are skipped whole; a list with bytes to spare
  // leaves the chunk after it intact.
  load(cat({u16(0x4D4D), u32(0), scene_file({triangle_object("A")})}));
  EXPECT_EQ(scene.find_object("A", 0), -1);
  Scene second("s", 8, 0, 0, 2, 0);
  const Bytes roomy_vertices = chunk(0x4110, cat({u16(2), floats({1, 2, 3, 4, 5, 6, 7, 8, 9})}));
  load_3ds(second, "x", [&](std::string_view) {
    return scene_file({mesh_object("m", {roomy_vertices, face_list({{0, 1, 1}})}),
                       chunk(0x1234, {floats({1, 2, 3}), chunk(0x4000, name("hidden"))}), triangle_object("B")});
  }, std::nullopt);
  EXPECT_NE(second.find_object("B", 0), -1);
  EXPECT_EQ(second.find_object("hidden", 0), -1);
  const Mesh& m = *second.mesh(second.find_object("m", kSlotMesh));
  ASSERT_EQ(m.vertex_count(), 2);
  ASSERT_EQ(m.face_count(), 1);
  EXPECT_EQ(m.faces[0].b, 1);
}

TEST_F(Loader, KeyframerTracks) {
  // In the keyframer section the tracks are skipped with it; straight inside the main chunk
  // they are read into the current mesh or the light of the node before them.
  const Bytes hide = chunk(0xB029, cat({u16(3), Bytes(8, 0), u16(2), u16(0), u16(5), u16(0), u16(0), u16(17), u16(1), u16(0)}));
  const Bytes position = chunk(0xB020, cat({u16(2), Bytes(8, 0), u16(1), u16(0), u16(9), u16(0), u16(0x5), floats({0.5f, 0.25f}), floats({1, 2, 3})}));
  const Bytes rotation = chunk(0xB022, cat({u16(0), Bytes(8, 0), u16(1), u16(0), u16(4), u16(0), u16(0), floats({1.5f, 0, 0, 1})}));
  const Bytes light_node = chunk(0xB005, {chunk(0xB010, {name("L"), u16(0), u16(0), u16(0xFFFF)}), position});
  testing::internal::CaptureStdout();
  load(chunk(0x4D4D, {chunk(0x3D3D, {triangle_object("A"), light_object("L", {0, 0, 0})}), chunk(0xB000, hide), rotation, hide, light_node}));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Frame: 5\nFrame: 17\n") << "the hide track is read once";
  const Mesh& a = mesh_named("A");
  EXPECT_EQ(a.hide_track.frames, (std::vector<std::int32_t>{5, 17}));
  EXPECT_EQ(a.hide_track.flags, 2);
  ASSERT_EQ(a.rotation_track.key_count(), 1);
  EXPECT_EQ(a.rotation_track.scalars[0], 1.5f);
  EXPECT_EQ(a.rotation_track.points[0].y, 1.0f);
  const KeyTrack& pos = scene.light(scene.find_object("L", kSlotLight))->position_track;
  ASSERT_EQ(pos.key_count(), 1);
  EXPECT_EQ(pos.flags, 1);
  EXPECT_EQ(pos.frames[0], 9);
  EXPECT_EQ(pos.splines[0].tension, 0.5f);
  EXPECT_EQ(pos.splines[0].bias, 0.25f);
  EXPECT_EQ(pos.points[0].y, 3.0f);
}

TEST_F(Loader, HostileStructures) {
  // Chunks nested far deeper than any real file.
  const Bytes inner = triangle_object("deep");
  constexpr std::uint32_t kLevels = 20000;
  Bytes deep;
  for (std::uint32_t i = 0; i < kLevels; ++i) deep = cat({deep, u16(0x4D4D), u32(static_cast<std::uint32_t>((kLevels - i) * 6 + inner.size()))});
  load(cat({deep, inner}));
  EXPECT_EQ(scene.find_object("deep", 0), -1);

  // A name with no terminator, lengths past the parent and the file, lengths below a header.
  const Bytes cases[] = {chunk(0x4D4D, {chunk(0x3D3D, chunk(0x4000, Bytes{'A', 'B', 'C'}))}),
                         cat({u16(0x4D4D), u32(0xFFFFFFFF), chunk(0x3D3D, triangle_object("big"))}),
                         cat({u16(0x4D4D), u32(3), chunk(0x3D3D, triangle_object("tiny"))}),
                         chunk(0x4D4D, {u16(0x3D3D), u32(0x7FFFFFF0), triangle_object("inner")})};
  Scene s2("s2", 8, 2, 2, 4, 2);
  int n = 0;
  for (const Bytes& c : cases) load_3ds(s2, "x", [&](std::string_view) { return c; }, "e" + std::to_string(n++));
  EXPECT_EQ(s2.find_object("ABC", 0), -1);
  EXPECT_NE(s2.find_object("big", 0), -1);
}

}  // namespace
}  // namespace morvane
