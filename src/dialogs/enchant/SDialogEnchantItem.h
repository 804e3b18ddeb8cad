// Where enchanting and wand recharging begin: the player's blank enchantable items and partly discharged
// wands (in recharge mode only the wands), the selected one described, and the choice handed on: a blank
// item to the enchanting dialog, a wand to the enchanter's recharge dialog, or, without an enchanter, to a
// free recharge at once. The conversation and the interior open it for their person; the game state opens
// it when an "Enchant" or "Recharge wand" effect fires. It hands 279 (or 26) to its owner when it closes.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialog.h"
#include "core/ui/SDialogListCtrl.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/STextCtrl.h"
#include "dialogs/enchant/SDialogEnchant.h"
#include "dialogs/enchant/SDialogEnchantRechargeWand.h"

class SItem;
class SNpc;

class SDialogEnchantItem : public SDialog {
 public:
  static constexpr u32 kLayout = 25;
  // Layout ids, which are also the command codes.
  static constexpr u16 kFrameId = 19, kFrame2Id = 568, kTitleId = 16, kItemsLabel = 273, kItems = 274, kPageUp = 275,
                       kPageDown = 276, kDescription = 277, kStorageText = 278, kChoose = 25, kClose = 279,
                       kCancel = 26;
  static constexpr u16 kCloseCode = kClose;
  enum SubMode : u32 { kList = 0, kChild = 1, kRefusal = 2, kSelfRecharge = 3 };

  void Attach(SGameCore* gameCore) override;
  // The enchanter (null: the player by a spell's effect), the storage value handed on with the effect, and
  // the recharge mode. With an enchanter the limit is its enchanting level x 3, without it the value x 3.
  void Open(const SNpc* enchanter, u32 storage, u32 recharge);
  u32 OnCommand(u16 code) override;

  // Whether the picker lists the item: in enchant mode a blank item with enchant storage, in both modes a
  // wand below its charges. An enchantment of the item's own without entries counts as none.
  static bool Lists(const SItem& item, bool rechargeOnly);
  // The item of the selected row, or null.
  SItem* SelectedItem() const;

  const SNpc* person = nullptr;
  u32 storageValue = 0;
  u32 rechargeMode = 0;
  u32 storageLimit = 0;
  u32 subMode = kList;

  SBorderCtrl frame, frame2;
  STextCtrl title, itemsLabel, storageText;
  SDialogListCtrl items;
  SButtonCtrl pageUp, pageDown, choose, close;
  STitleTextCtrl description;
  SDialogEnchant enchant;
  SDialogEnchantRechargeWand recharge;
  SDialogMessage box;
  SDialogTextCtrl boxText;

 private:
  void FillItems(bool keepSelection);
  void DescribeItem();
  void UpdatePaging();
  void UseSelected();
  void ShowMessage(const char* text, u32 mode);
  void RecalculateEquipment();
  u32 HandOn(u16 code) { return parent ? parent->OnCommand(code) : code; }
};
