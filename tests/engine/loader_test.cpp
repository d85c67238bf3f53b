#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "engine/3ds/scene_loader.h"
#include "engine/scene.h"
#include "engine/demo_rand.h"
#include "tests/engine/chunk_bytes.h"

namespace morvane {
namespace {

using namespace morvane::test;

class Loader : public ::testing::Test {
 protected:
  LoadSummary load(const Bytes& bytes, const LoadFilters& filters = {},
                   std::optional<std::string_view> element = "[Element1]") {
    return load_3ds(scene, "test.3ds", [&](std::string_view) { return bytes; }, element, filters);
  }
  std::string load_message(const Bytes& bytes) {
    try {
      load(bytes);
    } catch (const std::runtime_error& e) {
      return e.what();
    }
    return "";
  }
  Mesh& mesh_named(const char* name) { return *scene.mesh(scene.find_object(name, kSlotMesh)); }

  Scene scene{"Zava3z", 16, 2, 2, 2, 5};
};

TEST_F(Loader, MeshesHangUnderTheElementWithSwappedAxes) {
  const LoadSummary summary =
      load(scene_file({mesh_object("tri", {vertex_list({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}), face_list({{0, 1, 2}})})}));
  EXPECT_EQ(summary.meshes, 1);
  const int element = scene.find_object("[Element1]", 0);
  const int slot = scene.find_object("tri", 0);
  ASSERT_EQ(element, 1);
  ASSERT_EQ(slot, 2);
  EXPECT_EQ(scene.slot(slot)->parent, element);
  EXPECT_EQ(scene.slot(slot)->has_parent, 2);
  EXPECT_EQ(scene.slot(element)->children, (std::vector<int>{slot}));
  EXPECT_EQ(scene.slot(0)->children, (std::vector<int>{element}));
  const Mesh& mesh = mesh_named("tri");
  ASSERT_EQ(mesh.vertex_count(), 3);
  EXPECT_EQ(mesh.vertices[0].x, 1.0f);
  EXPECT_EQ(mesh.vertices[0].y, 3.0f);
  EXPECT_EQ(mesh.vertices[0].z, 2.0f);
  EXPECT_EQ(mesh.transformed.size(), 3u);
  ASSERT_EQ(mesh.face_count(), 1);
  EXPECT_EQ(mesh.faces[0].c, 2);
  EXPECT_EQ(mesh.faces[0].material, -1);
  EXPECT_EQ(mesh.faces[0].red, 0.0f);
  ASSERT_NE(scene.slot(slot)->bounds, nullptr);  // prepared after its chunks
  EXPECT_EQ(scene.slot(slot)->bounds->corners[6].y, 9.0f);
  EXPECT_EQ(load_message(Bytes{}), "VELDRA:MAKE:OBJECT: Object does allready exist");  // same element again
}

TEST_F(Loader, MappingReachesFacesOnlyBeforeTheFaceList) {
  load(scene_file({mesh_object("before", {vertex_list({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}),
                                          mapping({{0.5f, 0.25f}, {1, 0}, {0, 2}}), face_list({{2, 0, 1}})}),
                   mesh_object("after", {vertex_list({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), face_list({{2, 0, 1}}),
                                         mapping({{0.5f, 0.25f}, {1, 0}, {0, 2}})})}));
  const Face& f = mesh_named("before").faces[0];
  EXPECT_EQ(f.mapping[0].u, 0.0f);
  EXPECT_EQ(f.mapping[0].v, 512.0f);
  EXPECT_EQ(f.mapping[1].u, 128.0f);
  EXPECT_EQ(f.mapping[1].v, 64.0f);
  EXPECT_EQ(f.mapping[2].u, 256.0f);
  EXPECT_FALSE(mesh_named("before").mapping.has_value());
  EXPECT_EQ(mesh_named("after").faces[0].mapping[1].u, 0.0f);
  EXPECT_TRUE(mesh_named("after").mapping.has_value());
}

TEST_F(Loader, MappingCountMustMatchVertexCount) {
  EXPECT_EQ(load_message(scene_file({mesh_object("m", {vertex_list({{0, 0, 0}, {1, 0, 0}}), mapping({{0, 0}})})})),
            "VELDRA:3DS:LOAD: Number of mappingvertices not equal to number of vertices");
  EXPECT_NE(scene.find_object("[Element1]", 0), -1);  // what was made stays
  EXPECT_NE(scene.find_object("m", 0), -1);
}

TEST_F(Loader, FaceIndicesMustNameVertices) {
  EXPECT_EQ(load_message(scene_file({mesh_object("m", {vertex_list({{0, 0, 0}, {1, 0, 0}}), face_list({{0, 1, 2}})})})),
            "VELDRA:3DS:LOAD: Face index out of range");
  Scene other("o", 4, 0, 0, 1, 1);
  try {
    load_3ds(other, "x.3ds", [](std::string_view) {
      return scene_file({mesh_object("m", {face_list({{0, 0, 0}}), vertex_list({{0, 0, 0}})})});
    }, std::nullopt);
    ADD_FAILURE() << "a face list before the vertex list loaded";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "VELDRA:3DS:LOAD: Face index out of range");
  }
  EXPECT_NE(other.find_object("[noname]", 0), -1);
}

TEST_F(Loader, FaceMaterialColours) {
  reset_demo_rand();
  load(scene_file({mesh_object(
      "m", {vertex_list({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}),
            face_list({{0, 1, 2}, {0, 1, 2}, {0, 1, 2}, {0, 1, 2}},
                      {face_material("F_GREY", {0}), face_material("FxRANDBLUE", {1, 99, 3})})})}));
  const Mesh& mesh = mesh_named("m");
  EXPECT_EQ(mesh.faces[0].red, 128.0f);
  EXPECT_EQ(mesh.faces[0].green, 128.0f);
  EXPECT_EQ(mesh.faces[0].blue, 128.0f);
  EXPECT_EQ(mesh.faces[0].material, scene.find_material("F_GREY"));
  // Three draws per listed face, red first; the grey face used 41, 18467, 6334.
  constexpr float k = 0.0077822199f;
  EXPECT_EQ(mesh.faces[1].red, 0.0f);
  EXPECT_EQ(mesh.faces[1].green, 19169.0f * k);
  EXPECT_EQ(mesh.faces[1].blue, 15724.0f * k);
  EXPECT_EQ(mesh.faces[1].material, scene.find_material("FxRANDBLUE"));
  EXPECT_EQ(mesh.faces[3].green, 29358.0f * k);  // face 99 does not exist and drew nothing
  EXPECT_EQ(mesh.faces[2].material, -1);
  EXPECT_EQ(mesh.faces[2].green, 0.0f);
  EXPECT_EQ(demo_rand(), 24464);
}

TEST_F(Loader, NamedObjectsNumberTheMeshesAndFiltersKeepTheNumbering) {
  const Bytes file = chunk(
      0x4D4D, {chunk(0x3D3D, {triangle_object("A"), triangle_object("B"),
                              chunk(0x4000, {name("X"), chunk(0x4110, u16(0))}),  // not a named object kind
                              triangle_object("C"), light_object("L", {0, 0, 0})}),
               // A node header straight inside a walked chunk: L goes under node 2.
               chunk(0xB010, {name("L"), u16(0), u16(0), u16(2)})});
  LoadFilters filters;
  filters.mesh = "C";
  const LoadSummary summary = load(file, filters);
  EXPECT_EQ(summary.meshes, 1);
  EXPECT_EQ(summary.lights, 1);
  EXPECT_EQ(scene.find_object("A", 0), -1);
  EXPECT_EQ(scene.find_object("X", 0), -1);
  const int c = scene.find_object("C", 0);
  const int l = scene.find_object("L", 0);
  EXPECT_EQ(scene.slot(l)->parent, c);
  EXPECT_EQ(scene.slot(l)->has_parent, 2);
  EXPECT_EQ(scene.slot(c)->children, (std::vector<int>{l}));
}

TEST_F(Loader, NodeHeadersNeverCloseALoop) {
  const Bytes file = chunk(0x4D4D, {chunk(0x3D3D, {triangle_object("A"), triangle_object("B")}),
                                    chunk(0xB010, {name("A"), u16(0), u16(0), u16(1)}),   // A under B
                                    chunk(0xB010, {name("B"), u16(0), u16(0), u16(0)}),   // B under A: a loop
                                    chunk(0xB010, {name("B"), u16(0), u16(0), u16(1)}),   // B under itself
                                    chunk(0xB010, {name("Zava3z"), u16(0), u16(0), u16(0)})});  // root under A
  load(file);
  const int a = scene.find_object("A", 0);
  const int b = scene.find_object("B", 0);
  EXPECT_EQ(scene.slot(a)->parent, b);
  EXPECT_EQ(scene.slot(b)->parent, scene.find_object("[Element1]", 0));
  EXPECT_EQ(scene.slot(0)->parent, -1);
  EXPECT_EQ(scene.slot(0)->has_parent, 0);
}

TEST_F(Loader, CamerasAndLights) {
  const LoadSummary summary = load(scene_file({
      camera_object("first", {1, 2, 3}, {4, 5, 6}, 10.0f, 50.0f),
      camera_object("second", {-1, -2, -3}, {0, 0, 0}, 0.0f, 30.0f),
      light_object("L", {1, 2, 3}, {chunk(0x4610, floats({4, 5, 6, 30, 40}))}),
  }));
  EXPECT_EQ(summary.cameras, 2);
  EXPECT_EQ(summary.lights, 1);
  EXPECT_EQ(scene.active_camera(), 1);
  const Camera& first = *scene.camera(0);
  EXPECT_EQ(first.name, "first");
  EXPECT_EQ(first.position.y, 3.0f);
  EXPECT_EQ(first.position.z, 2.0f);
  EXPECT_EQ(first.target.y, 6.0f);
  EXPECT_EQ(first.roll, 10.0f);
  EXPECT_EQ(first.field_of_view, 46.0f);
  EXPECT_EQ(scene.camera(1)->field_of_view, 15.0f / 30.0f * 160.0f);
  const int l = scene.find_object("L", 0);
  EXPECT_EQ(scene.slot(l)->parent, 0);  // lights hang under the root
  const Light& light = *scene.light(scene.slot(l)->index);
  EXPECT_EQ(light.position.y, 3.0f);
  EXPECT_EQ(light.target.y, 6.0f);
  EXPECT_EQ(light.target.z, 5.0f);
  EXPECT_EQ(light.spotlight, 1);
  EXPECT_EQ(light.hotspot, 30.0f);
  EXPECT_EQ(light.falloff, 40.0f);
  EXPECT_EQ(load_message(Bytes{}), "VELDRA:MAKE:OBJECT: Object does allready exist");
}

TEST_F(Loader, DuplicateNames) {
  EXPECT_EQ(load_message(scene_file({triangle_object("A"), triangle_object("A")})),
            "VELDRA:MAKE:OBJECT: Object does allready exist");
  Scene cams("c", 4, 2, 0, 2, 0);
  EXPECT_THROW(load_3ds(cams, "x", [](std::string_view) {
    return scene_file({camera_object("k", {}, {0, 0, 1}, 0, 45), camera_object("k", {}, {0, 0, 1}, 0, 45)});
  }, std::nullopt), std::runtime_error);
  Scene named("Zava3z", 4, 0, 0, 2, 0);
  EXPECT_THROW(load_3ds(named, "x", [](std::string_view) { return Bytes{}; }, "Zava3z"), std::runtime_error);
}

TEST_F(Loader, WalkEndsAtAZeroLengthAndSkipsUnlistedChunks) {
  Bytes zero = cat({u16(0x4D4D), u32(0), scene_file({triangle_object("A")})});
  load(zero);
  EXPECT_EQ(scene.find_object("A", 0), -1);
  EXPECT_EQ(scene.slot(0)->children, (std::vector<int>{1}));  // relinked all the same

  Scene second("s", 8, 0, 0, 2, 0);
  load_3ds(second, "x", [](std::string_view) {
    return scene_file({triangle_object("A"), chunk(0x1234, {floats({1, 2, 3}), chunk(0x4000, name("hidden"))}),
                       triangle_object("B")});
  }, std::nullopt);
  EXPECT_NE(second.find_object("A", 0), -1);
  EXPECT_NE(second.find_object("B", 0), -1);
  EXPECT_EQ(second.find_object("hidden", 0), -1);
}

TEST_F(Loader, ReadsStopAtTheirChunkEnd) {
  // A vertex list with bytes to spare behind its records; the face list after it is intact.
  const Bytes roomy_vertices = chunk(0x4110, cat({u16(2), floats({1, 2, 3, 4, 5, 6, 7, 8, 9})}));
  load(scene_file({mesh_object("m", {roomy_vertices, face_list({{0, 1, 1}})}), triangle_object("next")}));
  const Mesh& mesh = mesh_named("m");
  ASSERT_EQ(mesh.vertex_count(), 2);
  EXPECT_EQ(mesh.vertices[1].x, 4.0f);
  ASSERT_EQ(mesh.face_count(), 1);
  EXPECT_EQ(mesh.faces[0].b, 1);
  EXPECT_NE(scene.find_object("next", 0), -1);
}

TEST_F(Loader, KeyframerSectionIsSkippedWhole) {
  const Bytes hide = chunk(0xB029, cat({u16(3), Bytes(8, 0), u16(2), u16(0),  // flags, skip, count
                                        u16(5), u16(0), u16(0), u16(17), u16(1), u16(0)}));
  const Bytes node = chunk(0xB002, {chunk(0xB010, {name("A"), u16(0), u16(0), u16(0xFFFF)}), hide});
  testing::internal::CaptureStdout();
  load(chunk(0x4D4D, {chunk(0x3D3D, triangle_object("A")), chunk(0xB000, node)}));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(mesh_named("A").hide_track.key_count(), 0);

  // The same track straight inside the main chunk is read into the current mesh.
  Scene direct("d", 4, 0, 0, 1, 0);
  testing::internal::CaptureStdout();
  load_3ds(direct, "x", [&](std::string_view) { return chunk(0x4D4D, {chunk(0x3D3D, triangle_object("A")), hide}); },
           std::nullopt);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Frame: 5\nFrame: 17\n");
  const KeyTrack& track = direct.mesh(0)->hide_track;
  EXPECT_EQ(track.frames, (std::vector<std::int32_t>{5, 17}));
  EXPECT_EQ(track.flags, 2);
}

TEST_F(Loader, TracksOfLightsAndMeshes) {
  const Bytes position_track = chunk(0xB020, cat({u16(2), Bytes(8, 0), u16(1), u16(0),
                                                  u16(9), u16(0), u16(0x5), floats({0.5f, 0.25f}),  // tension, bias
                                                  floats({1, 2, 3})}));
  const Bytes rotation_track = chunk(0xB022, cat({u16(0), Bytes(8, 0), u16(1), u16(0), u16(4), u16(0), u16(0),
                                                  floats({1.5f, 0, 0, 1})}));
  const Bytes fov_track = chunk(0xB023, cat({u16(0), Bytes(8, 0), u16(1), u16(0), u16(4), u16(0), u16(0), f32(60)}));
  load(chunk(0x4D4D, {chunk(0x3D3D, {triangle_object("A"), light_object("L", {0, 0, 0})}), rotation_track,
                      chunk(0xB005, {chunk(0xB010, {name("L"), u16(0), u16(0), u16(0xFFFF)}), position_track}),
                      fov_track}));
  const Light& light = *scene.light(scene.find_object("L", kSlotLight));
  const KeyTrack& pos = light.position_track;
  ASSERT_EQ(pos.key_count(), 1);
  EXPECT_EQ(pos.flags, 1);
  EXPECT_EQ(pos.frames[0], 9);
  EXPECT_EQ(pos.splines[0].tension, 0.5f);
  EXPECT_EQ(pos.splines[0].bias, 0.25f);
  EXPECT_EQ(pos.splines[0].continuity, 0.0f);
  EXPECT_EQ(pos.points[0].y, 3.0f);
  const KeyTrack& rot = mesh_named("A").rotation_track;
  ASSERT_EQ(rot.key_count(), 1);
  EXPECT_EQ(rot.scalars[0], 1.5f);
  EXPECT_EQ(rot.points[0].y, 1.0f);
}

TEST(LoadScene, FileTypeByExtension) {
  Scene scene("s", 4, 0, 0, 4, 0);
  int reads = 0;
  const FileSource source = [&](std::string_view) {
    ++reads;
    return Bytes{};
  };
  auto message = [&](const char* file, std::uint8_t type, const char* element) {
    try {
      load_scene(scene, file, source, element, type);
    } catch (const std::runtime_error& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  EXPECT_EQ(message("box.3ds", 0, "e1"), "");
  EXPECT_EQ(message("box.3DS", 0, "e2"), "");
  EXPECT_EQ(message("box.txt", 1, "e3"), "");
  EXPECT_EQ(reads, 3);
  for (const char* refused : {"box", "box.", "scene.old.3ds", "box.3dsx", ".", ""}) {
    EXPECT_EQ(message(refused, 0, "x"), "VELDRA:LOADSCENE: Could not determine filetype") << refused;
  }
  EXPECT_EQ(message("box.3ds", 2, "x"), "");
  EXPECT_EQ(reads, 3);
  EXPECT_EQ(scene.find_object("x", 0), -1);
  EXPECT_EQ(scene_file_type("a.3dS"), 1);
}

TEST_F(Loader, HostileStructures) {
  // Chunks nested far deeper than any real file.
  const Bytes inner = triangle_object("deep");
  constexpr std::uint32_t kLevels = 20000;
  Bytes deep;
  for (std::uint32_t i = 0; i < kLevels; ++i) {
    const Bytes header = cat({u16(0x4D4D), u32(static_cast<std::uint32_t>((kLevels - i) * 6 + inner.size()))});
    deep.insert(deep.end(), header.begin(), header.end());
  }
  deep.insert(deep.end(), inner.begin(), inner.end());
  load(deep);
  EXPECT_EQ(scene.find_object("deep", 0), -1);

  // A name with no terminator, lengths past the parent and the file, lengths below a header.
  Scene s2("s2", 8, 2, 2, 4, 2);
  const Bytes cases[] = {
      chunk(0x4D4D, {chunk(0x3D3D, chunk(0x4000, Bytes{'A', 'B', 'C'}))}),
      cat({u16(0x4D4D), u32(0xFFFFFFFF), chunk(0x3D3D, triangle_object("big"))}),
      cat({u16(0x4D4D), u32(3), chunk(0x3D3D, triangle_object("tiny"))}),
      chunk(0x4D4D, {u16(0x3D3D), u32(0x7FFFFFF0), triangle_object("inner")}),
  };
  int n = 0;
  for (const Bytes& c : cases) {
    load_3ds(s2, "x", [&](std::string_view) { return c; }, "e" + std::to_string(n++));
  }
  EXPECT_EQ(s2.find_object("ABC", 0), -1);
  EXPECT_NE(s2.find_object("big", 0), -1);
}

}  // namespace
}  // namespace morvane
