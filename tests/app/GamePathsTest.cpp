// Where the data folder and Config.cfg are found: a table of command line,
// environment and existing files, and the places chosen.

#include "app/GamePaths.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

struct Case {
  const char* name;
  TPathInputs in;
  std::set<std::string> files;  // what exists
  std::string data;             // chosen data folder ("" = none)
  std::vector<std::string> tried;
  std::string config;  // chosen Config.cfg ("" = none)
  std::string create;  // folder the game creates
  bool portable;
};

TPathInputs In(std::string dataOpt, std::string configOpt, std::string env, std::string xdg,
               std::string home, std::string exe) {
  TPathInputs in;
  in.DataDirOption = std::move(dataOpt);
  in.ConfigOption = std::move(configOpt);
  in.DataDirEnv = std::move(env);
  in.XdgDataHome = std::move(xdg);
  in.Home = std::move(home);
  in.ExeDir = std::move(exe);
  return in;
}

TEST(GamePaths, SearchOrderAndUserFolderFollowTheTable) {
  const std::string bin = "/opt/tl/bin";
  const std::string installed = "/opt/tl/share/tidal-lynx";
  const std::string xdgConfig = "/x/tidal-lynx/Config.cfg";
  const std::string homeConfig = "/home/p/.local/share/tidal-lynx/Config.cfg";
  const Case cases[] = {
      {"installed copy: data under ../share, settings in XDG_DATA_HOME",
       In("", "", "", "/x", "/home/p", bin),
       {installed + "/Data/Data.pp"},
       installed,
       {bin, installed},
       xdgConfig,
       "/x/tidal-lynx",
       false},
      {"build tree: the executable's folder holds the pack",
       In("", "", "", "", "/home/p", "/b/game"),
       {"/b/game/Data/Data.pp", "/b/share/tidal-lynx/Data/Data.pp"},
       "/b/game",
       {"/b/game"},
       homeConfig,
       "/home/p/.local/share/tidal-lynx",
       false},
      {"portable copy keeps Config.cfg beside the executable",
       In("", "", "", "/x", "/home/p", "/usb/tl"),
       {"/usb/tl/Data/Data.pp", "/usb/tl/portable"},
       "/usb/tl",
       {"/usb/tl"},
       "/usb/tl/Config.cfg",
       "",
       true},
      {"portable marker counts only where the data is",
       In("/d", "", "", "/x", "/home/p", "/usb/tl"),
       {"/d/Data/Data.pp", "/usb/tl/portable"},
       "/d",
       {"/d"},
       xdgConfig,
       "/x/tidal-lynx",
       false},
      {"--data-dir beats the environment and is the only place looked at",
       In("/mine/", "", "/env", "/x", "/home/p", bin),
       {"/env/Data/Data.pp", installed + "/Data/Data.pp"},
       "",
       {"/mine"},
       xdgConfig,
       "/x/tidal-lynx",
       false},
      {"TIDAL_LYNX_DATA beats the executable's folder",
       In("", "", "/env", "/x", "/home/p", bin),
       {"/env/Data/Data.pp", installed + "/Data/Data.pp"},
       "/env",
       {"/env"},
       xdgConfig,
       "/x/tidal-lynx",
       false},
      {"nothing anywhere: every place is listed; --config wins for settings",
       In("", "/my/c.cfg", "", "/x", "/home/p", bin),
       {},
       "",
       {bin, installed},
       "/my/c.cfg",
       "",
       false},
      {"a relative XDG_DATA_HOME is ignored for HOME",
       In("", "", "", "rel/x", "/home/p", bin),
       {installed + "/Data/Data.pp"},
       installed,
       {bin, installed},
       homeConfig,
       "/home/p/.local/share/tidal-lynx",
       false},
      {"neither XDG_DATA_HOME nor HOME: no place for settings",
       In("", "", "", "", "", bin),
       {installed + "/Data/Data.pp"},
       installed,
       {bin, installed},
       "",
       "",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TExistsFunction exists = [&](const std::string& path) { return c.files.count(path) > 0; };
    const TDataFolderChoice data = ChooseDataFolder(c.in, exists);
    EXPECT_EQ(data.Folder, c.data);
    EXPECT_EQ(data.Tried, c.tried);
    const TUserFileChoice user = ChooseUserFile(c.in, data.Folder, exists);
    EXPECT_EQ(user.ConfigPath, c.config);
    EXPECT_EQ(user.FolderToCreate, c.create);
    EXPECT_EQ(user.Portable, c.portable);
    if (data.Folder.empty()) {
      const std::string message = DescribeMissingData(data);
      for (const std::string& place : c.tried) EXPECT_NE(message.find(place), std::string::npos);
    }
  }
}

}  // namespace
