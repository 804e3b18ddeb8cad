// Game state 15: the additional worlds installed beside the game's own, a page of rows at a time: each
// world's name, whether it is official or a third party's, and its enable and delete buttons. Entered
// from the main menu (kept on the stack); close returns there (99). Nothing installs additional worlds
// yet, so the list is empty and the row buttons report their codes to no effect.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SState.h"
#include "core/ui/STextCtrl.h"

class SStateAddWorlds : public SState {
 public:
  static constexpr u32 kLayout = 47;
  static constexpr u32 kRows = 10;
  // Layout ids, which are also the command codes.
  static constexpr u16 kTitleId = 16, kExplanationId = 664, kEmptyId = 665, kPreviousId = 697, kNextId = 698,
                       kCloseId = 25;
  static constexpr u16 kHeaderIds[4] = {139, 673, 681, 689};
  static constexpr u16 kNameIds[kRows] = {666, 667, 668, 669, 670, 671, 672, 706, 710, 714};
  static constexpr u16 kTypeIds[kRows] = {674, 675, 676, 677, 678, 679, 680, 707, 711, 715};
  static constexpr u16 kEnabledIds[kRows] = {682, 683, 684, 685, 686, 687, 688, 708, 712, 716};
  static constexpr u16 kDisabledIds[kRows] = {699, 700, 701, 702, 703, 704, 705, 718, 719, 720};
  static constexpr u16 kDeleteIds[kRows] = {690, 691, 692, 693, 694, 695, 696, 709, 713, 717};
  static constexpr u16 kUseAction = 3006;

  // Rows per page on a display mode.
  static u32 RowsPerPage(i32 mode);

  void Attach(SGameCore* gameCore) override;
  void Enter(u32 w0, u32 w1, u32 w2, u32 w3) override;
  u32 OnCommand(u16 code) override;

  u32 page = 0;
  u32 rowsPerPage = 10;

  STextCtrl title, explanation, headers[4], empty;
  STextCtrl names[kRows], types[kRows];
  SButtonCtrl enabled[kRows], disabled[kRows], remove[kRows];
  SButtonCtrl previous, next, close;

 private:
  void BuildPage();
  void RefreshRows();
  void UpdatePageButtons();
  u32 Count() const;
};
