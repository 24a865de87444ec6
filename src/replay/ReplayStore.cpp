#include "replay/ReplayStore.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "files/RegularFile.h"

namespace {

constexpr char kIndexName[] = "index.txt";
// Ten rows of a name of at most 64 bytes and its line end, with room to spare.
constexpr size_t kMaxIndexBytes = 4096;
constexpr char kExtension[] = ".tlr";

// A name the store made: digits and dashes, then the extension. Anything
// else in the index is not followed (it could point out of the folder).
bool IsGameName(const std::string& name) {
  const size_t ext = sizeof kExtension - 1;
  if (name.size() <= ext || name.size() > 64 || name.compare(name.size() - ext, ext, kExtension)) {
    return false;
  }
  return std::all_of(name.begin(), name.end() - static_cast<std::ptrdiff_t>(ext),
                     [](char c) { return (c >= '0' && c <= '9') || c == '-'; });
}

}  // namespace

bool TReplayStore::WriteAtomically(const std::string& name, const std::string& bytes,
                                   std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(folder_, ec);
  const std::string path = folder_ + "/" + name;
  const std::string temp = path + ".tmp";
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = temp + ": " + std::strerror(errno);
    return false;
  }
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = temp + ": " + std::strerror(n < 0 ? errno : ENOSPC);
      ::close(fd);
      ::unlink(temp.c_str());
      return false;
    }
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    error = temp + ": " + std::strerror(errno);
    ::unlink(temp.c_str());
    return false;
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    error = path + ": " + std::strerror(errno);
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

std::string TReplayStore::Add(const std::vector<uint8_t>& bytes, int64_t startDate,
                              std::string& error) {
  const auto seconds = static_cast<std::time_t>(startDate);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
  // A second game started in the same second gets the next number.
  std::string name;
  for (int n = 1; n < 1000; ++n) {
    name = std::string(stamp) + "-" + std::to_string(n) + kExtension;
    std::error_code ec;
    if (!std::filesystem::exists(folder_ + "/" + name, ec)) break;
  }
  const std::string data(bytes.begin(), bytes.end());
  return WriteAtomically(name, data, error) ? name : std::string();
}

bool TReplayStore::Replace(const std::string& name, const std::vector<uint8_t>& bytes,
                           std::string& error) {
  if (!IsGameName(name)) {
    error = name + ": not a replay of this folder";
    return false;
  }
  return WriteAtomically(name, std::string(bytes.begin(), bytes.end()), error);
}

TReplayStore::TIndex TReplayStore::ReadIndex() const {
  TIndex index;
  // Whatever sits at the index's name is read only as a regular file of a
  // size its ten rows can fill; anything else is an empty index.
  std::string text;
  std::string error;
  if (!ReadRegularFile(folder_ + "/" + kIndexName, kMaxIndexBytes, text, error)) return index;
  std::istringstream in(text);
  std::string line;
  for (size_t row = 0; row < kTableRows && std::getline(in, line); ++row) {
    if (IsGameName(line)) index[row] = line;
  }
  return index;
}

bool TReplayStore::WriteIndex(const TIndex& index, std::string& error) {
  std::string text;
  for (const std::string& name : index) text += (IsGameName(name) ? name : "-") + "\n";
  return WriteAtomically(kIndexName, text, error);
}

std::vector<std::string> TReplayStore::Games() const {
  std::vector<std::string> games;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder_, ec)) {
    const std::string name = entry.path().filename().string();
    if (IsGameName(name)) games.push_back(name);
  }
  // The names start with the date and time, so their order is the games'.
  std::sort(games.begin(), games.end(), [](const std::string& a, const std::string& b) {
    return a.size() != b.size() && a.compare(0, 15, b, 0, 15) == 0 ? a.size() < b.size() : a < b;
  });
  return games;
}

void TReplayStore::Prune(const TIndex& index) {
  const std::vector<std::string> games = Games();
  if (games.size() <= kKeptGames) return;
  for (size_t i = 0; i + kKeptGames < games.size(); ++i) {
    if (std::find(index.begin(), index.end(), games[i]) != index.end()) continue;
    std::error_code ec;
    std::filesystem::remove(folder_ + "/" + games[i], ec);
  }
}
