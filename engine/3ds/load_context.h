#pragma once
// What the chunk handlers of one 3DS load share: the target scene, where new meshes hang, the
// records the last chunks made current, counters and the keyframer's node state.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/records.h"

namespace morvane {

class Scene;

// When a filter is set, only the mesh, camera or light of that name is loaded.
struct LoadFilters {
  std::optional<std::string> mesh;
  std::optional<std::string> camera;
  std::optional<std::string> light;
};

struct LoadContext {
  LoadContext(Scene& target, const LoadFilters& name_filters) : scene(target), filters(name_filters) {}

  Scene& scene;
  std::int64_t file_size = 0;
  // Stored in the has-parent field of every mesh slot the loader makes.
  std::uint8_t mesh_parent_flag = 2;
  // The element made for this load: the parent of every mesh.
  int parent_slot = -1;
  // Render slot (or camera) index and type (3 mesh, 6 light, 4 camera) of the last named object.
  int current_slot = -1;
  std::uint8_t current_type = 0;
  std::uint16_t meshes_loaded = 0;
  std::uint16_t cameras_loaded = 0;
  std::uint16_t lights_loaded = 0;
  const LoadFilters& filters;
  // Named objects holding a mesh, light or camera, taken or filtered out; numbers the meshes.
  std::uint16_t named_objects_seen = 0;
  std::int32_t keyframe_start = 0;
  std::int32_t keyframe_end = 0;
  Mesh* current_mesh = nullptr;
  Camera* current_camera = nullptr;
  Light* current_light = nullptr;
  KeyTrack* current_track = nullptr;
  // 4 camera, 6 light, 7 light target: set by the keyframer's node tags.
  std::uint8_t current_node_type = 0;
  // Chunks nested in chunks, to stop a crafted file from exhausting the stack.
  int depth = 0;
};

}  // namespace morvane
