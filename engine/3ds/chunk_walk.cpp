#include "engine/3ds/chunk_walk.h"

#include <array>

#include "engine/3ds/editor_handlers.h"
#include "engine/3ds/keyframer_handlers.h"

namespace morvane {
namespace {

void ignore_chunk(ChunkReader&, std::int64_t, LoadContext&) {}

// Searched in order; the first entry with the id wins. The keyframer section (0xB000) has no
// entry, so in files laid out by the standard the track handlers are never reached.
constexpr std::array<ChunkEntry, 28> kChunkTable{{
    {0xC23D, nullptr},
    {0x3DAA, nullptr},
    {0x4D4D, nullptr},  // main chunk
    {0x3D3D, nullptr},  // 3D editor
    {0x4000, read_named_object},
    {0x4100, nullptr},  // triangle mesh
    {0x4110, read_vertex_list},
    {0x4120, read_face_list},
    {0x4130, read_face_material},
    {0x4140, read_mapping},
    {0x4160, ignore_chunk},  // mesh matrix: local matrices stay the identity
    {0x4600, read_light},
    {0x4610, read_spotlight},
    {0x4700, read_camera},
    {0x4F00, nullptr},
    {0xB020, read_position_track},
    {0xB010, read_node_header},
    {0xB013, ignore_chunk},  // pivot
    {0xB022, read_rotation_track},
    {0xB029, read_hide_track},
    {0xB003, read_camera_node},
    {0xB004, read_camera_node},
    {0xB023, read_fov_track},
    {0xB024, read_roll_track},
    {0xB005, read_light_node},
    {0xB006, read_light_target_node},
    {0xB007, read_light_node},
    {0xB008, read_keyframe_segment},
}};

struct DepthScope {
  explicit DepthScope(LoadContext& c) : context(c) { ++context.depth; }
  ~DepthScope() { --context.depth; }
  DepthScope(const DepthScope&) = delete;
  DepthScope& operator=(const DepthScope&) = delete;
  LoadContext& context;
};

}  // namespace

const ChunkEntry* find_chunk_entry(std::uint16_t id) {
  for (const ChunkEntry& e : kChunkTable) {
    if (e.id == id) return &e;
  }
  return nullptr;
}

void walk_chunks(ChunkReader& reader, std::int64_t end, LoadContext& context) {
  if (context.depth >= kMaxChunkDepth) return;
  const DepthScope depth(context);
  while (reader.tell() < end) {
    const std::int64_t start = reader.tell();
    std::uint16_t id = 0;
    std::uint32_t length = 0;
    if (!reader.read_u16(id) || !reader.read_u32(length) || length == 0) return;
    const std::int64_t chunk_end = start + length;
    if (const ChunkEntry* entry = find_chunk_entry(id)) {
      const ChunkReader::Scope inside(reader, chunk_end);
      if (entry->handler) {
        entry->handler(reader, chunk_end, context);
      } else {
        walk_chunks(reader, chunk_end, context);
      }
    }
    reader.seek(chunk_end);
  }
}

}  // namespace morvane
