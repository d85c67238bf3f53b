#include "tools/standin/tds_writer.h"

#include <cstring>
#include <stdexcept>

namespace morvane::standin {

namespace {

// Chunk ids of the published layout.
enum : std::uint16_t {
  kMain = 0x4D4D,
  kVersion = 0x0002,
  kEditor = 0x3D3D,
  kMeshVersion = 0x3D3E,
  kMasterScale = 0x0100,
  kMaterial = 0xAFFF,
  kMaterialName = 0xA000,
  kMaterialAmbient = 0xA010,
  kMaterialDiffuse = 0xA020,
  kColour24 = 0x0011,
  kNamedObject = 0x4000,
  kTriangleMesh = 0x4100,
  kPoints = 0x4110,
  kFaces = 0x4120,
  kFaceMaterial = 0x4130,
  kMapping = 0x4140,
  kMeshMatrix = 0x4160,
  kLight = 0x4600,
  kSpotlight = 0x4610,
  kKeyframer = 0xB000,
  kObjectNode = 0xB002,
  kLightNode = 0xB005,
  kLightTargetNode = 0xB006,
  kSpotlightNode = 0xB007,
  kKeyframerSegment = 0xB008,
  kKeyframerTime = 0xB009,
  kKeyframerHeader = 0xB00A,
  kNodeHeader = 0xB010,
  kPivot = 0xB013,
  kPositionTrack = 0xB020,
  kRotationTrack = 0xB021,
  kScaleTrack = 0xB022,
  kNodeId = 0xB030,
};

class ChunkWriter {
 public:
  void begin(std::uint16_t id) {
    open_.push_back(bytes_.size());
    u16(id);
    u32(0);  // length, patched by end()
  }
  void end() {
    const std::size_t start = open_.back();
    open_.pop_back();
    const std::uint32_t length = static_cast<std::uint32_t>(bytes_.size() - start);
    for (int i = 0; i < 4; ++i) bytes_[start + 2 + i] = static_cast<std::uint8_t>(length >> (8 * i));
  }
  void u16(std::uint16_t v) {
    bytes_.push_back(static_cast<std::uint8_t>(v));
    bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  void u32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void f32(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    u32(bits);
  }
  // File points are z up: engine (x, y, z) is stored as (x, z, y).
  void point(Vec3 p) {
    f32(p.x);
    f32(p.z);
    f32(p.y);
  }
  void name(const std::string& s) {
    bytes_.insert(bytes_.end(), s.begin(), s.end());
    bytes_.push_back(0);
  }
  void bytes(std::initializer_list<std::uint8_t> b) { bytes_.insert(bytes_.end(), b); }
  std::vector<std::uint8_t> take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
  std::vector<std::size_t> open_;
};

void check_name(const std::string& name) {
  if (name.empty() || name.size() > 10 || name.find('\0') != std::string::npos)
    throw std::invalid_argument("3DS: names must have 1 to 10 characters: '" + name + "'");
}

void check_mesh(const TdsScene& scene, const TdsMesh& m) {
  check_name(m.name);
  if (m.vertices.size() > 0xFFFF || m.faces.size() > 0xFFFF)
    throw std::invalid_argument("3DS: mesh '" + m.name + "' has more than 65535 vertices or faces");
  for (const auto& f : m.faces)
    for (std::uint16_t i : f)
      if (i >= m.vertices.size()) throw std::invalid_argument("3DS: face index out of range in '" + m.name + "'");
  if (!m.mapping.empty() && m.mapping.size() != m.vertices.size())
    throw std::invalid_argument("3DS: mapping count differs from the vertex count in '" + m.name + "'");
  if (m.material < 0 || static_cast<std::size_t>(m.material) >= scene.materials.size())
    throw std::invalid_argument("3DS: material index out of range in '" + m.name + "'");
}

void write_mesh(ChunkWriter& w, const TdsScene& scene, const TdsMesh& m) {
  w.begin(kNamedObject);
  w.name(m.name);
  w.begin(kTriangleMesh);
  w.begin(kPoints);
  w.u16(static_cast<std::uint16_t>(m.vertices.size()));
  for (const Vec3& v : m.vertices) w.point(v);
  w.end();
  // Mapping coordinates go before the faces: readers copy them into the faces as they read.
  if (!m.mapping.empty()) {
    w.begin(kMapping);
    w.u16(static_cast<std::uint16_t>(m.mapping.size()));
    for (const auto& uv : m.mapping) {
      w.f32(uv[0]);
      w.f32(uv[1]);
    }
    w.end();
  }
  w.begin(kMeshMatrix);  // identity: vertices are stored in world space
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 3; ++col) w.f32(row == col ? 1.0f : 0.0f);
  w.end();
  w.begin(kFaces);
  w.u16(static_cast<std::uint16_t>(m.faces.size()));
  for (const auto& f : m.faces) {
    w.u16(f[0]);
    w.u16(f[1]);
    w.u16(f[2]);
    w.u16(0x0007);  // all three edges visible
  }
  if (!m.faces.empty()) {
    w.begin(kFaceMaterial);
    w.name(scene.materials[static_cast<std::size_t>(m.material)].name);
    w.u16(static_cast<std::uint16_t>(m.faces.size()));
    for (std::size_t i = 0; i < m.faces.size(); ++i) w.u16(static_cast<std::uint16_t>(i));
    w.end();
  }
  w.end();  // faces
  w.end();  // triangle mesh
  w.end();  // named object
}

void write_light(ChunkWriter& w, const TdsLight& l) {
  w.begin(kNamedObject);
  w.name(l.name);
  w.begin(kLight);
  w.point(l.position);
  w.begin(kColour24);
  w.bytes({255, 255, 255});
  w.end();
  if (l.spotlight) {
    w.begin(kSpotlight);
    w.point(l.target);
    w.f32(l.hotspot);
    w.f32(l.falloff);
    w.end();
  }
  w.end();
  w.end();
}

// One object node per mesh, at rest: no parent, pivot at the origin, one key each for
// position (origin), rotation (none) and scale (one). Lights get nodes too (a spotlight also one
// for its target), each with one position key, so that viewers place them in the node graph.
void write_keyframer(ChunkWriter& w, const TdsScene& scene) {
  w.begin(kKeyframer);
  w.begin(kKeyframerHeader);
  w.u16(5);
  w.name("MORVANE");
  w.u32(static_cast<std::uint32_t>(scene.frames));
  w.end();
  w.begin(kKeyframerSegment);
  w.u32(0);
  w.u32(static_cast<std::uint32_t>(scene.frames));
  w.end();
  w.begin(kKeyframerTime);
  w.u32(0);
  w.end();
  auto track_header = [&] {
    w.u16(0);  // flags: single play
    w.u32(0);
    w.u32(0);
    w.u32(1);  // one key
  };
  auto key_header = [&] {
    w.u32(0);  // frame
    w.u16(0);  // no spline parameters
  };
  for (std::size_t i = 0; i < scene.meshes.size(); ++i) {
    w.begin(kObjectNode);
    w.begin(kNodeId);
    w.u16(static_cast<std::uint16_t>(i));
    w.end();
    w.begin(kNodeHeader);
    w.name(scene.meshes[i].name);
    w.u16(0);
    w.u16(0);
    w.u16(0xFFFF);  // no parent
    w.end();
    w.begin(kPivot);
    w.point({0, 0, 0});
    w.end();
    w.begin(kPositionTrack);
    track_header();
    key_header();
    w.point({0, 0, 0});
    w.end();
    w.begin(kRotationTrack);
    track_header();
    key_header();
    w.f32(0.0f);  // angle, then axis
    w.f32(0.0f);
    w.f32(0.0f);
    w.f32(1.0f);
    w.end();
    w.begin(kScaleTrack);
    track_header();
    key_header();
    w.f32(1.0f);
    w.f32(1.0f);
    w.f32(1.0f);
    w.end();
    w.end();
  }
  std::uint16_t id = static_cast<std::uint16_t>(scene.meshes.size());
  auto light_node = [&](std::uint16_t tag, const std::string& name, Vec3 position) {
    w.begin(tag);
    w.begin(kNodeId);
    w.u16(id++);
    w.end();
    w.begin(kNodeHeader);
    w.name(name);
    w.u16(0);
    w.u16(0);
    w.u16(0xFFFF);
    w.end();
    w.begin(kPositionTrack);
    track_header();
    key_header();
    w.point(position);
    w.end();
    w.end();
  };
  for (const TdsLight& l : scene.lights) {
    light_node(l.spotlight ? kSpotlightNode : kLightNode, l.name, l.position);
    if (l.spotlight) light_node(kLightTargetNode, l.name, l.target);
  }
  w.end();
}

}  // namespace

std::vector<std::uint8_t> write_3ds(const TdsScene& scene) {
  for (const TdsMaterial& m : scene.materials) check_name(m.name);
  for (const TdsMesh& m : scene.meshes) check_mesh(scene, m);
  for (const TdsLight& l : scene.lights) check_name(l.name);
  if (scene.meshes.size() > 0xFFFF) throw std::invalid_argument("3DS: too many meshes");

  ChunkWriter w;
  w.begin(kMain);
  w.begin(kVersion);
  w.u32(3);
  w.end();
  w.begin(kEditor);
  w.begin(kMeshVersion);
  w.u32(3);
  w.end();
  for (const TdsMaterial& m : scene.materials) {
    w.begin(kMaterial);
    w.begin(kMaterialName);
    w.name(m.name);
    w.end();
    for (std::uint16_t id : {kMaterialAmbient, kMaterialDiffuse}) {
      w.begin(id);
      w.begin(kColour24);
      w.bytes({m.diffuse[0], m.diffuse[1], m.diffuse[2]});
      w.end();
      w.end();
    }
    w.end();
  }
  w.begin(kMasterScale);
  w.f32(1.0f);
  w.end();
  for (const TdsMesh& m : scene.meshes) write_mesh(w, scene, m);
  for (const TdsLight& l : scene.lights) write_light(w, l);
  w.end();  // editor
  write_keyframer(w, scene);
  w.end();  // main
  return w.take();
}

}  // namespace morvane::standin
