#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/object_preparation.h"
#include "engine/render.h"
#include "engine/scene.h"

namespace morvane {
namespace {

class Render : public ::testing::Test {
 protected:
  Render() {
    scene.make_camera("cam");
    Camera& cam = *scene.camera(0);
    cam.field_of_view = 90.0f;  // scales 160 and 133.33
    cam.target = {0, 0, 1};
    scene.set_target_frame(frame);
  }

  // A mesh of the given vertices and faces, prepared, hanging under parent.
  int add_mesh(const std::string& name, std::vector<Vec3> vertices, std::vector<Face> faces, int parent = 0,
               bool prepare = true) {
    const int s = scene.make_object(name, kSlotMesh, -1);
    scene.slot(s)->parent = parent;
    Mesh& mesh = *scene.mesh(scene.slot(s)->index);
    mesh.vertices = std::move(vertices);
    mesh.transformed.assign(mesh.vertices.size(), TransformedVertex{});
    mesh.faces = std::move(faces);
    if (prepare) init_object(scene, s);
    scene.link_hierarchy();
    return s;
  }
  Mesh& mesh_of(int slot) { return *scene.mesh(scene.slot(slot)->index); }

  static Face coloured(int a, int b, int c, float level) {
    Face f;
    f.a = a, f.b = b, f.c = c;
    f.red = f.green = f.blue = level;
    return f;
  }
  // A 10 x 10 square at depth z around (cx, cy).
  static std::vector<Vec3> square(float cx, float cy, float z) {
    return {{cx - 5, cy - 5, z}, {cx + 5, cy - 5, z}, {cx + 5, cy + 5, z}, {cx - 5, cy + 5, z}};
  }
  Rgb565 at(int x, int y) const { return frame[static_cast<std::size_t>(y * kFrameWidth + x)]; }
  int filled() const {
    int n = 0;
    for (Rgb565 p : frame) n += p != 0;
    return n;
  }
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

TEST_F(Render, NeedsAnActiveCameraAndAFrame) {
  scene.set_active_camera(-1);
  EXPECT_EQ(render_message(), "VELDRA:RENDER:SCENE: No active camera");
  scene.set_active_camera(2);
  EXPECT_EQ(render_message(), "VELDRA:RENDER:SCENE: No active camera");
  scene.set_active_camera(1);
  EXPECT_EQ(render_message(), "VELDRA:RENDER:SCENE: No active camera");
  scene.set_active_camera(0);
  scene.set_target_frame(std::span<Rgb565>(frame).first(kFramePixels - 1));
  EXPECT_EQ(render_message(), "VELDRA:RENDER:SCENE: No target frame");
  scene.set_target_frame(frame);
  EXPECT_EQ(render_message(), "");
  scene.delete_camera(0);
  EXPECT_EQ(render_message(), "VELDRA:RENDER:SCENE: No active camera");
}

TEST_F(Render, ProjectsAndFillsInFaceOrder) {
  const int s = add_mesh("sq", square(0, 0, 10), {coloured(0, 1, 2, 255), coloured(0, 2, 3, 255), coloured(0, 1, 2, 128)});
  render_scene(scene);
  const TransformedVertex& v = mesh_of(s).transformed[2];  // (5, 5, 10)
  EXPECT_FLOAT_EQ(v.w, 0.1f);
  EXPECT_NEAR(v.screen_x, 240.0f, 1e-3f);
  EXPECT_NEAR(v.screen_y, 100.0f - 66.6667f, 1e-3f);
  EXPECT_EQ(at(150, 100), 0xFFFF);  // first two faces only
  EXPECT_EQ(at(200, 120), 0x8410);  // the third face overwrote the first
  EXPECT_EQ(at(79, 100), 0);
  EXPECT_EQ(at(241, 100), 0);
  EXPECT_EQ(at(160, 30), 0);
  EXPECT_EQ(at(160, 170), 0);
}

TEST_F(Render, MeshBehindTheCameraIsNotProjected) {
  const int s = add_mesh("back", square(0, 0, -10), {coloured(0, 1, 2, 255)});
  mesh_of(s).transformed[0].screen_x = 12345.0f;
  render_scene(scene);
  EXPECT_EQ(mesh_of(s).transformed[0].screen_x, 12345.0f);
  EXPECT_FLOAT_EQ(scene.slot(s)->bounds->transformed[0].z, -10.0f);  // the box was tested
  EXPECT_EQ(filled(), 0);
}

TEST_F(Render, MeshRightOfTheScreenIsProjectedAndClipped) {
  const int s = add_mesh("right", square(1000, 0, 10), {coloured(0, 1, 2, 255), coloured(0, 2, 3, 255)});
  Bounds box = *scene.slot(s)->bounds;
  EXPECT_TRUE(mesh_in_view(box, scene.camera(0)->view, *scene.camera(0)));
  render_scene(scene);
  EXPECT_GT(mesh_of(s).transformed[0].screen_x, 320.0f);
  EXPECT_EQ(filled(), 0);

  // Off to the side and above: no corner within the columns or the rows.
  Bounds corner = box;
  for (Vec3& c : corner.corners) c.y += 1000.0f;
  EXPECT_FALSE(mesh_in_view(corner, scene.camera(0)->view, *scene.camera(0)));
}

TEST_F(Render, FaceReachingPastTheNearPlaneIsDropped) {
  add_mesh("near", {{0, 0, 10}, {5, 0, 10}, {0, 5, 0.5f}, {-5, 0, 10}, {0, -5, 10}},
           {coloured(0, 1, 2, 255), coloured(0, 3, 4, 128)});
  render_scene(scene);
  EXPECT_EQ(at(180, 95), 0);
  EXPECT_EQ(at(150, 105), 0x8410);
}

TEST_F(Render, MeshUnderTheRootAndUnderAnElementArePlacedAlike) {
  const int e = scene.make_object("el", kSlotElement, -1);
  const int s = add_mesh("sq", square(1, 2, 12), {coloured(0, 1, 2, 255), coloured(0, 2, 3, 200)});
  Camera& cam = *scene.camera(0);
  cam.position = {1, 2, -3};
  cam.target = {0.5f, 1, 9};
  cam.roll = 20.0f;
  render_scene(scene);
  const std::vector<Rgb565> under_root = frame;
  const Matrix34 combined = mesh_of(s).combined;
  ASSERT_GT(filled(), 100);

  scene.slot(s)->parent = e;
  scene.link_hierarchy();
  frame.assign(kFramePixels, 0);
  render_scene(scene);
  EXPECT_EQ(frame, under_root);
  EXPECT_EQ(mesh_of(s).combined.m, combined.m);
  EXPECT_EQ(scene.element(scene.slot(e)->index)->matrix.m, cam.view.m);
}

TEST_F(Render, MeshUnderMeshFollowsItsParent) {
  const int parent = add_mesh("p", square(0, 0, 10), {});
  mesh_of(parent).local.at(0, 3) = 1.0f;
  const int child = add_mesh("c", square(0, 0, 10), {coloured(0, 1, 2, 255)}, parent);
  mesh_of(child).local.at(0, 0) = 2.0f;
  render_scene(scene);
  const Vec3 p = transform_point({0, 0, 0}, mesh_of(child).combined);
  // combine(local, parent combined): the parent's shift first, then the child's scaling.
  EXPECT_FLOAT_EQ(p.x, 2.0f);
}

TEST_F(Render, UnpreparedMeshesAndBadFacesAreSafe) {
  // No box: drawn without the test. Face 0 names a vertex the mesh lacks and is skipped.
  add_mesh("raw", square(0, 0, 10), {coloured(0, 1, 9, 128), coloured(0, 2, 3, 255), coloured(-1, 0, 1, 128)}, 0,
           false);
  render_scene(scene);
  EXPECT_EQ(at(100, 50), 0xFFFF);
  EXPECT_EQ(at(200, 90), 0);
}

TEST_F(Render, TraversalAcrossSlotKinds) {
  const int lamp = scene.make_object("lamp", kSlotLight, -1);
  const int group = scene.make_object("group", kSlotGroup, -1);
  const int inert = scene.make_object("inert", kSlotInert, -1);
  add_mesh("under group", square(-20, 0, 40), {coloured(0, 1, 2, 255)}, group);
  add_mesh("under lamp", square(20, 0, 40), {coloured(0, 1, 2, 255)}, lamp);
  add_mesh("under inert", square(0, 0, 40), {coloured(0, 1, 2, 255)}, inert);
  render_scene(scene);
  EXPECT_EQ(at(160 - 80 + 2, 105), 0xFFFF);  // under the type 8 node: placed by the camera
  EXPECT_EQ(at(160 + 80 + 2, 105), 0xFFFF);  // under the light
  EXPECT_EQ(at(162, 105), 0);                // type 0 stops the walk
}

TEST_F(Render, ChildListNamingADeletedSlot) {
  const int s = add_mesh("gone", square(0, 0, 10), {coloured(0, 1, 2, 255)});
  scene.delete_object(s);
  EXPECT_EQ(render_message(), "VELDRA:RENDER:SCENE: Object not found");
  scene.link_hierarchy();
  EXPECT_EQ(render_message(), "");
}

}  // namespace
}  // namespace morvane
