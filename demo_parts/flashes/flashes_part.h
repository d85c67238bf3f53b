#pragma once
// The picture flash sequence: ten pictures, each flashed in at full colour on a command of the
// module and faded to black within 32 ticks. Plays until order 27.
#include <array>
#include <cstdint>
#include <memory>

#include "demo_parts/flashes/flashes_run.h"
#include "demo_parts/picture_source.h"
#include "core/demo_part.h"

namespace morvane {

class FlashesPart final : public DemoPart {
 public:
  // The load step without the archive: reads the ten pictures (the palette with the last)
  // and builds the table.
  void load_from(const PictureSource& pictures);
  void run(Screen& screen, Music& music, std::span<Rgb565> frame) override;

  // The loaded buffers (only valid after a load).
  FlashAssets assets() const;

 protected:
  void load_assets(const Archive& archive) override { load_from(ArchivePictures(archive)); }
  void release() noexcept override;

 private:
  // What the load fills whole (pictures, tables) is left uninitialised; only buffers the run
  // reads before writing start zeroed.
  struct Buffers {
    std::array<std::array<std::uint8_t, kFramePixels>, kFlashPictures> pictures;
    std::array<Rgb565, kFlashShadeEntries> shade;
  };
  std::unique_ptr<Buffers> buffers_;
};

}  // namespace morvane
