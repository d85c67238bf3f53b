#pragma once
// CRC-32 (the zip/RAR polynomial 0xEDB88320, reflected): FILE_CRC and, in its low 16 bits,
// HEAD_CRC.
#include <cstdint>
#include <span>

namespace morvane {

// Continues a CRC: pass the previous result to checksum data in pieces; start with 0.
std::uint32_t crc32(std::span<const std::uint8_t> data, std::uint32_t crc = 0);

}  // namespace morvane
