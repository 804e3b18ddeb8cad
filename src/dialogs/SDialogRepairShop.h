// The repair shop of a person: the player's worn weapons and armour listed with the price of mending each,
// the chosen one restored to full condition for that price. Opened as the modal child of the conversation
// or the interior with the person's price factor; "Close" reports 26 to the owner, which closes it.
#pragma once
#include "dialogs/SGameDialog.h"
#include "foundation/SPtrArray.h"

class SItem;
class SItemType;

class SDialogRepairShop : public SGameDialog {
 public:
  static constexpr u32 kLayout = 29;
  // Layout ids; the buttons' ids are their command codes.
  static constexpr u16 kFrameId = 19, kTitleId = 23, kPromptId = 32, kListId = 24, kPageUp = 33, kPageDown = 34,
                       kRepair = 25, kClose = 26, kGoldId = 22, kGoldFrameId = 294;
  static constexpr u16 kCloseCode = kClose;

  struct Entry {
    SItemType* type = nullptr;
    SItem* item = nullptr;
  };

  void Attach(SGameCore* gameCore) override;
  // The person's price factor scales the prices.
  void Open(i32 factor);
  // One entry per damaged weapon (not ammunition) or armour piece of the pack, in pack order.
  void BuildEntries();
  // The rows from the entries; `index` (-1: the first row) is selected, or the last row past the end.
  void FillItemList(i32 index);
  void SetGoldText();
  void RepairSelected();
  // What mending an entry costs.
  u32 PriceOf(const Entry& entry);
  u32 OnCommand(u16 code) override;

  i32 priceFactor = 10;
  SPtrArray<Entry> entries{true, 4};

  SBorderCtrl frame, goldFrame;
  STextCtrl title, prompt, gold;
  SDialogListCtrl list;
  SButtonCtrl pageUp, pageDown, repair, close;
};
