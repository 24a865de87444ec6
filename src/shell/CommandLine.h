#pragma once

#include <optional>
#include <string>
#include <vector>

// What the command line asked for. Everything here applies to this run only:
// the saved settings are never changed by an option.
struct TCommandLine {
  static constexpr int kMaxScale = 16;

  bool Help = false;
  bool Version = false;
  std::optional<bool> Windowed;  // --windowed / --fullscreen
  std::string DataDir;           // --data-dir DIR
  std::string ConfigFile;        // --config FILE
  bool NoSound = false;
  bool NoMusic = false;
  int Scale = 0;  // --scale N: the window's whole-number scale; 0 chooses from the desktop
  std::string VerifyReplay;  // --verify-replay FILE: check a replay and exit
  std::string Replay;        // --replay FILE or a lone FILE: watch a replay and exit
  bool Json = false;         // --json: the verification's report as JSON
  std::string Language;      // --language CODE: this run's language (empty: the environment's)
  std::string Error;         // non-empty: a bad command line (usage, exit status 2)
};

// Reads the options (getopt_long: "--name value", "--name=value", unambiguous
// prefixes). One argument after the options is a replay to watch; anything
// after it is an error.
TCommandLine ParseCommandLine(const std::vector<std::string>& args);

// "usage: tidal-lynx [OPTION]..." for stderr after an error.
std::string UsageLine(const std::string& program);
// The --help text: the usage line and one line per option.
std::string HelpText(const std::string& program);
