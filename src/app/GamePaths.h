#pragma once

#include <functional>
#include <string>
#include <vector>

#include "assets/PackSlots.h"

// Where the game's files live. The data folder (read only) holds "Data/Data.pp",
// "sound/1.xm", "sound/2.xm" and the optional "play.url"; the user folder holds
// "Config.cfg". The choice itself is pure (the inputs below in, a folder out) so
// it can be tested with a table; ResolveGameFolders() feeds it from the process.

// Whether a file or folder exists.
using TExistsFunction = std::function<bool(const std::string& path)>;

// Everything the choice depends on. Empty strings mean "not given / not set".
struct TPathInputs {
  std::string DataDirOption;  // --data-dir DIR
  std::string ConfigOption;   // --config FILE
  std::string DataDirEnv;     // TIDAL_LYNX_DATA
  std::string XdgDataHome;    // XDG_DATA_HOME
  std::string Home;           // HOME (or the password database's home folder)
  std::string ExeDir;         // the real folder of the running executable
  // The data folder of an installed copy, relative to the executable's folder.
  std::string InstalledDataRelative = "../share/tidal-lynx";
};

// The data folder, or every place that was looked at when none holds the pack.
struct TDataFolderChoice {
  std::string Folder;  // empty when nothing was found
  std::vector<std::string> Tried;
};

// The config file and the folder to create for it (empty when it is not the
// game's to create: --config names a file the player chose).
struct TUserFileChoice {
  std::string ConfigPath;  // empty when no place could be worked out
  std::string FolderToCreate;
  bool Portable = false;
};

// The file that makes the executable's folder a portable copy.
inline constexpr const char* kPortableMarker = "portable";
inline constexpr const char* kUserFolderName = "tidal-lynx";

// Data folder search order: --data-dir, then TIDAL_LYNX_DATA (either of these,
// when given, is the only place looked at: the player asked for it), then the
// executable's folder when it holds the pack, then the installed data folder.
TDataFolderChoice ChooseDataFolder(const TPathInputs& in, const TExistsFunction& exists);

// Config.cfg: --config FILE; beside the executable in a portable copy (the
// data folder is the executable's folder and holds "portable"); otherwise
// $XDG_DATA_HOME/tidal-lynx (an absolute XDG_DATA_HOME only), falling back to
// $HOME/.local/share/tidal-lynx.
TUserFileChoice ChooseUserFile(const TPathInputs& in, const std::string& dataFolder,
                               const TExistsFunction& exists);

// One line naming the places looked at, for the error message.
std::string DescribeMissingData(const TDataFolderChoice& choice);

// The folders of this run.
struct TGameFolders {
  std::string DataFolder;  // ends without a slash
  std::string ConfigPath;
  std::string Error;    // non-empty: the game cannot start (say it and exit 1)
  std::string Warning;  // the user folder could not be created: the game goes on
};

// Reads the environment and the executable's real path, chooses both places
// and creates the user folder (mode 0700) when it is the game's own.
TGameFolders ResolveGameFolders(const std::string& dataDirOption, const std::string& configOption,
                                const std::string& installedDataRelative);

// The data folder alone, searched from the process as ResolveGameFolders does,
// for tools that read the game's files but keep no settings of their own.
TDataFolderChoice FindDataFolder(const std::string& dataDirOption,
                                 const std::string& installedDataRelative);
