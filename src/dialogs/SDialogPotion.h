// The quick potion list over the game view: one row per potion type the player carries, with the number
// carried, highest order first. Drink (224) and close (225, also a touch outside) go to the owner, the game
// state, which drinks the chosen potion.
#pragma once
#include "dialogs/SGameDialog.h"

class SItem;

class SDialogPotion : public SGameDialog {
 public:
  static constexpr u32 kLayout = 20;
  static constexpr u16 kBackgroundId = 221, kTitleId = 16, kPageUpId = 222, kPageDownId = 223, kDrinkCode = 224,
                       kCloseCode = 225, kListId = 226;
  static constexpr u8 kPotionClass = 8, kUnlistedFlag = 16;

  void Attach(SGameCore* gameCore) override;
  void Open();
  // The inventory item of the selected row; null without a selection or for a key that names none.
  SItem* GetSelectedItem();
  u32 PotionCount() const { return potionCount; }

  u32 OnCommand(u16 code) override;
  u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) override;
  u32 OnTick(u32 frameCounter, SDisplay* screen) override { return 0; }

  u32 potionCount = 0;  // rows listed
  SFillBmpCtrl background;
  STextCtrl title;
  SDialogListCtrl list;
  SButtonCtrl pageUp, pageDown, drink, close;

 private:
  void FillList();
};
