// morvane-listen MODULE [OUT.wav]: renders a module with libopenmpt, prints its level order by
// order and, when asked, writes the audio for a human to hear.
#include <cmath>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <vector>

#include "tools/compose/module_render.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: morvane-listen MODULE [OUT.wav]\n");
    return 2;
  }
  try {
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    constexpr int kRate = 44100;
    const auto report = morvane::compose::render_module(bytes, kRate, argc == 3);
    std::printf("order  seconds  rms dBFS  peak dBFS  quietest 100 ms\n");
    for (const auto& o : report.orders) {
      std::printf("%5d  %7.2f  %8.1f  %9.1f  %8.1f\n", o.order, o.seconds, o.rms_db,
                  o.peak > 0 ? 20.0 * std::log10(o.peak) : -200.0, o.quietest_window_db);
    }
    std::printf("length %.2f s, peak %.3f, left %.1f dB, right %.1f dB\n", report.seconds, report.peak,
                report.left_rms_db, report.right_rms_db);
    if (argc == 3) morvane::compose::write_wav(argv[2], report.stereo, kRate);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "morvane-listen: %s\n", e.what());
    return 1;
  }
  return 0;
}
