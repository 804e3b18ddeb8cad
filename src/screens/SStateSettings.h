// Game state 14: the settings, on one live page: the sound and music volumes (0 to 10), the screen
// orientation on the modes that can turn, the 3D view's size, and the nine key bindings of the current
// orientation with their defaults. Every change reaches the game at once and is saved to the registry;
// closing saves once more and returns to the main menu (99).
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"
#include "core/ui/SGameCtrls.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/SState.h"
#include "core/ui/STextCtrl.h"
#include "foundation/SSettings.h"

class SStateSettings : public SState {
 public:
  static constexpr u32 kLayout = 46;
  static constexpr u32 kLevels = 11;   // volume boxes 0 to 10
  static constexpr u32 kKeyRows = 9;   // built of the room for 13
  static constexpr u32 kActions = 10;  // the action table
  static constexpr u32 kMaxChoices = 8;
  // Layout ids, which are also the command codes.
  static constexpr u16 kTitleId = 16, kSoundLabelId = 595, kMusicLabelId = 606, kOrientationLabelId = 619,
                       kViewLabelId = 660, kViewValueId = 661, kViewUpId = 662, kViewDownId = 663, kKeysLabelId = 622,
                       kDefaultKeysId = 655, kCloseId = 25;
  static constexpr u16 kOrientationIds[3] = {620, 621, 659};
  static constexpr u16 kKeyLabelIds[kKeyRows] = {623, 624, 625, 626, 152, 631, 632, 633, 634};
  static constexpr u16 kKeyPreviousIds[kKeyRows] = {639, 641, 642, 643, 657, 644, 645, 646, 647};
  static constexpr u16 kKeyValueIds[kKeyRows] = {627, 628, 629, 630, 656, 635, 636, 637, 638};
  static constexpr u16 kKeyNextIds[kKeyRows] = {640, 648, 649, 650, 658, 651, 652, 653, 654};
  static constexpr u16 kUseAction = 3006;

  // The id of sound box k and music box k.
  static u16 SoundBoxId(u32 k) { return u16(k == 0 ? 607 : 595 + k); }
  static u16 MusicBoxId(u32 k) { return u16(k == 0 ? 618 : 607 + k); }
  // Which display modes show the orientation buttons, the view size row; which bind keys by character.
  static bool TurnableMode(i32 mode);
  static bool ViewSizeMode(i32 mode);
  static bool KeyboardMode(i32 mode) { return SSettings::KeyboardMode(mode); }
  // The mode an orientation turns a mode into (the pairs 3/4, 6/7, 9/10; others stay).
  static i32 ModeForOrientation(i32 mode, u32 orientation);

  // The tables: actions by index (name, code), key choices of a row by index.
  static u32 FindAction(u32 code);
  static const char* ActionName(u32 index);
  static u32 ActionCode(u32 index);
  static u32 KeyChoiceCount(u32 row);
  static u32 FindKeyChoice(u32 row, u32 code);
  static const char* KeyChoiceName(u32 row, u32 index);
  static u32 KeyChoiceCode(u32 row, u32 index);

  void Attach(SGameCore* gameCore) override;
  void Enter(u32 w0, u32 w1, u32 w2, u32 w3) override;
  void Leave(u32 next) override;
  u32 OnCommand(u16 code) override;

  // Entry i (0 to 8) of the current orientation's key set.
  u32 GetKeyEntry(u32 i) const;
  void SetKeyEntry(u32 i, u32 value);
  u32 ViewSize() const;

  u32 orientation = 0;  // 0 portrait, 1 left landscape, 2 right landscape

  STextCtrl title;
  STextCtrl soundLabel, musicLabel;
  SFillColorCtrl soundBoxes[kLevels], musicBoxes[kLevels];
  STextCtrl orientationLabel;
  STopicButtonCtrl orientationButtons[3];
  STextCtrl viewLabel, viewValue;
  SButtonCtrl viewUp, viewDown;
  STextCtrl keysLabel;
  STextCtrl keyLabels[kKeyRows], keyValues[kKeyRows];
  SButtonCtrl keyPrevious[kKeyRows], keyNext[kKeyRows];
  STopicButtonCtrl defaultKeys;
  SButtonCtrl close;
  SDialogMessage box;
  SDialogTextCtrl boxText;

 private:
  void BuildPage();
  void RefreshKeyRows();
  void RefreshVolumeBoxes();
  void ViewSizeName();
  void SetViewSize(u32 value);
  void SetSoundVolume(u32 level);
  void SetMusicVolume(u32 level);
  void SetOrientation(u32 o);
  // Makes the display for the core's mode and the display's orientation; false when it cannot be made
  // or does not hold the mode's picture.
  bool ApplyMode();
  void ViewSizeUp();
  void ViewSizeDown();
  void PreviousKey(u32 row);
  void NextKey(u32 row);
  void DefaultKeys();
  void MarkOrientation();
  u32* KeySet() const;
};
