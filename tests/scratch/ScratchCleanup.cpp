// Removes the scratch folders this test process made under the temporary
// directory (all named tl_<kind>_<pid>) once every test has run.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace {

class TScratchCleanup : public ::testing::Environment {
 public:
  void TearDown() override {
    namespace fs = std::filesystem;
    std::string suffix = "_";
    suffix += std::to_string(getpid());
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(fs::temp_directory_path(), ec)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind("tl_", 0) == 0 && name.size() > suffix.size() &&
          name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
        fs::remove_all(entry.path(), ec);
      }
    }
  }
};

[[maybe_unused]] const ::testing::Environment* const kScratchCleanup =
    ::testing::AddGlobalTestEnvironment(new TScratchCleanup);

}  // namespace
