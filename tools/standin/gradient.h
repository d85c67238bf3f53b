#pragma once
// Colour gradients: the building block of every designed palette.
#include <initializer_list>
#include <vector>

#include "tools/standin/canvas.h"
#include "tools/standin/indexed_image.h"

namespace morvane::standin {

class Gradient {
 public:
  struct Stop {
    float t;
    Rgb colour;
  };
  // Stops in increasing t; values outside the first and last stop take their colours.
  Gradient(std::initializer_list<Stop> stops) : stops_(stops) {}

  Rgb at(float t) const;

 private:
  std::vector<Stop> stops_;
};

// Hue in turns (0..1), saturation and value 0..1.
Rgb hsv(float hue, float saturation, float value);

// Writes `count` palette entries from `first` on, sampled evenly from the gradient's 0..1.
void put_ramp(Palette& palette, int first, int count, const Gradient& gradient);

// Palette entry as a colour.
Rgb palette_colour(const Palette& palette, int index);

}  // namespace morvane::standin
