#include "engine/vector_matrix.h"

namespace morvane {

Matrix34 combine(const Matrix34& a, const Matrix34& b) {
  Matrix34 k;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      k.at(r, c) = a.at(r, 0) * b.at(0, c) + a.at(r, 1) * b.at(1, c) + a.at(r, 2) * b.at(2, c);
    }
    k.at(r, 3) = a.at(r, 0) * b.at(0, 3) + a.at(r, 1) * b.at(1, 3) + a.at(r, 2) * b.at(2, 3) +
                 a.at(r, 3);
  }
  return k;
}

Matrix34 place(const Matrix34& rotation, const Vec3& v) {
  Matrix34 k = rotation;
  const Vec3 t = transform_point(v, rotation);
  k.at(0, 3) = t.x;
  k.at(1, 3) = t.y;
  k.at(2, 3) = t.z;
  return k;
}

}  // namespace morvane
