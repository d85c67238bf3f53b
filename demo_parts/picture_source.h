#pragma once
// Where a scene's load step reads its pictures: the data archive in the show, prepared bytes in
// tests and tools. Scenes load through this so that their tables and drawing can be checked
// without a data file.
#include <cstdint>
#include <span>
#include <string_view>

#include "archive/archive.h"

namespace morvane {

class PictureSource {
 public:
  virtual ~PictureSource() = default;
  // Fills all of pixels and, when palette is not empty, its 768 bytes; throws
  // std::runtime_error when the picture cannot be had.
  virtual void load_picture(std::string_view name, std::span<std::uint8_t> pixels,
                            std::span<std::uint8_t> palette) const = 0;
};

class ArchivePictures final : public PictureSource {
 public:
  explicit ArchivePictures(const Archive& archive) : archive_(archive) {}
  void load_picture(std::string_view name, std::span<std::uint8_t> pixels,
                    std::span<std::uint8_t> palette) const override {
    archive_.load_picture(name, pixels, palette);
  }

 private:
  const Archive& archive_;
};

}  // namespace morvane
