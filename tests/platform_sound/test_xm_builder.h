#pragma once
// A tiny XM 1.04 writer for tests: patterns of explicit cells, optionally one instrument with
// a short looped square wave so that the rendered audio is not silent.
#include <cstdint>
#include <vector>

namespace morvane::test {

struct TestCell {
  std::uint8_t note = 0;  // 1..96, 97 = key off
  std::uint8_t instrument = 0;
  std::uint8_t volume = 0;
  std::uint8_t effect = 0;
  std::uint8_t parameter = 0;
};

struct TestPattern {
  int rows = 0;
  std::vector<TestCell> cells;  // rows x channels, row by row
};

struct TestModule {
  int channels = 2;
  int speed = 3;
  int bpm = 125;
  int restart = 0;
  std::vector<std::uint8_t> orders;
  std::vector<TestPattern> patterns;
  bool with_instrument = false;
  // Writes every non-empty cell as a note byte followed by all four fields (no mask byte).
  bool unpacked_cells = false;
};

// An empty pattern of `rows` rows for `channels` channels.
TestPattern empty_pattern(int rows, int channels);
std::vector<std::uint8_t> build_xm(const TestModule& module);

}  // namespace morvane::test
