#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "engine/scene.h"

namespace morvane {
namespace {

// Runs f and returns the message it throws ("" when it does not throw).
template <class F>
std::string message_of(F&& f) {
  try {
    f();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "";
}

TEST(SceneStore, ConstructionSetsCapacitiesAndRoot) {
  Scene scene("Zava3z", 100, 2, 2, 2, 5);
  EXPECT_EQ(scene.object_capacity(), 100);
  EXPECT_EQ(scene.slot_capacity(), 106);
  EXPECT_EQ(scene.active_camera(), -1);
  const RenderSlot* root = scene.slot(0);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->name, "Zava3z");
  EXPECT_EQ(root->type, kSlotRoot);
  EXPECT_EQ(root->parent, -1);
  EXPECT_EQ(root->has_parent, 0);
  EXPECT_EQ(scene.find_object("Zava3z", 1), 0);

  for (int requested : {0, -3}) {
    Scene defaulted("s", requested, 1, 0, 0, 0);
    EXPECT_EQ(defaulted.object_capacity(), 256);
    EXPECT_EQ(defaulted.slot_capacity(), 257);
  }
}

TEST(SceneStore, MakeObjectLinksToRootAndCreatesTypedRecords) {
  Scene scene("s", 4, 1, 1, 1, 1);
  const int e = scene.make_object("el", kSlotElement, -1);
  const int m = scene.make_object("mesh", kSlotMesh, 7);
  const int l = scene.make_object("lamp", kSlotLight, -1);
  const int g = scene.make_object("group", kSlotGroup, -1);
  EXPECT_EQ(e, 1);
  EXPECT_EQ(m, 2);
  for (int s : {e, m, l, g}) {
    EXPECT_EQ(scene.slot(s)->parent, 0);
    EXPECT_EQ(scene.slot(s)->has_parent, 1);
    EXPECT_EQ(scene.slot(s)->bounds, nullptr);
  }
  EXPECT_EQ(scene.slot(m)->node_id, 7);
  const Mesh* mesh = scene.mesh(scene.slot(m)->index);
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->render_slot, m);
  EXPECT_EQ(mesh->vertex_count(), 0);
  EXPECT_EQ(mesh->local.m, kIdentity34.m);
  EXPECT_EQ(scene.light(scene.slot(l)->index)->render_slot, l);
  EXPECT_EQ(scene.element(scene.slot(e)->index)->render_slot, e);
  // Typed lookups give the typed index, untyped ones the slot.
  EXPECT_EQ(scene.find_object("mesh", kSlotMesh), 0);
  EXPECT_EQ(scene.find_object("mesh", 0), m);
  EXPECT_EQ(scene.find_object("mesh", kSlotLight), -1);
  EXPECT_EQ(scene.find_object("Mesh", 0), -1);
}

TEST(SceneStore, MakeObjectRefusals) {
  Scene scene("s", 1, 0, 0, 0, 0);  // one slot, taken by the root
  EXPECT_EQ(message_of([&] { scene.make_object("s", kSlotMesh, -1); }),
            "VELDRA:MAKE:OBJECT: Object does allready exist");
  EXPECT_EQ(message_of([&] { scene.make_object("cam", kSlotCamera, -1); }),
            "VELDRA:MAKE:OBJECT: Create cameras with [make_camera]");
  EXPECT_EQ(message_of([&] { scene.make_object("m", kSlotMesh, -1); }), "VELDRA:GET:RENDER: No more renderslots");

  Scene tight("t", 1, 3, 0, 1, 0);  // cameras only widen the slot table here
  tight.make_object("m1", kSlotMesh, -1);
  EXPECT_EQ(message_of([&] { tight.make_object("m2", kSlotMesh, -1); }), "VELDRA:GET:OBJECT: No more objects");
  EXPECT_EQ(message_of([&] { tight.make_object("l", kSlotLight, -1); }), "VELDRA:GET:LIGHT: No more lights");
  // The failed makes took no slot: the element still finds the one free slot.
  EXPECT_EQ(tight.make_object("e", kSlotElement, -1), 2);
  Scene no_elements("u", 2, 0, 0, 0, 0);
  EXPECT_EQ(message_of([&] { no_elements.make_object("e", kSlotElement, -1); }),
            "VELDRA:GET:ELEMENT: No more elements");
}

TEST(SceneStore, CamerasCheckNameBeforeSpaceAndBecomeActive) {
  Scene scene("s", 1, 2, 0, 0, 0);
  EXPECT_EQ(scene.make_camera("a"), 0);
  EXPECT_EQ(scene.active_camera(), 0);
  EXPECT_EQ(scene.make_camera("b"), 1);
  EXPECT_EQ(scene.active_camera(), 1);
  EXPECT_EQ(message_of([&] { scene.make_camera("a"); }), "VELDRA:MAKE:CAMERA: Camera does allready exist");
  EXPECT_EQ(message_of([&] { scene.make_camera("c"); }), "VELDRA:GET:CAMERA: No more cameras");
  const Camera* cam = scene.camera(0);
  EXPECT_FLOAT_EQ(cam->field_of_view, 2400.0f / 45.0f);
  EXPECT_EQ(cam->aspect, 0.75f);
  EXPECT_EQ(scene.find_camera("b"), 1);
  EXPECT_EQ(scene.find_camera("B"), -1);

  scene.delete_camera(1);
  EXPECT_EQ(scene.active_camera(), 1);  // deleting does not move the active index
  EXPECT_EQ(scene.make_camera("c"), 1);
}

TEST(SceneStore, LowestFreeIndexAfterDelete) {
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
}

TEST(SceneStore, DeleteMessages) {
  Scene scene("s", 2, 2, 2, 2, 2);
  struct Case {
    void (Scene::*op)(int);
    const char* out_of_range;
    const char* missing;
    int capacity;
  };
  const Case cases[] = {
      {&Scene::delete_mesh, "VELDRA:DELETE:OBJECT: Object out of range", "VELDRA:DELETE:OBJECT: Object does not exist", 2},
      {&Scene::delete_camera, "VELDRA:DELETE:CAMERA: Camera out of range", "VELDRA:DELETE:CAMERA: Camera does not exist", 2},
      {&Scene::delete_light, "VELDRA:DELETE:LIGHT: Light out of range", "VELDRA:DELETE:LIGHT: Light does not exist", 2},
      {&Scene::delete_element, "VELDRA:DELETE:ELEMENT: Element out of range", "VELDRA:DELETE:ELEMENT: Element does not exist", 2},
      {&Scene::delete_material, "VELDRA:DELETE:MATERIAL: Material out of range",
       "VELDRA:DELETE:MATERIAL: Material does not exist", 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(message_of([&] { (scene.*c.op)(c.capacity); }), c.out_of_range);
    EXPECT_EQ(message_of([&] { (scene.*c.op)(-1); }), c.missing);
    EXPECT_EQ(message_of([&] { (scene.*c.op)(0); }), c.missing);
  }
  EXPECT_EQ(message_of([&] { scene.delete_object(-1); }), "VELDRA:DELETE:OBJECT: Object does not exist");
  EXPECT_EQ(message_of([&] { scene.delete_object(scene.slot_capacity()); }), "VELDRA:DELETE:OBJECT: Object does not exist");
  EXPECT_EQ(message_of([&] { scene.delete_object(3); }), "VELDRA:DELETE:OBJECT: Object is not loaded");
  EXPECT_EQ(message_of([&] { scene.delete_object_by_name("nobody"); }), "VELDRA:DELETE:OBJECT: Object does not exist");
}

TEST(SceneStore, MaterialColourWords) {
  Scene scene("s", 1, 0, 0, 0, 9);
  auto colours = [&](const char* name, int mode) {
    const Material& m = *scene.material(scene.make_material(name, mode));
    return std::array<float, 6>{m.base.red, m.base.green, m.base.blue,
                                m.random_amount.red, m.random_amount.green, m.random_amount.blue};
  };
  using A = std::array<float, 6>;
  EXPECT_EQ(colours("F_RANDRED", -1), (A{0, 0, 0, 1, 1, 0}));
  EXPECT_EQ(colours("FxRANDBLUE", -1), (A{0, 0, 0, 0, 1, 1}));
  EXPECT_EQ(colours("F1RANDYELLOW", -1), (A{255, 255, 0, 0, 0, 0}));
  EXPECT_EQ(colours("F.WHITE", -1), (A{255, 255, 255, 0, 0, 0}));
  EXPECT_EQ(colours("RED", -1), (A{128, 128, 128, 0, 0, 0}));
  EXPECT_EQ(colours("F_RED", 5), (A{128, 128, 128, 0, 0, 0}));
  EXPECT_EQ(colours("F_red", -1), (A{0, 0, 0, 0, 0, 0}));  // case-sensitive: no word, black
  EXPECT_EQ(colours("F", -1), (A{0, 0, 0, 0, 0, 0}));      // too short to hold a word
  // The same name again replaces the record in place.
  const int first = scene.find_material("F_RED");
  EXPECT_EQ(colours("F_RED", -1), (A{255, 0, 0, 0, 0, 0}));
  EXPECT_EQ(scene.find_material("F_RED"), first);
  EXPECT_EQ(scene.make_material("F_BLUE", -1), 8);
  EXPECT_THROW(scene.make_material("one more", -1), std::runtime_error);
}

TEST(SceneStore, LinkHierarchyBuildsChildListsInSlotOrder) {
  Scene scene("s", 4, 0, 1, 1, 0);
  scene.make_object("a", kSlotMesh, -1);
  scene.make_object("b", kSlotMesh, -1);
  scene.link_hierarchy();
  EXPECT_EQ(scene.slot(0)->child_count, 2);
  EXPECT_EQ(scene.slot(0)->children, (std::vector<int>{1, 2}));
  EXPECT_EQ(scene.slot(0)->node_id, 2);
  EXPECT_EQ(scene.slot(1)->node_id, 0);
  EXPECT_TRUE(scene.slot(1)->children.empty());

  // Re-parent b under a: lists are rebuilt from the links only.
  const int e = scene.make_object("e", kSlotElement, -1);
  scene.slot(2)->parent = 1;
  scene.slot(e)->parent = 1;
  scene.link_hierarchy();
  EXPECT_EQ(scene.slot(0)->children, (std::vector<int>{1}));
  EXPECT_EQ(scene.slot(1)->children, (std::vector<int>{2, e}));

  scene.reset_node_ids();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(scene.slot(i)->node_id, -1);
}

TEST(SceneStore, LinkHierarchySkipsParentsThatAreGone) {
  Scene scene("s", 4, 0, 0, 0, 0);
  scene.make_object("a", kSlotMesh, -1);
  scene.make_object("b", kSlotMesh, -1);
  scene.slot(2)->parent = 1;
  scene.slot(1)->parent = 99;
  scene.link_hierarchy();
  EXPECT_EQ(scene.slot(0)->child_count, 0);
  EXPECT_EQ(scene.slot(1)->children, (std::vector<int>{2}));
}

TEST(SceneStore, DeleteObjectCascadesDepthFirst) {
  Scene scene("s", 4, 1, 1, 1, 1);
  const int e = scene.make_object("e", kSlotElement, -1);
  const int m = scene.make_object("m", kSlotMesh, -1);
  const int l = scene.make_object("l", kSlotLight, -1);
  scene.slot(m)->parent = e;
  scene.link_hierarchy();
  scene.delete_object(e);
  EXPECT_EQ(scene.slot(e), nullptr);
  EXPECT_EQ(scene.slot(m), nullptr);
  EXPECT_EQ(scene.mesh(0), nullptr);
  EXPECT_EQ(scene.element(0), nullptr);
  EXPECT_NE(scene.slot(l), nullptr);
  // The root's list still names e; deleting the root passes over it.
  scene.delete_object_by_name("s");
  EXPECT_EQ(scene.slot(0), nullptr);
  EXPECT_EQ(scene.slot(l), nullptr);
  EXPECT_EQ(scene.light(0), nullptr);
}

TEST(SceneStore, FailedCascadeKeepsWhatWasDeleted) {
  Scene scene("s", 4, 0, 0, 1, 0);
  const int e = scene.make_object("e", kSlotElement, -1);
  const int m1 = scene.make_object("m1", kSlotMesh, -1);
  const int m2 = scene.make_object("m2", kSlotMesh, -1);
  scene.slot(m1)->parent = e;
  scene.slot(m2)->parent = e;
  scene.link_hierarchy();
  scene.delete_mesh(scene.slot(m2)->index);  // leaves m2's slot without its mesh
  EXPECT_EQ(message_of([&] { scene.delete_object(e); }), "VELDRA:DELETE:OBJECT: Object does not exist");
  EXPECT_EQ(scene.slot(m1), nullptr);
  EXPECT_NE(scene.slot(m2), nullptr);
  EXPECT_NE(scene.slot(e), nullptr);
  EXPECT_EQ(scene.slot(e)->child_count, 1);
  EXPECT_EQ(scene.slot(e)->children[0], -1);
}

}  // namespace
}  // namespace morvane
