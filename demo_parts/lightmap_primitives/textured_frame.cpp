#include "demo_parts/lightmap_primitives/textured_frame.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "demo_parts/float_to_int.h"

namespace morvane {
namespace {

// Model corners (x, y, u, v) and the triangles as (P, Q, R) in drawing order.
constexpr FrameVertices kModel = {{{-16, -16, 256, 256},
                                   {-6, -16, 256, 0},
                                   {6, -16, 0, 256},
                                   {16, -16, 0, 0},
                                   {-6, -6, 256, 0},
                                   {6, -6, 256, 256},
                                   {-6, 6, 256, 0},
                                   {6, 6, 256, 256},
                                   {-16, 16, 0, 256},
                                   {-6, 16, 0, 0},
                                   {6, 16, 256, 256},
                                   {16, 16, 256, 0}}};
constexpr std::array<std::array<int, 3>, kFrameTriangles> kTriangles = {
    {{0, 9, 1}, {0, 9, 8}, {1, 4, 2}, {2, 5, 4}, {6, 9, 7}, {9, 7, 10}, {2, 10, 3}, {10, 3, 11}}};

// Screen coordinates are kept within +-8192: far beyond anything the frame reaches, and small
// enough that every 16.16 quantity of the walk below fits 32 bits.
constexpr int kCoordinateLimit = 8192;
constexpr int kLastWalkedRow = 200;
constexpr int kFirstDrawnRow = 1;

int screen_coordinate(double value) { return std::clamp(trunc_to_int(value), -kCoordinateLimit, kCoordinateLimit); }

// 32-bit wrap-around arithmetic, as the walk's registers behave.
std::int32_t wrap(std::int64_t value) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(value)); }
std::int32_t wrap_add(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

struct Walker {
  std::int32_t x, u, v;
};

Walker start_at(const FrameVertex& t) { return {wrap(std::int64_t{t.x} * 65536), wrap(std::int64_t{t.u} * 65536), wrap(std::int64_t{t.v} * 65536)}; }

void advance(Walker& w, const Walker& step) {
  w.x = wrap_add(w.x, step.x);
  w.u = wrap_add(w.u, step.u);
  w.v = wrap_add(w.v, step.v);
}

// Per-row steps from a to b with the edge's reciprocal.
Walker edge_steps(const FrameVertex& a, const FrameVertex& b, std::int32_t reciprocal) {
  return {wrap(std::int64_t{b.x - a.x} * reciprocal), wrap(std::int64_t{b.u - a.u} * reciprocal),
          wrap(std::int64_t{b.v - a.v} * reciprocal)};
}

void draw_span(std::uint8_t* row, const Walker& left, const Walker& right, std::int32_t du, std::int32_t dv,
               const std::uint8_t* texture) {
  int first = left.x >> 16;
  int last = right.x >> 16;
  if (last < 0 || first > kFrameWidth - 1) return;
  last = std::min(last, kFrameWidth - 1);
  // Columns left of 0 are stepped over, not drawn: advance the texture coordinates past them.
  std::uint32_t u = static_cast<std::uint32_t>(left.u);
  std::uint32_t v = static_cast<std::uint32_t>(left.v);
  if (first < 0) {
    const auto skipped = static_cast<std::uint32_t>(-first);
    u += skipped * static_cast<std::uint32_t>(du);
    v += skipped * static_cast<std::uint32_t>(dv);
    first = 0;
  }
  for (int x = first; x <= last; ++x) {
    // The column byte counts as signed, so columns 128..255 borrow from the row above.
    const int column = static_cast<std::int8_t>(static_cast<std::uint8_t>(u >> 16));
    const int line = static_cast<std::uint8_t>(v >> 16);
    row[x] = texture[(column + 256 * line) & 0xFFFF];
    u += static_cast<std::uint32_t>(du);
    v += static_cast<std::uint32_t>(dv);
  }
}

}  // namespace

FrameVertices transform_frame_vertices(float a, float b) {
  const double beta = b * kRadiansPerDegree;
  const double m = 1.8 - a;
  const float ms = static_cast<float>(m * std::sin(beta));
  const float mc = static_cast<float>(m * std::cos(beta));
  const double cx = 160 + 40 * (1 - a) * std::sin(beta);
  const double cy = 100 + 40 * (1 - a) * std::cos(0.9 * b * kRadiansPerDegree);
  FrameVertices out{};
  for (int i = 0; i < kFrameVertices; ++i) {
    const FrameVertex& model = kModel[static_cast<std::size_t>(i)];
    const auto x = static_cast<float>(model.x);
    const auto y = static_cast<float>(model.y);
    FrameVertex& v = out[static_cast<std::size_t>(i)];
    // The turned coordinates are single precision; the scale and centre come in as double.
    v.x = screen_coordinate(cx + 20 * (x * mc - y * ms));
    v.y = screen_coordinate(cy + 12.5 * (y * mc + x * ms));
    v.u = model.u;
    v.v = model.v;
  }
  return out;
}

void draw_frame_triangle(FrameVertex& p, FrameVertex& q, FrameVertex& r, LightView light, FrameTextureView texture) {
  if (p.x < 0 && q.x < 0 && r.x < 0) return;
  if (p.x > kFrameWidth - 1 && q.x > kFrameWidth - 1 && r.x > kFrameWidth - 1) return;

  FrameVertex* top = &p;
  FrameVertex* bottom = &q;
  if (q.y < p.y) std::swap(top, bottom);
  FrameVertex* middle = &r;
  if (r.y < top->y) {
    middle = top;
    top = &r;
  }
  if (bottom->y < middle->y) std::swap(middle, bottom);
  // A flat edge becomes one row taller; the moved corner stays moved for later triangles.
  if (top->y == middle->y) --top->y;
  if (middle->y == bottom->y) ++bottom->y;
  const FrameVertex& t = *top;
  const FrameVertex& m = *middle;
  const FrameVertex& b = *bottom;
  if (t.y > kFrameHeight - 1 || b.y < 0) return;

  const std::int32_t r_tb = 65536 / (b.y - t.y);
  const std::int32_t r_tm = 65536 / (m.y - t.y);
  const std::int32_t r_mb = 65536 / (b.y - m.y);
  const Walker step_tb = edge_steps(t, b, r_tb);
  const Walker step_tm = edge_steps(t, m, r_tm);
  const Walker step_mb = edge_steps(m, b, r_mb);

  const std::int32_t e = wrap(std::int64_t{step_tb.x} - step_tm.x) >> 10;
  std::int32_t du = 11;
  std::int32_t dv = 11;
  if (e != 0) {
    du = wrap(std::int64_t{wrap((std::int64_t{step_tb.u} - step_tm.u) * 64)} / e);
    dv = wrap(std::int64_t{wrap((std::int64_t{step_tb.v} - step_tm.v) * 64)} / e);
  }

  Walker along = start_at(t);  // T to B
  Walker edge = along;         // T to M, then on from where it is towards B
  const int last_row = std::min(b.y, kLastWalkedRow);
  for (int y = t.y; y <= last_row; ++y) {
    if (y >= kFirstDrawnRow) {
      const bool long_left = along.x < edge.x;
      draw_span(light.data() + (y - 1) * kFrameWidth, long_left ? along : edge, long_left ? edge : along, du, dv,
                texture.data());
    }
    advance(along, step_tb);
    advance(edge, y < m.y ? step_tm : step_mb);
  }
}

void draw_textured_frame(float a, float b, LightView light, FrameTextureView texture) {
  if (a == 1.0f) return;
  FrameVertices v = transform_frame_vertices(a, b);
  for (const auto& [p, q, r] : kTriangles) {
    draw_frame_triangle(v[static_cast<std::size_t>(p)], v[static_cast<std::size_t>(q)], v[static_cast<std::size_t>(r)],
                        light, texture);
  }
}

}  // namespace morvane
