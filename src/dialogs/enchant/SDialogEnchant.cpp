#include "dialogs/enchant/SDialogEnchant.h"

#include "core/SGameCore.h"
#include "core/ui/SPlaceControls.h"
#include "dialogs/enchant/SEnchantRules.h"
#include "world/SEffect.h"
#include "world/SItem.h"
#include "world/SItemTable.h"

#include <new>

namespace {
constexpr u8 kFortifyHp = 5, kFortifyUnholy = 8;

i32 Clamp32(i64 v) { return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : i32(v); }
}  // namespace

SDialogEnchant::~SDialogEnchant() { DropEntries(); }

void SDialogEnchant::Attach(SGameCore* gameCore) {
  SDialog::Attach(gameCore);
  SCtrl* const all[] = {&frame,       &frame2,     &frame3,    &title,     &itemLabel, &itemName,     &storageLabel,
                        &storageText, &priceLabel, &priceText, &goldLabel, &goldText,  &entriesLabel, &list,
                        &add,         &modify,     &remove,    &ok,        &cancel};
  for (SCtrl* c : all) c->Attach(this);
  wandEditor.Attach(gameCore);
  otherEditor.Attach(gameCore);
  box.Attach(gameCore);
  boxText.Attach(&box);
}

void SDialogEnchant::DropEntries() {
  delete entries;
  entries = nullptr;
  delete edited;
  edited = nullptr;
}

void SDialogEnchant::Open(const SNpc* enchanter, SItem* target, i32 storageLimit) {
  DropEntries();
  person = enchanter;
  item = target;
  itemKind = item && item->type ? item->type->GetEnchantKind() : 0;
  entries = new (std::nothrow) SEffectList;
  const i32 own = item && item->type ? i32(item->type->enchantCapacity) : 0;
  capacity = storageLimit < own ? storageLimit : own;
  available = capacity;
  price = 0;
  subMode = kMain;
  list.selected = -1;

  using namespace Enchanting;
  LayOut(this, kLayout);
  PlaceFrame(this, frame, kFrameId, true);
  PlaceFrame(this, frame2, kFrame2Id, false);
  PlaceFrame(this, frame3, kFrame3Id, false);
  PlaceTitle(this, title, kTitleId, "Enchant");
  PlaceLabel(this, itemLabel, kItemLabel, "Item:");
  PlaceValue(this, itemName, kItemName);
  PlaceLabel(this, storageLabel, kStorageLabel, "Available enchant storage:");
  PlaceValue(this, storageText, kStorageText);
  PlaceLabel(this, priceLabel, kPriceLabel, "Price:");
  PlaceValue(this, priceText, kPriceText);
  PlaceLabel(this, goldLabel, kGoldLabel, "Your gold:");
  PlaceValue(this, goldText, kGoldText);
  PlaceLabel(this, entriesLabel, kEntriesLabel, "Enchantments:");
  PlaceList(this, list, kEntries);
  PlaceTextButton(this, add, kAdd, "Add");
  PlaceTextButton(this, modify, kModify, "Modify");
  PlaceTextButton(this, remove, kRemove, "Remove");
  PlaceButton(*this, ok, kOk, 145);
  PlaceButton(*this, cancel, kCancel, 143);
  // The player enchanting alone pays nothing.
  SCtrl* const money[] = {&priceLabel, &priceText, &goldLabel, &goldText};
  for (SCtrl* c : money) c->Show(person != nullptr);

  SString name;
  if (item && item->type) name.Assign(item->type->text3 ? item->type->text3 : item->type->name.Text());
  itemName.SetText(name.CStr());
  RebuildEntryList();
  UpdatePrice();
  ResetInputGuard();
}

void SDialogEnchant::UpdatePrice() {
  if (!core || !entries) return;
  i32 base = 0;
  entries->GetEnchantCost(core->world.rules, itemKind, storageNeed, base);
  entries->worth = base < 0 ? 0 : u32(base);
  price = person ? Enchanting::ScalePrice(base, Enchanting::PriceFactor(core, person)) : entries->worth;
  available = Clamp32(i64(capacity) - storageNeed);

  SString text, amount;
  text.Format("%d/%d", available, capacity);
  SGameCore::ConvertNumberGlyphs(text);
  storageText.SetText(text.CStr());
  Enchanting::FormatMoney(price, amount);
  text.Format("%s%c", amount.CStr(), Enchanting::kCoin);
  SGameCore::ConvertNumberGlyphs(text);
  priceText.SetText(text.CStr());
  Enchanting::FormatMoney(core->player.money, amount);
  text.Format("%s%c", amount.CStr(), Enchanting::kCoin);
  SGameCore::ConvertNumberGlyphs(text);
  goldText.SetText(text.CStr());
}

void SDialogEnchant::RebuildEntryList() {
  const i32 keep = list.selected;
  list.Clear();
  if (core && entries) {
    const i32 mode = core->displayMode;
    const bool shortForm = SGameCore::IsCompactMode(mode);
    const bool shortest = mode == 5 || mode == 8;
    SString text;
    for (u32 i = 0; i < entries->Count(); ++i) {
      const SEffect* e = entries->Entry(i32(i));
      e->Describe(core->world.rules, itemKind, e->base, text, shortForm, shortest);
      list.AddRow(i, text.CStr());
    }
  }
  list.rowsPerPage = list.rowHeight >= 1 ? list.height / list.rowHeight : 1;
  list.firstRow = 0;
  const i32 count = i32(list.RowCount());
  list.Select(count == 0 ? -1 : keep < 0 || keep >= count ? 0 : keep);
  SetFullRepaint();
}

u32 SDialogEnchant::Refuse(const char* text) {
  if (!core) return 0;
  core->ShowMessageBox(text, SDialogMessage::kOk, &boxText, &box, this);
  subMode = kRefusal;
  return 0;
}

void SDialogEnchant::AddEntry() {
  if (!entries) return;
  if ((itemKind == 10 || itemKind == 11) && entries->Count()) {
    Refuse(itemKind == 10 ? "A wand cannot contain more than one spell."
                          : "A scroll cannot contain more thane one spell.");
    return;
  }
  const bool wandOrScroll = itemKind == 10 || itemKind == 11;
  const bool other =
      itemKind == 2 || itemKind == 3 || itemKind == 4 || itemKind == 14 || itemKind == 15 || itemKind == 16;
  // The other kinds have no editor: nothing can be added to them.
  if (!wandOrScroll && !other) return;
  edited = new (std::nothrow) SEffect(itemKind);
  if (!edited) return;
  editedIsNew = true;
  editedIndex = 0;
  OpenEditor();
}

void SDialogEnchant::OpenEditor() {
  if (itemKind == 10 || itemKind == 11) {
    wandEditor.Open(edited, available, person, itemKind == 11);
    OpenChild(&wandEditor);
  } else {
    otherEditor.Open(edited, available, person, itemKind);
    OpenChild(&otherEditor);
  }
  subMode = kEditing;
}

void SDialogEnchant::ModifyEntry() {
  if (!entries || list.selected < 0 || list.selected >= i32(entries->Count())) return;
  editedIndex = list.selected;
  edited = entries->entries.RemoveAt(editedIndex);
  if (!edited) return;
  editedIsNew = false;
  // The editor sees the storage the entry may use.
  UpdatePrice();
  OpenEditor();
}

void SDialogEnchant::RemoveEntry() {
  if (!entries || list.selected < 0 || list.selected >= i32(entries->Count())) return;
  entries->Remove(entries->Entry(list.selected));
  RebuildEntryList();
  UpdatePrice();
}

void SDialogEnchant::CloseEditor(bool kept) {
  CloseChild();
  subMode = kMain;
  if (edited && entries) {
    const SEffect* copy = itemKind == 10 || itemKind == 11 ? wandEditor.edited : otherEditor.edited;
    if (kept && copy) {
      edited->SetName(copy->name);
      edited->base = copy->base;
      edited->perLevel = copy->perLevel;
      edited->duration = copy->duration;
      edited->durationPerLevel = copy->durationPerLevel;
      edited->radius = copy->radius;
      edited->sub = copy->sub;
      edited->mode = copy->mode;
      edited->kind = copy->kind;
    }
    bool placed = false;
    if (!editedIsNew)
      placed = entries->InsertAt(edited, editedIndex);
    else if (kept)
      placed = entries->Add(edited);
    if (placed) {
      if (kept && editedIsNew) list.selected = i32(entries->Count()) - 1;
    } else {
      delete edited;
    }
  }
  edited = nullptr;
  RebuildEntryList();
  UpdatePrice();
}

u32 SDialogEnchant::Commit() {
  if (!core || !item || !entries || !entries->Count()) {
    // Nothing to store: the item stays as it was.
    DropEntries();
    return HandOn(kOk);
  }
  if (person && i64(price) > i64(core->player.money)) return Refuse("You don't have enough gold.");
  if (available < 0) return Refuse("There isn't enough available storage for this enchantment.");
  bool hp = false, unholy = false;
  for (const SEffect* e : entries->entries) {
    hp |= e->kind == kFortifyHp;
    unholy |= e->kind == kFortifyUnholy;
  }
  if (hp && unholy) return Refuse("The item cannot contain both fortify hp and fortify unholy enchantments.");

  delete item->enchantments;
  item->enchantments = entries;
  entries = nullptr;
  if (itemKind == 10) {
    const i16 charges = item->enchantments->Entry(0)->base;
    item->count = u16(charges < 0 ? 0 : charges);
  }
  SString text;
  if (person) {
    Enchanting::Pay(core, price);
    SString amount;
    Enchanting::FormatMoney(price, amount);
    text.Format("The enchanting was successful.\rYou pay %s gold.", amount.CStr());
  } else {
    text.Assign("The enchanting was successful.");
  }
  core->ShowMessageBox(text.CStr(), SDialogMessage::kOk, &boxText, &box, this);
  subMode = kDone;
  return 0;
}

u32 SDialogEnchant::OnCommand(u16 code) {
  switch (subMode) {
    case kEditing:
      if (code == kOk || code == kCancel) {
        Enchanting::Click(core, 1);
        CloseEditor(code == kOk);
      } else {
        CloseChild();
        SetFullRepaint();
      }
      return 0;
    case kRefusal:
      CloseChild();
      subMode = kMain;
      SetFullRepaint();
      return 0;
    case kDone:
      CloseChild();
      subMode = kMain;
      return HandOn(kOk);
    default: break;
  }
  switch (code) {
    case kAdd:
      Enchanting::Click(core, 1);
      AddEntry();
      return 0;
    case kModify:
      Enchanting::Click(core, 1);
      ModifyEntry();
      return 0;
    case kRemove:
      Enchanting::Click(core, 1);
      RemoveEntry();
      return 0;
    case kOk: Enchanting::Click(core, 1); return Commit();
    case kCancel:
      Enchanting::Click(core, 1);
      DropEntries();
      return HandOn(kCancel);
    default: return 0;
  }
}
