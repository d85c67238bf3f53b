// morvane-dat as a user runs it: exit status, output files and messages.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>
#include <string>

#include "tests/archive/rar20_test_writer.h"
#include "tests/archive/testdata.h"

namespace morvane {
namespace {

struct ToolRun {
  int status = -1;
  std::string output;  // standard output and error together
};

ToolRun run(const std::string& arguments) {
  const std::string tool = std::string(MORVANE_BUILD_DIR) + "/tools/morvane_dat/morvane-dat";
  ToolRun r;
  std::FILE* pipe = popen((tool + " " + arguments + " 2>&1").c_str(), "r");
  if (!pipe) return r;
  std::array<char, 4096> buffer;
  std::size_t n;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) r.output.append(buffer.data(), n);
  const int status = pclose(pipe);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::string shell_quoted(const std::string& s) { return "'" + s + "'"; }

class MorvaneDat : public ::testing::Test {
 protected:
  void SetUp() override {
    pcx_ = test::read_file(test::testdata_dir() / "pcx" / "planet.pcx");
    if (pcx_.empty()) GTEST_SKIP() << "no PCX test data";
    test::Rar20Packer packer;
    test::EntrySpec packed;
    packed.name = "pics\\planet.pcx";
    packed.data = packer.pack(pcx_);
    packed.unp_size = static_cast<std::uint32_t>(pcx_.size());
    packed.method = 0x35;
    const std::string text = "hello";
    archive_ = std::make_unique<test::TempFile>(
        test::ArchiveBuilder().stored("readme.txt", std::vector<std::uint8_t>(text.begin(), text.end())).entry(packed).bytes());
  }
  void TearDown() override { std::filesystem::remove(out_); }

  std::vector<std::uint8_t> pcx_;
  std::unique_ptr<test::TempFile> archive_;
  std::string out_ = (std::filesystem::temp_directory_path() / ("morvane_dat_test_" + std::to_string(::getpid()))).string();
};

TEST_F(MorvaneDat, ListsEveryEntry) {
  const ToolRun r = run("list " + shell_quoted(archive_->path()));
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("readme.txt"), std::string::npos);
  EXPECT_NE(r.output.find("pics\\planet.pcx"), std::string::npos);
  EXPECT_NE(r.output.find("stored"), std::string::npos);
  EXPECT_NE(r.output.find(std::to_string(pcx_.size())), std::string::npos);
}

TEST_F(MorvaneDat, ExtractsToAFileOrStandardOutput) {
  ToolRun r = run("extract " + shell_quoted(archive_->path()) + " PICS/PLANET.PCX " + shell_quoted(out_));
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(test::read_file(out_), pcx_);
  r = run("extract " + shell_quoted(archive_->path()) + " readme.txt");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.output, "hello");
}

TEST_F(MorvaneDat, WritesPicturesAsPng) {
  for (const char* option : {"", " --no-palette"}) {
    const ToolRun r = run("picture " + shell_quoted(archive_->path()) + " pics_planet.pcx 50 49 " + shell_quoted(out_) + option);
    EXPECT_EQ(r.status, 0) << r.output;
    const auto png = test::read_file(out_);
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    EXPECT_EQ(png[25], *option ? 0 : 3) << "colour type: grey without the palette, indexed with it";
  }
}

TEST_F(MorvaneDat, FailuresExplainThemselves) {
  ToolRun r = run("extract " + shell_quoted(archive_->path()) + " missing.pcx");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("Could not load the file 'missing.pcx' from " + archive_->path()), std::string::npos);
  r = run("list /nonexistent/file.dat");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("/nonexistent/file.dat"), std::string::npos);
  r = run("picture " + shell_quoted(archive_->path()) + " readme.txt zero 10 " + shell_quoted(out_));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.output.find("WIDTH"), std::string::npos);
  EXPECT_EQ(run("frobnicate").status, 2);
  EXPECT_EQ(run("").status, 2);
  r = run("--help");
  EXPECT_EQ(r.status, 0);
  for (const char* command : {"list", "extract", "picture"}) EXPECT_NE(r.output.find(command), std::string::npos);
}

}  // namespace
}  // namespace morvane
