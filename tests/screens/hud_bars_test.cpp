// The game screen's hp and mana bars when a maximum moves and the pools stay: each way the game changes a
// maximum, in turn on one character, and the bars' share afterwards.
#include "core/ui/SGameCtrls.h"
#include "player/SPlayer.h"
#include "screens/InventoryGame.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(HudBars, TheBarsFollowEveryChangeOfAMaximum) {
  InventoryGame g;
  ASSERT_TRUE(g.Open());
  g.game.tapControl(SStateInventory::kCloseId);
  ASSERT_TRUE(g.game.waitUntil(GameHarness::stateIs(kStateGame), 10));
  SStateGame& s = g.state();
  SPlayer& p = g.player();
  p.race = 2;  // living: Fortify hp raises his maximum
  p.attributes[3] = p.attributes[4] = 15;
  p.SetHp(p.GetMaxHp() / 2, false);
  p.SetMana(p.GetMaxMana() / 2, false);
  SItem* amulet = g.Make("base_acc_graveamulet");  // Fortify hp -25 while worn
  ASSERT_NE(amulet, nullptr);

  // In the pack: the amulet's cell selected, the confirm key on it (put on or taken off), the pack closed.
  auto wearOrRemove = [&] {
    if (!g.Reopen() || !g.Select("base_acc_graveamulet")) return false;
    g.Confirm();
    g.game.tapControl(SStateInventory::kCloseId);
    return bool(g.game.waitUntil(GameHarness::stateIs(kStateGame), 10));
  };
  const struct {
    const char* what;
    std::function<bool()> change;
  } steps[] = {
      {"a Fortify hp potion drunk",
       [&] {
         SItem* potion = g.Make("base_pfortifyhp");
         s.DrinkPotionItem(potion);
         return potion != nullptr;
       }},
      {"its effect running out", [&] { return s.PassTime(0, 0, 31), true; }},
      {"a Fortify hp item put on", wearOrRemove},
      {"the item taken off", wearOrRemove},
      {"an ability with Fortify mana gained", [&] { return p.AddAbility("base_ability_etherim", false), true; }},
      {"the ability lost", [&] { return p.RemoveAbility("base_ability_etherim"), true; }},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    // The bars right before (the pools' setters set them), so that each step is judged on its own.
    p.SetHp(p.hp, false);
    p.SetMana(p.mana, false);
    const i32 hp = p.hp, mana = p.mana, shownHp = s.hitPoints.shown, shownMana = s.spellPoints.shown;
    ASSERT_TRUE(step.change());
    g.game.frame();
    ASSERT_EQ(g.game.state(), kStateGame);
    EXPECT_EQ(p.hp, hp);
    EXPECT_EQ(p.mana, mana);
    EXPECT_TRUE(p.GetHealthPercent() != shownHp || p.GetManaPercent() != shownMana) << "no share moved";
    EXPECT_EQ(s.hitPoints.shown, p.GetHealthPercent()) << p.hp << "/" << p.GetMaxHp();
    EXPECT_EQ(s.spellPoints.shown, p.GetManaPercent()) << p.mana << "/" << p.GetMaxMana();
  }
}

}  // namespace
