// An enchanter refills a partly discharged wand for gold: the wand with its charges, the price and the
// player's gold; OK pays and refills, unless the wand's spell forbids it. The item picker holds one and
// opens it as its modal child; it receives 25 after a recharge attempt and 26 on cancel.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialog.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/STextCtrl.h"

class SItem;
class SNpc;
struct SEffect;

class SDialogEnchantRechargeWand : public SDialog {
 public:
  static constexpr u32 kLayout = 27;
  static constexpr u16 kFrameId = 19, kTitleId = 16, kWandId = 277, kCostId = 287, kRecharge = 25, kCancel = 26;
  enum SubMode : u32 { kMain = 0, kNoGold = 1, kResult = 2 };

  void Attach(SGameCore* gameCore) override;
  void Open(const SNpc* enchanter, SItem* wand);
  u32 OnCommand(u16 code) override;

  // The gold a full wand costs over the wand as it is, scaled by the factor and kept within
  // 0..1,000,000,000.
  static u32 PriceFor(SGameCore* core, SItem& wand, const SEffect& entry, i32 factor);

  const SNpc* person = nullptr;
  SItem* item = nullptr;
  const SEffect* entry = nullptr;
  u32 price = 0;
  u32 subMode = kMain;

  SBorderCtrl frame;
  STextCtrl title, cost;
  STitleTextCtrl wandText;
  SButtonCtrl recharge, cancel;
  SDialogMessage box;
  SDialogTextCtrl boxText;

 private:
  void Recharge();
  u32 HandOn(u16 code) { return parent ? parent->OnCommand(code) : code; }
};
