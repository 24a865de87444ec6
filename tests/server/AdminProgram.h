#pragma once

// Test helper: the score server program's admin commands and the game's two
// requests against a running server process, as an operator and a player
// would use them.

#include <httplib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "online/ServerProcess.h"
#include "protocol/ResultCodec.h"
#include "support/FileBytes.h"

struct TAdminRun {
  int Exit = -1;
  std::string Out;  // stdout and stderr together
};

// `tidal-lynx-scores admin --db DATABASE ARGS...`.
inline TAdminRun RunAdmin(const std::string& database, const std::vector<std::string>& args,
                          const std::filesystem::path& scratch) {
  std::filesystem::create_directories(scratch);
  const std::filesystem::path out = scratch / "admin.out";
  std::string command = std::string(TL_SERVER_BIN) + " admin --db '" + database + "'";
  for (const std::string& a : args) command += " '" + a + "'";
  const int raw = std::system((command + " > '" + out.string() + "' 2>&1 < /dev/null").c_str());
  TAdminRun run;
  run.Out = test_kit::ReadText(out);
  run.Exit = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

// The game's two requests; the status of the second (0 when the first failed).
inline int SubmitResult(const TServerProcess& server, const std::string& name, int score,
                        const std::string& player) {
  httplib::Client client("127.0.0.1", server.Port());
  client.set_connection_timeout(5);
  client.set_read_timeout(10);
  const auto first = client.Get("/cgi/version.pl?version&prg=TidalLynx");
  if (!first || first->status != 200) return 0;
  const std::string record = BuildResultRecord(name, score, ExtractChallenge(first->body), player);
  const auto second =
      client.Get(("/cgi/version.pl?hs&prg=TidalLynx&inf=" + EncodeResult(record)).c_str());
  return second ? second->status : 0;
}

inline std::string GetBody(int port, const std::string& path, int* status = nullptr) {
  httplib::Client client("127.0.0.1", port);
  client.set_connection_timeout(5);
  client.set_read_timeout(10);
  const auto res = client.Get(path.c_str());
  if (status) *status = res ? res->status : 0;
  return res ? res->body : std::string();
}
