#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "audio/Audio.h"
#include "audio/AudioTestKit.h"
#include "audio/DXWaveList.h"
#include "mixer/MixVoice.h"
#include "mixer/ModulePlayer.h"
#include "support/FakePlatform.h"
#include "support/FileBytes.h"
#include "support/ScratchFolder.h"

namespace {

// The game's audio with its music folder in a scratch directory holding a
// small module as "1.xm" and "2.xm", and a damaged one as "bad.xm".
struct TMusicRig {
  explicit TMusicRig(const std::string& name) : folder("audio_" + name) {
    test_kit::WriteFile(folder / "1.xm", audiotest::TinyXm());
    test_kit::WriteFile(folder / "2.xm", audiotest::TinyXm());
    std::vector<uint8_t> bad = audiotest::TinyXm();
    bad.resize(80);
    test_kit::WriteFile(folder / "bad.xm", bad);
    audio = std::make_unique<TAudio>(platform, soundOn, folder.String() + "/");
    audio->OpenDevice();
  }
  std::vector<int16_t> Pull(int frames) { return platform.PullAudio(frames); }

  TScratchFolder folder;  // goes after the audio that reads it
  FakePlatform platform;
  bool soundOn = true;
  std::unique_ptr<TAudio> audio;
};

TEST(Music, PlayMusicTwiceRestartsFromTheBeginning) {
  TMusicRig rig("restart");
  rig.audio->PlayMusic("1.xm");
  ASSERT_NE(rig.audio->Song(), 0u);
  const auto first = rig.Pull(8192);
  ASSERT_FALSE(audiotest::Silent(first));
  rig.Pull(44100);
  EXPECT_GT(rig.audio->Music().SongGetTimeMs(rig.audio->Song()), 1000);

  rig.audio->PlayMusic("1.xm");
  EXPECT_EQ(rig.audio->Music().LoadedCount(), 1u);  // the old song was freed
  EXPECT_EQ(rig.audio->Music().SongGetOrder(rig.audio->Song()), 0);
  EXPECT_EQ(rig.Pull(8192), first);
}

TEST(Music, SongsRepeatAtTheirEnd) {
  TMusicRig rig("repeat");
  rig.audio->PlayMusic("2.xm");
  // 16 rows at tempo 6, 125 BPM last 1.92 s; after ten seconds it still plays.
  for (int i = 0; i < 10; ++i) rig.Pull(44100);
  EXPECT_FALSE(audiotest::Silent(rig.Pull(4410)));
}

TEST(Music, StopAndMissingOrDamagedModulesAreSilent) {
  struct Case {
    const char* track;
    bool stop;
  };
  const std::vector<Case> cases = {{"1.xm", true}, {"missing.xm", false}, {"bad.xm", false}};
  for (const Case& c : cases) {
    TMusicRig rig("silent");
    rig.audio->PlayMusic("1.xm");
    rig.Pull(1024);
    if (c.stop) {
      rig.audio->StopMusic();
    } else {
      rig.audio->PlayMusic(c.track);
    }
    EXPECT_EQ(rig.audio->Song(), 0u) << c.track;
    EXPECT_EQ(rig.audio->Music().LoadedCount(), 0u) << c.track;
    EXPECT_TRUE(audiotest::Silent(rig.Pull(4096))) << c.track;
    EXPECT_TRUE(rig.platform.Errors.empty()) << c.track;
    rig.audio->StopMusic();  // stopping again is harmless
  }
}

TEST(Music, MusicPlusEffectsSaturatesInsteadOfWrapping) {
  TMusicRig rig("saturate");
  auto& shot = rig.audio->WaveList().Items()[sndShot];
  const TWave loud = audiotest::ConstantWave(44100, 44100, 255);
  shot.Wave().Assign(&loud);
  shot.Restore();

  rig.audio->PlayMusic("1.xm");
  const auto music = rig.Pull(8192);
  rig.audio->StopMusic();
  rig.audio->PlaySoundAt(400, 800, sndShot);
  const auto effect = rig.Pull(8192);
  rig.audio->WaveList().Items()[sndShot].Stop();

  rig.audio->PlayMusic("1.xm");
  rig.audio->PlaySoundAt(400, 800, sndShot);
  const auto both = rig.Pull(8192);

  int clipped = 0;
  for (size_t i = 0; i < both.size(); ++i) {
    const int32_t sum = int32_t{music[i]} + effect[i];
    const int32_t expected = std::clamp(sum, -32768, 32767);
    ASSERT_EQ(both[i], expected) << "sample " << i;
    clipped += sum > 32767 ? 1 : 0;
  }
  EXPECT_GT(clipped, 100);  // the case was really exercised
}

}  // namespace
