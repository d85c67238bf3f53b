// Command line and clock arithmetic of the capture.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tools/capture/capture_options.h"
#include "tools/capture/capture_session.h"

namespace morvane::capture {
namespace {

TEST(CaptureOptions, FrameRates) {
  EXPECT_EQ(parse_frame_rate("60").numerator, 60);
  const FrameRate ntsc = parse_frame_rate("60000/1001");
  EXPECT_EQ(ntsc.numerator, 60000);
  EXPECT_EQ(ntsc.denominator, 1001);
  const FrameRate decimal = parse_frame_rate("59.94");
  EXPECT_EQ(decimal.numerator, 5994);
  EXPECT_EQ(decimal.denominator, 100);
  for (const char* bad : {"", "0", "-5", "abc", "60/0", "1/1000", "60x", "5000", "1.", "60/"}) {
    EXPECT_THROW(parse_frame_rate(bad), std::invalid_argument) << bad;
  }
}

TEST(CaptureOptions, ArgumentsAndTheirErrors) {
  const CaptureOptions o = parse_options({"--fps", "30", "--out", "frames", "--from", "1.5", "--to", "3", "--native"});
  EXPECT_EQ(o.fps.numerator, 30);
  EXPECT_EQ(o.from_seconds, 1.5);
  EXPECT_EQ(o.to_seconds, 3.0);
  EXPECT_TRUE(o.native);
  ASSERT_TRUE(o.log.has_value());
  EXPECT_EQ(*o.log, std::filesystem::path("frames") / "frames.csv");
  EXPECT_FALSE(parse_options({}).log.has_value());
  EXPECT_TRUE(parse_options({"--help"}).help);
  EXPECT_THROW(parse_options({"--fps"}), std::invalid_argument);
  EXPECT_THROW(parse_options({"--to", "2", "--from", "2"}), std::invalid_argument);
  EXPECT_THROW(parse_options({"--from", "-1"}), std::invalid_argument);
  EXPECT_THROW(parse_options({"--from", "nan"}), std::invalid_argument);
  EXPECT_THROW(parse_options({"--bogus"}), std::invalid_argument);
}

TEST(CaptureClock, EachFrameAdvancesExactlyOneFrameOfAudio) {
  const FrameRate sixty{60, 1};
  for (std::int64_t n = 0; n < 1000; ++n) {
    EXPECT_EQ(audio_frames_before(n + 1, sixty) - audio_frames_before(n, sixty), 735);
  }
  // 60000/1001: steps of 735 or 736 that never drift from the exact rate.
  const FrameRate ntsc{60000, 1001};
  for (std::int64_t n = 0; n < 70000; n += 997) {
    const std::int64_t step = audio_frames_before(n + 1, ntsc) - audio_frames_before(n, ntsc);
    EXPECT_TRUE(step == 735 || step == 736) << n;
  }
  EXPECT_EQ(audio_frames_before(60000, ntsc), 44100LL * 1001);
}

TEST(CaptureClock, FrameHashSeesColoursNotTheUnusedByte) {
  std::vector<Pixel32> a(16, 0x00102030), b(16, 0xFF102030);
  EXPECT_EQ(frame_hash(a), frame_hash(b));
  b[15] = 0x00102031;
  EXPECT_NE(frame_hash(a), frame_hash(b));
}

}  // namespace
}  // namespace morvane::capture
