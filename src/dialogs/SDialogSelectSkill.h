// The new player's "Select a skill" dialog: the twenty skills as buttons and the description of the one
// selected.
#pragma once
#include "core/ui/SGameCtrls.h"
#include "dialogs/SSelectDialog.h"

class SDialogSelectSkill : public SSelectDialog {
 public:
  static constexpr u32 kLayout = 10;
  static constexpr u16 kFirstButtonId = 63, kDescriptionId = 84, kHeadingId = 85, kInnerFrameId = 83;
  static constexpr u32 kSkills = 20;

  // The button code (and layout id) of a skill 1 to 20; 0 for none.
  static constexpr u32 CodeOf(u32 skill) { return skill >= 1 && skill <= kSkills ? 62 + skill : 0; }

  void Open(u32 skill);
  void Select(u32 skill);
  u32 OnCommand(u16 code) override;

  u32 selectedSkill = 0;
  SBorderCtrl innerFrame;
  STopicButtonCtrl buttons[kSkills];
  STextCtrl heading, description;
};
