#include "tools/standin/tunnel_shading.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "tools/standin/filters.h"
#include "tools/standin/font.h"
#include "tools/standin/noise.h"

namespace morvane::standin {

namespace {

constexpr int kW = 320, kH = 1000;
constexpr float kTau = 6.28318531f;

struct Line {
  std::string_view text;
  float top;
  float scale;
};

// Words that rise through the tunnel as bright light; the middle rows are seen one to one, the
// top and bottom ones stretched sideways.
constexpr Line kLines[] = {
    {"MORVANE", 236.0f, 5.0f},
    {"QUILLFEN", 430.0f, 4.5f},
    {"DEEPER", 610.0f, 5.0f},
    {"AND DEEPER", 770.0f, 3.5f},
};

}  // namespace

Picture tunnel_shading() {
  ValueMap text(kW, kH, 0.0f);
  for (const Line& line : kLines) {
    const ValueMap one = render_text(line.text, kW, kH, centred_x(line.text, 160.0f, line.scale), line.top, line.scale);
    for (std::size_t i = 0; i < text.cells().size(); ++i) text.cells()[i] = std::max(text.cells()[i], one.cells()[i]);
  }
  const ValueMap halo = blur(text, 6);
  const ValueMap shadow = blur(text, 2);

  ValueMap m(kW, kH);
  fill(m, [&](float x, float y) {
    // Slow bands of light drifting across, with a finer ripple and some grain.
    const float bands = std::sin(kTau * y / 140.0f + 1.4f * std::sin(kTau * x / 320.0f));
    const float ripple = std::sin(kTau * y / 37.0f - kTau * x / 160.0f);
    const float grain = fbm(x / 24.0f, y / 24.0f, 64, 64, 4, 0.5f, 601u) - 0.5f;
    float v = 22.0f + 9.0f * bands + 3.0f * ripple + 10.0f * grain;
    // Fade in from darkness at the very start of the scroll.
    v *= 0.35f + 0.65f * smoothstep(0.0f, 160.0f, y);
    const int ix = static_cast<int>(x), iy = static_cast<int>(y);
    // Text: a dark shadow, a glow around it, the letters themselves near white.
    v = v * (1.0f - 0.7f * std::min(1.0f, shadow.at(ix, iy) * 2.0f)) + 30.0f * halo.at(ix, iy);
    v = lerp(v, 55.0f, text.at(ix, iy));
    return std::clamp(v, 0.0f, 55.0f);
  });
  return {"shades.pcx", to_value_picture(m, 55), 55};
}

}  // namespace morvane::standin
