#include "engine/object_preparation.h"

#include <memory>
#include <stdexcept>

#include "engine/scene.h"

namespace morvane {
namespace {

constexpr float kEmpty = 9e10f;

struct Extent {
  Vec3 min{kEmpty, kEmpty, kEmpty};
  Vec3 max{-kEmpty, -kEmpty, -kEmpty};

  void fold(const Vec3& p) {
    if (p.x > max.x) max.x = p.x;
    if (p.y > max.y) max.y = p.y;
    if (p.z > max.z) max.z = p.z;
    if (p.x < min.x) min.x = p.x;
    if (p.y < min.y) min.y = p.y;
    if (p.z < min.z) min.z = p.z;
  }

  std::unique_ptr<Bounds> box() const {
    auto b = std::make_unique<Bounds>();
    b->corners = {Vec3{min.x, min.y, min.z}, Vec3{max.x, min.y, min.z}, Vec3{max.x, max.y, min.z},
                  Vec3{min.x, max.y, min.z}, Vec3{min.x, min.y, max.z}, Vec3{max.x, min.y, max.z},
                  Vec3{max.x, max.y, max.z}, Vec3{min.x, max.y, max.z}};
    return b;
  }
};

}  // namespace

void init_object(Scene& scene, int slot_index) {
  if (slot_index < 0) throw std::runtime_error("VELDRA:INIT:OBJECT: Object does not exist");
  if (slot_index >= scene.slot_capacity()) throw std::runtime_error("VELDRA:INIT:OBJECT: Object out of range");
  RenderSlot* slot = scene.slot(slot_index);
  if (!slot) throw std::runtime_error("VELDRA:INIT:OBJECT: Object does not exist");

  Extent extent;
  if (slot->type == kSlotMesh) {
    const Mesh* mesh = scene.mesh(slot->index);
    if (!mesh) throw std::runtime_error("VELDRA:INIT:OBJECT: Object does not exist");
    for (const Vec3& v : mesh->vertices) extent.fold(v);
  } else if (slot->type == kSlotElement) {
    if (slot->children.empty()) {
      slot->bounds.reset();
      return;
    }
    for (const int child_index : slot->children) {
      RenderSlot* child = scene.slot(child_index);
      if (!child) continue;  // deleted since the hierarchy was linked
      if (!child->bounds) init_object(scene, child_index);
      // Lights and other boxless kinds add nothing.
      if (!child->bounds) continue;
      for (const Vec3& corner : child->bounds->corners) extent.fold(corner);
    }
  } else {
    return;
  }
  slot->bounds = extent.box();
}

}  // namespace morvane
