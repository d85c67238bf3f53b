// Placeholder until the SDL window layer lands: never opens.
#include "platform/sdl_display.h"

namespace morvane {

struct SdlDisplay::Impl {};

SdlDisplay::SdlDisplay() : impl_(std::make_unique<Impl>()) {}
SdlDisplay::~SdlDisplay() = default;
bool SdlDisplay::open(const std::string&, int, int, bool) { return false; }
int SdlDisplay::update(std::span<const Pixel32>) { return 0; }
void SdlDisplay::close() noexcept {}

}  // namespace morvane
