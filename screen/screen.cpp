#include "screen/screen.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <stdexcept>

namespace morvane {
namespace {

std::string format_text(const char* format, const std::string& name) {
  char text[256];
  std::snprintf(text, sizeof text, format, name.c_str());
  return text;
}

}  // namespace

Screen::Screen(int display_width, int display_height, Display& display, MessageBoxes& boxes)
    : pixels_(std::make_unique_for_overwrite<Pixel32[]>(static_cast<std::size_t>(display_width) *
                                                        static_cast<std::size_t>(display_height))),
      display_width_(display_width),
      display_height_(display_height),
      display_(display),
      boxes_(boxes) {}

Screen::~Screen() {
  if (pixels_) close();
}

void Screen::open(const std::string& name, int width, int height) {
  caption_ = format_text("Quillfen - %s(win32)", name);
  const std::string question = format_text("Would you like to watch %s in fullscreen mode?", name);
  fullscreen_ = boxes_.ask_yes_no(question, caption_);
  if (!display_.open(caption_, display_width_, display_height_, fullscreen_)) {
    throw std::runtime_error(fullscreen_ ? "Could not create window (fullscreen)!" : "Could not create window!");
  }
  resize(width, height);
}

void Screen::resize(int width, int height) {
  assert(pixels_);
  std::fill_n(pixels_.get(), static_cast<std::size_t>(display_width_) * display_height_, Pixel32{0});
  width_ = width;
  height_ = height;
}

void Screen::present_doubled(std::span<const Rgb565> frame) {
  assert(width_ == kFrameWidth && height_ == kFrameHeight);
  assert(display_width_ == kDisplayWidth && display_height_ == kDisplayHeight);
  assert(frame.size() >= static_cast<std::size_t>(kFramePixels));
  constexpr int kTop = (kDisplayHeight - 2 * kFrameHeight) / 2;
  const Rgb565* source = frame.data();
  for (int y = 0; y < kFrameHeight; ++y) {
    Pixel32* upper = pixels_.get() + static_cast<std::size_t>(kTop + 2 * y) * kDisplayWidth;
    Pixel32* lower = upper + kDisplayWidth;
    for (int x = 0; x < kFrameWidth; ++x) {
      const Pixel32 p = to_pixel32(*source++);
      upper[2 * x] = p;
      upper[2 * x + 1] = p;
      lower[2 * x] = p;
      lower[2 * x + 1] = p;
    }
  }
  display_.update(pixels());
}

std::span<Pixel32> Screen::direct_pixels() {
  assert(width_ == display_width_ && height_ == display_height_);
  return {pixels_.get(), static_cast<std::size_t>(display_width_) * display_height_};
}

void Screen::present_direct() {
  assert(width_ == display_width_ && height_ == display_height_);
  display_.update(pixels());
}

void Screen::close() noexcept {
  display_.close();
  pixels_.reset();
}

std::span<const Pixel32> Screen::pixels() const {
  if (!pixels_) return {};
  return {pixels_.get(), static_cast<std::size_t>(display_width_) * display_height_};
}

}  // namespace morvane
