#include "dialogs/enchant/SDialogEnchantRechargeWand.h"

#include "core/SGameCore.h"
#include "core/ui/SPlaceControls.h"
#include "core/ui/SRgb.h"
#include "dialogs/enchant/SEnchantRules.h"
#include "world/SEffect.h"
#include "world/SItem.h"
#include "world/SItemTable.h"
#include "world/SSpell.h"

void SDialogEnchantRechargeWand::Attach(SGameCore* gameCore) {
  SDialog::Attach(gameCore);
  SCtrl* const all[] = {&frame, &title, &cost, &wandText, &recharge, &cancel};
  for (SCtrl* c : all) c->Attach(this);
  box.Attach(gameCore);
  boxText.Attach(&box);
}

u32 SDialogEnchantRechargeWand::PriceFor(SGameCore* core, SItem& wand, const SEffect& first, i32 factor) {
  if (!core || !wand.type) return 0;
  SWorldRules& rules = core->world.rules;
  const u32 now = wand.type->GetValue(rules, &wand);
  const u16 kept = wand.count;
  wand.count = u16(first.base < 0 ? 0 : first.base);
  const u32 full = wand.type->GetValue(rules, &wand);
  wand.count = kept;
  return Enchanting::ScalePrice(i64(full) - i64(now), factor);
}

void SDialogEnchantRechargeWand::Open(const SNpc* enchanter, SItem* wand) {
  person = enchanter;
  item = wand;
  entry = wand ? Enchanting::FirstEntry(*wand) : nullptr;
  subMode = kMain;
  price = item && entry ? PriceFor(core, *item, *entry, Enchanting::PriceFactor(core, person)) : 0;

  using namespace Enchanting;
  LayOut(this, kLayout);
  PlaceFrame(this, frame, kFrameId, true);
  PlaceTitle(this, title, kTitleId, "Recharge wand");
  if (AddLayoutControl(&wandText, kWandId))
    wandText.Setup(1, RgbWord(0xFFFFFF), RgbWord(0xC8C8C8), RgbWord(0x161616), 0, 2, 0, RgbWord(0xFFFFFF),
                   RgbWord(0xFFFFFF));
  PlaceLabel(this, cost, kCostId, "");
  PlaceButton(*this, recharge, kRecharge, 145);
  PlaceButton(*this, cancel, kCancel, 143);

  SString name, body;
  if (item && item->type && core) item->type->GetDisplayName(core->world.rules, item, name, false);
  body.Format("%u/%u charges", u32(item ? item->count : 0), u32(entry && entry->base > 0 ? entry->base : 0));
  wandText.SetText(name.CStr(), body.CStr(), 0, 0);
  SString priceText, goldText, text;
  FormatMoney(price, priceText);
  FormatMoney(core ? core->player.money : 0, goldText);
  text.Format("Recharge cost: %s%c\rYour gold: %s%c", priceText.CStr(), kCoin, goldText.CStr(), kCoin);
  cost.SetText(text.CStr());
  ResetInputGuard();
}

void SDialogEnchantRechargeWand::Recharge() {
  if (!core || !item || !entry) return;
  if (i64(price) > i64(core->player.money)) {
    core->ShowMessageBox("You don't have enough gold.", SDialogMessage::kOk, &boxText, &box, this);
    subMode = kNoGold;
    return;
  }
  const SSpell* spell = core->world.rules.spells.FindByName(entry->name);
  SString text;
  if (spell && !spell->PreventsWandRecharge()) {
    item->count = u16(entry->base < 0 ? 0 : entry->base);
    Enchanting::Pay(core, price);
    text.Format("The wand has been recharged.\rYou pay %u%c.", price, Enchanting::kCoin);
  } else {
    text.Assign("The wand cannot be recharged.");
  }
  core->ShowMessageBox(text.CStr(), SDialogMessage::kOk, &boxText, &box, this);
  subMode = kResult;
}

u32 SDialogEnchantRechargeWand::OnCommand(u16 code) {
  switch (subMode) {
    case kNoGold:
      Enchanting::Click(core, 1);
      CloseChild();
      subMode = kMain;
      SetFullRepaint();
      return 0;
    case kResult:
      Enchanting::Click(core, 1);
      CloseChild();
      subMode = kMain;
      return HandOn(kRecharge);
    default:
      if (code == kRecharge) {
        Enchanting::Click(core, 0);
        Recharge();
        // Nothing to recharge: the dialog has nothing to do but end.
        if (!item || !entry) return HandOn(kCancel);
        return 0;
      }
      if (code == kCancel) {
        Enchanting::Click(core, 1);
        return HandOn(kCancel);
      }
      return 0;
  }
}
