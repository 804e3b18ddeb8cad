// Mark and recall through the game state: the entries by Intelligence, marking and overwriting, recall
// before any mark, recall moving the player, recall to a world or a cell that is no more, and paging.
#include "GameDialogs.h"
#include "dialogs/SDialogMarkRecall.h"
#include "game/SStateGame.h"
#include "world/SMapArea.h"

namespace {

struct MarkGame : DialogGame {
  MarkGame() {
    EXPECT_TRUE(Enter("base_dungeon2", 3, 3, 90));
    player().markedPositions.DeleteAll();
    player().attributes[4] = 14;
  }
  SDialogMarkRecall& dialog() { return state().markRecall; }
  std::vector<std::string> rows() { return Rows(dialog().list); }
  // Opens the dialog through the game state, chooses the entry and presses OK.
  void Choose(u32 entry) {
    dialog().list.Select(i32(entry));
    dialog().OnCommand(SDialogMarkRecall::kOkId);
  }
  bool Told(const std::string& text) {
    for (const auto& m : game.messages())
      if (m.text == text) return true;
    return false;
  }
};

TEST(MarkRecall, IntelligenceGivesTheEntriesAndMarkingFillsAndOverwritesThem) {
  MarkGame g;
  g.state().BeginMark();
  ASSERT_EQ(g.state().subMode, SStateGame::kMarkRecall);
  EXPECT_EQ(g.dialog().title.text.CStr(), std::string("Mark a position"));
  EXPECT_EQ(g.rows(), (std::vector<std::string>{"1. -", "2. -"}));
  g.Choose(1);
  EXPECT_EQ(g.state().subMode, SStateGame::kWalking);  // OK closes as 232
  EXPECT_EQ(g.rows(), (std::vector<std::string>{"1. -", "2. Duskmire Vale, Deep Cellars"}));
  const SMarkedPosition* p = g.player().GetMarkedPosition(1);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->column, 3);
  EXPECT_EQ(p->row, 3);
  EXPECT_EQ(p->facing, 1);
  ASSERT_TRUE(g.Settle());
  EXPECT_TRUE(g.Told("Position has been marked."));

  // The same entry again, from elsewhere: overwritten.
  g.state().window.playerX = 6;
  g.state().facing = 0;
  g.state().BeginMark();
  g.Choose(1);
  EXPECT_EQ(g.player().GetMarkedPosition(1)->column, 6);
  EXPECT_EQ(g.player().GetMarkedPosition(1)->facing, 0);

  // A lower Intelligence never takes entries away; a new character with Intelligence 4 still has one.
  g.player().attributes[4] = 4;
  g.state().BeginMark();
  EXPECT_EQ(g.rows().size(), 2u);
  g.dialog().OnCommand(SDialogMarkRecall::kCloseCode);
  g.player().markedPositions.DeleteAll();
  g.state().BeginMark();
  EXPECT_EQ(g.rows(), (std::vector<std::string>{"1. -"}));
  g.dialog().OnCommand(SDialogMarkRecall::kCloseCode);
}

TEST(MarkRecall, RecallBeforeAnyMarkHasNoRows) {
  MarkGame g;
  g.state().BeginRecall();
  EXPECT_NE(g.state().subMode, SStateGame::kMarkRecall);
  ASSERT_TRUE(g.Settle());
  EXPECT_TRUE(g.Told("You haven't marked any positions to recall."));
  g.state().OpenSubDialog(&g.dialog(), SStateGame::kMarkRecall);
  g.dialog().Open(0);
  EXPECT_EQ(g.dialog().title.text.CStr(), std::string("Recall a position"));
  EXPECT_TRUE(g.rows().empty());
  g.Choose(0);
  EXPECT_TRUE(g.state().events.Count() == 0);
}

TEST(MarkRecall, RecallMovesThePlayerToTheMarkedCellAndFacing) {
  MarkGame g;
  g.state().BeginMark();
  g.Choose(0);
  ASSERT_TRUE(g.Settle());
  ASSERT_TRUE(g.Enter("base_out0101", 17, 17, 0));
  g.state().BeginRecall();
  ASSERT_EQ(g.state().subMode, SStateGame::kMarkRecall);
  EXPECT_EQ(g.rows(), (std::vector<std::string>{"1. Duskmire Vale, Deep Cellars", "2. -"}));
  g.Choose(0);
  ASSERT_TRUE(g.Settle(400));
  const SMapArea* map = g.state().window.CurrentArea();
  ASSERT_NE(map, nullptr);
  EXPECT_STREQ(map->name.Text(), "base_dungeon2");
  EXPECT_EQ(g.state().window.playerX, 3);
  EXPECT_EQ(g.state().window.playerY, 3);
  EXPECT_EQ(g.state().facing, 90);
}

TEST(MarkRecall, RecallToAMissingWorldOrACellOutsideItsMapFails) {
  MarkGame g;
  g.state().BeginMark();
  g.Choose(0);
  ASSERT_TRUE(g.Settle());
  SMarkedPosition* p = g.player().GetMarkedPosition(0);
  ASSERT_NE(p, nullptr);
  const SMarkedPosition kept = {p->worldName, p->worldTitle, p->mapName, p->mapTitle, p->column, p->row, p->facing};
  const u8 width = g.state().window.CurrentArea()->width;
  const auto damage = [&](u32 which) {
    *p = {kept.worldName, kept.worldTitle, kept.mapName, kept.mapTitle, kept.column, kept.row, kept.facing};
    if (which == 0) p->worldName.Assign("gone_world");
    if (which == 1) p->mapName.Assign("base_nomap");
    if (which == 2) p->column = width;
    if (which == 3) p->row = 200;
  };
  for (u32 which = 0; which < 4; ++which) {
    damage(which);
    g.state().window.playerX = 5;
    g.state().BeginRecall();
    g.Choose(0);
    ASSERT_TRUE(g.Settle()) << which;
    EXPECT_EQ(g.state().window.playerX, 5) << which;
    EXPECT_EQ(g.game.messages().back().text, "Teleport failed.") << which;
  }
}

TEST(MarkRecall, PagingSelectsThePagesFirstRow) {
  MarkGame g;
  g.player().attributes[4] = 60;  // twelve entries
  g.state().BeginMark();
  SDialogMarkRecall& d = g.dialog();
  ASSERT_EQ(g.rows().size(), 12u);
  EXPECT_FALSE(d.pageUp.IsEnabled());
  EXPECT_TRUE(d.pageDown.IsEnabled());
  d.OnCommand(SDialogMarkRecall::kPageDownId);
  EXPECT_EQ(d.list.firstRow, d.list.PageSize());
  EXPECT_EQ(d.list.selected, d.list.firstRow);
  EXPECT_TRUE(d.pageUp.IsEnabled());
  d.OnCommand(SDialogMarkRecall::kPageUpId);
  EXPECT_EQ(d.list.selected, 0);
  EXPECT_FALSE(d.pageUp.IsEnabled());
  d.OnCommand(SDialogMarkRecall::kCloseCode);
}

}  // namespace
