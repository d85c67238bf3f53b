// Frame cost of the 3D engine: a whole scene of about 10,000 flat faces rendered into a
// 320 x 200 frame from a moving camera, single triangles of several sizes, and loading the
// largest sample scene file.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "engine/3ds/scene_loader.h"
#include "engine/camera_view.h"
#include "engine/object_preparation.h"
#include "engine/rasterizer.h"
#include "engine/render.h"
#include "engine/scene.h"

namespace morvane {
namespace {

// A torus of rings x sides quads (two faces each) with coloured faces, under one element.
void add_torus(Scene& scene, int rings, int sides, float major, float minor) {
  const int e = scene.make_object("[Element1]", kSlotElement, -1);
  const int s = scene.make_object("torus", kSlotMesh, 0);
  scene.slot(s)->parent = e;
  Mesh& mesh = *scene.mesh(scene.slot(s)->index);
  for (int r = 0; r < rings; ++r) {
    const float a = 6.2831853f * static_cast<float>(r) / static_cast<float>(rings);
    for (int k = 0; k < sides; ++k) {
      const float b = 6.2831853f * static_cast<float>(k) / static_cast<float>(sides);
      const float d = major + minor * std::cos(b);
      mesh.vertices.push_back({d * std::cos(a), minor * std::sin(b), d * std::sin(a)});
    }
  }
  mesh.transformed.resize(mesh.vertices.size());
  std::uint32_t seed = 1;
  for (int r = 0; r < rings; ++r) {
    for (int k = 0; k < sides; ++k) {
      const int v00 = r * sides + k, v01 = r * sides + (k + 1) % sides;
      const int v10 = ((r + 1) % rings) * sides + k, v11 = ((r + 1) % rings) * sides + (k + 1) % sides;
      for (const auto& tri : {std::array{v00, v10, v11}, std::array{v00, v11, v01}}) {
        Face f;
        f.a = tri[0], f.b = tri[1], f.c = tri[2];
        seed = seed * 214013u + 2531011u;
        f.red = static_cast<float>(seed >> 24);
        f.green = static_cast<float>((seed >> 16) & 0xFF);
        f.blue = 128.0f;
        mesh.faces.push_back(f);
      }
    }
  }
  scene.link_hierarchy();
}

// The flight path of the camera scene, sampled at tick t.
void place_camera(Camera& cam, float t) {
  constexpr float kDeg = 0.017453293f;
  cam.field_of_view = lens_to_field_of_view(45.0f);
  cam.roll = std::cos(t * 0.0006981317f) * 180.0f;
  cam.target = {std::cos((t * 0.48f + 120.0f) * kDeg) * 160.0f, std::sin((t * 0.42f + 240.0f) * kDeg) * 160.0f,
                std::sin((t * 0.665f + 360.0f) * kDeg) * 160.0f};
  cam.position = {std::sin(t * 0.6175f * kDeg) * 660.0f, std::sin((t * 0.712f + 120.0f) * kDeg) * 660.0f,
                  std::sin((t * 0.656f + 240.0f) * kDeg) * 660.0f};
}

void BM_RenderScene(benchmark::State& state) {
  Scene scene("Zava3z", 100, 2, 2, 2, 5);
  add_torus(scene, 100, 50, 300.0f, 120.0f);  // 10,000 faces
  init_object(scene, scene.find_object("torus", 0));
  const int cam = scene.make_camera("Ca");
  std::vector<Rgb565> frame(kFramePixels);
  scene.set_target_frame(frame);
  // How much of the frame the flight covers on average, so that the time means something.
  double covered = 0.0;
  for (int k = 0; k < 100; ++k) {
    std::fill(frame.begin(), frame.end(), Rgb565{0});
    place_camera(*scene.camera(cam), static_cast<float>(k) * 90.0f);
    render_scene(scene);
    covered += static_cast<double>(std::count_if(frame.begin(), frame.end(), [](Rgb565 p) { return p != 0; }));
  }
  state.counters["covered"] = covered / 100.0 / kFramePixels;
  float t = 0.0f;
  for (auto _ : state) {
    std::fill(frame.begin(), frame.end(), Rgb565{0});
    place_camera(*scene.camera(cam), t);
    render_scene(scene);
    benchmark::DoNotOptimize(frame.data());
    t += 7.0f;  // a frame at ~100 fps is about 0.7 ticks; larger steps vary the views more
    if (t > 9000.0f) t = 0.0f;
  }
  state.counters["faces"] = 10000;
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RenderScene)->Unit(benchmark::kMillisecond);

void BM_FillTriangle(benchmark::State& state) {
  const float size = static_cast<float>(state.range(0));
  std::vector<Rgb565> frame(kFramePixels);
  Face face;
  face.red = face.green = face.blue = 200.0f;
  TransformedVertex a, b, c;
  a.screen_x = 20.3f, a.screen_y = 10.6f;
  b.screen_x = 20.3f + size, b.screen_y = 10.6f + size * 0.3f;
  c.screen_x = 20.3f + size * 0.4f, c.screen_y = 10.6f + size * 0.6f;
  for (auto _ : state) {
    fill_triangle(std::span<Rgb565, kFramePixels>(frame.data(), kFramePixels), face, a, b, c);
    benchmark::DoNotOptimize(frame.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FillTriangle)->Arg(4)->Arg(32)->Arg(280);

void BM_Load3ds(benchmark::State& state) {
  const auto path = std::filesystem::path(MORVANE_TESTDATA_DIR) / "3ds" / "pyramob.3ds";
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (bytes.empty()) {
    state.SkipWithError("sample file missing");
    return;
  }
  for (auto _ : state) {
    Scene scene("s", 8, 2, 4, 1, 8);
    load_3ds(scene, "pyramob.3ds", [&](std::string_view) { return bytes; }, "[Element1]");
    benchmark::DoNotOptimize(scene.mesh(0));
  }
}
BENCHMARK(BM_Load3ds)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvane
