#pragma once
// Scripted stand-ins for the sound library, the display and the message boxes, recording every
// call in one shared log so tests can check the order of events across objects.
#include <functional>
#include <string>
#include <vector>

#include "contracts/sound_library.h"
#include "contracts/display.h"
#include "contracts/message_boxes.h"

namespace morvane::testing {

using CallLog = std::vector<std::string>;

class ScriptedSoundLibrary : public SoundLibrary {
 public:
  explicit ScriptedSoundLibrary(CallLog& log) : log_(log) {}

  float version_value = 3.6f;
  bool init_ok = true;
  int init_error = kSoundErrorInit;
  bool load_ok = true;
  int load_error = kSoundErrorFileNotFound;
  // Called on every time query with the number of earlier queries; gives order and ms.
  std::function<int(int)> order_at = [](int) { return 0; };
  std::function<int(int)> ms_at = [](int) { return 0; };
  // Record order/time queries in the log (off by default: frame loops make many).
  bool log_clock = false;
  ZxxCallback callback = nullptr;

  float version() override;
  bool init(int mix_rate, int channels, unsigned flags) override;
  SoundModule* load_song(const char* path) override;
  bool set_zxx_callback(SoundModule* module, ZxxCallback callback) override;
  bool play_song(SoundModule* module) override;
  bool set_looping(SoundModule* module, bool looping) override;
  int order(SoundModule* module) override;
  int time_ms(SoundModule* module) override;
  bool free_song(SoundModule* module) override;
  void close() override;
  int last_error() override { return error_; }

  int order_queries = 0;
  int time_queries = 0;

 private:
  CallLog& log_;
  int error_ = kSoundOk;
};

class FakeDisplay : public Display {
 public:
  explicit FakeDisplay(CallLog& log) : log_(log) {}
  bool open_ok = true;
  // Throw Close from the update with this index (0-based); -1 never.
  int close_at_update = -1;
  int updates = 0;
  std::vector<Pixel32> last_frame;
  bool keep_frames = false;

  bool open(const std::string& title, int width, int height, bool fullscreen) override;
  void update(std::span<const Pixel32> pixels) override;
  void close() noexcept override;

 private:
  CallLog& log_;
};

class FakeMessageBoxes : public MessageBoxes {
 public:
  explicit FakeMessageBoxes(CallLog& log) : log_(log) {}
  bool answer = false;
  std::string last_question;
  std::vector<std::string> errors;

  bool ask_yes_no(const std::string& text, const std::string& title) override;
  void show_error(const std::string& text, const std::string& title) noexcept override;

 private:
  CallLog& log_;
};

}  // namespace morvane::testing
