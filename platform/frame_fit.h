#pragma once
// Where a frame goes on an output of another size: the largest copy of the same shape that
// fits, centred, the rest left as black bars.
namespace morvane {

struct FrameRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Empty when the output or the frame has no area.
FrameRect fit_frame(int output_width, int output_height, int frame_width, int frame_height);

}  // namespace morvane
