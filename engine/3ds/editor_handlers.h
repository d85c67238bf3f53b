#pragma once
// Handlers of the 3D editor section: named objects (meshes, lights, cameras), vertices, faces,
// face materials, mapping coordinates, light and camera data. Points are read z-up and stored
// y-up. A chunk met while no record of its kind is current is skipped.
#include <cstdint>

#include "engine/3ds/chunk_reader.h"
#include "engine/3ds/load_context.h"

namespace morvane {

void read_named_object(ChunkReader& reader, std::int64_t end, LoadContext& context);
void read_vertex_list(ChunkReader& reader, std::int64_t end, LoadContext& context);
// Throws "VELDRA:3DS:LOAD: Face index out of range" for a face naming a vertex the mesh lacks.
void read_face_list(ChunkReader& reader, std::int64_t end, LoadContext& context);
// Colours the listed faces from the material, drawing three numbers from demo_rand() per face.
void read_face_material(ChunkReader& reader, std::int64_t end, LoadContext& context);
// Throws "VELDRA:3DS:LOAD: Number of mappingvertices not equal to number of vertices".
void read_mapping(ChunkReader& reader, std::int64_t end, LoadContext& context);
void read_light(ChunkReader& reader, std::int64_t end, LoadContext& context);
void read_spotlight(ChunkReader& reader, std::int64_t end, LoadContext& context);
void read_camera(ChunkReader& reader, std::int64_t end, LoadContext& context);

}  // namespace morvane
