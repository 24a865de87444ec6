#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "audio/MusicPlayer.h"
#include "audio/SoundEffects.h"
#include "platform/Platform.h"

class TAudioOutput;
class TDXSound;
class TDXWaveList;
class TModulePlayer;

// The game's audio: the software sound device with the ten-effect sound bank,
// and the music player, mixed into the platform's audio output. Without a sound
// device every play is silent and nothing is reported.
class TAudio final : public ISoundEffects, public IMusic {
 public:
  // `soundOn` is the settings flag, read on every PlaySoundAt; it must outlive
  // this object. Music tracks are loaded from `musicFolder` + track.
  // Nothing is heard until OpenDevice: the bank and the music player are
  // ready without the device, so opening it can wait until the window shows.
  TAudio(Platform& platform, const bool& soundOn, std::string musicFolder = "sound/");
  // Closes the audio output before the music player is released.
  ~TAudio() override;
  TAudio(const TAudio&) = delete;
  TAudio& operator=(const TAudio&) = delete;

  void PlaySoundAt(int32_t x, int32_t y, uint8_t id) override;
  void SetForeground(bool foreground) override;
  void PlayMusic(const std::string& track) override;
  void StopMusic() override;

  // Opens the sound device and starts it pulling the mix (a song already
  // playing starts from its beginning); silent when there is none.
  void OpenDevice();
  bool HasDevice() const;

  // The parts, for tests and tools that listen to the mix.
  TDXWaveList& WaveList();
  TDXSound& Sound();
  TAudioOutput& Output();
  TModulePlayer& Music();
  // The loaded song's handle; 0 when none.
  uint32_t Song() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
