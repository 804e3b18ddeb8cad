// The stylus keyboard for names and other short texts: an edit line, keys for the letters, the digits,
// "space", "shift" and backspace, a shift indicator, and accept and cancel buttons whose codes (25, 26)
// go to the parent's command handler. Every control is placed from the keyboard's layout. The first
// letter of the text and of every word is a capital unless the player changes the shift state.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialog.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/SSceneTextCtrl.h"
#include "core/ui/STextCtrl.h"

class SDialogTextEdit : public SDialog {
 public:
  static constexpr u32 kLayout = 17;  // the keyboard's layout
  static constexpr u32 kAccept = 25, kCancel = 26;
  static constexpr u32 kFirstKey = 157, kSpace = 193, kShift = 194, kBackspace = 195;
  static constexpr u32 kLetterKeys = 26, kCharacterKeys = 36;  // letters, then the digits 1 to 9 and 0
  static constexpr u32 kKeyCount = 45;
  static constexpr u32 kMaxLength = 50;
  // Shift states.
  static constexpr u8 kLower = 0, kCapitalNext = 1, kCapsLock = 2;
  // The font's glyphs of the backspace key and of the shift indicator (capital next, caps lock).
  static constexpr char kBackspaceGlyph = char(145), kCapitalGlyph = char(146), kCapsLockGlyph = char(147);

  SDialogTextEdit() = default;

  // Builds the keyboard from its layout, centred on the screen, with an empty line.
  void Create();
  // The line's text (cut to the line's limit); a capital is next when it is empty.
  void SetText(const char* initial);
  const char* GetText() const { return edit.Text(); }
  // Types a character: letters as the shift state says, then the state moves on.
  void PressKey(char c);
  void Backspace();
  void CycleShift();
  // The shift indicator and the letter captions for the shift state.
  void RefreshKeys();

  u32 OnCommand(u16 code) override;

  SBorderCtrl frames[5];
  SButtonCtrl keys[kKeyCount];
  SBorderCtrl editFrame;
  STextCtrl shiftIndicator;
  SButtonCtrl accept;
  SButtonCtrl cancel;
  SFillBmpCtrl keyBackground;
  STextCursorCtrl edit;
  u8 shiftState = kLower;

 private:
  void Click();
};
