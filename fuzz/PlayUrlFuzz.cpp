// The "play.url" shortcut opened after the window closes. Properties: only an
// http or https address taken from the text is ever opened, with no spaces or
// control characters in it.

#include <cctype>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "online/WebLinks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string url = ExitLinkUrl(text);
  if (url.empty()) return 0;
  std::string lower = url.substr(0, 8);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  TL_FUZZ_CHECK(lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0,
                "only web addresses are opened");
  for (char c : url) {
    const auto u = static_cast<unsigned char>(c);
    TL_FUZZ_CHECK(u > 0x20 && u != 0x7F, "no spaces or control characters");
  }
  TL_FUZZ_CHECK(text.find(url) != std::string_view::npos, "the address comes from the file");
  return 0;
}
