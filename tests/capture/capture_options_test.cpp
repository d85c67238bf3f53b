// Command line and clock arithmetic of the capture.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tools/capture/capture_options.h"
#include "tools/capture/capture_session.h"

namespace morvane::capture {
namespace {

TEST(CaptureOptions, FrameRatesAndArguments) {
  for (auto [text, numerator, denominator] : {std::tuple{"60", 60, 1}, std::tuple{"60000/1001", 60000, 1001},
                                              std::tuple{"59.94", 5994, 100}}) {
    const FrameRate rate = parse_frame_rate(text);
    EXPECT_EQ(rate.numerator, numerator) << text;
    EXPECT_EQ(rate.denominator, denominator) << text;
  }
  for (const char* bad : {"", "0", "-5", "abc", "60/0", "1/1000", "60x", "5000", "1.", "60/"})
    EXPECT_THROW(parse_frame_rate(bad), std::invalid_argument) << bad;

  const CaptureOptions o = parse_options({"--fps", "30", "--out", "frames", "--from", "1.5", "--to", "3", "--native",
                                          "--video", "a.mp4", "--data", "d", "--quiet"});
  EXPECT_EQ(o.fps.numerator, 30);
  EXPECT_EQ(o.out_dir, std::filesystem::path("frames"));
  EXPECT_EQ(o.log, std::filesystem::path("frames") / "frames.csv");
  EXPECT_EQ(o.video, std::filesystem::path("a.mp4"));
  EXPECT_EQ(o.data_dir, std::filesystem::path("d"));
  EXPECT_EQ(o.from_seconds, 1.5);
  EXPECT_EQ(o.to_seconds, 3.0);
  EXPECT_TRUE(o.native);
  EXPECT_FALSE(o.progress);
  const CaptureOptions defaults = parse_options({});
  EXPECT_FALSE(defaults.log.has_value());
  EXPECT_TRUE(defaults.progress);
  EXPECT_EQ(parse_options({"--out", "x", "--log", "l.csv"}).log, std::filesystem::path("l.csv"));
  EXPECT_TRUE(parse_options({"--help"}).help);
  EXPECT_TRUE(parse_options({"-h"}).help);
  for (const auto& bad : std::vector<std::vector<std::string>>{
           {"--fps"}, {"--to", "2", "--from", "2"}, {"--from", "-1"}, {"--from", "nan"}, {"--to", "inf"}, {"--bogus"}, {"out"}})
    EXPECT_THROW(parse_options(bad), std::invalid_argument) << bad[0];
}

TEST(CaptureClock, EachFrameAdvancesExactlyItsShareOfAudio) {
  for (std::int64_t n = 0; n < 1000; ++n)
    EXPECT_EQ(audio_frames_before(n + 1, FrameRate{60, 1}) - audio_frames_before(n, FrameRate{60, 1}), 735);
  // 60000/1001: steps of 735 or 736 that never drift from the exact rate.
  const FrameRate ntsc{60000, 1001};
  for (std::int64_t n = 0; n < 70000; n += 997) {
    const std::int64_t step = audio_frames_before(n + 1, ntsc) - audio_frames_before(n, ntsc);
    EXPECT_TRUE(step == 735 || step == 736) << n;
  }
  EXPECT_EQ(audio_frames_before(60000, ntsc), 44100LL * 1001);
}

}  // namespace
}  // namespace morvane::capture
