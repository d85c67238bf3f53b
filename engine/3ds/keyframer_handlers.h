#pragma once
// Handlers of keyframer chunks: node tags and headers (which may re-parent render slots) and
// the position, rotation, field-of-view, roll and hide tracks. They run only when such chunks
// lie directly inside a walked chunk; the tracks are stored, never played back.
#include <cstdint>

#include "engine/3ds/chunk_reader.h"
#include "engine/3ds/load_context.h"

namespace morvane {

void read_keyframe_segment(ChunkReader& reader, std::int64_t end, LoadContext& context);
void read_camera_node(ChunkReader& reader, std::int64_t end, LoadContext& context);
void read_light_node(ChunkReader& reader, std::int64_t end, LoadContext& context);
void read_light_target_node(ChunkReader& reader, std::int64_t end, LoadContext& context);
// A parent link that would close a loop in the hierarchy is not made.
void read_node_header(ChunkReader& reader, std::int64_t end, LoadContext& context);
void read_position_track(ChunkReader& reader, std::int64_t end, LoadContext& context);
void read_rotation_track(ChunkReader& reader, std::int64_t end, LoadContext& context);
void read_fov_track(ChunkReader& reader, std::int64_t end, LoadContext& context);
void read_roll_track(ChunkReader& reader, std::int64_t end, LoadContext& context);
// Writes "Frame: %d\n" to standard output for every key.
void read_hide_track(ChunkReader& reader, std::int64_t end, LoadContext& context);

}  // namespace morvane
