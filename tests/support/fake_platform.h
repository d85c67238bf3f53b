#pragma once
// Scripted stand-ins for the sound library, the display and the message boxes, recording every
// call in one shared log so tests can check the order of events across objects.
#include <functional>
#include <string>
#include <vector>

#include "contracts/close.h"
#include "contracts/display.h"
#include "contracts/message_boxes.h"
#include "contracts/sound_library.h"

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
  // Called on every query with the number of earlier queries of its kind.
  std::function<int(int)> order_at = [](int) { return 0; };
  std::function<int(int)> ms_at = [](int) { return 0; };
  int order_queries = 0;
  int time_queries = 0;
  // Record order/time queries in the log (off by default: frame loops make many).
  bool log_clock = false;
  ZxxCallback callback = nullptr;

  float version() override {
    log("sound.version");
    return version_value;
  }
  bool init(int mix_rate, int channels, unsigned flags) override {
    log("sound.init " + std::to_string(mix_rate) + " " + std::to_string(channels) + " " + std::to_string(flags));
    if (!init_ok) error_ = init_error;
    return init_ok;
  }
  SoundModule* load_song(const char* path) override {
    log(std::string("sound.load ") + path);
    if (!load_ok) error_ = load_error;
    return load_ok ? reinterpret_cast<SoundModule*>(this) : nullptr;  // a handle never dereferenced
  }
  bool set_zxx_callback(SoundModule*, ZxxCallback cb) override {
    callback = cb;
    return logged("sound.callback");
  }
  bool play_song(SoundModule*) override { return logged("sound.play"); }
  bool set_looping(SoundModule*, bool looping) override { return logged(looping ? "sound.looping on" : "sound.looping off"); }
  int order(SoundModule*) override {
    if (log_clock) log("sound.order");
    return order_at(order_queries++);
  }
  int time_ms(SoundModule*) override {
    if (log_clock) log("sound.time");
    return ms_at(time_queries++);
  }
  bool free_song(SoundModule*) override { return logged("sound.free"); }
  void close() override { log("sound.close"); }
  int last_error() override { return error_; }

 private:
  void log(std::string entry) { log_.push_back(std::move(entry)); }
  bool logged(std::string entry) {
    log(std::move(entry));
    return true;
  }
  CallLog& log_;
  int error_ = kSoundOk;
};

class FakeDisplay : public Display {
 public:
  explicit FakeDisplay(CallLog& log) : log_(log) {}
  bool open_ok = true;
  int close_at_update = -1;  // throw Close from the update with this index (0-based); -1 never
  int updates = 0;

  bool open(const std::string& title, int width, int height, bool fullscreen) override {
    log_.push_back("display.open " + title + " " + std::to_string(width) + "x" + std::to_string(height) +
                   (fullscreen ? " fullscreen" : " windowed"));
    return open_ok;
  }
  void update(std::span<const Pixel32>) override {
    if (updates++ != close_at_update) return;
    log_.push_back("display.update Close");
    throw Close();
  }
  void close() noexcept override { log_.push_back("display.close"); }

 private:
  CallLog& log_;
};

class FakeMessageBoxes : public MessageBoxes {
 public:
  explicit FakeMessageBoxes(CallLog& log) : log_(log) {}
  bool answer = false;
  std::string last_question;
  std::vector<std::string> errors;

  bool ask_yes_no(const std::string& text, const std::string& title) override {
    log_.push_back("box.question " + title);
    last_question = text;
    return answer;
  }
  void show_error(const std::string& text, const std::string& title) noexcept override {
    log_.push_back("box.error " + title + ": " + text);
    errors.push_back(text);
  }

 private:
  CallLog& log_;
};

}  // namespace morvane::testing
