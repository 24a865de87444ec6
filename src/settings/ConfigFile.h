#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "settings/HiScores.h"
#include "settings/Options.h"

// What a load found, for the form's apply step (which always runs).
struct TConfigLoadResult {
  bool Created = false;       // no file existed: the defaults were written first
  bool Opened = false;        // the file could be opened for reading
  bool Complete = false;      // every field was read; otherwise the rest kept defaults
  size_t BytesRead = 0;       // bytes that made up the fields read
  bool SavesRefused = false;  // what is there is not a settings file: saves leave it alone
  std::string Error;          // why the load was short, for stderr; empty when complete
};

// The largest file the layout makes: four bytes, eleven coded strings of up to
// 255 characters and ten scores.
inline constexpr size_t kMaxConfigBytes = 4 + 11 * 256 + 10 * 4;

// What a save did: nothing to say when it worked, otherwise why not.
struct TConfigSaveResult {
  std::string Error;  // for stderr; empty when the file was written
  explicit operator bool() const { return Error.empty(); }
};

// "Config.cfg": the settings and the high-score table in one small binary file
// (no header, little-endian):
//   WindowedMode, MusicOn, SoundOn (one byte each, 1 = true; note music before
//   sound), the low byte of MinimizeKey, PlayerName as a coded string, then ten
//   times a coded name and a signed 32-bit score, best first.
// A coded string is one length byte followed by the characters, each XOR 0xFF.
class TConfigFile {
 public:
  // The rename step of a save; a test can make it fail.
  using TRenameFunction = std::function<int(const char* from, const char* to)>;

  explicit TConfigFile(std::string path = "Config.cfg");
  TConfigFile(std::string path, TRenameFunction rename);

  const std::string& Path() const { return path_; }

  // Start-up load. When no file exists the table is reset and the defaults are
  // written first. Options and table start from their defaults and take every
  // field the file holds; a short, damaged or unreadable file leaves the
  // missing fields at their defaults. Something that is not a settings file
  // (neither the right size nor the layout's first bytes) is not read, and
  // every later Save leaves it as it is; so is anything there that cannot be
  // read (a folder, a FIFO, which is never waited on, no permission). Nothing is thrown or printed:
  // the result's Error says what was wrong, for the caller to report.
  TConfigLoadResult Load(TOptions& options, THiScoreTable& table);

  // Writes options and table as they are in memory, atomically: a new
  // temporary file of a unique name in the same folder (never one that was
  // there before, so a planted link leads nowhere), flushed to disk, then
  // renamed over the file. A failure leaves the old file intact; like Load,
  // nothing is printed and the result's Error says what went wrong. (The
  // caller copies NameEdit's text into PlayerName first.)
  TConfigSaveResult Save(const TOptions& options, const THiScoreTable& table);

  // The exact bytes of the file for these values.
  static std::string Encode(const TOptions& options, const THiScoreTable& table);
  // Reads as many whole fields of `bytes` as there are into options and table
  // (which the caller has set to their defaults). Returns the bytes used;
  // `complete` tells whether every field was there.
  static size_t Decode(const std::string& bytes, TOptions& options, THiScoreTable& table,
                       bool& complete);
  // Whether `bytes` are a settings file, whole or cut short: all fields and
  // nothing more, or fewer than all, within kMaxConfigBytes and with flag
  // bytes of 0 or 1.
  static bool LooksLikeSettings(const std::string& bytes);

 private:
  std::string path_;
  TRenameFunction rename_;
  bool savesRefused_ = false;  // the last Load found something that is not ours
};
