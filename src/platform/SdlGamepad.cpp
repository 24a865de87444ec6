#include "platform/SdlGamepad.h"

#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "files/RegularFile.h"

// The game's button and axis numbers are SDL's.
static_assert(static_cast<int>(TPadButton::A) == SDL_CONTROLLER_BUTTON_A);
static_assert(static_cast<int>(TPadButton::Start) == SDL_CONTROLLER_BUTTON_START);
static_assert(static_cast<int>(TPadButton::DpadRight) == SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
static_assert(kPadButtonCount == SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1);
static_assert(static_cast<int>(TPadAxis::TriggerRight) == SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
static_assert(kPadAxisCount == SDL_CONTROLLER_AXIS_MAX);

SdlGamepad::~SdlGamepad() {
  Close();
}

bool SdlGamepad::Open(const std::string& userFolder, std::vector<TPlatformEvent>& added,
                      std::string& error) {
  if (open_) return true;
  // The user's mappings go in before the controller layer starts, so a pad
  // only they describe is a pad from the first moment.
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
    error = std::string("Gamepads are not available: ") + SDL_GetError();
    return false;
  }
  if (!userFolder.empty()) AddMappingFile(userFolder + "/" + kMappingFileName, error);
  const int controllerInit = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);  // the controller layer holds it from here
  if (controllerInit != 0) {
    error = std::string("Gamepads are not available: ") + SDL_GetError();
    return false;
  }
  open_ = true;
  for (int i = 0; i < SDL_NumJoysticks(); ++i) {
    if (SDL_IsGameController(i) && OpenDevice(i)) {
      TPlatformEvent e;
      e.Kind = TEventKind::PadAdded;
      added.push_back(e);
    }
  }
  return true;
}

namespace {

// Whether a line of a mapping file is one SDL takes from a file here: it names
// this platform, in any case, followed by a comma.
bool ForThisPlatform(std::string_view line) {
  constexpr std::string_view kField = "platform:";
  const size_t at = line.find(kField);
  if (at == std::string_view::npos) return false;
  const std::string_view rest = line.substr(at + kField.size());
  const size_t comma = rest.find(',');
  if (comma == std::string_view::npos) return false;
  const std::string_view name = rest.substr(0, comma);
  const std::string_view platform = SDL_GetPlatform();
  return name.size() == platform.size() &&
         SDL_strncasecmp(name.data(), platform.data(), name.size()) == 0;
}

}  // namespace

void SdlGamepad::AddMappingFile(const std::string& path, std::string& error) {
  // The file is optional; anything else at its name (a FIFO is never waited
  // on) or a file beyond the cap is reported and left unread.
  std::string text;
  std::string reason;
  if (!ReadRegularFile(path, kMaxMappingFileBytes, text, reason)) {
    if (reason != std::strerror(ENOENT)) {
      error = "Cannot read the gamepad mappings in " + path + ": " + reason;
    }
    return;
  }
  // SDL takes time growing with the square of the mappings it holds, so only
  // this platform's lines go in, and no more than the cap.
  std::string kept;
  size_t count = 0;
  bool dropped = false;
  std::string_view rest = text;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    if (line.empty() || line.front() == '#' || !ForThisPlatform(line)) continue;
    if (count == kMaxMappings) {
      dropped = true;
      break;
    }
    kept.append(line).push_back('\n');
    ++count;
  }
  if (!kept.empty() && SDL_GameControllerAddMappingsFromRW(
                           SDL_RWFromConstMem(kept.data(), static_cast<int>(kept.size())), 1) < 0) {
    // The pads SDL knows itself still work; say why the file's do not.
    error = "Cannot read the gamepad mappings in " + path + ": " + SDL_GetError();
  } else if (dropped) {
    error = "Only the first " + std::to_string(kMaxMappings) + " gamepad mappings in " + path +
            " are used";
  }
}

void SdlGamepad::Close() {
  if (!open_) return;
  for (TPad& pad : pads_) SDL_GameControllerClose(pad.Controller);
  pads_.clear();
  driving_ = -1;
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  open_ = false;
}

const SdlGamepad::TPad* SdlGamepad::Find(int32_t id) const {
  for (const TPad& pad : pads_) {
    if (pad.Id == id) return &pad;
  }
  return nullptr;
}

bool SdlGamepad::OpenDevice(int index) {
  SDL_GameController* controller = SDL_GameControllerOpen(index);
  if (controller == nullptr) return false;
  const int32_t id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
  if (Find(id) != nullptr) {
    SDL_GameControllerClose(controller);  // drops the extra reference
    return false;
  }
  pads_.push_back(TPad{controller, id});
  driving_ = id;  // a pad just plugged in is the one about to be used
  return true;
}

bool SdlGamepad::Translate(const SDL_Event& ev, TPlatformEvent& out) {
  if (!open_) return false;
  switch (ev.type) {
    case SDL_CONTROLLERDEVICEADDED:
      // `which` is a device index here; pads opened at start are announced again.
      if (!OpenDevice(ev.cdevice.which)) return false;
      out.Kind = TEventKind::PadAdded;
      return true;
    case SDL_CONTROLLERDEVICEREMOVED: {
      const int32_t id = ev.cdevice.which;
      const auto it =
          std::find_if(pads_.begin(), pads_.end(), [id](const TPad& p) { return p.Id == id; });
      if (it == pads_.end()) return false;
      SDL_GameControllerClose(it->Controller);
      pads_.erase(it);
      if (driving_ == id) driving_ = pads_.empty() ? -1 : pads_.back().Id;
      out.Kind = TEventKind::PadRemoved;
      return true;
    }
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
      if (ev.cbutton.button >= kPadButtonCount || Find(ev.cbutton.which) == nullptr) return false;
      const bool down = ev.type == SDL_CONTROLLERBUTTONDOWN;
      if (down) driving_ = ev.cbutton.which;
      if (ev.cbutton.which != driving_) return false;
      out.Kind = down ? TEventKind::PadButtonDown : TEventKind::PadButtonUp;
      out.PadInput = ev.cbutton.button;
      return true;
    }
    case SDL_CONTROLLERAXISMOTION: {
      if (ev.caxis.axis >= kPadAxisCount || Find(ev.caxis.which) == nullptr) return false;
      // A stick pushed past the dead zone makes its pad the driving one.
      if (std::abs(static_cast<int32_t>(ev.caxis.value)) > kPadDeadZone) driving_ = ev.caxis.which;
      if (ev.caxis.which != driving_) return false;
      out.Kind = TEventKind::PadAxisMotion;
      out.PadInput = ev.caxis.axis;
      out.AxisValue = ev.caxis.value;
      return true;
    }
    default:
      return false;
  }
}

bool SdlGamepad::Read(TPadState& state) const {
  state = TPadState{};
  const TPad* pad = Driving();
  if (pad == nullptr) return false;
  state.Connected = true;
  for (int b = 0; b < kPadButtonCount; ++b) {
    state.Buttons[static_cast<size_t>(b)] =
        SDL_GameControllerGetButton(pad->Controller, static_cast<SDL_GameControllerButton>(b)) != 0;
  }
  for (int a = 0; a < kPadAxisCount; ++a) {
    state.Axes[static_cast<size_t>(a)] =
        SDL_GameControllerGetAxis(pad->Controller, static_cast<SDL_GameControllerAxis>(a));
  }
  return true;
}

void SdlGamepad::Rumble(uint16_t strength, uint32_t ms) {
  const TPad* pad = Driving();
  // Pads without motors answer with an error; there is nothing to tell.
  if (pad != nullptr) SDL_GameControllerRumble(pad->Controller, strength, strength, ms);
}
