#include "app/GamePaths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// "a/b/../c/" -> "a/c": one spelling per folder, for comparing and reporting.
std::string Normal(const std::string& path) {
  std::string text = fs::path(path).lexically_normal().string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

std::string Join(const std::string& folder, const std::string& name) {
  return (fs::path(folder) / name).string();
}

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string HomeFolder() {
  std::string home = Env("HOME");
  if (!home.empty()) return home;
  const passwd* entry = getpwuid(getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

// The folder of the running executable, symbolic links resolved.
std::string ExecutableFolder() {
  std::error_code error;
  const fs::path exe = fs::read_symlink("/proc/self/exe", error);
  if (error) return "";
  return exe.parent_path().string();
}

// mkdir -p with mode 0700 for the folders it makes. Returns "" or why not.
std::string CreatePrivateFolder(const std::string& folder) {
  fs::path built;
  for (const fs::path& part : fs::path(folder)) {
    built /= part;
    if (part == "/" || part.empty()) continue;
    if (mkdir(built.c_str(), 0700) != 0 && errno != EEXIST) {
      return "cannot create " + built.string() + ": " + std::strerror(errno);
    }
  }
  struct stat info {};
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return folder + " is not a folder";
  }
  return "";
}

}  // namespace

TDataFolderChoice ChooseDataFolder(const TPathInputs& in, const TExistsFunction& exists) {
  TDataFolderChoice choice;
  auto tryFolder = [&](const std::string& folder) {
    const std::string normal = Normal(folder);
    choice.Tried.push_back(normal);
    if (!exists(Join(normal, kPackRelativePath))) return false;
    choice.Folder = normal;
    return true;
  };
  // A folder the player named is the only one looked at.
  if (!in.DataDirOption.empty()) {
    tryFolder(in.DataDirOption);
    return choice;
  }
  if (!in.DataDirEnv.empty()) {
    tryFolder(in.DataDirEnv);
    return choice;
  }
  if (in.ExeDir.empty()) return choice;
  if (tryFolder(in.ExeDir)) return choice;
  tryFolder(Join(in.ExeDir, in.InstalledDataRelative));
  return choice;
}

TUserFileChoice ChooseUserFile(const TPathInputs& in, const std::string& dataFolder,
                               const TExistsFunction& exists) {
  TUserFileChoice choice;
  if (!in.ConfigOption.empty()) {
    choice.ConfigPath = in.ConfigOption;
    return choice;
  }
  if (!in.ExeDir.empty() && !dataFolder.empty() && Normal(dataFolder) == Normal(in.ExeDir) &&
      exists(Join(Normal(in.ExeDir), kPortableMarker))) {
    choice.ConfigPath = Join(Normal(in.ExeDir), "Config.cfg");
    choice.Portable = true;
    return choice;
  }
  // XDG: a relative XDG_DATA_HOME is invalid and ignored.
  std::string base;
  if (!in.XdgDataHome.empty() && in.XdgDataHome.front() == '/') {
    base = in.XdgDataHome;
  } else if (!in.Home.empty()) {
    base = Join(in.Home, ".local/share");
  } else {
    return choice;
  }
  choice.FolderToCreate = Normal(Join(base, kUserFolderName));
  choice.ConfigPath = Join(choice.FolderToCreate, "Config.cfg");
  return choice;
}

std::string DescribeMissingData(const TDataFolderChoice& choice) {
  std::string text =
      std::string("cannot find the game data (") + kPackRelativePath + "); looked in";
  if (choice.Tried.empty()) return text + " no place (the executable's folder is unknown)";
  for (size_t i = 0; i < choice.Tried.size(); ++i) text += (i == 0 ? " " : ", ") + choice.Tried[i];
  return text;
}

namespace {

TPathInputs ProcessInputs(const std::string& dataDirOption, const std::string& configOption,
                          const std::string& installedDataRelative) {
  TPathInputs in;
  in.DataDirOption = dataDirOption;
  in.ConfigOption = configOption;
  in.DataDirEnv = Env("TIDAL_LYNX_DATA");
  in.XdgDataHome = Env("XDG_DATA_HOME");
  in.Home = HomeFolder();
  in.ExeDir = ExecutableFolder();
  in.InstalledDataRelative = installedDataRelative;
  return in;
}

bool FileExists(const std::string& path) {
  std::error_code error;
  return fs::exists(path, error);
}

}  // namespace

TDataFolderChoice FindDataFolder(const std::string& dataDirOption,
                                 const std::string& installedDataRelative) {
  return ChooseDataFolder(ProcessInputs(dataDirOption, "", installedDataRelative), FileExists);
}

TGameFolders ResolveGameFolders(const std::string& dataDirOption, const std::string& configOption,
                                const std::string& installedDataRelative) {
  const TPathInputs in = ProcessInputs(dataDirOption, configOption, installedDataRelative);
  const TExistsFunction exists = FileExists;

  TGameFolders folders;
  const TDataFolderChoice data = ChooseDataFolder(in, exists);
  if (data.Folder.empty()) {
    folders.Error =
        DescribeMissingData(data) + ". Use --data-dir DIR or TIDAL_LYNX_DATA to name the folder.";
    return folders;
  }
  folders.DataFolder = data.Folder;
  const TUserFileChoice user = ChooseUserFile(in, data.Folder, exists);
  if (user.ConfigPath.empty()) {
    folders.Error =
        "cannot tell where to keep Config.cfg: neither XDG_DATA_HOME nor HOME is "
        "set. Use --config FILE.";
    return folders;
  }
  folders.ConfigPath = user.ConfigPath;
  if (!user.FolderToCreate.empty()) folders.Warning = CreatePrivateFolder(user.FolderToCreate);
  return folders;
}
