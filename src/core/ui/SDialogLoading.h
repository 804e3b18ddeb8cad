// The full-screen progress display of starting, loading and saving a game and of opening a world: four
// pictures, a centred "Loading..." line and a framed bar under it. Since no frame loop runs during those
// operations, beginning and every step paint the dialog and present the screen themselves; the world
// loader and the loading phases step it as their progress callback.
#pragma once
#include "core/ui/SDialog.h"
#include "core/ui/SFaceCtrl.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/STextCtrl.h"
#include "world/SWorldModule.h"

class SDialogLoading : public SDialog, public SLoadingSteps {
 public:
  static constexpr u32 kLayout = 3;  // the loading screen's layout
  static constexpr u32 kPictures = 4;

  SDialogLoading() { bar.SetTotal(1); }

  // Builds the dialog from its layout; run before the first Begin.
  void Layout();
  // "Loading..." in the text line, and the whole dialog painted.
  void ShowLoadingText();
  // A bar of `steps` steps, none done; painted and presented.
  void Begin(i32 steps);
  // One more step done (never more than the total); painted and presented.
  void Step() override;

  u32 OnCommand(u16 code) override { return 0; }

  SPicCtrl pictures[kPictures];
  STextCtrl text;
  SBorderCtrl frame;
  SProgressCtrl bar;

 private:
  void PaintAndPresent();
};
