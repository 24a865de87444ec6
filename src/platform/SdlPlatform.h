#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/SdlFrameCache.h"
#include "platform/SdlGamepad.h"
#include "platform/SdlHttpClient.h"
#include "platform/SdlLetterbox.h"
#include "platform/SdlTickClock.h"
#include "platform/WindowPlacement.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;

// The real platform: SDL2 for the window, input, presentation and audio
// output, libcurl for HTTP, posix_spawnp for the desktop's "open".
//
// The window opens on the display that holds the mouse pointer, centred on
// its usable area (without panels) at a whole multiple of the frame. Full
// screen is a borderless window the size of that display with the 800 x 600
// frame scaled and letterboxed; the desktop's mode is never changed. Back in a
// window, and after every move the game asks for, the window stands wholly
// inside the usable area where it stood before. Window-manager
// double clicks on the title bar cannot be seen through SDL: they arrive as
// the maximize request the window manager turns them into, so the maximize
// button and a title-bar double click both deliver MaximizeRequest.
class SdlPlatform : public Platform {
 public:
  // SDL's OpenGL ES 2 renderer takes the frame's bytes as they are and swaps
  // the colour channels in its shader; the desktop OpenGL renderer asks the
  // driver for a BGRA upload, which software GL converts pixel by pixel,
  // every frame.
  static constexpr const char* kPreferredRenderer = "opengles2";

  explicit SdlPlatform(uint64_t tickStepNs = SdlTickClock::kDefaultStepNs);
  ~SdlPlatform() override;
  SdlPlatform(const SdlPlatform&) = delete;
  SdlPlatform& operator=(const SdlPlatform&) = delete;

  uint32_t TickCount() override { return clock_.Now(); }
  void Sleep(uint32_t ms) override;
  void WaitForTickAfter(uint32_t tick) override { clock_.WaitForTickAfter(tick); }

  bool SetDisplayMode(bool windowed, std::string& error) override;
  void Minimize() override;
  void ShowWindowNormal() override;
  int ShowCursor(bool show) override;
  void SetCursorPos(int32_t x, int32_t y) override;
  TRect WindowRect() override;
  TRect ClientRectOnScreen() override;
  void MoveWindow(int32_t left, int32_t top) override;
  void SetWindowResizable(bool resizable) override;
  int32_t ScreenWidth() override;
  int32_t ScreenHeight() override;
  void PollEvents(std::vector<TPlatformEvent>& out) override;

  void AcquireKeyboard() override { keyboardAcquired_ = true; }
  void UnacquireKeyboard() override { keyboardAcquired_ = false; }
  bool ReadKeyboard(TKeyboardSnapshot& state) override;
  bool ReadMouse(TMouseState& state) override;
  bool ReadPad(TPadState& state) override;
  void RumblePad(uint16_t strength, uint32_t ms) override { gamepad_.Rumble(strength, ms); }

  void Present(const uint32_t* pixels, int32_t pitch) override;
  void ShowError(const std::string& title, const std::string& message) override;

  bool OpenAudio(int sampleRate, TAudioCallback callback) override;
  void CloseAudio() override;

  void ShellOpen(const std::string& target) override;
  THttpResult HttpGet(const std::string& url, const THttpOptions& options) override;
  THttpResult HttpPost(const std::string& url, const std::string& contentType,
                       const std::string& body, const THttpOptions& options) override;

  bool Windowed() const { return windowed_; }
  // Before the window opens: the windowed scale (0 chooses from the desktop)
  // and the user's folder, where a "gamecontrollerdb.txt" adds pad mappings.
  void SetWindowScale(int32_t scale) { requestedScale_ = scale; }
  void SetUserFolder(std::string folder) { userFolder_ = std::move(folder); }
  size_t PadCount() const { return gamepad_.PadCount(); }
  // Translates one SDL event into the queue read by PollEvents (public so that
  // tests can feed events without a real window system).
  void HandleEvent(const SDL_Event& event);

 private:
  bool EnsureVideo(std::string& error);
  void Pump();
  SdlLetterbox WindowLetterbox() const;
  // Makes the window, renderer and frame texture in their final state.
  bool OpenWindow(bool windowed, std::string& error);
  // Destroys whatever of the texture, the renderer and the window exists.
  void ReleaseWindow();
  // Real pixels per window unit (more than 1 on a high-density display).
  double Density() const;
  // What the window manager draws around the window (none in full screen).
  TFrameBorders Borders() const;
  // The display the window stands on, or the pointer's before it exists.
  int WindowDisplay() const;
  // The window centred on `display` at the chosen scale: sets the scale and
  // the windowed size; says once on stderr when it does not fit.
  TWindowPlacement Centre(int display, double density, const TFrameBorders& borders);
  // Moves and sizes the windowed window to `client` (window units). The
  // window manager may draw its frame only afterwards: the place is taken
  // again once its borders are known.
  void PlaceClient(const TRect& client);
  void SettlePlace();
  void TrackPointer(int32_t windowX, int32_t windowY);
  static void AudioThunk(void* user, uint8_t* stream, int len);

  SdlTickClock clock_;
  SdlHttpClient http_;
  bool videoReady_ = false;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  SdlFrameCache frameCache_{SdlLetterbox::kFrameWidth, SdlLetterbox::kFrameHeight};
  bool windowed_ = true;
  bool minimized_ = false;
  bool resizable_ = false;
  int32_t requestedScale_ = 0;
  int32_t windowWidth_ = SdlLetterbox::kFrameWidth;  // windowed size in window coordinates
  int32_t windowHeight_ = SdlLetterbox::kFrameHeight;
  // Where the window stood when it last left windowed mode: it comes back there.
  std::optional<TRect> windowedPlace_;
  TFrameBorders windowedBorders_;
  bool toldDoesNotFit_ = false;
  std::optional<TRect> pendingPlace_;  // the place asked for while the frame may change
  TFrameBorders pendingBorders_;       // the borders it was asked for with
  std::string userFolder_;
  SdlGamepad gamepad_;
  int cursorCounter_ = 0;
  bool keyboardAcquired_ = false;

  std::deque<TPlatformEvent> pending_;
  // Mouse accumulation between ReadMouse calls (window pixels, like mickeys).
  bool havePointer_ = false;
  int32_t lastWindowX_ = 0;
  int32_t lastWindowY_ = 0;
  int32_t frameX_ = 0;
  int32_t frameY_ = 0;
  int32_t motionX_ = 0;
  int32_t motionY_ = 0;
  int32_t wheel_ = 0;
  uint8_t buttonsDown_ = 0;     // bit i: DirectInput button i held
  uint8_t buttonsPressed_ = 0;  // bit i: pressed since the last read

  uint32_t audioDevice_ = 0;
  TAudioCallback audioCallback_;
};
