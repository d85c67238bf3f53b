// Rendering a scene into a frame: the messages, what is culled, the walk over slot kinds, and
// the triangle filler's screen edges and hostile coordinates.
#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/object_preparation.h"
#include "engine/rasterizer.h"
#include "engine/render.h"
#include "engine/scene.h"

namespace morvane {
namespace {

constexpr Rgb565 kWhite = 0xFFFF, kGrey = 0x8410;

class Render : public ::testing::Test {
 protected:
  Render() {
    scene.make_camera("cam");
    scene.camera(0)->field_of_view = 90.0f;  // scales 160 and 133.33
    scene.camera(0)->target = {0, 0, 1};
    scene.set_target_frame(frame);
  }
  // A 10 x 10 square at depth z around (cx, cy), its faces in the given grey levels, prepared.
  int add_square(const std::string& name, float cx, float cy, float z, std::vector<Face> faces, int parent = 0, bool prepare = true) {
    const int s = scene.make_object(name, kSlotMesh, -1);
    scene.slot(s)->parent = parent;
    Mesh& mesh = *scene.mesh(scene.slot(s)->index);
    mesh.vertices = {{cx - 5, cy - 5, z}, {cx + 5, cy - 5, z}, {cx + 5, cy + 5, z}, {cx - 5, cy + 5, z}};
    mesh.transformed.assign(4, TransformedVertex{});
    mesh.faces = std::move(faces);
    if (prepare) init_object(scene, s);
    scene.link_hierarchy();
    return s;
  }
  static Face face(int a, int b, int c, float level = 255) {
    Face f;
    f.a = a, f.b = b, f.c = c;
    f.red = f.green = f.blue = level;
    return f;
  }
  Rgb565 at(int x, int y) const { return frame[static_cast<std::size_t>(y * kFrameWidth + x)]; }
  std::string render_message() {
    try {
      render_scene(scene);
    } catch (const std::runtime_error& e) {
      return e.what();
    }
    return "";
  }

  Scene scene{"s", 8, 2, 2, 2, 4};
  std::vector<Rgb565> frame = std::vector<Rgb565>(kFramePixels, 0);
};

TEST_F(Render, Messages) {
  for (int camera : {-1, 2, 1}) {
    scene.set_active_camera(camera);
    EXPECT_EQ(render_message(), "VELDRA:RENDER:SCENE: No active camera") << camera;
  }
  scene.set_active_camera(0);
  scene.set_target_frame(std::span<Rgb565>(frame).first(kFramePixels - 1));
  EXPECT_EQ(render_message(), "VELDRA:RENDER:SCENE: No target frame");
  scene.set_target_frame(frame);
  const int s = add_square("gone", 0, 0, 10, {face(0, 1, 2)});
  scene.delete_object(s);
  EXPECT_EQ(render_message(), "VELDRA:RENDER:SCENE: Object not found") << "a child list naming a deleted slot";
  scene.link_hierarchy();
  EXPECT_EQ(render_message(), "");
}

TEST_F(Render, FaceReachingPastTheNearPlaneIsDropped) {
  const int near = add_square("near", 0, 0, 10, {face(0, 1, 2), face(0, 3, 4, 128)}, 0, false);
  Mesh& m = *scene.mesh(scene.slot(near)->index);
  m.vertices = {{0, 0, 10}, {5, 0, 10}, {0, 5, 0.5f}, {-5, 0, 10}, {0, -5, 10}};
  m.transformed.assign(5, TransformedVertex{});
  init_object(scene, near);
  render_scene(scene);
  EXPECT_EQ(at(180, 95), 0);
  EXPECT_EQ(at(150, 105), kGrey);
}

TEST_F(Render, BehindTheCameraAndWithoutABox) {
  // Behind the camera the box test fails and the mesh is not projected at all. Without a box a
  // mesh is drawn untested; faces naming vertices it lacks are skipped.
  const int back = add_square("back", 0, 0, -10, {face(0, 1, 2)});
  scene.mesh(scene.slot(back)->index)->transformed[0].screen_x = 12345.0f;
  add_square("raw", 0, 0, 10, {face(0, 1, 9, 128), face(0, 2, 3), face(-1, 0, 1, 128)}, 0, false);
  render_scene(scene);
  EXPECT_EQ(scene.mesh(scene.slot(back)->index)->transformed[0].screen_x, 12345.0f);
  EXPECT_EQ(at(100, 50), kWhite);
  EXPECT_EQ(at(200, 90), 0);
}

TEST_F(Render, WalkAcrossSlotKinds) {
  const int lamp = scene.make_object("lamp", kSlotLight, -1);
  const int group = scene.make_object("group", kSlotGroup, -1);
  const int inert = scene.make_object("inert", kSlotInert, -1);
  add_square("under group", -20, 0, 40, {face(0, 1, 2)}, group);
  add_square("under lamp", 20, 0, 40, {face(0, 1, 2)}, lamp);
  add_square("under inert", 0, 0, 40, {face(0, 1, 2)}, inert);
  render_scene(scene);
  EXPECT_EQ(at(160 - 80 + 2, 105), kWhite);  // under the group: placed by the camera
  EXPECT_EQ(at(160 + 80 + 2, 105), kWhite);  // under the light
  EXPECT_EQ(at(162, 105), 0);                // an inert slot stops the walk
}

TEST(Rasterizer, FaceColoursEdgesAndHostileCoordinates) {
  Face odd;
  odd.red = 7.99f, odd.green = 7.99f, odd.blue = 16.5f;  // truncated per channel: 0, 1, 2
  EXPECT_EQ(face_colour(odd), 0x0022);
  Face wild;  // values no loader makes must still convert without harm
  wild.red = std::numeric_limits<float>::quiet_NaN(), wild.green = 1e30f, wild.blue = -1e30f;
  (void)face_colour(wild);

  Face white;
  white.red = white.green = white.blue = 255.0f;
  std::vector<Rgb565> pixels(kFramePixels, 0);
  auto fill = [&](float xa, float ya, float xb, float yb, float xc, float yc) {
    TransformedVertex a, b, c;
    a.screen_x = xa, a.screen_y = ya, b.screen_x = xb, b.screen_y = yb, c.screen_x = xc, c.screen_y = yc;
    fill_triangle(std::span<Rgb565, kFramePixels>(pixels.data(), kFramePixels), white, a, b, c);
  };
  const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
  const float hostile[][6] = {{0, 0, 100, 100, nan, 50},      {nan, nan, nan, nan, nan, nan}, {0, -inf, 100, 100, 50, inf},
                              {0, -1e30f, 100, 1e30f, 50, 3}, {-inf, 5, inf, 5, 0, 150},      {1e30f, 10, -1e30f, 20, 0, 190},
                              {5, -3e7f, 300, 100, 5, 199},   {-1e6f, -1e6f, 1e6f, -1e6f, 0.0f, 1e6f}};
  for (const auto& t : hostile) fill(t[0], t[1], t[2], t[3], t[4], t[5]);
  // Row 0 and column 319 are never filled, even by a triangle over the whole screen.
  for (int y = 0; y < kFrameHeight; ++y)
    for (int x = 0; x < kFrameWidth; ++x)
      ASSERT_EQ(pixels[static_cast<std::size_t>(y * kFrameWidth + x)], y == 0 || x == 319 ? 0 : kWhite) << x << ", " << y;
}

}  // namespace
}  // namespace morvane
