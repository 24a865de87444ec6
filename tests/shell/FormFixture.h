#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/GameStates.h"
#include "graphics/Fonts.h"
#include "shell/Form.h"
#include "shell/FormProbe.h"
#include "shell/TestPack.h"
#include "support/FakePlatform.h"
#include "support/RecordingAudio.h"
#include "support/ScratchFolder.h"

// A form on the fake platform with the test pack and a scratch folder of its
// own for "Config.cfg".
class FormFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Builds the form (not yet created), with the command line's display mode.
  TForm1& MakeForm(std::optional<bool> windowedThisRun = std::nullopt);
  // Builds and creates the form: settings, display, images, input, music.
  TForm1& StartForm();
  // One pass of the loop: the pending events, a frame, the wait for the clock.
  void ComposeFrame() { form_->RunOnce(); }
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
  // Moves the pointer and tells whether the form took the new position, which
  // it does only while its display is ready.
  bool TakesPointer() {
    const int32_t x = state_.MouseX == 11 ? 12 : 11;
    sys_.PushMouseMove(x, 13);
    Deliver();
    return state_.MouseX == x && state_.MouseY == 13;
  }
  // The last presented frame.
  uint32_t Pixel(int32_t x, int32_t y) const { return sys_.FramePixel(x, y); }
  int CountPixels(TRect area, uint32_t color) const;
  // Composes a frame and tells whether it shows `button`'s highlight.
  bool ShowsHighlight(const TButtonSpec& button) {
    ComposeFrame();
    return Pixel(button.Rect.Left + 1, button.Rect.Top + 1) ==
           test_pack::MenuColor(button.ImageIndex);
  }
  // On a presented options screen: whether toggle `row` (0 display, 1 music,
  // 2 sound) shows its first choice (windowed, on, on) as checked.
  bool ShowsFirstChoice(size_t row) const {
    const TRect& first = menu_layout::kOptionsRects[2 * row];
    return Pixel(first.Left + 1, first.Top + 1) ==
           test_pack::MenuColor(menu_layout::kOptionsImages[2 * row]);
  }
  std::string ConfigPath() const { return (dir_ / "Config.cfg").string(); }

  static TFonts& SharedFonts();

  FakePlatform sys_;
  TShellState state_;
  TRecordingSound sound_;
  TRecordingMusic music_;
  std::unique_ptr<TForm1> form_;
  std::optional<TScratchFolder> scratch_;
  std::filesystem::path dir_;  // the scratch folder's path
};

// A started form resting on the main menu, driven by keys.
class MenuFixture : public FormFixture {
 protected:
  // Starts the form and clicks the intro away.
  TForm1& Start() {
    StartForm();
    ComposeFrame();
    Click(5, 5);
    EXPECT_EQ(state_.GameState, gsMainMenu);
    return *form_;
  }
  const TMenuWidgets& W() const { return TFormProbe::Widgets(*form_); }
  // From the main menu with its first item current: opens the options, types
  // `name` (capital letters) into the name field and goes back to the menu,
  // which then has Options current.
  void TypePlayerName(const std::string& name) {
    Key(kVkDown);
    Key(kVkEnter);
    Key(kVkUp);      // the key button
    Key(kVkUp);      // the name field
    ComposeFrame();  // the draw focuses the field
    Key(kVkEnter);
    for (char letter : name) Key(static_cast<uint16_t>(letter));
    Key(kVkEnter);
    Key(kVkEscape);
  }
  static constexpr uint16_t kVkEnter = 13, kVkEscape = 27, kVkUp = 38, kVkDown = 40;
};
