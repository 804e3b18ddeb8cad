// Repair from the pack: choose a repair hammer and a worn weapon or piece of armour, and try. Each try
// wears the hammer and may fail by the repair skill; a success raises the item's condition. A hammer below
// 10 percent and an item at its maximum leave their lists. Close (26) goes to the owner, the inventory
// state, which opens the dialog as its page 8.
#pragma once
#include "core/ui/SDialogTextCtrl.h"
#include "dialogs/SGameDialog.h"

#include <vector>

class SItem;
class SRandom;

class SDialogRepair : public SGameDialog {
 public:
  static constexpr u32 kLayout = 5;
  static constexpr u16 kFrameId = 19, kTitleId = 23, kListId = 24, kRepairId = 25, kCloseId = 26, kPictureId = 27,
                       kDescriptionId = 28, kPreviousHammerId = 29, kNextHammerId = 30, kHammerHeadingId = 31,
                       kItemHeadingId = 32, kPageUpId = 33, kPageDownId = 34;
  static constexpr u32 kSkill = 14;

  void Attach(SGameCore* gameCore) override;
  // Opens with the hammer that was used.
  void Open(SItem* hammer);
  u32 OnCommand(u16 code) override;
  u32 OnTick(u32 frameCounter, SDisplay* screen) override { return 0; }

  // The rules on the skill: the hammer's wear, whether a roll of 0..99 fails, and the gain.
  static i32 Wear(i32 skill, SRandom& random);
  static bool Fails(i32 skill, i32 roll) { return roll > 2 * skill; }
  static i32 Gain(i32 skill, SRandom& random);
  // One try with the selected hammer on the selected row's item.
  void TryRepair();
  SItem* SelectedHammer() const {
    return hammerIndex >= 0 && hammerIndex < i32(hammers.size()) ? hammers[size_t(hammerIndex)] : nullptr;
  }

  i32 skill = 0;
  std::vector<SItem*> hammers, items;
  i32 hammerIndex = -1;

  SBorderCtrl frame;
  STextCtrl title, hammerHeading, itemHeading;
  STitleTextCtrl description;
  SItemCtrl picture;
  SButtonCtrl previousHammer, nextHammer;
  SDialogListCtrl list;
  SButtonCtrl pageUp, pageDown, repair, close;

 private:
  void BuildLists();
  void ShowHammer();
  void FillItemList();
  void RowTexts(const SItem& item, SString& name, SString& word) const;
};
