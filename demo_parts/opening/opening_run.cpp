#include "demo_parts/opening/opening_run.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "demo_parts/float_to_int.h"
#include "demo_parts/kernel_constants.h"

namespace morvane {

void advance_schedule(OpeningSchedule& schedule, int order, float t, float event_time, const OrderStarts& starts) {
  const float d0 = t - starts[0];
  const float s = 3 * std::sin(3 * d0 * kDegreeF);
  int& level = schedule.level;
  int& gate = schedule.cloud_gate;
  if (order >= 0 && order <= 2) {
    level = std::clamp(trunc_to_int(s + d0 * k64Over245 - 3), 0, 128);
    gate = level * level / 128;
  } else if (order == 4 || order == 5) {
    const float d4 = t - starts[4];
    level = std::clamp(trunc_to_int(s + d4 * d4 * kRisePerSquaredTick + 125), 0, 196);
    gate = std::max(2 * (192 - level), 0);
  } else if (order == 6) {
    level = std::min(trunc_to_int(s + 192), 196);
    gate = 0;
  } else if (order == 7) {
    level = std::clamp(trunc_to_int(s + 193 - 0.4 * (t - starts[7])), 0, 196);
    gate = 0;
  } else if (order >= kSecondPictureOrder) {
    schedule.point_count = 2 * kFirstCloudPoints;
    const float since_event = t - event_time;
    const int intensity = std::max(trunc_to_int(126 - 0.05 * (since_event * since_event)), 0);
    // The floor only keeps the gate's arithmetic defined for a clock that runs backwards; any
    // level that low already looks up level 0.
    level = std::clamp(trunc_to_int((t - starts[8]) * k96Over35 + intensity), -65536, intensity + 128);
    gate = std::max(level - 64 * intensity + 128, 0);
  }
}

namespace {

constexpr std::uint8_t kClearGlow = 1;
constexpr std::uint8_t kFirstBar = 176;
constexpr std::uint8_t kRepeatBar = 185;
constexpr float kFlashTicks = 64.0f;
constexpr int kTopLevel = 255;

struct Bar {
  int x, width;
};
// Bars 176..184: one per beat across the picture, then one over (almost) all of it.
constexpr std::array<Bar, 9> kBars = {{{3, 45}, {45, 38}, {83, 39}, {122, 40}, {162, 34},
                                       {196, 41}, {237, 38}, {275, 44}, {0, 319}}};

// A lookup level beyond the table's 256 levels reads the last one.
int table_row(int level) { return std::clamp(level, 0, kTopLevel) * 256; }

}  // namespace

void OpeningRun::on_event(std::uint8_t value, float t) {
  event_time_ = t;
  if (value == kClearGlow) {
    std::fill(assets_.glow.begin(), assets_.glow.end(), std::uint8_t{0});
  } else if (value >= kFirstBar && value < kRepeatBar) {
    flash_time_ = trunc_to_int(t);
    bar_x_ = kBars[value - kFirstBar].x;
    bar_width_ = kBars[value - kFirstBar].width;
    draw_glow_bar(assets_.glow, bar_x_, bar_width_);
  } else if (value == kRepeatBar) {
    flash_time_ = trunc_to_int(t);
    draw_glow_bar(assets_.glow, bar_x_, bar_width_);
  }
}

void OpeningRun::draw_frame(int order, float t, std::optional<std::uint8_t> event, std::span<Rgb565, kFramePixels> frame) {
  starts_.see(order, t);
  if (event) on_event(*event, t);
  advance_schedule(schedule_, order, t, event_time_, starts_);
  if (schedule_.cloud_gate > 0) {
    stamp_cloud(assets_.glow, assets_.sprite, assets_.points.first(static_cast<std::size_t>(schedule_.point_count)),
                cloud_transform(t, schedule_.point_count));
  }
  fade_glow(assets_.glow);
  blur_glow(assets_.glow);
  compose(order, t, frame);
}

void OpeningRun::compose(int order, float t, std::span<Rgb565, kFramePixels> frame) const {
  const int level = schedule_.level;
  const std::uint8_t* glow = assets_.glow.data();
  const std::uint8_t* mask = assets_.mask.data();
  Rgb565* out = frame.data();
  if (order >= kSecondPictureOrder) {
    const Rgb565* table = assets_.shade2.data();
    const std::uint8_t* image = assets_.image2.data();
    for (int i = 0; i < kFramePixels; ++i) out[i] = table[table_row(level + glow[i]) + image[i]];
    return;
  }
  const Rgb565* table = assets_.shade1.data();
  const std::uint8_t* image = assets_.image1.data();
  if (t - static_cast<float>(flash_time_) < kFlashTicks) {
    for (int i = 0; i < kFramePixels; ++i) out[i] = table[table_row(level + glow[i]) + image[i]];
  } else if (level > 128) {
    for (int i = 0; i < kFramePixels; ++i) out[i] = table[table_row(level + mask[i]) + image[i]];
  } else {
    for (int i = 0; i < kFramePixels; ++i) out[i] = table[table_row(level + mask[i] + glow[i]) + image[i]];
  }
}

}  // namespace morvane
