// Cost of one frame on its way to the device: present_doubled into the 640 x 480 buffer plus
// the row conversion a display does, and each converter on its own over 640-pixel rows.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <span>
#include <vector>

#include "packed_reference.h"
#include "contracts/display.h"
#include "contracts/message_boxes.h"
#include "screen/row_converters.h"
#include "screen/screen.h"

namespace morvane {
namespace {

constexpr int kRow = kDisplayWidth;

std::vector<Pixel32> varied_row(int n) {
  std::vector<Pixel32> row(static_cast<std::size_t>(n));
  std::uint32_t x = 12345;
  for (auto& p : row) {
    x = x * 1103515245u + 12345u;
    p = (x >> 8) & 0xFFFFFFu;
  }
  return row;
}

// A display that does what a device-backed one does with each frame: convert every row into a
// device-sized surface with the chosen converter.
class ConvertingDisplay final : public Display {
 public:
  ConvertingDisplay(RowConverter converter, int bytes_per_pixel)
      : converter_(converter),
        pitch_(static_cast<std::size_t>(kDisplayWidth) * bytes_per_pixel),
        surface_(pitch_ * kDisplayHeight) {}
  bool open(const std::string&, int, int, bool) override { return true; }
  void update(std::span<const Pixel32> pixels) override {
    for (int y = 0; y < kDisplayHeight; ++y) {
      converter_(pixels.data() + static_cast<std::size_t>(y) * kDisplayWidth, surface_.data() + y * pitch_,
                 kDisplayWidth);
    }
    benchmark::DoNotOptimize(surface_.data());
    benchmark::ClobberMemory();
  }
  void close() noexcept override {}

 private:
  RowConverter converter_;
  std::size_t pitch_;
  std::vector<unsigned char> surface_;
};

class NoBoxes final : public MessageBoxes {
 public:
  bool ask_yes_no(const std::string&, const std::string&) override { return false; }
  void show_error(const std::string&, const std::string&) noexcept override {}
};

void present_and_convert(benchmark::State& state, RowConverter converter, int bytes_per_pixel) {
  ConvertingDisplay display(converter, bytes_per_pixel);
  NoBoxes boxes;
  Screen screen(kDisplayWidth, kDisplayHeight, display, boxes);
  screen.open("Bench", kFrameWidth, kFrameHeight);
  std::vector<Rgb565> frame(kFramePixels);
  std::uint32_t x = 1;
  for (auto& p : frame) {
    x = x * 1103515245u + 12345u;
    p = static_cast<Rgb565>(x >> 16);
  }
  for (auto _ : state) screen.present_doubled(frame);
  state.SetItemsProcessed(state.iterations() * kDisplayWidth * kDisplayHeight);
}

void present_only(benchmark::State& state) {
  struct NullDisplay final : Display {
    bool open(const std::string&, int, int, bool) override { return true; }
    void update(std::span<const Pixel32> p) override {
      benchmark::DoNotOptimize(p.data());
      benchmark::ClobberMemory();
    }
    void close() noexcept override {}
  } display;
  NoBoxes boxes;
  Screen screen(kDisplayWidth, kDisplayHeight, display, boxes);
  screen.open("Bench", kFrameWidth, kFrameHeight);
  std::vector<Rgb565> frame(kFramePixels, 0x1234);
  for (auto _ : state) screen.present_doubled(frame);
}
BENCHMARK(present_only)->Unit(benchmark::kMicrosecond);

BENCHMARK_CAPTURE(present_and_convert, copy32, convert_copy32, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(present_and_convert, swap32, convert_swap32, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(present_and_convert, pack24, convert_pack24, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(present_and_convert, rgb565, convert_565, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(present_and_convert, rgb555, convert_555, 2)->Unit(benchmark::kMicrosecond);

void convert_row(benchmark::State& state, RowConverter converter, int bytes_per_pixel, bool reference) {
  if (reference && !bench::kPackedReference) {
    state.SkipWithError("packed reference needs x86-64");
    return;
  }
  const std::vector<Pixel32> row = varied_row(kRow);
  std::vector<unsigned char> out(static_cast<std::size_t>(kRow) * bytes_per_pixel);
  for (auto _ : state) {
    converter(row.data(), out.data(), kRow);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kRow);
}

BENCHMARK_CAPTURE(convert_row, copy32, convert_copy32, 4, false);
BENCHMARK_CAPTURE(convert_row, swap32, convert_swap32, 4, false);
BENCHMARK_CAPTURE(convert_row, pack24, convert_pack24, 3, false);
BENCHMARK_CAPTURE(convert_row, swap24, convert_swap24, 3, false);
BENCHMARK_CAPTURE(convert_row, rgb565, convert_565, 2, false);
BENCHMARK_CAPTURE(convert_row, rgb565_swapped, convert_565_swapped, 2, false);
BENCHMARK_CAPTURE(convert_row, rgb555, convert_555, 2, false);
BENCHMARK_CAPTURE(convert_row, rgb555_swapped, convert_555_swapped, 2, false);
BENCHMARK_CAPTURE(convert_row, packed_copy32, bench::packed_copy32, 4, true);
BENCHMARK_CAPTURE(convert_row, packed_pack24, bench::packed_pack24, 3, true);
BENCHMARK_CAPTURE(convert_row, packed_565, bench::packed_565, 2, true);
BENCHMARK_CAPTURE(convert_row, packed_555, bench::packed_555, 2, true);

}  // namespace
}  // namespace morvane
