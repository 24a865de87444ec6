#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "platform/FrameSize.h"

// Every operating-system service the game uses, in the game's own terms.
// SdlPlatform implements it for real; tests/support/FakePlatform for tests.
// Nothing above this layer includes SDL, curl or spawns processes.

struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;

  int32_t Width() const { return Right - Left; }
  int32_t Height() const { return Bottom - Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

// Window notifications, delivered in order by PollEvents.
enum class TEventKind : uint8_t {
  Activate,            // the application came to the foreground
  Deactivate,          // the application lost the foreground
  Minimize,            // the window was minimized (no frames are composed while minimized)
  Restore,             // the window was restored from the minimized state
  CloseRequest,        // close box, Alt+F4, window manager close
  MaximizeRequest,     // maximize button (SC_MAXIMIZE)
  CaptionDoubleClick,  // double click on the caption (HTCAPTION)
  KeyDown,             // Key holds a Windows virtual-key code; Alt tells whether Alt was held
  MouseMove,           // X, Y in 800 x 600 frame coordinates
  MouseDown,           // Button 0 left, 1 right, 2 middle; X, Y as above
  MouseWheel,          // WheelDelta > 0 away from the user ("up"), < 0 towards the user ("down")
  WindowMoved,         // the window's client area moved on the desktop
  PadAdded,            // a gamepad was connected (also for pads present at start)
  PadRemoved,          // a gamepad was disconnected
  PadButtonDown,       // PadInput holds a TPadButton
  PadButtonUp,
  PadAxisMotion,  // PadInput holds a TPadAxis, AxisValue its new position
};

// Gamepad buttons and axes, in the positions of the common pad layout (A at
// the bottom of the four face buttons, B on the right).
enum class TPadButton : uint8_t {
  A,
  B,
  X,
  Y,
  Back,
  Guide,
  Start,
  LeftStick,
  RightStick,
  LeftShoulder,
  RightShoulder,
  DpadUp,
  DpadDown,
  DpadLeft,
  DpadRight,
};
inline constexpr int kPadButtonCount = 15;

// Sticks run from -32768 (left, up) to 32767 (right, down); triggers from 0 to 32767.
enum class TPadAxis : uint8_t { LeftX, LeftY, RightX, RightY, TriggerLeft, TriggerRight };
inline constexpr int kPadAxisCount = 6;

// Axis positions within this distance of the rest position count as rest
// (about a quarter of the travel; worn sticks rarely drift beyond it).
inline constexpr int32_t kPadDeadZone = 8192;

// The pad that drives the game (the one used most recently), read each frame.
struct TPadState {
  bool Connected = false;
  std::array<bool, kPadButtonCount> Buttons{};
  std::array<int16_t, kPadAxisCount> Axes{};

  bool Down(TPadButton b) const { return Buttons[static_cast<size_t>(b)]; }
  int16_t Axis(TPadAxis a) const { return Axes[static_cast<size_t>(a)]; }
};

struct TPlatformEvent {
  TEventKind Kind = TEventKind::Activate;
  uint16_t Key = 0;  // KeyDown: Windows virtual-key code (A = 65, Enter = 13, F12 = 123, ...)
  bool Alt = false;  // KeyDown: Alt was held
  int32_t X = 0;     // mouse events: pointer position in frame pixels
  int32_t Y = 0;
  uint8_t Button = 0;      // MouseDown
  int32_t WheelDelta = 0;  // MouseWheel: 120 per notch, sign as above
  uint8_t PadInput = 0;    // PadButtonDown/Up: a TPadButton; PadAxisMotion: a TPadAxis
  int16_t AxisValue = 0;   // PadAxisMotion
};

// The 20-byte mouse state: relative motion since the last read, then 8 button bytes
// (0x80 = down).
struct TMouseState {
  int32_t X = 0;
  int32_t Y = 0;
  int32_t Z = 0;  // wheel
  std::array<uint8_t, 8> Buttons{};
};

// The 256-byte keyboard snapshot indexed by DirectInput key code; bit 7 set = key down.
using TKeyboardSnapshot = std::array<uint8_t, 256>;

// DirectInput key codes the game reads from the snapshot.
namespace dik {
inline constexpr uint8_t kEscape = 0x01;
inline constexpr uint8_t kReturn = 0x1C;
inline constexpr uint8_t kLeftControl = 0x1D;
inline constexpr uint8_t kSpace = 0x39;
inline constexpr uint8_t kRightControl = 0x9D;
inline constexpr uint8_t kUp = 0xC8;
inline constexpr uint8_t kLeft = 0xCB;
inline constexpr uint8_t kRight = 0xCD;
inline constexpr uint8_t kDown = 0xD0;
}  // namespace dik

// Result of an HTTP GET or POST: Ok is true only for a 2xx answer; false for a
// connection failure, a time-out or any other status (redirects are not followed).
struct THttpResult {
  bool Ok = false;
  long Status = 0;
  std::string Body;
  std::string Error;  // human-readable reason when !Ok
};

struct THttpOptions {
  long ConnectTimeoutMs = 10000;
  long TotalTimeoutMs = 20000;
  size_t MaxBodyBytes = 64 * 1024;
  std::vector<std::string> Headers;  // "Name: value" lines sent with the request
  // A request made on a worker thread ends soon after a stop is asked for
  // here, as failed; the default token never asks.
  std::stop_token Stop;
};

// The software sound device fills this with interleaved signed 16-bit stereo samples.
// Called on the audio thread; must not allocate or block for long.
using TAudioCallback = std::function<void(int16_t* samples, int frames)>;

class Platform {
 public:
  virtual ~Platform() = default;

  // --- time -----------------------------------------------------------------
  // Millisecond tick with 32-bit wrap-around, advancing in steps of the system
  // timer; counts from an arbitrary origin far from 0 (like the machine's uptime).
  virtual uint32_t TickCount() = 0;
  virtual void Sleep(uint32_t ms) = 0;
  // Sleeps until TickCount() is likely to have moved past `tick` (frame pacing).
  virtual void WaitForTickAfter(uint32_t tick) = 0;

  // --- window ---------------------------------------------------------------
  // Creates the window on first use. A windowed window stands wholly inside
  // the usable area of its display: centred when it opens, where it stood
  // before when it comes back from full screen. Returns false with `error`
  // set when no display is available.
  virtual bool SetDisplayMode(bool windowed, std::string& error) = 0;
  virtual void Minimize() = 0;
  virtual void ShowWindowNormal() = 0;
  // Windows semantics: a display counter; the pointer is visible while it is >= 0.
  virtual int ShowCursor(bool show) = 0;
  // Moves the pointer to client coordinates of the 800 x 600 frame.
  virtual void SetCursorPos(int32_t x, int32_t y) = 0;
  // Window rectangle and client rectangle on the desktop, in desktop pixels.
  virtual TRect WindowRect() = 0;
  virtual TRect ClientRectOnScreen() = 0;
  // Moves the window's outer corner to (left, top), kept on the screen.
  virtual void MoveWindow(int32_t left, int32_t top) = 0;
  // Whether the user may resize the window by its border (windowed mode only;
  // the size itself is chosen by the platform when the window opens).
  virtual void SetWindowResizable(bool /*resizable*/) {}
  virtual int32_t ScreenWidth() = 0;
  virtual int32_t ScreenHeight() = 0;
  // Appends pending window notifications to `out` (does not clear it).
  virtual void PollEvents(std::vector<TPlatformEvent>& out) = 0;

  // --- input devices ----------------------------------------------------------
  virtual void AcquireKeyboard() = 0;
  virtual void UnacquireKeyboard() = 0;
  // Fills the snapshot; returns false (leaving zeros) when the keyboard is not acquired.
  virtual bool ReadKeyboard(TKeyboardSnapshot& state) = 0;
  // Relative motion and buttons since the last read; false leaves `state` zero.
  virtual bool ReadMouse(TMouseState& state) = 0;
  // The driving pad's buttons and axes now; false (and a zero state) when no
  // pad is connected. A platform without pad support has none.
  virtual bool ReadPad(TPadState& state) {
    state = TPadState{};
    return false;
  }
  // Rumbles the driving pad at `strength` (0 to 65535) for `ms`; nothing when
  // it cannot rumble.
  virtual void RumblePad(uint16_t /*strength*/, uint32_t /*ms*/) {}

  // --- presentation -----------------------------------------------------------
  // Shows an 800 x 600 frame of 0x00RRGGBB words; `pitch` in bytes.
  virtual void Present(const uint32_t* pixels, int32_t pitch) = 0;
  // Modal error box when a display exists; always also written to stderr.
  virtual void ShowError(const std::string& title, const std::string& message) = 0;

  // --- audio output -----------------------------------------------------------
  // Opens the audio output and starts pulling from `callback`. Returns false
  // (and plays nothing) when no device can be opened.
  virtual bool OpenAudio(int sampleRate, TAudioCallback callback) = 0;
  virtual void CloseAudio() = 0;

  // --- shell and network ------------------------------------------------------
  // Opens a URL or file with the desktop's default handler, detached; result ignored.
  virtual void ShellOpen(const std::string& target) = 0;
  // Blocking HTTP GET.
  virtual THttpResult HttpGet(const std::string& url, const THttpOptions& options) = 0;
  // Blocking HTTP POST of `body` as `contentType` (which replaces any
  // Content-Type line among the options' headers); answers as HttpGet.
  virtual THttpResult HttpPost(const std::string& url, const std::string& contentType,
                               const std::string& body, const THttpOptions& options) = 0;
};
