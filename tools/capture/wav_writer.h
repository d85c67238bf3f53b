#pragma once
// 16-bit PCM WAV files.
#include <cstdint>
#include <filesystem>
#include <span>

namespace morvane::capture {

// Interleaved samples; throws std::runtime_error when the file cannot be written.
void write_wav(const std::filesystem::path& file, int sample_rate, int channels,
               std::span<const std::int16_t> samples);

}  // namespace morvane::capture
