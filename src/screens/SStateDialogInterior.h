// Game state 3: the inside of a building a person runs (a shop, an inn, a trainer's or enchanter's house):
// the interior's picture, the person's portrait, name and welcome, and a menu of what the person offers.
// "Talk" switches to the conversation and "Buy/sell" to the shop; repairing, training, enchanting, a room
// for the night and the card bet open over it as modal children. Entered with (0, person word, speaker
// object, map area) and the opener's keep flag; "Leave" returns 99.
#pragma once
#include "core/ui/SAnimCtrl.h"
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"
#include "core/ui/SFaceCtrl.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/SState.h"
#include "core/ui/STextCtrl.h"
#include "dialogs/SDialogCardBet.h"
#include "dialogs/SDialogRepairShop.h"
#include "dialogs/SDialogRest.h"
#include "dialogs/SDialogTraining.h"
#include "dialogs/enchant/SDialogEnchantItem.h"
#include "foundation/SString.h"
#include "foundation/SValueArray.h"

class SInterior;
class SNpc;

class SStateDialogInterior : public SState {
 public:
  static constexpr u32 kLayout = 30;
  // Layout ids.
  static constexpr u16 kFrameIds[3] = {19, 293, 555};
  static constexpr u16 kPictureId = 295, kPortraitFrameId = 292, kPortraitId = 288, kNameId = 289,
                       kWelcomeFrameId = 132, kWelcomeId = 110, kLeaveId = 301;
  static constexpr u32 kMenuSlots = 5;
  static constexpr u16 kSlotIds[kMenuSlots] = {296, 297, 298, 299, 300};
  // Menu command codes.
  static constexpr u16 kTalk = 256, kBuySell = 257, kEnchant = 258, kRepair = 259, kTraining = 260, kLeave = 261,
                       kSleep = 262, kCards = 263;
  // The service flags of the person record.
  static constexpr u8 kFlagBuySell = 1, kFlagTraining = 2, kFlagEnchant = 4, kFlagRepair = 8, kFlagRooms = 32,
                      kFlagCards = 64;
  // Which child is open.
  enum Marker : u32 {
    kMenu = 1,
    kRepairShop = 2,
    kEnchanting = 3,
    kTrainer = 4,
    kRoomOffer = 5,
    kResting = 6,
    kBet = 8
  };

  void Attach(SGameCore* gameCore) override;
  void Enter(u32 w0, u32 w1, u32 w2, u32 w3) override;
  void Leave(u32 next) override;
  u32 OnCommand(u16 code) override;

  // The room offer: the price, and a question or the refusal.
  void RentRoom();
  // The enchanting service: the picker for the person, or a message when nothing can take it.
  void OpenEnchant();
  // A night's price: five times the price factor, lowered by the player's trading.
  u32 RoomPrice();
  // The codes of the menu slots in order (0 for an empty slot).
  u16 menuCodes[kMenuSlots] = {};

  u32 marker = kMenu;
  u32 slept = 0;
  u32 doorFlag = 0;
  SNpc* person = nullptr;
  u32 speakerWord = 0;
  SInterior* interior = nullptr;
  SString musicTrack;  // the interior's music while this state is current; empty: none

  SBorderCtrl frames[3], portraitFrame, welcomeFrame;
  SAnimCtrl picture;
  SFaceCtrl portrait;
  STextCtrl name, welcome;
  SButtonCtrl slots[kMenuSlots];
  SButtonCtrl leave;
  SDialogRepairShop repairShop;
  SDialogRest rest;
  SDialogTraining training;
  SDialogEnchantItem enchanting;
  SDialogCardBet cardBet;
  SDialogTextCtrl boxText;
  SDialogMessage box;

 private:
  void PlaceMenuButton(SButtonCtrl& button, u16 id, const char* label, u16 code, u32 key);
  void CloseChildToMenu();
  void ReleaseInterior();
  // The interior's pictures as the picture control plays them.
  SValueArray<SAnimationEntry> animationEntries{4};
  SAnimation animation;
};
