#include "tools/capture/wav_writer.h"

#include <fstream>
#include <stdexcept>
#include <vector>

namespace morvane::capture {
namespace {

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

}  // namespace

void write_wav(const std::filesystem::path& file, int sample_rate, int channels,
               std::span<const std::int16_t> samples) {
  const auto data_bytes = static_cast<std::uint32_t>(samples.size() * 2);
  std::vector<std::uint8_t> header;
  header.insert(header.end(), {'R', 'I', 'F', 'F'});
  put32(header, 36 + data_bytes);
  header.insert(header.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put32(header, 16);
  put16(header, 1);  // PCM
  put16(header, static_cast<std::uint32_t>(channels));
  put32(header, static_cast<std::uint32_t>(sample_rate));
  put32(header, static_cast<std::uint32_t>(sample_rate * channels * 2));
  put16(header, static_cast<std::uint32_t>(channels * 2));
  put16(header, 16);
  header.insert(header.end(), {'d', 'a', 't', 'a'});
  put32(header, data_bytes);

  std::vector<std::uint8_t> body;
  body.reserve(samples.size() * 2);
  for (std::int16_t s : samples) put16(body, static_cast<std::uint16_t>(s));

  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
  out.write(reinterpret_cast<const char*>(body.data()), static_cast<std::streamsize>(body.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace morvane::capture
