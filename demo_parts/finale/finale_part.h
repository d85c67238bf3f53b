#pragma once
// The tunnel finale, last scene of the show: rings, a tunnel and an interference pattern over
// three textures, lit by moving light and switched on the beat by the module's commands, with
// an overlay strip flashing in and black bars closing in towards the end. Plays until command
// 255, which ends the show.
#include <array>
#include <cstdint>
#include <memory>

#include "demo_parts/finale/finale_run.h"
#include "demo_parts/picture_source.h"
#include "core/demo_part.h"

namespace morvane {

inline constexpr int kWaveBufferBytes = 3 * kWavePageBytes;

class FinalePart final : public DemoPart {
 public:
  // The load step without the archive: the light pictures, the overlay (converted, its source
  // let go), the tunnel, polar and ripple tables, the three textures and their shade tables.
  void load_from(const PictureSource& pictures);
  void run(Screen& screen, Music& music, std::span<Rgb565> frame) override;

  // The loaded buffers (only valid after a load).
  FinaleAssets assets() const;
  // The overlay's 8-bit source is needed only while loading: null afterwards.
  bool holds_overlay_source() const { return overlay_source_ != nullptr; }

 protected:
  void load_assets(const Archive& archive) override { load_from(ArchivePictures(archive)); }
  void release() noexcept override;

 private:
  std::unique_ptr<Rgb565[]> overlay_;
  std::unique_ptr<std::uint8_t[]> overlay_source_;
  std::unique_ptr<std::uint8_t[]> colour_;
  std::unique_ptr<std::uint8_t[]> light_;
  std::unique_ptr<Rgb565[]> intermediate_;
  std::unique_ptr<std::uint8_t[]> light_picture_;
  std::unique_ptr<std::uint8_t[]> light_texture_;
  std::unique_ptr<std::uint16_t[]> ripple_;
  std::unique_ptr<std::uint16_t[]> tunnel_;
  std::unique_ptr<std::uint16_t[]> polar_;
  std::array<std::unique_ptr<std::uint8_t[]>, kFinaleTextures> textures_;
  std::array<std::unique_ptr<Rgb565[]>, kFinaleTextures> shades_;
  // Three pages' worth, so that a whole page starting at a multiple of 65536 fits inside.
  std::unique_ptr<std::uint8_t[]> wave_buffer_;
};

}  // namespace morvane
