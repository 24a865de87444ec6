#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "LiveServer.h"
#include "protocol/ResultCodec.h"
#include "support/FileBytes.h"
#include "support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kChromium = "/usr/bin/chromium";

// Runs headless Chromium on `url` with the extra flags; its output goes to `out`.
int RunChromium(const fs::path& work, const std::string& flags, const std::string& url,
                const fs::path& out) {
  const fs::path profile = work / ("profile" + std::to_string(std::rand()));
  fs::create_directories(profile);
  const std::string command =
      std::string("timeout 120 ") + kChromium +
      " --headless --no-sandbox --disable-gpu --disable-background-networking"
      " --disable-component-update --disable-sync --no-first-run --user-data-dir='" +
      profile.string() + "' " + flags + " '" + url + "' > '" + out.string() + "' 2> '" +
      (work / "chromium.err").string() + "'";
  return std::system(command.c_str());
}

TEST(WorldPageBrowser, ShowsTheStoredNamesWithoutScripts) {
  if (!fs::exists(kChromium)) {
    const char* ci = std::getenv("CI");
    if (ci && std::string(ci) == "true") {
      FAIL() << kChromium << " is missing: scripts/install-deps.sh --tests installs chromium";
    }
    GTEST_SKIP() << kChromium << " is not installed (apt-get install chromium); skipped";
  }
  TLiveServer server("browser");
  ASSERT_GT(server.Port(), 0);
  const std::pair<const char*, int32_t> results[] = {
      {"Marlin", 9100}, {"<Shark&Co>", 7700}, {"Orca", 500}};
  for (const auto& [name, score] : results) {
    const std::string p =
        ExtractChallenge(server.Get("/cgi/version.pl?version&prg=TidalLynx").second);
    ASSERT_EQ(server
                  .Get("/cgi/version.pl?hs&prg=TidalLynx&inf=" +
                       EncodeResult(BuildResultRecord(name, score, p, "Deck")))
                  .first,
              200);
  }
  const TScratchFolder work("browser");
  const std::string url = server.Url() + "/cgi/version.pl?prg=TidalLynx&show&type=0";

  const fs::path dom = work / "dom.html";
  ASSERT_EQ(RunChromium(work, "--dump-dom", url, dom), 0)
      << test_kit::ReadText(work / "chromium.err");
  const std::string text = test_kit::ReadText(dom);
  for (const char* shown : {"Marlin", "&lt;Shark&amp;Co&gt;", "Orca", "9100", "Deck"}) {
    EXPECT_NE(text.find(shown), std::string::npos) << shown << "\n" << text;
  }
  // The rows come in score order.
  EXPECT_LT(text.find("Marlin"), text.find("Shark"));
  EXPECT_LT(text.find("Shark"), text.find("Orca"));

  const fs::path shot = work / "world.png";
  RunChromium(work, "--screenshot='" + shot.string() + "' --window-size=1000,800", url,
              work / "shot.out");
  const std::string png = test_kit::ReadText(shot);
  ASSERT_GT(png.size(), 1000u) << test_kit::ReadText(work / "chromium.err");
  EXPECT_EQ(png.substr(1, 3), "PNG");
}

}  // namespace
