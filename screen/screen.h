#pragma once
// The Screen: owns the display-sized Pixel32 buffer, asks the full-screen question, and
// presents 320 x 200 frames doubled into the middle of the 640 x 480 buffer.
#include <memory>
#include <span>
#include <string>

#include "contracts/display.h"
#include "contracts/message_boxes.h"
#include "contracts/pixel.h"

namespace morvane {

class Screen {
 public:
  Screen(int display_width, int display_height, Display& display, MessageBoxes& boxes);
  ~Screen();
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;

  // Asks the question, opens the display, clears the buffer, sets the logical size.
  void open(const std::string& name, int width, int height);
  // Clears the buffer and sets the logical size; the display is not reopened.
  void resize(int width, int height);
  // frame: 320 x 200 Rgb565.
  void present_doubled(std::span<const Rgb565> frame);
  std::span<Pixel32> direct_pixels();
  void present_direct();
  void close() noexcept;

  bool fullscreen() const { return fullscreen_; }
  bool is_open() const { return pixels_ != nullptr; }
  int width() const { return width_; }
  int height() const { return height_; }
  const std::string& caption() const { return caption_; }
  // The whole display-sized buffer, for inspection (tests, capture).
  std::span<const Pixel32> pixels() const;

 private:
  bool fullscreen_ = false;
  std::unique_ptr<Pixel32[]> pixels_;
  int width_ = 0;
  int height_ = 0;
  int display_width_;
  int display_height_;
  std::string caption_;
  Display& display_;
  MessageBoxes& boxes_;
};

}  // namespace morvane
