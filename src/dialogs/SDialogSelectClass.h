// The new player's "Select a class" dialog: the six classes, and the six primary skills of the one under
// the cursor. It always opens on the first class.
#pragma once
#include "core/ui/SDialogListCtrl.h"
#include "dialogs/SSelectDialog.h"

class SDialogSelectClass : public SSelectDialog {
 public:
  static constexpr u32 kLayout = 9;
  static constexpr u16 kListId = 53, kHeadingId = 56, kFirstSkillId = 57;
  static constexpr u32 kClasses = 6;

  void Open();
  u32 OnCommand(u16 code) override;

  u32 chosenClass = 0;
  u32 shownSkills[6] = {};
  SBorderCtrl frames[2];
  SDialogListCtrl list;
  STextCtrl heading;
  STextCtrl skills[6];

 private:
  void Refresh();
};
