// The reading window of the inventory: the title and text of a book, spellbook, letter or map, a page at
// a time, with the sounds of opening, turning and closing. Its owner fills it and reports what reading
// did through its message box; its close code (25) goes to the owner.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialog.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"
#include "core/ui/SPicCtrl.h"

class SDialogItemRead : public SDialog {
 public:
  static constexpr u32 kBookLayout = 31, kLetterLayout = 32;
  static constexpr u32 kBook = 1, kSpellbook = 2, kLetter = 3;
  static constexpr u16 kFrameId = 19, kBackgroundId = 302, kTextId = 40, kPrevId = 303, kNextId = 304, kCloseId = 25;
  static constexpr u16 kOk = SDialogMessage::kOk;

  void Attach(SGameCore* gameCore) override;
  // Lays the window out for the kind (a letter: layout 32, else 31), empties the text and plays the
  // opening sound.
  void Open(u32 readingKind);
  void SetText(const char* title, const char* body);
  // A message with an "Ok" over the page.
  void ShowMessage(const char* text);
  u32 OnCommand(u16 code) override;
  // Both hidden for a single first page; otherwise previous from page 1 on, next while pages remain.
  void UpdatePageButtons();
  u32 PageCount() const { return text.PageCount(); }

  SFillBmpCtrl background;
  SBorderCtrl frame;
  STitleTextCtrl text;
  SButtonCtrl previous, next, close;
  SDialogMessage box;
  SDialogTextCtrl boxText;
  u32 kind = kBook;
  i32 page = 0;

 private:
  void ShowPage(i32 n);
};
