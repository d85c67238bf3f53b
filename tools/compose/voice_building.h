#pragma once
// Shared steps of the voice designs: wrapping a sound into a one-sample instrument and the
// envelope shapes the band uses.
#include <initializer_list>
#include <string>

#include "tools/compose/sample_buffer.h"
#include "tools/compose/xm_module.h"

namespace morvane::compose {

xm::Instrument one_sample_instrument(const std::string& name, xm::Sample sample);

// Volume envelope through (tick, value) points, holding at `sustain_point` until key-off.
xm::Envelope sustain_envelope(std::initializer_list<xm::EnvelopePoint> points, int sustain_point);

// Samples of one-shot sounds: fixed tuning so that C-4 plays them as recorded.
xm::Sample one_shot_sample(synth::Sound sound, const std::string& name, std::uint8_t panning);

}  // namespace morvane::compose
