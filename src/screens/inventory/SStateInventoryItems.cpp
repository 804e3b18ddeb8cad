// The inventory's items page: the grid of the pack or of an open bag or chest, the equipment, the
// description panel, and what the buttons do to the selected item (equip, remove, use, read, drop, take).
#include "core/SGameCore.h"
#include "core/ui/SPlaceControls.h"
#include "core/ui/SRgb.h"
#include "foundation/TimeUtil.h"
#include "game/SStateGame.h"
#include "player/SPlayerItemChecks.h"
#include "screens/SStateInventory.h"
#include "screens/inventory/SInventoryPictures.h"
#include "world/SEffect.h"
#include "world/SItemTable.h"
#include "world/SSpell.h"

namespace {

// The grid by display mode: cell size, columns and rows, frame sides, cell-frame picture set (1 the small
// one, 2 the large one).
struct SGridGeometry {
  i32 mode, cellW, cellH, columns, rows;
  u32 sides, set;
};
constexpr SGridGeometry kGrids[] = {
    {2, 40, 44, 4, 5, 15, 1},  {3, 40, 40, 6, 4, 15, 2},  {4, 50, 50, 4, 5, 15, 2}, {5, 40, 40, 5, 2, 15, 1},
    {6, 40, 40, 3, 5, 15, 1},  {7, 40, 40, 5, 3, 15, 1},  {8, 40, 40, 5, 2, 15, 1}, {9, 60, 57, 5, 7, 5, 2},
    {10, 60, 57, 6, 4, 15, 2}, {11, 60, 57, 6, 3, 15, 2}, {14, 64, 57, 7, 7, 5, 2}, {15, 64, 60, 7, 8, 5, 2},
    {16, 40, 40, 6, 5, 15, 1},
};

const SGridGeometry& GridOf(i32 mode) {
  for (const SGridGeometry& g : kGrids)
    if (g.mode == mode) return g;
  return kGrids[2];  // the standard screens
}

bool IsShield(const SItemType& t) {
  return (t.itemClass == kItemHeavyArmor || t.itemClass == kItemLightArmor) && t.subtype == 1;
}
bool IsArmour(const SItemType& t) { return t.itemClass == kItemHeavyArmor || t.itemClass == kItemLightArmor; }
bool IsWeapon(const SItemType& t) { return t.itemClass == kItemWeapon; }
bool IsAmmunition(const SItemType& t) { return IsWeapon(t) && (t.subtype == 11 || t.subtype == 13); }
bool IsSpellbook(const SItemType& t) { return t.itemClass == kItemMagic && t.subtype == 2; }

}  // namespace

u32 SStateInventory::CategoryOfClass(u32 itemClass) {
  switch (itemClass) {
    case kItemWeapon: return 1;
    case kItemHeavyArmor:
    case kItemLightArmor: return 2;
    case kItemAccessory: return 3;
    case kItemBook: return 4;
    case kItemAlchemy:
    case kItemIngredient: return 5;
    case kItemPotion: return 6;
    case kItemMagic: return 7;
    default: return itemClass >= kItemMoney && itemClass <= kItemCard ? 8 : 0;
  }
}

SItemContainer* SStateInventory::ShownList() const {
  if (containerView && container) return container;
  return core ? &core->player.inventory : nullptr;
}

void SStateInventory::ItemName(const SItem& item, SString& out) const {
  out.Assign("");
  if (core) core->player.FormatItemName(item.type, 1, out);
}

bool SStateInventory::Threatened() const { return core && core->stateGame && core->stateGame->dangerCountdown != 0; }

// ---- building the page

void SStateInventory::BuildItemsPage(u32 frameStyle) {
  const i32 mode = core ? core->displayMode : 0;
  const bool compact = SGameCore::IsCompactMode(mode);
  for (u32 i = 0; i < 3; ++i)
    if (AddLayoutControl(&itemsFrames[i], kItemsFrameIds[i]))
      itemsFrames[i].SetFrame(InventoryPicture::Border(core, compact ? 'S' : 'L'), 0, 0, frameStyle);
  if (AddLayoutControl(&grid, kGridId)) {
    const SGridGeometry& g = GridOf(mode);
    grid.SetLayout(
        InventoryPicture::Set(core, InventoryPicture::kSelection),
        InventoryPicture::Set(core, g.set == 1 ? InventoryPicture::kGridCellsSmall : InventoryPicture::kGridCellsLarge),
        g.cellW, g.cellH, g.columns, g.rows, g.sides, 0, 0);
  } else {
    // Without its place the grid still holds the list the actions work on.
    grid.columns = grid.rows = 0;
  }
  if (AddLayoutControl(&equipment, kEquipId)) equipment.LayoutSlots();
  if (AddLayoutControl(&description, kDescriptionId))
    description.Setup(1, RgbWord(0xFFFFFF), RgbWord(0xC8C8C8), RgbWord(0x161616), 0, 4, 2, RgbWord(0xFF6464),
                      RgbWord(0x64C8C8));
  PlaceButton(*this, showDescription, kShowDescriptionId, InventoryPicture::kShowDescription);
  PlaceButton(*this, hideDescription, kHideDescriptionId, InventoryPicture::kHideDescription);
  PlaceButton(*this, descriptionPrev, kDescriptionPrevId, InventoryPicture::kDescriptionPrevious);
  PlaceButton(*this, descriptionNext, kDescriptionNextId, InventoryPicture::kDescriptionNext);
  PlaceButton(*this, gridPrev, kGridPrevId, InventoryPicture::kGridPrevious);
  PlaceButton(*this, gridNext, kGridNextId, InventoryPicture::kGridNext);
  PlaceButton(*this, takeButton, kTakeId, InventoryPicture::kTake);
  PlaceButton(*this, dropButton, kDropId, InventoryPicture::kDrop);
  if (PlaceButton(*this, useButton, kUseId, InventoryPicture::kUse)) useButton.Hide();
  for (u32 i = 0; i < kCategories; ++i)
    PlaceButton(*this, categoryButtons[i], u16(kFirstCategoryId + i), InventoryPicture::kCategories + 3 * i);
  if (core) core->SetupMessageBox("On left or right hand?", kLeftHand | kRightHand, &handText, &handBox, this);
  ApplyDescriptionView();
}

// ---- commands of the page

u32 SStateInventory::OnItemsCommand(u16 code) {
  switch (code) {
    case kGridId: OnGridTap(); return 0;
    case kTakeId: TakeSelected(); return 0;
    case kDropId: DropSelected(); return 0;
    case kEquipId:
      PlayClick(0);
      ShowEquippedItem();
      return 0;
    case kUseId:
      PlayClick(0);
      UseSelected();
      return 0;
    case kGridNextId:
    case kGridPrevId:
      if (code == kGridNextId) {
        grid.NextPage();
      } else {
        grid.PrevPage();
      }
      UpdatePageButtons();
      grid.MarkDirty();
      RefreshDescription();
      PlayClick(0);
      return 0;
    case kHideDescriptionId:
    case kShowDescriptionId:
      descriptionView = code == kShowDescriptionId ? 1 : 0;
      PlayClick(0);
      ApplyDescriptionView();
      RefreshDescription();
      return 0;
    case kDescriptionPrevId:
    case kDescriptionNextId: {
      PlayClick(0);
      const i32 last = i32(description.PageCount()) - 1;
      const i32 to = description.currentPage + (code == kDescriptionNextId ? 1 : -1);
      description.ShowPage(to < 0 ? 0 : to > last ? (last < 0 ? 0 : last) : to);
      UpdateDescriptionScroll();
      return 0;
    }
    default:
      if (code >= kFirstCategoryId && code < kFirstCategoryId + kCategories) {
        PlayClick(1);
        SelectCategory(code);
      }
      return 0;
  }
}

void SStateInventory::OnGridTap() {
  if (!grid.selectedSlot) return;
  if (!containerView && grid.equipAsked) {
    ToggleEquip();
    return;
  }
  const u32 now = GetTicks();
  const u32 since = now - lastTapTick;
  if (lastTapped >= 0 && grid.selected == lastTapped && since >= 1 && since <= kDoubleTapMs) {
    if (containerView) {
      TakeSelected();
    } else {
      UseSelected();
    }
    lastTapped = -1;
    return;
  }
  PlayClick(0);
  lastTapped = grid.selected;
  lastTapTick = now;
  RefreshDescription();
  if (!containerView && grid.useAsked && useButton.IsVisible()) UseSelected();
}

void SStateInventory::SelectCategory(u16 code) {
  category = code >= kFirstCategoryId && code < kFirstCategoryId + kCategories ? code - kFirstCategoryId : 0;
  RebuildItemGrid(false);
}

void SStateInventory::ShowEquippedItem() {
  SItem* item = core ? core->player.Equipped(u32(equipment.selected)) : nullptr;
  if (!item || !item->type) return;
  const u32 itemClass = item->type->itemClass;
  category = itemClass == kItemWeapon ? 1 : IsArmour(*item->type) ? 2 : itemClass == kItemAccessory ? 3 : 0;
  RebuildItemGrid(false);
  grid.SelectItem(item);
  RefreshDescription();
}

// ---- the grid, the buttons and the description

void SStateInventory::RebuildItemGrid(bool keepPlace) {
  const i32 oldSelected = grid.selected, oldFirst = grid.firstVisible;
  if (SItemContainer* list = ShownList()) {
    grid.SetItems(list->items, category, nullptr);
  } else {
    grid.slots.DeleteAll();
    grid.selected = -1;
    grid.selectedSlot = nullptr;
  }
  if (grid.SlotCount()) {
    if (keepPlace && oldSelected >= 0) {
      grid.firstVisible = oldFirst;
      grid.Select(oldSelected);
    } else {
      grid.Select(0);
    }
  }
  grid.MarkDirty();
  // What is worn may have changed with the pack: the doll shows it.
  equipment.MarkDirty();
  UpdatePageButtons();
  UpdateCategoryButtons();
  RefreshDescription();
  lastTapped = -1;
}

void SStateInventory::UpdatePageButtons() {
  gridPrev.Enable(grid.firstVisible > 0);
  gridNext.Enable(i32(grid.SlotCount()) > grid.firstVisible + grid.PageSize());
}

void SStateInventory::UpdateCategoryButtons() {
  bool present[kCategories] = {true};
  if (const SItemContainer* list = ShownList())
    for (const SItem* item : list->items)
      if (item && item->type) present[CategoryOfClass(item->type->itemClass)] = true;
  for (u32 i = 0; i < kCategories; ++i) {
    categoryButtons[i].Enable(i == 0 || present[i]);
    categoryButtons[i].SetLatched(i == category);
  }
  // Taking, dropping and the other view need a container.
  takeButton.Enable(container != nullptr);
  dropButton.Enable(container != nullptr);
  UpdateUseButton();
}

void SStateInventory::UpdateUseButton() {
  const SItemSlot* s = grid.selectedSlot;
  const SItemType* t = s ? s->type : nullptr;
  u32 picture = InventoryPicture::kNone;
  bool usable = false;
  if (t && !containerView) {
    if ((t->itemClass == kItemBook && t->subtype == 1) || IsSpellbook(*t)) {
      usable = true;
      picture = InventoryPicture::kUse;
    } else if (t->itemClass == kItemBook && (t->subtype == 2 || t->subtype == 3)) {
      usable = true;
      picture = InventoryPicture::kUseLetter;
    } else if (t->itemClass == kItemAlchemy) {
      usable = true;
      picture = InventoryPicture::kUseAlchemy;
    } else if (t->itemClass == kItemRepair) {
      usable = true;
      picture = InventoryPicture::kUseRepair;
    }
  }
  if (usable && useButton.IsInDialog()) {
    const u16 x = useButton.left, y = useButton.top, w = useButton.width, h = useButton.height;
    useButton.SetPicture(InventoryPicture::Set(core, picture), kUseId, 0);
    if (!useButton.width) useButton.SetRect(x, y, w, h);
    useButton.Show(true);
  } else if (useButton.IsShown()) {
    useButton.Hide();
  }
}

void SStateInventory::RefreshDescription() {
  const i32 mode = core ? core->displayMode : 0;
  const SItemSlot* s = grid.selectedSlot;
  if (!s || !s->type || !core) {
    description.SetText("", "", 0, 0);
  } else {
    SString title, body;
    s->type->GetDisplayName(core->world.rules, s->item, title, false);
    const bool showBody = descriptionView || mode == 9 || mode == 14 || mode == 15 || mode == 16;
    if (showBody) {
      const SPlayerItemChecks checks(core->player);
      s->type->Describe(core->world.rules, s->item, body, false, &checks);
    }
    SGameCore::ConvertNumberGlyphs(title);
    SGameCore::ConvertNumberGlyphs(body);
    const bool special = s->flags & SItemSlot::kTypeFlag4;
    const bool magical = !special && (s->flags & SItemSlot::kMagic);
    description.SetText(title.CStr(), body.CStr(), magical ? 1 : 0, special ? 1 : 0);
  }
  UpdateDescriptionScroll();
  UpdateUseButton();
  if (SGameCore::IsCompactMode(mode)) {
    showDescription.MarkDirty();
    hideDescription.MarkDirty();
  }
}

void SStateInventory::UpdateDescriptionScroll() {
  const i32 pages = i32(description.PageCount()), at = description.currentPage;
  const bool shown = (descriptionView || containerView) && (pages > 1 || at != 0);
  for (SButtonCtrl* b : {&descriptionPrev, &descriptionNext})
    if (shown && b->IsInDialog()) {
      b->Show(true);
    } else if (b->IsShown()) {
      b->Hide();
    }
  descriptionPrev.Enable(at > 0);
  descriptionNext.Enable(at + 1 < pages);
}

void SStateInventory::ApplyDescriptionView() {
  const i32 mode = core ? core->displayMode : 0;
  const SLayoutItem* panel = core ? core->GetLayoutItem(kItemsLayout, kDescriptionId) : nullptr;
  const SLayoutItem* doll = core ? core->GetLayoutItem(kItemsLayout, kEquipId) : nullptr;
  const bool wide = descriptionView || containerView;
  const bool smallPanel = mode == 5 || mode == 7 || mode == 8;
  if (panel && description.IsInDialog()) {
    description.SetRect(panel->x, panel->y, panel->w, panel->h);
    // The panel grows upward over the doll's column, from the doll's top to its own bottom (the layouts put
    // it under the doll).
    if (wide && doll && !smallPanel && mode != 16 && doll->y < panel->y + panel->h)
      description.SetRect(panel->x, doll->y, panel->w, u16(panel->y + panel->h - doll->y));
    description.Show(!(smallPanel && !wide));
  }
  if (equipment.IsInDialog()) equipment.Show(!wide || mode == 16);
  if (showDescription.IsInDialog()) showDescription.Show(!wide);
  if (hideDescription.IsInDialog()) hideDescription.Show(wide);
  SetFullRepaint();
}

void SStateInventory::ShowTimedMessage(const char* text) {
  description.SetText(text, "", 0, 0);
  description.MarkDirty();
  statusTimer = 1;
  statusDeadline = GetTicks() + kTimedMessageMs;
}

void SStateInventory::RefusalMessage(const char* text, bool rebuild) {
  if (rebuild) RebuildItemGrid(true);
  ShowTimedMessage(text);
  PlayClick(0);
}

// ---- equipping

void SStateInventory::ToggleEquip() {
  SItemSlot* s = grid.selectedSlot;
  if (!s || !s->item || !s->type || !core || (s->flags & SItemSlot::kUnusable)) return;
  SItem* item = s->item;
  const SItemType& t = *s->type;
  SPlayer& player = core->player;
  const bool weapon = IsWeapon(t), shield = IsShield(t);
  const char* verb = "wield";
  const char* past = "wielded";
  if (t.itemClass == kItemAccessory || (IsArmour(t) && !shield)) {
    verb = "equip";
    past = "equipped";
  } else if (IsAmmunition(t)) {
    verb = "select";
    past = "selected";
  }
  SString message;
  if (Threatened() && !weapon && !shield) {
    RefusalMessage(
        "You cannot equip or remove anything (except weapons and shields) when there might be immediate "
        "threat.",
        true);
    return;
  }
  if (s->flags & SItemSlot::kTypeFlag10) {
    message.Format("You cannot %s this item.", verb);
    RefusalMessage(message.CStr(), true);
    return;
  }
  if (((weapon && !t.IsMissile()) || IsArmour(t)) && t.ConditionPercent(*item) < 10) {
    message.Format("This item is broken - you cannot %s it.", verb);
    RefusalMessage(message.CStr(), false);
    return;
  }
  SString name;
  if (s->flags & SItemSlot::kEquipped) {
    player.UnequipItem(item);
    ItemName(*item, name);
    message.Format("%s%s.", descriptionView ? "You have removed " : "Removed: ", name.CStr());
  } else {
    bool secondHand = false;
    if (weapon && t.subtype == 1) {
      if (const SItem* right = player.Equipped(5)) {
        if (player.Equipped(6)) {
          PlayClick(0);
          OpenPageChild(kHandPage, &handBox);
          return;
        }
        const bool bow =
            right->type && IsWeapon(*right->type) && (right->type->subtype == 9 || right->type->subtype == 10);
        secondHand = !bow;
      }
    } else if (weapon && (t.subtype == 9 || t.subtype == 10)) {
      if (SItem* leftHand = player.Equipped(6)) player.UnequipItem(leftHand);
    } else if (shield) {
      SItem* right = player.Equipped(5);
      if (right && right->type && IsWeapon(*right->type) && right->type->subtype == 9) player.UnequipItem(right);
      secondHand = true;
    } else if (t.itemClass == kItemAccessory && t.subtype == 2 && player.Equipped(8)) {
      if (player.Equipped(9)) {
        PlayClick(0);
        OpenPageChild(kHandPage, &handBox);
        return;
      }
      secondHand = true;
    }
    player.EquipItem(item, secondHand);
    if (descriptionView) {
      ItemName(*item, name);
      message.Format("You have %s %s.", past, name.CStr());
    } else {
      t.GetDisplayName(core->world.rules, item, name, false);
      SString capital(past);
      capital.SetCharAt(0, char(past[0] - 'a' + 'A'));
      message.Format("%s: %s.", capital.CStr(), name.CStr());
    }
  }
  SGameCore::ConvertNumberGlyphs(message);
  RebuildItemGrid(true);
  ShowTimedMessage(message.CStr());
  PlaySoundByName("bsnd_wear");
}

void SStateInventory::WieldInHand(u32 secondHand) {
  SItemSlot* s = grid.selectedSlot;
  if (!s || !s->item || !core) return;
  core->player.EquipItem(s->item, secondHand != 0);
  SString name, message;
  ItemName(*s->item, name);
  message.Format("You have wielded %s in your %s hand.", name.CStr(), secondHand ? "left" : "right");
  SGameCore::ConvertNumberGlyphs(message);
  RebuildItemGrid(true);
  ShowTimedMessage(message.CStr());
  PlaySoundByName("bsnd_wear");
}

u32 SStateInventory::OnHandChosen(u16 code) {
  if (code == kLeftHand || code == kRightHand) WieldInHand(code == kLeftHand ? 1 : 0);
  ClosePageChild(kItemsPage);
  return 0;
}

// ---- using and reading

void SStateInventory::UseSelected() {
  SItemSlot* s = grid.selectedSlot;
  if (containerView) {
    UpdateUseButton();
    return;
  }
  if (!s || !s->item || !s->type || !core) return;
  SItem* item = s->item;
  const SItemType& t = *s->type;
  const bool unusable = s->flags & SItemSlot::kTypeFlag10;
  const bool threat = Threatened();
  SString message;
  switch (t.itemClass) {
    case kItemBook: {
      if (threat) {
        const char* what = t.subtype == 1   ? "read books"
                           : t.subtype == 2 ? "read letters"
                           : t.subtype == 3 ? "examine maps"
                                            : "read anything";
        message.Format("You cannot %s when there might be immediate threat.", what);
        RefusalMessage(message.CStr(), false);
        return;
      }
      if (unusable) {
        message.Format("You cannot read this %s", t.subtype == 1 ? "book." : t.subtype == 3 ? "map." : "letter.");
        RebuildItemGrid(true);
        ShowTimedMessage(message.CStr());
        return;
      }
      if (t.subtype < 1 || t.subtype > 3) return;
      OpenReading(t);
      if (t.subtype == 1) ReadBook(*item);
      return;
    }
    case kItemAlchemy:
      if (threat) return RefusalMessage("You cannot mix potions when there might be immediate threat.", false);
      if (unusable) {
        RebuildItemGrid(true);
        return ShowTimedMessage("You cannot use this item.");
      }
      alchemy.Open(item);
      OpenPageChild(kAlchemyPage, &alchemy);
      return;
    case kItemIngredient:
      if (unusable) ShowTimedMessage("You cannot eat this ingredient.");
      return;
    case kItemPotion:
      if (unusable) ShowTimedMessage("You cannot quaff this potion.");
      return;
    case kItemMagic:
      if (!IsSpellbook(t)) return;
      if (threat) return RefusalMessage("You cannot read spellbooks when there might be immediate threat.", false);
      if (unusable) return ShowTimedMessage("You cannot read this spellbook.");
      OpenReading(t);
      ReadSpellbook(*item);
      return;
    case kItemRepair:
      if (threat) return RefusalMessage("You cannot repair items when there might be immediate threat.", false);
      if (unusable) return ShowTimedMessage("You cannot use this item.");
      repair.Open(item);
      OpenPageChild(kRepairPage, &repair);
      return;
    default: return;
  }
}

void SStateInventory::OpenReading(const SItemType& t) {
  u32 kind = SDialogItemRead::kBook;
  if (IsSpellbook(t)) {
    kind = SDialogItemRead::kSpellbook;
  } else if (t.itemClass == kItemBook && (t.subtype == 2 || t.subtype == 3)) {
    kind = SDialogItemRead::kLetter;
  }
  SString title;
  if (kind != SDialogItemRead::kLetter && core) t.GetDisplayName(core->world.rules, nullptr, title, false);
  reading.Open(kind);
  OpenPageChild(kReadingPage, &reading);
  reading.SetText(title.CStr() ? title.CStr() : "", t.text4 ? t.text4 : "");
}

void SStateInventory::ReadBook(SItem& item) {
  SPlayer& player = core->player;
  const SItemType& t = *item.type;
  const char* key = t.name.Text();
  const SEffect* first = t.enchantment && t.enchantment->Count() ? t.enchantment->Entry(0) : nullptr;
  if (!first || player.HasReadItem(key)) {
    // Nothing (more) to learn: the book only counts as read.
    if (!player.HasReadItem(key)) player.AddReadItemName(key);
    return;
  }
  const SSkillTable& skills = core->world.rules.skills;
  const u32 skill = first->name ? skills.FindByName(first->name) : 0;
  const i32 amount = first->base;
  SString message;
  if (skill < 1 || skill > kPlayerSkills) {
    // The book names no skill the player has: there is nothing to learn from it.
    player.AddReadItemName(key);
    message = "You can't learn from this book.";
  } else if (player.CanRaiseSkill(skill)) {
    player.AddReadItemName(key);
    const i32 raised = i32(player.skills[skill]) + amount;
    player.skills[skill] = u16(raised < 0 ? 0 : raised > 0xFFFF ? 0xFFFF : raised);
    const char* skillName = skills.FullName(skill);
    if (amount >= 0) {
      message.Format("Your %s skill has been increased by %u.", skillName ? skillName : "", u32(amount));
    } else {
      message.Format("Your %s skill has been decreased by %u.", skillName ? skillName : "", u32(-amount));
    }
  } else if (player.race == kUndeadRace && skill == 8) {
    message = "You can't learn Heal Magic, because you're undead.";
  } else if (player.race != kUndeadRace && skill == 12) {
    message = "You can't learn Undead Magic, because you aren't undead.";
  } else {
    const char* attribute = core->world.rules.attributes.Name(skills.Attribute(skill));
    const char* skillName = skills.FullName(skill);
    message.Format(
        "You can't learn from this book.\rYour %s skill cannot be higher than the double of its governing "
        "attribute (%s).",
        skillName ? skillName : "", attribute ? attribute : "");
  }
  reading.ShowMessage(message.CStr());
}

void SStateInventory::ReadSpellbook(SItem& item) {
  SPlayer& player = core->player;
  const SItemType& t = *item.type;
  const char* key = t.name.Text();
  const SEffect* first = t.enchantment && t.enchantment->Count() ? t.enchantment->Entry(0) : nullptr;
  if (!first || player.HasReadItem(key)) return;
  player.AddReadItemName(key);
  const SSpell* spell = first->name ? core->world.rules.spells.FindByName(first->name) : nullptr;
  if (!spell) return;
  SString message;
  if (player.CanLearnSpellRecord(spell)) {
    if (player.KnowsSpellRecord(spell)) {
      message = "You already know this spell.";
    } else {
      message.Format("You learn the %s spell.", spell->DisplayName());
      player.LearnSpell(spell->name.Text(), false);
    }
  } else if (player.race == kUndeadRace && spell->school == 1) {
    message = "You can't learn Heal Magic spells, because you're undead.";
  } else {
    message = "You can't learn Undead Magic spells, because you aren't undead.";
  }
  reading.ShowMessage(message.CStr());
}

u32 SStateInventory::OnChildClosed() {
  ClosePageChild(kItemsPage);
  RebuildItemGrid(true);
  return 0;
}

// ---- dropping and taking

void SStateInventory::AfterTransfer(const char* message, const char* sound) {
  // The grid is made again from its list: a stack's other items may lie anywhere in it, and an item
  // that left the list must leave every slot with it.
  PlaySoundByName(sound);
  SString text(message);
  SGameCore::ConvertNumberGlyphs(text);
  RebuildItemGrid(true);
  ShowTimedMessage(text.CStr());
  SetGoldPackText();
}

void SStateInventory::DropSelected() {
  if (!container || !core) return;
  if (containerView) {
    containerView = 0;
    ApplyDescriptionView();
    RebuildItemGrid(false);
    PlayClick(1);
    return;
  }
  SItemSlot* s = grid.selectedSlot;
  if (!s || !s->item) return;
  SItem* item = s->item;
  core->player.UnequipAndRemoveItem(item);
  if (!container->AddItem(item)) {
    // The bag cannot grow: the item stays in the pack.
    core->player.ReceiveItem(item);
    return;
  }
  SString name, message;
  ItemName(*item, name);
  message.Format("You have dropped %s.", name.CStr());
  AfterTransfer(message.CStr(), "bsnd_drop");
}

void SStateInventory::TakeSelected() {
  if (!container || !core) return;
  if (!containerView) {
    containerView = 1;
    ApplyDescriptionView();
    RebuildItemGrid(false);
    PlayClick(1);
    return;
  }
  SItemSlot* s = grid.selectedSlot;
  if (!s || !s->item || !s->item->type) return;
  SItem* item = s->item;
  container->RemoveItem(item);
  SPlayer& player = core->player;
  SString message;
  if (item->type->itemClass == kItemMoney) {
    const u32 value = item->type->value;
    const u64 purse = u64(player.money) + value;
    player.money = u32(purse > kMoneyCap ? kMoneyCap : purse);
    message.Format("You have taken %u gold.", value);
    delete item;
    AfterTransfer(message.CStr(), "bsnd_money");
    return;
  }
  SString name;
  ItemName(*item, name);
  message.Format("You have taken %s.", name.CStr());
  player.ReceiveItem(item);
  AfterTransfer(message.CStr(), "bsnd_pickup");
}
