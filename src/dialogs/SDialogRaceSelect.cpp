#include "dialogs/SDialogRaceSelect.h"

#include "core/SGameCore.h"
#include "core/ui/SPlaceControls.h"

namespace {
constexpr const char* kRaceNames[5] = {"Rasvim", "Etherim", "Seiry", "Derth", "Nogur"};
}  // namespace

void SDialogRaceSelect::Open(u32 race) {
  for (u32 i = 0; i < 5; ++i)
    if (!pictures[i].IsResident()) LoadDataPicture(data, u16(kFirstPictureRecord + i), pictures[i]);
  BeginLayout(kLayout, "Select a race");
  AddInnerFrame(frames[0], 205);
  AddInnerFrame(frames[1], 201);
  for (SCtrl* c : std::initializer_list<SCtrl*>{&list, &picture, &description, &leftEffects, &rightEffects})
    c->Attach(this);
  list.Clear();
  if (AddLayoutControl(&list, kListId)) {
    list.SetFont(1, kLabelColour, 0, nullptr);
    list.drawBackground = 0;
    list.SetOwnHighlight();
  }
  for (u32 r = 1; r <= 5; ++r) list.AddRow(r, kRaceNames[r - 1]);
  list.rowsPerPage = list.rowHeight > 0 ? list.height / list.rowHeight : 0;
  AddLayoutControl(&picture, kPictureId);
  for (auto [text, id] : {std::pair{&description, kDescriptionId}, std::pair{&leftEffects, kLeftEffectsId},
                          std::pair{&rightEffects, kRightEffectsId}})
    if (AddLayoutControl(text, id)) text->SetTextStyled("", STextCtrl::kLeft, 1, kLabelColour, kEdgeColour);
  EndLayout();
  list.Select(i32(race) - 1);
  chosenRace = race >= 1 && race <= 5 ? race : 0;
  Refresh();
}

void SDialogRaceSelect::Reset() {
  for (SImageEntry& p : pictures) p.Unload();
}

void SDialogRaceSelect::Refresh() {
  picture.SetPictureCentred(chosenRace ? pictures[chosenRace - 1].image : nullptr);
  SWorldRules* rules = core ? &core->world.rules : nullptr;
  const char* text = rules ? rules->races.Description(chosenRace) : nullptr;
  description.SetText(chosenRace && text ? text : "");
  // An ability the table lacks leaves both columns empty.
  const char* abilityName = rules && chosenRace ? rules->races.AbilityName(chosenRace) : nullptr;
  const SAbility* ability = abilityName ? rules->abilities.FindByName(abilityName) : nullptr;
  SString leftLines, rightLines;
  if (ability) {
    const u32 n = ability->effects.Count();
    ability->DescribeRange(*rules, leftLines, 0, n / 2);
    ability->DescribeRange(*rules, rightLines, n / 2, n);
  }
  leftEffects.SetText(leftLines.CStr() ? leftLines.CStr() : "");
  rightEffects.SetText(rightLines.CStr() ? rightLines.CStr() : "");
  SetFullRepaint();
}

u32 SDialogRaceSelect::OnCommand(u16 code) {
  if (code != kListId) return SSelectDialog::OnCommand(code);
  const SListRow* row = list.SelectedRow();
  chosenRace = row ? row->code : 0;
  ListClick();
  Refresh();
  return 0;
}
