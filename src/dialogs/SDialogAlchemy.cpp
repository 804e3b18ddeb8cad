#include "dialogs/SDialogAlchemy.h"

#include "core/SGameCore.h"
#include "core/SGameObserver.h"
#include "core/ui/SRgb.h"
#include "foundation/SRandom.h"
#include "player/SPlayer.h"
#include "world/SEffect.h"
#include "world/SItem.h"
#include "world/SItemTable.h"

void SDialogAlchemy::Attach(SGameCore* gameCore) {
  SDialog::Attach(gameCore);
  SCtrl* const all[] = {
      &frame,         &title, &steps[0], &steps[1], &steps[2], &apparatusPicture, &apparatusText, &apparatusPrevious,
      &apparatusNext, &list,  &create,   &close};
  for (SCtrl* c : all) c->Attach(this);
  for (u32 s = 0; s < kSlots; ++s) {
    SCtrl* const own[] = {&slotPictures[s], &slotTexts[s], &slotPrevious[s], &slotNext[s]};
    for (SCtrl* c : own) c->Attach(this);
  }
  box.Attach(gameCore);
}

void SDialogAlchemy::Open(SItem* tool) {
  child = nullptr;
  boxState = 0;
  ClearControls();
  SetLayout(kLayout);
  CenterOnScreen();
  SetBackgroundPicture(core ? core->Picture(0) : nullptr);
  const bool compact = core && core->IsCompact();
  const u32 centred = STextCtrl::kCentred | STextCtrl::kMiddle, leftAligned = STextCtrl::kLeft | STextCtrl::kMiddle;
  AddFrame(frame, kFrameId, true);
  AddText(title, kTitleId, "Alchemy", centred, RgbWord(0xFFFFFF), RgbWord(0x161616));
  AddText(steps[0], kFirstStepId, "1. Select the mortar/pestle", leftAligned, RgbWord(0xC8C8C8), RgbWord(0x161616));
  AddText(steps[1], kSecondStepId, compact ? "2. Select the ingredients" : "2. Select the alchemy ingredients",
          leftAligned, RgbWord(0xC8C8C8), RgbWord(0x161616));
  AddText(steps[2], kThirdStepId, compact ? "3. Select the potion" : "3. Select the potion to be created", leftAligned,
          RgbWord(0xC8C8C8), RgbWord(0x161616));
  AddLayoutControl(&apparatusPicture, kApparatusPictureId);
  AddText(apparatusText, kApparatusTextId, "", leftAligned, RgbWord(0xC8C8C8), RgbWord(0x161616));
  AddPictureButton(apparatusPrevious, kApparatusPreviousId, kPreviousSlot);
  AddPictureButton(apparatusNext, kApparatusNextId, kNextSlot);
  for (u32 s = 0; s < kSlots; ++s) {
    AddLayoutControl(&slotPictures[s], kSlotPictureIds[s]);
    AddText(slotTexts[s], kSlotTextIds[s], "", leftAligned, RgbWord(0xC8C8C8), RgbWord(0x161616));
    AddPictureButton(slotPrevious[s], kSlotPreviousIds[s], kPreviousSlot);
    AddPictureButton(slotNext[s], kSlotNextIds[s], kNextSlot);
  }
  AddList(list, kListId, RgbWord(0xC8C8C8), RgbWord(0x161616));
  AddPictureButton(create, kCreateId, kConfirmSlot);
  AddPictureButton(close, kCloseId, kCloseSlot);
  close.hotKey = 3007;

  BuildLists();
  SPlayer* player = Player();
  skill = player ? i32(player->skills[kSkill]) + player->SumEffects(1, kSkill, nullptr, nullptr) : 0;
  apparatusIndex = -1;
  for (size_t i = 0; i < apparatus.size(); ++i)
    if (apparatus[i] == tool) apparatusIndex = i32(i);
  for (i32& s : slots) s = -1;
  ShowApparatus();
  for (u32 s = 0; s < kSlots; ++s) ShowSlot(s);
  FillCandidates(nullptr);
  ResetInputGuard();
  SetFullRepaint();
}

void SDialogAlchemy::BuildLists() {
  apparatus.clear();
  ingredients.clear();
  const SPlayer* player = Player();
  if (!player) return;
  for (SItem* item : player->inventory.items) {
    SItemType* type = item ? item->type : nullptr;
    if (!type) continue;
    if (type->itemClass == kApparatusClass) apparatus.push_back(item);
    if (type->itemClass != kIngredientClass) continue;
    bool listed = false;
    for (Ingredient& i : ingredients)
      if (i.type == type) {
        ++i.count;
        listed = true;
      }
    if (!listed) ingredients.push_back({type, 1});
  }
}

void SDialogAlchemy::ShowApparatus() {
  const SItem* item =
      apparatusIndex >= 0 && apparatusIndex < i32(apparatus.size()) ? apparatus[apparatusIndex] : nullptr;
  ShowItem(apparatusPicture, item ? item->type : nullptr, 0);
  SString text, name;
  if (item && core) {
    item->type->GetDisplayName(core->world.rules, item, name, false);
    text.Format("%s\rCondition: %s", name.CStr(), SItemType::ConditionWord(item->type->ConditionPercent(*item)));
  }
  apparatusText.SetText(text.CStr());
  apparatusPrevious.Enable(apparatusIndex > 0);
  apparatusNext.Enable(apparatusIndex < i32(apparatus.size()) - 1);
}

void SDialogAlchemy::ShowSlot(u32 slot) {
  const i32 index = slots[slot];
  const Ingredient* ingredient = index >= 0 && index < i32(ingredients.size()) ? &ingredients[index] : nullptr;
  ShowItem(slotPictures[slot], ingredient ? ingredient->type : nullptr, ingredient ? ingredient->count : 0);
  SString text, line;
  const SEffectList* effects = ingredient ? ingredient->type->enchantment : nullptr;
  // What the skill tells of an ingredient, in the words its description uses: its second effect from 30,
  // its third from 60. An effect not yet told, or one without words for an ingredient, shows "?".
  for (i32 e = 0; effects && e < effects->Count() && e < 3; ++e) {
    const SEffect* effect = effects->Entry(e);
    const bool known = e == 0 || (e == 1 && skill >= 30) || (e == 2 && skill >= 60);
    line.Assign("");
    if (known && effect && core) effect->Describe(core->world.rules, kItemKindIngredient, 0, line, false, false);
    text.FormatAppend("%s%s", e ? ", " : "", line.IsEmpty() ? "?" : line.CStr());
  }
  slotTexts[slot].SetText(text.CStr());
  slotPrevious[slot].Enable(index > -1);
  slotNext[slot].Enable(index < i32(ingredients.size()) - 1);
}

void SDialogAlchemy::FillCandidates(const SAlchemyRecipe* keep) {
  // The types in the slots, each once.
  const SItemType* types[kSlots] = {};
  u32 n = 0;
  for (i32 s : slots) {
    if (s < 0 || s >= i32(ingredients.size())) continue;
    const SItemType* type = ingredients[s].type;
    bool again = false;
    for (u32 i = 0; i < n; ++i) again = again || types[i] == type;
    if (!again) types[n++] = type;
  }
  candidates.clear();
  if (core && n) core->world.rules.alchemy.ListMakeable(core->world.rules, skill, types, n, candidates);
  // ListMakeable gives indices into the list it was given: keep the types themselves.
  usedTypes.assign(candidates.size(), {});
  for (size_t i = 0; i < candidates.size(); ++i)
    for (u32 u = 0; u < candidates[i].usedCount && u < kSlots; ++u)
      usedTypes[i][u] = candidates[i].used[u] < n ? types[candidates[i].used[u]] : nullptr;
  list.Clear();
  i32 kept = -1;
  for (size_t i = 0; i < candidates.size(); ++i) {
    list.AddRow(0, candidates[i].text ? candidates[i].text : "");
    if (keep && candidates[i].recipe == keep && kept < 0) kept = i32(i);
  }
  list.ResetView(false);
  if (kept >= 0) list.Select(kept);
  UpdateHighlight();
}

void SDialogAlchemy::UpdateHighlight() {
  const SMakeableRecipe* c = SelectedCandidate();
  const bool brewable = c && i32(c->recipe->parameter) <= skill && !c->unknown;
  for (u32 s = 0; s < kSlots; ++s) {
    highlighted[s] = false;
    if (brewable && slots[s] >= 0 && slots[s] < i32(ingredients.size()))
      for (const SItemType* t : usedTypes[size_t(list.selected)])
        highlighted[s] = highlighted[s] || (t && t == ingredients[slots[s]].type);
    slotPictures[s].marker = highlighted[s] ? 1 : 0;
    slotPictures[s].MarkDirty();
  }
}

const SMakeableRecipe* SDialogAlchemy::SelectedCandidate() const {
  return list.selected >= 0 && list.selected < i32(candidates.size()) ? &candidates[size_t(list.selected)] : nullptr;
}

bool SDialogAlchemy::Brews(i32 skillValue, i32 required, i32 roll) {
  const i32 limit = skillValue > required ? 100 : skillValue == required ? 90 : (skillValue - required + 20) * 5;
  return roll <= limit;
}

void SDialogAlchemy::Ask(const char* text, u32 buttons, u32 state) {
  boxState = state;
  if (core && core->observer) core->observer->OnMessage("alchemy", "message box", text, buttons);
  if (core) core->ShowMessageBox(text, buttons, &boxText, &box, this);
}

void SDialogAlchemy::CreatePotion(bool confirmed) {
  const SMakeableRecipe* c = SelectedCandidate();
  SPlayer* player = Player();
  if (!c || !player || !core || !core->random) return;
  const i32 required = c->recipe->parameter;
  if ((required > skill || c->unknown) && !confirmed) {
    Click(1);
    Ask("Your alchemy skill seems too low to create this potion. Do you want to try it anyway?",
        SDialogMessage::kYes | SDialogMessage::kNo, 1);
    return;
  }
  const SAlchemyRecipe* recipe = c->recipe;
  // The ingredients go first, whatever the roll.
  const auto& used = usedTypes[size_t(list.selected)];
  for (u32 u = 0; u < kSlots; ++u) {
    bool earlier = false;
    for (u32 v = 0; v < u; ++v) earlier = earlier || used[v] == used[u];
    if (used[u] && !earlier) player->RemoveItems(used[u], 1);
  }
  Practise(kSkill);
  SRandom& random = *core->random;
  if (!Brews(skill, required, random.Next(100))) {
    PlayNamed("bsnd_alchemyfailed");
    Ask("You have failed to create the potion.", SDialogMessage::kOk, 2);
  } else if (SItem* potion = core->world.rules.alchemy.CreatePotion(core->world.rules, *recipe, skill, random)) {
    SItemType* type = potion->type;
    if (type->itemClass == kItemMoney) {
      player->AddItems(type, 1);
      delete potion;
    } else if (!player->inventory.AddItem(potion)) {
      delete potion;
    }
    SString text;
    text.Format("You have successfully created a potion of %s.", type->text3 ? type->text3 : "");
    Ask(text.CStr(), SDialogMessage::kOk, 2);
    PlayNamed("bsnd_fillpotion");
  }
  // The lists again, with the same ingredients where they are left and the same recipe while it is.
  const SItemType* chosen[kSlots] = {};
  for (u32 s = 0; s < kSlots; ++s)
    chosen[s] = slots[s] >= 0 && slots[s] < i32(ingredients.size()) ? ingredients[slots[s]].type : nullptr;
  SItem* tool = apparatusIndex >= 0 && apparatusIndex < i32(apparatus.size()) ? apparatus[apparatusIndex] : nullptr;
  BuildLists();
  apparatusIndex = -1;
  for (size_t i = 0; i < apparatus.size(); ++i)
    if (apparatus[i] == tool) apparatusIndex = i32(i);
  for (u32 s = 0; s < kSlots; ++s) {
    slots[s] = -1;
    for (size_t i = 0; i < ingredients.size(); ++i)
      if (chosen[s] && ingredients[i].type == chosen[s]) slots[s] = i32(i);
    ShowSlot(s);
  }
  ShowApparatus();
  FillCandidates(recipe);
  SetFullRepaint();
}

void SDialogAlchemy::Step(u16 code) {
  if (code == kApparatusPreviousId && apparatusIndex > 0) --apparatusIndex;
  if (code == kApparatusNextId && apparatusIndex < i32(apparatus.size()) - 1) ++apparatusIndex;
  if (code == kApparatusPreviousId || code == kApparatusNextId) {
    ShowApparatus();
    return;
  }
  for (u32 s = 0; s < kSlots; ++s) {
    if (code == kSlotPreviousIds[s] && slots[s] > -1) --slots[s];
    if (code == kSlotNextIds[s] && slots[s] < i32(ingredients.size()) - 1) ++slots[s];
    if (code == kSlotPreviousIds[s] || code == kSlotNextIds[s]) {
      ShowSlot(s);
      FillCandidates(nullptr);
    }
  }
}

u32 SDialogAlchemy::OnCommand(u16 code) {
  if (child == &box) {
    if (code != SDialogMessage::kOk && code != SDialogMessage::kYes && code != SDialogMessage::kNo) return 0;
    CloseChild();
    const u32 state = boxState;
    boxState = 0;
    if (state == 1 && code == SDialogMessage::kYes) CreatePotion(true);
    SetFullRepaint();
    return 0;
  }
  switch (code) {
    case kListId:
      Click(0);
      UpdateHighlight();
      return 0;
    case kCreateId:
      Click(0);
      CreatePotion(false);
      return 0;
    case kCloseId: Click(1); return parent ? parent->OnCommand(code) : 0;
    default:
      if ((code >= kApparatusPreviousId && code <= kApparatusNextId) || (code >= 482 && code <= 491)) {
        Click(0);
        Step(code);
        SetFullRepaint();
      }
      return 0;
  }
}
