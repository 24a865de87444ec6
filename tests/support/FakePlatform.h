#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"

// A scriptable Platform for tests: nothing touches the machine. Every setter
// and every recorded list is a public member or a small helper, so a test reads
// like "set the clock, push an event, run a frame, look at what was presented".
class FakePlatform : public Platform {
 public:
  static constexpr uint32_t kDefaultStartTick = 0x10000000u;
  static constexpr int32_t kFrameWidth = 800;
  static constexpr int32_t kFrameHeight = 600;

  explicit FakePlatform(uint32_t startTick = kDefaultStartTick);

  // --- clock --------------------------------------------------------------------
  void SetTick(uint32_t tick) { tick_ = tick; }
  void Advance(uint32_t ms) { tick_ += ms; }  // wraps like the real 32-bit tick
  uint32_t Tick() const { return tick_; }
  // Added to the clock by every WaitForTickAfter call that has to wait (the
  // real clock moves in 15.625 ms steps; 16 keeps the fake simple and integral).
  uint32_t WaitStepMs = 16;
  // Added to the clock after every TickCount read: time passing inside a frame.
  uint32_t StepPerRead = 0;
  std::vector<uint32_t> Sleeps;  // every Sleep(ms) argument, in order
  int WaitCount = 0;             // WaitForTickAfter calls

  // --- events -------------------------------------------------------------------
  void PushEvent(const TPlatformEvent& event) { PendingEvents.push_back(event); }
  void PushKey(uint16_t vk, bool alt = false);
  void PushMouseMove(int32_t x, int32_t y);
  void PushMouseDown(int32_t x, int32_t y, uint8_t button = 0);
  void PushWheel(int32_t delta);
  void PushKind(TEventKind kind);
  std::deque<TPlatformEvent> PendingEvents;

  // --- keyboard -----------------------------------------------------------------
  void SetKey(uint8_t dik, bool down) { Keys[dik] = down ? 0x80 : 0x00; }
  void ClearKeys() { Keys.fill(0); }
  TKeyboardSnapshot Keys{};
  bool KeyboardAcquired = false;
  int AcquireCount = 0;
  int UnacquireCount = 0;

  // --- mouse --------------------------------------------------------------------
  // ReadMouse pops the front of MouseQueue; when it is empty it returns
  // MouseState and then zeroes its motion and wheel (buttons stay, as a held
  // button does). MouseReadable = false makes every read fail.
  void QueueMouse(const TMouseState& state) { MouseQueue.push_back(state); }
  void SetMouseButton(int button, bool down) {
    MouseState.Buttons[static_cast<size_t>(button)] = down ? 0x80 : 0x00;
  }
  std::deque<TMouseState> MouseQueue;
  TMouseState MouseState;
  bool MouseReadable = true;

  // --- gamepad ------------------------------------------------------------------
  // Each helper changes the pad state ReadPad returns and queues the event a
  // real pad sends with it. Unplugging drops the whole state, as a vanished pad does.
  void PlugPad();
  void UnplugPad();
  void PressPad(TPadButton button);
  void ReleasePad(TPadButton button);
  void MovePadAxis(TPadAxis axis, int16_t value);
  TPadState Pad;
  struct TRumble {
    uint16_t Strength;
    uint32_t Ms;
  };
  std::vector<TRumble> Rumbles;

  // --- window -------------------------------------------------------------------
  bool Resizable = true;         // the last SetWindowResizable argument
  bool DisplayAvailable = true;  // false: SetDisplayMode fails with DisplayError
  std::string DisplayError = "No display is available.";
  std::vector<bool> DisplayModes;  // each SetDisplayMode's `windowed` argument
  bool Windowed = true;
  int CursorCounter = 0;  // visible while >= 0
  bool CursorVisible() const { return CursorCounter >= 0; }
  int32_t CursorX = 0;
  int32_t CursorY = 0;
  std::vector<std::pair<int32_t, int32_t>> CursorWarps;
  TRect Window{100, 100, 906, 729};  // outer rectangle, with a border and caption
  int32_t BorderLeft = 3;            // client area offset inside Window
  int32_t BorderTop = 26;
  int32_t DesktopWidth = 1920;
  int32_t DesktopHeight = 1080;
  int MinimizeCount = 0;
  int ShowNormalCount = 0;

  // --- presentation -------------------------------------------------------------
  int PresentCount = 0;
  std::vector<uint32_t> LastFrame;  // 800 * 600 words, row-major, tightly packed
  uint32_t FramePixel(int32_t x, int32_t y) const {
    return LastFrame.at(static_cast<size_t>(y) * kFrameWidth + static_cast<size_t>(x));
  }
  struct TShownError {
    std::string Title;
    std::string Message;
  };
  std::vector<TShownError> Errors;

  // --- audio --------------------------------------------------------------------
  bool AudioAvailable = true;
  bool AudioOpen = false;
  int AudioRate = 0;
  int CloseAudioCount = 0;
  TAudioCallback AudioCallback;
  // Calls the stored callback for `frames` stereo frames (empty when closed).
  std::vector<int16_t> PullAudio(int frames);

  // --- shell and network --------------------------------------------------------
  std::vector<std::string> OpenedTargets;
  struct THttpRequest {
    std::string Url;
    THttpOptions Options;
    std::string Method = "GET";
    std::string ContentType;  // POST only
    std::string Body;         // POST only
  };
  std::vector<THttpRequest> HttpRequests;
  // Answer HttpGet and HttpPost; the default fails with "no network".
  std::function<THttpResult(const std::string& url)> HttpHandler;
  std::function<THttpResult(const THttpRequest& request)> HttpPostHandler;

  // --- Platform -----------------------------------------------------------------
  uint32_t TickCount() override {
    const uint32_t tick = tick_;
    tick_ += StepPerRead;
    return tick;
  }
  void Sleep(uint32_t ms) override;
  void WaitForTickAfter(uint32_t tick) override;
  bool SetDisplayMode(bool windowed, std::string& error) override;
  void Minimize() override { ++MinimizeCount; }
  void ShowWindowNormal() override { ++ShowNormalCount; }
  int ShowCursor(bool show) override;
  void SetCursorPos(int32_t x, int32_t y) override;
  TRect WindowRect() override { return Window; }
  TRect ClientRectOnScreen() override;
  void MoveWindow(int32_t left, int32_t top) override;
  void SetWindowResizable(bool resizable) override { Resizable = resizable; }
  int32_t ScreenWidth() override { return DesktopWidth; }
  int32_t ScreenHeight() override { return DesktopHeight; }
  void PollEvents(std::vector<TPlatformEvent>& out) override;
  void AcquireKeyboard() override;
  void UnacquireKeyboard() override;
  bool ReadKeyboard(TKeyboardSnapshot& state) override;
  bool ReadMouse(TMouseState& state) override;
  bool ReadPad(TPadState& state) override;
  void RumblePad(uint16_t strength, uint32_t ms) override;
  void Present(const uint32_t* pixels, int32_t pitch) override;
  void ShowError(const std::string& title, const std::string& message) override;
  bool OpenAudio(int sampleRate, TAudioCallback callback) override;
  void CloseAudio() override;
  void ShellOpen(const std::string& target) override { OpenedTargets.push_back(target); }
  THttpResult HttpGet(const std::string& url, const THttpOptions& options) override;
  THttpResult HttpPost(const std::string& url, const std::string& contentType,
                       const std::string& body, const THttpOptions& options) override;

 private:
  uint32_t tick_;
};
