#pragma once
// Renders an XM module with libopenmpt and notes, by frame position of the rendered audio,
// where each row starts: the Zxx values of that row and the order it belongs to. No device and
// no threads here: the live and the offline sound layers both drive one of these, so what is
// heard when is decided by the same code.
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/frame_queue.h"
#include "platform/xm_z_scanner.h"

struct openmpt_module;

namespace morvane {

class ModuleRenderer {
 public:
  // Sample rates the renderer accepts (libopenmpt's own range).
  static constexpr int kMinSampleRate = 8000;
  static constexpr int kMaxSampleRate = 192000;

  // A renderer of `module` (an XM whose Z cells are zeroed, see scan_xm_z) playing subsong 0
  // once, undithered, stopping at the song's end. `z_cells` is the scanner's table. Null on
  // failure, with `error` set to a SoundError code.
  static std::unique_ptr<ModuleRenderer> create(std::span<const std::uint8_t> module, std::vector<XmZCell> z_cells,
                                                int sample_rate, int& error);
  ~ModuleRenderer();
  ModuleRenderer(const ModuleRenderer&) = delete;
  ModuleRenderer& operator=(const ModuleRenderer&) = delete;

  // Renders out.size() / 2 frames of interleaved 16-bit stereo; after the song's end the rest
  // is silence. Returns the frames of music rendered.
  std::size_t render(std::span<std::int16_t> out);
  // Looping on plays the song again from its restart position instead of ending.
  void set_looping(bool looping);

  bool ended() const { return ended_; }
  // Frames of music rendered so far; the song's length once it ended.
  std::int64_t frames_rendered() const { return frames_rendered_; }

  // What the rendered audio holds, by the frame at which it starts to be heard. The consumer
  // pops what it delivered.
  FrameQueue<TimedZ>& z_events() { return z_events_; }
  FrameQueue<TimedOrder>& order_changes() { return order_changes_; }

 private:
  ModuleRenderer(openmpt_module* module, std::vector<XmZCell> z_cells, int sample_rate);
  // After a full step that began at `step_start`: a new row queues its Z values and, when the
  // order changed, the new order.
  void look_at_position(std::int64_t step_start);

  openmpt_module* module_;
  std::vector<XmZCell> z_cells_;
  int sample_rate_;
  int step_frames_;
  bool looping_ = false;
  bool ended_ = false;
  bool seen_row_ = false;
  int last_order_ = -1;
  int last_row_ = -1;
  std::int64_t frames_rendered_ = 0;
  FrameQueue<TimedZ> z_events_;
  FrameQueue<TimedOrder> order_changes_;
};

}  // namespace morvane
