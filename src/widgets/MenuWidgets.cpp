#include "widgets/MenuWidgets.h"

#include "i18n/Gettext.h"

TMenuWidgets::TMenuWidgets(const TWidgetContext& context)
    : MainMenuGroup(std::make_unique<TDDMainBtnCollection>(context, menu_layout::kMainMenu)),
      HighScoreButtons(std::make_unique<TDDBtnCollection>(context, menu_layout::kHighScoreButtons)),
      HelpButtons(std::make_unique<TDDBtnCollection>(context, menu_layout::kHelpButtons)),
      OptionsGroup(std::make_unique<TDDOptBtnCollection>(context, menu_layout::kOptionsRects,
                                                         menu_layout::kOptionsImages)),
      YesNoGroup(std::make_unique<TDDTextBtnCollection>(context, menu_layout::kYesRect,
                                                        menu_layout::kNoRect,
                                                        // TRANSLATORS: Dialog answer.
                                                        _("Yes"), _("No"))),
      OkCancelGroup(std::make_unique<TDDTextBtnCollection>(context, menu_layout::kOkRect,
                                                           menu_layout::kCancelRect,
                                                           // TRANSLATORS: Dialog answer.
                                                           _("Ok"), _("Cancel"))),
      NameField(std::make_unique<TDDEdit>(context, menu_layout::kNameFieldRect)) {
  NameField->Focused = true;
  NameField->Editing = true;
}
