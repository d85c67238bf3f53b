#include "demo_parts/grid_fog/grid_fog_kernels.h"

#include <cmath>
#include <cstring>

#include "demo_parts/float_to_int.h"
#include "demo_parts/kernel_constants.h"
#include "engine/demo_rand.h"

namespace morvane {
namespace {

std::int32_t wave_value(double a, double b, double amplitude, double middle) {
  return trunc_to_int((a + b) * amplitude + middle) * kGridOne;
}

// The integer parts of one channel, kept modulo 256, packed as 5-6-5 (bits above 16 fall away).
Rgb565 pack(std::int32_t red, std::int32_t green, std::int32_t blue) {
  const unsigned r = static_cast<unsigned>(red >> 16) & 0xFF;
  const unsigned g = static_cast<unsigned>(green >> 16) & 0xFF;
  const unsigned b = static_cast<unsigned>(blue >> 16) & 0xFF;
  return static_cast<Rgb565>((r << 11) | (g << 5) | b);
}

}  // namespace

void fill_waves(ColourGrid& grid, float t) {
  const double time = t;
  // Each wave term depends on the column or on the row alone: compute those once per frame.
  std::array<double, kGridColumns> red_c, green_c, blue_c;
  for (int c = 0; c < kGridColumns; ++c) {
    const auto at = static_cast<std::size_t>(c);
    red_c[at] = std::sin((time + 3 * c) * kDegreeLong);
    green_c[at] = std::sin((3 * c - 0.455 * time) * kDegreeLong);
    blue_c[at] = std::sin((0.386 * time + 3 * c) * kDegreeLong);
  }
  std::array<double, kGridRows> red_r, green_r, blue_r;
  for (int r = 0; r < kGridRows; ++r) {
    const auto at = static_cast<std::size_t>(r);
    red_r[at] = std::cos((4 * r + 0.755 * time) * kDegreeLong);
    green_r[at] = std::cos((2.5 * r - time) * kDegreeLong);
    blue_r[at] = std::sin((7 * r + time) * kDegreeLong);
  }
  for (int r = 0; r < kGridRows; ++r) {
    const auto row = static_cast<std::size_t>(r);
    for (int c = 0; c < kGridColumns; ++c) {
      const auto column = static_cast<std::size_t>(c);
      GridNode& node = grid[static_cast<std::size_t>(grid_index(r, c))];
      node.red = wave_value(red_c[column], red_r[row], 7, 16);
      node.green = wave_value(green_c[column], green_r[row], 15, 32);
      node.blue = wave_value(blue_c[column], blue_r[row], 7, 16);
    }
  }
}

void interpolate_grid(const ColourGrid& grid, std::span<Rgb565, kFramePixels> image) {
  for (int br = 0; br + 1 < kGridRows; ++br) {
    for (int bc = 0; bc + 1 < kGridColumns; ++bc) {
      const GridNode& nw = grid[static_cast<std::size_t>(grid_index(br, bc))];
      const GridNode& ne = grid[static_cast<std::size_t>(grid_index(br, bc + 1))];
      const GridNode& sw = grid[static_cast<std::size_t>(grid_index(br + 1, bc))];
      const GridNode& se = grid[static_cast<std::size_t>(grid_index(br + 1, bc + 1))];
      // Per channel: the row start walks down the left edge, and the step across widens from
      // the top edge's to the bottom edge's.
      std::int32_t left_r = nw.red, left_g = nw.green, left_b = nw.blue;
      const std::int32_t down_r = (sw.red - nw.red) >> 3;
      const std::int32_t down_g = (sw.green - nw.green) >> 3;
      const std::int32_t down_b = (sw.blue - nw.blue) >> 3;
      std::int32_t across_r = (ne.red - nw.red) >> 3;
      std::int32_t across_g = (ne.green - nw.green) >> 3;
      std::int32_t across_b = (ne.blue - nw.blue) >> 3;
      const std::int32_t widen_r = (((se.red - sw.red) >> 3) - across_r) >> 3;
      const std::int32_t widen_g = (((se.green - sw.green) >> 3) - across_g) >> 3;
      const std::int32_t widen_b = (((se.blue - sw.blue) >> 3) - across_b) >> 3;

      Rgb565* out = image.data() + br * kGridCellSize * kFrameWidth + bc * kGridCellSize;
      for (int j = 0; j < kGridCellSize; ++j, out += kFrameWidth) {
        // Pixel i is i + 1 steps in: the first already carries one step, the eighth reaches the
        // right-hand node. The same sums as stepping one at a time, without the carried chain.
        for (int i = 0; i < kGridCellSize; ++i) {
          out[i] = pack(left_r + (i + 1) * across_r, left_g + (i + 1) * across_g, left_b + (i + 1) * across_b);
        }
        left_r += down_r;
        left_g += down_g;
        left_b += down_b;
        across_r += widen_r;
        across_g += widen_g;
        across_b += widen_b;
      }
    }
  }
}

namespace {

constexpr std::int32_t kRedLimit = 30 * kGridOne;
constexpr std::int32_t kGreenLimit = 61 * kGridOne;
constexpr std::int32_t kBlueLimit = 30 * kGridOne;

constexpr float kCentreColumn = 20.5f;
constexpr float kCentreRow = 13.0f;
constexpr float kFocal = 20.5f;

std::int32_t random_coordinate() { return trunc_to_int(demo_rand() * k64Over32767 - 32); }
std::int32_t random_intensity(double scale) { return trunc_to_int(demo_rand() * scale * 65536); }

float dot(const std::array<float, 3>& row, float x, float y, float z) { return row[0] * x + row[1] * y + row[2] * z; }

void add_limited(std::int32_t& value, std::int32_t addition, std::int32_t limit) {
  const std::int32_t sum = value + addition;
  if (sum < limit) value = sum;
}

// The node index a particle lands on, or -1. NaN fails every comparison, and values off the
// grid are rejected before any conversion.
int project(const FogTransform& m, const ParticlePosition& position) {
  const auto x = static_cast<float>(position.x);
  const auto y = static_cast<float>(position.y);
  const auto z = static_cast<float>(position.z);
  const float depth = dot(m.rows[2], x, y, z) + m.offset[2];
  const float scale = depth == 0.0f ? 0.0f : kFocal / std::fabs(depth);
  const float gx = (dot(m.rows[0], x, y, z) + m.offset[0]) * scale + kCentreColumn;
  const float gy = (dot(m.rows[1], x, y, z) + m.offset[1]) * scale + kCentreRow;
  if (!(gx > -1.0f && gx < kGridColumns && gy > -1.0f && gy < kGridRows)) return -1;
  return grid_index(static_cast<int>(gy), static_cast<int>(gx));
}

void add(GridNode& node, const ParticleColour& colour, const FogWeights& weights) {
  add_limited(node.red, (weights.red * colour.red) >> 6, kRedLimit);
  add_limited(node.green, (weights.green * colour.green) >> 6, kGreenLimit);
  add_limited(node.blue, (weights.blue * colour.blue) >> 6, kBlueLimit);
}

}  // namespace

void draw_particles(ParticlePositions positions, ParticleColours colours) {
  for (int i = 0; i < kFogParticles; ++i) {
    ParticlePosition& p = positions[static_cast<std::size_t>(i)];
    p.x = random_coordinate();
    p.y = random_coordinate();
    p.z = random_coordinate();
    ParticleColour& c = colours[static_cast<std::size_t>(i)];
    c.red = random_intensity(k10Over32767);
    c.green = random_intensity(k21Over32767);
    c.blue = random_intensity(k10Over32767);
  }
}

FogTransform fog_transform(int k, float t) {
  const double time = t;
  // The angles are sines and cosines of degrees, used themselves as radians.
  const double ax = std::sin((21 * k + 0.2626 * time) * kDegreeLong) * (k + 1);
  const double ay = std::cos((66 * k + 0.3535 * time) * kDegreeLong) * 4;
  const double az = std::sin((176 * k + 0.4423 * time) * kDegreeLong) * (11 - k);
  const double sx = std::sin(ax), cx = std::cos(ax);
  const double sy = std::sin(ay), cy = std::cos(ay);
  const double sz = std::sin(az), cz = std::cos(az);
  const auto f = [](double v) { return static_cast<float>(v); };
  FogTransform m;
  m.rows[0] = {f(sz * sy * sx + cz * cx), f(sz * cy), f(cz * sx - sz * sy * cx)};
  m.rows[1] = {f(cz * sy * sx - sz * cx), f(cz * cy), f(-cz * sy * cx - sz * sx)};
  m.rows[2] = {f(-cy * sx), f(sy), f(cy * cx)};
  m.offset = {f(20 * std::sin((35 * k + 0.142333 * time) * kDegreeLong)),
              f(20 * std::cos((65 * k + 0.212324 * time) * kDegreeLong)),
              f(20 * std::sin((95 * k + 0.174315 * time) * kDegreeLong))};
  return m;
}

FogWeights fog_weights(float t) {
  const double time = t;
  return FogWeights{trunc_to_int(std::sin(time * 0.00413134 + 1935) * 31 + 32),
                    trunc_to_int(std::cos(time * 0.00522225 + 3870) * 31 + 32),
                    trunc_to_int(std::cos(time * 0.00431316 + 5805) * 31 + 32)};
}

std::optional<GridCell> project_particle(const FogTransform& m, const ParticlePosition& position) {
  const int index = project(m, position);
  if (index < 0) return std::nullopt;
  return GridCell{index / kGridColumns, index % kGridColumns};
}

void add_particle(GridNode& node, const ParticleColour& colour, const FogWeights& weights) {
  add(node, colour, weights);
}

void fill_fog(ColourGrid& grid, float t, std::span<const ParticlePosition, kFogParticles> positions,
              std::span<const ParticleColour, kFogParticles> colours) {
  grid.fill(GridNode{kGridOne, kGridOne, kGridOne});
  const FogWeights weights = fog_weights(t);
  for (int k = 0; k < kFogTransforms; ++k) {
    const FogTransform m = fog_transform(k, t);
    for (int p = 0; p < kFogParticles; ++p) {
      const auto at = static_cast<std::size_t>(p);
      const int index = project(m, positions[at]);
      if (index >= 0) add(grid[static_cast<std::size_t>(index)], colours[at], weights);
    }
  }
}

void build_half_background(std::span<const std::uint8_t, kFramePixels> picture,
                           std::span<const std::uint8_t, kGridFogPaletteBytes> palette,
                           std::span<Rgb565, kFramePixels> background) {
  for (int i = 0; i < kFramePixels; ++i) {
    const std::uint8_t* colour = palette.data() + 3 * picture[static_cast<std::size_t>(i)];
    const unsigned pixel = (colour[0] & 0xF8u) << 8 | (colour[1] & 0xFCu) << 3 | colour[2] >> 3;
    background[static_cast<std::size_t>(i)] = half_pixel(static_cast<Rgb565>(pixel));
  }
}

void blend_grid(std::span<Rgb565, kFramePixels> frame, std::span<const Rgb565, kFramePixels> grid_image,
                std::span<const Rgb565, kFramePixels> background) {
  Rgb565* out = frame.data();
  const Rgb565* grid = grid_image.data();
  const Rgb565* back = background.data();
  for (int i = 0; i < kFramePixels; i += 2) {
    // memcpy keeps the word access free of aliasing trouble; it compiles to plain loads.
    std::uint32_t f, g, b;
    std::memcpy(&f, out + i, sizeof f);
    std::memcpy(&g, grid + i, sizeof g);
    std::memcpy(&b, back + i, sizeof b);
    // Halved lanes never carry into each other: 0x7BEF + 0x7BEF stays below 0x10000.
    const std::uint32_t layered = half_pixel_pair(g) + b;
    f = half_pixel_pair(f) + half_pixel_pair(layered);
    std::memcpy(out + i, &f, sizeof f);
  }
}

}  // namespace morvane
