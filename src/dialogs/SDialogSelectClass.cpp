#include "dialogs/SDialogSelectClass.h"

#include "core/SGameCore.h"
#include "core/ui/SRgb.h"

void SDialogSelectClass::Open() {
  BeginLayout(kLayout, "Select a class");
  AddInnerFrame(frames[0], 55);
  AddInnerFrame(frames[1], 54);
  list.Attach(this);
  heading.Attach(this);
  for (STextCtrl& s : skills) s.Attach(this);
  list.Clear();
  if (AddLayoutControl(&list, kListId)) {
    list.SetFont(1, kLabelColour, 0, nullptr);
    list.drawBackground = 0;
    list.SetOwnHighlight();
  }
  const SClassTable* classes = core ? &core->world.rules.classes : nullptr;
  for (u32 c = 1; c <= kClasses; ++c) {
    const SClassRow* row = classes ? classes->Row(c) : nullptr;
    list.AddRow(c, row && row->name ? row->name : "");
  }
  list.rowsPerPage = list.rowHeight > 0 ? list.height / list.rowHeight : 0;
  if (AddLayoutControl(&heading, kHeadingId))
    heading.SetTextStyled("Primary skills:", STextCtrl::kLeft, 1, RgbWord(0xFFFFFF), kEdgeColour);
  for (u32 i = 0; i < 6; ++i)
    if (AddLayoutControl(&skills[i], u16(kFirstSkillId + i)))
      skills[i].SetTextStyled("", STextCtrl::kLeft, 1, kLabelColour, kEdgeColour);
  EndLayout();
  list.Select(0);
  chosenClass = 1;
  Refresh();
}

void SDialogSelectClass::Refresh() {
  const SClassRow* row = core ? core->world.rules.classes.Row(chosenClass) : nullptr;
  for (u32 i = 0; i < 6; ++i) {
    shownSkills[i] = row ? row->skills[i] : 0;
    const char* name = core ? core->world.rules.skills.FullName(shownSkills[i]) : nullptr;
    skills[i].SetText(name ? name : "");
  }
  SetFullRepaint();
}

u32 SDialogSelectClass::OnCommand(u16 code) {
  if (code != kListId) return SSelectDialog::OnCommand(code);
  ListClick();
  const SListRow* row = list.SelectedRow();
  chosenClass = row ? row->code : 0;
  Refresh();
  return 0;
}
