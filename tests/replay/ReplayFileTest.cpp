#include <gtest/gtest.h>

#include "replay/ReplayKit.h"

namespace {

TEST(ReplayFile, WrittenFieldsReadBackAndTextIsCutToItsLimit) {
  TReplay replay;
  replay.LogicVersion = 7;
  replay.GameVersion = "2.0";
  replay.PlayerName = std::string(40, 'N');
  replay.StartDate = -5;
  replay.Seed = 0xFEDCBA9876543210ull;
  replay.StartTick = 0xFFFFFFF0u;
  replay.FinalScore = -3;
  replay.FinalLevel = 255;
  replay.FinalChecksum = 0xDEADBEEF;
  // Every field at its extremes, long runs and single frames.
  const TFrameInput extremes[] = {
      {0xFFFFFFFFu, 63, -1, 1, 255, 31, 255, true},
      {16, 0, 0, 0, 0, 0, 0, false},
      {15, 1, 1, -1, 1, 16, 1, false},
  };
  for (int i = 0; i < 200; ++i) replay.Inputs.push_back(extremes[(i / 7 + i % 2) % 3]);
  for (size_t i = 0; i < replay.Inputs.size(); ++i) {
    replay.FrameTags.push_back(static_cast<uint8_t>(i % 8));
  }
  replay.Checkpoints = {1, 2, 3};

  const std::vector<uint8_t> bytes = EncodeReplay(replay);
  TReplay back;
  const TReplayReadResult read = DecodeReplay(bytes.data(), bytes.size(), back);
  ASSERT_TRUE(read) << read.Message;
  EXPECT_EQ(back.LogicVersion, 7);
  EXPECT_EQ(back.GameVersion, "2.0");
  EXPECT_EQ(back.PlayerName, std::string(kMaxReplayText, 'N'));
  EXPECT_EQ(back.StartDate, -5);
  EXPECT_EQ(back.Seed, replay.Seed);
  EXPECT_EQ(back.StartTick, replay.StartTick);
  EXPECT_EQ(back.FinalScore, -3);
  EXPECT_EQ(back.FinalLevel, 255);
  EXPECT_EQ(back.FinalChecksum, 0xDEADBEEFu);
  EXPECT_EQ(back.Inputs, replay.Inputs);
  EXPECT_EQ(back.FrameTags, replay.FrameTags);
  EXPECT_EQ(back.Checkpoints, replay.Checkpoints);
}

TEST(ReplayFile, ErrorsSayWhatIsWrong) {
  TReplay replay;
  replay.Inputs.assign(100, TFrameInput{16});
  replay.FrameTags.assign(100, 0);
  replay.Checkpoints = {9};
  const std::vector<uint8_t> good = EncodeReplay(replay);
  struct TCase {
    const char* Name;
    std::vector<uint8_t> Bytes;
    TReplayError Error;
  };
  std::vector<uint8_t> otherFormat = good;
  otherFormat[4] = 9;
  std::vector<uint8_t> longer = good;
  longer.insert(longer.end() - 4, 0);
  const TCase cases[] = {
      {"empty", {}, TReplayError::Unreadable},
      {"a picture", {'B', 'M', 0, 0, 0, 0, 0, 0}, TReplayError::Unreadable},
      {"another format", otherFormat, TReplayError::OtherVersion},
      {"cut in the inputs", {good.begin(), good.begin() + 70}, TReplayError::Truncated},
      {"a byte too many", longer, TReplayError::BadCrc},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TReplay out;
    const TReplayReadResult read = DecodeReplay(c.Bytes.data(), c.Bytes.size(), out);
    EXPECT_EQ(read.Error, c.Error) << read.Message;
    EXPECT_FALSE(read.Message.empty());
  }
}

}  // namespace
