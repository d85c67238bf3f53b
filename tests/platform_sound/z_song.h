#pragma once
// The short module the sound layer tests play: 3 orders of 8, 8 and 4 rows, two channels,
// speed 3 at 125 BPM (2646 frames a row at 44100 Hz, 1.2 s in all), with six Zxx commands:
//   order 0 row 0 ch 0: 1     order 0 row 5 ch 1: 2
//   order 1 row 0 ch 0: 3, ch 1: 4 (same row, channel order)
//   order 1 row 7 ch 0: 5     order 2 row 3 ch 1: 6 (the song's last row)
// Modules are written by the composer's XM writer; tests damage the bytes afterwards.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/compose/xm_module.h"

namespace morvane::test {

inline constexpr int kZSongRate = 44100;
inline constexpr int kZSongRowFrames = 2646;
inline constexpr std::int64_t kZSongFrames = std::int64_t{20} * kZSongRowFrames;
inline constexpr int kZSongMs = 1200;

struct ZSongEvent {
  int song_row;  // rows from the start of the song
  std::uint8_t value;
};
inline const std::vector<ZSongEvent> kZSongEvents = {{0, 1}, {5, 2}, {8, 3}, {8, 4}, {15, 5}, {19, 6}};
inline int z_song_order(int song_row) { return song_row < 8 ? 0 : song_row < 16 ? 1 : 2; }

// Empty patterns of these row counts played once each in turn, speed 3 at 125 BPM; with an
// instrument, a looped square wave so that rendered audio is not silent.
xm::Module plain_module(const std::vector<int>& pattern_rows, int channels, bool with_instrument);
std::vector<std::uint8_t> z_song(bool with_instrument = true);

// A file in a fresh directory of its own, removed with the object.
class TempFile {
 public:
  TempFile(const std::string& name, const std::vector<std::uint8_t>& bytes);
  ~TempFile() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const char* path() const { return path_.c_str(); }

 private:
  std::filesystem::path dir_;
  std::string path_;
};

}  // namespace morvane::test
