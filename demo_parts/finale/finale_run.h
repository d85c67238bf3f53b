#pragma once
// One run of the finale: the commands of the module pick texture, colour effect and light
// effect; each frame combines the two layers through the texture's shade table, closes the bars,
// averages the result into the frame shown before and flashes the overlay after each command.
// The run ends on command 255 without drawing that frame.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "contracts/pixel.h"
#include "demo_parts/finale/finale_kernels.h"

namespace morvane {

// What the module's commands set in the finale: texture, colour effect and light effect, and
// the beats that scroll the overlay and, late in the song, close the black bars.
inline constexpr std::uint8_t kFinaleEnd = 255;

enum class ColourMode { kRings, kTunnel, kInterference };
enum class LightMode { kPicture, kTunnel, kRings, kHold };

struct FinaleCues {
  int texture = 0;  // 0..2: texture and shade table 1..3
  ColourMode colour = ColourMode::kRings;
  LightMode light = LightMode::kPicture;
  bool beat_seen = false;
  int beat_counter = 3;  // stops the beats once it reaches 280 (after 93 beats)
  int overlay_scroll = 0;
  int bar_height = 0;

  // Acts on one command value other than the end (255). bars_closing: the order-44 mark is set.
  void on_event(std::uint8_t value, bool bars_closing);

 private:
  void beat(bool bars_closing);
};

inline constexpr int kFinaleTextures = 3;
inline constexpr int kBarsOrder = 44;
inline constexpr int kClosingLineOrder = 52;

// The loaded part's buffers as a frame sees them; the layers, the intermediate frame and the
// page are drawn into.
struct FinaleAssets {
  std::span<const Rgb565, kOverlayPixels> overlay;
  LayerView colour;
  LayerView light;
  FrameView intermediate;
  ConstLayerView light_picture;
  DoubledTextureView light_texture;
  std::span<const std::uint16_t, kRippleEntries> ripple;
  std::span<const std::uint16_t, kFramePixels> tunnel;
  std::span<const std::uint16_t, kFramePixels> polar;
  std::array<DoubledTextureView, kFinaleTextures> textures;
  std::array<FinaleShadeView, kFinaleTextures> shades;
  WavePageView page;
};

class FinaleRun {
 public:
  // The run's start: the light layer turns black and the light picture is due to be copied.
  explicit FinaleRun(const FinaleAssets& assets);

  // order and t as read this frame (t local to the run), event as taken this frame. Returns
  // false, having drawn nothing, when the event ends the part.
  bool draw_frame(int order, float t, std::optional<std::uint8_t> event, FrameView frame);

  const FinaleCues& cues() const { return cues_; }
  int flash() const { return flash_; }
  float last_event_time() const { return last_event_time_; }
  bool bars_closing() const { return bars_closing_; }
  bool line_closing() const { return line_closing_; }

 private:
  void draw_colour_layer(float t);
  void draw_light_layer(float t);
  void compose(float t, FrameView frame);

  FinaleAssets assets_;
  FinaleCues cues_;
  int flash_ = 16;
  float last_event_time_ = -1.0f;
  bool light_copy_pending_ = true;
  bool bars_closing_ = false;  // order 44 seen
  bool line_closing_ = false;  // order 52 seen
  float line_start_ = 0.0f;
};

}  // namespace morvane
