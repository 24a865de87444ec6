#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "audio/MusicPlayer.h"
#include "audio/SoundEffects.h"
#include "game/GameStates.h"
#include "graphics/Fonts.h"
#include "shell/Form.h"
#include "shell/TestPack.h"
#include "support/FakePlatform.h"

// Sound and music that remember what they were asked to play.
class RecordingSound final : public ISoundEffects {
 public:
  struct TCall {
    int32_t X;
    int32_t Y;
    uint8_t Id;
  };
  void PlaySoundAt(int32_t x, int32_t y, uint8_t id) override { Calls.push_back({x, y, id}); }
  std::vector<TCall> Calls;
};

class RecordingMusic final : public IMusic {
 public:
  void PlayMusic(const std::string& track) override { Calls.push_back("play " + track); }
  void StopMusic() override { Calls.push_back("stop"); }
  std::vector<std::string> Calls;
};

// A form on the fake platform with the test pack and a scratch folder of its
// own for "Config.cfg".
class FormFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Builds the form (not yet created).
  TForm1& MakeForm();
  // Builds and creates the form: settings, display, images, input, music.
  TForm1& StartForm();
  // Composes one frame now, whatever the pacing says.
  void ComposeFrame();
  // Hands the events pushed on the fake platform to the form, as the loop
  // does, without composing a frame.
  void Deliver();
  void Key(uint16_t key, bool alt = false) {
    sys_.PushKey(key, alt);
    Deliver();
  }
  void Wheel(int32_t delta) {
    sys_.PushWheel(delta);
    Deliver();
  }
  // The pointer moves to (x, y) and presses there.
  void Click(int32_t x, int32_t y) {
    sys_.PushMouseMove(x, y);
    sys_.PushMouseDown(x, y);
    Deliver();
  }
  TSurface& Back() { return *form_->Display.BackBuffer; }
  TSurface& Snapshot() { return *form_->Display.SnapshotSurface; }
  std::string ConfigPath() const { return (dir_ / "Config.cfg").string(); }

  static TFonts& SharedFonts();

  FakePlatform sys_;
  TShellState state_;
  RecordingSound sound_;
  RecordingMusic music_;
  std::unique_ptr<TForm1> form_;
  std::filesystem::path dir_;
};

// A started form resting on the main menu, driven by keys.
class MenuFixture : public FormFixture {
 protected:
  TForm1& Start() {
    StartForm();
    ComposeFrame();
    state_.GameState = gsMainMenu;
    return *form_;
  }
  TMenuWidgets& W() { return *form_->Widgets; }
};
