// What both sound layers answer to misuse and to files they cannot play.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/offline_sound_library.h"
#include "platform/sdl_sound_library.h"
#include "tests/platform_sound/test_xm_builder.h"
#include "tests/platform_sound/z_song.h"

namespace morvane {
namespace {

constexpr int kErrorInitialized = 1;
constexpr int kErrorVersion = 13;

template <typename Library>
class SoundLibraryErrors : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 1); }
  Library sound_;
};

using Libraries = ::testing::Types<OfflineSoundLibrary, SdlSoundLibrary>;
TYPED_TEST_SUITE(SoundLibraryErrors, Libraries);

TYPED_TEST(SoundLibraryErrors, InitCloseAndTheCallsInBetween) {
  auto& sound = this->sound_;
  EXPECT_GE(sound.version(), 3.6f);
  const test::TempFile file("song.xm", test::z_song());
  EXPECT_EQ(sound.load_song(file.path()), nullptr);
  EXPECT_EQ(sound.last_error(), kSoundErrorUninitialized);
  EXPECT_FALSE(sound.init(100, 64, 2));
  EXPECT_EQ(sound.last_error(), kSoundErrorInvalidParam);
  ASSERT_TRUE(sound.init(44100, 64, 2));
  EXPECT_EQ(sound.last_error(), kSoundOk);
  EXPECT_FALSE(sound.init(44100, 64, 2));
  EXPECT_EQ(sound.last_error(), kErrorInitialized);
  SoundModule* module = sound.load_song(file.path());
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(sound.last_error(), kSoundOk);
  EXPECT_TRUE(sound.play_song(module));
  sound.close();
  sound.close();  // harmless when closed
  EXPECT_EQ(sound.load_song(file.path()), nullptr);
  EXPECT_EQ(sound.last_error(), kSoundErrorUninitialized);
  ASSERT_TRUE(sound.init(44100, 64, 2));  // and it opens again
  EXPECT_NE(sound.load_song(file.path()), nullptr);
}

TYPED_TEST(SoundLibraryErrors, FilesThatCannotBePlayed) {
  auto& sound = this->sound_;
  ASSERT_TRUE(sound.init(44100, 64, 2));
  EXPECT_EQ(sound.load_song(nullptr), nullptr);
  EXPECT_EQ(sound.last_error(), kSoundErrorInvalidParam);
  EXPECT_EQ(sound.load_song("no/such/morvane.xm"), nullptr);
  EXPECT_EQ(sound.last_error(), kSoundErrorFileNotFound);
  const test::TempFile text("morvane.xm", {'h', 'e', 'l', 'l', 'o'});
  EXPECT_EQ(sound.load_song(text.path()), nullptr);
  EXPECT_EQ(sound.last_error(), kSoundErrorFormat);
  std::vector<std::uint8_t> old = test::z_song();
  old[58] = 0x02;  // XM 1.02
  const test::TempFile old_file("old.xm", old);
  EXPECT_EQ(sound.load_song(old_file.path()), nullptr);
  EXPECT_EQ(sound.last_error(), kErrorVersion);
  std::vector<std::uint8_t> cut = test::z_song();
  cut.resize(400);  // inside the first pattern's data
  const test::TempFile cut_file("cut.xm", cut);
  EXPECT_EQ(sound.load_song(cut_file.path()), nullptr);
  EXPECT_EQ(sound.last_error(), kSoundErrorFormat);
  // A directory is no file.
  EXPECT_EQ(sound.load_song(std::filesystem::temp_directory_path().c_str()), nullptr);
  EXPECT_EQ(sound.last_error(), kSoundErrorFileNotFound);

  const std::filesystem::path xm = std::filesystem::path(MORVANE_TESTDATA_DIR) / "xm";
  if (!std::filesystem::is_directory(xm)) GTEST_SKIP() << "no test modules in " << xm;
  for (const char* broken : {"orders_hdr22.xm", "zero_chan.xm", "bad_patlen.xm"}) {
    EXPECT_EQ(sound.load_song((xm / broken).c_str()), nullptr) << broken;
    EXPECT_EQ(sound.last_error(), kSoundErrorFormat) << broken;
  }
  EXPECT_NE(sound.load_song((xm / "pattrunc.xm").c_str()), nullptr);
}

TYPED_TEST(SoundLibraryErrors, HandlesThatAreNotModules) {
  auto& sound = this->sound_;
  ASSERT_TRUE(sound.init(44100, 64, 2));
  const test::TempFile file("song.xm", test::z_song());
  SoundModule* module = sound.load_song(file.path());
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
