#pragma once
// A cursor over a 3DS file's bytes in memory. Reads are little-endian and never pass the
// current limit (the end of the chunk being read, or of the buffer): a read that would fails,
// copies nothing and leaves the position where it was.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "engine/vector_matrix.h"

namespace morvane {

class ChunkReader {
 public:
  enum Origin { kSet = 0, kCurrent = 1, kEnd = 2 };

  explicit ChunkReader(std::span<const std::uint8_t> data)
      : data_(data), limit_(static_cast<std::int64_t>(data.size())) {}

  bool read(void* destination, std::size_t size);
  bool read_u16(std::uint16_t& value);
  bool read_u32(std::uint32_t& value);
  bool read_i32(std::int32_t& value);
  bool read_f32(float& value);
  bool read_vec3(Vec3& value);
  // Up to a 0 or 0xFF byte (consumed, not part of the name) or the limit. Keeps the first 255
  // characters of a longer name.
  std::string read_name();

  // The position may be set anywhere, also outside the buffer; reads from there fail.
  void seek(std::int64_t offset, Origin origin = kSet);
  std::int64_t tell() const { return position_; }
  std::int64_t size() const { return static_cast<std::int64_t>(data_.size()); }

  std::int64_t limit() const { return limit_; }
  // True when count records of record_size bytes fit between the position and the limit: a list
  // is checked against this before anything is allocated for it, so a count no data backs up
  // cannot make the loader claim memory.
  bool holds(std::size_t count, std::size_t record_size) const {
    const std::int64_t left = position_ >= 0 && position_ <= limit_ ? limit_ - position_ : 0;
    return count <= static_cast<std::size_t>(left) / record_size;
  }
  // Narrows reads to end (never beyond the current limit) until the scope ends.
  class Scope {
   public:
    Scope(ChunkReader& reader, std::int64_t end) : reader_(reader), saved_(reader.limit_) {
      if (end < reader_.limit_) reader_.limit_ = end;
    }
    ~Scope() { reader_.limit_ = saved_; }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    ChunkReader& reader_;
    std::int64_t saved_;
  };

 private:
  std::span<const std::uint8_t> data_;
  std::int64_t position_ = 0;
  std::int64_t limit_;
};

}  // namespace morvane
