#pragma once

#include <span>

#include "widgets/DDBtnCollection.h"

// The main menu: as any button list, and a highlight moved by the pointer
// brings the form back to the main menu screen (ending the intro and closing a
// sub-screen shown beside the menu).
class TDDMainBtnCollection final : public TDDBtnCollection {
 public:
  using TDDBtnCollection::TDDBtnCollection;

  void Draw(TSurface& surface) override;
};
