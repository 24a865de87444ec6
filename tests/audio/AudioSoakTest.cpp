#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

#include "audio/AllocationProbe.h"
#include "audio/Audio.h"
#include "audio/AudioTestKit.h"
#include "audio/DXWaveList.h"
#include "platform/Random.h"
#include "support/FakePlatform.h"
#include "support/FileBytes.h"
#include "support/ScratchFolder.h"

namespace {

using allocprobe::TCallbackScope;

// Keeps the compiler from folding away an allocation and its free.
void* volatile gSink = nullptr;

TEST(AudioSoak, TheAllocationProbeSeesEveryCAllocationOnTheMarkedThreadOnly) {
  auto allocateEachWay = [] {
    gSink = std::malloc(24);
    std::free(gSink);
    gSink = std::calloc(3, 8);
    gSink = std::realloc(gSink, 4096);
    std::free(gSink);
    gSink = std::aligned_alloc(64, 128);
    std::free(gSink);
    void* p = nullptr;
    if (posix_memalign(&p, 64, 128) == 0) gSink = p;
    std::free(gSink);
    auto* v = new std::vector<int>(100);
    gSink = v;
    delete v;
  };
  const long allocations = allocprobe::Allocations();
  const long frees = allocprobe::Frees();
  std::thread([&] { allocateEachWay(); }).join();  // not marked: not counted
  EXPECT_EQ(allocprobe::Allocations() - allocations, 0);
  {
    TCallbackScope scope;
    allocateEachWay();
  }
  EXPECT_GE(allocprobe::Allocations() - allocations, 7);
  EXPECT_GE(allocprobe::Frees() - frees, 6);
}

TEST(AudioSoak, RandomPlaysWhileTheCallbackRendersOnAnotherThread) {
  const TScratchFolder folder("audio_soak");
  test_kit::WriteFile(folder / "1.xm", audiotest::TinyXm());
  FakePlatform platform;
  bool soundOn = true;
  TAudio audio(platform, soundOn, folder.String() + "/");
  audio.OpenDevice();
  ASSERT_TRUE(audio.HasDevice());
  // Short effects so that copies end and are reused while the soak runs.
  for (uint8_t id = 0; id < kSoundCount; ++id) {
    const TWave wave =
        audiotest::ConstantWave(11025, 200u + 150u * id, static_cast<uint8_t>(130 + id));
    audio.WaveList().Items()[id].Wave().Assign(&wave);
    audio.WaveList().Items()[id].Restore();
  }
  audio.PlayMusic("1.xm");

  const TAudioCallback callback = platform.AudioCallback;
  const long allocations = allocprobe::Allocations();
  const long frees = allocprobe::Frees();
  std::atomic<bool> stop{false};
  std::atomic<int> callbacks{0};
  std::thread renderer([&] {
    std::vector<int16_t> samples(2 * 512);
    TCallbackScope scope;
    while (!stop.load()) {
      callback(samples.data(), 512);
      callbacks.fetch_add(1);
    }
  });

  TRandom random(20261207);
  constexpr int kPlays = 6000;
  for (int i = 0; i < kPlays; ++i) {
    const auto x = static_cast<int32_t>(random.Random(1000)) - 100;
    const auto y = static_cast<int32_t>(random.Random(1000));
    const auto id = static_cast<uint8_t>(random.Random(kSoundCount));
    audio.PlaySoundAt(x, y, id);
    const uint32_t action = random.Random(200);
    if (action == 0) audio.PlayMusic("1.xm");
    if (action == 1) audio.StopMusic();
    if (action == 2)
      audio.WaveList().Items()[id].SetMaxPlayingCount(static_cast<int32_t>(random.Random(4)));
    if (action == 3) audio.WaveList().Items()[id].Stop();
    if (i % 64 == 0) std::this_thread::yield();
  }
  // Let the callback run a while with the last plays sounding.
  while (callbacks.load() < 50) std::this_thread::yield();
  stop = true;
  renderer.join();

  EXPECT_EQ(allocprobe::Allocations() - allocations, 0) << "malloc family on the callback thread";
  EXPECT_EQ(allocprobe::Frees() - frees, 0) << "free on the callback thread";
  EXPECT_GE(callbacks.load(), 50);
  for (uint8_t id = 0; id < kSoundCount; ++id) {
    const auto& item = audio.WaveList().Items()[id];
    if (item.MaxPlayingCount() > 0) {
      EXPECT_LE(item.DuplicateCount(), item.MaxPlayingCount());
    }
  }
}

}  // namespace
