#pragma once
// Music: the opened sound library and the module handle; the song clock every scene times
// itself by.
#include "contracts/sound_library.h"

namespace morvane {

struct SongClock {
  int order = 0;
  float ticks = 0.0f;  // play time in 1/70 s
};

// Milliseconds to ticks: x 70 in 32-bit integer arithmetic, then x 0.001.
float ms_to_ticks(int ms);

class Music {
 public:
  // Checks the version (below 3.6: "Wrong version of fmod.dll") and initialises the library;
  // throws the library's message on failure. Only a finished construction closes it later.
  explicit Music(SoundLibrary& library);
  ~Music();
  Music(const Music&) = delete;
  Music& operator=(const Music&) = delete;

  // Lets the library read the module while the program does other work; the later
  // load_module of the same path gives what it would have given anyway.
  void prepare_module(const char* path) { library_.prepare_song(path); }
  // Loads the module; on failure closes the library and throws its message.
  void load_module(const char* path);
  // Installs the Zxx callback, starts playback and switches looping off.
  void start();
  // Frees the module if one is loaded; the handle is then null.
  void free_module();
  bool has_module() const { return module_ != nullptr; }

  int order();
  float ticks();
  // order, then ticks, as every frame reads them.
  SongClock clock();

 private:
  SoundLibrary& library_;
  SoundModule* module_ = nullptr;
};

}  // namespace morvane
