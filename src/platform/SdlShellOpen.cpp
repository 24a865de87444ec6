#include "platform/SdlShellOpen.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <thread>

extern char** environ;

namespace {

class TSpawnSetup {
 public:
  TSpawnSetup() {
    posix_spawn_file_actions_init(&actions_);
    posix_spawnattr_init(&attr_);
  }
  ~TSpawnSetup() {
    posix_spawnattr_destroy(&attr_);
    posix_spawn_file_actions_destroy(&actions_);
  }
  TSpawnSetup(const TSpawnSetup&) = delete;
  TSpawnSetup& operator=(const TSpawnSetup&) = delete;

  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attr_;
};

}  // namespace

bool SdlShellOpen(const std::string& target, const std::string& program) {
  if (target.empty() || target.front() == '-' || program.empty()) return false;

  TSpawnSetup setup;
  posix_spawn_file_actions_addopen(&setup.actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawnattr_setflags(&setup.attr_, POSIX_SPAWN_SETSID);

  std::string programArg = program;
  std::string targetArg = target;
  char* argv[] = {programArg.data(), targetArg.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, program.c_str(), &setup.actions_, &setup.attr_, argv, environ) != 0) {
    return false;
  }
  try {
    std::thread([pid] {
      while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
      }
    }).detach();
  } catch (const std::system_error&) {
    // No thread for the reaper: wait here instead; the opener returns quickly
    // in the common case and a short stall beats a zombie.
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  return true;
}
