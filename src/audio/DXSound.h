#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TAudioOutput;
class TDirectSound;
class TDirectSoundBuffer;

enum class TDXSoundOption : uint8_t {
  soGlobalFocus = 1,
  soStickyFocus = 2,
  soExclusive = 4,
};
// A set of TDXSoundOption bits.
using TDXSoundOptions = uint8_t;
constexpr TDXSoundOptions operator|(TDXSoundOption a, TDXSoundOption b) {
  return static_cast<TDXSoundOptions>(static_cast<uint8_t>(a) | static_cast<uint8_t>(b));
}
constexpr bool Has(TDXSoundOptions set, TDXSoundOption option) {
  return (set & static_cast<uint8_t>(option)) != 0;
}

enum class TDXSoundNotifyType : uint8_t {
  dsntDestroying,
  dsntInitializing,
  dsntInitialize,
  dsntFinalize,
  dsntRestore,
};

// The sound component: opens the sound device on the audio output, keeps the
// primary buffer, and tells its registered receivers (the wave lists) when it
// initializes, finalizes, restores and is destroyed.
class TDXSound {
 public:
  using TNotifyEvent = std::function<void(TDXSound& sender, TDXSoundNotifyType type)>;
  using TEvent = std::function<void(TDXSound& sender)>;

  explicit TDXSound(TAudioOutput* output);
  // Finalizes, then tells every receiver that the component is going away.
  virtual ~TDXSound();
  TDXSound(const TDXSound&) = delete;
  TDXSound& operator=(const TDXSound&) = delete;

  bool AutoInitialize = true;
  TEvent OnFinalize;
  TEvent OnInitialize;
  TEvent OnInitializing;
  TEvent OnRestore;

  // Opens the device. Raises EDirectSoundError "DirectSound cannot be
  // initialized" without a device and EDXSoundError "Primary Buffer cannot
  // be made"; the component is finalized again before either passes on.
  void Initialize();
  void Finalize();
  // Reloads every registered list's buffers (when initialized).
  void Restore();
  // The end of loading: initializes when AutoInitialize is set. A missing or
  // broken sound device is not an error here: the game runs silently.
  void Loaded();

  bool Initialized() const { return initialized_; }
  TDXSoundOptions Options() const { return options_; }
  void SetOptions(TDXSoundOptions options);
  TDXSoundOptions EffectiveOptions() const { return effectiveOptions_; }

  TDirectSound* DSound() const { return dsound_.get(); }
  TDirectSoundBuffer* Primary() const { return primary_.get(); }

  // `key` identifies the receiver; registering it again replaces the
  // earlier registration. An initialized component tells it initialize and
  // restore at once; unregistering tells it finalize.
  void RegisterNotifyEvent(const void* key, TNotifyEvent event);
  void UnRegisterNotifyEvent(const void* key);

 protected:
  virtual void DoFinalize();
  virtual void DoInitialize();
  virtual void DoInitializing();
  virtual void DoRestore();

 private:
  struct TReceiver {
    const void* Key;
    TNotifyEvent Event;
  };
  void Notify(TDXSoundNotifyType type);

  TAudioOutput* output_;
  std::unique_ptr<TDirectSound> dsound_;
  std::unique_ptr<TDirectSoundBuffer> primary_;
  std::vector<TReceiver> receivers_;
  TDXSoundOptions options_ = 0;
  TDXSoundOptions effectiveOptions_ = 0;
  bool initialized_ = false;
  bool initializing_ = false;
  bool calledDoInitialize_ = false;
};
