// The pad path through SDL itself: SDL's virtual joysticks stand in for real
// pads, so hot-plug, the mapping file and the controller events all go through
// SDL's game-controller layer.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/SdlPlatform.h"
#include "support/ScratchFolder.h"

namespace {

// A mapping for a joystick SDL does not take for a pad, with A and B swapped,
// as a line of a community mapping file (no name checksum in the GUID).
std::string SwappedMapping(SDL_JoystickGUID guid) {
  char text[64] = {};
  SDL_JoystickGetGUIDString(guid, text, sizeof text);
  std::string id(text);
  id.replace(4, 4, "0000");
  return id +
         ",Test Pad,a:b1,b:b0,x:b2,y:b3,back:b4,guide:b5,start:b6,leftstick:b7,rightstick:b8,"
         "leftshoulder:b9,rightshoulder:b10,dpup:b11,dpdown:b12,dpleft:b13,dpright:b14,"
         "leftx:a0,lefty:a1,rightx:a2,righty:a3,lefttrigger:a4,righttrigger:a5,platform:Linux,";
}

class SdlGamepadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    folder_.emplace("pad");
    // The dummy display never has the keyboard focus, without which SDL
    // holds pad input back (as the game wants when it is in the background).
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
  }
  void TearDown() override {
    sys_.reset();  // quits SDL, which detaches what is left
    folder_.reset();
  }

  // A virtual pad (or a plain joystick) with the standard buttons and axes;
  // its device index.
  int Attach(SDL_JoystickType type = SDL_JOYSTICK_TYPE_GAMECONTROLLER) {
    const int index = SDL_JoystickAttachVirtual(type, kPadAxisCount, kPadButtonCount, 0);
    EXPECT_GE(index, 0) << SDL_GetError();
    return index;
  }
  void WriteMappingFor(int index) {
    std::ofstream(*folder_ / "gamecontrollerdb.txt")
        << "# test pads\n"
        << SwappedMapping(SDL_JoystickGetDeviceGUID(index)) << "\n";
  }
  void OpenPlatform() {
    sys_ = std::make_unique<SdlPlatform>();
    sys_->SetUserFolder(folder_->String());
    std::string error;
    ASSERT_TRUE(sys_->SetDisplayMode(true, error)) << error;
  }
  std::vector<TPlatformEvent> PadEvents() {
    std::vector<TPlatformEvent> all;
    sys_->PollEvents(all);
    std::vector<TPlatformEvent> pad;
    for (const TPlatformEvent& e : all) {
      if (e.Kind >= TEventKind::PadAdded) pad.push_back(e);
    }
    return pad;
  }
  static SDL_Joystick* Virtual(int index) {
    return SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index));
  }

  std::optional<TScratchFolder> folder_;
  std::unique_ptr<SdlPlatform> sys_;
};

TEST_F(SdlGamepadTest, APadPresentAtStartDrivesWithTheUsersMappingUntilItIsUnplugged) {
  const int index = Attach(SDL_JOYSTICK_TYPE_UNKNOWN);
  ASSERT_FALSE(SDL_IsGameController(index));
  WriteMappingFor(index);
  OpenPlatform();
  auto events = PadEvents();  // added, then the first axis positions
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events[0].Kind, TEventKind::PadAdded);
  EXPECT_EQ(sys_->PadCount(), 1u);
  SDL_Joystick* stick = Virtual(index);
  ASSERT_NE(stick, nullptr);

  // Joystick button 0 is B in the user's file.
  SDL_JoystickSetVirtualButton(stick, 0, SDL_PRESSED);
  SDL_JoystickSetVirtualAxis(stick, 0, -32768);
  events = PadEvents();
  ASSERT_EQ(events.size(), 2u);
  const TPlatformEvent& axis = events[0];  // SDL reports axes before buttons
  const TPlatformEvent& button = events[1];
  EXPECT_EQ(button.Kind, TEventKind::PadButtonDown);
  EXPECT_EQ(button.PadInput, static_cast<uint8_t>(TPadButton::B));
  EXPECT_EQ(axis.Kind, TEventKind::PadAxisMotion);
  EXPECT_EQ(axis.PadInput, static_cast<uint8_t>(TPadAxis::LeftX));
  EXPECT_EQ(axis.AxisValue, -32768);
  TPadState state;
  ASSERT_TRUE(sys_->ReadPad(state));
  EXPECT_TRUE(state.Down(TPadButton::B));
  EXPECT_FALSE(state.Down(TPadButton::A));
  EXPECT_EQ(state.Axis(TPadAxis::LeftX), -32768);
  sys_->RumblePad(0xFFFF, 100);  // a pad without motors: nothing happens

  // Unplugged with the stick held: the state goes to rest at once.
  ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0) << SDL_GetError();
  events = PadEvents();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().Kind, TEventKind::PadRemoved);
  EXPECT_FALSE(sys_->ReadPad(state));
  EXPECT_EQ(state.Axis(TPadAxis::LeftX), 0);
  EXPECT_FALSE(state.Down(TPadButton::B));
}

TEST_F(SdlGamepadTest, PadsPluggedInLaterArriveAndTheLastOneUsedDrives) {
  OpenPlatform();
  EXPECT_TRUE(PadEvents().empty());
  TPadState state;
  EXPECT_FALSE(sys_->ReadPad(state));

  const int first = Attach();
  const int second = Attach();
  ASSERT_TRUE(SDL_IsGameController(first));
  auto events = PadEvents();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1].Kind, TEventKind::PadAdded);
  EXPECT_EQ(sys_->PadCount(), 2u);

  // The first pad's stick moves it into the lead; the second's button takes it over.
  SDL_JoystickSetVirtualAxis(Virtual(first), 1, 30000);
  ASSERT_EQ(PadEvents().size(), 1u);
  ASSERT_TRUE(sys_->ReadPad(state));
  EXPECT_EQ(state.Axis(TPadAxis::LeftY), 30000);
  SDL_JoystickSetVirtualButton(Virtual(second), 6, SDL_PRESSED);
  events = PadEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].PadInput, static_cast<uint8_t>(TPadButton::Start));
  ASSERT_TRUE(sys_->ReadPad(state));
  EXPECT_TRUE(state.Down(TPadButton::Start));
  EXPECT_EQ(state.Axis(TPadAxis::LeftY), 0);

  // The idle pad's stick drifting inside the dead zone changes nothing.
  SDL_JoystickSetVirtualAxis(Virtual(first), 1, 4000);
  EXPECT_TRUE(PadEvents().empty());
  ASSERT_TRUE(sys_->ReadPad(state));
  EXPECT_TRUE(state.Down(TPadButton::Start));
}

}  // namespace

TEST_F(SdlGamepadTest, AMappingFileIsReadOnlyWhenItIsARegularFileWithinTheCaps) {
  std::string filler;  // as many mappings as are used, for pads nobody has
  for (size_t i = 0; i < SdlGamepad::kMaxMappings; ++i) {
    char guid[33];
    std::snprintf(guid, sizeof guid, "03000000%08zx%016zx", i, i);
    filler += std::string(guid) + ",Filler,a:b0,b:b1,platform:Linux,\n";
  }
  enum TPlant { kFifo, kFolder, kHuge, kMappingFirst, kMappingLast };
  const struct {
    const char* what;
    TPlant plant;
    const char* said;  // on stderr after the file's name
    bool mapped;
  } cases[] = {
      {"FIFO", kFifo, ": not a regular file", false},
      {"folder", kFolder, ": a folder, not a file", false},
      {"2 GiB", kHuge, ": larger than 1048576 bytes", false},
      {"the user's mapping within the cap", kMappingFirst, " are used", true},
      {"the user's mapping past the cap", kMappingLast, " are used", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    const int index = Attach(SDL_JOYSTICK_TYPE_UNKNOWN);
    const std::string file = (*folder_ / SdlGamepad::kMappingFileName).string();
    const std::string mapping = SwappedMapping(SDL_JoystickGetDeviceGUID(index)) + "\n";
    switch (c.plant) {
      case kFifo:
        ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        break;
      case kFolder:
        std::filesystem::create_directory(file);
        break;
      case kHuge:
        std::ofstream(file) << mapping;
        std::filesystem::resize_file(file, uintmax_t{2} << 30);
        break;
      case kMappingFirst:
        std::ofstream(file) << mapping << filler;
        break;
      case kMappingLast:
        std::ofstream(file) << filler << mapping;
        break;
    }
    testing::internal::CaptureStderr();
    OpenPlatform();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(file + c.said), std::string::npos) << said;
    EXPECT_EQ(sys_->PadCount(), c.mapped ? 1u : 0u);
  }
}
