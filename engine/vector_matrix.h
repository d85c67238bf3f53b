#pragma once
// The engine's small vector and matrix kit. Single precision throughout: every result the
// renderer draws depends on these roundings, so nothing here is widened to double.
#include <array>
#include <cmath>

namespace morvane {

struct Vec3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

// Row-major 3 x 4: rows (m00 m01 m02 tx), (m10 m11 m12 ty), (m20 m21 m22 tz).
struct Matrix34 {
  std::array<float, 12> m{1.0f, 0.0f, 0.0f, 0.0f,  //
                          0.0f, 1.0f, 0.0f, 0.0f,  //
                          0.0f, 0.0f, 1.0f, 0.0f};

  float& at(int row, int column) { return m[row * 4 + column]; }
  float at(int row, int column) const { return m[row * 4 + column]; }
};

inline constexpr Matrix34 kIdentity34{};

inline Vec3 subtract(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 negate(const Vec3& a) { return {-a.x, -a.y, -a.z}; }
inline float length(const Vec3& a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }
// The 3DS file is z-up, the engine y-up.
inline Vec3 swap_yz(const Vec3& a) { return {a.x, a.z, a.y}; }

inline Vec3 transform_point(const Vec3& p, const Matrix34& k) {
  const auto& m = k.m;
  return {m[0] * p.x + m[1] * p.y + m[2] * p.z + m[3],
          m[4] * p.x + m[5] * p.y + m[6] * p.z + m[7],
          m[8] * p.x + m[9] * p.y + m[10] * p.z + m[11]};
}

// K with K(p) = a(b(p)).
Matrix34 combine(const Matrix34& a, const Matrix34& b);
// rotation's 3 x 3 part with translation rotation . v + rotation's translation.
Matrix34 place(const Matrix34& rotation, const Vec3& v);

}  // namespace morvane
