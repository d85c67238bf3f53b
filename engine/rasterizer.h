#pragma once
// The flat triangle filler: one colour per face, no depth test, later faces overwrite earlier
// ones. Row 0 and column 319 of the frame are never written.
#include <span>

#include "engine/records.h"
#include "contracts/pixel.h"

namespace morvane {

// trunc(red / 8), trunc(green / 4), trunc(blue / 8) packed as 5-6-5 (wrapping in 16 bits).
Rgb565 face_colour(const Face& face);

// Fills the triangle spanned by the screen positions of a, b and c with the face's colour.
// Screen coordinates may be anything, also infinite or NaN: only pixels of the frame are
// written, and a vertex more than 2^24 rows off the screen counts as off screen.
void fill_triangle(std::span<Rgb565, kFramePixels> frame, const Face& face, const TransformedVertex& a,
                   const TransformedVertex& b, const TransformedVertex& c);

}  // namespace morvane
