// morvane-dat as a user runs it: exit status, output files and messages of every command.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "tools/rarpack/rar_writer.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const fs::path kData = MORVANE_TESTDATA_DIR;

struct ToolRun {
  int status = -1;
  std::string output;  // standard output and error together
};

ToolRun run(const std::string& arguments) {
  ToolRun r;
  std::FILE* pipe = popen((std::string(MORVANE_BUILD_DIR) + "/tools/morvane_dat/morvane-dat " + arguments + " 2>&1").c_str(), "r");
  if (!pipe) return r;
  std::array<char, 4096> buffer;
  for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) r.output.append(buffer.data(), n);
  const int status = pclose(pipe);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

Bytes read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class MorvaneDat : public ::testing::Test {
 protected:
  void SetUp() override {
    pcx_ = read_file(kData / "pcx" / "planet.pcx");
    if (pcx_.empty() || !fs::exists(kData / "3ds")) GTEST_SKIP() << "no test data in " << kData;
    RarWriter writer;
    writer.add("readme.txt", {'h', 'e', 'l', 'l', 'o'}, EntryMode::stored);
    writer.add("pics/planet.pcx", pcx_, EntryMode::packed);
    writer.write_file(archive_);
  }
  void TearDown() override {
    fs::remove(archive_);
    fs::remove(out_);
  }
  std::string in_archive(const std::string& rest) const { return "'" + archive_.string() + "' " + rest; }

  Bytes pcx_;
  const std::string tag_ = std::to_string(::getpid()) + ::testing::UnitTest::GetInstance()->current_test_info()->name();
  const fs::path archive_ = fs::temp_directory_path() / ("morvane_dat_" + tag_ + ".dat");
  const fs::path out_ = fs::temp_directory_path() / ("morvane_dat_" + tag_ + ".out");
};

TEST_F(MorvaneDat, ArchiveCommands) {
  ToolRun r = run("list " + in_archive(""));
  EXPECT_EQ(r.status, 0) << r.output;
  for (const std::string& word : {std::string("readme.txt"), std::string("pics\\planet.pcx"), std::string("stored"), std::to_string(pcx_.size())})
    EXPECT_NE(r.output.find(word), std::string::npos) << word;
  EXPECT_EQ(run("extract " + in_archive("PICS/PLANET.PCX " + out_.string())).status, 0);
  EXPECT_EQ(read_file(out_), pcx_);
  r = run("extract " + in_archive("readme.txt"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.output, "hello");
  for (const char* option : {"", " --no-palette"}) {
    EXPECT_EQ(run("picture " + in_archive("pics_planet.pcx 50 49 " + out_.string() + option)).status, 0);
    const Bytes png = read_file(out_);
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    EXPECT_EQ(png[25], *option ? 0 : 3) << "colour type: grey without the palette, indexed with it";
  }
}

TEST_F(MorvaneDat, SceneCommand) {
  ToolRun r = run("scene " + (kData / "3ds" / "cube_cam.3ds").string());
  EXPECT_EQ(r.status, 0) << r.output;
  for (const char* line : {"[0] \"cube\": 8 vertices, 12 faces, mapping coordinates", "[2] \"c_blue\": base 128, 128, 128; random 0, 0, 0",
                           "active camera: [0] \"camera01\"", "    [Element1] (element 0)\n      cube (mesh 0)\n"})
    EXPECT_NE(r.output.find(line), std::string::npos) << line << "\n" << r.output;
  // Foreign files may need more room than the player's scene has.
  const std::string pyramob = (kData / "3ds" / "pyramob.3ds").string();
  r = run("scene " + pyramob);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("VELDRA:GET:LIGHT: No more lights"), std::string::npos) << r.output;
  r = run("scene --roomy " + pyramob);
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("spotlight at"), std::string::npos);

  const std::string room = (kData / "3ds" / "room.3ds").string();
  EXPECT_EQ(run("scene " + room + " --render " + out_.string() + " --eye 0,300,-300 --target 0,0,0 --fov 60").status, 0);
  const Bytes png = read_file(out_);
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
  EXPECT_EQ(run("scene " + room + " --render x.png --eye 1,2,3").status, 2);
  EXPECT_EQ(run("scene " + room + " --render x.png").status, 2) << "no camera in the file";
}

TEST_F(MorvaneDat, FailuresExplainThemselves) {
  ToolRun r = run("extract " + in_archive("missing.pcx"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("Could not load the file 'missing.pcx' from " + archive_.string()), std::string::npos) << r.output;
  r = run("list /nonexistent/file.dat");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("/nonexistent/file.dat"), std::string::npos);
  r = run("picture " + in_archive("readme.txt zero 10 " + out_.string()));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.output.find("WIDTH"), std::string::npos);
  EXPECT_EQ(run("frobnicate").status, 2);
  EXPECT_EQ(run("").status, 2);
  r = run("--help");
  EXPECT_EQ(r.status, 0);
  for (const char* command : {"list", "extract", "picture", "scene"}) EXPECT_NE(r.output.find(command), std::string::npos);
}

}  // namespace
}  // namespace morvane
