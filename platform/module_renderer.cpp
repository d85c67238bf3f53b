#include "platform/module_renderer.h"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>

#include "contracts/sound_library.h"

namespace morvane {
namespace {

constexpr int kMaxStepFrames = 256;
// The shortest XM row is one tick at 255 BPM: 2.5 / 255 s.
constexpr int kShortestRowDivisor = 102;

}  // namespace

std::unique_ptr<ModuleRenderer> ModuleRenderer::create(std::span<const std::uint8_t> module,
                                                       std::vector<XmZCell> z_cells, int sample_rate, int& error) {
  if (sample_rate < kMinSampleRate || sample_rate > kMaxSampleRate) {
    error = kSoundErrorInvalidParam;
    return nullptr;
  }
  int openmpt_error = OPENMPT_ERROR_OK;
  openmpt_module* handle =
      openmpt_module_create_from_memory2(module.data(), module.size(), &openmpt_log_func_silent, nullptr,
                                         &openmpt_error_func_ignore, nullptr, &openmpt_error, nullptr, nullptr);
  if (handle == nullptr) {
    error = openmpt_error == OPENMPT_ERROR_OUT_OF_MEMORY ? kSoundErrorMemory : kSoundErrorFormat;
    return nullptr;
  }
  // Deterministic output that ends with the song: no dither, one pass of subsong 0.
  const bool configured = openmpt_module_select_subsong(handle, 0) != 0 &&
                          openmpt_module_set_repeat_count(handle, 0) != 0 &&
                          openmpt_module_ctl_set_text(handle, "play.at_end", "stop") != 0 &&
                          openmpt_module_ctl_set_integer(handle, "dither", 0) != 0;
  if (!configured) {
    openmpt_module_destroy(handle);
    error = kSoundErrorFileLoad;
    return nullptr;
  }
  error = kSoundOk;
  return std::unique_ptr<ModuleRenderer>(new ModuleRenderer(handle, std::move(z_cells), sample_rate));
}

ModuleRenderer::ModuleRenderer(openmpt_module* module, std::vector<XmZCell> z_cells, int sample_rate)
    : module_(module),
      z_cells_(std::move(z_cells)),
      sample_rate_(sample_rate),
      step_frames_(std::min(kMaxStepFrames, sample_rate / kShortestRowDivisor)) {}

ModuleRenderer::~ModuleRenderer() { openmpt_module_destroy(module_); }

void ModuleRenderer::set_looping(bool looping) {
  if (looping == looping_ || ended_) return;
  looping_ = looping;
  openmpt_module_set_repeat_count(module_, looping ? -1 : 0);
}

std::size_t ModuleRenderer::render(std::span<std::int16_t> out) {
  const std::size_t frames = out.size() / 2;
  std::size_t done = 0;
  while (done < frames && !ended_) {
    const std::size_t step = std::min<std::size_t>(static_cast<std::size_t>(step_frames_), frames - done);
    const std::size_t got = openmpt_module_read_interleaved_stereo(module_, sample_rate_, step, out.data() + 2 * done);
    const std::int64_t step_start = frames_rendered_;
    done += got;
    frames_rendered_ += static_cast<std::int64_t>(got);
    // The read that reaches the end comes back short; the position then reported is where the
    // song would go on (its restart), which is never heard.
    if (got < step) {
      ended_ = true;
      break;
    }
    look_at_position(step_start);
  }
  std::fill(out.begin() + static_cast<std::ptrdiff_t>(2 * done), out.end(), std::int16_t{0});
  return done;
}

void ModuleRenderer::look_at_position(std::int64_t step_start) {
  const int order = openmpt_module_get_current_order(module_);
  const int row = openmpt_module_get_current_row(module_);
  if (seen_row_ && order == last_order_ && row == last_row_) return;
  // Rows are longer than a step, so the row began inside this step; its first frame is
  // taken as the step's.
  if (!seen_row_ || order != last_order_) order_changes_.push({step_start, order});
  seen_row_ = true;
  last_order_ = order;
  last_row_ = row;
  const int pattern = openmpt_module_get_current_pattern(module_);
  for (const XmZCell& z : z_cells_in_row(z_cells_, pattern, row)) z_events_.push({step_start, z.parameter});
}

}  // namespace morvane
