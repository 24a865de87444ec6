#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// The music module player on libxmp: load an XM file, play it (it repeats
// at its end), free it, ask its current order. Songs are addressed by a
// handle; 0 is never a song. The game thread loads, plays and frees; the
// audio thread renders. A song is freed only while the audio thread is not
// rendering it (both hold the same lock).
class TModulePlayer {
 public:
  explicit TModulePlayer(int outputRate);
  ~TModulePlayer();
  TModulePlayer(const TModulePlayer&) = delete;
  TModulePlayer& operator=(const TModulePlayer&) = delete;

  // Loads a whole module without starting it; 0 when the file is missing or
  // not a module the player reads.
  uint32_t SongLoadFromFile(const std::string& path);
  // Starts the song from its beginning (restarts it when already playing).
  void SongPlay(uint32_t song);
  // Stops the song and releases it; the handle is not valid afterwards.
  void SongFree(uint32_t song);
  // Position in the song's pattern order; 0 for an unknown or idle song.
  int32_t SongGetOrder(uint32_t song) const;
  // Elapsed playing time of the song in milliseconds; 0 when idle or unknown.
  int32_t SongGetTimeMs(uint32_t song) const;

  size_t LoadedCount() const;

  // Audio thread: adds `frames` stereo frames of every playing song into `accum`.
  void RenderAdd(int32_t* accum, int frames);

 private:
  struct TSong;
  TSong* Find(uint32_t song) const;

  const int outputRate_;
  mutable std::mutex mutex_;
  std::vector<std::unique_ptr<TSong>> songs_;
  std::vector<int16_t> scratch_;  // one chunk of rendered music
  uint32_t nextHandle_ = 1;
};
