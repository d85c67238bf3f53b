// morvane-dat scene, run as a user would.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>

namespace {

const std::filesystem::path kDir = std::filesystem::path(MORVANE_TESTDATA_DIR) / "3ds";

struct Outcome {
  int status;
  std::string out;
};

Outcome run(const std::string& arguments) {
  const std::string command = std::string(MORVANE_DAT_EXE) + " scene " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  Outcome r{-1, ""};
  if (!pipe) return r;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) r.out.append(buffer, n);
  const int raw = pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return r;
}

class SceneCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kDir)) GTEST_SKIP() << "no sample files in " << kDir;
  }
};

TEST_F(SceneCommand, PrintsTheRecords) {
  const Outcome r = run((kDir / "cube_cam.3ds").string());
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("[0] \"cube\": 8 vertices, 12 faces, mapping coordinates"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("[2] \"c_blue\": base 128, 128, 128; random 0, 0, 0"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("active camera: [0] \"camera01\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("    [Element1] (element 0)\n      cube (mesh 0)\n"), std::string::npos) << r.out;
}

TEST_F(SceneCommand, ForeignFilesMayNeedRoom) {
  const std::string file = (kDir / "pyramob.3ds").string();
  const Outcome tight = run(file);
  EXPECT_EQ(tight.status, 1);
  EXPECT_NE(tight.out.find("VELDRA:GET:LIGHT: No more lights"), std::string::npos) << tight.out;
  const Outcome roomy = run("--roomy " + file);
  EXPECT_EQ(roomy.status, 0) << roomy.out;
  EXPECT_NE(roomy.out.find("spotlight at"), std::string::npos);
}

TEST_F(SceneCommand, RendersOneFrame) {
  const std::filesystem::path png = std::filesystem::path(MORVANE_BUILD_DIR) / "engine_scene_command_test.png";
  std::filesystem::remove(png);
  const Outcome r = run((kDir / "room.3ds").string() + " --render " + png.string() + " --eye 0,300,-300 --target 0,0,0 --fov 60");
  EXPECT_EQ(r.status, 0) << r.out;
  std::ifstream in(png, std::ios::binary);
  char signature[8] = {};
  in.read(signature, 8);
  EXPECT_EQ(std::string(signature + 1, 3), "PNG");

  EXPECT_EQ(run((kDir / "room.3ds").string() + " --render x.png --eye 1,2,3").status, 2);
  EXPECT_EQ(run((kDir / "room.3ds").string() + " --render x.png").status, 2);  // no camera in the file
}

}  // namespace
