// Game state 5: the shop, where the player buys from a person's stock and sells from the own pack. One item
// grid lists either the stock or the player's items of the classes the person buys; a description area
// doubles as the status line. Entered from the conversation or the interior with (0, person word, speaker
// word, 0) and their keep flag; "Leave" returns 99.
//
// The speaker word names the shop's stock: 0 no speaker, else kSpeaker plus the speaker's shop-container id;
// the stock is that container of the script context's area (the speaker's). After every trade the grid is
// built again from its list, keeping the selected index and the page, so that no row ever points at an item
// of another stack.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialogTextCtrl.h"
#include "core/ui/SFaceCtrl.h"
#include "core/ui/SItemsCtrl.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/SState.h"
#include "core/ui/STextCtrl.h"

class SItemContainer;
class SNpc;

class SStateShop : public SState {
 public:
  static constexpr u32 kLayout = 42;
  // Layout ids, which are also the command codes.
  static constexpr u16 kFrameIds[5] = {19, 293, 305, 562, 292};
  static constexpr u16 kPortraitId = 288, kNameId = 289, kGridId = 274, kDescriptionId = 322, kPrevPage = 320,
                       kNextPage = 319, kLeave = 531, kBuy = 529, kSell = 530, kYes = 532, kNo = 533, kGoldId = 294,
                       kGoldFrameId = 22;
  static constexpr u32 kSpeaker = 0x100;
  static constexpr u32 kShortStatusMs = 2000, kStatusMs = 3000;

  static u32 SpeakerWord(u8 containerId) { return kSpeaker | containerId; }

  void Attach(SGameCore* gameCore) override;
  void Enter(u32 w0, u32 w1, u32 w2, u32 w3) override;
  void Leave(u32 next) override;
  u32 OnCommand(u16 code) override;
  u32 OnTick(u32 frameCounter, SDisplay* screen) override;

  void BuySelected();
  void SellSelected(bool confirmed);
  void SetGoldPackText();
  // Rebuilds the grid for the view; `keep` keeps the selected index (or the last row) and its page.
  void FillGrid(bool keepPlace);
  void DescribeSelected();
  void ShowStatus(const char* text, u32 ms);
  void UpdatePageButtons();

  u32 viewMode = 1;  // 1 the shop's items, 0 the player's
  SNpc* person = nullptr;
  u32 speakerWord = 0;
  SItemContainer* stock = nullptr;
  u32 dealPending = 0;
  u32 statusShowing = 0;
  u32 statusStart = 0, statusDuration = 0;  // tick count when it showed, and for how long

  SBorderCtrl frames[5], goldFrame;
  SFaceCtrl portrait;
  STextCtrl name, gold;
  SItemsCtrl grid;
  STitleTextCtrl description;
  SButtonCtrl prevPage, nextPage, leave, buy, sell;
  SCtrlMessageButton yes, no;

 private:
  void EndDeal();
  // After a trade: the grid rebuilt at the same place, the trade's sound, the status, the gold line.
  void AfterTrade(const char* verb, const SItemType* type, u32 amount, const char* sound);
};
