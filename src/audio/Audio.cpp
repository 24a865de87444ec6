#include "audio/Audio.h"

#include <algorithm>
#include <array>
#include <climits>
#include <string_view>

#include "audio/DXSound.h"
#include "audio/DXWaveList.h"
#include "audio/DirectXError.h"
#include "audio/EmbeddedWaves.h"
#include "mixer/AudioOutput.h"
#include "mixer/ModulePlayer.h"
#include "mixer/VoiceMixer.h"

namespace {

// How many copies of an effect may sound at once (0: no limit).
int32_t MaxPlayingCount(TSoundId id) {
  switch (id) {
    case sndWin:
    case sndVert:
      return 1;
    case sndShot:
      return 2;
    default:
      return 0;
  }
}

// Far-off positions give values the device rejects, never an overflow.
int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

struct TAudio::Impl {
  Impl(Platform& platform, const bool& soundSwitch, std::string folder)
      : soundOn(soundSwitch),
        musicFolder(std::move(folder)),
        voices(kOutputRate),
        music(kOutputRate),
        output(platform, voices, music),
        sound(&output) {}

  const bool& soundOn;
  std::string musicFolder;
  // Declaration order is teardown order in reverse: the wave list lets go of
  // its buffers before the device goes, and the output stops pulling before
  // the music player and the voices are released.
  TVoiceMixer voices;
  TModulePlayer music;
  TAudioOutput output;
  TDXSound sound;
  TDXWaveList waves;
  uint32_t song = 0;
};

TAudio::TAudio(Platform& platform, const bool& soundOn, std::string musicFolder)
    : impl_(std::make_unique<Impl>(platform, soundOn, std::move(musicFolder))) {
  TWaveCollection& items = impl_->waves.Items();
  for (const TSoundRow& row : kSounds) {
    TWaveCollectionItem& item = items.Add();
    item.SetName(std::string(row.Name));
    item.SetMaxPlayingCount(MaxPlayingCount(row.Id));
    try {
      item.Wave().LoadFromBytes(EmbeddedWave(row.Id));
    } catch (const std::exception&) {
      // A damaged image leaves that one effect silent.
      item.Wave().Clear();
    }
  }
  impl_->waves.SetDXSound(&impl_->sound);
}

void TAudio::OpenDevice() {
  if (impl_->output.IsOpen()) return;
  impl_->output.Open();
  // Without a device the sound stays uninitialized: every play is silent.
  impl_->sound.Loaded();
}

TAudio::~TAudio() {
  impl_->output.Close();
  impl_->waves.SetDXSound(nullptr);
  if (impl_->song != 0) impl_->music.SongFree(impl_->song);
}

bool TAudio::HasDevice() const {
  return impl_->sound.Initialized();
}
TDXWaveList& TAudio::WaveList() {
  return impl_->waves;
}
TDXSound& TAudio::Sound() {
  return impl_->sound;
}
TAudioOutput& TAudio::Output() {
  return impl_->output;
}
TModulePlayer& TAudio::Music() {
  return impl_->music;
}
uint32_t TAudio::Song() const {
  return impl_->song;
}

void TAudio::PlaySoundAt(int32_t x, int32_t y, uint8_t id) {
  if (!impl_->soundOn || id >= impl_->waves.Items().Count()) return;
  TWaveCollectionItem& item = impl_->waves.Items()[id];
  try {
    item.SetPan(Saturate((static_cast<int64_t>(x) - 400) * 10));
    item.SetVolume(Saturate(static_cast<int64_t>(y) - 800));
    item.Play(false);
  } catch (const EDirectXError&) {
    // A failed play is never reported: the effect is simply not heard.
  }
}

void TAudio::SetForeground(bool foreground) {
  impl_->voices.SetForeground(foreground);
}

void TAudio::PlayMusic(const std::string& track) {
  if (impl_->song != 0) impl_->music.SongFree(impl_->song);
  impl_->song = impl_->music.SongLoadFromFile(impl_->musicFolder + track);
  if (impl_->song != 0) impl_->music.SongPlay(impl_->song);
}

void TAudio::StopMusic() {
  if (impl_->song != 0) impl_->music.SongFree(impl_->song);
  impl_->song = 0;
}
