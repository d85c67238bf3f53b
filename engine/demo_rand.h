#pragma once
// The program's one pseudo-random sequence (the classic C library generator, 0..32767),
// drawn from only by load steps, in load order, never reseeded.
namespace morvane {

int demo_rand();
// Back to the state at program start (tests only).
void reset_demo_rand();

}  // namespace morvane
