#include "shell/FormFixture.h"

#include <unistd.h>

#include <atomic>

namespace {

// The pack is the same for every test; write it once per run.
const std::string& PackPath() {
  static const std::string path = [] {
    const auto file = std::filesystem::temp_directory_path() /
                      ("tl_shell_pack_" + std::to_string(::getpid()) + ".pp");
    EXPECT_TRUE(test_pack::Write(file.string()));
    return file.string();
  }();
  return path;
}

}  // namespace

TFonts& FormFixture::SharedFonts() {
  static TFonts fonts;
  return fonts;
}

void FormFixture::SetUp() {
  static std::atomic<int> counter{0};
  dir_ = std::filesystem::temp_directory_path() /
         ("tl_shell_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
}

void FormFixture::TearDown() {
  form_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

TForm1& FormFixture::MakeForm(std::optional<bool> windowedThisRun) {
  TFormPaths paths;
  paths.PackPath = PackPath();
  paths.ConfigPath = ConfigPath();
  form_ =
      std::make_unique<TForm1>(sys_, state_, SharedFonts(), sound_, music_, paths, windowedThisRun);
  return *form_;
}

TForm1& FormFixture::StartForm() {
  MakeForm();
  form_->Create();
  return *form_;
}

int FormFixture::CountPixels(TRect area, uint32_t color) const {
  int count = 0;
  for (int32_t y = area.Top; y < area.Bottom; ++y) {
    for (int32_t x = area.Left; x < area.Right; ++x) count += Pixel(x, y) == color;
  }
  return count;
}

void FormFixture::Deliver() {
  std::vector<TPlatformEvent> events;
  sys_.PollEvents(events);
  for (const TPlatformEvent& event : events) form_->HandleEvent(event);
}
