#include "platform/qt_sound.h"

#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QMediaDevices>
#include <cstdint>
#include <filesystem>
#include <string>

#include "tests/platform/ini_test_dir.h"
#include "tests/platform/qt_test_app.h"

namespace zervik {
namespace {

using test::TTestDir;

constexpr int kSoundSettleMs = 300;

void PutLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A tenth of a second of a quiet 8-bit mono tone in a RIFF wave file.
std::string TinyWave() {
  constexpr std::uint32_t kRate = 8000;
  constexpr std::uint32_t kSamples = kRate / 10;
  std::string wav = "RIFF";
  PutLe(wav, 36 + kSamples, 4);
  wav += "WAVEfmt ";
  PutLe(wav, 16, 4);     // format chunk size
  PutLe(wav, 1, 2);      // PCM
  PutLe(wav, 1, 2);      // mono
  PutLe(wav, kRate, 4);  // sample rate
  PutLe(wav, kRate, 4);  // bytes per second
  PutLe(wav, 1, 2);      // block align
  PutLe(wav, 8, 2);      // bits per sample
  wav += "data";
  PutLe(wav, kSamples, 4);
  for (std::uint32_t i = 0; i < kSamples; ++i)
    wav.push_back(static_cast<char>(i % 16 < 8 ? 136 : 120));
  return wav;
}

bool MachineHasAudioOutput() { return !QMediaDevices::defaultAudioOutput().isNull(); }

class SoundPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override { test::TestApp(); }
};

TEST_F(SoundPlayerTest, MissingFilePlaysNothingAndReturns) {
  TTestDir dir;
  TSoundPlayer player;
  EXPECT_FALSE(player.Play(dir.File("Sounds/movesound.wav")));
  EXPECT_FALSE(player.Play(""));
  EXPECT_FALSE(player.Play(dir.Path().string())) << "a folder is not a sound";
  test::ProcessFor(kSoundSettleMs);
}

TEST_F(SoundPlayerTest, RelativeNameIsTakenFromTheCurrentDirectory) {
  TTestDir dir;
  std::filesystem::create_directory(dir.Path() / "Sounds");
  TTestDir::Put(dir.File("Sounds/chatsound.wav"), TinyWave());
  const auto oldDir = std::filesystem::current_path();
  TSoundPlayer player;

  std::filesystem::current_path(dir.Path());
  const bool played = player.Play(kChatSoundFile);
  const bool missing = player.Play(kMoveSoundFile);
  std::filesystem::current_path(oldDir);

  EXPECT_EQ(played, MachineHasAudioOutput());
  EXPECT_FALSE(missing);
  test::ProcessFor(kSoundSettleMs);
}

// Played again and again, switched between files, fed a broken file, and
// destroyed while a sound may still be playing: nothing of it may crash or
// hang, with or without an audio device.
TEST_F(SoundPlayerTest, RepeatedBrokenAndInterruptedSoundsAreHarmless) {
  TTestDir dir;
  const std::string good = dir.File("good.wav");
  const std::string broken = dir.File("broken.wav");
  TTestDir::Put(good, TinyWave());
  TTestDir::Put(broken, "RIFF\x10\x00\x00\x00WAVEjunk-not-a-wave");
  {
    TSoundPlayer player;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(player.Play(good), MachineHasAudioOutput());
    EXPECT_EQ(player.Play(broken), MachineHasAudioOutput());
    test::ProcessFor(kSoundSettleMs);
    EXPECT_EQ(player.Play(good), MachineHasAudioOutput());
    player.Stop();
    EXPECT_EQ(player.Play(good), MachineHasAudioOutput());
  }
  test::ProcessFor(kSoundSettleMs);
}

}  // namespace
}  // namespace zervik
