// What the game writes and sends is the same bytes whatever the player's
// locale: Config.cfg and the submitted result record, under locales that
// write numbers with a decimal comma and other letters.

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "online/ResultSubmission.h"
#include "settings/ConfigFile.h"
#include "support/FakePlatform.h"
#include "support/FileBytes.h"
#include "support/TestLocales.h"

namespace {

// A decimal comma with Latin letters and with Cyrillic ones.
const std::vector<std::string> kLocales = {"de_DE.UTF-8", "ru_RU.UTF-8"};

// Config.cfg as the game saves it, and the URL that carries the result.
struct TWritten {
  std::string Config;
  std::string SubmitUrl;
};

TWritten WriteUnder(const std::string& locale) {
  TScopedLocale scoped(locale.c_str());
  EXPECT_TRUE(scoped.Ok()) << locale;
  TWritten out;
  const std::string path = "Config-" + locale + ".cfg";
  TOptions options;
  options.WindowedMode = false;
  options.PlayerName = "Kapitan 1.5";
  THiScoreTable table = DefaultHiScores();
  table[0] = {"Zo\xeb", 1234567};
  EXPECT_TRUE(TConfigFile(path).Save(options, table)) << locale;
  out.Config = test_kit::ReadText(path);
  std::filesystem::remove(path);

  FakePlatform sys;
  sys.HttpHandler = [](const std::string&) {
    THttpResult answer;
    answer.Ok = true;
    answer.Status = 200;
    answer.Body = "TidalLynx|2.0|1|600|Pq7|";
    return answer;
  };
  TSubmitOptions submit;
  submit.Host = "scores.test:99";
  SubmitResult(sys, "Zo\xeb", 1234567, "Kapitan 1.5", submit);
  if (sys.HttpRequests.size() == 2) out.SubmitUrl = sys.HttpRequests[1].Url;
  return out;
}

TEST(LocaleSafety, ConfigAndSubmissionAreTheSameUnderEveryLocale) {
  const std::string failed = PrepareTestLocales(kLocales);
  ASSERT_EQ(failed, "") << "install the locales package (scripts/install-deps.sh --tests)";
  const TWritten c = WriteUnder("C");
  ASSERT_FALSE(c.Config.empty());
  ASSERT_FALSE(c.SubmitUrl.empty());
  for (const std::string& locale : kLocales) {
    {
      // The locale really writes numbers its own way, or this proves nothing.
      TScopedLocale scoped(locale.c_str());
      ASSERT_TRUE(scoped.Ok()) << locale;
      EXPECT_STREQ(std::localeconv()->decimal_point, ",") << locale;
    }
    const TWritten w = WriteUnder(locale);
    EXPECT_EQ(w.Config, c.Config) << locale;
    EXPECT_EQ(w.SubmitUrl, c.SubmitUrl) << locale;
  }
}

}  // namespace
