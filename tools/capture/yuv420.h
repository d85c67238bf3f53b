#pragma once
// 0x00RRGGBB frames to planar Y'CbCr 4:2:0 (BT.601, studio range): what x264 encodes, so ffmpeg
// takes the planes as they are instead of converting four times the bytes through its scaler.
#include <cstdint>
#include <span>

#include "contracts/pixel.h"

namespace morvane::capture {

// Bytes of one width x height frame: the Y plane, then Cb and Cr at half width and height.
std::size_t yuv420_bytes(int width, int height);

// width and height even; pixels holds width x height, out yuv420_bytes. Chroma is taken from the
// mean of each 2 x 2 block, which for the doubled show frames is the one pixel it repeats.
void to_yuv420(std::span<const Pixel32> pixels, int width, int height, std::span<std::uint8_t> out);

}  // namespace morvane::capture
