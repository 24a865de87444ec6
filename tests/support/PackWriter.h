#pragma once

// Builds image packs byte by byte for the pack tests.

#include <cstdint>
#include <string>
#include <vector>

#include "support/BmpWriter.h"
#include "support/FileBytes.h"
#include "support/ScratchFolder.h"

namespace packtest {

// Image k of a test pack: (k + 1) x (k % 7 + 1) pixels, filled with ImageColour(k)
// except its top-left pixel, which is magenta.
inline uint32_t ImageColour(int k) {
  return 0x00010203u * static_cast<uint32_t>(k + 1);
}
inline std::vector<uint8_t> PackImage(int k) {
  return test_kit::MakeBmp(
      {.Width = k + 1, .Height = k % 7 + 1, .Pixel = [k](int32_t x, int32_t y) {
         return x == 0 && y == 0 ? 0x00FF00FFu : ImageColour(k);
       }});
}

inline void AppendRecord(std::vector<uint8_t>& pack, const std::vector<uint8_t>& bmp) {
  test_kit::PutLe(pack, static_cast<uint32_t>(bmp.size()), 4);
  pack.insert(pack.end(), bmp.begin(), bmp.end());
}

inline std::vector<uint8_t> MakePack(int records) {
  std::vector<uint8_t> pack;
  for (int k = 0; k < records; ++k) AppendRecord(pack, PackImage(k));
  return pack;
}

// A pack file `name` holding `bytes`, in a scratch folder of its own that goes
// when the test ends.
class TPackFile {
 public:
  TPackFile(const std::string& name, const std::vector<uint8_t>& bytes)
      : folder_("pack_" + name), path_((folder_ / name).string()) {
    test_kit::WriteFile(path_, bytes);
  }
  const std::string& Path() const { return path_; }

 private:
  TScratchFolder folder_;
  std::string path_;
};

}  // namespace packtest
