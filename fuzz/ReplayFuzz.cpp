// A .tlr replay as --verify-replay and the score server read it. Properties:
// a file that reads re-encodes to one that reads the same; verification of
// it, capped at a few thousand frames, ends with a verdict and an exit status
// of 0, 1 or 2; a file that does not read gives exit status 2 with a reason.

#include "FuzzCheck.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayVerifier.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TReplay replay;
  const TReplayReadResult read = DecodeReplay(data, size, replay);
  TVerifyLimits limits;
  limits.MaxFrames = 4096;
  if (!read) {
    TL_FUZZ_CHECK(!read.Message.empty(), "a refused file says why");
    const TVerdict verdict = VerifyReplay(data, size, limits);
    TL_FUZZ_CHECK(VerdictExitCode(verdict) == 2 && !verdict.Readable,
                  "an unreadable file is exit status 2");
    return 0;
  }
  TL_FUZZ_CHECK(replay.FrameCount() > 0 && replay.FrameCount() <= kMaxReplayFrames &&
                    replay.FrameTags.size() == replay.FrameCount() &&
                    replay.Checkpoints.size() == replay.FrameCount() / kCheckpointFrames,
                "a read replay holds what its frame count says");
  const std::vector<uint8_t> again = EncodeReplay(replay);
  TReplay back;
  TL_FUZZ_CHECK(static_cast<bool>(DecodeReplay(again.data(), again.size(), back)),
                "a read replay re-encodes to a readable file");
  TL_FUZZ_CHECK(back.Inputs == replay.Inputs && back.FrameTags == replay.FrameTags &&
                    back.Checkpoints == replay.Checkpoints && back.Seed == replay.Seed &&
                    back.PlayerName == replay.PlayerName && back.FinalScore == replay.FinalScore,
                "the re-encoded file reads the same");
  const TVerdict verdict = VerifyReplay(replay, limits);
  const int status = VerdictExitCode(verdict);
  TL_FUZZ_CHECK(status >= 0 && status <= 2 && !verdict.Message.empty(),
                "verification ends with a verdict");
  return 0;
}
