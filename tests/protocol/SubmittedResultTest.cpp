#include "protocol/SubmittedResult.h"

#include <gtest/gtest.h>

#include <string>

#include "protocol/ResultCodec.h"

namespace {

// A record exactly as the game builds it.
std::string Record(const std::string& name, int32_t score, const std::string& player,
                   const std::string& p = "Challenge1") {
  return BuildResultRecord(name, score, p, player);
}

// Pads a hand-made record the way the game does.
std::string Padded(std::string record) {
  while (record.size() % 5 != 0) record += '0';
  return record;
}

TEST(SubmittedResult, AcceptsWhatTheGameSends) {
  struct TCase {
    std::string name;
    int32_t score;
    std::string player;
    std::string storedName;  // a "|" that starts no field stays in the name
  };
  const TCase cases[] = {
      {"Anonymous", 1000, "Bob", "Anonymous"},
      {"", 0, "", ""},
      {"a=b", 5, "x=y", "a=b"},
      {"a|b", 77, "c|d", "a|b"},
      {"<b>&'\"", 99999999, "~ ~", "<b>&'\""},
      {"0123456789", 123, "abcdefghij", "0123456789"},
  };
  for (const TCase& c : cases) {
    std::string reason;
    const auto result = ParseSubmittedResult(Record(c.name, c.score, c.player), reason);
    ASSERT_TRUE(result.has_value()) << c.name << ": " << reason;
    EXPECT_EQ(result->Name, c.storedName);
    EXPECT_EQ(result->Score, c.score);
    EXPECT_EQ(result->PlayerName, c.player);
    EXPECT_EQ(result->Challenge, "Challenge1");
  }
}

TEST(SubmittedResult, RefusesForgedOrMalformedRecords) {
  const std::string key(1, kResultKeyLetter);
  const char other = kResultKeyLetter == 'A' ? 'B' : 'A';
  struct TCase {
    const char* label;
    std::string record;
  };
  const TCase cases[] = {
      {"name forges a score", Record("x|score=9", 5, "")},
      {"player forges a score", Record("x", 5, "|score=99999")},
      {"name forges a player", Record("x|add=Eve", 5, "Bob")},
      {"player forges the padding", Record("x", 5, "a|z=0")},
      {"name forges a challenge", Record("x|p=Other", 5, "")},
      {"name too long", Record("12345678901", 5, "")},
      {"player too long", Record("x", 5, "12345678901")},
      {"control character", Record("a\tb", 5, "")},
      {"high byte", Record("caf\xe9", 5, "")},
      {"negative score", Record("x", -1, "")},
      {"score out of range", Record("x", 100000000, "")},
      {"empty challenge", Record("x", 5, "", "")},
      {"challenge with symbols", Record("x", 5, "", "ab-cd")},
      {"wrong key", Padded("type=0|name=x|score=5|key=" + std::string(1, other) + "|p=P|add=|z=")},
      {"wrong type", Padded("type=1|name=x|score=5|key=" + key + "|p=P|add=|z=")},
      {"score with a sign", Padded("type=0|name=x|score=+5|key=" + key + "|p=P|add=|z=")},
      {"score with leading zero", Padded("type=0|name=x|score=05|key=" + key + "|p=P|add=|z=")},
      {"fields out of order", Padded("type=0|score=5|name=x|key=" + key + "|p=P|add=|z=")},
      {"field missing", Padded("type=0|name=x|score=5|p=P|add=|z=")},
      {"unknown field", Padded("type=0|name=x|score=5|key=" + key + "|p=P|add=|z=|w=1")},
      {"text after a fixed field",
       Padded("type=0|name=x|score=5|oops|key=" + key + "|p=P|add=|z=")},
      {"bad padding", "type=0|name=x|score=5|key=" + key + "|p=P|add=|z=1"},
      {"not a multiple of 5", "type=0|name=x|score=5|key=" + key + "|p=P|add=|z=00000"},
      {"empty", ""},
      {"garbage", "hello"},
  };
  for (const TCase& c : cases) {
    std::string reason;
    EXPECT_FALSE(ParseSubmittedResult(c.record, reason).has_value()) << c.label;
    EXPECT_FALSE(reason.empty()) << c.label;
  }
}

}  // namespace
