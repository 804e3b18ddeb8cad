// The editor of a wand's or scroll's single entry: one of the player's known spells, its charges (wands
// only) and the skill it is cast at (only for spells whose strength is graded), beside the storage the
// entry needs and the storage still available. The enchanting dialog holds one and opens it as its modal
// child; keep (25) and discard (26) go to the owner, which reads the edited copy.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialog.h"
#include "core/ui/SDialogListCtrl.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/STextCtrl.h"

class SNpc;
struct SEffect;

class SDialogEnchantEntryWandScroll : public SDialog {
 public:
  static constexpr u32 kLayout = 23;
  // Layout ids, which are also the command codes.
  static constexpr u16 kFrameId = 19, kTitleId = 16, kSpellsLabel = 236, kSpells = 215, kSpellsUp = 241,
                       kSpellsDown = 242, kChargesLabel = 237, kChargesFrame = 251, kChargesText = 239,
                       kChargesUp = 243, kChargesDown = 244, kSkillLabel = 238, kSkillFrame = 252, kSkillText = 240,
                       kSkillUp = 245, kSkillDown = 246, kSkillUp10 = 253, kSkillDown10 = 254, kNeededLabel = 247,
                       kNeededText = 248, kAvailableLabel = 249, kAvailableText = 250, kKeep = 25, kDiscard = 26;
  static constexpr i32 kMost = 100;

  SDialogEnchantEntryWandScroll();
  ~SDialogEnchantEntryWandScroll() override;
  void Attach(SGameCore* gameCore) override;
  // Edits a copy of the entry: trigger type 2, effect kind 31, charges and skill at least 1; the charge
  // controls only for a wand.
  void Open(const SEffect* entry, i32 availableStorage, const SNpc* enchanter, bool scroll);
  u32 OnCommand(u16 code) override;

  // The copy being edited; the owner reads it on 25.
  SEffect* edited = nullptr;
  bool isScroll = false;
  i32 available = 0;
  const SNpc* person = nullptr;

  SBorderCtrl frame;
  STextCtrl title, spellsLabel, chargesLabel, chargesText, skillLabel, skillText, neededLabel, neededText,
      availableLabel, availableText;
  SBorderCtrl chargesFrame, skillFrame;
  SDialogListCtrl spells;
  SButtonCtrl spellsUp, spellsDown, chargesUp, chargesDown, skillUp, skillDown, skillUp10, skillDown10, keep, discard;

 private:
  void FillSpells();
  // The selected spell becomes the entry's; the skill controls follow whether its strength is graded.
  void SelectSpell();
  void ShowValues();
  void ShowNeededStorage();
  void UpdatePaging();
};
