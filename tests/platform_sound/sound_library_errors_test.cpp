// What both sound layers answer to misuse and to files they cannot play.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/offline_sound_library.h"
#include "platform/sdl_sound_library.h"
#include "tests/platform_sound/z_song.h"

namespace morvane {
namespace {

template <typename Library>
class SoundLibraryErrors : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 1); }
  Library sound_;
  const test::TempFile song_{"song.xm", test::z_song()};
};

using Libraries = ::testing::Types<OfflineSoundLibrary, SdlSoundLibrary>;
TYPED_TEST_SUITE(SoundLibraryErrors, Libraries);

TYPED_TEST(SoundLibraryErrors, InitCloseAndTheCallsInBetween) {
  auto& sound = this->sound_;
  const char* song = this->song_.path();
  EXPECT_GE(sound.version(), 3.6f);
  EXPECT_EQ(sound.load_song(song), nullptr);
  EXPECT_EQ(sound.last_error(), kSoundErrorUninitialized);
  EXPECT_FALSE(sound.init(100, 64, 2));
  EXPECT_EQ(sound.last_error(), kSoundErrorInvalidParam);
  ASSERT_TRUE(sound.init(44100, 64, 2));
  EXPECT_EQ(sound.last_error(), kSoundOk);
  EXPECT_FALSE(sound.init(44100, 64, 2));
  EXPECT_EQ(sound.last_error(), kSoundErrorInitialized);
  ASSERT_NE(sound.load_song(song), nullptr);
  EXPECT_EQ(sound.last_error(), kSoundOk);
  sound.close();
  sound.close();  // harmless when closed
  EXPECT_EQ(sound.load_song(song), nullptr);
  EXPECT_EQ(sound.last_error(), kSoundErrorUninitialized);
  ASSERT_TRUE(sound.init(44100, 64, 2));  // and it opens again
  EXPECT_NE(sound.load_song(song), nullptr);
}

TYPED_TEST(SoundLibraryErrors, FilesThatCannotBePlayed) {
  auto& sound = this->sound_;
  ASSERT_TRUE(sound.init(44100, 64, 2));
  EXPECT_EQ(sound.load_song(nullptr), nullptr);
  EXPECT_EQ(sound.last_error(), kSoundErrorInvalidParam);
  std::vector<std::uint8_t> old = test::z_song(), cut = test::z_song();
  old[58] = 0x02;  // XM 1.02
  cut.resize(400);  // inside the pattern data
  const test::TempFile text("a.xm", {'h', 'e', 'l', 'l', 'o'}), old_file("b.xm", old), cut_file("c.xm", cut);
  const std::filesystem::path xm = std::filesystem::path(MORVANE_TESTDATA_DIR) / "xm";
  const std::string dir = std::filesystem::temp_directory_path().string();  // a directory is no file
  struct Case {
    std::string path;
    int error;
  };
  std::vector<Case> cases = {{"no/such/morvane.xm", kSoundErrorFileNotFound}, {dir, kSoundErrorFileNotFound},
                             {text.path(), kSoundErrorFormat}, {old_file.path(), kSoundErrorVersion}, {cut_file.path(), kSoundErrorFormat}};
  for (const char* real : {"orders_hdr22.xm", "zero_chan.xm", "bad_patlen.xm"})
    if (std::filesystem::exists(xm / real)) cases.push_back({(xm / real).string(), kSoundErrorFormat});
  // Read ahead or not, a load answers the same.
  for (const bool prepared : {false, true}) {
    for (const Case& c : cases) {
      if (prepared) sound.prepare_song(c.path.c_str());
      EXPECT_EQ(sound.load_song(c.path.c_str()), nullptr) << c.path << (prepared ? " prepared" : "");
      EXPECT_EQ(sound.last_error(), c.error) << c.path << (prepared ? " prepared" : "");
    }
  }
  if (std::filesystem::exists(xm / "pattrunc.xm")) {
    EXPECT_NE(sound.load_song((xm / "pattrunc.xm").c_str()), nullptr);
  }
  // A preparation of another file, or one the library's close dropped, is not what a load gives.
  sound.prepare_song(text.path());
  EXPECT_NE(sound.load_song(this->song_.path()), nullptr);
  EXPECT_EQ(sound.last_error(), kSoundOk);
  sound.prepare_song(this->song_.path());
  sound.close();
  EXPECT_EQ(sound.load_song(this->song_.path()), nullptr);
  EXPECT_EQ(sound.last_error(), kSoundErrorUninitialized);
  ASSERT_TRUE(sound.init(22050, 64, 2));
  EXPECT_EQ(sound.load_song(text.path()), nullptr);
  EXPECT_EQ(sound.last_error(), kSoundErrorFormat);
}

TYPED_TEST(SoundLibraryErrors, HandlesThatAreNotModules) {
  auto& sound = this->sound_;
  ASSERT_TRUE(sound.init(44100, 64, 2));
  SoundModule* module = sound.load_song(this->song_.path());
  ASSERT_NE(module, nullptr);
  auto* stranger = reinterpret_cast<SoundModule*>(&sound);  // never dereferenced
  for (SoundModule* bad : {static_cast<SoundModule*>(nullptr), stranger}) {
    EXPECT_FALSE(sound.play_song(bad));
    EXPECT_EQ(sound.last_error(), kSoundErrorInvalidParam);
    EXPECT_FALSE(sound.set_zxx_callback(bad, nullptr));
    EXPECT_FALSE(sound.set_looping(bad, false));
    EXPECT_EQ(sound.order(bad), -1);
    EXPECT_EQ(sound.time_ms(bad), 0);
    EXPECT_FALSE(sound.free_song(bad));
    EXPECT_EQ(sound.last_error(), kSoundErrorInvalidParam);
  }
  EXPECT_TRUE(sound.free_song(module));
  EXPECT_FALSE(sound.free_song(module));  // freed twice
  EXPECT_EQ(sound.last_error(), kSoundErrorInvalidParam);
}

}  // namespace
}  // namespace morvane
