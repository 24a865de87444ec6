#include "support/FakePlatform.h"

#include <cstring>

FakePlatform::FakePlatform(uint32_t startTick) : tick_(startTick) {}

void FakePlatform::Sleep(uint32_t ms) {
  Sleeps.push_back(ms);
  tick_ += ms;
}

void FakePlatform::WaitForTickAfter(uint32_t tick) {
  ++WaitCount;
  // Signed difference so the wait is right across the 32-bit wrap.
  while (static_cast<int32_t>(tick_ - tick) <= 0) tick_ += WaitStepMs > 0 ? WaitStepMs : 1;
}

bool FakePlatform::SetDisplayMode(bool windowed, std::string& error) {
  DisplayModes.push_back(windowed);
  if (!DisplayAvailable) {
    error = DisplayError;
    return false;
  }
  Windowed = windowed;
  return true;
}

int FakePlatform::ShowCursor(bool show) {
  CursorCounter += show ? 1 : -1;
  return CursorCounter;
}

void FakePlatform::SetCursorPos(int32_t x, int32_t y) {
  CursorX = x;
  CursorY = y;
  CursorWarps.emplace_back(x, y);
}

TRect FakePlatform::ClientRectOnScreen() {
  const int32_t left = Window.Left + BorderLeft;
  const int32_t top = Window.Top + BorderTop;
  return TRect{left, top, left + kFrameWidth, top + kFrameHeight};
}

void FakePlatform::MoveWindow(int32_t left, int32_t top) {
  const int32_t w = Window.Width();
  const int32_t h = Window.Height();
  Window = TRect{left, top, left + w, top + h};
}

void FakePlatform::PushKey(uint16_t vk, bool alt) {
  TPlatformEvent e;
  e.Kind = TEventKind::KeyDown;
  e.Key = vk;
  e.Alt = alt;
  PushEvent(e);
}

void FakePlatform::PushMouseMove(int32_t x, int32_t y) {
  TPlatformEvent e;
  e.Kind = TEventKind::MouseMove;
  e.X = x;
  e.Y = y;
  PushEvent(e);
}

void FakePlatform::PushMouseDown(int32_t x, int32_t y, uint8_t button) {
  TPlatformEvent e;
  e.Kind = TEventKind::MouseDown;
  e.X = x;
  e.Y = y;
  e.Button = button;
  PushEvent(e);
}

void FakePlatform::PushWheel(int32_t delta) {
  TPlatformEvent e;
  e.Kind = TEventKind::MouseWheel;
  e.WheelDelta = delta;
  PushEvent(e);
}

void FakePlatform::PushKind(TEventKind kind) {
  TPlatformEvent e;
  e.Kind = kind;
  PushEvent(e);
}

void FakePlatform::PollEvents(std::vector<TPlatformEvent>& out) {
  out.insert(out.end(), PendingEvents.begin(), PendingEvents.end());
  PendingEvents.clear();
}

void FakePlatform::AcquireKeyboard() {
  ++AcquireCount;
  KeyboardAcquired = true;
}

void FakePlatform::UnacquireKeyboard() {
  ++UnacquireCount;
  KeyboardAcquired = false;
}

bool FakePlatform::ReadKeyboard(TKeyboardSnapshot& state) {
  if (!KeyboardAcquired) {
    state.fill(0);
    return false;
  }
  state = Keys;
  return true;
}

bool FakePlatform::ReadMouse(TMouseState& state) {
  if (!MouseReadable) {
    state = TMouseState{};
    return false;
  }
  if (!MouseQueue.empty()) {
    state = MouseQueue.front();
    MouseQueue.pop_front();
    return true;
  }
  state = MouseState;
  MouseState.X = 0;
  MouseState.Y = 0;
  MouseState.Z = 0;
  return true;
}

void FakePlatform::PlugPad() {
  Pad = TPadState{};
  Pad.Connected = true;
  PushKind(TEventKind::PadAdded);
}

void FakePlatform::UnplugPad() {
  Pad = TPadState{};
  PushKind(TEventKind::PadRemoved);
}

void FakePlatform::PressPad(TPadButton button) {
  Pad.Buttons[static_cast<size_t>(button)] = true;
  TPlatformEvent e;
  e.Kind = TEventKind::PadButtonDown;
  e.PadInput = static_cast<uint8_t>(button);
  PushEvent(e);
}

void FakePlatform::ReleasePad(TPadButton button) {
  Pad.Buttons[static_cast<size_t>(button)] = false;
  TPlatformEvent e;
  e.Kind = TEventKind::PadButtonUp;
  e.PadInput = static_cast<uint8_t>(button);
  PushEvent(e);
}

void FakePlatform::MovePadAxis(TPadAxis axis, int16_t value) {
  Pad.Axes[static_cast<size_t>(axis)] = value;
  TPlatformEvent e;
  e.Kind = TEventKind::PadAxisMotion;
  e.PadInput = static_cast<uint8_t>(axis);
  e.AxisValue = value;
  PushEvent(e);
}

bool FakePlatform::ReadPad(TPadState& state) {
  state = Pad;
  return Pad.Connected;
}

void FakePlatform::RumblePad(uint16_t strength, uint32_t ms) {
  if (Pad.Connected) Rumbles.push_back(TRumble{strength, ms});
}

void FakePlatform::Present(const uint32_t* pixels, int32_t pitch) {
  ++PresentCount;
  LastFrame.resize(static_cast<size_t>(kFrameWidth) * kFrameHeight);
  const auto* bytes = reinterpret_cast<const unsigned char*>(pixels);
  for (int32_t y = 0; y < kFrameHeight; ++y) {
    std::memcpy(&LastFrame[static_cast<size_t>(y) * kFrameWidth],
                bytes + static_cast<ptrdiff_t>(y) * pitch, kFrameWidth * sizeof(uint32_t));
  }
}

void FakePlatform::ShowError(const std::string& title, const std::string& message) {
  Errors.push_back(TShownError{title, message});
}

bool FakePlatform::OpenAudio(int sampleRate, TAudioCallback callback) {
  if (!AudioAvailable) return false;
  AudioOpen = true;
  AudioRate = sampleRate;
  AudioCallback = std::move(callback);
  return true;
}

void FakePlatform::CloseAudio() {
  ++CloseAudioCount;
  AudioOpen = false;
  AudioCallback = nullptr;
}

std::vector<int16_t> FakePlatform::PullAudio(int frames) {
  if (!AudioOpen || !AudioCallback || frames <= 0) return {};
  std::vector<int16_t> samples(static_cast<size_t>(frames) * 2, 0);
  AudioCallback(samples.data(), frames);
  return samples;
}

THttpResult FakePlatform::HttpGet(const std::string& url, const THttpOptions& options) {
  HttpRequests.push_back(THttpRequest{url, options, "GET", {}, {}});
  if (HttpHandler) return HttpHandler(url);
  THttpResult r;
  r.Ok = false;
  r.Error = "no network";
  return r;
}

THttpResult FakePlatform::HttpPost(const std::string& url, const std::string& contentType,
                                   const std::string& body, const THttpOptions& options) {
  HttpRequests.push_back(THttpRequest{url, options, "POST", contentType, body});
  if (HttpPostHandler) return HttpPostHandler(HttpRequests.back());
  THttpResult r;
  r.Ok = false;
  r.Error = "no network";
  return r;
}
