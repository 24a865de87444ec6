#pragma once

#include <filesystem>
#include <string>

// A folder of its own for a test: <temp>/tl_test_<pid>/<name>, emptied and
// created when the object is made, and removed with everything in it when the
// object goes, unless Keep() was called. The process folder tl_test_<pid> is
// removed once it is empty, and tests/scratch's cleanup removes it (as every
// tl_<kind>_<pid>) when the test program ends.
// `name` is one path component; two live folders of one process need two names.
class TScratchFolder {
 public:
  // Named after the running test (Suite.Name), "scratch" outside a test.
  TScratchFolder();
  explicit TScratchFolder(const std::string& name);
  ~TScratchFolder();
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  operator const std::filesystem::path&() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& inside) const {
    return path_ / inside;
  }
  std::string String() const { return path_.string(); }
  // Leaves the folder in place when the object goes.
  void Keep() { keep_ = true; }

  // <temp>/tl_test_<pid>: the parent of every scratch folder of this process.
  static std::filesystem::path ProcessFolder();

 private:
  std::filesystem::path path_;
  bool keep_ = false;
};
