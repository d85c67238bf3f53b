#include "engine/3ds/editor_handlers.h"

#include <stdexcept>

#include "engine/3ds/chunk_walk.h"
#include "engine/camera_view.h"
#include "engine/object_preparation.h"
#include "engine/scene.h"
#include "engine/demo_rand.h"

namespace morvane {
namespace {

constexpr std::uint16_t kTriangleMesh = 0x4100;
constexpr std::uint16_t kLight = 0x4600;
constexpr std::uint16_t kCamera = 0x4700;
// Bytes per record: a vertex is three floats, a face three indices and a flag word, a mapping
// coordinate two floats.
constexpr std::size_t kVertexBytes = 12;
constexpr std::size_t kFaceBytes = 8;
constexpr std::size_t kMapCoordBytes = 8;

bool filtered_out(const std::optional<std::string>& filter, const std::string& name) {
  return filter && *filter != name;
}

// A random value 0..255: the generator's 0..32767 times the float nearest to 255 / 32767.
float random_component() { return static_cast<float>(demo_rand()) * 0.0077822199f; }

}  // namespace

void read_named_object(ChunkReader& reader, std::int64_t end, LoadContext& context) {
  const std::string name = reader.read_name();
  std::uint16_t next = 0;
  if (!reader.read_u16(next)) return;
  reader.seek(-2, ChunkReader::kCurrent);
  Scene& scene = context.scene;

  switch (next) {
    case kTriangleMesh:
      if (!filtered_out(context.filters.mesh, name)) {
        const int s = scene.make_object(name, kSlotMesh, context.named_objects_seen);
        RenderSlot& slot = *scene.slot(s);
        slot.has_parent = context.mesh_parent_flag;
        slot.parent = context.parent_slot;
        context.current_slot = s;
        context.current_type = kSlotMesh;
        context.current_mesh = scene.mesh(slot.index);
        walk_chunks(reader, end, context);
        init_object(scene, s);
        ++context.meshes_loaded;
      }
      break;
    case kLight:
      if (!filtered_out(context.filters.light, name)) {
        const int s = scene.make_object(name, kSlotLight, -1);
        context.current_slot = s;
        context.current_type = kSlotLight;
        context.current_light = scene.light(scene.slot(s)->index);
        ++context.lights_loaded;
        walk_chunks(reader, end, context);
      }
      break;
    case kCamera:
      if (!filtered_out(context.filters.camera, name)) {
        const int c = scene.make_camera(name);
        context.current_slot = c;
        context.current_type = kSlotCamera;
        context.current_camera = scene.camera(c);
        walk_chunks(reader, end, context);
        ++context.cameras_loaded;
      }
      break;
    default:
      return;  // neither made nor counted
  }
  ++context.named_objects_seen;
}

void read_vertex_list(ChunkReader& reader, std::int64_t, LoadContext& context) {
  Mesh* mesh = context.current_mesh;
  if (!mesh) return;
  std::uint16_t count = 0;
  if (!reader.read_u16(count)) return;
  if (!reader.holds(count, kVertexBytes)) throw std::runtime_error("VELDRA:3DS:LOAD: Vertex list longer than its chunk");
  mesh->vertices.assign(count, Vec3{});
  mesh->transformed.assign(count, TransformedVertex{});
  for (Vec3& v : mesh->vertices) {
    Vec3 p;
    if (!reader.read_vec3(p)) return;
    v = swap_yz(p);
  }
}

void read_face_list(ChunkReader& reader, std::int64_t end, LoadContext& context) {
  Mesh* mesh = context.current_mesh;
  if (!mesh) return;
  std::uint16_t count = 0;
  if (!reader.read_u16(count)) return;
  if (!reader.holds(count, kFaceBytes)) throw std::runtime_error("VELDRA:3DS:LOAD: Face list longer than its chunk");
  mesh->faces.assign(count, Face{});
  const int vertices = mesh->vertex_count();
  for (Face& face : mesh->faces) {
    std::uint16_t a = 0, b = 0, c = 0;
    if (!reader.read_u16(a) || !reader.read_u16(b) || !reader.read_u16(c)) return;
    reader.seek(2, ChunkReader::kCurrent);  // face flags
    // Also catches a face list that comes before the vertex list.
    if (a >= vertices || b >= vertices || c >= vertices) {
      throw std::runtime_error("VELDRA:3DS:LOAD: Face index out of range");
    }
    face.a = a;
    face.b = b;
    face.c = c;
    if (mesh->mapping) {
      const std::vector<MapCoord>& uv = *mesh->mapping;
      // The mapping count matched an earlier vertex count; a vertex list read since may differ.
      if (a < uv.size() && b < uv.size() && c < uv.size()) face.mapping = {uv[a], uv[b], uv[c]};
    }
  }
  mesh->mapping.reset();
  walk_chunks(reader, end, context);
}

void read_face_material(ChunkReader& reader, std::int64_t, LoadContext& context) {
  Mesh* mesh = context.current_mesh;
  if (!mesh) return;
  const int index = context.scene.make_material(reader.read_name(), -1);
  const Material& material = *context.scene.material(index);
  std::uint16_t count = 0;
  if (!reader.read_u16(count)) return;
  for (std::uint16_t k = 0; k < count; ++k) {
    std::uint16_t f = 0;
    if (!reader.read_u16(f)) return;
    if (f >= mesh->faces.size()) continue;
    Face& face = mesh->faces[f];
    face.material = index;
    face.red = random_component() * material.random_amount.red + material.base.red;
    face.green = random_component() * material.random_amount.green + material.base.green;
    face.blue = random_component() * material.random_amount.blue + material.base.blue;
  }
}

void read_mapping(ChunkReader& reader, std::int64_t, LoadContext& context) {
  Mesh* mesh = context.current_mesh;
  if (!mesh) return;
  std::uint16_t count = 0;
  if (!reader.read_u16(count)) return;
  if (count != mesh->vertex_count()) {
    throw std::runtime_error("VELDRA:3DS:LOAD: Number of mappingvertices not equal to number of vertices");
  }
  if (!reader.holds(count, kMapCoordBytes)) {
    throw std::runtime_error("VELDRA:3DS:LOAD: Mapping list longer than its chunk");
  }
  std::vector<MapCoord>& uv = mesh->mapping.emplace(count);
  for (MapCoord& m : uv) {
    float u = 0.0f, v = 0.0f;
    if (!reader.read_f32(u) || !reader.read_f32(v)) return;
    m = {u * 256.0f, v * 256.0f};
  }
}

void read_light(ChunkReader& reader, std::int64_t end, LoadContext& context) {
  Light* light = context.current_light;
  if (!light) return;
  Vec3 p;
  if (!reader.read_vec3(p)) return;
  light->position = swap_yz(p);
  walk_chunks(reader, end, context);
}

void read_spotlight(ChunkReader& reader, std::int64_t, LoadContext& context) {
  Light* light = context.current_light;
  if (!light) return;
  Vec3 target;
  if (!reader.read_vec3(target)) return;
  light->target = swap_yz(target);
  light->spotlight = 1;
  if (!reader.read_f32(light->hotspot)) return;
  reader.read_f32(light->falloff);
}

void read_camera(ChunkReader& reader, std::int64_t, LoadContext& context) {
  Camera* camera = context.current_camera;
  if (!camera) return;
  Vec3 position, target;
  if (!reader.read_vec3(position)) return;
  camera->position = swap_yz(position);
  if (!reader.read_vec3(target)) return;
  camera->target = swap_yz(target);
  if (!reader.read_f32(camera->roll)) return;
  float lens = 0.0f;
  if (!reader.read_f32(lens)) return;
  camera->field_of_view = lens_to_field_of_view(lens);
}

}  // namespace morvane
