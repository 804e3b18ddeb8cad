// Game state 7: the player has died. Three pictures, the epitaph and a button; the button or the use key
// leads to the main menu, which then offers no game to continue or save.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/SState.h"
#include "core/ui/STextCtrl.h"
#include "world/SImageCache.h"

class SStateDeath : public SState {
 public:
  static constexpr u32 kLayout = 13;
  static constexpr u16 kPictureIds[3] = {560, 107, 561};
  static constexpr u16 kFirstRecord = 3518;
  static constexpr u16 kTextId = 40, kButtonId = 25;
  static constexpr const char* kEpitaph = " YOU HAVE DIED YOUNG...\rYOUR KING, YOUR COUNTRY AND YOUR GODS MOURN YOU!";

  void Attach(SGameCore* gameCore) override;
  void Enter(u32 w0, u32 w1, u32 w2, u32 w3) override;
  void Leave(u32 next) override;
  u32 OnCommand(u16 code) override;

  SImageEntry holders[3];
  SPicCtrl pictures[3];
  STextCtrl epitaph;
  SButtonCtrl button;
};
