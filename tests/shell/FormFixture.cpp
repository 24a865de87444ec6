#include "shell/FormFixture.h"

namespace {

// The pack is the same for every test; write it once per run.
const std::string& PackPath() {
  static const TScratchFolder folder("shell_pack");
  static const std::string path = [] {
    const std::string file = (folder / "Data.pp").string();
    EXPECT_TRUE(test_pack::Write(file));
    return file;
  }();
  return path;
}

}  // namespace

TFonts& FormFixture::SharedFonts() {
  static TFonts fonts;
  return fonts;
}

void FormFixture::SetUp() {
  dir_ = scratch_.emplace().Path();
}

void FormFixture::TearDown() {
  form_.reset();
  scratch_.reset();
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
