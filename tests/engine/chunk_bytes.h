#pragma once
// Builds 3DS chunk bytes for the loader tests: a chunk is its id, its length (header included)
// and its payload, which may hold further chunks.
#include <bit>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace morvane::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

inline Bytes u16(std::uint16_t v) { return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)}; }

inline Bytes u32(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
          static_cast<std::uint8_t>(v >> 24)};
}

inline Bytes f32(float v) { return u32(std::bit_cast<std::uint32_t>(v)); }

inline Bytes floats(std::initializer_list<float> values) {
  Bytes out;
  for (float v : values) {
    const Bytes b = f32(v);
    out.insert(out.end(), b.begin(), b.end());
  }
  return out;
}

inline Bytes name(std::string_view text) {
  Bytes out(text.begin(), text.end());
  out.push_back(0);
  return out;
}

inline Bytes chunk(std::uint16_t id, const Bytes& payload) {
  return cat({u16(id), u32(static_cast<std::uint32_t>(payload.size() + 6)), payload});
}

inline Bytes chunk(std::uint16_t id, std::initializer_list<Bytes> parts) { return chunk(id, cat(parts)); }

// Main chunk with an editor section around the given chunks.
inline Bytes scene_file(std::initializer_list<Bytes> editor) {
  return chunk(0x4D4D, {chunk(0x3D3D, cat(editor))});
}

struct V {
  float x, y, z;
};

inline Bytes vertex_list(std::initializer_list<V> vertices) {
  Bytes out = u16(static_cast<std::uint16_t>(vertices.size()));
  for (const V& v : vertices) out = cat({out, floats({v.x, v.y, v.z})});
  return chunk(0x4110, out);
}

struct Tri {
  std::uint16_t a, b, c;
};

// Face list, then its sub-chunks (face materials).
inline Bytes face_list(std::initializer_list<Tri> faces, std::initializer_list<Bytes> sub = {}) {
  Bytes out = u16(static_cast<std::uint16_t>(faces.size()));
  for (const Tri& f : faces) out = cat({out, u16(f.a), u16(f.b), u16(f.c), u16(7)});
  return chunk(0x4120, cat({out, cat(sub)}));
}

inline Bytes face_material(std::string_view material, std::initializer_list<std::uint16_t> faces) {
  Bytes out = cat({name(material), u16(static_cast<std::uint16_t>(faces.size()))});
  for (std::uint16_t f : faces) out = cat({out, u16(f)});
  return chunk(0x4130, out);
}

struct UV {
  float u, v;
};

inline Bytes mapping(std::initializer_list<UV> coords) {
  Bytes out = u16(static_cast<std::uint16_t>(coords.size()));
  for (const UV& c : coords) out = cat({out, floats({c.u, c.v})});
  return chunk(0x4140, out);
}

inline Bytes mesh_object(std::string_view object, std::initializer_list<Bytes> mesh_chunks) {
  return chunk(0x4000, {name(object), chunk(0x4100, cat(mesh_chunks))});
}

// A one-triangle mesh.
inline Bytes triangle_object(std::string_view object) {
  return mesh_object(object, {vertex_list({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), face_list({{0, 1, 2}})});
}

inline Bytes camera_object(std::string_view object, V position, V target, float roll, float lens) {
  return chunk(0x4000, {name(object), chunk(0x4700, floats({position.x, position.y, position.z, target.x,
                                                             target.y, target.z, roll, lens}))});
}

inline Bytes light_object(std::string_view object, V position, std::initializer_list<Bytes> sub = {}) {
  return chunk(0x4000, {name(object), chunk(0x4600, cat({floats({position.x, position.y, position.z}), cat(sub)}))});
}

}  // namespace morvane::test
