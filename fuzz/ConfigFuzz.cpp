// "Config.cfg" as read at start-up. Properties: the reader never claims more
// bytes than it got, and a complete file re-encodes to exactly the bytes it
// was read from (flag bytes other than 1 read as false, so they come back as 0).

#include <string>

#include "FuzzCheck.h"
#include "settings/ConfigFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  TOptions options;
  THiScoreTable table = DefaultHiScores();
  bool complete = false;
  const size_t used = TConfigFile::Decode(bytes, options, table, complete);
  TL_FUZZ_CHECK(used <= size, "the reader stays inside the file");
  if (!complete) return 0;
  std::string canonical = bytes.substr(0, used);
  for (size_t flag = 0; flag < 3; ++flag) canonical[flag] = canonical[flag] == 1 ? 1 : 0;
  TL_FUZZ_CHECK(TConfigFile::Encode(options, table) == canonical,
                "a decoded config re-encodes to the same bytes");
  return 0;
}
