// The command line: each option read from argv, bad command lines rejected,
// and --windowed / --fullscreen lasting for one run only.

#include "shell/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/ConfigFile.h"
#include "shell/FormFixture.h"

namespace {

constexpr uint16_t kVkReturn = 13, kVkEscape = 27, kVkLeft = 37;

struct Case {
  std::vector<std::string> args;
  TCommandLine want;
};

TCommandLine Want(std::string error) {
  TCommandLine line;
  line.Error = std::move(error);
  return line;
}

TEST(CommandLine, OptionsAreReadAndBadCommandLinesRejected) {
  TCommandLine all;
  all.Windowed = false;
  all.DataDir = "/d";
  all.ConfigFile = "c.cfg";
  all.NoSound = true;
  all.NoMusic = true;
  all.Scale = 3;
  TCommandLine help;
  help.Help = true;
  help.Version = true;
  TCommandLine windowed;
  windowed.Windowed = true;
  TCommandLine verify;
  verify.VerifyReplay = "a.tlr";
  verify.Json = true;
  TCommandLine watch;
  watch.Replay = "game 1.tlr";
  watch.Windowed = true;
  const Case cases[] = {
      {{"tidal-lynx"}, {}},
      {{"tidal-lynx", "--windowed", "--fullscreen", "--data-dir", "/d", "--config=c.cfg",
        "--no-sound", "--no-music", "--scale", "3"},
       all},
      {{"tidal-lynx", "--help", "--vers"}, help},                // an unambiguous prefix is enough
      {{"tidal-lynx", "--fullscreen", "--windowed"}, windowed},  // the last one counts
      {{"tidal-lynx", "--bogus"}, Want("unknown option '--bogus'")},
      {{"tidal-lynx", "-x"}, Want("unknown option '-x'")},
      {{"tidal-lynx", "--data-dir"}, Want("option '--data-dir' needs an argument")},
      {{"tidal-lynx", "--no"}, Want("unknown option '--no'")},  // ambiguous
      {{"tidal-lynx", "--windowed", "game 1.tlr"}, watch},      // a lone file is watched
      {{"tidal-lynx", "--replay", "game 1.tlr", "--windowed"}, watch},
      {{"tidal-lynx", "a.tlr", "--windowed"}, Want("unexpected argument '--windowed'")},
      {{"tidal-lynx", "a.tlr", "b.tlr"}, Want("unexpected argument 'b.tlr'")},
      {{"tidal-lynx", "--replay=a.tlr", "b.tlr"}, Want("unexpected argument 'b.tlr'")},
      {{"tidal-lynx", "--scale=0"}, Want("--scale takes a whole number from 1 to 16, not '0'")},
      {{"tidal-lynx", "--scale", "2x"},
       Want("--scale takes a whole number from 1 to 16, not '2x'")},
      {{"tidal-lynx", "--json", "--verify-replay=a.tlr"}, verify},
      {{"tidal-lynx", "--json"}, Want("--json goes with --verify-replay")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    const TCommandLine got = ParseCommandLine(c.args);
    EXPECT_EQ(got.Error, c.want.Error);
    if (!c.want.Error.empty()) continue;
    EXPECT_EQ(got.Help, c.want.Help);
    EXPECT_EQ(got.Version, c.want.Version);
    EXPECT_EQ(got.Windowed, c.want.Windowed);
    EXPECT_EQ(got.DataDir, c.want.DataDir);
    EXPECT_EQ(got.ConfigFile, c.want.ConfigFile);
    EXPECT_EQ(got.NoSound, c.want.NoSound);
    EXPECT_EQ(got.NoMusic, c.want.NoMusic);
    EXPECT_EQ(got.Scale, c.want.Scale);
    EXPECT_EQ(got.VerifyReplay, c.want.VerifyReplay);
    EXPECT_EQ(got.Json, c.want.Json);
    EXPECT_EQ(got.Replay, c.want.Replay);
  }
  // Every option of the table is in the help.
  const std::string text = HelpText("tidal-lynx");
  for (const char* name : {"--help", "--version", "--windowed", "--fullscreen", "--data-dir DIR",
                           "--config FILE", "--no-sound", "--no-music", "--scale N",
                           "--replay FILE", "--verify-replay FILE", "--json"}) {
    EXPECT_NE(text.find(name), std::string::npos) << name;
  }
}

bool SavedWindowed(const std::string& path) {
  TOptions options;
  THiScoreTable table{};
  TConfigFile(path).Load(options, table);
  return options.WindowedMode;
}

TEST_F(FormFixture, ADisplayModeFromTheCommandLineIsNotSavedUntilThePlayerSwitches) {
  // The file says full screen, the command line windowed; the save at exit
  // keeps the file's mode unless the player switched (Alt+Enter) meanwhile.
  for (int switches : {0, 2}) {
    SCOPED_TRACE(switches);
    TOptions options;
    options.WindowedMode = false;
    ASSERT_TRUE(TConfigFile(ConfigPath()).Save(options, DefaultHiScores()));
    sys_.DisplayModes.clear();
    state_ = TShellState{};
    MakeForm(true);
    form_->Create();
    EXPECT_EQ(sys_.DisplayModes, std::vector<bool>{true});
    state_.GameState = gsOptions;
    ComposeFrame();
    EXPECT_TRUE(ShowsFirstChoice(0));
    state_.GameState = gsIntro;
    for (int i = 0; i < switches; ++i) Key(kVkReturn, true);
    Click(5, 5);                                                    // past the intro
    for (uint16_t key : {kVkEscape, kVkLeft, kVkReturn}) Key(key);  // exit: Yes
    ASSERT_TRUE(form_->Closed());
    EXPECT_EQ(SavedWindowed(ConfigPath()), switches > 0);
    form_.reset();
  }
}

}  // namespace
