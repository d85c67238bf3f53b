#include "tests/platform_sound/z_song.h"

#include <unistd.h>

#include <atomic>
#include <fstream>

#include "platform/xm_z_scanner.h"
#include "tests/platform_sound/test_xm_builder.h"

namespace morvane::test {

std::vector<std::uint8_t> z_song(bool with_instrument) {
  TestModule m;
  m.channels = 2;
  m.speed = 3;
  m.bpm = 125;
  m.orders = {0, 1, 2};
  m.patterns = {empty_pattern(8, 2), empty_pattern(8, 2), empty_pattern(4, 2)};
  m.with_instrument = with_instrument;
  auto cell = [&](int pattern, int row, int channel) -> TestCell& {
    return m.patterns[static_cast<std::size_t>(pattern)].cells[static_cast<std::size_t>(row * 2 + channel)];
  };
  if (with_instrument) {
    cell(0, 0, 1) = {49, 1, 0, 0, 0};
    cell(1, 2, 1) = {53, 1, 0, 0, 0};
  }
  cell(0, 0, 0) = {0, 0, 0, kXmEffectZ, 1};
  cell(0, 5, 1) = {0, 0, 0, kXmEffectZ, 2};
  cell(1, 0, 0) = {0, 0, 0, kXmEffectZ, 3};
  cell(1, 0, 1) = {0, 0, 0, kXmEffectZ, 4};
  cell(1, 7, 0) = {0, 0, 0, kXmEffectZ, 5};
  cell(2, 3, 1) = {0, 0, 0, kXmEffectZ, 6};
  return build_xm(m);
}

int z_song_order(int song_row) { return song_row < 8 ? 0 : song_row < 16 ? 1 : 2; }

TempFile::TempFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  static std::atomic<int> counter{0};
  dir_ = std::filesystem::temp_directory_path() /
         ("morvane-sound-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(dir_);
  const std::filesystem::path path = dir_ / name;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
  path_string_ = path.string();
}

TempFile::~TempFile() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

}  // namespace morvane::test
