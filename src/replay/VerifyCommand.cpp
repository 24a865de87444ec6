#include "replay/VerifyCommand.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

#include "replay/ReplayVerifier.h"

int RunVerifyReplay(const std::string& path, bool json, std::ostream& out) {
  TVerdict verdict;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    verdict.Kind = TVerdictKind::Unreadable;
    verdict.Message = path + ": " + std::strerror(errno);
  } else {
    // One byte past the limit tells a too-large file from one at the limit.
    std::vector<uint8_t> bytes(kMaxReplayBytes + 1);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    if (in.bad()) {
      verdict.Kind = TVerdictKind::Unreadable;
      verdict.Message = path + ": read error";
    } else {
      verdict = VerifyReplay(bytes.data(), bytes.size());
      if (!json) verdict.Message = path + ": " + verdict.Message;
    }
  }
  out << (json ? VerdictJson(verdict) + "\n" : VerdictText(verdict));
  return VerdictExitCode(verdict);
}
