#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "AdminDatabase.h"
#include "BanList.h"

// What an admin command ends with: its exit status (0 done, 1 the action
// failed, 2 bad usage) and the line to print (stdout on 0, stderr otherwise).
struct TAdminOutcome {
  int Exit = 0;
  std::string Message;
};

struct TListFilter {
  bool Pending = false;   // replay waiting for verification
  bool Rejected = false;  // replay rejected
  bool Hidden = false;    // removed or under a ban
  std::optional<std::string> Name;
  std::optional<std::string> Player;
  int Limit = 50;
};

// The admin actions on the score database. Each change and its audit row
// are one transaction: either both are in or neither, and a failed check
// (unknown entry, nothing to undo) changes nothing.
class TModeration {
 public:
  // `actor`: the operating system user, for the audit trail; `now` Unix seconds.
  TModeration(TAdminDatabase& db, std::string actor, int64_t now)
      : db_(db), actor_(std::move(actor)), now_(now) {}

  TAdminOutcome List(const TListFilter& filter, std::ostream& out);
  // Hides entry `id` from the tables (nothing is deleted) / shows it again.
  TAdminOutcome Remove(int64_t id, const std::string& reason);
  TAdminOutcome Restore(int64_t id);
  // Hides the results the rule matches and refuses new ones while in force.
  TAdminOutcome Ban(const TBanRule& rule, const std::string& reason);
  TAdminOutcome Unban(const TBanRule& rule, const std::string& reason);
  // Marks every replay uploaded at or after `since` pending again.
  TAdminOutcome Reverify(int64_t since, const std::string& sinceText);
  // The replays of the best `top` shown results, one .tlr file each.
  TAdminOutcome ExportReplays(const std::string& folder, int top);
  TAdminOutcome Backup(const std::string& file);
  TAdminOutcome Audit(int limit, std::ostream& out);

 private:
  // Appends the audit row inside the open transaction, then commits.
  TAdminOutcome Finish(const std::string& action, const std::string& target,
                       const std::string& reason, const std::string& message);
  TAdminOutcome Failed(const std::string& what);
  // Puts the rule's ban (`banId`) on the shown results it matches that no
  // other ban hides; how many, or nothing when the database failed.
  std::optional<int64_t> Apply(int64_t banId, const TBanRule& rule);

  TAdminDatabase& db_;
  std::string actor_;
  int64_t now_;
};

// "2027-01-15T08:00:00Z".
std::string UtcText(int64_t unixSeconds);
