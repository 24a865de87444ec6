#pragma once

// Shared by the fuzz targets: a property check that stops the run (libFuzzer
// then keeps the input as a crash), and a scratch file for readers that take
// a path.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#define TL_FUZZ_CHECK(condition, property)                                                      \
  do {                                                                                          \
    if (!(condition)) {                                                                         \
      std::fprintf(stderr, "fuzz property broken: %s (%s:%d)\n", property, __FILE__, __LINE__); \
      std::abort();                                                                             \
    }                                                                                           \
  } while (0)

namespace fuzz {

// A file of this process in the temporary folder, removed at exit.
class TScratchFile {
 public:
  explicit TScratchFile(const std::string& name)
      : path_((std::filesystem::temp_directory_path() /
               ("tl_fuzz_" + std::to_string(::getpid()) + "_" + name))
                  .string()) {}
  ~TScratchFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  TScratchFile(const TScratchFile&) = delete;
  TScratchFile& operator=(const TScratchFile&) = delete;

  const std::string& Path() const { return path_; }
  void Write(const uint8_t* data, size_t size) const {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }

 private:
  std::string path_;
};

}  // namespace fuzz
