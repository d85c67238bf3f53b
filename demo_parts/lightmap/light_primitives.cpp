#include "demo_parts/lightmap/light_primitives.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <utility>

#include "contracts/pixel.h"
#include "demo_parts/float_to_int.h"

namespace morvane {
namespace {

constexpr int kStampRight = kFrameWidth - 8;   // corners 0..311
constexpr int kStampBottom = kFrameHeight - 8;  // corners 0..191
constexpr int kSegmentStride = 4;               // stamps at t = 0, 0.25, 0.5, 0.75

double sin_degrees(double angle) { return std::sin(angle * kDegree); }
double cos_degrees(double angle) { return std::cos(angle * kDegree); }

CurvePoint ring_point(double angle, double radius_x, double radius_y) {
  return CurvePoint{static_cast<float>(160 + sin_degrees(angle) * radius_x),
                    static_cast<float>(100 + cos_degrees(angle) * radius_y)};
}

}  // namespace

void build_curve_weights(CurveWeightTable w0, CurveWeightTable w1, CurveWeightTable w2, CurveWeightTable w3) {
  for (int k = 0; k < kCurveWeightEntries; ++k) {
    // k / 16 and its powers are exact in single precision.
    const float t = static_cast<float>(k) / 16.0f;
    const float t2 = t * t;
    const float t3 = t2 * t;
    const auto at = static_cast<std::size_t>(k);
    w0[at] = (-t3 + 2 * t2 - t) / 2;
    w1[at] = (3 * t3 - 5 * t2 + 2) / 2;
    w2[at] = (-3 * t3 + 4 * t2 + t) / 2;
    w3[at] = (t3 - t2) / 2;
  }
}

void place_curve_points(float s, int a, CurvePointView points) {
  // The angles are sums of a float and whole numbers: single precision.
  const double r1 = sin_degrees(90 * s + 95);
  const double r2 = sin_degrees(90 * s + 135);
  const double angle = a;
  CurvePoint* c0 = points.data();
  CurvePoint* c1 = c0 + kCurvePoints;
  CurvePoint* c2 = c1 + kCurvePoints;
  for (int k = 0; k < kCurveKnots; ++k) {
    // k x a in double: the product of two ints could leave the int range for a huge angle.
    const double theta = k * angle;
    const double along = 22.5 * k;
    const double wobble_cos = cos_degrees(theta);
    const double wobble_sin = sin_degrees(theta);
    c0[k] = ring_point(along + 2 * angle, 100 * r1 + 20 * wobble_cos, 80 * r1 + 16 * wobble_cos);
    c1[k] = ring_point(along + 3 * angle, 100 * r1 + 20 * wobble_sin, 80 * r1 + 16 * wobble_sin);
    c2[k] = ring_point(along + 1.5 * angle, 100 * r2 + 20 * wobble_sin, 80 * r2 + 16 * wobble_sin);
  }
  for (CurvePoint* curve : {c0, c1, c2}) std::copy_n(curve, 4, curve + kCurveKnots);
}

void stamp_dot(LightView light, DotView dot, int x, int y) {
  for (int r = 0; r < kDotStamp; ++r) {
    std::uint8_t* target = light.data() + (y + r) * kFrameWidth + x;
    const std::uint8_t* source = dot.data() + r * kDotSide;
    for (int c = 0; c < kDotStamp; ++c) {
      const int sum = target[c] + source[c];
      target[c] = static_cast<std::uint8_t>(sum > kGlowCurveMax ? kGlowCurveMax : sum);
    }
  }
}

void draw_glow_curves(float s, int a, LightView light, DotView dot, const CurveWeights& weights, CurvePointView points) {
  place_curve_points(s, a, points);
  for (int curve = 0; curve < kGlowCurves; ++curve) {
    const CurvePoint* p = points.data() + curve * kCurvePoints;
    for (int i = 0; i < kCurveKnots; ++i, ++p) {
      for (int k = 0; k < kCurveWeightEntries; k += kSegmentStride) {
        const auto at = static_cast<std::size_t>(k);
        const float w0 = weights.w0[at], w1 = weights.w1[at], w2 = weights.w2[at], w3 = weights.w3[at];
        // The weighted sums are single precision (floats times floats); the offset of half the
        // stamp is then taken off in double.
        const float sx = w0 * p[0].x + w1 * p[1].x + w2 * p[2].x + w3 * p[3].x;
        const float sy = w0 * p[0].y + w1 * p[1].y + w2 * p[2].y + w3 * p[3].y;
        const int xs = trunc_to_int(sx - 4.5);
        const int ys = trunc_to_int(sy - 4.5);
        if (xs >= 0 && xs < kStampRight && ys >= 0 && ys < kStampBottom) stamp_dot(light, dot, xs, ys);
      }
    }
  }
}

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
  const double beta = b * kDegree;
  const double m = 1.8 - a;
  const float ms = static_cast<float>(m * std::sin(beta));
  const float mc = static_cast<float>(m * std::cos(beta));
  const double cx = 160 + 40 * (1 - a) * std::sin(beta);
  const double cy = 100 + 40 * (1 - a) * std::cos(0.9 * b * kDegree);
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

constexpr int kBlitBlock = 16;

void add_blit(std::span<std::uint8_t> destination, std::span<const std::uint8_t> source, BlitRect rect, int cap,
              int destination_stride, int source_stride) {
  int x = rect.x;
  int y = rect.y;
  int source_x = rect.source_x;
  int source_y = rect.source_y;
  int w = rect.width & 0xFF;
  int h = rect.height & 0xFF;
  if (x <= -w || x >= kFrameWidth || y <= -h || y >= kFrameHeight) return;
  if (y >= kFrameHeight - h) h = kFrameHeight - y;
  if (x >= kFrameWidth - w) w = kFrameWidth - x;
  if (x < 0) {
    w += x;
    source_x -= x;
    x = 0;
  }
  if (y < 0) {
    h += y;
    source_y -= y;
    y = 0;
  }
  if (w <= 0 || h <= 0) return;
  // The rectangle's last byte on each side must lie inside its buffer.
  const auto reaches = [](int top, int left, int rows, int columns, int stride, std::size_t size) {
    if (top < 0 || left < 0 || stride < 0) return false;
    const long long end = static_cast<long long>(top + rows - 1) * stride + left + columns;
    return end <= static_cast<long long>(size);
  };
  if (!reaches(y, x, h, w, destination_stride, destination.size()) ||
      !reaches(source_y, source_x, h, w, source_stride, source.size())) {
    return;
  }

  // A byte sum at or above the limit becomes the limit: for a limit of 1..255 the smaller of
  // the two, above 255 no change, and at or below 0 every sum.
  const int limit = cap - 1;
  const auto top = static_cast<std::uint8_t>(std::clamp(limit, 0, 255));
  for (int r = 0; r < h; ++r) {
    std::uint8_t* out = destination.data() + static_cast<std::ptrdiff_t>(y + r) * destination_stride + x;
    const std::uint8_t* in = source.data() + static_cast<std::ptrdiff_t>(source_y + r) * source_stride + source_x;
    if (limit <= 0) {
      std::fill_n(out, w, static_cast<std::uint8_t>(limit));
      continue;
    }
    // Blocks of 16 through local copies run in vector lanes; the rest byte by byte.
    int c = 0;
    for (; c + kBlitBlock <= w; c += kBlitBlock) {
      std::array<std::uint8_t, kBlitBlock> sum;
      std::array<std::uint8_t, kBlitBlock> add;
      std::memcpy(sum.data(), out + c, kBlitBlock);
      std::memcpy(add.data(), in + c, kBlitBlock);
      for (std::size_t k = 0; k < kBlitBlock; ++k) sum[k] = std::min(static_cast<std::uint8_t>(sum[k] + add[k]), top);
      std::memcpy(out + c, sum.data(), kBlitBlock);
    }
    for (; c < w; ++c) out[c] = std::min(static_cast<std::uint8_t>(out[c] + in[c]), top);
  }
}

void draw_lens_flare(LightView light, FlareSheetView flares, int x0, int y0, int x1, int y1) {
  const auto fx = static_cast<float>((static_cast<double>(x1) - x0) * 0.2);
  const auto fy = static_cast<float>((static_cast<double>(y1) - y0) * 0.2);
  for (int f = 0; f < kFlareImages; ++f) {
    // Single precision throughout, as the steps are.
    const float cx = static_cast<float>(x0) + static_cast<float>(f) * fx - 80.0f;
    const float cy = static_cast<float>(y0) + static_cast<float>(f) * fy - 50.0f;
    const BlitRect rect{trunc_to_int(cx), trunc_to_int(cy), 0, kFlareHeight * f, kFlareWidth, kFlareHeight};
    add_blit(light, flares, rect, kFlareCap, kFrameWidth, kFlareWidth);
  }
}

}  // namespace morvane
