#include "tools/standin/scene_preview.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "tools/standin/flight_camera.h"
#include "tools/standin/rng.h"
#include "tools/standin/shapes.h"

namespace morvane::standin {

namespace {

Rgb face_colour(std::string_view material, int mesh, int face) {
  const std::string_view word = material.size() > 2 ? material.substr(2) : std::string_view{};
  const float r1 = hash_unit(mesh, face, 1u), r2 = hash_unit(mesh, face, 2u);
  if (word == "RANDBLUE") return {0.0f, r1, r2};
  if (word == "RANDRED") return {r1, r2, 0.0f};
  if (word == "BLUE") return {0, 0, 1};
  if (word == "YELLOW" || word == "RANDYELLOW") return {1, 1, 0};
  if (word == "RED") return {1, 0, 0};
  if (word == "WHITE") return {1, 1, 1};
  return {0.5f, 0.5f, 0.5f};
}

void fill_triangle(RgbImage& img, Vec2 a, Vec2 b, Vec2 c, Rgb colour) {
  const float area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
  if (area == 0.0f) return;
  const int x0 = std::max(0, static_cast<int>(std::floor(std::min({a.x, b.x, c.x}))));
  const int x1 = std::min(img.width() - 1, static_cast<int>(std::ceil(std::max({a.x, b.x, c.x}))));
  const int y0 = std::max(0, static_cast<int>(std::floor(std::min({a.y, b.y, c.y}))));
  const int y1 = std::min(img.height() - 1, static_cast<int>(std::ceil(std::max({a.y, b.y, c.y}))));
  const float sign = area > 0 ? 1.0f : -1.0f;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const Vec2 p{x + 0.5f, y + 0.5f};
      const float w0 = ((b.x - p.x) * (c.y - p.y) - (b.y - p.y) * (c.x - p.x)) * sign;
      const float w1 = ((c.x - p.x) * (a.y - p.y) - (c.y - p.y) * (a.x - p.x)) * sign;
      const float w2 = ((a.x - p.x) * (b.y - p.y) - (a.y - p.y) * (b.x - p.x)) * sign;
      if (w0 >= 0 && w1 >= 0 && w2 >= 0) img.at(x, y) = colour;
    }
}

}  // namespace

RgbImage render_flight_frame(const TdsScene& scene, float t) {
  RgbImage trail(320, 200, Rgb{1, 1, 1});
  constexpr int kTrailFrames = 40;
  for (int k = kTrailFrames; k >= 0; --k) {
    const View view(flight_camera(std::max(0.0f, t - static_cast<float>(k))));
    RgbImage frame(320, 200);
    for (std::size_t m = 0; m < scene.meshes.size(); ++m) {
      const TdsMesh& mesh = scene.meshes[m];
      const std::string& material = scene.materials[static_cast<std::size_t>(mesh.material)].name;
      for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
        Vec2 corners[3];
        bool in_front = true;
        for (int i = 0; i < 3; ++i) {
          const Vec3 v = mesh.vertices[mesh.faces[f][static_cast<std::size_t>(i)]];
          if (view.depth(v) <= 1.0f) {
            in_front = false;
            break;
          }
          corners[i] = {160.0f + view.screen_x(v), 100.0f - view.screen_y(v)};
        }
        if (in_front)
          fill_triangle(frame, corners[0], corners[1], corners[2],
                        face_colour(material, static_cast<int>(m), static_cast<int>(f)));
      }
    }
    for (std::size_t i = 0; i < frame.cells().size(); ++i)
      trail.cells()[i] = (trail.cells()[i] + frame.cells()[i]) * 0.5f;
  }
  return trail;
}

}  // namespace morvane::standin
