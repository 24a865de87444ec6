#include "settings/ConfigFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "files/RegularFile.h"

namespace {

void PutCodedString(std::string& out, const std::string& text) {
  out.push_back(static_cast<char>(text.size() & 0xFF));
  // Only as many characters as the length byte announces, so the file stays
  // readable whatever the string holds.
  const size_t n = text.size() & 0xFF;
  for (size_t i = 0; i < n; ++i) out.push_back(static_cast<char>(~static_cast<uint8_t>(text[i])));
}

void PutScore(std::string& out, int32_t score) {
  const auto bits = static_cast<uint32_t>(score);
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<char>((bits >> shift) & 0xFF));
}

// Reads whole fields only: a field cut short by the end of the data is left
// as it was.
class TFieldReader {
 public:
  explicit TFieldReader(const std::string& bytes) : bytes_(bytes) {}

  size_t Position() const { return pos_; }

  bool Byte(uint8_t& value) {
    if (pos_ + 1 > bytes_.size()) return false;
    value = static_cast<uint8_t>(bytes_[pos_++]);
    return true;
  }

  bool CodedString(std::string& value) {
    if (pos_ + 1 > bytes_.size()) return false;
    const size_t n = static_cast<uint8_t>(bytes_[pos_]);
    if (pos_ + 1 + n > bytes_.size()) return false;
    std::string text(n, '\0');
    for (size_t i = 0; i < n; ++i) {
      text[i] = static_cast<char>(~static_cast<uint8_t>(bytes_[pos_ + 1 + i]));
    }
    value = std::move(text);
    pos_ += 1 + n;
    return true;
  }

  bool Score(int32_t& value) {
    if (pos_ + 4 > bytes_.size()) return false;
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) {
      bits |= static_cast<uint32_t>(static_cast<uint8_t>(bytes_[pos_ + static_cast<size_t>(i)]))
              << (8 * i);
    }
    value = static_cast<int32_t>(bits);
    pos_ += 4;
    return true;
  }

 private:
  const std::string& bytes_;
  size_t pos_ = 0;
};

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

std::string ErrnoText() {
  return std::strerror(errno);
}

// Creates a new file beside `path` under a name nobody else can have chosen
// (mkostemp: O_CREAT|O_EXCL, so a link planted at any name is never followed),
// writes all of `data` and flushes it to disk. `temp` receives its name.
bool WriteNewTemporary(const std::string& path, const std::string& data, std::string& temp,
                       std::string& error) {
  temp = path + ".tmp.XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    error = "cannot create a file beside " + path + ": " + ErrnoText();
    temp.clear();
    return false;
  }
  size_t written = 0;
  while (written < data.size()) {
    const ssize_t n = ::write(fd, data.data() + written, data.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = "cannot write " + temp + ": " + ErrnoText();
      ::close(fd);
      return false;
    }
    written += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0) {
    error = "cannot flush " + temp + ": " + ErrnoText();
    ::close(fd);
    return false;
  }
  if (::close(fd) != 0) {
    error = "cannot close " + temp + ": " + ErrnoText();
    return false;
  }
  return true;
}

// Makes a completed rename durable; a failure here loses nothing already done.
void SyncFolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

TConfigFile::TConfigFile(std::string path) : TConfigFile(std::move(path), ::rename) {}

TConfigFile::TConfigFile(std::string path, TRenameFunction rename)
    : path_(std::move(path)), rename_(std::move(rename)) {}

std::string TConfigFile::Encode(const TOptions& options, const THiScoreTable& table) {
  std::string out;
  out.reserve(165);
  out.push_back(options.WindowedMode ? 1 : 0);
  out.push_back(options.MusicOn ? 1 : 0);
  out.push_back(options.SoundOn ? 1 : 0);
  out.push_back(static_cast<char>(options.MinimizeKey & 0xFF));
  PutCodedString(out, options.PlayerName);
  for (const THiScores& entry : table) {
    PutCodedString(out, entry.Name);
    PutScore(out, entry.Score);
  }
  return out;
}

size_t TConfigFile::Decode(const std::string& bytes, TOptions& options, THiScoreTable& table,
                           bool& complete) {
  TFieldReader reader(bytes);
  complete = false;
  uint8_t value = 0;
  // Any byte but 1 reads as false.
  if (!reader.Byte(value)) return reader.Position();
  options.WindowedMode = value == 1;
  if (!reader.Byte(value)) return reader.Position();
  options.MusicOn = value == 1;
  if (!reader.Byte(value)) return reader.Position();
  options.SoundOn = value == 1;
  if (!reader.Byte(value)) return reader.Position();
  options.MinimizeKey = value;
  if (!reader.CodedString(options.PlayerName)) return reader.Position();
  for (THiScores& entry : table) {
    if (!reader.CodedString(entry.Name)) return reader.Position();
    if (!reader.Score(entry.Score)) return reader.Position();
  }
  complete = true;
  return reader.Position();
}

bool TConfigFile::LooksLikeSettings(const std::string& bytes) {
  TOptions options;
  THiScoreTable table = DefaultHiScores();
  bool complete = false;
  const size_t used = Decode(bytes, options, table, complete);
  // The right size: every field, and nothing after them. More than that is
  // some other file whose first bytes happen to read as fields.
  if (complete) return used == bytes.size();
  // A file cut short still shows the layout: no longer than the layout
  // allows, and the flags it has are 0 or 1.
  if (bytes.size() > kMaxConfigBytes) return false;
  for (size_t i = 0; i < 3 && i < bytes.size(); ++i) {
    if (static_cast<uint8_t>(bytes[i]) > 1) return false;
  }
  return true;
}

TConfigLoadResult TConfigFile::Load(TOptions& options, THiScoreTable& table) {
  TConfigLoadResult result;
  options = TOptions{};
  ResetHiScores(table);
  savesRefused_ = false;

  // The defaults go to disk only when the very first file is written.
  TConfigSaveResult created;
  if (!FileExists(path_)) {
    result.Created = true;
    created = Save(options, table);
  }

  std::string bytes;
  std::string error;
  // Never waits on what is there (a FIFO or a device is refused at once) and
  // never reads more than the layout can hold.
  if (!ReadRegularFile(path_, kMaxConfigBytes, bytes, error)) {
    // A failed first save is the reason the file cannot be read. Anything
    // else that cannot be read may be precious: it is not saved over.
    if (!result.Created) {
      savesRefused_ = true;
      result.SavesRefused = true;
    }
    result.Error =
        (created ? "cannot read: " + error : created.Error) + "; using the default settings";
    return result;
  }
  result.Opened = true;
  if (!LooksLikeSettings(bytes)) {
    // Not ours (a mistyped --config, say): it is neither read nor ever replaced.
    savesRefused_ = true;
    result.SavesRefused = true;
    result.Error = "not a settings file (" + std::to_string(bytes.size()) +
                   " bytes); playing with the default settings, which are not saved over it";
    return result;
  }
  result.BytesRead = Decode(bytes, options, table, result.Complete);
  if (!result.Complete) {
    result.Error = "short or damaged (" + std::to_string(bytes.size()) +
                   " bytes); the missing settings keep their defaults";
  }
  return result;
}

TConfigSaveResult TConfigFile::Save(const TOptions& options, const THiScoreTable& table) {
  if (savesRefused_) {
    return {"settings not saved: what is there is not a settings file, so it is left as it is"};
  }
  std::string temp;
  std::string error;
  if (!WriteNewTemporary(path_, Encode(options, table), temp, error)) {
    if (!temp.empty()) ::unlink(temp.c_str());
    return {"settings not saved: " + error};
  }
  if (rename_(temp.c_str(), path_.c_str()) != 0) {
    const std::string reason = ErrnoText();
    ::unlink(temp.c_str());
    return {"settings not saved: cannot replace the file: " + reason};
  }
  SyncFolderOf(path_);
  return {};
}
