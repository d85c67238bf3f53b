#include "tools/standin/flight_scene.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>

#include "tools/standin/flight_camera.h"
#include "tools/standin/painter_order.h"
#include "tools/standin/rng.h"

namespace morvane::standin {

namespace {

constexpr float kPi = 3.14159265f;

// The show colours faces by the words after the first two characters of the material name.
enum Material { kCrystal, kRingA, kRingB, kRingC, kMoons };
const std::vector<TdsMaterial> kMaterials = {
    {"F_RANDBLUE", {0, 160, 200}}, {"F_WHITE", {255, 255, 255}}, {"F_YELLOW", {255, 255, 0}},
    {"F_BLUE", {0, 0, 255}},       {"F_RANDRED", {200, 120, 0}},
};

using Face = std::array<std::uint16_t, 3>;

void add_face(TdsMesh& m, int a, int b, int c) {
  m.faces.push_back({static_cast<std::uint16_t>(a), static_cast<std::uint16_t>(b), static_cast<std::uint16_t>(c)});
}

// Spherical mapping around the mesh's own centre.
void map_spherically(TdsMesh& m, Vec3 centre) {
  for (const Vec3& v : m.vertices) {
    const Vec3 d = normalise(v - centre);
    m.mapping.push_back({0.5f + std::atan2(d.z, d.x) / (2.0f * kPi), std::acos(std::clamp(d.y, -1.0f, 1.0f)) / kPi});
  }
}

std::array<Vec3, 12> icosahedron_directions() {
  const float p = (1.0f + std::sqrt(5.0f)) * 0.5f;
  std::array<Vec3, 12> v = {{{-1, p, 0}, {1, p, 0}, {-1, -p, 0}, {1, -p, 0},
                             {0, -1, p}, {0, 1, p}, {0, -1, -p}, {0, 1, -p},
                             {p, 0, -1}, {p, 0, 1}, {-p, 0, -1}, {-p, 0, 1}}};
  for (Vec3& d : v) d = normalise(d);
  return v;
}

constexpr std::array<std::array<int, 3>, 20> kIcosahedronFaces = {{
    {0, 11, 5}, {0, 5, 1}, {0, 1, 7}, {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
    {11, 10, 2}, {10, 7, 6}, {7, 1, 8}, {3, 9, 4}, {3, 4, 2}, {3, 2, 6}, {3, 6, 8},
    {3, 8, 9}, {4, 9, 5}, {2, 4, 11}, {6, 2, 10}, {8, 6, 7}, {9, 8, 1}}};

// An icosahedron with a three-sided spike on every face.
TdsMesh crystal() {
  TdsMesh m{"Crystal", {}, {}, {}, kCrystal};
  const auto dirs = icosahedron_directions();
  for (const Vec3& d : dirs) m.vertices.push_back(d * 72.0f);
  for (const auto& f : kIcosahedronFaces) {
    const Vec3 centre = normalise(dirs[f[0]] + dirs[f[1]] + dirs[f[2]]);
    const int apex = static_cast<int>(m.vertices.size());
    m.vertices.push_back(centre * 122.0f);
    add_face(m, f[0], f[1], apex);
    add_face(m, f[1], f[2], apex);
    add_face(m, f[2], f[0], apex);
  }
  map_spherically(m, {0, 0, 0});
  return m;
}

// A block: centre, three axes with half extents.
TdsMesh block(const std::string& name, Vec3 c, Vec3 ax, Vec3 ay, Vec3 az, int material) {
  TdsMesh m{name, {}, {}, {}, material};
  for (int k = 0; k < 8; ++k)
    m.vertices.push_back(c + ax * ((k & 1) ? 1.0f : -1.0f) + ay * ((k & 2) ? 1.0f : -1.0f) + az * ((k & 4) ? 1.0f : -1.0f));
  static constexpr int quads[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
  for (const auto& q : quads) {
    add_face(m, q[0], q[1], q[2]);
    add_face(m, q[0], q[2], q[3]);
  }
  return m;
}

// Rotation of a vector about the x axis, then about the z axis, then about the y axis.
Vec3 tilt(Vec3 v, float about_x, float about_z, float about_y) {
  Vec3 a{v.x, v.y * std::cos(about_x) - v.z * std::sin(about_x), v.y * std::sin(about_x) + v.z * std::cos(about_x)};
  Vec3 b{a.x * std::cos(about_z) - a.y * std::sin(about_z), a.x * std::sin(about_z) + a.y * std::cos(about_z), a.z};
  return {b.x * std::cos(about_y) + b.z * std::sin(about_y), b.y, -b.x * std::sin(about_y) + b.z * std::cos(about_y)};
}

struct RingSpec {
  char letter;
  int segments;
  float radius, length, thickness, height;
  float about_x, about_z, about_y;
  int material;
};

void add_ring(std::vector<TdsMesh>& meshes, const RingSpec& r) {
  for (int k = 0; k < r.segments; ++k) {
    const float a = 2.0f * kPi * static_cast<float>(k) / static_cast<float>(r.segments);
    const Vec3 radial{std::cos(a), 0, std::sin(a)};
    const Vec3 tangent{-std::sin(a), 0, std::cos(a)};
    const Vec3 normal{0, 1, 0};
    char name[16];
    std::snprintf(name, sizeof name, "Ring%c%02d", r.letter, k);
    auto t = [&](Vec3 v) { return tilt(v, r.about_x, r.about_z, r.about_y); };
    meshes.push_back(block(name, t(radial * r.radius), t(tangent * (r.length * 0.5f)), t(radial * (r.thickness * 0.5f)),
                           t(normal * (r.height * 0.5f)), r.material));
  }
}

TdsMesh octahedron(const std::string& name, Vec3 c, float size) {
  TdsMesh m{name, {}, {}, {}, kMoons};
  const Vec3 axes[6] = {{size, 0, 0}, {-size, 0, 0}, {0, size, 0}, {0, -size, 0}, {0, 0, size}, {0, 0, -size}};
  for (const Vec3& a : axes) m.vertices.push_back(c + a);
  static constexpr int faces[8][3] = {{0, 2, 4}, {2, 1, 4}, {1, 3, 4}, {3, 0, 4}, {2, 0, 5}, {1, 2, 5}, {3, 1, 5}, {0, 3, 5}};
  for (const auto& f : faces) add_face(m, f[0], f[1], f[2]);
  map_spherically(m, c);
  return m;
}

// A flat diamond of two triangles facing a random way.
TdsMesh shard(const std::string& name, Rng& rng) {
  const float theta = static_cast<float>(rng.uniform(0.0, 2.0 * kPi));
  const float y = static_cast<float>(rng.uniform(-0.7, 0.7));
  const float radius = static_cast<float>(rng.uniform(470.0, 540.0));
  const float ring = std::sqrt(1.0f - y * y);
  const Vec3 c = Vec3{ring * std::cos(theta), y, ring * std::sin(theta)} * radius;
  const Vec3 a = normalise(Vec3{static_cast<float>(rng.uniform(-1, 1)), static_cast<float>(rng.uniform(-1, 1)),
                                static_cast<float>(rng.uniform(-1, 1))});
  const Vec3 b = normalise(cross(a, normalise(c)));
  TdsMesh m{name, {c + a * 34.0f, c + b * 11.0f, c - a * 34.0f, c - b * 11.0f}, {}, {}, kCrystal};
  add_face(m, 0, 1, 2);
  add_face(m, 0, 2, 3);
  return m;
}

// ---- drawing order ---------------------------------------------------------------------------

struct Blob {
  Vec3 centre;
  float radius;
};

Blob bounds_of(const std::vector<Vec3>& points) {
  Vec3 c{};
  for (const Vec3& p : points) c = c + p;
  c = c * (1.0f / static_cast<float>(points.size()));
  float r = 0;
  for (const Vec3& p : points) r = std::max(r, length(p - c));
  return {c, r};
}

// For every sampled view, two things whose screen discs overlap vote for the farther one to be
// drawn first, weighted by how much they overlap.
PainterVotes vote(const std::vector<Blob>& blobs) {
  PainterVotes votes(static_cast<int>(blobs.size()));
  struct OnScreen {
    float x, y, r, depth;
    bool seen;
  };
  std::vector<OnScreen> s(blobs.size());
  for (float t = 0.0f; t < kFlightTicks; t += 5.0f) {
    const View view(flight_camera(t));
    for (std::size_t i = 0; i < blobs.size(); ++i) {
      const float z = view.depth(blobs[i].centre);
      s[i].seen = z > blobs[i].radius + 1.0f;
      if (!s[i].seen) continue;
      s[i] = {view.screen_x(blobs[i].centre), view.screen_y(blobs[i].centre), View::kScaleX * blobs[i].radius / z, z, true};
      s[i].seen = std::fabs(s[i].x) < 160.0f + s[i].r && std::fabs(s[i].y) < 100.0f + s[i].r;
    }
    for (std::size_t i = 0; i < blobs.size(); ++i) {
      if (!s[i].seen) continue;
      for (std::size_t j = i + 1; j < blobs.size(); ++j) {
        if (!s[j].seen) continue;
        const float d = std::hypot(s[i].x - s[j].x, s[i].y - s[j].y);
        const float overlap = std::min(s[i].r + s[j].r - d, 2.0f * std::min(s[i].r, s[j].r));
        if (overlap <= 0) continue;
        if (s[i].depth > s[j].depth) votes.vote(static_cast<int>(i), static_cast<int>(j), overlap);
        else votes.vote(static_cast<int>(j), static_cast<int>(i), overlap);
      }
    }
  }
  return votes;
}

void order_faces(TdsMesh& m) {
  std::vector<Blob> blobs;
  for (const Face& f : m.faces) blobs.push_back(bounds_of({m.vertices[f[0]], m.vertices[f[1]], m.vertices[f[2]]}));
  const std::vector<int> order = vote(blobs).order();
  std::vector<Face> faces;
  for (int i : order) faces.push_back(m.faces[static_cast<std::size_t>(i)]);
  m.faces = std::move(faces);
}

}  // namespace

TdsScene flight_scene() {
  TdsScene scene;
  scene.materials = kMaterials;
  std::vector<TdsMesh>& meshes = scene.meshes;
  meshes.push_back(crystal());
  add_ring(meshes, {'A', 18, 190.0f, 50.0f, 12.0f, 18.0f, 0.35f, 0.0f, 0.0f, kRingA});
  add_ring(meshes, {'B', 20, 255.0f, 56.0f, 14.0f, 10.0f, 1.15f, 0.3f, 0.0f, kRingB});
  add_ring(meshes, {'C', 24, 320.0f, 56.0f, 10.0f, 22.0f, -0.9f, -0.6f, 0.8f, kRingC});
  const auto dirs = icosahedron_directions();
  for (std::size_t k = 0; k < dirs.size(); ++k) {
    char name[16];
    std::snprintf(name, sizeof name, "Moon%02zu", k);
    meshes.push_back(octahedron(name, dirs[k] * 400.0f, 32.0f));
  }
  Rng rng(0x5EEDu);
  for (int k = 0; k < 8; ++k) {
    char name[16];
    std::snprintf(name, sizeof name, "Shard%02d", k);
    meshes.push_back(shard(name, rng));
  }

  // Faces of the random-coloured solids in the order the flight mostly sees them, then the
  // meshes themselves.
  for (TdsMesh& m : meshes)
    if (m.material == kCrystal || m.material == kMoons) order_faces(m);
  std::vector<Blob> blobs;
  for (const TdsMesh& m : meshes) blobs.push_back(bounds_of(m.vertices));
  const std::vector<int> order = vote(blobs).order();
  std::vector<TdsMesh> sorted;
  for (int i : order) sorted.push_back(std::move(meshes[static_cast<std::size_t>(i)]));
  meshes = std::move(sorted);

  scene.lights = {{"Sun", {600.0f, 800.0f, 400.0f}, false, {}, 0, 0},
                  {"Spot", {-500.0f, 600.0f, -300.0f}, true, {0, 0, 0}, 30.0f, 45.0f}};
  return scene;
}

}  // namespace morvane::standin
