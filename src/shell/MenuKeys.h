#pragma once

#include <cstdint>

#include "shell/VirtualKeys.h"
#include "widgets/DDTextBtnCollection.h"

// The keys the menus and questions share.
inline bool IsLetter(uint16_t key) {
  return key >= kVkA && key <= kVkZ;
}
inline bool IsConfirm(uint16_t key) {
  return key == kVkReturn || key == kVkSpace;
}

// Left and Right pick the first or second caption of a two-caption dialog.
inline bool ChooseCaption(TDDTextBtnCollection& group, uint16_t key) {
  if (key != kVkLeft && key != kVkRight) return false;
  group.Select(key == kVkLeft);
  return true;
}
