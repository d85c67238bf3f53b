#pragma once
// The 3D engine's one container: fixed-capacity tables of meshes ("objects"), cameras, lights,
// elements and materials, and the render slots that name them and link them into a hierarchy
// under the root slot, which carries the scene's name. A new entry always takes the lowest free
// index; every failure throws std::runtime_error with a "VELDRA:..." text.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/records.h"
#include "contracts/pixel.h"

namespace morvane {

class Scene {
 public:
  static constexpr int kViewportWidth = kFrameWidth;
  static constexpr int kViewportHeight = kFrameHeight;
  static constexpr int kViewportCentreX = kFrameWidth / 2;
  static constexpr int kViewportCentreY = kFrameHeight / 2;

  // An object capacity below 1 becomes 256; other negative capacities count as 0. The render
  // slot table holds object + camera + light + element capacity entries. Creates the root slot.
  Scene(std::string_view name, int object_capacity, int camera_capacity, int light_capacity,
        int element_capacity, int material_capacity);
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  const std::string& name() const { return name_; }

  // Render slot index. Types 3, 6 and 2 also create a Mesh, Light or Element; type 4 is refused.
  int make_object(std::string_view name, std::uint8_t type, int node_id);
  // Camera index; the new camera becomes the active camera.
  int make_camera(std::string_view name);
  // Material index; an existing material of that name is replaced in place. Mode -1 decodes
  // the colour words of names beginning with "F".
  int make_material(std::string_view name, int mode);

  // Type 0 or 1: the first slot of that name. Other types: the typed index of the first slot
  // of that type and name. -1 when nothing matches.
  int find_object(std::string_view name, std::uint8_t type) const;
  int find_camera(std::string_view name) const;
  int find_material(std::string_view name) const;

  // Deletes the slot, its subtree (depth first) and their records.
  void delete_object(int slot);
  void delete_object_by_name(std::string_view name);
  void delete_mesh(int index);
  void delete_camera(int index);
  void delete_light(int index);
  void delete_element(int index);
  void delete_material(int index);

  // Every occupied slot's node id becomes -1.
  void reset_node_ids();
  // Rebuilds every child list from the parent links; children in ascending slot order.
  void link_hierarchy();

  int object_capacity() const { return static_cast<int>(meshes_.size()); }
  int camera_capacity() const { return static_cast<int>(cameras_.size()); }
  int light_capacity() const { return static_cast<int>(lights_.size()); }
  int element_capacity() const { return static_cast<int>(elements_.size()); }
  int material_capacity() const { return static_cast<int>(materials_.size()); }
  int slot_capacity() const { return static_cast<int>(slots_.size()); }

  // The record at an index; null when the index is outside the table or the entry is free.
  RenderSlot* slot(int index) { return entry(slots_, index); }
  const RenderSlot* slot(int index) const { return entry(slots_, index); }
  Mesh* mesh(int index) { return entry(meshes_, index); }
  const Mesh* mesh(int index) const { return entry(meshes_, index); }
  Camera* camera(int index) { return entry(cameras_, index); }
  const Camera* camera(int index) const { return entry(cameras_, index); }
  Light* light(int index) { return entry(lights_, index); }
  const Light* light(int index) const { return entry(lights_, index); }
  Element* element(int index) { return entry(elements_, index); }
  const Element* element(int index) const { return entry(elements_, index); }
  Material* material(int index) { return entry(materials_, index); }
  const Material* material(int index) const { return entry(materials_, index); }

  // -1 when none. Deleting a camera leaves the index as it is.
  int active_camera() const { return active_camera_; }
  void set_active_camera(int index) { active_camera_ = index; }

  // The 320 x 200 frame the rasterizer draws into; not owned.
  std::span<Rgb565> target_frame() const { return target_frame_; }
  void set_target_frame(std::span<Rgb565> frame) { target_frame_ = frame; }

 private:
  template <class T>
  static T* entry(const std::vector<std::unique_ptr<T>>& table, int index) {
    if (index < 0 || index >= static_cast<int>(table.size())) return nullptr;
    return table[static_cast<std::size_t>(index)].get();
  }

  std::string name_;
  std::vector<std::unique_ptr<Mesh>> meshes_;
  std::vector<std::unique_ptr<Camera>> cameras_;
  std::vector<std::unique_ptr<Light>> lights_;
  std::vector<std::unique_ptr<Element>> elements_;
  std::vector<std::unique_ptr<Material>> materials_;
  std::vector<std::unique_ptr<RenderSlot>> slots_;
  int active_camera_ = -1;
  std::span<Rgb565> target_frame_;
};

}  // namespace morvane
