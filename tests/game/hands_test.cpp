// Choosing a hand through the real program: a tap on a hand picture of the view selects that hand, and
// with it which of two monsters sharing the faced cell the sword strikes; the zones lie over the
// pictures as drawn; a new game or a loaded one starts with the right hand again; a tap low in the view
// with no bag on the player's cell uses a hand; a paralysed player's hands, at rest and casting, take
// their pictures' other colours.
#include "WalkGame.h"
#include "core/SGameCore.h"
#include "game/SMonster.h"
#include "player/SPlayer.h"
#include "world/SImageCache.h"
#include "world/SItemTable.h"
#include "world/SSpell.h"
#include "world/SWorldRules.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr u16 kAttack = 3000;

void Tap(WalkGame& w, i32 x, i32 y) {
  w.game.penDown(x, y);
  w.game.penUp(x, y);
}

// Swings until one of the two is hurt; which one.
i32 StrikeUntilOneIsHurt(WalkGame& w, SMapArea& road, u8 first, u8 second) {
  for (u32 swing = 0; swing < 40; ++swing) {
    const i32 a = road.FindMonsterById(first)->hp, b = road.FindMonsterById(second)->hp;
    w.game.press(kAttack);
    if (!w.game.waitUntil(GameHarness::gameIdle(), 200)) return -1;
    if (road.FindMonsterById(first)->hp != a) return 0;
    if (road.FindMonsterById(second)->hp != b) return 1;
  }
  return -1;
}

TEST(Hands, ATapOnAHandPictureChoosesTheMonsterItStrikes) {
  WalkGame w;
  w.withMonsters = true;
  ASSERT_TRUE(w.Enter("base_out0102", 17, 10, 180));
  w.core().random->Seed(&w.core(), 11);
  SStateGame& s = w.state();
  SPlayer& player = w.core().player;
  SItemType* sword = w.core().world.items.FindType("base_weap_shortswordcheap");
  ASSERT_NE(sword, nullptr);
  player.EquipItem(player.AddItems(sword, 1), false);
  player.attributes[3] = 40;
  player.hp = 160;
  s.SetHandView(false, false);
  SMapArea& road = *s.window.CurrentArea();
  SMapMonster* rat = road.FindMonsterById(2);
  SMapMonster* spitter = road.FindMonsterById(3);
  ASSERT_TRUE(rat && spitter);
  // Every blow lands (no armour against a sword of a fixed damage), and the two stay where they are.
  sword->damageMin = sword->damageMax = 3;
  rat->monster->armourClass = spitter->monster->armourClass = 0;
  for (u8 id : {u8(2), u8(3)}) road.AddMonsterEffect(id, 1, 100, SMapArea::kParalysis, 0, nullptr);
  // Both stand in the cell in front of the player (the road's 10, 4), the rat in the first slot.
  for (SMapMonster* m : {rat, spitter}) {
    s.RemoveObjectAt(road, *m);
    ASSERT_TRUE(s.PlaceObjectInArea(road, *m, 10, 4));
  }
  s.window.ResolveCellObjects();
  s.RebuildAllCells();
  s.BuildMonsterSprites();
  const SMapCell& ahead = s.window.cells[17 + SMapWindow::kSize * 11];
  ASSERT_EQ(s.window.FindBlockMonsterById(17, 11, u8(ahead.monsterId[0])), rat);
  ASSERT_EQ(s.window.FindBlockMonsterById(17, 11, u8(ahead.monsterId[1])), spitter);
  ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 40));
  w.game.frame();

  // The zones lie over the two pictures as the view draws them: each corner of the view.
  const SWorldView& v = s.view;
  const SImageCache& images = w.core().world.images;
  for (i32 hand = 0; hand < 2; ++hand) {
    SCOPED_TRACE(hand);
    const SStateGame::HandZone& z = s.handZones[hand];
    const u16 id = hand == 0 ? v.handLeftImage : v.handRightImage;
    const SImage* picture = images.GetImageEntry(id) ? images.GetImageEntry(id)->image : nullptr;
    ASSERT_NE(picture, nullptr);
    ASSERT_TRUE(z.enabled);
    EXPECT_EQ(z.x, hand == 0 ? v.viewX : v.viewX + v.viewWidth - z.width);
    EXPECT_EQ(z.y + z.Height(), v.viewY + v.viewHeight);
    EXPECT_EQ(z.width, (hand == 0 ? v.handLeftWidthPct : v.handRightWidthPct) * picture->width / 100);
    EXPECT_EQ(z.Height(), (hand == 0 ? v.handLeftHeightPct : v.handRightHeightPct) * picture->height / 100);
  }

  // The left picture: the left hand, the rat.
  const i32 bottom = v.viewY + v.viewHeight - 3;
  EXPECT_EQ(s.selectedHand, 1);
  Tap(w, v.viewX + 3, bottom);
  EXPECT_EQ(s.selectedHand, 0);
  EXPECT_TRUE(s.events.Count() == 0 && s.actions.Count() == 0) << "choosing a hand uses nothing";
  EXPECT_EQ(StrikeUntilOneIsHurt(w, road, 2, 3), 0);
  // The right picture: the right hand, the spitter.
  ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 40));
  Tap(w, v.viewX + v.viewWidth - 3, bottom);
  EXPECT_EQ(s.selectedHand, 1);
  EXPECT_EQ(StrikeUntilOneIsHurt(w, road, 2, 3), 1);

  // A new game starts with the right hand, whatever the last one chose.
  s.selectedHand = 0;
  s.ResetForNewGame();
  EXPECT_EQ(s.selectedHand, 1);
}

TEST(Hands, ATapLowInTheViewWithoutABagUsesAHand) {
  WalkGame w;
  // The cellar door stands north of the player.
  ASSERT_TRUE(w.Enter("base_dungeon1", 10, 6, 0));
  SStateGame& s = w.state();
  ASSERT_EQ(s.CellBag(), nullptr);
  ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 40));
  const SWorldView& v = s.view;
  const i32 x = v.viewX + v.viewWidth / 2, y = v.viewY + v.viewHeight - 2;
  for (const SStateGame::HandZone& z : s.handZones) ASSERT_FALSE(z.Contains(x, y));
  w.game.clearFrames();
  w.MarkSounds();
  Tap(w, x, y);
  // The locked cellar door answers the hand.
  const std::vector<std::string> sounds = w.Sounds();
  EXPECT_NE(std::find(sounds.begin(), sounds.end(), "bsnd_ddoorlocked"), sounds.end());
  EXPECT_EQ(s.subMode, SStateGame::kMessageBox);
}

TEST(Hands, AParalysedPlayersHandsTakeTheirOtherColoursAtRestAndCasting) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  ASSERT_TRUE(w.Settle());
  SStateGame& s = w.state();
  SGameCore& core = w.core();
  SPlayer& p = core.player;
  p.inventory.DeleteAllItems();  // bare fists at rest
  const SSpell* glow = core.world.rules.spells.FindByName("base_spellglow");
  SFpsItem* fist = core.world.items.FindFpsItem("bres_fpsfist");
  SFpsItem* casting = core.world.items.FindFpsItem("bres_fpscastself");
  ASSERT_TRUE(glow && fist && casting);
  ASSERT_EQ(glow->TargetKind(), 1);
  // The world's hands name no other colours: these do.
  fist->textB = casting->textB = "bres_pal-town";
  const u16 other = core.world.images.FindPaletteIndex("bres_pal-town");
  ASSERT_NE(other, 0);
  auto palettes = [&] { return std::make_pair(s.view.handRightPalette, s.view.handLeftPalette); };
  auto cast = [&] {
    s.BeginCast(*glow);
    EXPECT_TRUE(w.game.waitUntil(
        {"the hands up", [&](const GameHarness&) { return s.actions.Count() && s.actions[0]->phase >= 2; }}, 20));
    const auto shown = palettes();
    EXPECT_TRUE(w.Settle());
    return shown;
  };
  for (const bool paralysed : {true, false}) {
    SCOPED_TRACE(paralysed ? "paralysed" : "free");
    if (paralysed)
      p.AddEffect(kSourceSpell, nullptr, 0, 100, 28, 0, nullptr);
    else
      p.CureEffect(28);
    ASSERT_EQ(p.IsParalyzed(), paralysed);
    s.SetHandView(false, false);
    const u16 expected = paralysed ? other : 0;
    EXPECT_EQ(palettes(), std::make_pair(expected, expected)) << "at rest";
    EXPECT_EQ(cast(), std::make_pair(expected, expected)) << "casting";
  }
}

}  // namespace
