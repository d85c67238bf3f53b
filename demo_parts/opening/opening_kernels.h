#pragma once
// The opening's drawing kernels: the glow layer (bars lit by the module's commands, soft
// stamps, and the glow added onto the shaded pictures) and the rotating point cloud that
// stamps it.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "contracts/pixel.h"

namespace morvane {

// The opening scene's glow layer: 320 x 200 bytes of 0..63 that bars and the point cloud light
// up and that fades and blurs every frame.
inline constexpr int kGlowMax = 63;
inline constexpr int kGlowBarTop = 66;
inline constexpr int kGlowBarRows = 50;
inline constexpr int kSpriteSide = 10;
// Only the top-left 9 x 9 of the sprite is stamped.
inline constexpr int kStampSide = 9;

using GlowView = std::span<std::uint8_t, kFramePixels>;
using SpriteView = std::span<const std::uint8_t, kSpriteSide * kSpriteSide>;

// Sets rows 66..115, columns x .. x + width - 1 (clipped to the row) to 63.
void draw_glow_bar(GlowView glow, int x, int width);

// Adds the sprite at (x, y), each sum capped at 63. Requires 0 <= x <= 311 and 0 <= y <= 191.
void stamp_sprite(GlowView glow, SpriteView sprite, int x, int y);

// Every byte that is not 0 loses 1.
void fade_glow(GlowView glow);

// In-place four-neighbour average over offsets 321..63679, four bytes at a time in increasing
// order; each group sees the new values before it and the old values from itself on.
void blur_glow(GlowView glow);

// The opening scene's point cloud: a rotation and offset that follow the song time, and the
// projection that stamps each point's sprite into the glow layer.
inline constexpr int kCloudPoints = 2024;

struct CloudPoint {
  float x, y, z;
};

// Rows of the rotation (coefficients of x, y, z) for screen x, screen y and depth, and the
// offset added to each row's result.
struct CloudTransform {
  std::array<double, 3> x_row, y_row, depth_row;
  std::array<double, 3> offset;
};

struct StampPosition {
  int x, y;
};

CloudTransform cloud_transform(float t, int point_count);

// Where the point's sprite goes, or nullopt when its corner lies outside 0..311 x 0..191 (or
// cannot be represented as an integer at all).
std::optional<StampPosition> project_point(const CloudTransform& transform, const CloudPoint& point);

// Stamps every point that projects inside the stamping area.
void stamp_cloud(GlowView glow, SpriteView sprite, std::span<const CloudPoint> points,
                 const CloudTransform& transform);

}  // namespace morvane
