#pragma once
// A loaded module as both sound layers hold it: the handle the program gets from load_song.
#include <atomic>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "contracts/sound_library.h"
#include "platform/module_renderer.h"
#include "platform/playout_clock.h"
#include "platform/xm_z_scanner.h"

namespace morvane {

// The live layer's reads of a renderer: whole periods of 1/60 s of song, as the capture's
// frames advance it, handed out in whatever sizes the device asks for. libopenmpt's output
// depends, by a last bit here and there, on how the song is cut into reads; cut the same way,
// the player sounds sample for sample as the capture's audio, and rows fall on the same frames.
class PeriodReader {
 public:
  // Fills `out` (interleaved stereo); returns the frames of music among them.
  std::int64_t read(ModuleRenderer& renderer, int sample_rate, std::span<std::int16_t> out);
  // Back to the song's start; makes room for a period at `sample_rate`.
  void reset(int sample_rate);

 private:
  std::vector<std::int16_t> carry_;
  std::size_t at_ = 0;       // next frame of the carry to hand out
  std::size_t frames_ = 0;   // frames in the carry
  std::size_t music_ = 0;    // of which music
  std::int64_t period_ = 0;  // the next period to read
};

struct SoundModule {
  // The file with its Z cells zeroed, and the table of those cells: enough to start again.
  std::vector<std::uint8_t> patched;
  std::vector<XmZCell> z_cells;
  int sample_rate = 0;

  // Written by the program's thread, read where the module is rendered.
  std::atomic<ZxxCallback> callback{nullptr};
  std::atomic<bool> looping{false};
  // The order heard now, written where events are delivered. 0 before the song starts.
  std::atomic<int> order{0};

  // Used only where the module is rendered once it plays (the audio thread of the live layer).
  std::unique_ptr<ModuleRenderer> renderer;
  // Live layer: the buffer rendered last, which starts playing at the next device callback.
  std::int64_t queued_start = 0;
  std::int64_t queued_frames = 0;
  PlayoutClock clock;
  PeriodReader reader;
};

// The modules a library loaded; a handle is valid while it is held here.
class SoundModules {
 public:
  SoundModule* add(std::unique_ptr<SoundModule> module);
  // `handle` when it is one of ours, else null; never dereferences an unknown handle.
  SoundModule* find(const SoundModule* handle) const;
  void remove(const SoundModule* handle);
  void clear() { modules_.clear(); }

 private:
  std::vector<std::unique_ptr<SoundModule>> modules_;
};

// Reads and checks an XM module file and prepares its renderer. Null on failure, with `error`
// set to a SoundError code: 14 for a null path, 9 for a missing file, 11 when it cannot be
// read, 12 when it is too large to hold, 10 when it is no usable XM, 13 for an XM version
// other than 1.4.
std::unique_ptr<SoundModule> load_sound_module(const char* path, int sample_rate, int& error);

// A load_sound_module begun ahead of its load on a thread of its own, so that reading the file
// and libopenmpt's parse overlap what the program does meanwhile. The load of the same path at
// the same rate takes the result; anything else waits for it and drops it. Either way a load
// gives exactly the module or the error it would have given unprepared.
class ModulePreload {
 public:
  struct Result {
    std::unique_ptr<SoundModule> module;
    int error = kSoundOk;
  };
  ModulePreload() = default;
  ModulePreload(const ModulePreload&) = delete;
  ModulePreload& operator=(const ModulePreload&) = delete;
  ~ModulePreload() { discard(); }

  // Starts preparing `path` (dropping what was prepared before); does nothing for a null path
  // or when no thread can be had, as the load then reads the file itself.
  void start(const char* path, int sample_rate);
  // The prepared result when `path` at `sample_rate` is what was started; else nullopt, with
  // anything prepared dropped.
  std::optional<Result> take(const char* path, int sample_rate);
  // Waits for a preparation under way and drops its result.
  void discard();

 private:
  std::string path_;
  int sample_rate_ = 0;
  std::future<Result> result_;
};

// A fresh renderer from the start of the song; false (error set) when it cannot be made.
// Not while the module plays.
bool restart_sound_module(SoundModule& module, int& error);
// Readies a module that is not playing to play from its start: keeps an unused renderer,
// replaces one that already rendered.
bool rewind_sound_module(SoundModule& module, int& error);

// Play time in milliseconds of `frames` frames, truncated.
int frames_to_ms(std::int64_t frames, int sample_rate);

// Delivers what `module`'s renderer queued before frame `heard`: the latest order change into
// module.order, then each Z value, in order, through the installed callback.
void deliver_heard(SoundModule& module, std::int64_t heard);

}  // namespace morvane
