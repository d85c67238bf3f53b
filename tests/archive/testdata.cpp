#include "tests/archive/testdata.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace morvane::test {
namespace {

std::vector<std::string> split_tabs(const std::string& line) {
  std::vector<std::string> out;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, '\t')) out.push_back(field);
  return out;
}

constexpr std::uint32_t rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

constexpr std::array<std::uint32_t, 64> kRound = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5, 0xd807aa98, 0x12835b01,
    0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc,
    0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147,
    0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116, 0x1e376c08,
    0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3, 0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208,
    0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

void compress(std::array<std::uint32_t, 8>& h, const std::uint8_t* block) {
  std::uint32_t w[64];
  for (int i = 0; i < 16; ++i)
    w[i] = std::uint32_t{block[4 * i]} << 24 | std::uint32_t{block[4 * i + 1]} << 16 | std::uint32_t{block[4 * i + 2]} << 8 |
           block[4 * i + 3];
  for (int i = 16; i < 64; ++i)
    w[i] = w[i - 16] + (rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3)) + w[i - 7] +
           (rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10));
  std::array<std::uint32_t, 8> v = h;  // a b c d e f g h
  for (int i = 0; i < 64; ++i) {
    const std::uint32_t t1 = v[7] + (rotr(v[4], 6) ^ rotr(v[4], 11) ^ rotr(v[4], 25)) + ((v[4] & v[5]) ^ (~v[4] & v[6])) +
                             kRound[static_cast<std::size_t>(i)] + w[i];
    const std::uint32_t t2 = (rotr(v[0], 2) ^ rotr(v[0], 13) ^ rotr(v[0], 22)) + ((v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]));
    v = {t1 + t2, v[0], v[1], v[2], v[3] + t1, v[4], v[5], v[6]};
  }
  for (std::size_t k = 0; k < 8; ++k) h[k] += v[k];
}

}  // namespace

std::vector<Row> read_manifest(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::vector<Row> rows;
  std::string line;
  if (!std::getline(in, line)) return rows;
  const std::vector<std::string> header = split_tabs(line);
  while (std::getline(in, line)) {
    const std::vector<std::string> fields = split_tabs(line);
    Row row;
    for (std::size_t i = 0; i < header.size(); ++i) row[header[i]] = i < fields.size() ? fields[i] : "";
    if (!line.empty()) rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<std::uint8_t> read_file(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string sha256_hex(std::span<const std::uint8_t> data) {
  std::array<std::uint32_t, 8> h = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  std::size_t i = 0;
  for (; i + 64 <= data.size(); i += 64) compress(h, data.data() + i);
  std::uint8_t tail[128] = {};
  const std::size_t rest = data.size() - i, tail_size = rest < 56 ? 64 : 128;
  std::copy(data.begin() + static_cast<std::ptrdiff_t>(i), data.end(), tail);
  tail[rest] = 0x80;
  for (int k = 0; k < 8; ++k) tail[tail_size - 1 - static_cast<std::size_t>(k)] = static_cast<std::uint8_t>((data.size() * 8) >> (8 * k));
  for (std::size_t at = 0; at < tail_size; at += 64) compress(h, tail + at);
  std::string hex(65, '0');
  for (std::size_t k = 0; k < 8; ++k) std::snprintf(&hex[8 * k], 9, "%08x", h[k]);
  hex.pop_back();
  return hex;
}

TempFile::TempFile(std::span<const std::uint8_t> contents) {
  static int counter = 0;
  path_ = (std::filesystem::temp_directory_path() /
           ("morvane_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + ".rar"))
              .string();
  std::ofstream out(path_, std::ios::binary);
  out.write(reinterpret_cast<const char*>(contents.data()), static_cast<std::streamsize>(contents.size()));
  if (!out) throw std::runtime_error("cannot write " + path_);
}

TempFile::~TempFile() {
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

}  // namespace morvane::test
