// The spell book: the spells the player knows in one of the six schools, or the scrolls and wands that can
// cast, page by page. It casts nothing itself: cast (218) and close (219) go to its owner, the game state,
// which reads the chosen spell or item from it. Placed at the bottom right of the game view.
#pragma once
#include "dialogs/SGameDialog.h"

class SItem;
class SSpell;

class SDialogSpellbook : public SGameDialog {
 public:
  static constexpr u32 kLayout = 19;
  static constexpr u16 kBackgroundId = 207, kMessageId = 220, kFirstTabId = 208, kLastTabId = 214, kListId = 215,
                       kPreviousPageId = 216, kNextPageId = 217, kCastCode = 218, kCloseCode = 219;
  static constexpr u32 kCategories = 7;  // 1..6 the schools, 7 magical items
  static constexpr u32 kItemsCategory = 7;
  static constexpr char kScrollGlyph = char(181), kWandGlyph = char(182);

  void Attach(SGameCore* gameCore) override;
  // Rebuilds the book for the current category (the selection stays while it is valid).
  void Open();
  // 208..214 choose categories 1..7 (any other code keeps it); the selection is dropped; then Open.
  void SelectCategory(u16 code);
  // For categories 1..6: the spell of the selected row; null otherwise.
  SSpell* GetSelectedSpell() const;
  // For category 7: the inventory item of the selected row; null otherwise.
  SItem* GetSelectedItem() const;

  void Paint() override;
  u32 OnCommand(u16 code) override;
  u32 OnKey(u32 key) override;
  u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) override;
  u32 OnTick(u32 frameCounter, SDisplay* screen) override { return 0; }

  u32 category = 1;
  SFillBmpCtrl background;
  STextCtrl message;
  SButtonCtrl tabs[kCategories];
  SDialogListCtrl list;
  SButtonCtrl previousPage, nextPage, cast, close;

 private:
  void Place();
  void FillSpells();
  void FillItems();
  void UpdateTabs();
};
