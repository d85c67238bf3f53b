#pragma once
// Where extracted bytes go: a memory buffer for the player's loads, a file or a pipe for
// extraction, which writes each chunk as it is decoded instead of holding the whole entry.
#include <cstdint>
#include <span>
#include <vector>

namespace morvane {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Takes the next chunk of the entry. A sink that cannot take it throws.
  virtual void write(std::span<const std::uint8_t> chunk) = 0;
};

class VectorSink final : public ByteSink {
 public:
  explicit VectorSink(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
  void write(std::span<const std::uint8_t> chunk) override { bytes_.insert(bytes_.end(), chunk.begin(), chunk.end()); }

 private:
  std::vector<std::uint8_t>& bytes_;
};

}  // namespace morvane
