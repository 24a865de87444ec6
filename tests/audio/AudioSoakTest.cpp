#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>
#include <vector>

#include "audio/Audio.h"
#include "audio/AudioTestKit.h"
#include "audio/DXWaveList.h"
#include "platform/Random.h"
#include "support/FakePlatform.h"

// Counts allocations made by a thread while it is marked as the audio
// callback. Replacing the global allocation functions is the one hook that
// sees every operator new in this test binary.
namespace {

bool& InAudioCallback() {
  thread_local bool flag = false;
  return flag;
}

std::atomic<int>& CallbackAllocations() {
  static std::atomic<int> count{0};
  return count;
}

void* CountedAllocate(std::size_t size) {
  if (InAudioCallback()) CallbackAllocations().fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size != 0 ? size : 1)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) {
  return CountedAllocate(size);
}
void* operator new[](std::size_t size) {
  return CountedAllocate(size);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}

namespace {

// Marks the current thread as the audio callback for its lifetime.
struct TCallbackScope {
  TCallbackScope() { InAudioCallback() = true; }
  ~TCallbackScope() { InAudioCallback() = false; }
};

TEST(AudioSoak, TheAllocationProbeSeesAllocations) {
  const int before = CallbackAllocations().load();
  {
    TCallbackScope scope;
    auto* p = new std::vector<int>(100);
    delete p;
  }
  EXPECT_GE(CallbackAllocations().load() - before, 2);
}

TEST(AudioSoak, RandomPlaysWhileTheCallbackRendersOnAnotherThread) {
  const auto folder = audiotest::ScratchDir("soak");
  audiotest::WriteFile(folder / "1.xm", audiotest::TinyXm());
  FakePlatform platform;
  bool soundOn = true;
  TAudio audio(platform, soundOn, folder.string() + "/");
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
  const int before = CallbackAllocations().load();
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

  EXPECT_EQ(CallbackAllocations().load() - before, 0);
  EXPECT_GE(callbacks.load(), 50);
  for (uint8_t id = 0; id < kSoundCount; ++id) {
    const auto& item = audio.WaveList().Items()[id];
    if (item.MaxPlayingCount() > 0) {
      EXPECT_LE(item.DuplicateCount(), item.MaxPlayingCount());
    }
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
