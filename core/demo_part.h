#pragma once
// The contract every scene fulfils: load its assets and tables from the archive, play frame
// by frame in step with the song, and release what it owns.
#include <span>

#include "contracts/pixel.h"

namespace morvane {

class Archive;
class Music;
class Screen;

class DemoPart {
 public:
  virtual ~DemoPart() = default;

  // Allocates the part's buffers, loads its assets, precomputes tables; sets loaded at the end.
  void load(const Archive& archive) {
    load_assets(archive);
    loaded_ = true;
  }
  // Plays until the part's end condition; frame is the shared 320 x 200 buffer.
  virtual void run(Screen& screen, Music& music, std::span<Rgb565> frame) = 0;
  // Frees the owned buffers if loaded; never throws.
  void teardown() noexcept {
    if (!loaded_) return;
    release();
    loaded_ = false;
  }
  bool loaded() const noexcept { return loaded_; }

 protected:
  virtual void load_assets(const Archive& archive) = 0;
  virtual void release() noexcept = 0;

 private:
  bool loaded_ = false;
};

}  // namespace morvane
