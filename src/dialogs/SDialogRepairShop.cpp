#include "dialogs/SDialogRepairShop.h"

#include "core/SGameCore.h"
#include "core/ui/SRgb.h"
#include "player/SPlayer.h"
#include "screens/SServicePrices.h"
#include "world/SItem.h"
#include "world/SItemTable.h"

#include <new>

namespace {
constexpr char kCoin = 9;
constexpr u32 kTextColour = RgbWord(0xC8C8C8), kEdgeColour = RgbWord(0x161616);
}  // namespace

void SDialogRepairShop::Attach(SGameCore* gameCore) {
  SDialog::Attach(gameCore);
  SCtrl* const all[] = {&frame, &goldFrame, &title, &prompt, &gold, &list, &pageUp, &pageDown, &repair, &close};
  for (SCtrl* c : all) c->Attach(this);
}

void SDialogRepairShop::Open(i32 factor) {
  ClearControls();
  SetLayout(kLayout);
  CenterOnScreen();
  SetBackgroundPicture(core ? core->Picture(0) : nullptr);
  AddFrame(frame, kFrameId, true);
  AddText(title, kTitleId, "Repair", STextCtrl::kCentred | STextCtrl::kMiddle, RgbWord(0xFFFFFF), kEdgeColour);
  if (AddLayoutControl(&goldFrame, kGoldFrameId)) goldFrame.SetFrame(SmallFrameSet(), 0, 0, 143);
  AddText(gold, kGoldId, "", STextCtrl::kCentred | STextCtrl::kMiddle, kTextColour, kEdgeColour);
  AddText(prompt, kPromptId, "Select the item to be repaired:", STextCtrl::kLeft, kTextColour, kEdgeColour);
  if (AddList(list, kListId, kTextColour, 0)) list.SetRightColumn(80);
  AddPictureButton(pageUp, kPageUp, kPageUpSlot);
  AddPictureButton(pageDown, kPageDown, kPageDownSlot);
  if (AddPictureButton(repair, kRepair, kConfirmSlot)) repair.hotKey = 3006;
  if (AddPictureButton(close, kClose, kCloseSlot)) close.hotKey = 3007;
  priceFactor = factor;
  BuildEntries();
  FillItemList(-1);
  SetGoldText();
  ResetInputGuard();
}

void SDialogRepairShop::BuildEntries() {
  entries.DeleteAll();
  if (!core) return;
  for (SItem* item : core->player.inventory.items) {
    SItemType* type = item ? item->type : nullptr;
    if (!type) continue;
    const bool weapon = type->itemClass == kItemWeapon && !type->IsMissile();
    const bool armour = type->itemClass == kItemHeavyArmor || type->itemClass == kItemLightArmor;
    if (!(weapon || armour) || item->count >= type->maxCondition) continue;
    auto* entry = new (std::nothrow) Entry{type, item};
    if (entry && !entries.Add(entry)) delete entry;
  }
}

u32 SDialogRepairShop::PriceOf(const Entry& entry) {
  if (!entry.type || !entry.item) return 0;
  const i64 missing = i64(entry.type->maxCondition) - i64(entry.item->count);
  i64 base = missing * priceFactor / 100;
  if (base == 0) base = 1;
  const u32 price = ServicePrices::Clamp(base);
  return core ? ServicePrices::Clamp(core->player.AdjustPrice(price, true)) : price;
}

void SDialogRepairShop::FillItemList(i32 index) {
  list.Clear();
  SString key, price, name;
  for (u32 i = 0; i < entries.Count(); ++i) {
    key.Format("%u", i);
    price.Format("%u%c", PriceOf(*entries[i32(i)]), kCoin);
    name.Assign("");
    if (core) entries[i32(i)]->type->GetDisplayName(core->world.rules, entries[i32(i)]->item, name, false);
    list.AddRowWithRightText(key.CStr(), name.CStr() ? name.CStr() : "", price.CStr());
  }
  list.ResetView(false);
  if (index != -1) list.Select(index);
  UpdatePageButtons(list, pageUp, pageDown);
  SetFullRepaint();
}

void SDialogRepairShop::SetGoldText() {
  SString amount, text;
  ServicePrices::FormatGold(core ? core->player.GetMoney() : 0, amount);
  text.Format("Player gold:\r%s%c", amount.CStr(), kCoin);
  SGameCore::ConvertNumberGlyphs(text);
  gold.SetText(text.CStr());
  gold.MarkDirty();
}

void SDialogRepairShop::RepairSelected() {
  const i32 at = list.selected;
  const Entry* entry = entries.At(at);
  if (at < 0 || !entry || !core) return;
  const u32 price = PriceOf(*entry);
  if (!core->player.HasMoney(price)) return;
  PlayNamed("bsnd_repairok");
  entry->type->Repair(*entry->item);
  ServicePrices::Pay(core->player, price);
  delete entries.RemoveAt(at);
  FillItemList(at);
  SetGoldText();
}

u32 SDialogRepairShop::OnCommand(u16 code) {
  switch (code) {
    case kListId:
      Click(0);
      UpdatePageButtons(list, pageUp, pageDown);
      return 0;
    case kRepair: RepairSelected(); return 0;
    case kClose: Click(1); return parent ? parent->OnCommand(code) : code;
    case kPageUp:
    case kPageDown:
      Click(0);
      Page(list, code == kPageDown, pageUp, pageDown);
      return 0;
    default: return 0;
  }
}
