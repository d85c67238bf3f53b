#pragma once
// What the scene tests share: pictures held in memory, and a song scripted frame by frame
// (order, play time, the command that arrives) with every presented frame kept.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "demo_parts/picture_source.h"
#include "core/demo_part.h"
#include "core/music.h"
#include "contracts/display.h"
#include "screen/screen.h"
#include "tests/support/fake_platform.h"

namespace morvane::testing {

struct MemoryPicture {
  std::vector<std::uint8_t> pixels;
  std::vector<std::uint8_t> palette;  // 768 bytes, or empty
};

// Hands out the pictures it holds (repeating or cutting the pixels to the size asked for) and
// records each request; an unknown name throws like the archive does.
class MemoryPictures : public PictureSource {
 public:
  std::map<std::string, MemoryPicture, std::less<>> pictures;
  struct Request {
    std::string name;
    std::size_t pixel_count;
    bool palette;
  };
  mutable std::vector<Request> requests;

  void load_picture(std::string_view name, std::span<std::uint8_t> pixels,
                    std::span<std::uint8_t> palette) const override;
};

// A picture of one colour index, and a palette with the given colours at the start (the rest
// black).
std::vector<std::uint8_t> uniform(std::size_t size, std::uint8_t value);
std::vector<std::uint8_t> palette_of(std::initializer_list<std::array<std::uint8_t, 3>> colours);

// The 5-6-5 pixel of a palette colour at full precision of the frame.
constexpr Rgb565 rgb565(int r, int g, int b) { return static_cast<Rgb565>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)); }

// One present as the display saw it: the frame buffer for doubled presents, the whole display
// buffer for direct ones.
struct Presented {
  bool direct;                  // the Screen was at display size
  std::vector<Rgb565> frame;    // the frame buffer (doubled presents)
  std::vector<Pixel32> pixels;  // the display buffer (direct presents)
};

struct SongStep {
  int order;
  int ms;
  std::optional<std::uint8_t> event;
};

// Runs a part against a scripted song. Frame f reads step f (the entry read comes from
// entry_ms); past the script the last step repeats without events, and after 20 extra frames
// the display throws Close so that a part that never ends cannot hang the suite.
class SongHarness {
 public:
  SongHarness();

  // Plays the part once; true when it returned by itself (not by the safety Close).
  bool play(DemoPart& part, std::vector<SongStep> script, int entry_ms = 0);

  std::vector<Rgb565> frame = std::vector<Rgb565>(kFramePixels);
  // Copies of the frame buffer at each present.
  std::vector<std::vector<Rgb565>> presented;
  // Each present with the buffer it showed (for scenes that also draw at display size).
  std::vector<Presented> shown;
  const Screen& screen() const { return screen_; }

 private:
  class RecordingDisplay : public Display {
   public:
    explicit RecordingDisplay(SongHarness& harness) : harness_(harness) {}
    bool open(const std::string&, int, int, bool) override { return true; }
    void update(std::span<const Pixel32> pixels) override;
    void close() noexcept override {}

   private:
    SongHarness& harness_;
  };

  CallLog log_;
  ScriptedSoundLibrary sound_{log_};
  RecordingDisplay display_{*this};
  FakeMessageBoxes boxes_{log_};
  Screen screen_{kDisplayWidth, kDisplayHeight, display_, boxes_};
  Music music_{sound_};
  std::vector<SongStep> script_;
  int entry_ms_ = 0;
};

}  // namespace morvane::testing
