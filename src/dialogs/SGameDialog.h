// What the game state's own dialogs share: the click and world sounds at volume step 10, the frame sets by
// display mode, and the layout helpers that give a control its look only when the layout places it (a
// control the layout lacks stays hidden and takes no input).
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialog.h"
#include "core/ui/SDialogListCtrl.h"
#include "core/ui/SGameCtrls.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/STextCtrl.h"

class SItem;
class SItemType;
class SPlayer;
struct SImageEntry;

class SGameDialog : public SDialog {
 public:
  // Picture slots of the buttons: list page arrows, previous and next arrows, confirm and close.
  static constexpr u32 kPageUpSlot = 60, kPageDownSlot = 62, kPreviousSlot = 135, kNextSlot = 137, kConfirmSlot = 145,
                       kCloseSlot = 143;

  // The first (0) or second (1) click sound of the game core.
  void Click(u32 which);
  // A sound of the world's sound table by name.
  void PlayNamed(const char* name);
  SPlayer* Player() const;
  // The small frame set on the compact display modes, the large one elsewhere (null without a core).
  SImageEntry* const* OuterFrameSet() const;
  SImageEntry* const* SmallFrameSet() const;
  SImageEntry* const* Slot(u32 slot) const;

  bool AddFrame(SBorderCtrl& frame, u16 id, bool outer);
  // The picture of the slot tiled over the control's rectangle.
  bool AddTiledPicture(SFillBmpCtrl& fill, u16 id, u32 slot);
  bool AddPictureButton(SButtonCtrl& button, u16 id, u32 slot);
  // A button drawn from the menu button panels with its caption (tabs and view switches).
  bool AddLabelButton(SButtonCtrl& button, u16 id, const char* caption);
  bool AddText(STextCtrl& text, u16 id, const char* value, u32 mode, u32 colour, u32 shade);
  bool AddList(SDialogListCtrl& list, u16 id, u32 textColour, u32 shade);
  // Previous page enabled while the first visible row is not 0; next while rows follow the page.
  static void UpdatePageButtons(const SDialogListCtrl& list, SButtonCtrl& up, SButtonCtrl& down);
  // Moves the list one page (the page's first row selected) and updates the arrows.
  static void Page(SDialogListCtrl& list, bool down, SButtonCtrl& up, SButtonCtrl& downButton);
  // The player's practice counter of the skill grows by one, up to 255.
  void Practise(u32 skill);
  // The item control shows the type's inventory picture (nothing for a null type).
  void ShowItem(SItemCtrl& control, const SItemType* type, u32 count);
  // A row key written as a decimal index: its value, or -1 when it is empty or not a plain number.
  static i32 KeyIndex(const char* key);
  // The player's inventory item at a row key's index; null for a bad key or an index past the items.
  SItem* InventoryItemForKey(const char* key) const;
  // A touch (down, or a move of a stylus put down here) outside the dialog's rectangle becomes the code;
  // everything else goes the usual way.
  u32 PenClosingOutside(i32 x, i32 y, u32 touching, u32 moving, u16 code);
};
