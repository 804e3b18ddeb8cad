// Golden frames of magic on the game screen of the real program: the casting hands in the middle of a
// cast, a spell's effect shown at a cell, and a potion being drunk.
#include "WalkGame.h"
#include "player/SPlayer.h"
#include "support/Png.h"
#include "world/SItemTable.h"
#include "world/SSpell.h"
#include "world/SWorldRules.h"

#include <gtest/gtest.h>

namespace {

std::string Compare(WalkGame& w, const char* golden) {
  const Os::Panel& panel = w.game.panel();
  return testpng::CompareGolden(golden, panel.pixels.data(), panel.width, panel.height, panel.width);
}

// The first action record has reached the phase.
GameHarness::Condition Phase(SStateGame& s, i32 phase) {
  return {"an action at phase " + std::to_string(phase),
          [&s, phase](const GameHarness&) { return s.actions.Count() && s.actions[0]->phase >= phase; }};
}

const SSpell* Spell(WalkGame& w, const char* name) { return w.core().world.rules.spells.FindByName(name); }

TEST(CastGolden, TheCastingHandsInTheMiddleOfACast) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  ASSERT_TRUE(w.Settle());
  SStateGame& s = w.state();
  const SSpell* glow = Spell(w, "base_spellglow");
  ASSERT_NE(glow, nullptr);
  w.core().player.mana = 100;
  w.core().player.race = 2;  // heal magic is not an undead's
  w.core().player.LearnSpell("base_spellglow", false);
  ASSERT_TRUE(w.core().player.KnowsSpell("base_spellglow"));
  // The book open on the heal spells, the glow chosen and cast.
  s.OpenMagicBook();
  ASSERT_EQ(s.subMode, SStateGame::kSpellbook);
  s.spellbook.SelectCategory(SDialogSpellbook::kFirstTabId);
  s.spellbook.list.SelectByKey("base_spellglow");
  ASSERT_EQ(s.spellbook.GetSelectedSpell(), glow);
  w.MarkSounds();
  s.OnCommand(SDialogSpellbook::kCastCode);
  ASSERT_EQ(s.actions.Count(), 1u);
  ASSERT_TRUE(w.game.waitUntil(Phase(s, 3), 20));
  EXPECT_TRUE(w.Played("bsnd_bookpage"));
  EXPECT_EQ(Compare(w, "cast_hands_240x320"), "");
  ASSERT_TRUE(w.Settle());
  // The self spell with its picture: the cast sound, then the picture's own hit sound as it shows.
  EXPECT_TRUE(w.Played("bsnd_spellcast0"));
  EXPECT_TRUE(w.Played("bsnd_hitpoison"));
}

TEST(CastGolden, ASpellsEffectAtACell) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  ASSERT_TRUE(w.Settle());
  SStateGame& s = w.state();
  const SSpell* flame = Spell(w, "base_spellflamepalm");
  ASSERT_NE(flame, nullptr);
  s.RunSpellCast(*flame, 10, 5, 7, true);
  ASSERT_EQ(s.actions.Count(), 1u);
  EXPECT_EQ(s.actions[0]->kind, u32(kActionSpellEffect));
  ASSERT_TRUE(w.game.waitUntil(Phase(s, 1), 20));
  EXPECT_EQ(Compare(w, "cast_effect_240x320"), "");
}

TEST(CastGolden, APotionBeingDrunk) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  ASSERT_TRUE(w.Settle());
  SStateGame& s = w.state();
  SPlayer& p = w.core().player;
  p.inventory.DeleteAllItems();
  p.AddItems(w.core().world.items.FindType("base_potion_glow"), 1);
  s.OpenPotions();
  ASSERT_EQ(s.subMode, SStateGame::kPotionList);
  s.potions.list.Select(0);
  s.OnCommand(SDialogPotion::kDrinkCode);
  EXPECT_EQ(p.CountItems("base_potion_glow"), 0u);
  ASSERT_EQ(s.actions.Count(), 1u);
  EXPECT_EQ(s.actions[0]->kind, u32(kActionPotion));
  ASSERT_TRUE(w.game.waitUntil(Phase(s, 1), 20));
  EXPECT_EQ(Compare(w, "cast_potion_240x320"), "");
}

}  // namespace
