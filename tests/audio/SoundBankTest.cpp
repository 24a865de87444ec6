#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "audio/Audio.h"
#include "audio/AudioTestKit.h"
#include "audio/DXSound.h"
#include "audio/DXWaveList.h"
#include "audio/DirectSound.h"
#include "audio/DirectSoundBuffer.h"
#include "audio/EmbeddedWaves.h"
#include "support/FakePlatform.h"

namespace {

using audiotest::ConstantWave;
using audiotest::Left;
using audiotest::Right;

// The game's audio on the fake platform; sound ids can be given test waves.
struct TBank {
  explicit TBank(bool device = true) {
    platform.AudioAvailable = device;
    audio = std::make_unique<TAudio>(platform, soundOn);
    audio->OpenDevice();
  }
  TWaveCollectionItem& Item(uint8_t id) { return audio->WaveList().Items()[id]; }
  // Replaces an effect's samples (the device reloads it at once).
  void SetWave(uint8_t id, const TWave& wave) {
    Item(id).Wave().Assign(&wave);
    Item(id).Restore();
  }
  std::vector<int16_t> Pull(int frames) { return platform.PullAudio(frames); }

  FakePlatform platform;
  bool soundOn = true;
  std::unique_ptr<TAudio> audio;
};

TEST(SoundBank, CarriesTheTenEffectsWithTheirPolicies) {
  TBank bank;
  ASSERT_TRUE(bank.audio->HasDevice());
  struct Case {
    const char* name;
    int32_t maxPlaying;
  };
  const Case cases[kSoundCount] = {{"CheckMenu", 0}, {"Win", 1},   {"Loose", 0}, {"Shot", 2},
                                   {"Snarad", 0},    {"Bomba", 0}, {"Expl", 0},  {"Vert", 1},
                                   {"Hit", 0},       {"Bonus", 0}};
  ASSERT_EQ(bank.audio->WaveList().Items().Count(), kSoundCount);
  for (uint8_t id = 0; id < kSoundCount; ++id) {
    TWaveCollectionItem& item = bank.Item(id);
    EXPECT_EQ(item.Name(), cases[id].name);
    EXPECT_EQ(item.MaxPlayingCount(), cases[id].maxPlaying) << cases[id].name;
    EXPECT_FALSE(item.Looped());
    EXPECT_EQ(item.Wave().Size() > 0, !EmbeddedWave(id).empty()) << cases[id].name;
    if (item.Wave().Size() > 0) {
      EXPECT_TRUE(item.Initialized()) << cases[id].name;
      ASSERT_NE(item.Buffer(), nullptr) << cases[id].name;
      EXPECT_EQ(item.Buffer()->Bytes(), static_cast<uint32_t>(item.Wave().Size()));
    }
  }
}

TEST(SoundBank, PlaySoundAtDerivesPanAndVolumeFromThePosition) {
  struct Case {
    int32_t x, y;
    int32_t pan, volume;
    double leftDb, rightDb;
  };
  const std::vector<Case> cases = {
      {400, 800, 0, 0, 0, 0},       // centre, full level
      {0, 800, -4000, 0, 0, -40},   // left edge: right side 40 dB down
      {800, 800, 4000, 0, -40, 0},  // right edge
      {400, 100, 0, -700, -7, -7},  // "Loose" position
      {600, 500, 2000, -300, -23, -3},
  };
  for (const Case& c : cases) {
    TBank bank;
    bank.SetWave(sndCheckMenu, ConstantWave(11025, 2000, 228));  // +25600
    bank.audio->PlaySoundAt(c.x, c.y, sndCheckMenu);
    EXPECT_EQ(bank.Item(sndCheckMenu).Pan(), c.pan);
    EXPECT_EQ(bank.Item(sndCheckMenu).Volume(), c.volume);
    const auto out = bank.Pull(64);
    EXPECT_NEAR(audiotest::Db(Left(out, 32) / 25600.0), c.leftDb, 0.05) << c.x << "," << c.y;
    EXPECT_NEAR(audiotest::Db(Right(out, 32) / 25600.0), c.rightDb, 0.05) << c.x << "," << c.y;
  }
}

TEST(SoundBank, SoundOffChangesNothing) {
  TBank bank;
  bank.soundOn = false;
  for (uint8_t id = 0; id < kSoundCount; ++id) bank.audio->PlaySoundAt(0, 0, id);
  for (uint8_t id = 0; id < kSoundCount; ++id) {
    EXPECT_EQ(bank.Item(id).Pan(), 0);
    EXPECT_EQ(bank.Item(id).Volume(), 0);
    EXPECT_EQ(bank.Item(id).DuplicateCount(), 0);
  }
  EXPECT_TRUE(audiotest::Silent(bank.Pull(512)));
}

TEST(SoundBank, WithoutADeviceEveryPlayIsSilentAndNothingIsShown) {
  TBank bank(false);
  EXPECT_FALSE(bank.audio->HasDevice());
  for (uint8_t id = 0; id <= kSoundCount; ++id) bank.audio->PlaySoundAt(100, 300, id);
  bank.audio->PlayMusic("1.xm");
  bank.audio->StopMusic();
  EXPECT_FALSE(bank.Item(sndShot).Initialized());
  EXPECT_EQ(bank.Item(sndShot).DuplicateCount(), 0);
  EXPECT_TRUE(bank.platform.Errors.empty());
  EXPECT_TRUE(bank.Pull(64).empty());  // the output never opened
}

TEST(SoundBank, PlayPolicyGrowsStealsAndRestarts) {
  struct Case {
    uint8_t id;
    int plays;
    int expectedCopies;
  };
  // Shot: two copies, the third play restarts the first; Win: one copy
  // restarted; CheckMenu: no limit.
  const std::vector<Case> cases = {{sndShot, 3, 2}, {sndWin, 2, 1}, {sndCheckMenu, 4, 4}};
  for (const Case& c : cases) {
    TBank bank;
    bank.SetWave(c.id, ConstantWave(11025, 11025, 200));  // one second
    std::vector<TDirectSoundBuffer*> started;
    for (int i = 0; i < c.plays; ++i) {
      bank.audio->PlaySoundAt(400, 800, c.id);
      bank.Pull(441);  // 10 ms between plays
      const TWaveCollectionItem& item = bank.Item(c.id);
      started.push_back(&item.Duplicate(item.DuplicateCount() - 1));
    }
    const TWaveCollectionItem& item = bank.Item(c.id);
    ASSERT_EQ(item.DuplicateCount(), c.expectedCopies) << int{c.id};
    for (int i = 0; i < item.DuplicateCount(); ++i) EXPECT_TRUE(item.Duplicate(i).Playing());
    if (c.plays > c.expectedCopies) {
      // The copy played last is the one that was first in the list, now at its end,
      // 10 ms into its restart.
      EXPECT_EQ(started.back(), started[static_cast<size_t>(c.plays - c.expectedCopies - 1)]);
      EXPECT_EQ(&item.Duplicate(item.DuplicateCount() - 1), started.back());
      EXPECT_NEAR(started.back()->Position(), 110, 2);
    }
  }
}

TEST(SoundBank, AFreeCopyIsReusedInPlace) {
  TBank bank;
  bank.SetWave(sndExpl, ConstantWave(11025, 110, 200));  // 10 ms
  bank.audio->PlaySoundAt(400, 800, sndExpl);
  bank.audio->PlaySoundAt(400, 800, sndExpl);
  TDirectSoundBuffer* first = &bank.Item(sndExpl).Duplicate(0);
  bank.Pull(1000);  // both end
  bank.audio->PlaySoundAt(400, 800, sndExpl);
  EXPECT_EQ(bank.Item(sndExpl).DuplicateCount(), 2);
  EXPECT_EQ(&bank.Item(sndExpl).Duplicate(0), first);
  EXPECT_TRUE(first->Playing());
  EXPECT_FALSE(bank.Item(sndExpl).Duplicate(1).Playing());
}

TEST(SoundBank, ChangingMaxPlayingCountDestroysSoundingCopies) {
  TBank bank;
  bank.SetWave(sndHit, ConstantWave(11025, 11025, 200));
  for (int i = 0; i < 3; ++i) bank.audio->PlaySoundAt(400, 800, sndHit);
  ASSERT_EQ(bank.Item(sndHit).DuplicateCount(), 3);
  EXPECT_FALSE(audiotest::Silent(bank.Pull(64)));
  bank.Item(sndHit).SetMaxPlayingCount(-5);  // negative counts as 0: no change
  EXPECT_EQ(bank.Item(sndHit).DuplicateCount(), 3);
  bank.Item(sndHit).SetMaxPlayingCount(2);
  EXPECT_EQ(bank.Item(sndHit).DuplicateCount(), 0);
  EXPECT_TRUE(audiotest::Silent(bank.Pull(64)));
}

TEST(SoundBank, LoopedItemPlaysItsMainBufferUntilStopped) {
  TBank bank;
  bank.SetWave(sndVert, ConstantWave(11025, 110, 200));  // 10 ms, looped for a second
  bank.Item(sndVert).SetLooped(true);
  bank.Item(sndVert).Play();
  EXPECT_EQ(bank.Item(sndVert).DuplicateCount(), 0);
  EXPECT_EQ(bank.Item(sndVert).Buffer()->Status(), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  EXPECT_EQ(audiotest::SoundingFrames(bank.Pull(44100)), 44100u);
  bank.Item(sndVert).SetLooped(false);  // a change stops the item first
  EXPECT_FALSE(bank.Item(sndVert).Buffer()->Playing());
  EXPECT_TRUE(audiotest::Silent(bank.Pull(64)));
}

TEST(SoundBank, LostBuffersAreRestoredOnceEvenWhenALossIsReportedDuringTheRestore) {
  TBank bank;
  for (uint8_t id = 0; id < kSoundCount; ++id) {
    bank.SetWave(id, ConstantWave(11025, 1000, static_cast<uint8_t>(140 + id)));
  }
  TDXSound& sound = bank.audio->Sound();
  TDirectSound& device = *sound.DSound();
  int restores = 0;
  sound.OnRestore = [&](TDXSound&) {
    ++restores;
    // Another loss is reported while the restore is still running.
    device.LoseBuffers();
    bank.audio->PlaySoundAt(400, 800, sndExpl);
    bank.Item(sndWin).Buffer()->SetDXResult(DSERR_BUFFERLOST);
  };
  const int createdBefore = device.CreatedBufferCount();
  device.LoseBuffers();
  bank.audio->PlaySoundAt(400, 800, sndShot);
  EXPECT_EQ(restores, 1);
  EXPECT_EQ(device.CreatedBufferCount() - createdBefore, kSoundCount);

  // Afterwards the effects play again, each restore reloading every main buffer once.
  sound.OnRestore = [&](TDXSound&) { ++restores; };
  bank.audio->PlaySoundAt(400, 800, sndShot);
  EXPECT_EQ(restores, 2);
  EXPECT_EQ(device.CreatedBufferCount() - createdBefore, 2 * kSoundCount);
  for (uint8_t id = 0; id < kSoundCount; ++id) EXPECT_FALSE(bank.Item(id).Buffer()->Lost());
  const auto out = bank.Pull(64);
  EXPECT_EQ(Left(out, 10), (140 + sndShot - 128) * 256);
}

TEST(SoundBank, ALostCopyComesBackWithTheRestore) {
  TBank bank;
  bank.SetWave(sndSnarad, ConstantWave(11025, 110, 150));
  bank.audio->PlaySoundAt(400, 800, sndSnarad);
  bank.Pull(1000);
  ASSERT_EQ(bank.Item(sndSnarad).DuplicateCount(), 1);
  bank.audio->Sound().DSound()->LoseBuffers();
  bank.audio->PlaySoundAt(400, 800, sndSnarad);  // the free copy reports the loss
  EXPECT_EQ(bank.Item(sndSnarad).DuplicateCount(), 1);
  EXPECT_FALSE(bank.Item(sndSnarad).Duplicate(0).Lost());
  EXPECT_TRUE(bank.Item(sndSnarad).Duplicate(0).Playing());
  EXPECT_EQ(Left(bank.Pull(8), 4), 22 * 256);
}

}  // namespace
