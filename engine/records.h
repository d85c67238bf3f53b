#pragma once
// The records a Scene owns: render slots (the hierarchy), meshes with their faces, cameras,
// lights, elements, materials and keyframe tracks. Plain data; the Scene creates and frees them.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/vector_matrix.h"

namespace morvane {

// Render slot types. 0 and 8 draw nothing (8 still has its children drawn); 4 is never a slot.
enum SlotType : std::uint8_t {
  kSlotInert = 0,
  kSlotRoot = 1,
  kSlotElement = 2,
  kSlotMesh = 3,
  kSlotCamera = 4,
  kSlotLight = 6,
  kSlotLightTarget = 7,
  kSlotGroup = 8,
};

// Axis-aligned box in the slot's object space, made by init_object.
struct Bounds {
  // (min x, min y, min z), (max x, min y, min z), (max x, max y, min z), (min x, max y, min z),
  // then the same four at max z.
  std::array<Vec3, 8> corners{};
  // The corners in camera space, rewritten by every visibility test.
  std::array<Vec3, 8> transformed{};
};

struct RenderSlot {
  std::string name;
  std::uint8_t type = kSlotInert;
  // Index of the record in the table of its type; -1 for slot types without a record.
  int index = -1;
  // Caller's identifier (the 3DS loader's running number); link_hierarchy reuses it as cursor.
  int node_id = -1;
  std::uint8_t has_parent = 0;
  int parent = -1;
  std::unique_ptr<Bounds> bounds;
  int child_count = 0;
  // Built by link_hierarchy; a deleted child's entry becomes -1.
  std::vector<int> children;
};

struct MapCoord {
  float u = 0.0f;
  float v = 0.0f;
};

// One vertex as the renderer last placed it.
struct TransformedVertex {
  float x = 0.0f;  // camera space
  float y = 0.0f;
  float z = 0.0f;
  float screen_x = 0.0f;
  float screen_y = 0.0f;
  float w = 0.0f;  // 1 / z
};

struct Face {
  int a = 0;
  int b = 0;
  int c = 0;
  // In texels (file value x 256), at a, b and c.
  std::array<MapCoord, 3> mapping{};
  float red = 0.0f;  // 0 to 255
  float green = 0.0f;
  float blue = 0.0f;
  int material = -1;
};

// Tension, continuity, bias, ease to, ease from of one key; absent values are 0.
struct SplineParams {
  float tension = 0.0f;
  float bias = 0.0f;
  float continuity = 0.0f;
  float ease_to = 0.0f;
  float ease_from = 0.0f;
};

// A keyframe track as stored in the file. Nothing in the show plays these back.
struct KeyTrack {
  std::vector<std::int32_t> frames;
  std::vector<SplineParams> splines;
  // Per key: a point for position tracks, the axis for rotation tracks.
  std::vector<Vec3> points;
  // Per key: the value of roll and field-of-view tracks, the angle of rotation tracks.
  std::vector<float> scalars;
  std::uint8_t flags = 0;  // 0; 1 repeat; 2 loop

  int key_count() const { return static_cast<int>(frames.size()); }
};

struct Mesh {
  std::vector<Vec3> vertices;
  std::vector<TransformedVertex> transformed;
  std::vector<Face> faces;
  // Present only while a scene file is read, until the face list copies them into the faces.
  std::optional<std::vector<MapCoord>> mapping;
  Matrix34 local = kIdentity34;
  Matrix34 combined = kIdentity34;
  KeyTrack position_track;
  KeyTrack rotation_track;
  KeyTrack hide_track;
  int render_slot = -1;

  int vertex_count() const { return static_cast<int>(vertices.size()); }
  int face_count() const { return static_cast<int>(faces.size()); }
};

struct Camera {
  std::string name;
  Vec3 position;
  float roll = 0.0f;           // degrees
  float field_of_view = 0.0f;  // degrees, horizontal
  Vec3 target;
  float projection_scale_x = 0.0f;
  float projection_scale_y = 0.0f;
  float aspect = 0.75f;
  KeyTrack position_track;
  KeyTrack second_track;
  KeyTrack roll_track;
  KeyTrack fov_track;
  Matrix34 view = kIdentity34;
};

// Stored for the scene file's sake; nothing lights faces with it.
struct Light {
  KeyTrack position_track;
  Vec3 position;
  std::uint8_t spotlight = 0;
  Vec3 target;
  KeyTrack target_track;
  float hotspot = 0.0f;  // degrees
  float falloff = 0.0f;
  int render_slot = -1;
};

struct Element {
  Matrix34 matrix = kIdentity34;
  int render_slot = -1;
};

struct ColourF {
  float red = 0.0f;
  float green = 0.0f;
  float blue = 0.0f;
};

struct Material {
  std::string name;
  ColourF base{128.0f, 128.0f, 128.0f};
  // 0 or 1 per channel: how much of a random 0..255 the loader adds to each face.
  ColourF random_amount{};
};

}  // namespace morvane
