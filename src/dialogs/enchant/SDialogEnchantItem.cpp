#include "dialogs/enchant/SDialogEnchantItem.h"

#include "core/SGameCore.h"
#include "core/ui/SPlaceControls.h"
#include "core/ui/SRgb.h"
#include "dialogs/enchant/SEnchantRules.h"
#include "world/SEffect.h"
#include "world/SItem.h"
#include "world/SItemTable.h"
#include "world/SPeopleTables.h"
#include "world/SSpell.h"

namespace {
bool HasEntries(const SEffectList* list) { return list && list->Count(); }
bool OwnEntries(const SItem& item) { return HasEntries(item.enchantments); }
bool TypeEntries(const SItem& item) { return item.type && HasEntries(item.type->enchantment); }
}  // namespace

void SDialogEnchantItem::Attach(SGameCore* gameCore) {
  SDialog::Attach(gameCore);
  SCtrl* const all[] = {&frame,  &frame2,   &title,  &itemsLabel, &storageText, &items,
                        &pageUp, &pageDown, &choose, &close,      &description};
  for (SCtrl* c : all) c->Attach(this);
  enchant.Attach(gameCore);
  recharge.Attach(gameCore);
  box.Attach(gameCore);
  boxText.Attach(&box);
}

bool SDialogEnchantItem::Lists(const SItem& item, bool rechargeOnly) {
  if (!item.type) return false;
  const bool own = OwnEntries(item), typed = TypeEntries(item);
  if (!rechargeOnly && !own && !typed && item.type->enchantCapacity > 0) return true;
  if (!own && !typed) return false;
  const SEffect* first = Enchanting::FirstEntry(item);
  return Enchanting::IsWand(item.type) && first && i32(item.count) < first->base;
}

void SDialogEnchantItem::Open(const SNpc* enchanter, u32 storage, u32 rechargeFlag) {
  person = enchanter;
  storageValue = storage;
  rechargeMode = rechargeFlag ? 1 : 0;
  subMode = kList;
  const u64 limit = person ? u64(person->params[2]) * 3 : u64(storage) * 3;
  storageLimit = limit > 0x7FFFFFFF ? 0x7FFFFFFF : u32(limit);

  using namespace Enchanting;
  LayOut(this, kLayout);
  PlaceFrame(this, frame, kFrameId, true);
  PlaceFrame(this, frame2, kFrame2Id, false);
  PlaceTitle(this, title, kTitleId,
             rechargeMode ? "Select the item to be recharged" : "Select the item to be enchanted");
  PlaceLabel(this, itemsLabel, kItemsLabel, "Items:");
  PlaceList(this, items, kItems);
  PlaceButton(*this, pageUp, kPageUp, 135);
  PlaceButton(*this, pageDown, kPageDown, 137);
  if (AddLayoutControl(&description, kDescription))
    description.Setup(1, RgbWord(0xFFFFFF), RgbWord(0xC8C8C8), RgbWord(0x161616), 0, 2, 0, RgbWord(0xFFFFFF),
                      RgbWord(0xFFFFFF));
  PlaceLabel(this, storageText, kStorageText, "");
  PlaceButton(*this, choose, kChoose, 145);
  PlaceButton(*this, close, kClose, 143);

  SString sentence;
  if (person) {
    const char* name = person->texts[0] ? person->texts[0] : person->name.Text();
    sentence.Format("%s can enchant items up to %u storage.", name ? name : "", storageLimit);
  } else if (!rechargeMode) {
    sentence.Format("You can enchant items up to %u storage.", storageLimit);
  }
  storageText.SetText(sentence.CStr());
  items.selected = -1;
  FillItems(false);
  DescribeItem();
  ResetInputGuard();
}

void SDialogEnchantItem::FillItems(bool keepSelection) {
  const i32 previous = keepSelection ? items.selected : -1;
  items.Clear();
  if (core) {
    SPlayer& player = core->player;
    SWorldRules& rules = core->world.rules;
    SString text;
    for (u32 i = 0; i < player.inventory.GetItemCount(); ++i) {
      const SItem* item = player.inventory.GetItem(i32(i));
      if (!item || !Lists(*item, rechargeMode != 0)) continue;
      if (!OwnEntries(*item) && !TypeEntries(*item))
        text.Assign(item->type->text3 ? item->type->text3 : item->type->name.Text());
      else
        item->type->GetDisplayName(rules, item, text, false);
      items.AddRow(i, text.CStr());
    }
  }
  items.rowsPerPage = items.rowHeight >= 1 ? items.height / items.rowHeight : 1;
  items.firstRow = 0;
  // A selection past the end moves to the last row; none stays none.
  items.Select(previous);
  UpdatePaging();
}

void SDialogEnchantItem::UpdatePaging() {
  pageUp.Enable(items.firstRow > 0);
  pageDown.Enable(items.firstRow + items.PageSize() < i32(items.RowCount()));
}

SItem* SDialogEnchantItem::SelectedItem() const {
  const SListRow* row = items.SelectedRow();
  return row && core ? core->player.inventory.GetItem(i32(row->code)) : nullptr;
}

void SDialogEnchantItem::DescribeItem() {
  const SItem* item = SelectedItem();
  if (!item || !core) {
    description.SetText("", "", 0, 0);
    return;
  }
  SString name, body;
  item->type->GetDisplayName(core->world.rules, item, name, false);
  const SEffect* first = Enchanting::FirstEntry(*item);
  if (Enchanting::IsWand(item->type) && first) {
    if (i32(item->count) < first->base) body.Format(" (%u/%u charges)", u32(item->count), u32(first->base));
  } else {
    body.Format("Enchant storage: %u\r\r", u32(item->type->enchantCapacity));
  }
  description.SetText(name.CStr(), body.CStr(), 0, 0);
}

void SDialogEnchantItem::ShowMessage(const char* text, u32 mode) {
  if (!core) return;
  core->ShowMessageBox(text, SDialogMessage::kOk, &boxText, &box, this);
  subMode = mode;
}

void SDialogEnchantItem::RecalculateEquipment() {
  if (core) core->player.RecalculateEquipment();
}

void SDialogEnchantItem::UseSelected() {
  SItem* item = SelectedItem();
  if (!item || !core) return;
  const bool own = OwnEntries(*item), typed = TypeEntries(*item);
  if (Enchanting::IsWand(item->type) && (own || typed)) {
    if (person) {
      recharge.Open(person, item);
      OpenChild(&recharge);
      subMode = kChild;
      return;
    }
    const SEffect* first = Enchanting::FirstEntry(*item);
    const SSpell* spell = first ? core->world.rules.spells.FindByName(first->name) : nullptr;
    if (spell && !spell->PreventsWandRecharge()) {
      item->type->ResetCharges(*item);
      ShowMessage("The wand has been recharged.", kSelfRecharge);
    } else {
      ShowMessage("The wand cannot be recharged", kSelfRecharge);
    }
    return;
  }
  if (item->type->itemClass == kItemMagic && !own && !typed && !core->player.KnowsAnySpell()) {
    ShowMessage("You don't know any spells - this item cannot be enchanted.", kRefusal);
    return;
  }
  enchant.Open(person, item, i32(storageLimit));
  OpenChild(&enchant);
  subMode = kChild;
}

u32 SDialogEnchantItem::OnCommand(u16 code) {
  switch (subMode) {
    case kChild:
      CloseChild();
      subMode = kList;
      RecalculateEquipment();
      SetFullRepaint();
      if (!person) return HandOn(kClose);
      FillItems(true);
      DescribeItem();
      // The enchanting dialog was larger than the picker that stays: the screen beneath paints again, and
      // the picker over it, so that nothing of the closed dialog is left around the picker.
      if (parent) {
        parent->SetFullRepaint();
        parent->Paint();
      }
      return 0;
    case kRefusal:
      CloseChild();
      subMode = kList;
      SetFullRepaint();
      return 0;
    case kSelfRecharge:
      CloseChild();
      subMode = kList;
      RecalculateEquipment();
      return HandOn(kClose);
    default: break;
  }
  switch (code) {
    case kItems:
      Enchanting::Click(core, 0);
      DescribeItem();
      UpdatePaging();
      return 0;
    case kPageUp:
    case kPageDown:
      Enchanting::Click(core, 0);
      if (code == kPageUp ? items.PageUp() : items.PageDown()) DescribeItem();
      UpdatePaging();
      return 0;
    case kChoose:
      Enchanting::Click(core, 1);
      UseSelected();
      return 0;
    case kCancel:
    case kClose:
      Enchanting::Click(core, 1);
      RecalculateEquipment();
      return HandOn(code);
    default: return 0;
  }
}
