#include "platform/sound_module.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <system_error>

namespace morvane {
namespace {

// The capture's frame rate, by whose frames the live layer reads the song.
constexpr std::int64_t kReadPeriodsPerSecond = 60;
// Far beyond any XM the show could use; refuses to hold anything larger.
constexpr std::uintmax_t kMaxModuleBytes = 256u << 20;

int scan_error(XmScanStatus status) {
  return status == XmScanStatus::kUnsupportedVersion ? kSoundErrorVersion : kSoundErrorFormat;
}

// The whole file, or empty with `error` set.
std::vector<std::uint8_t> read_module_file(const char* path, int& error) {
  std::error_code failure;
  const std::filesystem::path file(path);
  if (!std::filesystem::is_regular_file(file, failure)) {
    error = kSoundErrorFileNotFound;
    return {};
  }
  const std::uintmax_t size = std::filesystem::file_size(file, failure);
  if (failure) {
    error = kSoundErrorFileLoad;
    return {};
  }
  if (size > kMaxModuleBytes) {
    error = kSoundErrorMemory;
    return {};
  }
  std::ifstream in(file, std::ios::binary);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (!in || !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
    error = kSoundErrorFileLoad;
    return {};
  }
  error = kSoundOk;
  return bytes;
}

}  // namespace

std::unique_ptr<SoundModule> load_sound_module(const char* path, int sample_rate, int& error) {
  if (path == nullptr) {
    error = kSoundErrorInvalidParam;
    return nullptr;
  }
  std::vector<std::uint8_t> file = read_module_file(path, error);
  if (error != kSoundOk) return nullptr;
  XmScan scan = scan_xm_z_in_place(std::move(file));
  if (!scan.ok()) {
    error = scan_error(scan.status);
    return nullptr;
  }
  auto module = std::make_unique<SoundModule>();
  module->patched = std::move(scan.patched);
  module->z_cells = std::move(scan.z_cells);
  module->sample_rate = sample_rate;
  // libopenmpt must accept it now, as a failed load, not later at play.
  if (!restart_sound_module(*module, error)) return nullptr;
  return module;
}

void ModulePreload::start(const char* path, int sample_rate) {
  discard();
  if (path == nullptr) return;
  try {
    path_ = path;
    sample_rate_ = sample_rate;
    // The thread owns copies of what it reads; the module it makes is shared with no one.
    result_ = std::async(std::launch::async, [file = path_, sample_rate] {
      Result result;
      result.module = load_sound_module(file.c_str(), sample_rate, result.error);
      return result;
    });
  } catch (const std::system_error&) {
    result_ = {};
  }
}

std::optional<ModulePreload::Result> ModulePreload::take(const char* path, int sample_rate) {
  if (!result_.valid()) return std::nullopt;
  if (path == nullptr || path_ != path || sample_rate_ != sample_rate) {
    discard();
    return std::nullopt;
  }
  // What the load would have thrown (no memory) comes out here, as it would have there.
  return result_.get();
}

void ModulePreload::discard() {
  if (!result_.valid()) return;
  result_.wait();
  result_ = {};
}

bool restart_sound_module(SoundModule& module, int& error) {
  module.renderer = ModuleRenderer::create(module.patched, module.z_cells, module.sample_rate, error);
  module.order.store(0, std::memory_order_relaxed);
  module.queued_start = 0;
  module.queued_frames = 0;
  module.clock.reset();
  module.reader.reset(module.sample_rate);
  return module.renderer != nullptr;
}

bool rewind_sound_module(SoundModule& module, int& error) {
  const ModuleRenderer* renderer = module.renderer.get();
  if (renderer != nullptr && renderer->frames_rendered() == 0 && !renderer->ended()) {
    error = kSoundOk;
    return true;
  }
  return restart_sound_module(module, error);
}

int frames_to_ms(std::int64_t frames, int sample_rate) {
  const std::int64_t ms = frames * 1000 / sample_rate;
  return static_cast<int>(std::clamp<std::int64_t>(ms, 0, std::numeric_limits<int>::max()));
}

void deliver_heard(SoundModule& module, std::int64_t heard) {
  ModuleRenderer& renderer = *module.renderer;
  auto& orders = renderer.order_changes();
  if (!orders.empty() && orders.front().frame < heard) {
    int order = 0;
    do {
      order = orders.front().order;
      orders.pop();
    } while (!orders.empty() && orders.front().frame < heard);
    module.order.store(order, std::memory_order_release);
  }
  auto& events = renderer.z_events();
  const ZxxCallback callback = module.callback.load(std::memory_order_acquire);
  while (!events.empty() && events.front().frame < heard) {
    if (callback != nullptr) callback(&module, events.front().value);
    events.pop();
  }
}

std::int64_t PeriodReader::read(ModuleRenderer& renderer, int sample_rate, std::span<std::int16_t> out) {
  const std::size_t frames = out.size() / 2;
  std::size_t done = 0;
  std::int64_t music = 0;
  while (done < frames) {
    if (at_ == frames_) {
      // Period p starts at floor(p x rate / 60), as the capture's frame p does.
      const std::int64_t begin = period_ * sample_rate / kReadPeriodsPerSecond;
      const std::int64_t end = (period_ + 1) * sample_rate / kReadPeriodsPerSecond;
      ++period_;
      frames_ = static_cast<std::size_t>(end - begin);
      carry_.resize(frames_ * 2);
      music_ = renderer.render(carry_);
      at_ = 0;
    }
    const std::size_t take = std::min(frames - done, frames_ - at_);
    std::copy_n(carry_.begin() + static_cast<std::ptrdiff_t>(2 * at_), 2 * take,
                out.begin() + static_cast<std::ptrdiff_t>(2 * done));
    if (at_ < music_) music += static_cast<std::int64_t>(std::min(take, music_ - at_));
    at_ += take;
    done += take;
  }
  return music;
}

void PeriodReader::reset(int sample_rate) {
  carry_.reserve(static_cast<std::size_t>(sample_rate / kReadPeriodsPerSecond + 1) * 2);
  at_ = frames_ = music_ = 0;
  period_ = 0;
}

SoundModule* SoundModules::add(std::unique_ptr<SoundModule> module) {
  modules_.push_back(std::move(module));
  return modules_.back().get();
}

SoundModule* SoundModules::find(const SoundModule* handle) const {
  if (handle == nullptr) return nullptr;
  const auto it = std::find_if(modules_.begin(), modules_.end(), [&](const auto& m) { return m.get() == handle; });
  return it == modules_.end() ? nullptr : it->get();
}

void SoundModules::remove(const SoundModule* handle) {
  std::erase_if(modules_, [&](const auto& m) { return m.get() == handle; });
}

}  // namespace morvane
