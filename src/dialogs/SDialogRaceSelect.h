// The new player's "Select a race" dialog: the five playable races, and for the one under the cursor its
// picture, its description and the effects of its racial ability in two columns.
#pragma once
#include "core/ui/SDialogListCtrl.h"
#include "dialogs/SSelectDialog.h"
#include "world/SImageCache.h"

class SDialogRaceSelect : public SSelectDialog {
 public:
  static constexpr u32 kLayout = 18;
  static constexpr u16 kListId = 200, kPictureId = 202, kDescriptionId = 203, kLeftEffectsId = 204,
                       kRightEffectsId = 206;
  static constexpr u16 kFirstPictureRecord = 3070;

  // Builds and shows the dialog with the race (1 to 5) selected.
  void Open(u32 race);
  // Releases the race pictures; the opener calls it after the dialog closes, whatever the answer.
  void Reset();
  u32 OnCommand(u16 code) override;

  u32 chosenRace = 0;
  SImageEntry pictures[5];
  SBorderCtrl frames[2];
  SDialogListCtrl list;
  SPicCtrl picture;
  STextCtrl description, leftEffects, rightEffects;

 private:
  void Refresh();
};
