#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "engine/camera_view.h"
#include "engine/object_preparation.h"
#include "engine/scene.h"

namespace morvane {
namespace {

void expect_near_matrix(const Matrix34& actual, const Matrix34& expected, float tolerance = 1e-6f) {
  for (int i = 0; i < 12; ++i) EXPECT_NEAR(actual.m[i], expected.m[i], tolerance) << "element " << i;
}

TEST(Lens, TableRowsAndFallback) {
  EXPECT_EQ(lens_to_field_of_view(50.0f), 46.0f);
  EXPECT_EQ(lens_to_field_of_view(20.0f), 94.285713f);
  EXPECT_EQ(lens_to_field_of_view(200.0f), 12.0f);
  EXPECT_EQ(lens_to_field_of_view(49.9f), 15.0f / 49.9f * 160.0f);
  EXPECT_FLOAT_EQ(lens_to_field_of_view(45.0f), 53.333332f);
}

TEST(UpdateCamera, LookingDownZIsIdentity) {
  Camera cam;
  cam.field_of_view = 90.0f;
  cam.target = {0, 0, 1};
  update_camera(cam);
  expect_near_matrix(cam.view, kIdentity34);
  EXPECT_NEAR(cam.projection_scale_x, 160.0f, 1e-3f);
  EXPECT_NEAR(cam.projection_scale_y, 133.333f, 1e-2f);
}

TEST(UpdateCamera, LookingAlongXAndTranslation) {
  Camera cam;
  cam.field_of_view = 53.333f;
  cam.position = {2, 3, 4};
  cam.target = {3, 3, 4};
  update_camera(cam);
  EXPECT_NEAR(cam.view.at(2, 0), 1.0f, 1e-6f);
  EXPECT_NEAR(cam.view.at(2, 1), 0.0f, 1e-6f);
  EXPECT_NEAR(cam.view.at(2, 2), 0.0f, 1e-6f);
  EXPECT_NEAR(cam.view.at(0, 0), 0.0f, 1e-6f);
  EXPECT_NEAR(cam.view.at(0, 2), -1.0f, 1e-6f);
  // The eye maps to the origin, the target one unit ahead.
  const Vec3 eye = transform_point(cam.position, cam.view);
  const Vec3 ahead = transform_point(cam.target, cam.view);
  EXPECT_NEAR(eye.x, 0.0f, 1e-5f);
  EXPECT_NEAR(eye.z, 0.0f, 1e-5f);
  EXPECT_NEAR(ahead.z, 1.0f, 1e-5f);
}

TEST(UpdateCamera, RollTurnsUpIntoSide) {
  Camera cam;
  cam.field_of_view = 90.0f;
  cam.target = {0, 0, 1};
  cam.roll = 90.0f;
  update_camera(cam);
  // R = -90 degrees: row 0 = (cR, sR, 0) = (0, -1, 0).
  EXPECT_NEAR(cam.view.at(0, 1), -1.0f, 1e-6f);
  EXPECT_NEAR(cam.view.at(1, 0), 1.0f, 1e-6f);
}

TEST(UpdateCamera, DegenerateDirectionsStayFinite) {
  Camera same;
  same.field_of_view = 60.0f;
  same.position = same.target = {5, 5, 5};
  update_camera(same);
  for (float v : same.view.m) EXPECT_TRUE(std::isfinite(v));

  Camera up;  // straight up: the ratio d.y / D must not leave asin's domain
  up.field_of_view = 60.0f;
  up.position = {0.1f, 0.3f, 0.7f};
  up.target = {0.1f, 1e7f, 0.7f};
  update_camera(up);
  for (float v : up.view.m) EXPECT_TRUE(std::isfinite(v));
  EXPECT_NEAR(up.view.at(2, 1), 1.0f, 1e-6f);
}

class InitObject : public ::testing::Test {
 protected:
  Scene scene{"s", 4, 0, 1, 1, 0};
  int add_mesh(const char* name, std::vector<Vec3> vertices) {
    const int s = scene.make_object(name, kSlotMesh, -1);
    scene.mesh(scene.slot(s)->index)->vertices = std::move(vertices);
    return s;
  }
};

TEST_F(InitObject, MeshBoxes) {
  const int one = add_mesh("one", {{1, 2, 3}});
  init_object(scene, one);
  for (const Vec3& c : scene.slot(one)->bounds->corners) {
    EXPECT_EQ(c.x, 1.0f);
    EXPECT_EQ(c.y, 2.0f);
    EXPECT_EQ(c.z, 3.0f);
  }
  const int two = add_mesh("two", {{-1, 0, 0}, {1, 2, 3}});
  init_object(scene, two);
  const auto& c = scene.slot(two)->bounds->corners;
  EXPECT_EQ(c[0].x, -1.0f);
  EXPECT_EQ(c[0].y, 0.0f);
  EXPECT_EQ(c[0].z, 0.0f);
  EXPECT_EQ(c[6].x, 1.0f);
  EXPECT_EQ(c[6].y, 2.0f);
  EXPECT_EQ(c[6].z, 3.0f);
  EXPECT_EQ(c[1].x, 1.0f);  // (max x, min y, min z)
  EXPECT_EQ(c[7].x, -1.0f);  // (min x, max y, max z)
  EXPECT_EQ(c[7].y, 2.0f);

  // Edited vertices count once init_object runs again.
  scene.mesh(scene.slot(one)->index)->vertices.push_back({10, 0, 0});
  init_object(scene, one);
  EXPECT_EQ(scene.slot(one)->bounds->corners[6].x, 10.0f);

  const int empty = add_mesh("empty", {});
  init_object(scene, empty);
  EXPECT_EQ(scene.slot(empty)->bounds->corners[0].x, 9e10f);
  EXPECT_EQ(scene.slot(empty)->bounds->corners[6].x, -9e10f);
}

TEST_F(InitObject, ElementSpansChildrenPreparingThemFirst) {
  const int e = scene.make_object("e", kSlotElement, -1);
  const int a = add_mesh("a", {{-1, -1, -1}, {0, 0, 0}});
  const int b = add_mesh("b", {{2, 3, 4}});
  const int l = scene.make_object("l", kSlotLight, -1);
  for (int s : {a, b, l}) scene.slot(s)->parent = e;
  scene.link_hierarchy();
  init_object(scene, a);
  init_object(scene, e);
  ASSERT_NE(scene.slot(b)->bounds, nullptr);  // prepared on the way
  EXPECT_EQ(scene.slot(l)->bounds, nullptr);  // lights have no box
  const auto& c = scene.slot(e)->bounds->corners;
  EXPECT_EQ(c[0].x, -1.0f);
  EXPECT_EQ(c[6].x, 2.0f);
  EXPECT_EQ(c[6].y, 3.0f);
  EXPECT_EQ(c[6].z, 4.0f);

  // Without children the element loses its box.
  for (int s : {a, b, l}) scene.slot(s)->parent = 0;
  scene.link_hierarchy();
  init_object(scene, e);
  EXPECT_EQ(scene.slot(e)->bounds, nullptr);
}

TEST_F(InitObject, BadIndices) {
  auto message = [&](int index) {
    try {
      init_object(scene, index);
    } catch (const std::runtime_error& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  EXPECT_EQ(message(-1), "VELDRA:INIT:OBJECT: Object does not exist");
  EXPECT_EQ(message(3), "VELDRA:INIT:OBJECT: Object does not exist");
  EXPECT_EQ(message(scene.slot_capacity()), "VELDRA:INIT:OBJECT: Object out of range");
  // Slots beyond the mesh capacity are valid slots all the same.
  for (int i = 0; i < 4; ++i) add_mesh(("m" + std::to_string(i)).c_str(), {{1, 1, 1}});
  const int l = scene.make_object("l", kSlotLight, -1);
  EXPECT_GT(l, scene.object_capacity());
  init_object(scene, l);
  EXPECT_EQ(scene.slot(l)->bounds, nullptr);
  init_object(scene, 4);
  EXPECT_NE(scene.slot(4)->bounds, nullptr);
}

}  // namespace
}  // namespace morvane
