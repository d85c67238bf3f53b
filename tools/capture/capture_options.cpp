#include "tools/capture/capture_options.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace morvane::capture {
namespace {

double parse_seconds(const std::string& option, const std::string& text) {
  std::size_t used = 0;
  double value = 0.0;
  try {
    value = std::stod(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != text.size() || !std::isfinite(value) || value < 0.0) {
    throw std::invalid_argument(option + " needs a number of seconds, not '" + text + "'");
  }
  return value;
}

std::int64_t parse_positive_integer(const std::string& text) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value <= 0 || value > 1'000'000) {
    throw std::invalid_argument("bad frame rate '" + text + "'");
  }
  return value;
}

VideoQuality parse_video_quality(const std::string& text) {
  if (text == "draft") return VideoQuality::kDraft;
  if (text == "fast") return VideoQuality::kFast;
  if (text == "high") return VideoQuality::kHigh;
  throw std::invalid_argument("--quality takes draft, fast or high, not '" + text + "'");
}

}  // namespace

const char* const kUsage =
    "Usage: morvane-capture [OPTIONS]\n"
    "Plays the show offline, frame-exactly, and writes what it would show and play.\n"
    "\n"
    "  --data DIR      where morvane.dat and morvane.xm are (default: the working directory)\n"
    "  --out DIR       write frame_NNNNNN.png, audio.wav and frames.csv there\n"
    "  --native        write 320 x 200 frames instead of the 640 x 480 display buffer\n"
    "  --video FILE    encode the frames and the audio with ffmpeg (e.g. show.mp4)\n"
    "  --quality Q     the video's encoding: draft, fast (default) or high (slowest, best)\n"
    "  --fps N         frames per second: 60 (default), 50, 60000/1001, ...\n"
    "  --from S        write only from S seconds of song time on (the show still runs from 0)\n"
    "  --to S          stop after S seconds of song time\n"
    "  --log FILE      the per-frame CSV log (default: OUT/frames.csv when --out is given)\n"
    "  --quiet         no progress bar\n"
    "  --help          this text\n";

FrameRate parse_frame_rate(const std::string& text) {
  FrameRate rate;
  const auto slash = text.find('/');
  const auto dot = text.find('.');
  if (slash != std::string::npos) {
    rate.numerator = parse_positive_integer(text.substr(0, slash));
    rate.denominator = parse_positive_integer(text.substr(slash + 1));
  } else if (dot != std::string::npos) {
    // Decimal rates become exact fractions of their digits: 59.94 -> 5994/100.
    const std::string digits = text.substr(0, dot) + text.substr(dot + 1);
    const auto decimals = text.size() - dot - 1;
    if (decimals == 0 || decimals > 6) throw std::invalid_argument("bad frame rate '" + text + "'");
    rate.numerator = parse_positive_integer(digits);
    rate.denominator = static_cast<std::int64_t>(std::pow(10, decimals));
  } else {
    rate.numerator = parse_positive_integer(text);
  }
  if (rate.value() < 1.0 || rate.value() > 1000.0) throw std::invalid_argument("frame rate '" + text + "' is out of range 1..1000");
  return rate;
}

CaptureOptions parse_options(const std::vector<std::string>& args) {
  CaptureOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw std::invalid_argument(arg + " needs a value");
      return args[++i];
    };
    if (arg == "--help" || arg == "-h") options.help = true;
    else if (arg == "--fps") options.fps = parse_frame_rate(value());
    else if (arg == "--out") options.out_dir = value();
    else if (arg == "--video") options.video = value();
    else if (arg == "--quality") options.quality = parse_video_quality(value());
    else if (arg == "--log") options.log = value();
    else if (arg == "--data") options.data_dir = value();
    else if (arg == "--from") options.from_seconds = parse_seconds(arg, value());
    else if (arg == "--to") options.to_seconds = parse_seconds(arg, value());
    else if (arg == "--native") options.native = true;
    else if (arg == "--quiet") options.progress = false;
    else throw std::invalid_argument("unknown option '" + arg + "' (see --help)");
  }
  if (options.to_seconds && *options.to_seconds <= options.from_seconds) {
    throw std::invalid_argument("--to must be later than --from");
  }
  if (!options.log && options.out_dir) options.log = *options.out_dir / "frames.csv";
  return options;
}

}  // namespace morvane::capture
