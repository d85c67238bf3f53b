#include "demo_parts/grid_fog/particle_fog.h"

#include <cmath>

#include "demo_parts/float_to_int.h"
#include "main/demo_rand.h"

namespace morvane {
namespace {

constexpr double kDegree = 0.017453293005625408;
// 64/32767, 10/32767 and 21/32767 as the single-precision values the cloud was drawn with.
constexpr double kCoordinateScale = 0.0019531846046447754;
constexpr double kRedBlueScale = 0.00030518509447574615;
constexpr double kGreenScale = 0.0006408886983990669;

constexpr std::int32_t kRedLimit = 30 * kGridOne;
constexpr std::int32_t kGreenLimit = 61 * kGridOne;
constexpr std::int32_t kBlueLimit = 30 * kGridOne;

constexpr float kCentreColumn = 20.5f;
constexpr float kCentreRow = 13.0f;
constexpr float kFocal = 20.5f;

std::int32_t random_coordinate() { return trunc_to_int(demo_rand() * kCoordinateScale - 32); }
std::int32_t random_intensity(double scale) { return trunc_to_int(demo_rand() * scale * 65536); }

float dot(const std::array<float, 3>& row, float x, float y, float z) { return row[0] * x + row[1] * y + row[2] * z; }

// trunc(value) when it lies in 0..last; NaN and anything far out are rejected before any
// conversion.
std::optional<int> grid_coordinate(float value, int last) {
  if (!(value > -1.0f && value < static_cast<float>(last + 1))) return std::nullopt;
  return static_cast<int>(value);
}

void add_limited(std::int32_t& value, std::int32_t addition, std::int32_t limit) {
  const std::int32_t sum = value + addition;
  if (sum < limit) value = sum;
}

}  // namespace

void draw_particles(ParticlePositions positions, ParticleColours colours) {
  for (int i = 0; i < kFogParticles; ++i) {
    ParticlePosition& p = positions[static_cast<std::size_t>(i)];
    p.x = random_coordinate();
    p.y = random_coordinate();
    p.z = random_coordinate();
    ParticleColour& c = colours[static_cast<std::size_t>(i)];
    c.red = random_intensity(kRedBlueScale);
    c.green = random_intensity(kGreenScale);
    c.blue = random_intensity(kRedBlueScale);
  }
}

FogTransform fog_transform(int k, float t) {
  const double time = t;
  // The angles are sines and cosines of degrees, used themselves as radians.
  const double ax = std::sin((21 * k + 0.2626 * time) * kDegree) * (k + 1);
  const double ay = std::cos((66 * k + 0.3535 * time) * kDegree) * 4;
  const double az = std::sin((176 * k + 0.4423 * time) * kDegree) * (11 - k);
  const double sx = std::sin(ax), cx = std::cos(ax);
  const double sy = std::sin(ay), cy = std::cos(ay);
  const double sz = std::sin(az), cz = std::cos(az);
  const auto f = [](double v) { return static_cast<float>(v); };
  FogTransform m;
  m.rows[0] = {f(sz * sy * sx + cz * cx), f(sz * cy), f(cz * sx - sz * sy * cx)};
  m.rows[1] = {f(cz * sy * sx - sz * cx), f(cz * cy), f(-cz * sy * cx - sz * sx)};
  m.rows[2] = {f(-cy * sx), f(sy), f(cy * cx)};
  m.offset = {f(20 * std::sin((35 * k + 0.142333 * time) * kDegree)),
              f(20 * std::cos((65 * k + 0.212324 * time) * kDegree)),
              f(20 * std::sin((95 * k + 0.174315 * time) * kDegree))};
  return m;
}

FogWeights fog_weights(float t) {
  const double time = t;
  return FogWeights{trunc_to_int(std::sin(time * 0.00413134 + 1935) * 31 + 32),
                    trunc_to_int(std::cos(time * 0.00522225 + 3870) * 31 + 32),
                    trunc_to_int(std::cos(time * 0.00431316 + 5805) * 31 + 32)};
}

std::optional<GridCell> project_particle(const FogTransform& m, const ParticlePosition& position) {
  const auto x = static_cast<float>(position.x);
  const auto y = static_cast<float>(position.y);
  const auto z = static_cast<float>(position.z);
  const float depth = dot(m.rows[2], x, y, z) + m.offset[2];
  const float scale = depth == 0.0f ? 0.0f : kFocal / std::fabs(depth);
  const auto column = grid_coordinate((dot(m.rows[0], x, y, z) + m.offset[0]) * scale + kCentreColumn, kGridColumns - 1);
  if (!column) return std::nullopt;
  const auto row = grid_coordinate((dot(m.rows[1], x, y, z) + m.offset[1]) * scale + kCentreRow, kGridRows - 1);
  if (!row) return std::nullopt;
  return GridCell{*row, *column};
}

void add_particle(GridNode& node, const ParticleColour& colour, const FogWeights& weights) {
  add_limited(node.red, (weights.red * colour.red) >> 6, kRedLimit);
  add_limited(node.green, (weights.green * colour.green) >> 6, kGreenLimit);
  add_limited(node.blue, (weights.blue * colour.blue) >> 6, kBlueLimit);
}

void fill_fog(ColourGrid& grid, float t, std::span<const ParticlePosition, kFogParticles> positions,
              std::span<const ParticleColour, kFogParticles> colours) {
  grid.fill(GridNode{kGridOne, kGridOne, kGridOne});
  const FogWeights weights = fog_weights(t);
  for (int k = 0; k < kFogTransforms; ++k) {
    const FogTransform m = fog_transform(k, t);
    for (int p = 0; p < kFogParticles; ++p) {
      const auto at = static_cast<std::size_t>(p);
      if (const auto cell = project_particle(m, positions[at])) {
        add_particle(grid[static_cast<std::size_t>(grid_index(cell->row, cell->column))], colours[at], weights);
      }
    }
  }
}

}  // namespace morvane
