#include "main/player_options.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <system_error>

namespace morvane {
namespace {

// Far beyond the show's length; keeps the frame arithmetic well inside 64 bits.
constexpr double kMaxStartSeconds = 24 * 3600.0;
constexpr int kScenes = 7;

[[noreturn]] void bad(const std::string& message) { throw std::invalid_argument(message); }

double parse_seconds(const std::string& option, const std::string& text) {
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value) || value < 0.0 ||
      value > kMaxStartSeconds) {
    bad(option + " needs seconds of song time (0 or more), not '" + text + "'");
  }
  return value;
}

int parse_scene(const std::string& option, const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || value < 1 || value > kScenes) {
    bad(option + " needs a scene number from 1 to 7, not '" + text + "'");
  }
  return value;
}

}  // namespace

const char* const kPlayerUsage =
    "Usage: morvane [OPTIONS]\n"
    "Plays the show: seven scenes in step with the music, in a window or full screen.\n"
    "\n"
    "  --fullscreen     watch in full screen (no question at start)\n"
    "  --window         watch in a window (no question at start)\n"
    "  --data DIR       read morvane.dat and morvane.xm from DIR; without it the first of the\n"
    "                   working directory and the installed data that holds both\n"
    "  --start SECONDS  begin at this song time (the show before it is run silently first)\n"
    "  --scene N        begin at the start of scene N (1 to 7)\n"
    "  --help           show this help and exit\n"
    "  --version        show the version and exit\n"
    "\n"
    "Keys: Space pause/resume, Escape quit, Alt+Enter full screen on/off, Alt+1/2/4 window zoom.\n"
    "The exit status is 1 after the show (also on quit or error), 2 for a bad command line.\n";

std::int64_t PlayerOptions::start_frame(int sample_rate) const {
  return start_seconds ? std::llround(*start_seconds * sample_rate) : 0;
}

PlayerOptions parse_player_options(const std::vector<std::string>& args) {
  PlayerOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> inline_value;
    if (const std::size_t equals = name.find('='); name.starts_with("--") && equals != std::string::npos) {
      inline_value = name.substr(equals + 1);
      name.resize(equals);
    }
    const auto value = [&]() -> std::string {
      if (inline_value) return *inline_value;
      if (i + 1 >= args.size()) bad(name + " needs a value");
      return args[++i];
    };
    const auto flag = [&] {
      if (inline_value) bad(name + " takes no value");
    };
    if (name == "--help" || name == "-h") {
      flag();
      options.help = true;
    } else if (name == "--version") {
      flag();
      options.version = true;
    } else if (name == "--fullscreen" || name == "--window") {
      flag();
      const bool full = name == "--fullscreen";
      if (options.fullscreen && *options.fullscreen != full) bad("--fullscreen and --window exclude each other");
      options.fullscreen = full;
    } else if (name == "--data") {
      const std::string dir = value();
      if (dir.empty()) bad("--data needs a directory");
      options.data_dir = dir;
    } else if (name == "--start") {
      options.start_seconds = parse_seconds(name, value());
    } else if (name == "--scene") {
      options.start_scene = parse_scene(name, value());
    } else {
      bad("unknown option '" + args[i] + "' (see --help)");
    }
  }
  if (options.start_seconds && options.start_scene) bad("--start and --scene exclude each other");
  return options;
}

}  // namespace morvane
