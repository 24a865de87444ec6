#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/AudioTestKit.h"
#include "audio/DXSound.h"
#include "audio/DirectSound.h"
#include "audio/DirectSoundBuffer.h"
#include "audio/DirectXError.h"
#include "mixer/AudioOutput.h"
#include "mixer/ModulePlayer.h"
#include "mixer/VoiceMixer.h"
#include "support/FakePlatform.h"

namespace {

using audiotest::ConstantWave;
using audiotest::Left;
using audiotest::MakeWave;

// An open output on the fake platform, with its voices and (idle) music.
struct TRig {
  explicit TRig(bool deviceAvailable = true) {
    platform.AudioAvailable = deviceAvailable;
    output.Open();
  }
  std::vector<int16_t> Pull(int frames) { return platform.PullAudio(frames); }

  FakePlatform platform;
  TVoiceMixer voices;
  TModulePlayer music{kOutputRate};
  TAudioOutput output{platform, voices, music};
};

TEST(DirectSoundBuffer, LockGivesOneOrTwoRegionsAndRefusesASecondLock) {
  TRig rig;
  TDirectSound ds(&rig.output);
  ASSERT_EQ(ds.DXResult(), DS_OK);
  TDirectSoundBuffer buffer(ds);
  buffer.LoadFromWave(ConstantWave(11025, 100, 200));

  struct Case {
    uint32_t offset, bytes, length1, length2;
    bool ok;
  };
  const std::vector<Case> cases = {
      {0, 100, 100, 0, true}, {10, 50, 50, 0, true}, {90, 30, 10, 20, true},
      {0, 101, 0, 0, false},  {100, 1, 0, 0, false}, {0, 0, 0, 0, false},
  };
  for (const Case& c : cases) {
    uint8_t* r1 = nullptr;
    uint8_t* r2 = nullptr;
    uint32_t n1 = 0;
    uint32_t n2 = 0;
    ASSERT_EQ(buffer.Lock(c.offset, c.bytes, r1, n1, r2, n2), c.ok) << c.offset << "+" << c.bytes;
    if (!c.ok) continue;
    EXPECT_EQ(n1, c.length1);
    EXPECT_EQ(n2, c.length2);
    EXPECT_EQ(r2 != nullptr, c.length2 > 0);
    uint8_t* q1 = nullptr;
    uint8_t* q2 = nullptr;
    EXPECT_FALSE(buffer.Lock(0, 1, q1, n1, q2, n2)) << "locked twice";
    EXPECT_EQ(buffer.DXResult(), DSERR_INVALIDCALL);
    buffer.Unlock();
  }
}

TEST(DirectSoundBuffer, DuplicateSharesTheSamplesAndPlaysOnItsOwn) {
  TRig rig;
  TDirectSound ds(&rig.output);
  TDirectSoundBuffer main(ds);
  main.LoadFromWave(ConstantWave(kOutputRate, 1000, 128));
  TDirectSoundBuffer copy(ds);
  copy.AssignDuplicate(main);
  ASSERT_EQ(ds.Buffers().size(), 2u);

  // Writing through the main buffer is heard through the copy.
  uint8_t* r1 = nullptr;
  uint8_t* r2 = nullptr;
  uint32_t n1 = 0;
  uint32_t n2 = 0;
  ASSERT_TRUE(main.Lock(0, 1000, r1, n1, r2, n2));
  std::fill_n(r1, n1, uint8_t{138});
  main.Unlock();

  copy.Play(false);
  EXPECT_EQ(copy.Status(), DSBSTATUS_PLAYING);
  EXPECT_EQ(main.Status(), 0u);
  const auto out = rig.Pull(10);
  EXPECT_EQ(Left(out, 5), 2560);
}

TEST(DirectSoundBuffer, StatusBitsFollowLoopingAndTheEndOfAOneShot) {
  TRig rig;
  TDirectSound ds(&rig.output);
  TDirectSoundBuffer buffer(ds);
  buffer.LoadFromWave(ConstantWave(11025, 100, 200));  // 400 output frames

  buffer.Play(false);
  EXPECT_EQ(buffer.Status(), DSBSTATUS_PLAYING);
  rig.Pull(399);
  EXPECT_TRUE(buffer.Playing());
  rig.Pull(2);
  EXPECT_EQ(buffer.Status(), 0u);
  EXPECT_FALSE(buffer.Playing());

  buffer.SetPosition(0);
  buffer.Play(true);
  EXPECT_EQ(buffer.Status(), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  const auto out = rig.Pull(4000);
  EXPECT_EQ(audiotest::SoundingFrames(out), 4000u);
  EXPECT_TRUE(buffer.Playing());
  buffer.Stop();
  EXPECT_EQ(buffer.Status(), 0u);
  EXPECT_TRUE(audiotest::Silent(rig.Pull(100)));
}

TEST(DirectSoundBuffer, FrequencyChangesPitchAndLength) {
  struct Case {
    int32_t frequency;
    size_t expectedFrames;
  };
  // 100 frames at 11025 Hz; 0 keeps the wave's own rate. The output runs at
  // 44100 Hz, so 8000 Hz takes 551.25 output frames.
  const std::vector<Case> cases = {{0, 400},    {22050, 200}, {44100, 100},
                                   {5512, 800}, {88200, 50},  {8000, 551}};
  for (const Case& c : cases) {
    TRig rig;
    TDirectSound ds(&rig.output);
    TDirectSoundBuffer buffer(ds);
    buffer.LoadFromWave(ConstantWave(11025, 100, 200));
    buffer.SetFrequency(c.frequency);
    ASSERT_EQ(buffer.DXResult(), DS_OK);
    buffer.Play(false);
    EXPECT_NEAR(static_cast<double>(audiotest::SoundingFrames(rig.Pull(2000))),
                static_cast<double>(c.expectedFrames), 1.0)
        << c.frequency;
  }
}

TEST(DirectSoundBuffer, OutOfRangeValuesOnlyLeaveAResult) {
  TRig rig;
  TDirectSound ds(&rig.output);
  TDirectSoundBuffer buffer(ds);
  buffer.LoadFromWave(ConstantWave(11025, 100, 200));
  struct Case {
    const char* what;
    void (TDirectSoundBuffer::*set)(int32_t);
    int32_t (TDirectSoundBuffer::*get)() const;
    int32_t value;
    bool accepted;
  };
  const std::vector<Case> cases = {
      {"pan", &TDirectSoundBuffer::SetPan, &TDirectSoundBuffer::Pan, -10000, true},
      {"pan", &TDirectSoundBuffer::SetPan, &TDirectSoundBuffer::Pan, 10001, false},
      {"volume", &TDirectSoundBuffer::SetVolume, &TDirectSoundBuffer::Volume, -10000, true},
      {"volume", &TDirectSoundBuffer::SetVolume, &TDirectSoundBuffer::Volume, 100, false},
      {"frequency", &TDirectSoundBuffer::SetFrequency, &TDirectSoundBuffer::Frequency, 99, false},
      {"frequency", &TDirectSoundBuffer::SetFrequency, &TDirectSoundBuffer::Frequency, 200000,
       true},
  };
  for (const Case& c : cases) {
    const int32_t before = (buffer.*c.get)();
    (buffer.*c.set)(c.value);
    EXPECT_EQ(buffer.DXResult(), c.accepted ? DS_OK : DSERR_INVALIDPARAM) << c.what << c.value;
    EXPECT_EQ((buffer.*c.get)(), c.accepted ? c.value : before) << c.what << c.value;
  }
}

TEST(DirectSoundBuffer, ErrorsCarryTheirMessages) {
  TRig rig;
  TDirectSound ds(&rig.output);
  TDirectSoundBuffer empty(ds);
  try {
    empty.Play(false);
    FAIL() << "no interface";
  } catch (const EDirectSoundBufferError& e) {
    EXPECT_STREQ(e.what(), "IDirectSoundBuffer not made");
  }
  // A format the device does not take (4-bit samples).
  TWave odd = MakeWave(11025, 1, 8, std::vector<uint8_t>(64, 128));
  odd.Format()[14] = 4;
  try {
    empty.LoadFromWave(odd);
    FAIL() << "bad format";
  } catch (const EDirectSoundBufferError& e) {
    EXPECT_STREQ(e.what(), "Sound Buffer cannot be made");
    EXPECT_EQ(empty.DXResult(), DSERR_BADFORMAT);
  }

  TRig silent(false);
  TDirectSound none(&silent.output);
  EXPECT_EQ(none.DXResult(), DSERR_NODRIVER);
  TDirectSoundBuffer orphan(none);
  try {
    orphan.LoadFromWave(ConstantWave(11025, 10, 128));
    FAIL() << "no device";
  } catch (const EDirectSoundError& e) {
    EXPECT_STREQ(e.what(), "IDirectSound not made");
  }
}

TEST(DirectSoundBuffer, OnlyBuffersWithAFocusFlagSoundInTheBackground) {
  struct Case {
    bool sticky, global, heardInBackground;
  };
  const Case cases[] = {{false, false, false}, {true, false, true}, {false, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "sticky " << c.sticky << " global " << c.global);
    TRig rig;
    TDirectSound ds(&rig.output);
    ds.StickyFocus = c.sticky;
    ds.GlobalFocus = c.global;
    TDirectSoundBuffer buffer(ds);
    buffer.LoadFromWave(ConstantWave(kOutputRate, 100, 200));
    buffer.Play(true);
    rig.voices.SetForeground(false);
    EXPECT_EQ(audiotest::Silent(rig.Pull(50)), !c.heardInBackground);
    EXPECT_TRUE(buffer.Playing());
    rig.voices.SetForeground(true);
    EXPECT_EQ(audiotest::SoundingFrames(rig.Pull(50)), 50u) << "back in the foreground";
  }
}

TEST(DXSound, WithoutADeviceInitializeFailsAndLoadedStaysSilent) {
  TRig rig(false);
  TDXSound sound(&rig.output);
  try {
    sound.Initialize();
    FAIL() << "no device";
  } catch (const EDirectSoundError& e) {
    EXPECT_STREQ(e.what(), "DirectSound cannot be initialized");
  }
  EXPECT_FALSE(sound.Initialized());
  EXPECT_EQ(sound.DSound(), nullptr);
  EXPECT_NO_THROW(sound.Loaded());
  EXPECT_FALSE(sound.Initialized());
  EXPECT_TRUE(rig.platform.Errors.empty());
}

TEST(DXSound, LifecycleNotifiesReceiversInOrder) {
  TRig rig;
  std::vector<std::string> log;
  {
    TDXSound sound(&rig.output);
    sound.OnInitialize = [&](TDXSound&) { log.push_back("OnInitialize"); };
    sound.OnRestore = [&](TDXSound&) { log.push_back("OnRestore"); };
    sound.OnFinalize = [&](TDXSound&) { log.push_back("OnFinalize"); };
    const char* names[] = {"destroying", "initializing", "initialize", "finalize", "restore"};
    sound.RegisterNotifyEvent(
        &log, [&](TDXSound&, TDXSoundNotifyType t) { log.push_back(names[static_cast<int>(t)]); });
    sound.Loaded();
    EXPECT_TRUE(sound.Initialized());
    EXPECT_EQ(sound.DSound()->CooperativeLevel(), DSSCL_NORMAL);
    ASSERT_NE(sound.Primary(), nullptr);
    EXPECT_TRUE(sound.Primary()->IsPrimary());
    log.push_back("--");
  }
  EXPECT_EQ(log,
            (std::vector<std::string>{"initializing", "initialize", "OnInitialize", "restore",
                                      "OnRestore", "--", "OnFinalize", "finalize", "destroying"}));
}

TEST(DXSound, ExclusiveKeepsItsValueWhileInitialized) {
  TRig rig;
  TDXSound sound(&rig.output);
  const auto exclusive = static_cast<TDXSoundOptions>(TDXSoundOption::soExclusive);
  const auto sticky = static_cast<TDXSoundOptions>(TDXSoundOption::soStickyFocus);
  sound.SetOptions(exclusive);
  EXPECT_EQ(sound.EffectiveOptions(), exclusive);
  sound.Initialize();
  EXPECT_EQ(sound.DSound()->CooperativeLevel(), DSSCL_EXCLUSIVE);
  sound.SetOptions(sticky);
  EXPECT_EQ(sound.EffectiveOptions(), exclusive | sticky);
  EXPECT_TRUE(sound.DSound()->StickyFocus);
  // Buffers created from now on carry the sticky-focus flag.
  TDirectSoundBuffer buffer(*sound.DSound());
  buffer.LoadFromWave(ConstantWave(11025, 10, 128));
  EXPECT_EQ(buffer.Caps().Flags,
            DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_STICKYFOCUS);
  sound.Finalize();
  EXPECT_EQ(sound.EffectiveOptions(), sticky);
}

}  // namespace
