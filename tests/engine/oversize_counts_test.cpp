// Lists whose count claims more records than their chunk holds are refused before anything is
// allocated; lists that exactly fill their chunk still load.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "engine/3ds/scene_loader.h"
#include "engine/scene.h"
#include "tests/engine/chunk_bytes.h"

namespace morvane {
namespace {

using namespace morvane::test;

Bytes vertices_claiming(std::uint16_t count, int held) {
  Bytes out = u16(count);
  for (int i = 0; i < held; ++i) out = cat({out, floats({1, 2, 3})});
  return chunk(0x4110, out);
}

Bytes faces_claiming(std::uint16_t count, int held) {
  Bytes out = u16(count);
  for (int i = 0; i < held; ++i) out = cat({out, u16(0), u16(1), u16(2), u16(0)});
  return chunk(0x4120, out);
}

Bytes mapping_claiming(std::uint16_t count, int held) {
  Bytes out = u16(count);
  for (int i = 0; i < held; ++i) out = cat({out, floats({0.5f, 0.5f})});
  return chunk(0x4140, out);
}

// A track chunk: flags, 8 skipped bytes, the count and its high half, then held keys of
// key_bytes each (frame, high half, no spline flags, zero values).
Bytes track_claiming(std::uint16_t id, std::uint16_t count, int held, int key_bytes) {
  Bytes out = cat({u16(0), Bytes(8, 0), u16(count), u16(0)});
  for (int i = 0; i < held; ++i) out = cat({out, Bytes(static_cast<std::size_t>(key_bytes), 0)});
  return chunk(id, out);
}

Bytes mesh_with(const Bytes& list) {
  return scene_file({mesh_object("m", {vertices_claiming(3, 3), list})});
}

// Tracks sit straight in the main chunk after the mesh (rotation, hide) or the light node they
// belong to (position); field of view is read even without a camera.
Bytes after_mesh(const Bytes& track) { return chunk(0x4D4D, {chunk(0x3D3D, triangle_object("A")), track}); }

Bytes in_light_node(const Bytes& track) {
  const Bytes node = chunk(0xB005, {chunk(0xB010, {name("L"), u16(0), u16(0), u16(0xFFFF)}), track});
  return chunk(0x4D4D, {chunk(0x3D3D, light_object("L", {0, 0, 0})), node});
}

struct Case {
  const char* what;
  Bytes file;
  const char* message;  // empty: the file loads
};

TEST(OversizeCounts, ListsAreCheckedAgainstTheirChunk) {
  const std::string vertex = "VELDRA:3DS:LOAD: Vertex list longer than its chunk";
  const std::string face = "VELDRA:3DS:LOAD: Face list longer than its chunk";
  const std::string key = "VELDRA:3DS:LOAD: Key list longer than its chunk";
  const Case cases[] = {
      {"vertices one short", scene_file({mesh_object("m", {vertices_claiming(3, 2)})}), vertex.c_str()},
      {"vertices exact", scene_file({mesh_object("m", {vertices_claiming(3, 3)})}), ""},
      {"faces one short", mesh_with(faces_claiming(2, 1)), face.c_str()},
      {"faces exact", mesh_with(faces_claiming(2, 2)), ""},
      {"mapping one short", mesh_with(mapping_claiming(3, 2)), "VELDRA:3DS:LOAD: Mapping list longer than its chunk"},
      {"mapping exact", mesh_with(mapping_claiming(3, 3)), ""},
      {"rotation keys short", after_mesh(track_claiming(0xB022, 2, 1, 22)), key.c_str()},
      {"rotation keys exact", after_mesh(track_claiming(0xB022, 2, 2, 22)), ""},
      {"hide keys short", after_mesh(track_claiming(0xB029, 3, 2, 6)), key.c_str()},
      {"field of view keys short", after_mesh(track_claiming(0xB023, 2, 1, 10)), key.c_str()},
      {"field of view keys exact", after_mesh(track_claiming(0xB023, 2, 2, 10)), ""},
      {"position keys short", in_light_node(track_claiming(0xB020, 2, 1, 18)), key.c_str()},
      {"position keys exact", in_light_node(track_claiming(0xB020, 2, 2, 18)), ""},
      {"65535 keys in none", after_mesh(track_claiming(0xB022, 0xFFFF, 0, 22)), key.c_str()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Scene scene("s", 8, 2, 2, 2, 4);
    std::string message;
    testing::internal::CaptureStdout();  // hide tracks print their frames
    try {
      load_3ds(scene, "t.3ds", [&](std::string_view) { return c.file; }, "[Element1]");
    } catch (const std::runtime_error& e) {
      message = e.what();
    }
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(message, c.message);
  }
}

// 99 meshes, each claiming 65,535 vertices and faces with no data behind the counts: once took
// over half a gigabyte before loading "successfully".
TEST(OversizeCounts, EmptyMeshesClaimingFullListsAreRefused) {
  Bytes objects;
  for (int i = 0; i < 99; ++i) {
    const Bytes mesh = mesh_object("m" + std::to_string(i), {chunk(0x4110, u16(0xFFFF)), chunk(0x4120, u16(0xFFFF))});
    objects.insert(objects.end(), mesh.begin(), mesh.end());
  }
  const Bytes file = chunk(0x4D4D, {chunk(0x3D3D, objects)});
  Scene scene("s", 128, 0, 0, 1, 0);
  try {
    load_3ds(scene, "t.3ds", [&](std::string_view) { return file; }, "[Element1]");
    ADD_FAILURE() << "loaded";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "VELDRA:3DS:LOAD: Vertex list longer than its chunk");
  }
  // Refused at the first mesh: nothing was kept for the others.
  EXPECT_EQ(scene.find_object("m1", 0), -1);
}

}  // namespace
}  // namespace morvane
