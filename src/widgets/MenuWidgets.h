#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "widgets/DDBtnCollection.h"
#include "widgets/DDEdit.h"
#include "widgets/DDMainBtnCollection.h"
#include "widgets/DDOptBtnCollection.h"
#include "widgets/DDTextBtnCollection.h"
#include "widgets/MenuLayout.h"
#include "widgets/WidgetContext.h"

// The six widget groups and the name-entry field. Created once, on the first
// image load, and kept for the whole run: image reloads leave their state
// (current items, captions, typed text) alone.
struct TMenuWidgets {
  // Creates every group in order (each button list selects its first item,
  // which plays the menu click) and the name field, focused and editing.
  explicit TMenuWidgets(const TWidgetContext& context);

  std::unique_ptr<TDDMainBtnCollection> MainMenuGroup;
  std::unique_ptr<TDDBtnCollection> HighScoreButtons;
  std::unique_ptr<TDDBtnCollection> HelpButtons;
  std::unique_ptr<TDDOptBtnCollection> OptionsGroup;
  std::unique_ptr<TDDTextBtnCollection> YesNoGroup;
  std::unique_ptr<TDDTextBtnCollection> OkCancelGroup;
  std::unique_ptr<TDDEdit> NameField;
};
