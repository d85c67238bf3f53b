#include "tests/support/fake_platform.h"

#include "contracts/close.h"

namespace morvane::testing {
namespace {
SoundModule* const kModule = reinterpret_cast<SoundModule*>(0x1000);
}

float ScriptedSoundLibrary::version() {
  log_.push_back("sound.version");
  return version_value;
}
bool ScriptedSoundLibrary::init(int mix_rate, int channels, unsigned flags) {
  log_.push_back("sound.init " + std::to_string(mix_rate) + " " + std::to_string(channels) + " " +
                 std::to_string(flags));
  if (!init_ok) error_ = init_error;
  return init_ok;
}
SoundModule* ScriptedSoundLibrary::load_song(const char* path) {
  log_.push_back(std::string("sound.load ") + path);
  if (!load_ok) {
    error_ = load_error;
    return nullptr;
  }
  return kModule;
}
bool ScriptedSoundLibrary::set_zxx_callback(SoundModule*, ZxxCallback cb) {
  log_.push_back("sound.callback");
  callback = cb;
  return true;
}
bool ScriptedSoundLibrary::play_song(SoundModule*) {
  log_.push_back("sound.play");
  return true;
}
bool ScriptedSoundLibrary::set_looping(SoundModule*, bool looping) {
  log_.push_back(std::string("sound.looping ") + (looping ? "on" : "off"));
  return true;
}
int ScriptedSoundLibrary::order(SoundModule*) {
  if (log_clock) log_.push_back("sound.order");
  return order_at(order_queries++);
}
int ScriptedSoundLibrary::time_ms(SoundModule*) {
  if (log_clock) log_.push_back("sound.time");
  return ms_at(time_queries++);
}
bool ScriptedSoundLibrary::free_song(SoundModule*) {
  log_.push_back("sound.free");
  return true;
}
void ScriptedSoundLibrary::close() { log_.push_back("sound.close"); }

bool FakeDisplay::open(const std::string& title, int width, int height, bool fullscreen) {
  log_.push_back("display.open " + title + " " + std::to_string(width) + "x" + std::to_string(height) +
                 (fullscreen ? " fullscreen" : " windowed"));
  return open_ok;
}
void FakeDisplay::update(std::span<const Pixel32> pixels) {
  const int index = updates++;
  if (keep_frames) last_frame.assign(pixels.begin(), pixels.end());
  if (index == close_at_update) {
    log_.push_back("display.update Close");
    throw Close();
  }
}
void FakeDisplay::close() noexcept { log_.push_back("display.close"); }

bool FakeMessageBoxes::ask_yes_no(const std::string& text, const std::string& title) {
  log_.push_back("box.question " + title);
  last_question = text;
  return answer;
}
void FakeMessageBoxes::show_error(const std::string& text, const std::string& title) noexcept {
  log_.push_back("box.error " + title + ": " + text);
  errors.push_back(text);
}

}  // namespace morvane::testing
