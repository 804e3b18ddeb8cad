#include "dialogs/SDialogLockpick.h"

#include "core/SGameCore.h"
#include "core/ui/SRgb.h"
#include "foundation/SRandom.h"
#include "foundation/TimeUtil.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "world/SItem.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"

namespace {
constexpr u8 kKeyClass = 11, kPickSubtype = 2;
constexpr u32 kLowestCondition = 10;

bool IsUsablePick(const SItem* item) {
  return item && item->type && item->type->itemClass == kKeyClass && item->type->subtype == kPickSubtype &&
         item->type->ConditionPercent(*item) >= kLowestCondition;
}
}  // namespace

void SDialogLockpick::Attach(SGameCore* gameCore) {
  SDialog::Attach(gameCore);
  SCtrl* const all[] = {&frame, &title, &picture, &name, &previous, &next, &chance, &pick, &close};
  for (SCtrl* c : all) c->Attach(this);
}

void SDialogLockpick::Open(SMapObjectInst* lockTarget) {
  target = lockTarget;
  failed = 0;
  ClearControls();
  SetLayout(kLayout);
  CenterInView();
  // Dark flagstones, on which the pick's name reads in its white; the title and the chance are light too.
  SetBackgroundPicture(core ? core->Picture(0) : nullptr);
  AddFrame(frame, kFrameId, true);
  const u32 centred = STextCtrl::kCentred | STextCtrl::kMiddle;
  AddText(title, kTitleId, "Picking a lock", centred, RgbWord(0xFFFFFF), RgbWord(0x161616));
  AddLayoutControl(&picture, kPictureId);
  AddText(name, kNameId, "", centred, RgbWord(0xFFFFFF), RgbWord(0x161616));
  AddPictureButton(previous, kPreviousId, kPreviousSlot);
  AddPictureButton(next, kNextId, kNextSlot);
  AddText(chance, kChanceId, "", centred, RgbWord(0xC8C8C8), RgbWord(0x161616));
  AddPictureButton(pick, kTrapCode, kConfirmSlot);
  AddPictureButton(close, kCloseCode, kCloseSlot);
  FillPickList();
  selected = picks.empty() ? -1 : 0;
  Refresh();
  ResetInputGuard();
}

void SDialogLockpick::FillPickList() {
  picks.clear();
  if (SPlayer* player = Player())
    for (SItem* item : player->inventory.items)
      if (IsUsablePick(item)) picks.push_back(item);
}

i32 SDialogLockpick::SkillTotal() {
  SPlayer* player = Player();
  return player ? i32(player->skills[kSkill]) + player->SumEffects(1, kSkill, nullptr, nullptr) : 0;
}

i32 SDialogLockpick::LockValue() const { return target ? i32((u16(target->packed) >> 6) & 15) * 10 : 0; }

u32 SDialogLockpick::TrapLevel() const { return target ? (u16(target->packed) >> 10) & 15 : 0; }

const char* SDialogLockpick::ChanceWord(i32 skillTotal, u32 durability, i32 lockValue) {
  const i32 score = skillTotal + i32(durability / 500);
  if (score > lockValue) return "very good";
  if (score > lockValue * 9 / 10) return "good";
  if (score > lockValue * 7 / 10) return "moderate";
  return "slight";
}

i32 SDialogLockpick::Wear(i32 skillTotal, SRandom& random) {
  const i32 first = random.Next(20);
  return first + random.Next(100 - skillTotal) * 3 / 2 + 10;
}

bool SDialogLockpick::Picks(i32 skillTotal, u32 durability, i32 lockValue, SRandom& random) {
  const i32 score = skillTotal + i32(durability / 500);
  if (lockValue > 100) return false;
  return score * 4 / 10 + random.Next(score * 2 / 10) > lockValue;
}

void SDialogLockpick::UpdateConditionText() {
  const SItem* item = SelectedPick();
  picture.SetItem(nullptr, nullptr, 0);
  if (!item) {
    name.SetText("");
    return;
  }
  ShowItem(picture, item->type, 0);
  SString text, typeName;
  if (core) item->type->GetDisplayName(core->world.rules, item, typeName, false);
  text.Format("%s\rCondition: %s", typeName.CStr(), SItemType::ConditionWord(item->type->ConditionPercent(*item)));
  name.SetText(text.CStr());
}

void SDialogLockpick::UpdateChanceText() {
  SString text;
  const SItem* item = SelectedPick();
  text.Format("Chance: %s", item ? ChanceWord(SkillTotal(), item->count, LockValue()) : "none");
  chance.SetText(text.CStr());
}

void SDialogLockpick::Refresh() {
  previous.Enable(selected > 0);
  next.Enable(selected >= 0 && selected < i32(picks.size()) - 1);
  UpdateConditionText();
  UpdateChanceText();
  SetFullRepaint();
}

bool SDialogLockpick::Attempt() {
  SItem* item = SelectedPick();
  if (!item || !core || !core->random) return false;
  SRandom& random = *core->random;
  const i32 skill = SkillTotal();
  const i32 wear = Wear(skill, random);
  item->count = u16(wear >= i32(item->count) ? 0 : item->count - wear);
  if (item->type->ConditionPercent(*item) < kLowestCondition) {
    picks.erase(picks.begin() + selected);
    if (selected >= i32(picks.size())) selected = i32(picks.size()) - 1;
  }
  Practise(kSkill);
  if (Picks(skill, item->count, LockValue(), random)) {
    if (core->stateGame) core->stateGame->AppendToMessage("You have successfully picked the lock.", 0);
    PlayNamed("bsnd_lockout");
    if (target) target->packed = i16(u16(target->packed) & ~(15u << 6));
    return true;
  }
  PlayNamed("bsnd_lockpicktry");
  Refresh();
  return false;
}

u32 SDialogLockpick::OnCommand(u16 code) {
  switch (code) {
    case kPreviousId:
    case kNextId:
      Click(0);
      if (code == kPreviousId && selected > 0) --selected;
      if (code == kNextId && selected >= 0 && selected < i32(picks.size()) - 1) ++selected;
      Refresh();
      return 0;
    case kTrapCode: {
      if (!SelectedPick()) return 0;
      if (Attempt()) return parent ? parent->OnCommand(kCloseCode) : 0;
      if (TrapLevel()) return parent ? parent->OnCommand(kTrapCode) : 0;
      failed = 1;
      failedAt = GetTicks();
      chance.SetText("Failed");
      SetFullRepaint();
      return 0;
    }
    case kCloseCode: Click(1); return parent ? parent->OnCommand(kCloseCode) : 0;
    default: return 0;
  }
}

u32 SDialogLockpick::OnTick(u32, SDisplay*) {
  if (failed && TicksElapsed(GetTicks(), failedAt, kFailedMs)) {
    failed = 0;
    UpdateChanceText();
    SetFullRepaint();
  }
  return 0;
}
