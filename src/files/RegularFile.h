#pragma once

#include <cstddef>
#include <string>

// Opening the game's files without trusting what sits at their names: a FIFO,
// a device or a folder where a file is expected is refused before anything
// waits on it, and a file is read only up to what its format can hold.

// An open file descriptor, closed with the object.
class TFileDescriptor {
 public:
  TFileDescriptor() = default;
  explicit TFileDescriptor(int fd) : fd_(fd) {}
  ~TFileDescriptor() { Reset(); }
  TFileDescriptor(TFileDescriptor&& other) noexcept : fd_(other.Release()) {}
  TFileDescriptor& operator=(TFileDescriptor&& other) noexcept;
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;

  int Get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  int Release();
  void Reset();

 private:
  int fd_ = -1;
};

// Opens `path` for reading when it is a regular file (a link to one is
// followed). Opening never blocks: a FIFO with no writer is refused like a
// missing file. On success the descriptor reads in blocking mode and `size`
// holds the file's size; on failure the descriptor is empty and `error` says
// why in a few words ("No such file or directory", "not a regular file").
TFileDescriptor OpenRegularFile(const std::string& path, long long& size, std::string& error);

// Reads the whole regular file at `path` into `bytes` when it holds at most
// `maxBytes`; a larger file is refused before any of it is read ("larger than
// N bytes"). False with `error` set as OpenRegularFile does otherwise.
bool ReadRegularFile(const std::string& path, size_t maxBytes, std::string& bytes,
                     std::string& error);
