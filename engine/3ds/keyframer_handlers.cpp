#include "engine/3ds/keyframer_handlers.h"

#include <cstdio>
#include <stdexcept>

#include "engine/3ds/chunk_walk.h"
#include "engine/scene.h"

namespace morvane {
namespace {

constexpr std::uint16_t kNoParent = 0xFFFF;
// The least a key takes: frame, its high half and the spline flags (6 bytes), then the value.
constexpr std::size_t kKeyHeaderBytes = 6;
constexpr std::size_t kPointKeyBytes = kKeyHeaderBytes + 12;
constexpr std::size_t kScalarKeyBytes = kKeyHeaderBytes + 4;
constexpr std::size_t kRotationKeyBytes = kKeyHeaderBytes + 16;
constexpr std::size_t kHideKeyBytes = kKeyHeaderBytes;

void tag_node(ChunkReader& reader, std::int64_t end, LoadContext& context, std::uint8_t node_type) {
  context.current_node_type = node_type;
  walk_chunks(reader, end, context);
}

// Flags, 8 skipped bytes, the key count (the low half of a 32-bit number); allocates the
// track's arrays once the chunk is seen to hold key_bytes per key. False when the header is cut
// short.
bool read_track_header(ChunkReader& reader, KeyTrack& track, std::size_t key_bytes) {
  std::uint16_t flags = 0, count = 0;
  if (!reader.read_u16(flags)) return false;
  reader.seek(8, ChunkReader::kCurrent);
  if (!reader.read_u16(count)) return false;
  reader.seek(2, ChunkReader::kCurrent);
  if (!reader.holds(count, key_bytes)) throw std::runtime_error("VELDRA:3DS:LOAD: Key list longer than its chunk");
  track.flags = (flags & 3) == 3 ? 2 : (flags & 2) != 0 ? 1 : 0;
  track.frames.assign(count, 0);
  track.splines.assign(count, SplineParams{});
  track.points.clear();
  track.scalars.clear();
  return true;
}

// The frame number and the spline parameters present by the key's flag bits.
bool read_key_header(ChunkReader& reader, KeyTrack& track, std::size_t key) {
  std::uint16_t frame = 0, flags = 0;
  if (!reader.read_u16(frame)) return false;
  reader.seek(2, ChunkReader::kCurrent);
  if (!reader.read_u16(flags)) return false;
  track.frames[key] = frame;
  SplineParams& s = track.splines[key];
  for (int bit = 0; bit < 16; ++bit) {
    if ((flags & (1u << bit)) == 0) continue;
    float value = 0.0f;
    if (!reader.read_f32(value)) return false;
    switch (bit) {
      case 0: s.tension = value; break;
      case 1: s.continuity = value; break;
      case 2: s.bias = value; break;
      case 3: s.ease_to = value; break;
      case 4: s.ease_from = value; break;
      default: break;  // no meaning known
    }
  }
  return true;
}

void read_point_track(ChunkReader& reader, KeyTrack& track) {
  if (!read_track_header(reader, track, kPointKeyBytes)) return;
  track.points.assign(track.frames.size(), Vec3{});
  for (std::size_t k = 0; k < track.frames.size(); ++k) {
    Vec3 p;
    if (!read_key_header(reader, track, k) || !reader.read_vec3(p)) return;
    track.points[k] = swap_yz(p);
  }
}

void read_scalar_track(ChunkReader& reader, KeyTrack& track) {
  if (!read_track_header(reader, track, kScalarKeyBytes)) return;
  track.scalars.assign(track.frames.size(), 0.0f);
  for (std::size_t k = 0; k < track.frames.size(); ++k) {
    if (!read_key_header(reader, track, k) || !reader.read_f32(track.scalars[k])) return;
  }
}

// True when making parent the parent of child would close a loop.
bool closes_loop(const Scene& scene, int child, int parent) {
  int s = parent;
  for (int steps = 0; steps <= scene.slot_capacity(); ++steps) {
    if (s == child) return true;
    const RenderSlot* slot = scene.slot(s);
    if (!slot || !slot->has_parent) return false;
    s = slot->parent;
  }
  return true;  // a loop among the ancestors already
}

}  // namespace

void read_keyframe_segment(ChunkReader& reader, std::int64_t, LoadContext& context) {
  if (!reader.read_i32(context.keyframe_start)) return;
  reader.read_i32(context.keyframe_end);
}

void read_camera_node(ChunkReader& reader, std::int64_t end, LoadContext& context) {
  tag_node(reader, end, context, kSlotCamera);
}

void read_light_node(ChunkReader& reader, std::int64_t end, LoadContext& context) {
  tag_node(reader, end, context, kSlotLight);
}

void read_light_target_node(ChunkReader& reader, std::int64_t end, LoadContext& context) {
  tag_node(reader, end, context, kSlotLightTarget);
}

void read_node_header(ChunkReader& reader, std::int64_t, LoadContext& context) {
  Scene& scene = context.scene;
  const std::string name = reader.read_name();
  reader.seek(4, ChunkReader::kCurrent);  // two flag words
  std::uint16_t parent_id = 0;
  if (!reader.read_u16(parent_id)) return;

  if (parent_id != kNoParent && context.current_type != kSlotCamera) {
    const int named = scene.find_object(name, 0);
    int parent = -1;
    for (int i = 0; named != -1 && i < scene.slot_capacity(); ++i) {
      const RenderSlot* s = scene.slot(i);
      if (s && s->node_id == parent_id) parent = i;
    }
    if (parent != -1 && !closes_loop(scene, named, parent)) {
      RenderSlot& slot = *scene.slot(named);
      slot.parent = parent;
      slot.has_parent = scene.slot(parent)->has_parent;
    }
  }

  context.current_track = nullptr;
  if (context.current_node_type == kSlotLight || context.current_node_type == kSlotLightTarget) {
    Light* light = scene.light(scene.find_object(name, kSlotLight));
    context.current_light = light;
    if (light) {
      context.current_track = context.current_node_type == kSlotLight ? &light->position_track : &light->target_track;
    }
  } else {
    // Cameras have no render slot to be found by.
    context.current_camera = nullptr;
  }
}

void read_position_track(ChunkReader& reader, std::int64_t, LoadContext& context) {
  if (context.current_track) read_point_track(reader, *context.current_track);
}

void read_rotation_track(ChunkReader& reader, std::int64_t, LoadContext& context) {
  Mesh* mesh = context.current_mesh;
  if (!mesh) return;
  KeyTrack& track = mesh->rotation_track;
  if (!read_track_header(reader, track, kRotationKeyBytes)) return;
  // Each key holds an angle and an axis; the axis is a point like any other.
  track.points.assign(track.frames.size(), Vec3{});
  track.scalars.assign(track.frames.size(), 0.0f);
  for (std::size_t k = 0; k < track.frames.size(); ++k) {
    Vec3 axis;
    if (!read_key_header(reader, track, k) || !reader.read_f32(track.scalars[k]) || !reader.read_vec3(axis)) return;
    track.points[k] = swap_yz(axis);
  }
}

void read_fov_track(ChunkReader& reader, std::int64_t, LoadContext& context) {
  KeyTrack dropped;
  read_scalar_track(reader, context.current_camera ? context.current_camera->fov_track : dropped);
}

void read_roll_track(ChunkReader& reader, std::int64_t, LoadContext& context) {
  KeyTrack dropped;
  read_scalar_track(reader, context.current_camera ? context.current_camera->roll_track : dropped);
}

void read_hide_track(ChunkReader& reader, std::int64_t, LoadContext& context) {
  KeyTrack dropped;
  KeyTrack& track = context.current_mesh ? context.current_mesh->hide_track : dropped;
  if (!read_track_header(reader, track, kHideKeyBytes)) return;
  for (std::int32_t& frame : track.frames) {
    std::uint16_t f = 0;
    if (!reader.read_u16(f)) return;
    reader.seek(4, ChunkReader::kCurrent);  // high half of the frame number, spline flags
    frame = f;
    std::printf("Frame: %d\n", static_cast<int>(f));
  }
}

}  // namespace morvane
