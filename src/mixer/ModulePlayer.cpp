#include "mixer/ModulePlayer.h"

#include <xmp.h>

#include <algorithm>
#include <cstdio>

#include "files/RegularFile.h"

namespace {
constexpr int kScratchFrames = 1024;
}

struct TModulePlayer::TSong {
  uint32_t Handle = 0;
  xmp_context Context = nullptr;
  bool Started = false;  // the player runs (xmp_start_player succeeded)
  bool Playing = false;  // rendered by the audio thread

  ~TSong() {
    if (Context == nullptr) return;
    if (Started) xmp_end_player(Context);
    xmp_release_module(Context);
    xmp_free_context(Context);
  }
};

TModulePlayer::TModulePlayer(int outputRate)
    : outputRate_(outputRate), scratch_(static_cast<size_t>(kScratchFrames) * 2) {}

TModulePlayer::~TModulePlayer() {
  std::lock_guard lock(mutex_);
  songs_.clear();
}

TModulePlayer::TSong* TModulePlayer::Find(uint32_t song) const {
  for (const auto& s : songs_) {
    if (s->Handle == song) return s.get();
  }
  return nullptr;
}

uint32_t TModulePlayer::SongLoadFromFile(const std::string& path) {
  auto song = std::make_unique<TSong>();
  song->Context = xmp_create_context();
  if (song->Context == nullptr) return 0;
  // Opened here rather than by the player, so that a FIFO or a folder at the
  // name is refused like a missing file instead of waited on.
  std::string error;
  long long size = 0;
  TFileDescriptor fd = OpenRegularFile(path, size, error);
  std::FILE* file = fd ? ::fdopen(fd.Get(), "rb") : nullptr;
  if (file != nullptr) (void)fd.Release();
  // Loading reads and parses the whole file; the audio thread is not involved.
  const bool loaded = file != nullptr &&
                      xmp_load_module_from_file(song->Context, file, static_cast<long>(size)) == 0;
  if (file != nullptr) std::fclose(file);
  if (!loaded) {
    xmp_free_context(song->Context);
    song->Context = nullptr;
    return 0;
  }
  std::lock_guard lock(mutex_);
  song->Handle = nextHandle_++;
  if (nextHandle_ == 0) nextHandle_ = 1;
  const uint32_t handle = song->Handle;
  songs_.push_back(std::move(song));
  return handle;
}

void TModulePlayer::SongPlay(uint32_t song) {
  std::lock_guard lock(mutex_);
  TSong* s = Find(song);
  if (s == nullptr) return;
  if (s->Started) xmp_end_player(s->Context);
  s->Started = xmp_start_player(s->Context, outputRate_, 0) == 0;
  s->Playing = s->Started;
}

void TModulePlayer::SongFree(uint32_t song) {
  std::unique_ptr<TSong> freed;
  {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(songs_.begin(), songs_.end(),
                           [song](const auto& s) { return s->Handle == song; });
    if (it == songs_.end()) return;
    freed = std::move(*it);
    songs_.erase(it);
  }
  // Released outside the lock: the audio thread can no longer reach it.
}

int32_t TModulePlayer::SongGetOrder(uint32_t song) const {
  std::lock_guard lock(mutex_);
  TSong* s = Find(song);
  if (s == nullptr || !s->Started) return 0;
  xmp_frame_info info{};
  xmp_get_frame_info(s->Context, &info);
  return info.pos;
}

int32_t TModulePlayer::SongGetTimeMs(uint32_t song) const {
  std::lock_guard lock(mutex_);
  TSong* s = Find(song);
  if (s == nullptr || !s->Started) return 0;
  xmp_frame_info info{};
  xmp_get_frame_info(s->Context, &info);
  return info.time;
}

size_t TModulePlayer::LoadedCount() const {
  std::lock_guard lock(mutex_);
  return songs_.size();
}

void TModulePlayer::RenderAdd(int32_t* accum, int frames) {
  std::lock_guard lock(mutex_);
  for (const auto& s : songs_) {
    if (!s->Playing) continue;
    int done = 0;
    while (done < frames) {
      const int n = std::min(frames - done, kScratchFrames);
      // Loop count 0: the module repeats when it reaches its end.
      if (xmp_play_buffer(s->Context, scratch_.data(), n * 4, 0) != 0) {
        s->Playing = false;
        break;
      }
      int32_t* out = accum + static_cast<ptrdiff_t>(done) * 2;
      for (int i = 0; i < n * 2; ++i) out[i] += scratch_[static_cast<size_t>(i)];
      done += n;
    }
  }
}
