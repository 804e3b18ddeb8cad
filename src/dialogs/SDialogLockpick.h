// Lock picking: the player's usable picks, the chosen pick's condition and a word for the chance against
// the lock of the object in front. Each attempt wears the pick; a pick below condition 10 leaves the list.
// To the owner, the game state: 104 when the lock was picked or the dialog closed, 103 when an attempt
// failed on a trapped lock.
#pragma once
#include "dialogs/SGameDialog.h"

#include <vector>

class SItem;
class SRandom;
struct SMapObjectInst;

class SDialogLockpick : public SGameDialog {
 public:
  static constexpr u32 kLayout = 12;
  static constexpr u16 kFrameId = 19, kTitleId = 16, kPictureId = 100, kPreviousId = 101, kNextId = 102,
                       kTrapCode = 103, kCloseCode = 104, kNameId = 105, kChanceId = 106;
  static constexpr u32 kSkill = 18, kFailedMs = 1000;

  void Attach(SGameCore* gameCore) override;
  // Lays the dialog out for the lock of `target` (its lock level in bits 6..9, trap level in 10..13).
  void Open(SMapObjectInst* target);
  void FillPickList();
  void UpdateConditionText();
  void UpdateChanceText();

  u32 OnCommand(u16 code) override;
  u32 OnTick(u32 frameCounter, SDisplay* screen) override;

  // The rules, on the skill total (skill 18 with its fortify effects) and a pick's durability.
  static const char* ChanceWord(i32 skillTotal, u32 durability, i32 lockValue);
  static i32 Wear(i32 skillTotal, SRandom& random);
  static bool Picks(i32 skillTotal, u32 durability, i32 lockValue, SRandom& random);
  i32 SkillTotal();
  i32 LockValue() const;
  u32 TrapLevel() const;
  SItem* SelectedPick() const {
    return selected >= 0 && selected < i32(picks.size()) ? picks[size_t(selected)] : nullptr;
  }

  SMapObjectInst* target = nullptr;
  std::vector<SItem*> picks;  // inventory items, in inventory order
  i32 selected = -1;
  u32 failed = 0;
  u32 failedAt = 0;  // the tick count when "Failed" was shown

  SBorderCtrl frame;
  STextCtrl title;
  SItemCtrl picture;
  STextCtrl name;
  SButtonCtrl previous, next;
  STextCtrl chance;
  SButtonCtrl pick, close;

 private:
  // One try with the selected pick: true when the lock was picked.
  bool Attempt();
  void Refresh();
};
