#include "engine/scene.h"

#include <cstdint>
#include <limits>
#include <stdexcept>

#include "engine/camera_view.h"

namespace morvane {
namespace {

// The lowest free entry; the table's message when there is none.
template <class T>
int lowest_free(const std::vector<std::unique_ptr<T>>& table, const char* full_message) {
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (!table[i]) return static_cast<int>(i);
  }
  throw std::runtime_error(full_message);
}

// Deletes entry index of a typed table with the two messages of its kind.
template <class T>
void delete_entry(std::vector<std::unique_ptr<T>>& table, int index, const char* out_of_range,
                  const char* missing) {
  if (index >= static_cast<int>(table.size())) throw std::runtime_error(out_of_range);
  if (index < 0 || !table[static_cast<std::size_t>(index)]) throw std::runtime_error(missing);
  table[static_cast<std::size_t>(index)].reset();
}

std::size_t capacity_of(int requested) { return requested > 0 ? static_cast<std::size_t>(requested) : 0; }

struct ColourWord {
  std::string_view word;
  ColourF base;
  ColourF random_amount;
};

constexpr ColourWord kColourWords[] = {
    {"BLUE", {0, 0, 255}, {0, 0, 0}},       {"YELLOW", {255, 255, 0}, {0, 0, 0}},
    {"RED", {255, 0, 0}, {0, 0, 0}},        {"WHITE", {255, 255, 255}, {0, 0, 0}},
    {"GREY", {128, 128, 128}, {0, 0, 0}},   {"RANDRED", {0, 0, 0}, {1, 1, 0}},
    {"RANDBLUE", {0, 0, 0}, {0, 1, 1}},     {"RANDYELLOW", {255, 255, 0}, {0, 0, 0}},
};

}  // namespace

Scene::Scene(std::string_view name, int object_capacity, int camera_capacity, int light_capacity,
             int element_capacity, int material_capacity)
    : name_(name),
      meshes_(object_capacity < 1 ? 256 : static_cast<std::size_t>(object_capacity)),
      cameras_(capacity_of(camera_capacity)),
      lights_(capacity_of(light_capacity)),
      elements_(capacity_of(element_capacity)),
      materials_(capacity_of(material_capacity)) {
  const std::size_t slots = meshes_.size() + cameras_.size() + lights_.size() + elements_.size();
  if (slots > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    throw std::length_error("VELDRA:MAKE:SCENE: Capacities too large");
  }
  slots_.resize(slots);
  make_object(name_, kSlotRoot, -1);
}

int Scene::make_object(std::string_view name, std::uint8_t type, int node_id) {
  if (find_object(name, 0) != -1) throw std::runtime_error("VELDRA:MAKE:OBJECT: Object does allready exist");
  if (type == kSlotCamera) throw std::runtime_error("VELDRA:MAKE:OBJECT: Create cameras with [make_camera]");
  const int s = lowest_free(slots_, "VELDRA:GET:RENDER: No more renderslots");
  // Take the typed entry before creating anything, so that a failed make leaves no trace.
  int index = -1;
  if (type == kSlotMesh) index = lowest_free(meshes_, "VELDRA:GET:OBJECT: No more objects");
  if (type == kSlotLight) index = lowest_free(lights_, "VELDRA:GET:LIGHT: No more lights");
  if (type == kSlotElement) index = lowest_free(elements_, "VELDRA:GET:ELEMENT: No more elements");

  auto slot = std::make_unique<RenderSlot>();
  slot->name = std::string(name);
  slot->type = type;
  slot->node_id = node_id;
  if (type == kSlotRoot) {
    slot->has_parent = 0;
    slot->parent = -1;
  } else {
    slot->has_parent = 1;
    slot->parent = find_object(name_, kSlotRoot);
  }
  slot->index = index;
  const auto i = static_cast<std::size_t>(index);
  if (type == kSlotMesh) {
    meshes_[i] = std::make_unique<Mesh>();
    meshes_[i]->render_slot = s;
  } else if (type == kSlotLight) {
    lights_[i] = std::make_unique<Light>();
    lights_[i]->render_slot = s;
  } else if (type == kSlotElement) {
    elements_[i] = std::make_unique<Element>();
    elements_[i]->render_slot = s;
  }
  slots_[static_cast<std::size_t>(s)] = std::move(slot);
  return s;
}

int Scene::make_camera(std::string_view name) {
  if (find_camera(name) != -1) throw std::runtime_error("VELDRA:MAKE:CAMERA: Camera does allready exist");
  const int index = lowest_free(cameras_, "VELDRA:GET:CAMERA: No more cameras");
  auto camera = std::make_unique<Camera>();
  camera->name = std::string(name);
  camera->aspect = 0.75f;
  camera->field_of_view = lens_to_field_of_view(45.0f);
  cameras_[static_cast<std::size_t>(index)] = std::move(camera);
  active_camera_ = index;
  return index;
}

int Scene::make_material(std::string_view name, int mode) {
  int index = find_material(name);
  if (index == -1) index = lowest_free(materials_, "VELDRA:GET:MATERIAL: No more materials");
  auto material = std::make_unique<Material>();
  material->name = std::string(name);
  if (mode == -1 && !name.empty() && name[0] == 'F') {
    // "F", one character of the author's choosing, then the colour word. A name too short to
    // hold a word matches none.
    const std::string_view word = name.size() >= 2 ? name.substr(2) : std::string_view{};
    material->base = {};
    material->random_amount = {};
    for (const ColourWord& w : kColourWords) {
      if (w.word == word) {
        material->base = w.base;
        material->random_amount = w.random_amount;
        break;
      }
    }
  }
  materials_[static_cast<std::size_t>(index)] = std::move(material);
  return index;
}

int Scene::find_object(std::string_view name, std::uint8_t type) const {
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    const RenderSlot* s = slots_[i].get();
    if (!s || s->name != name) continue;
    if (type == kSlotInert || type == kSlotRoot) return static_cast<int>(i);
    if (s->type == type) return s->index;
  }
  return -1;
}

int Scene::find_camera(std::string_view name) const {
  for (std::size_t i = 0; i < cameras_.size(); ++i) {
    if (cameras_[i] && cameras_[i]->name == name) return static_cast<int>(i);
  }
  return -1;
}

int Scene::find_material(std::string_view name) const {
  for (std::size_t i = 0; i < materials_.size(); ++i) {
    if (materials_[i] && materials_[i]->name == name) return static_cast<int>(i);
  }
  return -1;
}

void Scene::delete_object(int index) {
  if (index < 0 || index >= slot_capacity()) throw std::runtime_error("VELDRA:DELETE:OBJECT: Object does not exist");
  RenderSlot* s = slot(index);
  if (!s) throw std::runtime_error("VELDRA:DELETE:OBJECT: Object is not loaded");
  for (int& child : s->children) {
    if (child < 0) continue;
    // A child list is only rebuilt by link_hierarchy, so it may still name a slot deleted
    // since; that one is already gone.
    const RenderSlot* c = slot(child);
    if (c && c->type != kSlotInert) delete_object(child);
    child = -1;
    --s->child_count;
  }
  switch (s->type) {
    case kSlotElement: delete_element(s->index); break;
    case kSlotMesh: delete_mesh(s->index); break;
    case kSlotLight: delete_light(s->index); break;
    default: break;
  }
  slots_[static_cast<std::size_t>(index)].reset();
}

void Scene::delete_object_by_name(std::string_view name) { delete_object(find_object(name, 0)); }

void Scene::delete_mesh(int index) {
  delete_entry(meshes_, index, "VELDRA:DELETE:OBJECT: Object out of range", "VELDRA:DELETE:OBJECT: Object does not exist");
}

void Scene::delete_camera(int index) {
  delete_entry(cameras_, index, "VELDRA:DELETE:CAMERA: Camera out of range", "VELDRA:DELETE:CAMERA: Camera does not exist");
}

void Scene::delete_light(int index) {
  delete_entry(lights_, index, "VELDRA:DELETE:LIGHT: Light out of range", "VELDRA:DELETE:LIGHT: Light does not exist");
}

void Scene::delete_element(int index) {
  delete_entry(elements_, index, "VELDRA:DELETE:ELEMENT: Element out of range",
               "VELDRA:DELETE:ELEMENT: Element does not exist");
}

void Scene::delete_material(int index) {
  delete_entry(materials_, index, "VELDRA:DELETE:MATERIAL: Material out of range",
               "VELDRA:DELETE:MATERIAL: Material does not exist");
}

void Scene::reset_node_ids() {
  for (auto& s : slots_) {
    if (s) s->node_id = -1;
  }
}

void Scene::link_hierarchy() {
  for (auto& s : slots_) {
    if (!s) continue;
    s->child_count = 0;
    s->node_id = 0;
    s->children.clear();
  }
  // A parent link to a free or foreign index (its parent deleted since) is left out.
  auto parent_of = [this](const RenderSlot& s) -> RenderSlot* { return s.has_parent ? slot(s.parent) : nullptr; };
  for (auto& s : slots_) {
    if (!s) continue;
    if (RenderSlot* p = parent_of(*s)) ++p->child_count;
  }
  for (auto& s : slots_) {
    if (s && s->child_count > 0) s->children.assign(static_cast<std::size_t>(s->child_count), -1);
  }
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    if (!slots_[i]) continue;
    if (RenderSlot* p = parent_of(*slots_[i])) {
      p->children[static_cast<std::size_t>(p->node_id)] = static_cast<int>(i);
      ++p->node_id;
    }
  }
}

}  // namespace morvane
