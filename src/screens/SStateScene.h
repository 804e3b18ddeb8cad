// Game state 11: a scene of the world (the introduction, the credits, the story's scenes): pages with an
// optional picture, a text that scrolls, and an optional script whose messages join the text. Entered with
// the mode (0 new game, 1 back to the kept state, 2 the same with centred texts) and the scene (its
// position in the scene table plus one, 0 for none); a missing or empty scene ends at its first tick.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/SSceneTextCtrl.h"
#include "core/ui/SState.h"
#include "foundation/SString.h"
#include "world/SImageCache.h"

class SScene;
struct SScenePage;

class SStateScene : public SState {
 public:
  static constexpr u32 kLayout = 7;
  static constexpr u16 kFrameId = 19, kPictureId = 39, kTextId = 40, kFasterId = 41, kSlowerId = 42, kAutoId = 43;
  static constexpr u16 kFirstFrameRecord = 3540, kFirstButtonRecord = 3560, kFirstCompactButtonRecord = 3847;
  static constexpr i32 kMinSpeed = 50, kMaxSpeed = 300, kSpeedStep = 50;
  static constexpr u32 kNewGame = 0, kCentredTexts = 2;

  void Attach(SGameCore* gameCore) override;
  void Enter(u32 mode, u32 scene, u32 w2, u32 w3) override;
  void Leave(u32 next) override;
  u32 OnKey(u32 key) override;
  u32 OnCommand(u16 code) override;
  u32 OnTick(u32 frameCounter, SDisplay* screen) override;

  // A page script's message, added to the scrolling text.
  void AddScriptText(const char* text);

  // The music the scene plays while this state is current; empty for none.
  SString musicTrack;
  u32 mode = 0;
  const SScene* scene = nullptr;
  u32 words[2] = {};  // the two further entry words, kept as given
  u32 pageIndex = 0;
  SImageEntry* pagePicture = nullptr;  // the image cache's entry, held while its page shows
  i32 scrollSpeed = 100;
  u32 automatic = 1;
  u32 automaticTick = 0;

  SImageEntry frameHolders[9];
  SImageEntry buttonHolders[8];
  SImageEntry* framePieces[9] = {};
  // Faster (up, down, disabled), slower (up, down, disabled), automatic on (shown, pressed), off. The speed
  // is the text's time per pixel step: 41 shortens it, 42 lengthens it.
  SImageEntry* buttonSets[4][3] = {};

  SBorderCtrl frame;
  SPicCtrl picture;
  SSceneTextCtrl text;
  SButtonCtrl faster, slower, automaticToggle;

 private:
  void ShowPage();
  void ReleasePagePicture();
  // The next page, or the end of the scene: 0 while pages remain, else the next state.
  u32 TurnPage();
  u32 End();
  void Click();
  void UpdateSpeedButtons();
  void ShowAutomatic();
};
