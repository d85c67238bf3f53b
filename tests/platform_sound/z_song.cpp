#include "tests/platform_sound/z_song.h"

#include <unistd.h>

#include <atomic>
#include <fstream>

#include "tools/compose/xm_writer.h"

namespace morvane::test {

xm::Module plain_module(const std::vector<int>& pattern_rows, int channels, bool with_instrument) {
  xm::Module m;
  m.channels = channels;
  m.speed = 3;
  for (int rows : pattern_rows) {
    m.orders.push_back(static_cast<std::uint8_t>(m.patterns.size()));
    m.patterns.emplace_back(rows, channels);
  }
  if (with_instrument) {
    xm::Sample square;
    for (int i = 0; i < 32; ++i) square.pcm8.push_back(static_cast<std::int8_t>(i < 16 ? 60 : -60));
    square.loop = xm::LoopType::kForward;
    square.loop_length = 32;
    square.volume = 48;
    m.instruments.emplace_back().samples = {square};
  }
  return m;
}

std::vector<std::uint8_t> z_song(bool with_instrument) {
  xm::Module m = plain_module({8, 8, 4}, 2, with_instrument);
  auto z = [&](int pattern, int row, int channel, std::uint8_t value) {
    m.patterns[static_cast<std::size_t>(pattern)].at(row, channel) = {0, 0, 0, xm::kEffectZ, value};
  };
  z(0, 0, 0, 1);
  z(0, 5, 1, 2);
  z(1, 0, 0, 3);
  z(1, 0, 1, 4);
  z(1, 7, 0, 5);
  z(2, 3, 1, 6);
  if (with_instrument) {
    m.patterns[0].at(0, 1) = {49, 1, 0, 0, 0};
    m.patterns[1].at(2, 1) = {53, 1, 0, 0, 0};
  }
  return xm::write_module(m);
}

TempFile::TempFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  static std::atomic<int> counter{0};
  dir_ = std::filesystem::temp_directory_path() /
         ("morvane-sound-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(dir_);
  path_ = (dir_ / name).string();
  std::ofstream(path_, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace morvane::test
