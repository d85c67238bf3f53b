#pragma once
// The short module the sound layer tests play: 3 orders of 8, 8 and 4 rows, two channels,
// speed 3 at 125 BPM (2646 frames a row at 44100 Hz, 1.2 s in all), with six Zxx commands:
//   order 0 row 0 ch 0: 1     order 0 row 5 ch 1: 2
//   order 1 row 0 ch 0: 3, ch 1: 4 (same row, channel order)
//   order 1 row 7 ch 0: 5     order 2 row 3 ch 1: 6 (the song's last row)
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace morvane::test {

inline constexpr int kZSongRate = 44100;
inline constexpr int kZSongRowFrames = 2646;
inline constexpr int kZSongRows = 20;
inline constexpr std::int64_t kZSongFrames = std::int64_t{kZSongRows} * kZSongRowFrames;
inline constexpr int kZSongMs = 1200;
inline constexpr int kZSongLastOrder = 2;

struct ZSongEvent {
  int song_row;  // rows from the start of the song
  std::uint8_t value;
};
inline const std::vector<ZSongEvent> kZSongEvents = {{0, 1}, {5, 2}, {8, 3}, {8, 4}, {15, 5}, {19, 6}};

std::vector<std::uint8_t> z_song(bool with_instrument = true);
// The order playing at a row of the song.
int z_song_order(int song_row);

// A file in a fresh directory of its own, removed with the object.
class TempFile {
 public:
  TempFile(const std::string& name, const std::vector<std::uint8_t>& bytes);
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const char* path() const { return path_string_.c_str(); }

 private:
  std::filesystem::path dir_;
  std::string path_string_;
};

}  // namespace morvane::test
