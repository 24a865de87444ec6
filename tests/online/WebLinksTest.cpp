#include "online/WebLinks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "support/FakePlatform.h"
#include "support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

// Runs each case in a fresh folder of its own, since play.url is looked up in
// the current directory.
class TScratchDir {
 public:
  TScratchDir() : folder_("weblinks_" + std::to_string(counter_++)), previous_(fs::current_path()) {
    fs::current_path(folder_);
  }
  ~TScratchDir() { fs::current_path(previous_); }

 private:
  static inline int counter_ = 0;
  const TScratchFolder folder_;  // removed after the way back
  fs::path previous_;
};

TEST(WebLinks, UrlsAreBuiltFromTheScoreHost) {
  EXPECT_FALSE(ScoreHost().empty());
  EXPECT_EQ(HomePageUrl(), "http://" + ScoreHost());
  EXPECT_EQ(WorldScoresUrl(),
            "http://" + ScoreHost() + "/cgi/version.pl?prg=TidalLynx&show&type=0");
}

TEST(WebLinks, ExitLinkOpensOnlyWebAddresses) {
  struct TCase {
    const char* label;
    std::optional<std::string> file;  // nothing: no play.url at all
    std::vector<std::string> opened;
  };
  const std::vector<TCase> cases = {
      {"http",
       "[InternetShortcut]\r\nURL=http://example.test/play\r\n",
       {"http://example.test/play"}},
      {"https",
       "[InternetShortcut]\nURL=https://example.test/a?b=c\n",
       {"https://example.test/a?b=c"}},
      {"key in other case, spaces",
       "[InternetShortcut]\n  url=HTTP://x.test \n",
       {"HTTP://x.test"}},
      {"other scheme", "[InternetShortcut]\nURL=file:///etc/passwd\n", {}},
      {"program", "[InternetShortcut]\nURL=/usr/bin/xterm\n", {}},
      {"bare scheme", "[InternetShortcut]\nURL=http://\n", {}},
      {"space inside", "[InternetShortcut]\nURL=http://a.test/x y\n", {}},
      {"no URL line", "[InternetShortcut]\nIconIndex=0\n", {}},
      {"empty file", "", {}},
      {"missing file", std::nullopt, {}},
  };
  for (const TCase& c : cases) {
    TScratchDir dir;
    if (c.file) std::ofstream("play.url", std::ios::binary) << *c.file;
    FakePlatform sys;
    OpenExitLink(sys);
    EXPECT_EQ(sys.OpenedTargets, c.opened) << c.label;
    EXPECT_TRUE(sys.HttpRequests.empty()) << c.label;
  }
}

}  // namespace
