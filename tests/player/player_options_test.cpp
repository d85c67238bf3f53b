// The player's command line and where it finds its data.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <stdexcept>

#include "main/data_search.h"
#include "main/player_options.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

std::string parse_error(const std::vector<std::string>& args) {
  try {
    parse_player_options(args);
  } catch (const std::invalid_argument& error) {
    return error.what();
  }
  return "accepted";
}

TEST(PlayerOptions, RefusesBadCommandLinesWithAMessageNamingTheProblem) {
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"--loud"}, "unknown option '--loud'"},
      {{"-f"}, "unknown option '-f'"},
      {{"fullscreen"}, "unknown option 'fullscreen'"},
      {{"--start"}, "--start needs a value"},
      {{"--data"}, "--data needs a value"},
      {{"--data="}, "--data needs a directory"},
      {{"--start", "-1"}, "not '-1'"},
      {{"--start", "abc"}, "not 'abc'"},
      {{"--start", "12s"}, "not '12s'"},
      {{"--start", "nan"}, "not 'nan'"},
      {{"--start", "inf"}, "not 'inf'"},
      {{"--start", "1e300"}, "not '1e300'"},
      {{"--start="}, "not ''"},
      {{"--scene", "0"}, "from 1 to 7, not '0'"},
      {{"--scene", "8"}, "not '8'"},
      {{"--scene", "2.5"}, "not '2.5'"},
      {{"--scene", "99999999999"}, "not '99999999999'"},
      {{"--window=yes"}, "--window takes no value"},
      {{"--fullscreen", "--window"}, "exclude each other"},
      {{"--start", "5", "--scene", "2"}, "exclude each other"},
  };
  for (const auto& c : cases) {
    EXPECT_NE(parse_error(c.args).find(c.message), std::string::npos) << c.args.front() << ": " << parse_error(c.args);
  }
}

TEST(PlayerOptions, ReadsEveryOptionInBothSpellings) {
  const PlayerOptions none = parse_player_options({});
  EXPECT_FALSE(none.fullscreen || none.data_dir || none.start_seconds || none.start_scene || none.help || none.version);
  EXPECT_EQ(none.start_frame(44100), 0);

  const PlayerOptions a = parse_player_options({"--fullscreen", "--data", "/x/y", "--start", "75.5", "--version"});
  EXPECT_EQ(a.fullscreen, true);
  EXPECT_EQ(a.data_dir, fs::path("/x/y"));
  EXPECT_EQ(a.start_frame(44100), 3329550);
  EXPECT_TRUE(a.version);

  const PlayerOptions b = parse_player_options({"--window", "--window", "--data=d", "--scene=7", "--help"});
  EXPECT_EQ(b.fullscreen, false);
  EXPECT_EQ(b.data_dir, fs::path("d"));
  EXPECT_EQ(b.start_scene, 7);
  EXPECT_TRUE(b.help);
  // A time that falls between two audio frames rounds to the nearer one.
  EXPECT_EQ(parse_player_options({"--start=0.00001"}).start_frame(44100), 0);
  EXPECT_EQ(parse_player_options({"--start", "0.00002"}).start_frame(44100), 1);
}

class DataSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("morvane-data-search-" + std::to_string(::getpid()));
    fs::create_directories(root_ / "cwd");
    fs::create_directories(root_ / "installed");
    previous_ = fs::current_path();
    fs::current_path(root_ / "cwd");
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(root_);
  }
  void put(const fs::path& dir, const char* name) { std::ofstream(root_ / dir / name) << "x"; }
  fs::path installed() const { return root_ / "installed"; }

  fs::path root_;
  fs::path previous_;
};

TEST_F(DataSearch, TakesDataDirThenWorkingDirectoryThenInstalledData) {
  const ShowFiles working;  // the working directory's files, named as the player always did
  // Nowhere: the working directory, so the messages stay the usual ones.
  EXPECT_EQ(find_show_files(std::nullopt, installed()).data, working.data);
  // Installed data needs both files.
  put("installed", kDataFile);
  EXPECT_EQ(find_show_files(std::nullopt, installed()).module, working.module);
  put("installed", kModuleFile);
  const ShowFiles found = find_show_files(std::nullopt, installed());
  EXPECT_EQ(found.data, (installed() / kDataFile).string());
  EXPECT_EQ(found.module, (installed() / kModuleFile).string());
  EXPECT_EQ(find_show_files(std::nullopt, {}).data, working.data);
  // A working directory with the show wins.
  put("cwd", kDataFile);
  put("cwd", kModuleFile);
  EXPECT_EQ(find_show_files(std::nullopt, installed()).data, working.data);
  // --data wins over both, even when it holds nothing (the messages then name its path).
  const ShowFiles given = find_show_files(root_ / "nothing", installed());
  EXPECT_EQ(given.data, (root_ / "nothing" / kDataFile).string());
  EXPECT_EQ(given.module, (root_ / "nothing" / kModuleFile).string());
  EXPECT_THROW(find_show_files(fs::path(std::string(250, 'd')), installed()), std::invalid_argument);
}

}  // namespace
}  // namespace morvane
