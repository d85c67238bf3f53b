#include "tools/png/png_frame_encoder.h"

#include <libdeflate.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

namespace morvane {
namespace {

// Far beyond any frame, and small enough that the one IDAT chunk stays below 2^31 bytes.
constexpr int kMaxSide = 1 << 13;

constexpr std::uint8_t kSignature[8] = {137, 'P', 'N', 'G', '\r', '\n', 26, '\n'};
constexpr std::size_t kHeaderBytes = 8 + 12 + 13;    // signature, IHDR chunk
constexpr std::size_t kDataStart = kHeaderBytes + 8;  // IDAT length and type
constexpr std::size_t kTrailerBytes = 4 + 12;         // IDAT CRC, IEND chunk

constexpr std::uint8_t kFilterSub = 1;
constexpr std::uint8_t kFilterUp = 2;

void put32(std::uint8_t* out, std::uint32_t v) {
  out[0] = static_cast<std::uint8_t>(v >> 24);
  out[1] = static_cast<std::uint8_t>(v >> 16);
  out[2] = static_cast<std::uint8_t>(v >> 8);
  out[3] = static_cast<std::uint8_t>(v);
}

// Length, type and data are in place at chunk; appends the CRC of type and data.
void seal_chunk(std::uint8_t* chunk, std::size_t data_bytes) {
  put32(chunk + 8 + data_bytes, libdeflate_crc32(0, chunk + 4, 4 + data_bytes));
}

// A row that repeats the one above (every doubled frame has half its rows so) becomes zeros
// under the "up" filter; any other row takes "sub", which suits drawn pictures and is one
// subtraction per byte.
void filter_row(const std::uint32_t* row, const std::uint32_t* above, int width, std::uint8_t* out) {
  if (above != nullptr && std::memcmp(row, above, static_cast<std::size_t>(width) * sizeof *row) == 0) {
    *out++ = kFilterUp;
    std::memset(out, 0, static_cast<std::size_t>(width) * 3);
    return;
  }
  *out++ = kFilterSub;
  std::uint32_t left = 0;
  for (int x = 0; x < width; ++x) {
    const std::uint32_t p = row[x];
    out[0] = static_cast<std::uint8_t>((p >> 16) - (left >> 16));
    out[1] = static_cast<std::uint8_t>((p >> 8) - (left >> 8));
    out[2] = static_cast<std::uint8_t>(p - left);
    out += 3;
    left = p;
  }
}

}  // namespace

void PngFrameEncoder::FreeCompressor::operator()(libdeflate_compressor* compressor) const {
  libdeflate_free_compressor(compressor);
}

PngFrameEncoder::PngFrameEncoder(int level) : compressor_(libdeflate_alloc_compressor(level)) {
  if (!compressor_) throw std::runtime_error("cannot set up PNG compression at level " + std::to_string(level));
}

PngFrameEncoder::~PngFrameEncoder() = default;

std::span<const std::uint8_t> PngFrameEncoder::encode(int width, int height, std::span<const std::uint32_t> pixels) {
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
    throw std::invalid_argument("PNG frame of " + std::to_string(width) + " x " + std::to_string(height) +
                                " pixels is out of range");
  }
  const auto w = static_cast<std::size_t>(width);
  const auto h = static_cast<std::size_t>(height);
  if (pixels.size() < w * h) throw std::invalid_argument("too few pixels for the PNG frame");

  const std::size_t row_bytes = 1 + 3 * w;
  scanlines_.resize(row_bytes * h);
  for (std::size_t y = 0; y < h; ++y) {
    filter_row(pixels.data() + y * w, y > 0 ? pixels.data() + (y - 1) * w : nullptr, width,
               scanlines_.data() + y * row_bytes);
  }

  const std::size_t bound = libdeflate_zlib_compress_bound(compressor_.get(), scanlines_.size());
  file_.resize(kDataStart + bound + kTrailerBytes);
  std::uint8_t* out = file_.data();
  std::memcpy(out, kSignature, sizeof kSignature);
  std::uint8_t* ihdr = out + 8;
  put32(ihdr, 13);
  std::memcpy(ihdr + 4, "IHDR", 4);
  put32(ihdr + 8, static_cast<std::uint32_t>(width));
  put32(ihdr + 12, static_cast<std::uint32_t>(height));
  const std::uint8_t format[5] = {8, 2, 0, 0, 0};  // 8 bits, RGB, deflate, adaptive filters, no interlace
  std::memcpy(ihdr + 16, format, sizeof format);
  seal_chunk(ihdr, 13);

  std::uint8_t* idat = out + kHeaderBytes;
  const std::size_t packed =
      libdeflate_zlib_compress(compressor_.get(), scanlines_.data(), scanlines_.size(), idat + 8, bound);
  // The bound holds for any input; a zero here would be a broken library.
  if (packed == 0) throw std::runtime_error("PNG compression failed");
  put32(idat, static_cast<std::uint32_t>(packed));
  std::memcpy(idat + 4, "IDAT", 4);
  seal_chunk(idat, packed);

  std::uint8_t* iend = idat + 12 + packed;
  put32(iend, 0);
  std::memcpy(iend + 4, "IEND", 4);
  seal_chunk(iend, 0);
  return {out, static_cast<std::size_t>(iend + 12 - out)};
}

void PngFrameEncoder::write(const std::filesystem::path& file, int width, int height,
                            std::span<const std::uint32_t> pixels) {
  const std::span<const std::uint8_t> bytes = encode(width, height, pixels);
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (out == nullptr) throw std::runtime_error("Could not write the PNG file '" + file.string() + "': cannot open it");
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  if (std::fclose(out) != 0 || !written) {
    throw std::runtime_error("Could not write the PNG file '" + file.string() + "': write error");
  }
}

}  // namespace morvane
