#pragma once
// The table-driven walk over a 3DS chunk tree: every chunk is a 16-bit id and a 32-bit length
// (header included) followed by its data and sub-chunks. Listed chunks go to their handler or
// are walked into; all others are skipped by their length.
#include <cstdint>

#include "engine/3ds/chunk_reader.h"
#include "engine/3ds/load_context.h"

namespace morvane {

// reader positioned after the chunk's 6-byte header; end is the chunk's end offset.
using ChunkHandler = void (*)(ChunkReader& reader, std::int64_t end, LoadContext& context);

struct ChunkEntry {
  std::uint16_t id;
  ChunkHandler handler;  // null: walk the chunk's sub-chunks
};

// The entry for id, or null when the chunk is skipped.
const ChunkEntry* find_chunk_entry(std::uint16_t id);

// Reads chunks from the reader's position while it is below end. After each chunk the position
// is set to the chunk's end, whatever its handler read; a failed header read or a zero length
// ends the walk. Reads inside a chunk never reach past it. Chunks nested deeper than
// kMaxChunkDepth are skipped.
void walk_chunks(ChunkReader& reader, std::int64_t end, LoadContext& context);

inline constexpr int kMaxChunkDepth = 32;

}  // namespace morvane
