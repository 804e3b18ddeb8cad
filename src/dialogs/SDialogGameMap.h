// The map screen over the game view, in two views: the local view (the automap of the player's map, dragged
// with the stylus) and the world view (the world module's picture, where a tapped tile names its map). It
// shows the day and the time; close (48) goes to the owner, the game state.
#pragma once
#include "core/ui/SGameCtrls.h"
#include "dialogs/SGameDialog.h"
#include "game/SGameMapCtrl.h"

class SDialogGameMap : public SGameDialog {
 public:
  static constexpr u32 kLayout = 8;
  static constexpr u16 kFrameId = 44, kTitleId = 45, kMapId = 46, kDayId = 47, kCloseCode = 48, kWorldViewId = 49,
                       kLocalViewId = 50, kTimeId = 51, kSelectionId = 52;

  void Attach(SGameCore* gameCore) override;
  // Builds the screen in the local view.
  void Open();
  u32 OnCommand(u16 code) override;
  u32 OnTick(u32 frameCounter, SDisplay* screen) override { return 0; }

  // Selects the tile under the world map's last tap, or none.
  void SelectTile();
  void ShowWorldView(bool world);

  SBorderCtrl frame;
  STextCtrl title, selection, day, time;
  SGameMapCtrl automap;
  SGameWorldMapCtrl worldMap;
  SButtonCtrl worldView, localView, close;
};
