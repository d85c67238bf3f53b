// Per-frame drawing cost of scene 2 (everything but the present): the flight over the stand-in
// data's 3D scene, the trail blend alone, and the picture reveal at 640 x 480.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "demo_parts/flight/flight_part.h"
#include "demo_parts/half_blend.h"
#include "engine/demo_rand.h"
#include "tools/standin/flight_scene.h"

namespace morvane {
namespace {

class NoisePictures : public PictureSource {
 public:
  void load_picture(std::string_view, std::span<std::uint8_t> pixels, std::span<std::uint8_t> palette) const override {
    std::mt19937 random(7);
    for (auto& p : pixels) p = static_cast<std::uint8_t>(random());
    for (auto& c : palette) c = static_cast<std::uint8_t>(random());
  }
};

void load(FlightPart& part) {
  reset_demo_rand();
  const std::vector<std::uint8_t> scene = standin::write_3ds(standin::flight_scene());
  part.load_from([&scene](std::string_view) { return scene; }, NoisePictures());
}

void BM_FlightFrame(benchmark::State& state) {
  FlightPart part;
  load(part);
  FlightRun run(part.assets());
  std::vector<Rgb565> frame(kFramePixels);
  const auto pixels = std::span<Rgb565, kFramePixels>(frame.data(), kFramePixels);
  run.begin(pixels);
  // A minute of flight, one frame per tick: every view the show's path passes through.
  float t = 0.0f;
  for (auto _ : state) {
    run.draw_flight_frame(t, pixels);
    benchmark::DoNotOptimize(frame.data());
    t = t >= 4200.0f ? 0.0f : t + 1.0f;
  }
}
BENCHMARK(BM_FlightFrame)->Unit(benchmark::kMicrosecond);

void BM_TrailBlend(benchmark::State& state) {
  std::vector<Rgb565> frame(kFramePixels, 0xFFFF);
  std::vector<Rgb565> render(kFramePixels, 0x1234);
  for (auto _ : state) {
    blend_trail(std::span<Rgb565, kFramePixels>(frame.data(), kFramePixels),
                std::span<const Rgb565, kFramePixels>(render.data(), kFramePixels));
    benchmark::DoNotOptimize(frame.data());
  }
}
BENCHMARK(BM_TrailBlend)->Unit(benchmark::kMicrosecond);

void BM_RevealFrame(benchmark::State& state) {
  FlightPart part;
  load(part);
  FlightRun run(part.assets());
  std::vector<Rgb565> frame(kFramePixels);
  run.flash(0.0f, std::span<Rgb565, kFramePixels>(frame.data(), kFramePixels));
  std::vector<Pixel32> display(kDisplayPixels);
  // The zoom's whole course: 255 ticks from the flash, then the still picture.
  float t = 0.0f;
  for (auto _ : state) {
    run.draw_reveal_frame(t, std::span<Pixel32, kDisplayPixels>(display.data(), kDisplayPixels));
    benchmark::DoNotOptimize(display.data());
    t = t >= 300.0f ? 0.0f : t + 0.5f;
  }
}
BENCHMARK(BM_RevealFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morvane
