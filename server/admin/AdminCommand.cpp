#include "AdminCommand.h"

#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Moderation.h"

namespace {

constexpr const char* kAdminUsage =
    "usage: tidal-lynx-scores admin [--db FILE|URI] COMMAND ...\n"
    "  list [--pending|--rejected|--hidden] [--name N] [--player P] [--limit N]\n"
    "  remove ID --reason TEXT        hide an entry (nothing is deleted)\n"
    "  restore ID                     show a removed entry again\n"
    "  ban (--player P | --name N | --address CIDR) --reason TEXT\n"
    "                                 hide their results and refuse new ones (403)\n"
    "  unban (--player P | --name N | --address CIDR) [--reason TEXT]\n"
    "  reverify [--since YYYY-MM-DD]  verify stored replays again\n"
    "  export-replays DIR [--top N]   write the replays of the best N entries (default 100)\n"
    "  backup FILE                    online copy of a SQLite database\n"
    "  audit [--limit N]              the latest admin actions (default 50)\n";

struct TCommandShape {
  int Positional;                // arguments that are not options
  std::set<std::string> Flags;   // options without a value
  std::set<std::string> Values;  // options with a value
};

const std::map<std::string, TCommandShape>& Commands() {
  static const std::map<std::string, TCommandShape> commands = {
      {"list", {0, {"--pending", "--rejected", "--hidden"}, {"--name", "--player", "--limit"}}},
      {"remove", {1, {}, {"--reason"}}},
      {"restore", {1, {}, {}}},
      {"ban", {0, {}, {"--player", "--name", "--address", "--reason"}}},
      {"unban", {0, {}, {"--player", "--name", "--address", "--reason"}}},
      {"reverify", {0, {}, {"--since"}}},
      {"export-replays", {1, {}, {"--top"}}},
      {"backup", {1, {}, {}}},
      {"audit", {0, {}, {"--limit"}}},
  };
  return commands;
}

struct TParsed {
  std::string Database = "scores.db";
  std::string Command;
  std::vector<std::string> Positional;
  std::set<std::string> Flags;
  std::map<std::string, std::string> Values;
};

std::optional<TParsed> Parse(int argc, char** argv, std::string& error) {
  TParsed parsed;
  const TCommandShape* shape = nullptr;
  for (int i = 0; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--db") {
      if (i + 1 >= argc) {
        error = "missing value after --db";
        return std::nullopt;
      }
      parsed.Database = argv[++i];
    } else if (!shape) {
      const auto found = Commands().find(word);
      if (found == Commands().end()) {
        error = "unknown admin command \"" + word + "\"";
        return std::nullopt;
      }
      parsed.Command = word;
      shape = &found->second;
    } else if (shape->Flags.count(word)) {
      parsed.Flags.insert(word);
    } else if (shape->Values.count(word)) {
      if (i + 1 >= argc) {
        error = "missing value after " + word;
        return std::nullopt;
      }
      if (parsed.Values.count(word)) {
        error = word + " given twice";
        return std::nullopt;
      }
      parsed.Values[word] = argv[++i];
    } else if (word.size() > 1 && word[0] == '-') {
      error = "unknown option " + word + " for " + parsed.Command;
      return std::nullopt;
    } else {
      parsed.Positional.push_back(word);
    }
  }
  if (!shape) {
    error = "no admin command given";
    return std::nullopt;
  }
  if (static_cast<int>(parsed.Positional.size()) != shape->Positional) {
    error = parsed.Command + " takes " + std::to_string(shape->Positional) + " argument" +
            (shape->Positional == 1 ? "" : "s") + ", got " +
            std::to_string(parsed.Positional.size());
    return std::nullopt;
  }
  return parsed;
}

std::optional<int64_t> Whole(const std::string& text, int64_t low, int64_t high) {
  if (text.empty() || text.size() > 18 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  const int64_t value = std::stoll(text);
  if (value < low || value > high) return std::nullopt;
  return value;
}

// YYYY-MM-DD (UTC midnight) or Unix seconds.
std::optional<int64_t> ParseDate(const std::string& text) {
  if (auto seconds = Whole(text, 0, 1'000'000'000'000)) return seconds;
  std::tm parts{};
  const char* end = strptime(text.c_str(), "%Y-%m-%d", &parts);
  if (!end || *end != '\0') return std::nullopt;
  return static_cast<int64_t>(timegm(&parts));
}

std::string Actor() {
  const uid_t uid = getuid();
  const passwd* user = getpwuid(uid);
  std::string name = user ? user->pw_name : "uid " + std::to_string(uid);
  const char* sudo = std::getenv("SUDO_USER");
  if (uid == 0 && sudo && *sudo) name += " (sudo by " + std::string(sudo) + ")";
  return name;
}

// The reason of remove and ban: required, and not blank.
std::optional<std::string> Reason(const TParsed& p, bool required, std::string& error) {
  const auto found = p.Values.find("--reason");
  const std::string text = found == p.Values.end() ? std::string() : found->second;
  if (required && text.find_first_not_of(" \t\r\n") == std::string::npos) {
    error = p.Command + " needs a reason: --reason TEXT (it goes in the audit trail)";
    return std::nullopt;
  }
  return text;
}

std::optional<TBanRule> Rule(const TParsed& p, std::string& error) {
  std::vector<std::pair<std::string, std::string>> given;
  for (const char* kind : {"player", "name", "address"}) {
    const auto found = p.Values.find(std::string("--") + kind);
    if (found != p.Values.end()) given.emplace_back(kind, found->second);
  }
  if (given.size() != 1) {
    error = p.Command + " takes exactly one of --player P, --name N, --address CIDR";
    return std::nullopt;
  }
  std::string why;
  auto rule = MakeBanRule(given[0].first, given[0].second, why);
  if (!rule) error = "bad --" + given[0].first + " value \"" + given[0].second + "\": " + why;
  return rule;
}

}  // namespace

int RunAdminCommand(int argc, char** argv, std::ostream& out, std::ostream& err) {
  for (int i = 0; i < argc; ++i) {
    if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
      out << kAdminUsage;
      return 0;
    }
  }
  std::string error;
  const auto parsed = Parse(argc, argv, error);
  if (!parsed) {
    err << "tidal-lynx-scores admin: " << error << "\n" << kAdminUsage;
    return 2;
  }
  const TParsed& p = *parsed;
  const auto usage = [&](const std::string& message) {
    err << "tidal-lynx-scores admin: " << message << "\n";
    return 2;
  };
  // Everything the command needs is checked before the database is opened.
  std::optional<int64_t> id;
  if (p.Command == "remove" || p.Command == "restore") {
    id = Whole(p.Positional[0], 1, INT64_MAX / 2);
    if (!id) return usage("bad entry ID \"" + p.Positional[0] + "\" (see: admin list)");
  }
  const auto number = [&](const char* flag, int64_t fallback, int64_t high) {
    const auto found = p.Values.find(flag);
    return found == p.Values.end() ? std::optional<int64_t>(fallback)
                                   : Whole(found->second, 1, high);
  };
  const auto limit = number("--limit", 50, 10'000);
  if (!limit) return usage("bad --limit value (expected 1-10000)");
  const auto top = number("--top", 100, 10'000);
  if (!top) return usage("bad --top value (expected 1-10000)");
  if (p.Flags.size() > 1) return usage("list takes one of --pending, --rejected, --hidden");
  std::optional<std::string> reason;
  if (p.Command == "remove" || p.Command == "ban" || p.Command == "unban") {
    reason = Reason(p, p.Command != "unban", error);
    if (!reason) return usage(error);
  }
  std::optional<TBanRule> rule;
  if (p.Command == "ban" || p.Command == "unban") {
    rule = Rule(p, error);
    if (!rule) return usage(error);
  }
  std::optional<int64_t> since = 0;
  std::string sinceText = "the start";
  if (const auto found = p.Values.find("--since"); found != p.Values.end()) {
    since = ParseDate(found->second);
    sinceText = found->second;
    if (!since) return usage("bad --since value \"" + found->second + "\" (expected YYYY-MM-DD)");
  }

  auto db = TAdminDatabase::Open(p.Database, error);
  if (!db) {
    err << "tidal-lynx-scores admin: " << error << "\n";
    return 1;
  }
  const int64_t now = std::chrono::duration_cast<std::chrono::seconds>(
                          std::chrono::system_clock::now().time_since_epoch())
                          .count();
  TModeration moderation(*db, Actor(), now);
  TAdminOutcome outcome;
  if (p.Command == "list") {
    TListFilter filter;
    filter.Pending = p.Flags.count("--pending") > 0;
    filter.Rejected = p.Flags.count("--rejected") > 0;
    filter.Hidden = p.Flags.count("--hidden") > 0;
    if (p.Values.count("--name")) filter.Name = p.Values.at("--name");
    if (p.Values.count("--player")) filter.Player = p.Values.at("--player");
    filter.Limit = static_cast<int>(*limit);
    outcome = moderation.List(filter, out);
  } else if (p.Command == "remove") {
    outcome = moderation.Remove(*id, *reason);
  } else if (p.Command == "restore") {
    outcome = moderation.Restore(*id);
  } else if (p.Command == "ban") {
    outcome = moderation.Ban(*rule, *reason);
  } else if (p.Command == "unban") {
    outcome = moderation.Unban(*rule, *reason);
  } else if (p.Command == "reverify") {
    outcome = moderation.Reverify(*since, sinceText);
  } else if (p.Command == "export-replays") {
    outcome = moderation.ExportReplays(p.Positional[0], static_cast<int>(*top));
  } else if (p.Command == "backup") {
    outcome = moderation.Backup(p.Positional[0]);
  } else {
    outcome = moderation.Audit(static_cast<int>(*limit), out);
  }
  if (outcome.Exit == 0) {
    // Listings end with their count on stderr, so stdout stays a clean table.
    (p.Command == "list" || p.Command == "audit" ? err : out) << outcome.Message << "\n";
  } else {
    err << "tidal-lynx-scores admin: " << outcome.Message << "\n";
  }
  return outcome.Exit;
}
