#include "dialogs/enchant/SEnchantRules.h"

#include "core/SGameCore.h"
#include "core/SPictureRoles.h"
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialog.h"
#include "core/ui/SDialogListCtrl.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/SPlaceControls.h"
#include "core/ui/SRgb.h"
#include "core/ui/STextCtrl.h"
#include "platform/sound/SSoundManager.h"
#include "world/SEffect.h"
#include "world/SItem.h"
#include "world/SItemTable.h"
#include "world/SPeopleTables.h"

namespace Enchanting {

i32 PriceFactor(SGameCore* core, const SNpc* enchanter) {
  if (!enchanter) return 10;
  return core ? enchanter->GetValue(core->world.rules) : enchanter->value;
}

u32 ScalePrice(i64 amount, i64 factor) {
  // Both come from the world's data and scripts: 32-bit values whose product fits in 64 bits.
  const i64 v = amount * factor / 10;
  return v < 0 ? 0 : v > i64(kMaxPrice) ? kMaxPrice : u32(v);
}

bool IsWand(const SItemType* type) {
  return type && type->itemClass == kItemMagic && (type->subtype == 4 || type->subtype == 5);
}

const SEffect* FirstEntry(const SItem& item) {
  if (item.enchantments && item.enchantments->Count()) return item.enchantments->Entry(0);
  const SEffectList* list = item.type ? item.type->enchantment : nullptr;
  return list && list->Count() ? list->Entry(0) : nullptr;
}

void FormatMoney(u32 amount, SString& out) {
  if (amount >= 1000000000u)
    out.Format("%luB", static_cast<unsigned long>(amount / 1000000000u));
  else
    FormatCompactNumber(amount, out);
}

void Click(SGameCore* core, u32 which) {
  if (core && core->soundManager && which < 2 && core->clickSounds[which])
    core->soundManager->PlaySound(core->clickSounds[which], 10);
}

void Pay(SGameCore* core, u32 amount) {
  if (!core) return;
  SPlayer& player = core->player;
  player.money = amount < player.money ? player.money - amount : 0;
  if (player.money > kMoneyCap) player.money = kMoneyCap;
}

namespace {
constexpr u32 kBodyColour = RgbWord(0xC8C8C8), kTitleColour = RgbWord(0xFFFFFF), kValueColour = RgbWord(0x64C8C8),
              kEdgeColour = RgbWord(0x161616);

SImageEntry* const* Slot(SDialog* dialog, u32 slot) {
  return dialog->core && slot < SGameCore::kPictureSlots ? &dialog->core->pictures[slot] : nullptr;
}
}  // namespace

// Texts are kept also when left out, so that what the dialog says does not depend on its layout.
bool PlaceLabel(SDialog* dialog, STextCtrl& text, u16 id, const char* value) {
  const bool placed = dialog->AddLayoutControl(&text, id);
  text.SetTextStyled(value, STextCtrl::kLeft | STextCtrl::kMiddle, 1, kBodyColour, kEdgeColour);
  return placed;
}

bool PlaceTitle(SDialog* dialog, STextCtrl& text, u16 id, const char* value) {
  const bool placed = dialog->AddLayoutControl(&text, id);
  text.SetTextStyled(value, STextCtrl::kCentred | STextCtrl::kMiddle, 1, kTitleColour, kEdgeColour);
  return placed;
}

bool PlaceValue(SDialog* dialog, STextCtrl& text, u16 id) {
  const bool placed = dialog->AddLayoutControl(&text, id);
  text.SetTextStyled(text.text.CStr(), STextCtrl::kCentred | STextCtrl::kMiddle, 1, kValueColour, kEdgeColour);
  return placed;
}

bool PlaceFrame(SDialog* dialog, SBorderCtrl& frame, u16 id, bool outer) {
  if (!dialog->AddLayoutControl(&frame, id)) return false;
  const bool compact = dialog->core && dialog->core->IsCompact();
  frame.SetFrame(Slot(dialog, outer && !compact ? 16 : 77), 0, 0, 15);
  return true;
}

bool PlaceList(SDialog* dialog, SDialogListCtrl& list, u16 id) {
  const bool placed = dialog->AddLayoutControl(&list, id);
  list.SetFont(1, kBodyColour, 0, nullptr);
  return placed;
}

bool PlaceTextButton(SDialog* dialog, SButtonCtrl& button, u16 id, const char* caption) {
  if (!dialog->AddLayoutControl(&button, id)) return false;
  button.CreatePanel(Slot(dialog, PictureRole::kMenuButtonDown), Slot(dialog, PictureRole::kMenuButtonUp), caption, id,
                     1, kTitleColour, RgbWord(0x585858), kTitleColour, RgbWord(0x585858), 0);
  return true;
}

void PlaceEditorFooter(SDialog* dialog, STextCtrl& neededLabel, STextCtrl& neededText, STextCtrl& availableLabel,
                       STextCtrl& availableText, SButtonCtrl& keep, SButtonCtrl& discard) {
  PlaceLabel(dialog, neededLabel, 247, "Needed enchant storage:");
  PlaceValue(dialog, neededText, 248);
  PlaceLabel(dialog, availableLabel, 249, "Available enchant storage:");
  PlaceValue(dialog, availableText, 250);
  PlaceButton(*dialog, keep, 25, 145);
  PlaceButton(*dialog, discard, 26, 143);
}

void LayOut(SDialog* dialog, u32 layout) {
  // Opened afresh: whatever child was left open from before is gone.
  dialog->CloseChild();
  dialog->ClearControls();
  dialog->SetLayout(layout);
  dialog->CenterOnScreen();
  dialog->SetBackgroundPicture(dialog->core ? dialog->core->Picture(0) : nullptr);
  dialog->SetFullRepaint();
}

}  // namespace Enchanting
