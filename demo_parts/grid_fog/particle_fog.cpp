#include "demo_parts/grid_fog/particle_fog.h"

#include <cmath>

#include "demo_parts/float_to_int.h"
#include "engine/demo_rand.h"

namespace morvane {
namespace {

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
    c.red = random_intensity(kRedBlueScale);
    c.green = random_intensity(kGreenScale);
    c.blue = random_intensity(kRedBlueScale);
  }
}

FogTransform fog_transform(int k, float t) {
  const double time = t;
  // The angles are sines and cosines of degrees, used themselves as radians.
  const double ax = std::sin((21 * k + 0.2626 * time) * kGridFogDegree) * (k + 1);
  const double ay = std::cos((66 * k + 0.3535 * time) * kGridFogDegree) * 4;
  const double az = std::sin((176 * k + 0.4423 * time) * kGridFogDegree) * (11 - k);
  const double sx = std::sin(ax), cx = std::cos(ax);
  const double sy = std::sin(ay), cy = std::cos(ay);
  const double sz = std::sin(az), cz = std::cos(az);
  const auto f = [](double v) { return static_cast<float>(v); };
  FogTransform m;
  m.rows[0] = {f(sz * sy * sx + cz * cx), f(sz * cy), f(cz * sx - sz * sy * cx)};
  m.rows[1] = {f(cz * sy * sx - sz * cx), f(cz * cy), f(-cz * sy * cx - sz * sx)};
  m.rows[2] = {f(-cy * sx), f(sy), f(cy * cx)};
  m.offset = {f(20 * std::sin((35 * k + 0.142333 * time) * kGridFogDegree)),
              f(20 * std::cos((65 * k + 0.212324 * time) * kGridFogDegree)),
              f(20 * std::sin((95 * k + 0.174315 * time) * kGridFogDegree))};
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

}  // namespace morvane
