#include "files/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

TFileDescriptor& TFileDescriptor::operator=(TFileDescriptor&& other) noexcept {
  if (this != &other) {
    Reset();
    fd_ = other.Release();
  }
  return *this;
}

int TFileDescriptor::Release() {
  return std::exchange(fd_, -1);
}

void TFileDescriptor::Reset() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

TFileDescriptor OpenRegularFile(const std::string& path, long long& size, std::string& error) {
  size = 0;
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer,
  // and a device could wait for anything. O_NOCTTY: a terminal named here never
  // becomes the game's.
  TFileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd) {
    error = std::strerror(errno);
    return {};
  }
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) {
    error = std::strerror(errno);
    return {};
  }
  if (!S_ISREG(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? "a folder, not a file" : "not a regular file";
    return {};
  }
  // A regular file never blocks; the flag goes so that reads behave as usual.
  const int flags = ::fcntl(fd.Get(), F_GETFL);
  if (flags < 0 || ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
    error = std::strerror(errno);
    return {};
  }
  size = static_cast<long long>(info.st_size);
  return fd;
}

bool ReadRegularFile(const std::string& path, size_t maxBytes, std::string& bytes,
                     std::string& error) {
  bytes.clear();
  long long size = 0;
  const TFileDescriptor fd = OpenRegularFile(path, size, error);
  if (!fd) return false;
  if (size < 0 || static_cast<unsigned long long>(size) > maxBytes) {
    error = "larger than " + std::to_string(maxBytes) + " bytes";
    return false;
  }
  // The size is only a hint (the file may grow while it is read): never more
  // than the cap is read, and one byte beyond it tells that it grew past.
  bytes.resize(static_cast<size_t>(size));
  size_t got = 0;
  for (;;) {
    if (got == bytes.size()) {
      if (bytes.size() > maxBytes) break;
      bytes.resize(std::min(maxBytes + 1, bytes.size() + 4096));
    }
    const ssize_t n = ::read(fd.Get(), bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = std::strerror(errno);
      bytes.clear();
      return false;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  bytes.resize(got);
  if (got > maxBytes) {
    error = "larger than " + std::to_string(maxBytes) + " bytes";
    bytes.clear();
    return false;
  }
  return true;
}
