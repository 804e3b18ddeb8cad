#include "dialogs/SDialogSelectSkill.h"

#include "core/SGameCore.h"
#include "core/ui/SRgb.h"

void SDialogSelectSkill::Open(u32 skill) {
  BeginLayout(kLayout, "Select a skill");
  AddInnerFrame(innerFrame, kInnerFrameId);
  // The small screens take the medium names, but mode 2, whose buttons have room for the full ones.
  const bool medium = core && core->IsCompact() && core->displayMode != 2;
  for (u32 s = 1; s <= kSkills; ++s) {
    STopicButtonCtrl& b = buttons[s - 1];
    b.Attach(this);
    if (!AddLayoutControl(&b, u16(CodeOf(s)))) continue;
    const SSkillTable* table = core ? &core->world.rules.skills : nullptr;
    const char* name = table ? (medium ? table->MediumName(s) : table->FullName(s)) : nullptr;
    b.SetText(name ? name : "", CodeOf(s), kLabelColour, STopicButtonCtrl::kYellow, kEdgeColour);
  }
  heading.Attach(this);
  description.Attach(this);
  if (AddLayoutControl(&heading, kHeadingId))
    heading.SetTextStyled("Skill description:", STextCtrl::kLeft, 1, RgbWord(0xFFFFFF), kEdgeColour);
  if (AddLayoutControl(&description, kDescriptionId))
    description.SetTextStyled("", STextCtrl::kLeft, 1, kLabelColour, kEdgeColour);
  EndLayout();
  Select(skill);
}

void SDialogSelectSkill::Select(u32 skill) {
  for (u32 s = 1; s <= kSkills; ++s) buttons[s - 1].SetPressed(s == skill);
  for (STopicButtonCtrl& b : buttons) b.MarkDirty();
  selectedSkill = skill;
  const SSkillRow* row = core ? core->world.rules.skills.Row(skill) : nullptr;
  description.SetText(row && row->fourth ? row->fourth : "");
  SetFullRepaint();
}

u32 SDialogSelectSkill::OnCommand(u16 code) {
  if (code >= CodeOf(1) && code <= CodeOf(kSkills)) {
    ListClick();
    Select(code - 62);
    return 0;
  }
  return SSelectDialog::OnCommand(code);
}
