// Stealing through the real program: the player stands behind a townswoman whose back is turned, uses
// her, is asked with the chance in words, answers Yes, and takes the one thing she carries.
#include "WalkGame.h"
#include "game/SMonster.h"
#include "player/SPlayer.h"
#include "world/SItemTable.h"

#include <gtest/gtest.h>

namespace {

TEST(StealReplay, FromATownswomanWhoseBackIsTurned) {
  WalkGame w;
  w.withMonsters = true;
  ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0));
  SStateGame& s = w.state();
  SPlayer& p = w.core().player;
  SMapArea* town = s.window.CurrentArea();
  SMapMonster* woman = nullptr;
  for (SMapMonster* m : town->monsters)
    if (m && m->monster && std::string(m->monster->name.Text()) == "base_townswoman") woman = m;
  ASSERT_NE(woman, nullptr);
  // Her cell in the window.
  i32 wx = -1, wy = -1;
  for (i32 y = 0; y < SMapWindow::kSize && wx < 0; ++y)
    for (i32 x = 0; x < SMapWindow::kSize; ++x) {
      const SMapCell* c = s.window.Cell(x, y);
      if (c && s.window.BlockArea(x, y) == town && (c->monsterId[0] == woman->id || c->monsterId[1] == woman->id)) {
        wx = x, wy = y;
        break;
      }
    }
  ASSERT_GE(wx, 0);
  // She faces north; the player stands south of her, facing north too.
  woman->flags = u8(woman->flags & ~(3 << 3));
  s.window.playerX = wx;
  s.window.playerY = wy + 1;
  s.facing = 0;
  SItemContainer* pocket = town->FindContainerById(woman->containerId);
  ASSERT_NE(pocket, nullptr);
  pocket->DeleteAllItems();
  pocket->AddItem(w.core().world.items.FindType("base_misc_candle")->CreateInstance(100, s.Random()));
  p.skills[20] = 100;
  p.crime = 0;
  p.inventory.DeleteAllItems();
  w.core().random->Seed(&w.core(), 11);

  s.UseHand(-1, 1);
  ASSERT_EQ(w.game.eventKinds(), std::vector<u32>{kEventTheft});
  ASSERT_TRUE(w.game.waitUntil(GameHarness::subModeIs(SStateGame::kStealing), 5));
  bool asked = false;
  for (const auto& m : w.game.messages())
    asked = asked || m.text.find("Do you try to steal (chance: ") != std::string::npos;
  EXPECT_TRUE(asked);
  ASSERT_TRUE(w.Choose(SStateGame::kStealing, "Yes"));
  ASSERT_TRUE(w.Settle());
  EXPECT_EQ(p.practice[20], 1);
  // With this seed the roll lands: the candle changes hands, and no crime is done.
  EXPECT_EQ(p.CountItems("base_misc_candle"), 1u);
  EXPECT_EQ(pocket->GetItemCount(), 0u);
  EXPECT_EQ(p.crime, 0u);
  bool told = false;
  for (const auto& m : w.game.messages()) told = told || m.text.rfind("You have stolen ", 0) == 0;
  EXPECT_TRUE(told);
}

}  // namespace
