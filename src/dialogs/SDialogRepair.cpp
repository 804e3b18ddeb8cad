#include "dialogs/SDialogRepair.h"

#include "core/SGameCore.h"
#include "core/ui/SRgb.h"
#include "foundation/SRandom.h"
#include "player/SPlayer.h"
#include "world/SItem.h"
#include "world/SItemTable.h"

namespace {
constexpr u32 kLowestCondition = 10;

bool IsHammer(const SItem& item) {
  return item.type->itemClass == kItemRepair && item.type->ConditionPercent(item) >= kLowestCondition;
}

bool IsRepairable(const SItem& item) {
  const SItemType& t = *item.type;
  const bool kind = (t.itemClass == kItemWeapon && !t.IsMissile()) || t.itemClass == kItemHeavyArmor ||
                    t.itemClass == kItemLightArmor;
  return kind && item.count < t.maxCondition;
}
}  // namespace

void SDialogRepair::Attach(SGameCore* gameCore) {
  SDialog::Attach(gameCore);
  SCtrl* const all[] = {&frame,      &title, &hammerHeading, &itemHeading, &description, &picture, &previousHammer,
                        &nextHammer, &list,  &pageUp,        &pageDown,    &repair,      &close};
  for (SCtrl* c : all) c->Attach(this);
}

void SDialogRepair::Open(SItem* hammer) {
  child = nullptr;
  ClearControls();
  SetLayout(kLayout);
  CenterOnScreen();
  SetBackgroundPicture(core ? core->Picture(0) : nullptr);
  const u32 centred = STextCtrl::kCentred | STextCtrl::kMiddle, leftAligned = STextCtrl::kLeft | STextCtrl::kMiddle;
  AddFrame(frame, kFrameId, true);
  AddText(title, kTitleId, "Repair", centred, RgbWord(0xFFFFFF), RgbWord(0x161616));
  AddText(hammerHeading, kHammerHeadingId, "Select a repair hammer to use:", leftAligned, RgbWord(0xC8C8C8),
          RgbWord(0x161616));
  AddLayoutControl(&picture, kPictureId);
  if (AddLayoutControl(&description, kDescriptionId))
    description.Setup(1, RgbWord(0xFFFFFF), RgbWord(0xC8C8C8), RgbWord(0x161616), 0, 2, 0, RgbWord(0xFFFFFF),
                      RgbWord(0xFFFFFF));
  AddPictureButton(previousHammer, kPreviousHammerId, kPreviousSlot);
  AddPictureButton(nextHammer, kNextHammerId, kNextSlot);
  AddText(itemHeading, kItemHeadingId, "Select the item to be repaired:", leftAligned, RgbWord(0xC8C8C8),
          RgbWord(0x161616));
  AddList(list, kListId, RgbWord(0xC8C8C8), RgbWord(0x161616));
  list.SetRightColumn(list.width / 3);
  AddPictureButton(pageUp, kPageUpId, kPageUpSlot);
  AddPictureButton(pageDown, kPageDownId, kPageDownSlot);
  AddPictureButton(repair, kRepairId, kConfirmSlot);
  AddPictureButton(close, kCloseId, kCloseSlot);
  close.hotKey = 3007;

  SPlayer* player = Player();
  skill = player ? i32(player->skills[kSkill]) + player->SumEffects(1, kSkill, nullptr, nullptr) : 0;
  BuildLists();
  hammerIndex = -1;
  for (size_t i = 0; i < hammers.size(); ++i)
    if (hammers[i] == hammer) hammerIndex = i32(i);
  ShowHammer();
  FillItemList();
  ResetInputGuard();
  SetFullRepaint();
}

void SDialogRepair::BuildLists() {
  hammers.clear();
  items.clear();
  if (const SPlayer* player = Player())
    for (SItem* item : player->inventory.items) {
      if (!item || !item->type) continue;
      if (IsHammer(*item)) hammers.push_back(item);
      if (IsRepairable(*item)) items.push_back(item);
    }
}

void SDialogRepair::ShowHammer() {
  const SItem* hammer = SelectedHammer();
  ShowItem(picture, hammer ? hammer->type : nullptr, 0);
  SString name, body;
  if (hammer && core) {
    hammer->type->GetDisplayName(core->world.rules, hammer, name, false);
    body.Format("Condition: %s", SItemType::ConditionWord(hammer->type->ConditionPercent(*hammer)));
  }
  description.SetText(name.CStr(), body.CStr(), 0, 0);
  // Opened with a hammer worn below use, none is chosen (-1) and "next" leads to the first good one.
  previousHammer.Enable(hammerIndex > 0);
  nextHammer.Enable(hammerIndex < i32(hammers.size()) - 1);
}

void SDialogRepair::RowTexts(const SItem& item, SString& name, SString& word) const {
  if (core)
    item.type->GetDisplayName(core->world.rules, &item, name, false);
  else
    name.Assign("");
  word.Assign(SItemType::ConditionWord(item.type->ConditionPercent(item)));
}

void SDialogRepair::FillItemList() {
  list.Clear();
  SString key, name, word;
  for (size_t i = 0; i < items.size(); ++i) {
    key.Format("%u", u32(i));
    RowTexts(*items[i], name, word);
    list.AddRowWithRightText(key.CStr(), name.CStr(), word.CStr());
  }
  list.ResetView(false);
  UpdatePageButtons(list, pageUp, pageDown);
}

i32 SDialogRepair::Wear(i32 skillValue, SRandom& random) {
  const i32 k = (120 - skillValue) / 2;
  return random.Next(k) + k;
}

i32 SDialogRepair::Gain(i32 skillValue, SRandom& random) {
  const i32 k = (skillValue + 150) / 2;
  return random.Next(k) + k;
}

void SDialogRepair::TryRepair() {
  SItem* hammer = SelectedHammer();
  const i32 row = list.selected;
  if (!hammer || row < 0 || row >= i32(items.size()) || !core || !core->random) return;
  SRandom& random = *core->random;
  const i32 wear = Wear(skill, random);
  if (wear >= 0) hammer->count = u16(wear >= i32(hammer->count) ? 0 : hammer->count - wear);
  if (hammer->type->ConditionPercent(*hammer) < kLowestCondition) {
    hammers.erase(hammers.begin() + hammerIndex);
    if (hammerIndex >= i32(hammers.size())) hammerIndex = i32(hammers.size()) - 1;
  }
  ShowHammer();
  Practise(kSkill);
  if (Fails(skill, random.Next(100))) {
    PlayNamed("bsnd_repairfail");
    SetFullRepaint();
    return;
  }
  PlayNamed("bsnd_repairok");
  SItem& item = *items[size_t(row)];
  const u32 raised = u32(item.count) + u32(Gain(skill, random));
  item.count = u16(raised > item.type->maxCondition ? item.type->maxCondition : raised);
  if (item.count >= item.type->maxCondition) {
    items.erase(items.begin() + row);
    FillItemList();
  } else {
    SString name, word;
    RowTexts(item, name, word);
    list.SetRow(row, nullptr, nullptr, word.CStr());
  }
  SetFullRepaint();
}

u32 SDialogRepair::OnCommand(u16 code) {
  switch (code) {
    case kListId:
      Click(0);
      UpdatePageButtons(list, pageUp, pageDown);
      return 0;
    case kRepairId: TryRepair(); return 0;
    case kCloseId: Click(1); return parent ? parent->OnCommand(code) : 0;
    case kPreviousHammerId:
    case kNextHammerId:
      Click(0);
      if (code == kPreviousHammerId && hammerIndex > 0) --hammerIndex;
      if (code == kNextHammerId && hammerIndex < i32(hammers.size()) - 1) ++hammerIndex;
      ShowHammer();
      return 0;
    case kPageUpId:
    case kPageDownId:
      Click(0);
      Page(list, code == kPageDownId, pageUp, pageDown);
      return 0;
    default: return 0;
  }
}
