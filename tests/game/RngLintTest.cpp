// The order of random draws is part of the game's rules, and C++ leaves the
// order of two calls in one expression unspecified: no statement of the game
// logic draws twice. A grep of the sources, as a test.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>

#include "support/FileBytes.h"

namespace {

TEST(GameLogicSource, NoStatementDrawsTwoRandomNumbersOrUsesTheHostsTrigonometry) {
  const std::filesystem::path game = std::filesystem::path(TL_SOURCE_DIR) / "src" / "game";
  const std::regex draw(R"(\bRandom\s*\()");
  const std::regex libm(R"(std::(sin|cos|tan|asin|acos|atan2?|exp|log|pow|sqrt)\s*\()");
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(game)) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".cpp" && entry.path().extension() != ".h") continue;
    ++files;
    const std::string text = test_kit::ReadText(entry.path());
    // Statements end at ';' or '{'; comments are left out line by line.
    std::string statement;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
      if (const size_t comment = line.find("//"); comment != std::string::npos)
        line.resize(comment);
      EXPECT_FALSE(std::regex_search(line, libm)) << name << ": " << line;
      for (char c : line) {
        statement += c;
        if (c != ';' && c != '{' && c != '}') continue;
        const auto draws = std::distance(
            std::sregex_iterator(statement.begin(), statement.end(), draw), std::sregex_iterator());
        EXPECT_LE(draws, 1) << name << ": " << statement;
        statement.clear();
      }
    }
  }
  EXPECT_GT(files, 10);
}

}  // namespace
