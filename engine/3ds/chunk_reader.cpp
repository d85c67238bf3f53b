#include "engine/3ds/chunk_reader.h"

#include <bit>
#include <cstring>

namespace morvane {

bool ChunkReader::read(void* destination, std::size_t size) {
  if (position_ < 0 || position_ > limit_ || static_cast<std::int64_t>(size) > limit_ - position_) return false;
  if (size > 0) std::memcpy(destination, data_.data() + position_, size);
  position_ += static_cast<std::int64_t>(size);
  return true;
}

bool ChunkReader::read_u16(std::uint16_t& value) {
  std::uint8_t b[2];
  if (!read(b, 2)) return false;
  value = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
  return true;
}

bool ChunkReader::read_u32(std::uint32_t& value) {
  std::uint8_t b[4];
  if (!read(b, 4)) return false;
  value = static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
          (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
  return true;
}

bool ChunkReader::read_i32(std::int32_t& value) {
  std::uint32_t u;
  if (!read_u32(u)) return false;
  value = static_cast<std::int32_t>(u);
  return true;
}

bool ChunkReader::read_f32(float& value) {
  std::uint32_t u;
  if (!read_u32(u)) return false;
  value = std::bit_cast<float>(u);
  return true;
}

bool ChunkReader::read_vec3(Vec3& value) {
  std::uint32_t u[3];
  const std::int64_t start = position_;
  if (!read_u32(u[0]) || !read_u32(u[1]) || !read_u32(u[2])) {
    position_ = start;
    return false;
  }
  value = {std::bit_cast<float>(u[0]), std::bit_cast<float>(u[1]), std::bit_cast<float>(u[2])};
  return true;
}

std::string ChunkReader::read_name() {
  std::string name;
  while (position_ >= 0 && position_ < limit_) {
    const std::uint8_t c = data_[static_cast<std::size_t>(position_++)];
    if (c == 0 || c == 0xFF) break;
    if (name.size() < 255) name.push_back(static_cast<char>(c));
  }
  return name;
}

void ChunkReader::seek(std::int64_t offset, Origin origin) {
  switch (origin) {
    case kSet: position_ = offset; break;
    case kCurrent: position_ += offset; break;
    case kEnd: position_ = size() + offset; break;
  }
}

}  // namespace morvane
