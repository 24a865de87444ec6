#include "protocol/ResultCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

TEST(ResultCodec, AlphabetHas23LettersAnd9DigitsAllDistinct) {
  const std::set<char> distinct(kResultAlphabet.begin(), kResultAlphabet.end());
  EXPECT_EQ(kResultAlphabet.size(), 32u);
  EXPECT_EQ(distinct.size(), 32u);
  const auto letters = std::count_if(kResultAlphabet.begin(), kResultAlphabet.end(),
                                     [](char c) { return c >= 'A' && c <= 'Z'; });
  const auto digits = std::count_if(kResultAlphabet.begin(), kResultAlphabet.end(),
                                    [](char c) { return c >= '0' && c <= '9'; });
  EXPECT_EQ(letters, 23);
  EXPECT_EQ(digits, 9);
  EXPECT_TRUE(kResultKeyLetter >= 'A' && kResultKeyLetter <= 'Z');
}

TEST(ResultCodec, EncodesAbcExampleToItsAlphabetPositions) {
  const std::vector<size_t> positions = {12, 5, 17, 6, 6, 12, 1, 16};
  std::string expected;
  for (const size_t p : positions) expected += kResultAlphabet[p];
  EXPECT_EQ(EncodeResult("abc00"), expected);
  EXPECT_EQ(DecodeResult(expected), "abc00");
}

// Records are padded with "0" in "z=" to a multiple of 5 bytes, so that they
// encode without padding bits.
TEST(ResultCodec, BuildsTheRecordInItsExactOrderWithoutEscapingPaddedToFiveBytes) {
  struct TCase {
    const char* name;
    int32_t score;
    const char* p;
    const char* player;
    const char* expected;
  };
  const std::string key(1, kResultKeyLetter);
  const TCase cases[] = {
      {"Anonymous", 1000, "ABC", "Bob", "type=0|name=Anonymous|score=1000|key=?|p=ABC|add=Bob|z="},
      {"", 0, "", "", "type=0|name=|score=0|key=?|p=|add=|z=000"},
      {"x", -5, "p", "a|b=c", "type=0|name=x|score=-5|key=?|p=p|add=a|b=c|z="},
      {"Abcdef", 1234, "q", "", "type=0|name=Abcdef|score=1234|key=?|p=q|add=|z=000"},
  };
  for (const TCase& c : cases) {
    std::string expected = c.expected;
    expected.replace(expected.find("key=?") + 4, 1, key);
    EXPECT_EQ(BuildResultRecord(c.name, c.score, c.p, c.player), expected) << c.name;
    EXPECT_EQ(expected.size() % 5, 0u) << expected;
  }
}

TEST(ResultCodec, ChallengeIsTheFifthFieldOfTheAnswer) {
  struct TCase {
    const char* answer;
    const char* p;
  };
  const TCase cases[] = {
      {"a|b|c|d|PPP|f", "PPP"},      // six fields
      {"a|b|c|d|PPP|", "PPP"},       // six fields, last empty
      {"a|b|c|d|PPP|f|g|h", "PPP"},  // more fields
      {"a|b|c|d|e", ""},             // five fields: only four "|"
      {"", ""},                      // nothing
      {"||||", ""},                  // empty fifth field
      {"no bars at all", ""},
  };
  for (const TCase& c : cases) EXPECT_EQ(ExtractChallenge(c.answer), c.p) << c.answer;
}

TEST(ResultCodec, DecodeRefusesTextThatEncodeCannotProduce) {
  const std::string a(1, kResultAlphabet[0]);
  const std::string last(1, kResultAlphabet[31]);
  const std::vector<std::string> bad = {
      "a",          // lower case is outside the alphabet
      "0",          // so is zero
      a,            // 5 bits cannot hold a byte
      a + a + a,    // 15 bits: 7 padding bits is more than encode adds
      last + last,  // 10 bits: the 2 padding bits must be zero
      EncodeResult("ab") + "-",
  };
  for (const std::string& text : bad) EXPECT_FALSE(DecodeResult(text).has_value()) << text;
  EXPECT_EQ(DecodeResult(""), "");
}

TEST(ResultCodec, DecodeInvertsEncodeForRandomRecords) {
  std::mt19937 rng(20261207);
  std::uniform_int_distribution<int> length(0, 120);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int i = 0; i < 500; ++i) {
    std::string record(static_cast<size_t>(length(rng)), '\0');
    for (char& c : record) c = static_cast<char>(byte(rng));
    const std::string encoded = EncodeResult(record);
    ASSERT_EQ(encoded.size(), (record.size() * 8 + 4) / 5);
    ASSERT_TRUE(std::all_of(encoded.begin(), encoded.end(), [](char c) {
      return kResultAlphabet.find(c) != std::string_view::npos;
    }));
    ASSERT_EQ(DecodeResult(encoded), record) << "length " << record.size();
  }
}

}  // namespace
