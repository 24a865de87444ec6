#include "replay/VerifyCommand.h"

#include "files/RegularFile.h"
#include "replay/ReplayVerifier.h"

int RunVerifyReplay(const std::string& path, bool json, std::ostream& out) {
  TVerdict verdict;
  // A FIFO, a device or a folder is refused before anything waits on it, and
  // no more than a replay can hold is read.
  std::string bytes;
  std::string error;
  if (!ReadRegularFile(path, kMaxReplayBytes, bytes, error)) {
    verdict.Kind = TVerdictKind::Unreadable;
    verdict.Message = path + ": " + error;
  } else {
    verdict = VerifyReplay(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    if (!json) verdict.Message = path + ": " + verdict.Message;
  }
  out << (json ? VerdictJson(verdict) + "\n" : VerdictText(verdict));
  return VerdictExitCode(verdict);
}
