#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

struct _SDL_GameController;
union SDL_Event;

// The pads, through SDL's game-controller layer: SDL's own mapping database,
// SDL_GAMECONTROLLERCONFIG and a "gamecontrollerdb.txt" in the user's folder.
// Pads come and go while the game runs; the one used most recently drives,
// and only its events and state reach the game.
class SdlGamepad {
 public:
  static constexpr const char* kMappingFileName = "gamecontrollerdb.txt";
  // The mapping file is read only up to this size, and only this many of its
  // lines for this platform are used (the community database holds far fewer).
  static constexpr size_t kMaxMappingFileBytes = 1024 * 1024;
  static constexpr size_t kMaxMappings = 4096;

  SdlGamepad() = default;
  ~SdlGamepad();
  SdlGamepad(const SdlGamepad&) = delete;
  SdlGamepad& operator=(const SdlGamepad&) = delete;

  // Starts SDL's controller layer and adds the mappings of
  // `userFolder`/gamecontrollerdb.txt when that file exists, then opens the
  // pads already connected, appending an added event for each to `added`.
  // False (no pads, the game goes on) when the layer cannot start; `error`
  // says why, and also when only the file could not be read or was cut at
  // the caps above.
  bool Open(const std::string& userFolder, std::vector<TPlatformEvent>& added, std::string& error);
  void Close();
  bool IsOpen() const { return open_; }

  // Translates one SDL event; true with `out` filled when it is a pad event
  // for the game.
  bool Translate(const SDL_Event& event, TPlatformEvent& out);
  // The driving pad's state; false and a zero state without one.
  bool Read(TPadState& state) const;
  void Rumble(uint16_t strength, uint32_t ms);
  size_t PadCount() const { return pads_.size(); }

 private:
  struct TPad {
    _SDL_GameController* Controller = nullptr;
    int32_t Id = -1;  // SDL joystick instance id
  };
  // Adds the mappings of the file at `path` within the caps; `error` says
  // what went wrong (a missing file is not an error).
  void AddMappingFile(const std::string& path, std::string& error);
  const TPad* Find(int32_t id) const;
  // Opens the pad at SDL device index `index` unless it is open already.
  bool OpenDevice(int index);
  const TPad* Driving() const { return Find(driving_); }

  bool open_ = false;
  std::vector<TPad> pads_;  // in the order they were connected
  int32_t driving_ = -1;
};
