#include "dialogs/SDialogTraining.h"

#include "core/SGameCore.h"
#include "core/ui/SRgb.h"
#include "player/SPlayer.h"
#include "screens/SServicePrices.h"
#include "world/SCharacterTables.h"
#include "world/SPeopleTables.h"
#include "world/SWorldRules.h"

namespace {
constexpr char kCoin = 9;
constexpr u32 kTextColour = RgbWord(0xC8C8C8), kEdgeColour = RgbWord(0x161616);
}  // namespace

void SDialogTraining::Attach(SGameCore* gameCore) {
  SDialog::Attach(gameCore);
  SCtrl* const all[] = {&frame, &title, &levelLine, &statusLine, &goldLine, &train, &close};
  for (SCtrl* c : all) c->Attach(this);
}

void SDialogTraining::Open(const SNpc* trainer) {
  ClearControls();
  SetLayout(kLayout);
  CenterOnScreen();
  SetBackgroundPicture(core ? core->Picture(0) : nullptr);
  AddFrame(frame, kFrameId, true);
  person = trainer;
  skill = trainer ? trainer->params[0] : 0;
  // A skill the data gives outside 1..20 has no name: it shows "?" and cannot be trained.
  const char* skillName = core ? core->world.rules.skills.FullName(skill) : nullptr;
  SString text;
  text.Format("%s trains %s.", trainer && trainer->texts[0] ? trainer->texts[0] : "", skillName ? skillName : "?");
  const u32 centred = STextCtrl::kCentred | STextCtrl::kMiddle;
  AddText(title, kTitleId, text.CStr(), centred, RgbWord(0xFFFFFF), kEdgeColour);
  AddText(levelLine, kLevelId, "", centred, kTextColour, kEdgeColour);
  AddText(statusLine, kStatusId, "", centred, kTextColour, kEdgeColour);
  AddText(goldLine, kGoldId, "", centred, kTextColour, kEdgeColour);
  AddPictureButton(train, kTrain, kConfirmSlot);
  AddPictureButton(close, kClose, kCloseSlot);
  BuildText();
  ResetInputGuard();
}

void SDialogTraining::BuildText() {
  if (!core) return;
  SPlayer& player = core->player;
  const SWorldRules& rules = core->world.rules;
  const bool known = rules.skills.FullName(skill) != nullptr;
  const char* skillName = known ? rules.skills.FullName(skill) : "?";
  const bool barred = known && skill == BarredSkill(player.race);
  // The trainer teaches the stored skill, the one Train raises: Fortify effects neither help nor hinder.
  const u32 level = barred || !known ? 0 : player.SkillLevel(skill);
  const u32 ceiling = person ? person->params[1] : 0;
  const u32 attribute = rules.skills.Attribute(skill);
  const u32 twiceAttribute = attribute >= 1 && attribute <= 5 ? 2u * player.attributes[attribute] : 0;
  const char* trainerName = person && person->texts[0] ? person->texts[0] : "";

  SString text;
  text.Format("Your skill level: %u", level);
  SGameCore::ConvertNumberGlyphs(text);
  levelLine.SetText(text.CStr());

  trainable = 0;
  cost = 0;
  if (barred) {
    text.Format("You cannot learn %s.", skillName);
  } else if (known && level < ceiling && level < twiceAttribute) {
    cost = player.AdjustPrice(rules.skills.LevelCost(level), true);
    text.Format("Cost for the next level: %u%c", cost, kCoin);
    trainable = player.HasMoney(cost) ? 1 : 0;
  } else if (known && level < ceiling) {
    const char* attributeName = rules.attributes.Name(attribute);
    text.Format("You need higher %s to learn %s.", attributeName ? attributeName : "?", skillName);
  } else {
    text.Format("%s cannot train you anymore.", trainerName);
  }
  statusLine.SetText(text.CStr());

  text.Format("Your gold: %u%c", player.GetMoney(), kCoin);
  SGameCore::ConvertNumberGlyphs(text);
  goldLine.SetText(text.CStr());
  train.Show(trainable != 0);
  SetFullRepaint();
}

u32 SDialogTraining::OnCommand(u16 code) {
  switch (code) {
    case kTrain:
      Click(1);
      if (!trainable || !core) return 0;
      core->player.ChangeSkill(skill, 1, false);
      ServicePrices::Pay(core->player, cost);
      BuildText();
      return 0;
    case kClose: Click(1); return parent ? parent->OnCommand(code) : code;
    default: return 0;
  }
}
