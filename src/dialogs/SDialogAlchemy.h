// Alchemy from the pack: choose a mortar and pestle, put up to three ingredients into its slots and brew
// one of the potions they make. The outcome rolls against the player's alchemy skill and the recipe's
// required skill; a brew too hard for the skill is asked about first. Close (26) goes to the owner, the
// inventory state, which opens the dialog as its page 7.
#pragma once
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"
#include "dialogs/SGameDialog.h"
#include "world/SWorldExtras.h"

#include <array>
#include <vector>

class SItem;
class SItemType;

class SDialogAlchemy : public SGameDialog {
 public:
  static constexpr u32 kLayout = 38;
  static constexpr u16 kFrameId = 19, kTitleId = 476, kApparatusPictureId = 477, kApparatusPreviousId = 478,
                       kApparatusNextId = 479, kApparatusTextId = 480, kFirstStepId = 497, kSecondStepId = 493,
                       kThirdStepId = 494, kListId = 226, kCreateId = 25, kCloseId = 26;
  static constexpr u32 kSlots = 3;
  // Per slot: picture, previous, next, text.
  static constexpr u16 kSlotPictureIds[kSlots] = {481, 485, 489}, kSlotPreviousIds[kSlots] = {482, 486, 490},
                       kSlotNextIds[kSlots] = {483, 487, 491}, kSlotTextIds[kSlots] = {484, 488, 492};
  static constexpr u32 kSkill = 16;
  static constexpr u8 kApparatusClass = 6, kIngredientClass = 7;

  struct Ingredient {
    SItemType* type = nullptr;
    u32 count = 0;
  };

  void Attach(SGameCore* gameCore) override;
  // Opens with the mortar and pestle that was used (none: no apparatus chosen).
  void Open(SItem* tool);
  u32 OnCommand(u16 code) override;
  u32 OnTick(u32 frameCounter, SDisplay* screen) override { return child ? child->OnTick(frameCounter, screen) : 0; }

  // The roll r (0..99) brews when it is not above the limit for the skill against the required skill.
  static bool Brews(i32 skill, i32 required, i32 roll);
  // Brews the selected candidate; without `confirmed` a brew too hard for the skill asks first.
  void CreatePotion(bool confirmed);
  const SMakeableRecipe* SelectedCandidate() const;
  bool IsHighlighted(u32 slot) const { return slot < kSlots && highlighted[slot]; }

  std::vector<SItem*> apparatus;
  std::vector<Ingredient> ingredients;
  i32 apparatusIndex = -1;
  i32 slots[kSlots] = {-1, -1, -1};
  i32 skill = 0;
  std::vector<SMakeableRecipe> candidates;
  std::vector<std::array<const SItemType*, kSlots>> usedTypes;  // per candidate: the ingredient types it takes
  bool highlighted[kSlots] = {};
  u32 boxState = 0;  // 0 none, 1 the low-skill question, 2 a result

  SBorderCtrl frame;
  STextCtrl title, steps[3];
  SItemCtrl apparatusPicture;
  STextCtrl apparatusText;
  SButtonCtrl apparatusPrevious, apparatusNext;
  SItemCtrl slotPictures[kSlots];
  STextCtrl slotTexts[kSlots];
  SButtonCtrl slotPrevious[kSlots], slotNext[kSlots];
  SDialogListCtrl list;
  SButtonCtrl create, close;
  SDialogTextCtrl boxText;
  SDialogMessage box;

 private:
  void BuildLists();
  void ShowApparatus();
  void ShowSlot(u32 slot);
  void FillCandidates(const SAlchemyRecipe* keep);
  void UpdateHighlight();
  void Ask(const char* text, u32 buttons, u32 state);
  void Step(u16 code);
};
