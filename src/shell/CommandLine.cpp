#include "shell/CommandLine.h"

#include <getopt.h>

#include <algorithm>
#include <charconv>
#include <iterator>

#include "i18n/Gettext.h"

namespace {

// One row per option. A new option is a new row here and a case in Apply().
struct TOptionRow {
  const char* Name;
  const char* Argument;  // nullptr: the option takes none
  const char* Help;      // English; translated when the help is printed
};

constexpr TOptionRow kOptions[] = {
    // TRANSLATORS: Command line help (--help): what the option does. Keep DIR, FILE and N as they
    // are.
    {"help", nullptr, N_("show this help and exit")},
    {"version", nullptr, N_("show the version and exit")},
    {"windowed", nullptr, N_("play in a window (this run only)")},
    {"fullscreen", nullptr, N_("play full screen (this run only)")},
    {"data-dir", "DIR", N_("read the game data (Data/Data.pp, sound/) from DIR")},
    {"config", "FILE", N_("keep the settings and high scores in FILE")},
    {"no-sound", nullptr, N_("play without sound effects (this run only)")},
    {"no-music", nullptr, N_("play without music (this run only)")},
    {"scale", "N", N_("open the window N times 800 x 600 (1 to 16; default: to fit the screen)")},
    {"replay", "FILE", N_("watch a replay in the window, then exit (also: tidal-lynx FILE)")},
    {"verify-replay", "FILE", N_("play a replay again without a window and report (exit 0, 1, 2)")},
    {"json", nullptr, N_("with --verify-replay: report as one JSON object")},
    // TRANSLATORS: Command line help (--help): what the option does. Keep the codes as they are.
    {"language", "CODE", N_("show the game in another language (de, en, es, fr, pl, ru)")},
};
constexpr int kOptionCount = static_cast<int>(std::size(kOptions));
// getopt_long's value for row i (above every short option character).
constexpr int kFirstValue = 256;

void Apply(TCommandLine& line, const std::string& name, const char* value) {
  if (name == "help") {
    line.Help = true;
  } else if (name == "version") {
    line.Version = true;
  } else if (name == "windowed") {
    line.Windowed = true;
  } else if (name == "fullscreen") {
    line.Windowed = false;
  } else if (name == "data-dir") {
    line.DataDir = value;
  } else if (name == "config") {
    line.ConfigFile = value;
  } else if (name == "no-sound") {
    line.NoSound = true;
  } else if (name == "no-music") {
    line.NoMusic = true;
  } else if (name == "replay") {
    line.Replay = value;
  } else if (name == "verify-replay") {
    line.VerifyReplay = value;
  } else if (name == "json") {
    line.Json = true;
  } else if (name == "language") {
    line.Language = value;
  } else if (name == "scale") {
    int scale = 0;
    const std::string text = value;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), scale);
    if (ec != std::errc{} || end != text.data() + text.size() || scale < 1 ||
        scale > TCommandLine::kMaxScale) {
      // TRANSLATORS: Command line error.
      line.Error = Format(_("--scale takes a whole number from 1 to %d, not '%s'"),
                          TCommandLine::kMaxScale, text.c_str());
    } else {
      line.Scale = scale;
    }
  }
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  TCommandLine line;
  // getopt_long wants mutable C strings; it may reorder them.
  std::vector<std::string> storage = args.empty() ? std::vector<std::string>{"tidal-lynx"} : args;
  std::vector<char*> argv;
  for (std::string& arg : storage) argv.push_back(arg.data());
  argv.push_back(nullptr);

  option table[kOptionCount + 1] = {};
  for (int i = 0; i < kOptionCount; ++i) {
    // Distinct values: getopt_long treats a prefix of two options with equal
    // values as unambiguous.
    table[i] = {kOptions[i].Name, kOptions[i].Argument != nullptr ? required_argument : no_argument,
                nullptr, kFirstValue + i};
  }
  const int argc = static_cast<int>(argv.size()) - 1;
  // Reports come from us, not from getopt; optind = 0 restarts the scan.
  opterr = 0;
  optind = 0;
  while (true) {
    // "+": stop at the first non-option instead of reordering argv; ":":
    // a missing argument is told apart from an unknown option.
    const int result = getopt_long(argc, argv.data(), "+:", table, nullptr);
    if (result == -1) break;
    if (result == ':') {
      // TRANSLATORS: Command line error.
      line.Error = Format(_("option '%s' needs an argument"), argv[optind - 1]);
      return line;
    }
    if (result < kFirstValue || result >= kFirstValue + kOptionCount) {
      // TRANSLATORS: Command line error.
      line.Error = Format(_("unknown option '%s'"), argv[optind - 1]);
      return line;
    }
    Apply(line, kOptions[result - kFirstValue].Name, optarg);
    if (!line.Error.empty()) return line;
  }
  // A lone file after the options (a file manager's "open with") is a
  // replay to watch.
  if (optind < argc && line.Replay.empty()) line.Replay = argv[optind++];
  if (optind < argc) {
    // TRANSLATORS: Command line error.
    line.Error = Format(_("unexpected argument '%s'"), argv[optind]);
  } else if (line.Json && line.VerifyReplay.empty()) {
    // TRANSLATORS: Command line error.
    line.Error = _("--json goes with --verify-replay");
  }
  return line;
}

std::string UsageLine(const std::string& program) {
  // TRANSLATORS: After a command line error; both %s are the program's name.
  return Format(_("usage: %s [OPTION]... [REPLAY.tlr]  (try '%s --help')"), program.c_str(),
                program.c_str());
}

std::string HelpText(const std::string& program) {
  // TRANSLATORS: Command line help, first line; %s is the program's name.
  std::string text = Format(_("usage: %s [OPTION]... [REPLAY.tlr]"), program.c_str()) + '\n' +
                     // TRANSLATORS: Command line help, second line.
                     _("Tidal Lynx, an arcade naval shooter.") + "\n\n";
  for (const TOptionRow& row : kOptions) {
    std::string left = std::string("  --") + row.Name;
    if (row.Argument != nullptr) left += std::string(" ") + row.Argument;
    left.resize(std::max<size_t>(left.size() + 2, 22), ' ');
    text += left + _(row.Help) + '\n';
  }
  text += '\n';
  text +=
      // TRANSLATORS: End of the command line help. Keep lines under 80 columns; keep the options,
      // paths and the word "portable" as they are.
      _("The game data is looked for in --data-dir, then $TIDAL_LYNX_DATA, then the\n"
        "program's own folder, then ../share/tidal-lynx beside it. Settings live in\n"
        "$XDG_DATA_HOME/tidal-lynx/Config.cfg (~/.local/share/tidal-lynx by default),\n"
        "or beside the program when its folder holds a file named \"portable\".\n"
        "--verify-replay exits 0 when the replay plays to every check and its score,\n"
        "1 on a desync (naming the first frame that differs) or a different end, and\n"
        "2 when the file is unreadable, cut short, damaged or of another version.\n");
  return text;
}
