#pragma once
// Writes 3D Studio mesh files: the editor section with a material library, named triangle
// meshes (points, mapping coordinates, mesh matrix, faces with material groups) and lights, and
// a keyframer section with one node per mesh.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/standin/vec3.h"

namespace morvane::standin {

struct TdsMaterial {
  std::string name;
  std::array<std::uint8_t, 3> diffuse{};  // for viewers; the show takes colours from the name
};

struct TdsMesh {
  std::string name;
  std::vector<Vec3> vertices;  // engine axes (y up); written with y and z exchanged (file: z up)
  std::vector<std::array<std::uint16_t, 3>> faces;
  std::vector<std::array<float, 2>> mapping;  // empty, or one (u, v) per vertex
  int material = 0;                           // index into the scene's materials; every face uses it
};

struct TdsLight {
  std::string name;
  Vec3 position;
  bool spotlight = false;
  Vec3 target;
  float hotspot = 0, falloff = 0;
};

struct TdsScene {
  std::vector<TdsMaterial> materials;
  std::vector<TdsMesh> meshes;
  std::vector<TdsLight> lights;
  int frames = 100;
};

// Throws std::invalid_argument for data the format cannot hold: more than 65535 vertices or
// faces in a mesh, a face index out of range, a mapping count different from the vertex count,
// a material index out of range, or an empty or over-long (more than 10 characters) name.
std::vector<std::uint8_t> write_3ds(const TdsScene& scene);

}  // namespace morvane::standin
