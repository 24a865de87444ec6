// The plain-build driver of a fuzz target: runs every file of the folders it
// is given through the target once (the seeds and the inputs that once broke
// it), then checks the peak memory against the target's stated limit.
//   fuzz_replay_<name> [--rss-limit-mb=N] <folder>...

#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  long rssLimitMb = 0;
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--rss-limit-mb=", 0) == 0) {
      rssLimitMb = std::stol(arg.substr(15));
      continue;
    }
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(arg, error)) {
      if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') {
        files.push_back(entry.path());
      }
    }
  }
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    std::fprintf(stderr, "%s (%zu bytes)\n", file.c_str(), bytes.size());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  const long peakMb = usage.ru_maxrss / 1024;
  std::printf("%zu inputs, peak memory %ld MB (limit %ld MB)\n", files.size(), peakMb, rssLimitMb);
  if (files.empty()) {
    std::fprintf(stderr, "no inputs found\n");
    return 1;
  }
  if (rssLimitMb > 0 && peakMb > rssLimitMb) {
    std::fprintf(stderr, "peak memory above the limit\n");
    return 1;
  }
  return 0;
}
