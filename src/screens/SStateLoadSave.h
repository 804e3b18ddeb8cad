// Game state 8: loading and saving games in the saved-game slots 1 to 4. Entered from the main menu (kept on
// the stack) with word 0 saying the mode: 1 load, 0 save. Each slot is a row with its thumbnail and two
// lines (place; day and time); a tapped row is selected and the action and remove buttons follow what the
// selected slot holds. Every failure of a save, a removal or a load is told to the player; a failed save
// keeps the slot's previous game.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialogLoading.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/SState.h"
#include "core/ui/STextCtrl.h"
#include "player/SSaveGame.h"

class SStateLoadSave : public SState {
 public:
  static constexpr u32 kLayout = 11;
  static constexpr u32 kRows = 4;  // row k is slot k + 1
  // Layout ids, which are also the command codes.
  static constexpr u16 kFrameId = 19, kTitleId = 16, kActionId = 94, kRemoveId = 95, kCloseId = 26;
  static constexpr u16 kRowFrameIds[kRows] = {96, 97, 98, 99};
  static constexpr u16 kThumbnailIds[kRows] = {86, 88, 90, 92};
  static constexpr u16 kTextIds[kRows] = {87, 89, 91, 93};
  // What the open message box asks or tells.
  enum Prompt : u32 {
    kPromptNone = 0,
    kPromptOverwrite = 2,
    kPromptRemove = 3,
    kPromptNotice = 4,      // Ok only closes it
    kPromptSaved = 5,       // Ok returns to the main menu
    kPromptLoadFailed = 6,  // Ok goes to the main menu: the states were already left
  };
  static constexpr u16 kOk = SDialogMessage::kOk, kYes = SDialogMessage::kYes, kNo = SDialogMessage::kNo;

  SStateLoadSave() = default;
  ~SStateLoadSave() override;

  void Attach(SGameCore* gameCore) override;
  // (mode: 1 load, 0 save; three words not read).
  void Enter(u32 mode, u32 w1, u32 w2, u32 w3) override;
  void Leave(u32 next) override;
  u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) override;
  u32 OnCommand(u16 code) override;

  // Selects a row (-1 none), colours the rows and shows the buttons the selection allows.
  void SelectRow(i32 row);
  bool SlotHoldsGame(i32 row) const { return row >= 0 && row < i32(kRows) && slots[row] != nullptr; }
  // The row's thumbnail and texts from its description, or "- empty -" without one.
  void SlotText(i32 row);

  u32 loadMode = 0;  // nonzero: load
  i32 selected = -1;
  u32 prompt = kPromptNone;
  SSaveSlotInfo* slots[kRows] = {};  // null for an empty slot; owned
  // The thumbnails as pixels (copied out of the slot files, which need not be aligned for them).
  u16 thumbnails[kRows][kThumbnailBytes / 2] = {};

  SDialogLoading loading;
  SBorderCtrl frame;
  STextCtrl title;
  SBorderCtrl rowFrames[kRows];
  SPicCtrl rowPictures[kRows];
  STextCtrl rowTexts[kRows];
  SButtonCtrl action, remove, close;
  SDialogMessage box;
  SDialogTextCtrl boxText;

 private:
  void ReadSlots();
  void FreeSlot(i32 row);
  void FreeSlots();
  void ApplyButtonRule();
  void SaveSelected();
  void RemoveSelected();
  u32 LoadSelected();
  void Ask(const char* text, u32 buttons, u32 mode);
};
