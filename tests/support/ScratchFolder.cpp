#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string RunningTestName() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  if (info == nullptr) return "scratch";
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name) {
    if (c == '/') c = '_';  // parameterised tests
  }
  return name;
}

}  // namespace

fs::path TScratchFolder::ProcessFolder() {
  return fs::temp_directory_path() / ("tl_test_" + std::to_string(::getpid()));
}

TScratchFolder::TScratchFolder() : TScratchFolder(RunningTestName()) {}

TScratchFolder::TScratchFolder(const std::string& name) : path_(ProcessFolder() / name) {
  fs::remove_all(path_);
  fs::create_directories(path_);
}

TScratchFolder::~TScratchFolder() {
  if (keep_) return;
  std::error_code ignored;
  fs::remove_all(path_, ignored);
  // Only succeeds once the last folder of the process is gone.
  fs::remove(path_.parent_path(), ignored);
}
