#include "platform/SdlPlatform.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/SdlKeyMap.h"
#include "platform/SdlShellOpen.h"

namespace {

constexpr char kTitle[] = "Tidal Lynx";
constexpr int32_t kFrameW = SdlLetterbox::kFrameWidth;
constexpr int32_t kFrameH = SdlLetterbox::kFrameHeight;

// SDL button number -> DirectInput/Windows button index (0 left, 1 right, 2 middle).
int ButtonIndex(uint8_t sdlButton) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT:
      return 0;
    case SDL_BUTTON_RIGHT:
      return 1;
    case SDL_BUTTON_MIDDLE:
      return 2;
    case SDL_BUTTON_X1:
      return 3;
    case SDL_BUTTON_X2:
      return 4;
    default:
      return -1;
  }
}

// The display without its panels, in window units (the frame's size when
// SDL cannot tell).
TRect UsableArea(int display) {
  SDL_Rect r{};
  if (SDL_GetDisplayUsableBounds(display, &r) != 0 || r.w <= 0 || r.h <= 0) {
    r = SDL_Rect{0, 0, kFrameW, kFrameH};
  }
  return TRect{r.x, r.y, r.x + r.w, r.y + r.h};
}

// Drivers that have no screen to put a message box on.
bool HeadlessDriver() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver == nullptr || std::strcmp(driver, "dummy") == 0 ||
         std::strcmp(driver, "offscreen") == 0;
}

}  // namespace

SdlPlatform::SdlPlatform(uint64_t tickStepNs) : clock_(tickStepNs) {
  // Ctrl+C in a terminal should still end the program the usual way; the
  // game decides about closes itself and minimizes itself on focus loss.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // Crisp pixels at every scale.
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  // The renderer to try first; SDL falls back to its usual order when it
  // cannot be made, and SDL_RENDER_DRIVER in the environment still decides.
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, kPreferredRenderer);
}

SdlPlatform::~SdlPlatform() {
  CloseAudio();
  gamepad_.Close();
  ReleaseWindow();
  if (videoReady_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  SDL_Quit();
}

void SdlPlatform::Sleep(uint32_t ms) {
  SDL_Delay(ms);
}

bool SdlPlatform::EnsureVideo(std::string& error) {
  if (videoReady_) return true;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    error = std::string("Cannot open a window: no display is available (") + SDL_GetError() +
            "). Tidal Lynx needs a running X11 or Wayland session.";
    return false;
  }
  videoReady_ = true;
  // Keys are read as keys; no input method should compose text from them.
  SDL_StopTextInput();
  // Pads are optional: without them the keyboard and mouse play.
  std::string padError;
  std::vector<TPlatformEvent> pads;
  gamepad_.Open(userFolder_, pads, padError);
  pending_.insert(pending_.end(), pads.begin(), pads.end());
  if (!padError.empty()) std::fprintf(stderr, "Tidal Lynx: %s\n", padError.c_str());
  return true;
}

bool SdlPlatform::SetDisplayMode(bool windowed, std::string& error) {
  if (!EnsureVideo(error)) return false;
  if (window_ == nullptr) return OpenWindow(windowed, error);
  if (windowed && windowed_) {
    // Already a window: it stays where it is.
  } else if (windowed) {
    SDL_SetWindowFullscreen(window_, 0);
    SDL_SetWindowBordered(window_, SDL_TRUE);
    windowed_ = true;
    // Back where it stood, at its size, on the display it was full screen on,
    // whose usable area may have changed in between. The frame is taken as
    // it was: while it comes back, SDL may report anything for it.
    const int display = WindowDisplay();
    TRect place = Centre(display, Density(), windowedBorders_).Client;
    if (windowedPlace_) {
      place = TRect{windowedPlace_->Left, windowedPlace_->Top, windowedPlace_->Left + windowWidth_,
                    windowedPlace_->Top + windowHeight_};
    }
    PlaceClient(window_placement::KeptInside(place, UsableArea(display), windowedBorders_));
  } else {
    if (windowed_) {
      windowedPlace_ = ClientRectOnScreen();
      windowedBorders_ = Borders();
    }
    if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
      error = std::string("Cannot switch to full screen: ") + SDL_GetError();
      return false;
    }
    windowed_ = false;
  }
  SDL_ShowWindow(window_);
  frameCache_.Invalidate();
  return true;
}

bool SdlPlatform::OpenWindow(bool windowed, std::string& error) {
  // The window is made once, at its size, place and state: every later call
  // on a new window costs a round trip before the first frame can show. It
  // opens on the pointer's display; its size assumes one pixel per window
  // unit until the renderer says otherwise. Full screen fills the display
  // the window's place is on.
  const int display = WindowDisplay();
  const TRect place = Centre(display, 1.0, TFrameBorders{}).Client;
  uint32_t flags = SDL_WINDOW_ALLOW_HIGHDPI;
  if (!windowed) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  // The user does not resize it unless the shell allows that.
  if (resizable_) flags |= SDL_WINDOW_RESIZABLE;
  window_ = SDL_CreateWindow(kTitle, place.Left, place.Top, windowWidth_, windowHeight_, flags);
  if (window_ == nullptr) {
    error = std::string("Cannot create the game window: ") + SDL_GetError();
    return false;
  }
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
  if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (renderer_ == nullptr) {
    error = std::string("Cannot draw into the game window: ") + SDL_GetError();
    ReleaseWindow();
    return false;
  }
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                               kFrameW, kFrameH);
  if (texture_ == nullptr) {
    error = std::string("Cannot create the frame texture: ") + SDL_GetError();
    ReleaseWindow();
    return false;
  }
  SDL_ShowCursor(cursorCounter_ >= 0 ? SDL_ENABLE : SDL_DISABLE);
  windowed_ = windowed;
  if (windowed) {
    // Now the window manager's frame is known, and on a high-density
    // display the scale is chosen again in real pixels.
    PlaceClient(Centre(display, Density(), Borders()).Client);
  } else {
    // The size the window takes when it leaves full screen.
    Centre(display, Density(), TFrameBorders{});
  }
  frameCache_.Invalidate();
  return true;
}

void SdlPlatform::ReleaseWindow() {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
}

double SdlPlatform::Density() const {
  if (window_ == nullptr || renderer_ == nullptr) return 1.0;
  int winW = 0;
  int winH = 0;
  int pixW = 0;
  int pixH = 0;
  SDL_GetWindowSize(window_, &winW, &winH);
  SDL_GetRendererOutputSize(renderer_, &pixW, &pixH);
  return (winW > 0 && pixW > 0) ? static_cast<double>(pixW) / winW : 1.0;
}

TFrameBorders SdlPlatform::Borders() const {
  TFrameBorders b;
  if (window_ == nullptr || !windowed_) return b;
  if (SDL_GetWindowBordersSize(window_, &b.Top, &b.Left, &b.Bottom, &b.Right) != 0) b = {};
  return b;
}

int SdlPlatform::WindowDisplay() const {
  if (window_ != nullptr) return std::max(SDL_GetWindowDisplayIndex(window_), 0);
  SDL_Point pointer{0, 0};
  SDL_GetGlobalMouseState(&pointer.x, &pointer.y);
  return std::max(SDL_GetPointDisplayIndex(&pointer), 0);
}

TWindowPlacement SdlPlatform::Centre(int display, double density, const TFrameBorders& borders) {
  const TRect usable = UsableArea(display);
  const TWindowPlacement p = window_placement::Centred(usable, requestedScale_, density, borders);
  windowWidth_ = p.Client.Width();
  windowHeight_ = p.Client.Height();
  if (!p.Fits && !toldDoesNotFit_) {
    toldDoesNotFit_ = true;
    const std::string what = requestedScale_ >= 1 ? "--scale " + std::to_string(requestedScale_)
                                                  : std::string("The window");
    std::fprintf(stderr,
                 "Tidal Lynx: %s (%d x %d) does not fit the %d x %d usable area of the "
                 "display; its top-left corner is kept on the screen.\n",
                 what.c_str(), kFrameW * p.Scale, kFrameH * p.Scale, usable.Width(),
                 usable.Height());
  }
  return p;
}

void SdlPlatform::PlaceClient(const TRect& client) {
  if (window_ == nullptr) return;
  SDL_SetWindowSize(window_, client.Width(), client.Height());
  SDL_SetWindowPosition(window_, client.Left, client.Top);
  pendingPlace_ = client;
  pendingBorders_ = Borders();
}

void SdlPlatform::SettlePlace() {
  // A window manager places a new frame by its outer corner, so a place
  // asked for before the frame existed ends up shifted by the title bar.
  // Only that first frame counts: later changes are the player's.
  if (!pendingPlace_ || window_ == nullptr || !windowed_) return;
  if (pendingBorders_ != TFrameBorders{}) {
    pendingPlace_.reset();  // the frame was known when the place was asked for
    return;
  }
  const TFrameBorders now = Borders();
  if (now == TFrameBorders{}) return;  // no frame yet, or no window manager
  const TRect place =
      window_placement::KeptInside(*pendingPlace_, UsableArea(WindowDisplay()), now);
  pendingPlace_.reset();
  SDL_SetWindowPosition(window_, place.Left, place.Top);
}

void SdlPlatform::SetWindowResizable(bool resizable) {
  resizable_ = resizable;
  if (window_ != nullptr) SDL_SetWindowResizable(window_, resizable ? SDL_TRUE : SDL_FALSE);
}

void SdlPlatform::Minimize() {
  if (window_ != nullptr) SDL_MinimizeWindow(window_);
}

void SdlPlatform::ShowWindowNormal() {
  if (window_ == nullptr) return;
  SDL_ShowWindow(window_);
  SDL_RestoreWindow(window_);
  SDL_RaiseWindow(window_);
}

int SdlPlatform::ShowCursor(bool show) {
  cursorCounter_ += show ? 1 : -1;
  if (videoReady_) SDL_ShowCursor(cursorCounter_ >= 0 ? SDL_ENABLE : SDL_DISABLE);
  return cursorCounter_;
}

SdlLetterbox SdlPlatform::WindowLetterbox() const {
  if (window_ == nullptr) return SdlLetterbox{};
  int w = 0;
  int h = 0;
  SDL_GetWindowSize(window_, &w, &h);
  return SdlLetterbox::Fit(w, h);
}

void SdlPlatform::SetCursorPos(int32_t x, int32_t y) {
  if (window_ == nullptr) return;
  Pump();  // motion from before the jump still counts from the old spot
  int32_t wx = 0;
  int32_t wy = 0;
  WindowLetterbox().ToOutput(x, y, wx, wy);
  SDL_WarpMouseInWindow(window_, wx, wy);
  // The jump is not movement: relative motion continues from the new spot.
  havePointer_ = true;
  lastWindowX_ = wx;
  lastWindowY_ = wy;
}

TRect SdlPlatform::ClientRectOnScreen() {
  if (window_ == nullptr) return TRect{0, 0, kFrameW, kFrameH};
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  SDL_GetWindowPosition(window_, &x, &y);
  SDL_GetWindowSize(window_, &w, &h);
  return TRect{x, y, x + w, y + h};
}

TRect SdlPlatform::WindowRect() {
  TRect r = ClientRectOnScreen();
  if (window_ == nullptr || !windowed_) return r;
  int top = 0;
  int left = 0;
  int bottom = 0;
  int right = 0;
  if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) == 0) {
    r.Left -= left;
    r.Top -= top;
    r.Right += right;
    r.Bottom += bottom;
  }
  return r;
}

void SdlPlatform::MoveWindow(int32_t left, int32_t top) {
  if (window_ == nullptr || !windowed_) return;
  pendingPlace_.reset();
  // `left`, `top` are the outer corner, as WindowRect reports it. A place
  // remembered on another desktop layout is brought back into view.
  const TFrameBorders b = Borders();
  const TRect client = ClientRectOnScreen();
  TRect wanted{left + b.Left, top + b.Top, left + b.Left + client.Width(),
               top + b.Top + client.Height()};
  const SDL_Rect probe{wanted.Left, wanted.Top, wanted.Width(), wanted.Height()};
  wanted = window_placement::KeptInside(
      wanted, UsableArea(std::max(SDL_GetRectDisplayIndex(&probe), 0)), b);
  SDL_SetWindowPosition(window_, wanted.Left, wanted.Top);
}

int32_t SdlPlatform::ScreenWidth() {
  std::string error;
  SDL_DisplayMode mode{};
  if (!EnsureVideo(error)) return kFrameW;
  if (SDL_GetDesktopDisplayMode(WindowDisplay(), &mode) != 0) return kFrameW;
  return mode.w;
}

int32_t SdlPlatform::ScreenHeight() {
  std::string error;
  SDL_DisplayMode mode{};
  if (!EnsureVideo(error)) return kFrameH;
  if (SDL_GetDesktopDisplayMode(WindowDisplay(), &mode) != 0) return kFrameH;
  return mode.h;
}

void SdlPlatform::TrackPointer(int32_t windowX, int32_t windowY) {
  if (havePointer_) {
    motionX_ += windowX - lastWindowX_;
    motionY_ += windowY - lastWindowY_;
  }
  havePointer_ = true;
  lastWindowX_ = windowX;
  lastWindowY_ = windowY;
  WindowLetterbox().ToFrame(windowX, windowY, frameX_, frameY_);
}

void SdlPlatform::HandleEvent(const SDL_Event& ev) {
  TPlatformEvent out;
  switch (ev.type) {
    case SDL_QUIT:
      out.Kind = TEventKind::CloseRequest;
      pending_.push_back(out);
      return;
    case SDL_KEYDOWN: {
      const uint16_t vk = SdlKeyMap::ToVirtualKey(ev.key.keysym.sym, ev.key.keysym.scancode);
      if (vk == 0) return;
      out.Kind = TEventKind::KeyDown;
      out.Key = vk;
      // Pressing Alt itself counts as "Alt held", as on Windows.
      out.Alt = (ev.key.keysym.mod & KMOD_ALT) != 0 || vk == 18;
      pending_.push_back(out);
      return;
    }
    case SDL_MOUSEMOTION:
      TrackPointer(ev.motion.x, ev.motion.y);
      out.Kind = TEventKind::MouseMove;
      out.X = frameX_;
      out.Y = frameY_;
      pending_.push_back(out);
      return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const int index = ButtonIndex(ev.button.button);
      if (index < 0) return;
      const auto bit = static_cast<uint8_t>(1u << index);
      if (ev.type == SDL_MOUSEBUTTONUP) {
        buttonsDown_ = static_cast<uint8_t>(buttonsDown_ & ~bit);
        return;
      }
      buttonsDown_ |= bit;
      buttonsPressed_ |= bit;
      TrackPointer(ev.button.x, ev.button.y);
      out.Kind = TEventKind::MouseDown;
      out.Button = static_cast<uint8_t>(index);
      out.X = frameX_;
      out.Y = frameY_;
      pending_.push_back(out);
      return;
    }
    case SDL_MOUSEWHEEL: {
      int32_t notches = ev.wheel.y;
      if (ev.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
      if (notches == 0) return;
      wheel_ += notches * 120;
      out.Kind = TEventKind::MouseWheel;
      out.WheelDelta = notches * 120;
      out.X = frameX_;
      out.Y = frameY_;
      pending_.push_back(out);
      return;
    }
    case SDL_WINDOWEVENT:
      break;
    default:
      if (gamepad_.Translate(ev, out)) pending_.push_back(out);
      return;
  }
  switch (ev.window.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      out.Kind = TEventKind::Activate;
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      buttonsDown_ = 0;
      out.Kind = TEventKind::Deactivate;
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      minimized_ = true;
      out.Kind = TEventKind::Minimize;
      break;
    case SDL_WINDOWEVENT_RESTORED:
      // Also sent when a maximize is undone; only a minimized window restores.
      if (!minimized_) return;
      minimized_ = false;
      out.Kind = TEventKind::Restore;
      break;
    case SDL_WINDOWEVENT_MAXIMIZED:
      if (!windowed_) return;
      // The game decides what maximize means (it switches to full screen);
      // the window itself never maximizes.
      if (window_ != nullptr) SDL_RestoreWindow(window_);
      out.Kind = TEventKind::MaximizeRequest;
      break;
    case SDL_WINDOWEVENT_CLOSE:
      out.Kind = TEventKind::CloseRequest;
      break;
    case SDL_WINDOWEVENT_MOVED:
      out.Kind = TEventKind::WindowMoved;
      out.X = ev.window.data1;
      out.Y = ev.window.data2;
      break;
    default:
      return;
  }
  pending_.push_back(out);
}

void SdlPlatform::Pump() {
  if (!videoReady_) return;
  SDL_Event ev;
  while (SDL_PollEvent(&ev) != 0) {
    if (ev.type == SDL_WINDOWEVENT || ev.type == SDL_RENDER_TARGETS_RESET ||
        ev.type == SDL_RENDER_DEVICE_RESET) {
      frameCache_.Invalidate();
    }
    HandleEvent(ev);
  }
  SettlePlace();
}

void SdlPlatform::PollEvents(std::vector<TPlatformEvent>& out) {
  Pump();
  out.insert(out.end(), pending_.begin(), pending_.end());
  pending_.clear();
}

bool SdlPlatform::ReadKeyboard(TKeyboardSnapshot& state) {
  state.fill(0);
  if (!keyboardAcquired_ || !videoReady_) return false;
  Pump();
  int count = 0;
  const uint8_t* keys = SDL_GetKeyboardState(&count);
  for (int i = 0; i < SdlKeyMap::MappedScancodeCount(); ++i) {
    const int32_t sc = SdlKeyMap::MappedScancode(i);
    if (sc < count && keys[sc] != 0) state[SdlKeyMap::ToDirectInput(sc)] = 0x80;
  }
  return true;
}

bool SdlPlatform::ReadPad(TPadState& state) {
  Pump();
  return gamepad_.Read(state);
}

bool SdlPlatform::ReadMouse(TMouseState& state) {
  state = TMouseState{};
  if (!videoReady_) return false;
  Pump();
  state.X = motionX_;
  state.Y = motionY_;
  state.Z = wheel_;
  const uint8_t buttons = buttonsDown_ | buttonsPressed_;
  for (size_t i = 0; i < state.Buttons.size(); ++i) {
    state.Buttons[i] = static_cast<uint8_t>((buttons >> i) & 1u ? 0x80 : 0x00);
  }
  motionX_ = 0;
  motionY_ = 0;
  wheel_ = 0;
  buttonsPressed_ = 0;
  return true;
}

void SdlPlatform::Present(const uint32_t* pixels, int32_t pitch) {
  if (renderer_ == nullptr || texture_ == nullptr || pixels == nullptr) return;
  // Only the rows that changed go up to the texture, and a frame identical to
  // the one on screen is not shown again: nothing would change. After any
  // window event the next frame is shown in full (the window may have lost
  // its picture).
  const SdlFrameCache::TBand band = frameCache_.Update(pixels, pitch);
  if (band.Count == 0) return;
  const SDL_Rect rows{0, band.First, kFrameW, band.Count};
  SDL_UpdateTexture(
      texture_, &rows,
      reinterpret_cast<const uint8_t*>(pixels) + static_cast<ptrdiff_t>(band.First) * pitch, pitch);
  int w = 0;
  int h = 0;
  SDL_GetRendererOutputSize(renderer_, &w, &h);
  const SdlLetterbox box = SdlLetterbox::Fit(w, h);
  // Black bars only where the frame leaves some of the output uncovered.
  if (box.X != 0 || box.Y != 0 || box.W != w || box.H != h) {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
  }
  const SDL_Rect dst{box.X, box.Y, box.W, box.H};
  SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
  SDL_RenderPresent(renderer_);
}

void SdlPlatform::ShowError(const std::string& title, const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", title.c_str(), message.c_str());
  std::fflush(stderr);
  std::string error;
  if (!EnsureVideo(error) || HeadlessDriver()) return;
  // A full-screen window would cover the box and its button.
  if (window_ != nullptr && !windowed_) {
    SDL_SetWindowFullscreen(window_, 0);
    windowed_ = true;
  }
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), message.c_str(), window_);
}

void SdlPlatform::AudioThunk(void* user, uint8_t* stream, int len) {
  auto* self = static_cast<SdlPlatform*>(user);
  const int frames = len / static_cast<int>(2 * sizeof(int16_t));
  std::memset(stream, 0, static_cast<size_t>(len));
  if (self->audioCallback_ && frames > 0) {
    self->audioCallback_(reinterpret_cast<int16_t*>(stream), frames);
  }
}

bool SdlPlatform::OpenAudio(int sampleRate, TAudioCallback callback) {
  CloseAudio();
  if (sampleRate <= 0 || !callback) return false;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  audioCallback_ = std::move(callback);
  SDL_AudioSpec want{};
  want.freq = sampleRate;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 1024;
  want.callback = &SdlPlatform::AudioThunk;
  want.userdata = this;
  SDL_AudioSpec have{};
  // No allowed changes: SDL converts to whatever the device really does.
  audioDevice_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (audioDevice_ == 0) {
    audioCallback_ = nullptr;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  SDL_PauseAudioDevice(audioDevice_, 0);
  return true;
}

void SdlPlatform::CloseAudio() {
  if (audioDevice_ == 0) return;
  SDL_CloseAudioDevice(audioDevice_);  // waits for a running callback to finish
  audioDevice_ = 0;
  audioCallback_ = nullptr;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlPlatform::ShellOpen(const std::string& target) {
  SdlShellOpen(target);
}

THttpResult SdlPlatform::HttpGet(const std::string& url, const THttpOptions& options) {
  return http_.Get(url, options);
}

THttpResult SdlPlatform::HttpPost(const std::string& url, const std::string& contentType,
                                  const std::string& body, const THttpOptions& options) {
  return http_.Post(url, contentType, body, options);
}
