#include "shell/KeyName.h"

#include <gtest/gtest.h>

#include <string_view>

TEST(KeyName, NamesEveryChoosableKeyAndRejectsTheRest) {
  const struct {
    uint16_t code;
    const char* name;
  } cases[] = {
      {8, "Back"},
      {9, "Tab"},
      {13, "Enter"},
      {27, "Esc"},
      {32, "Space"},
      {33, "PgUp"},
      {34, "PgDn"},
      {35, "End"},
      {36, "Home"},
      {37, "Left"},
      {38, "Up"},
      {39, "Right"},
      {40, "Down"},
      {45, "Ins"},
      {46, "Del"},
      {49, "1"},
      {57, "9"},
      {58, ":"},
      {64, "@"},
      {65, "A"},
      {90, "Z"},
      {91, "["},
      {112, "F1"},
      {116, "F5"},
      {123, "F12"},
      {126, "F15"},
      {160, "Shift"},
      {161, "Shift"},
      {162, "Ctrl"},
      {163, "Ctrl"},
      {164, "Alt"},
      // The 0 key, the generic modifier codes the window delivers, and the gaps.
      {48, "Bad"},
      {16, "Bad"},
      {17, "Bad"},
      {18, "Bad"},
      {0, "Bad"},
      {47, "Bad"},
      {92, "Bad"},
      {111, "Bad"},
      {127, "Bad"},
      {165, "Bad"},
      {255, "Bad"},
      {0xFFFF, "Bad"},
  };
  for (const auto& c : cases) {
    const bool choosable = std::string_view(c.name) != "Bad";
    EXPECT_EQ(KeyName(c.code).has_value(), choosable) << "code " << c.code;
    EXPECT_EQ(KeyCaption(c.code), c.name) << "code " << c.code;
  }
}
