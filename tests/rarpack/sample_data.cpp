#include "tests/rarpack/sample_data.h"

#include <cmath>
#include <random>
#include <string_view>

namespace morvane::test {

Bytes random_bytes(std::size_t size, std::uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes b(size);
  for (auto& x : b) x = static_cast<std::uint8_t>(rng());
  return b;
}

Bytes word_text(std::size_t size, std::uint32_t seed) {
  static constexpr std::string_view kWords[] = {"the",    "archive", "window", "of",     "and",  "table",
                                                "packer", "match",   "to",     "length", "code", "distance",
                                                "in",     "a",       "huffman", "block"};
  std::mt19937 rng(seed);
  Bytes b;
  b.reserve(size + 16);
  while (b.size() < size) {
    const std::string_view w = kWords[rng() % 16];
    b.insert(b.end(), w.begin(), w.end());
    b.push_back(rng() % 11 == 0 ? '\n' : ' ');
  }
  b.resize(size);
  return b;
}

Bytes records(std::size_t size, std::uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes b;
  for (std::uint32_t n = 0; b.size() < size; ++n) {
    const std::uint8_t rec[12] = {'R', 'E', 'C', static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                                  0,   0,   0,   static_cast<std::uint8_t>(rng() % 4), 0xFF, 0xFF, '\n'};
    b.insert(b.end(), std::begin(rec), std::end(rec));
  }
  b.resize(size);
  return b;
}

Bytes waves(std::size_t size, int channels, std::uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes b(size);
  for (std::size_t i = 0; i < size; ++i) {
    const int c = static_cast<int>(i % static_cast<std::size_t>(channels));
    const double t = static_cast<double>(i / static_cast<std::size_t>(channels));
    const double v = 128 + 90 * std::sin(t * 0.011 * (c + 1) + c) + static_cast<double>(rng() % 3);
    b[i] = static_cast<std::uint8_t>(static_cast<int>(v));
  }
  return b;
}

Bytes mixture(std::size_t size, std::uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes b;
  while (b.size() < size) {
    const std::size_t n = 100 + rng() % 3000;
    Bytes part;
    switch (rng() % 6) {
      case 0: part = word_text(n, rng()); break;
      case 1: part = waves(n * 2, 1 + static_cast<int>(rng() % 4), rng()); break;
      case 2: part = random_bytes(n / 4, rng()); break;
      case 3: part.assign(n, static_cast<std::uint8_t>(rng())); break;
      case 4: part = records(n, rng()); break;
      case 5:
        if (!b.empty()) {
          const std::size_t from = rng() % b.size();
          part.assign(b.begin() + static_cast<std::ptrdiff_t>(from),
                      b.begin() + static_cast<std::ptrdiff_t>(std::min(b.size(), from + n)));
        }
        break;
    }
    b.insert(b.end(), part.begin(), part.end());
  }
  b.resize(size);
  return b;
}

}  // namespace morvane::test
