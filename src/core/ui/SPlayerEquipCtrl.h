// The character sheet's paper doll: the player's equipment slots 1 to 13 (12, the ammunition, is not
// shown), each drawn with its item's picture at a place that depends on the display mode.
#pragma once
#include "core/ui/SCtrl.h"

class SPlayerEquipCtrl : public SCtrl {
 public:
  static constexpr u32 kSlots = 14;  // 0 and 12 are never shown

  SPlayerEquipCtrl() { inputMask = kInputPen; }

  // The slots' places for the display mode; nothing selected.
  void LayoutSlots();
  // The side of a slot's square for the display mode.
  i32 SlotSize() const;

  // A pen-down on a shown slot selects it and reports the id.
  u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) override;
  void Paint() override;

  i32 slotX[kSlots] = {};
  i32 slotY[kSlots] = {};
  i32 selected = 0;
};
