#include "tools/standin/flash_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/standin/gradient.h"
#include "tools/standin/noise.h"
#include "tools/standin/quantizer.h"
#include "tools/standin/rng.h"
#include "tools/standin/shapes.h"

namespace morvane::standin {

namespace {

constexpr float kDeg = 0.0174532925f;
constexpr float kGround = 184.0f;

// Joint angles in degrees. Limbs are measured from straight down, positive towards the right of
// the screen (90 points right, 180 up); the torso from straight up, positive leaning right.
struct Pose {
  float shift, lift, torso;
  float left_upper_arm, left_forearm, right_upper_arm, right_forearm;
  float left_thigh, left_shin, right_thigh, right_shin;
};

constexpr Pose kPoses[10] = {
    {0, 0, 0, -150, -165, 150, 165, -14, -8, 14, 8},         // arms raised in a V
    {-10, 0, -12, -70, -40, 160, 175, -55, -70, 8, 4},       // leaning, one arm up, kick out
    {0, 26, 0, -95, -120, 95, 120, -40, 30, 40, -30},        // jump with bent knees
    {12, 0, 8, -30, 60, 135, 150, -6, -2, 30, -10},          // pointing up, hand on hip
    {0, 0, -8, -100, -95, 100, 105, -10, -5, 105, 95},       // high side kick
    {0, -34, 10, 50, 100, 60, 110, -70, 20, 60, -25},        // low crouch, arms forward
    {6, 8, 4, 40, 150, -30, -150, 2, 0, 60, -40},            // spin on one leg
    {0, 12, 0, -125, -130, 125, 130, -35, -35, 35, 35},      // star jump
    {-6, 0, -22, -40, -20, 35, 20, -20, -10, 80, 10},        // lean back, knee up
    {0, 0, 0, -172, -178, 172, 178, -4, -2, 45, -20},        // arms straight up, leg bent
};

Vec2 down_dir(float degrees) { return {std::sin(degrees * kDeg), std::cos(degrees * kDeg)}; }

struct Figure {
  struct Limb {
    Vec2 a, b;
    float half_width;
  };
  Limb limbs[14];
  int count = 0;
  Vec2 head;
  float head_radius = 11.0f;

  void add(Vec2 a, Vec2 b, float w) { limbs[count++] = {a, b, w}; }

  float distance(Vec2 p) const {
    float d = sd_circle(p, head, head_radius);
    for (int i = 0; i < count; ++i) d = std::min(d, sd_capsule(p, limbs[i].a, limbs[i].b, limbs[i].half_width));
    return d;
  }
};

Figure build_figure(const Pose& pose) {
  auto place = [&](float hip_y) {
    Figure f;
    const Vec2 hip{160.0f + pose.shift, hip_y};
    const Vec2 up{std::sin(pose.torso * kDeg), -std::cos(pose.torso * kDeg)};
    const Vec2 side{-up.y, up.x};  // towards the screen's right
    const Vec2 neck = hip + up * 44.0f;
    f.head = neck + up * 15.0f;
    f.add(hip + up * 4.0f, neck - up * 4.0f, 10.0f);  // torso
    f.add(neck, neck + up * 6.0f, 4.5f);              // neck
    const Vec2 shoulders[2] = {neck - side * 11.0f - up * 2.0f, neck + side * 11.0f - up * 2.0f};
    const float upper[2] = {pose.left_upper_arm, pose.right_upper_arm};
    const float fore[2] = {pose.left_forearm, pose.right_forearm};
    for (int s = 0; s < 2; ++s) {
      const Vec2 elbow = shoulders[s] + down_dir(upper[s]) * 27.0f;
      const Vec2 hand = elbow + down_dir(fore[s]) * 25.0f;
      f.add(shoulders[s], elbow, 5.5f);
      f.add(elbow, hand, 4.5f);
      f.add(hand, hand + down_dir(fore[s]) * 5.0f, 5.0f);
    }
    const Vec2 hips[2] = {hip - side * 7.0f, hip + side * 7.0f};
    const float thigh[2] = {pose.left_thigh, pose.right_thigh};
    const float shin[2] = {pose.left_shin, pose.right_shin};
    for (int s = 0; s < 2; ++s) {
      const Vec2 knee = hips[s] + down_dir(thigh[s]) * 36.0f;
      const Vec2 ankle = knee + down_dir(shin[s]) * 35.0f;
      f.add(hips[s], knee, 7.5f);
      f.add(knee, ankle, 5.5f);
      // The foot points away from the body's middle.
      const float toe = s == 0 ? -1.0f : 1.0f;
      f.add(ankle, ankle + Vec2{toe * 9.0f, 2.0f}, 3.5f);
    }
    return f;
  };
  // Stand the lowest foot on the floor, then lift (a jump) or drop (a crouch is already low).
  Figure trial = place(100.0f);
  float lowest = 0.0f;
  for (int i = 0; i < trial.count; ++i)
    lowest = std::max({lowest, trial.limbs[i].a.y + trial.limbs[i].half_width, trial.limbs[i].b.y + trial.limbs[i].half_width});
  return place(100.0f + (kGround - lowest) - pose.lift * (pose.lift > 0 ? 1.0f : 0.0f));
}

// Three background ramps and one for the figures: 64 entries each.
const Gradient kRamps[4] = {
    {{0.0f, rgb8(24, 2, 14)}, {0.35f, rgb8(150, 20, 40)}, {0.7f, rgb8(250, 120, 30)}, {1.0f, rgb8(255, 236, 170)}},
    {{0.0f, rgb8(4, 8, 36)}, {0.35f, rgb8(20, 70, 170)}, {0.7f, rgb8(70, 190, 235)}, {1.0f, rgb8(225, 250, 255)}},
    {{0.0f, rgb8(16, 2, 32)}, {0.35f, rgb8(100, 20, 140)}, {0.7f, rgb8(225, 80, 200)}, {1.0f, rgb8(255, 215, 250)}},
    {{0.0f, rgb8(2, 2, 6)}, {0.5f, rgb8(40, 40, 56)}, {1.0f, rgb8(250, 250, 255)}},
};

Palette shared_palette() {
  Palette p{};
  for (int r = 0; r < 4; ++r) put_ramp(p, r * 64, 64, kRamps[r]);
  return p;
}

Rgb dancer_pixel(const Figure& fig, int picture, float x, float y) {
  const Gradient& bg = kRamps[picture % 3];
  const Vec2 centre{160.0f, 92.0f};
  const Vec2 p{x, y};
  // Sunburst: alternating rays that turn from picture to picture, brightest in the middle.
  const float angle = std::atan2(y - centre.y, x - centre.x) + static_cast<float>(picture) * 0.21f;
  const float rays = 0.5f + 0.5f * std::cos(angle * 14.0f);
  const float r = length(p - centre);
  float level = 0.18f + 0.55f * std::exp(-r / 120.0f) + 0.22f * smoothstep(0.35f, 0.65f, rays) * std::exp(-r / 260.0f);
  level += 0.35f * std::exp(-r * r / 2400.0f);
  // The floor: darker, with a mirrored, fading copy of the figure.
  if (y > kGround) {
    const float below = y - kGround;
    level = 0.12f + 0.25f * std::exp(-below / 10.0f) * (0.6f + 0.4f * rays);
    const float mirrored = fig.distance({x, 2.0f * kGround - y});
    if (mirrored < 0) level *= 0.3f + 0.7f * smoothstep(0.0f, 16.0f, below);
  }
  Rgb c = bg.at(std::min(level, 1.0f));
  const float d = fig.distance(p);
  // Rim light just outside the silhouette, then the dark figure.
  c = mix(c, bg.at(1.0f), 0.85f * std::exp(-std::max(d, 0.0f) / 1.8f) * (d > 0 ? 1.0f : 0.0f));
  const Rgb body = kRamps[3].at(0.06f + 0.08f * smoothstep(-8.0f, 0.0f, d));
  return mix(c, body, coverage(d, 1.2f));
}

}  // namespace

std::vector<Picture> flash_pictures() {
  const Palette palette = shared_palette();
  std::vector<Picture> out;
  for (int i = 0; i < 10; ++i) {
    const Figure fig = build_figure(kPoses[i]);
    RgbImage img(320, 200);
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 320; ++x)
        img.at(x, y) = supersample([&](float sx, float sy) { return dancer_pixel(fig, i, sx, sy); },
                                   static_cast<float>(x), static_cast<float>(y), 2);
    IndexedImage indexed(320, 200);
    indexed.palette = palette;
    map_to_palette(img, indexed, 0, 256, 0.5f);
    char name[16];
    std::snprintf(name, sizeof name, "dans%02d.pcx", i + 1);
    out.push_back({name, std::move(indexed), 0});
  }
  return out;
}

}  // namespace morvane::standin
