// Ship travel: the full-screen voyage picture and text while the sea sound plays. Its one button (228)
// lands the player at the destination position and goes to the owner, the game state.
#pragma once
#include "dialogs/SGameDialog.h"
#include "foundation/SString.h"
#include "world/SImageCache.h"

class SDialogShipTravel : public SGameDialog {
 public:
  static constexpr u32 kLayout = 21;
  static constexpr u16 kFrameId = 19, kPictureId = 227, kCloseCode = 228, kPictureFrameId = 229, kTextId = 230;
  static constexpr u16 kShipPictureRecord = 3657;

  void Attach(SGameCore* gameCore) override;
  // The text to show and the position to arrive at (null keeps the last one).
  void Open(const char* text, const char* destinationName);
  u32 OnCommand(u16 code) override;
  u32 OnTick(u32 frameCounter, SDisplay* screen) override;

  SString destination;
  SString voyage;
  // Read on the first voyage and kept for the dialog's life: later voyages show it without reading it.
  SImageEntry shipPicture;
  u32 pictureReads = 0;
  SBorderCtrl frame, pictureFrame;
  SPicCtrl picture;
  STextCtrl text;
  SButtonCtrl ok;
};
