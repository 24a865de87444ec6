#include "audio/DXWaveList.h"

#include <gtest/gtest.h>

#include "audio/AudioTestKit.h"
#include "audio/DirectSoundBuffer.h"
#include "mixer/AudioOutput.h"
#include "mixer/ModulePlayer.h"
#include "mixer/VoiceMixer.h"
#include "support/FakePlatform.h"

namespace {

struct TRig {
  TRig() { output.Open(); }
  FakePlatform platform;
  TVoiceMixer voices;
  TModulePlayer music{kOutputRate};
  TAudioOutput output{platform, voices, music};
  TDXSound sound{&output};
};

TWaveCollectionItem& AddEffect(TWaveCollection& items, const char* name, uint8_t value) {
  TWaveCollectionItem& item = items.Add();
  item.SetName(name);
  const TWave wave = audiotest::ConstantWave(8000, 800, value);
  item.Wave().Assign(&wave);
  return item;
}

TEST(DXWaveList, BindingFollowsTheSoundComponent) {
  TRig rig;
  rig.sound.Initialize();
  TDXWaveList list;
  TWaveCollectionItem& item = AddEffect(list.Items(), "Hit", 150);
  EXPECT_FALSE(item.Initialized());
  item.Play();  // not bound yet: nothing happens
  EXPECT_EQ(item.DuplicateCount(), 0);

  // Registering with an initialized component initializes and loads at once.
  list.SetDXSound(&rig.sound);
  EXPECT_TRUE(item.Initialized());
  ASSERT_NE(item.Buffer(), nullptr);
  EXPECT_EQ(item.Buffer()->Bytes(), 800u);
  item.Play();
  EXPECT_EQ(audiotest::Left(rig.platform.PullAudio(4), 2), 22 * 256);

  // Finalizing the component finalizes the items; initializing it again reloads them.
  rig.sound.Finalize();
  EXPECT_FALSE(item.Initialized());
  EXPECT_EQ(item.DuplicateCount(), 0);
  rig.sound.Initialize();
  EXPECT_TRUE(item.Initialized());
  EXPECT_NE(item.Buffer(), nullptr);

  list.SetDXSound(nullptr);
  EXPECT_FALSE(item.Initialized());
  EXPECT_TRUE(audiotest::Silent(rig.platform.PullAudio(64)));
}

TEST(DXWaveList, ADestroyedComponentIsForgotten) {
  TDXWaveList list;
  AddEffect(list.Items(), "Win", 200);
  {
    TRig rig;
    list.SetDXSound(&rig.sound);
    rig.sound.Loaded();
    EXPECT_TRUE(list.Items()[0].Initialized());
  }
  EXPECT_EQ(list.DXSound(), nullptr);
  EXPECT_EQ(list.Items().DXSound(), nullptr);
  EXPECT_FALSE(list.Items()[0].Initialized());
  list.Items()[0].Play();  // harmless without a device
}

TEST(DXWaveList, AssigningItemsCopiesThemAndReloadsLoadedOnes) {
  TRig rig;
  rig.sound.Initialize();
  TDXWaveList source;
  TWaveCollectionItem& shot = AddEffect(source.Items(), "Shot", 140);
  shot.SetMaxPlayingCount(2);
  shot.SetPan(-300);
  shot.SetVolume(-200);
  shot.SetFrequency(11025);
  AddEffect(source.Items(), "Expl", 160).SetLooped(true);

  TDXWaveList target;
  target.SetDXSound(&rig.sound);
  AddEffect(target.Items(), "Old", 128);
  target.SetItems(source.Items());
  ASSERT_EQ(target.Items().Count(), 2);
  EXPECT_EQ(target.Items().IndexOf("old"), -1);
  const TWaveCollectionItem& copy = target.Items()[0];
  EXPECT_EQ(copy.Name(), "Shot");
  EXPECT_EQ(target.Items().IndexOf("shot"), 0);
  EXPECT_EQ(copy.MaxPlayingCount(), 2);
  EXPECT_EQ(copy.Pan(), -300);
  EXPECT_EQ(copy.Volume(), -200);
  EXPECT_EQ(copy.Frequency(), 11025);
  EXPECT_EQ(copy.Wave().Size(), 800);
  EXPECT_TRUE(target.Items()[1].Looped());

  // An item that was loaded is finalized by the assignment and loaded again.
  TWaveCollectionItem& loaded = target.Items()[1];
  ASSERT_TRUE(loaded.Initialized());
  loaded.Assign(source.Items()[0]);
  EXPECT_TRUE(loaded.Initialized());
  ASSERT_NE(loaded.Buffer(), nullptr);
  EXPECT_EQ(loaded.Buffer()->Pan(), -300);
  EXPECT_EQ(loaded.Buffer()->Frequency(), 11025);
}

}  // namespace
