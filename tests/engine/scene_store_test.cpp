// The scene store's bookkeeping and messages, and the preparation steps around it.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <tuple>

#include "engine/camera_view.h"
#include "engine/object_preparation.h"
#include "engine/scene.h"
#include "tests/support/thrown_message.h"

namespace morvane {
namespace {

using test::message_of;

TEST(SceneStore, CapacitiesAndRefusals) {
  Scene scene("Zava3z", 100, 2, 2, 2, 5);
  EXPECT_EQ(scene.slot_capacity(), 106);
  EXPECT_EQ(scene.slot(0)->type, kSlotRoot);
  EXPECT_EQ(scene.find_object("Zava3z", 1), 0);
  EXPECT_EQ(Scene("s", 0, 1, 0, 0, 0).slot_capacity(), 257) << "no object capacity means 256";
  EXPECT_EQ(Scene("s", -3, 1, 0, 0, 0).object_capacity(), 256);

  Scene one("s", 1, 0, 0, 0, 0);  // one slot, taken by the root
  EXPECT_EQ(message_of([&] { one.make_object("s", kSlotMesh, -1); }), "VELDRA:MAKE:OBJECT: Object does allready exist");
  EXPECT_EQ(message_of([&] { one.make_object("cam", kSlotCamera, -1); }), "VELDRA:MAKE:OBJECT: Create cameras with [make_camera]");
  EXPECT_EQ(message_of([&] { one.make_object("m", kSlotMesh, -1); }), "VELDRA:GET:RENDER: No more renderslots");
  Scene tight("t", 1, 3, 0, 1, 0);  // cameras only widen the slot table here
  tight.make_object("m1", kSlotMesh, -1);
  EXPECT_EQ(message_of([&] { tight.make_object("m2", kSlotMesh, -1); }), "VELDRA:GET:OBJECT: No more objects");
  EXPECT_EQ(message_of([&] { tight.make_object("l", kSlotLight, -1); }), "VELDRA:GET:LIGHT: No more lights");
  EXPECT_EQ(tight.make_object("e", kSlotElement, -1), 2) << "the failed makes took no slot";
  EXPECT_EQ(message_of([&] { Scene("u", 2, 0, 0, 0, 0).make_object("e", kSlotElement, -1); }), "VELDRA:GET:ELEMENT: No more elements");

  Scene cams("s", 1, 2, 0, 0, 0);
  EXPECT_EQ(cams.make_camera("a"), 0);
  EXPECT_EQ(cams.make_camera("b"), 1);
  EXPECT_EQ(cams.active_camera(), 1);
  EXPECT_EQ(message_of([&] { cams.make_camera("a"); }), "VELDRA:MAKE:CAMERA: Camera does allready exist");
  EXPECT_EQ(message_of([&] { cams.make_camera("c"); }), "VELDRA:GET:CAMERA: No more cameras");
  EXPECT_FLOAT_EQ(cams.camera(0)->field_of_view, 2400.0f / 45.0f);
  cams.delete_camera(1);
  EXPECT_EQ(cams.active_camera(), 1) << "deleting does not move the active index";
}

TEST(SceneStore, DeletesTakeTheLowestFreeIndexAgainAndExplainFailures) {
  Scene scene("s", 5, 5, 0, 0, 5);
  for (int i = 0; i < 5; ++i) {
    scene.make_object("m" + std::to_string(i), kSlotMesh, -1);
    scene.make_camera("c" + std::to_string(i));
    scene.make_material("x" + std::to_string(i), 0);
  }
  scene.delete_object(4);  // the slot of m3, with its mesh
  scene.delete_camera(3);
  scene.delete_material(3);
  EXPECT_EQ(scene.make_camera("new"), 3);
  EXPECT_EQ(scene.make_material("new", 0), 3);
  EXPECT_EQ(scene.make_object("new", kSlotMesh, -1), 4);
  EXPECT_EQ(scene.slot(4)->index, 3);

  Scene small("s", 2, 2, 2, 2, 2);
  const std::pair<void (Scene::*)(int), const char*> kinds[] = {{&Scene::delete_mesh, "OBJECT: Object"}, {&Scene::delete_camera, "CAMERA: Camera"},
                                                                {&Scene::delete_light, "LIGHT: Light"}, {&Scene::delete_element, "ELEMENT: Element"},
                                                                {&Scene::delete_material, "MATERIAL: Material"}};
  for (const auto& [op, what] : kinds) {
    const std::string prefix = std::string("VELDRA:DELETE:") + what;
    EXPECT_EQ(message_of([&, op = op] { (small.*op)(2); }), prefix + " out of range");
    EXPECT_EQ(message_of([&, op = op] { (small.*op)(-1); }), prefix + " does not exist");
    EXPECT_EQ(message_of([&, op = op] { (small.*op)(0); }), prefix + " does not exist");
  }
  EXPECT_EQ(message_of([&] { small.delete_object(small.slot_capacity()); }), "VELDRA:DELETE:OBJECT: Object does not exist");
  EXPECT_EQ(message_of([&] { small.delete_object(3); }), "VELDRA:DELETE:OBJECT: Object is not loaded");
  EXPECT_EQ(message_of([&] { small.delete_object_by_name("nobody"); }), "VELDRA:DELETE:OBJECT: Object does not exist");
}

TEST(SceneStore, MaterialColourWords) {
  Scene scene("s", 1, 0, 0, 0, 9);
  auto colours = [&](const char* name, int mode) {
    const Material& m = *scene.material(scene.make_material(name, mode));
    return std::array<float, 6>{m.base.red, m.base.green, m.base.blue, m.random_amount.red, m.random_amount.green, m.random_amount.blue};
  };
  using A = std::array<float, 6>;
  const std::tuple<const char*, int, A> cases[] = {
      {"F_RANDRED", -1, {0, 0, 0, 1, 1, 0}}, {"FxRANDBLUE", -1, {0, 0, 0, 0, 1, 1}}, {"F1RANDYELLOW", -1, {255, 255, 0, 0, 0, 0}},
      {"F.WHITE", -1, {255, 255, 255, 0, 0, 0}}, {"RED", -1, {128, 128, 128, 0, 0, 0}}, {"F_RED", 5, {128, 128, 128, 0, 0, 0}},
      {"F_red", -1, {0, 0, 0, 0, 0, 0}},  // case-sensitive: no word, black
      {"F", -1, {0, 0, 0, 0, 0, 0}}};     // too short to hold a word
  for (const auto& [name, mode, expected] : cases) EXPECT_EQ(colours(name, mode), expected) << name;
  const int first = scene.find_material("F_RED");
  EXPECT_EQ(colours("F_RED", -1), (A{255, 0, 0, 0, 0, 0}));
  EXPECT_EQ(scene.find_material("F_RED"), first) << "the same name again replaces the record in place";
  EXPECT_EQ(scene.make_material("F_BLUE", -1), 8);
  EXPECT_THROW(scene.make_material("one more", -1), std::runtime_error);
}

TEST(SceneStore, HierarchyLinksAndCascadingDeletes) {
  Scene scene("s", 5, 0, 1, 1, 0);
  const int e = scene.make_object("e", kSlotElement, -1), m = scene.make_object("m", kSlotMesh, -1);
  const int l = scene.make_object("l", kSlotLight, -1), stray = scene.make_object("stray", kSlotMesh, -1);
  scene.slot(m)->parent = e;
  scene.slot(stray)->parent = 99;  // a parent that is not there: in no list
  scene.link_hierarchy();
  EXPECT_EQ(scene.slot(0)->children, (std::vector<int>{e, l}));
  EXPECT_EQ(scene.slot(e)->children, (std::vector<int>{m}));
  EXPECT_EQ(scene.slot(0)->node_id, 2);
  scene.delete_object(e);  // depth first, with the records of each slot
  EXPECT_EQ(scene.slot(m), nullptr);
  EXPECT_EQ(scene.mesh(0), nullptr);
  EXPECT_EQ(scene.element(0), nullptr);
  scene.delete_object_by_name("s");  // the root's list still names e: passed over
  EXPECT_EQ(scene.slot(l), nullptr);
  EXPECT_EQ(scene.light(0), nullptr);
  EXPECT_NE(scene.slot(stray), nullptr);

  // A cascade that fails half way keeps what it deleted.
  Scene half("s", 4, 0, 0, 1, 0);
  const int he = half.make_object("e", kSlotElement, -1), m1 = half.make_object("m1", kSlotMesh, -1), m2 = half.make_object("m2", kSlotMesh, -1);
  half.slot(m1)->parent = half.slot(m2)->parent = he;
  half.link_hierarchy();
  half.delete_mesh(half.slot(m2)->index);  // leaves m2's slot without its mesh
  EXPECT_EQ(message_of([&] { half.delete_object(he); }), "VELDRA:DELETE:OBJECT: Object does not exist");
  EXPECT_EQ(half.slot(m1), nullptr);
  EXPECT_NE(half.slot(m2), nullptr);
  EXPECT_EQ(half.slot(he)->child_count, 1);
  EXPECT_EQ(half.slot(he)->children[0], -1);
}

TEST(Preparation, LensesCamerasAndBoxes) {
  EXPECT_EQ(lens_to_field_of_view(50.0f), 46.0f);
  EXPECT_EQ(lens_to_field_of_view(20.0f), 94.285713f);
  EXPECT_EQ(lens_to_field_of_view(200.0f), 12.0f);
  EXPECT_EQ(lens_to_field_of_view(49.9f), 15.0f / 49.9f * 160.0f) << "no table row";
  // Degenerate directions: the eye on the target, and straight up (d.y / D must stay in asin's domain).
  for (const Vec3 target : {Vec3{5, 5, 5}, Vec3{0.1f, 1e7f, 0.7f}}) {
    Camera cam;
    cam.field_of_view = 60.0f;
    cam.position = target.y > 1e6f ? Vec3{0.1f, 0.3f, 0.7f} : target;
    cam.target = target;
    update_camera(cam);
    for (float v : cam.view.m) EXPECT_TRUE(std::isfinite(v));
  }

  Scene scene("s", 4, 0, 1, 1, 0);
  const int e = scene.make_object("e", kSlotElement, -1), a = scene.make_object("a", kSlotMesh, -1);
  const int empty = scene.make_object("empty", kSlotMesh, -1), l = scene.make_object("l", kSlotLight, -1);
  scene.mesh(scene.slot(a)->index)->vertices = {{-1, 0, 0}, {1, 2, 3}};
  scene.slot(a)->parent = scene.slot(l)->parent = e;
  scene.link_hierarchy();
  init_object(scene, e);  // prepares its children on the way
  const auto& box = scene.slot(a)->bounds->corners;
  EXPECT_EQ(box[1].x, 1.0f);  // (max x, min y, min z)
  EXPECT_EQ(box[7].x, -1.0f);  // (min x, max y, max z)
  EXPECT_EQ(box[7].z, 3.0f);
  EXPECT_EQ(scene.slot(e)->bounds->corners[6].y, 2.0f);
  EXPECT_EQ(scene.slot(l)->bounds, nullptr) << "lights have no box";
  init_object(scene, empty);
  EXPECT_EQ(scene.slot(empty)->bounds->corners[0].x, 9e10f);
  EXPECT_EQ(scene.slot(empty)->bounds->corners[6].x, -9e10f);
  EXPECT_EQ(message_of([&] { init_object(scene, -1); }), "VELDRA:INIT:OBJECT: Object does not exist");
  EXPECT_EQ(message_of([&] { init_object(scene, 5); }), "VELDRA:INIT:OBJECT: Object does not exist");
  EXPECT_EQ(message_of([&] { init_object(scene, scene.slot_capacity()); }), "VELDRA:INIT:OBJECT: Object out of range");
}

}  // namespace
}  // namespace morvane
