#include "tools/capture/event_hook.h"

namespace morvane::capture {
namespace {
EventHookedLibrary* active_hook = nullptr;
}

EventHookedLibrary::EventHookedLibrary(SoundLibrary& inner, Observer observer)
    : inner_(inner), observer_(std::move(observer)) {}

EventHookedLibrary::~EventHookedLibrary() {
  if (active_hook == this) active_hook = nullptr;
}

bool EventHookedLibrary::set_zxx_callback(SoundModule* module, ZxxCallback callback) {
  installed_ = callback;
  active_hook = this;
  return inner_.set_zxx_callback(module, &EventHookedLibrary::forward);
}

void EventHookedLibrary::forward(SoundModule* module, std::uint8_t parameter) {
  EventHookedLibrary* hook = active_hook;
  if (hook == nullptr) return;
  hook->observer_(parameter);
  if (hook->installed_ != nullptr) hook->installed_(module, parameter);
}

}  // namespace morvane::capture
