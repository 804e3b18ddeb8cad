// The player's fight through the real program, headless, on the sample world with the game's generator
// seeded: on the south road a rat (melee) and a spitter (missile) come at the player, who swings a short
// sword (action 3000) until the rat dies; the log tells each swing's hit points on both sides, the sounds
// and the music, what the screen shows after the kill (no box, unless the kill brings a level), the rat's
// loot bag, the experience, and the danger running down after the fight.
#include "WalkGame.h"
#include "core/SGameCore.h"
#include "game/SMonster.h"
#include "player/SPlayer.h"
#include "support/GoldenText.h"
#include "support/Png.h"
#include "world/SItem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

constexpr u16 kAttack = 3000;

std::string Joined(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) out += " " + n;
  return out.empty() ? " -" : out;
}

// The text of the open message box, its lines joined by spaces.
std::string BoxText(const GameHarness& game) {
  std::string text;
  for (const GameHarness::Control& c : game.controls())
    if (c.dialog == "SDialogMessage" && c.type == "SDialogTextCtrl") text += " " + c.text;
  std::replace(text.begin(), text.end(), '\r', ' ');
  return text;
}

std::string FightTheRoad(u32 seed, std::vector<u16>* killFrame = nullptr, u32 startXp = 0) {
  WalkGame w;
  w.withMonsters = true;
  std::ostringstream log;
  if (!w.Enter("base_out0102", 17, 10, 180)) return "no road";
  w.core().random->Seed(&w.core(), seed);
  SStateGame& s = w.state();
  SPlayer& player = w.core().player;
  SItemType* sword = w.core().world.items.FindType("base_weap_shortswordcheap");
  SItemType* mail = w.core().world.items.FindType("base_armor_chain");
  if (!sword || !mail) return "no sword or mail";
  player.EquipItem(player.AddItems(sword, 1), false);
  player.EquipItem(player.AddItems(mail, 1), false);
  player.attributes[3] = 20;
  player.hp = 80;
  player.xp = startXp;
  s.SetHandView(false, false);
  SMapArea* road = s.window.CurrentArea();
  SMapMonster* rat = road->FindMonsterById(2);
  if (!rat || !road->FindMonsterById(3)) return "no monsters";
  const u8 ratId = rat->id;
  // The rat stands in front of the player (window cell 17, 11 is the road's 10, 4).
  s.RemoveObjectAt(*road, *rat);
  s.PlaceObjectInArea(*road, *rat, 10, 4);
  s.window.ResolveCellObjects();
  s.RebuildAllCells();
  s.BuildMonsterSprites();
  w.MarkSounds();
  log << "== the rat in front\n" << w.game.summary() << "sounds" << Joined(w.Sounds()) << "\n";
  w.MarkSounds();
  for (u32 swing = 1; swing <= 40 && road->FindMonsterById(ratId); ++swing) {
    const i32 ratHp = road->FindMonsterById(ratId)->hp;
    w.game.press(kAttack);
    const GameHarness::Condition idleOrBox{"idle or a message box", [](const GameHarness& g) {
                                             return GameHarness::gameIdle().holds(g) ||
                                                    g.subMode() == SStateGame::kMessageBox;
                                           }};
    if (!w.game.waitUntil(idleOrBox, 200)) return log.str() + "not idle after a swing\n";
    SMapMonster* now = road->FindMonsterById(ratId);
    log << "swing " << swing << ": rat " << ratHp << " -> " << (now ? now->hp : 0) << ", player " << player.hp
        << ", danger " << s.dangerCountdown << ", sounds" << Joined(w.Sounds()) << ", music"
        << Joined(w.Sounds("music")) << "\n";
    w.MarkSounds();
    if (!now) {
      // The kill, ten frames on: a box only for a level it brought, which stays until the player closes it.
      w.game.frame(10);
      const bool box = s.subMode == SStateGame::kMessageBox;
      log << "ten frames on: " << (box ? "message box:" + BoxText(w.game) : "no box") << "\n";
      if (killFrame) *killFrame = w.game.frames().back().pixels;
      if (box) {
        w.game.press(3006);
        if (!w.game.waitUntil(GameHarness::gameIdle(), 200)) return log.str() + "not idle after the box\n";
      }
    } else if (s.subMode == SStateGame::kMessageBox) {
      return log.str() + "a box before the kill:" + BoxText(w.game) + "\n";
    }
  }
  log << "== after the fight\n";
  const SMapCell& cell = s.window.cells[17 + 35 * 11];
  const SItemContainer* bag = cell.bagId ? road->FindContainerById(u8(cell.bagId)) : nullptr;
  log << "bag in the rat's cell";
  if (bag)
    for (const SItem* item : bag->items) log << " " << item->type->name.Text();
  else
    log << " none";
  log << "\nchain mail condition " << player.Equipped(4)->count << " of " << mail->maxCondition << "\n";
  // The spitter leaves the road: the danger runs down scan by scan.
  if (SMapMonster* spitter = road->FindMonsterById(3)) {
    s.RemoveObjectAt(*road, *spitter);
    road->RemoveMonster(spitter->id);
  }
  for (u32 i = 0; i < 6; ++i) {
    s.ScanFightRange(false, s.window.playerX, s.window.playerY);
    log << "scan " << i + 1 << ": danger " << s.dangerCountdown << ", music" << Joined(w.Sounds("music")) << "\n";
    w.MarkSounds();
  }
  log << w.game.summary();
  return log.str();
}

TEST(FightReplay, ThePlayerSwingsUntilTheRatDies) {
  std::vector<u16> kill;
  const std::string log = FightTheRoad(21, &kill);
  EXPECT_EQ(testgolden::CompareText("fight_replay_road", log), "");
  EXPECT_EQ(FightTheRoad(21), log) << "the same seed plays the same fight";
  // Ten frames after the kill the view shows the rat's bag where it fell, and no box.
  ASSERT_EQ(kill.size(), 240u * 320u);
  EXPECT_EQ(testpng::CompareGolden("fight_kill_240x320", kill.data(), 240, 320, 240), "");
}

// The rat's 5 experience points take a player at 399 to level 2: the level's box opens after the kill.
TEST(FightReplay, AKillThatBringsALevelShowsTheLevelsBox) {
  std::vector<u16> kill;
  const std::string log = FightTheRoad(21, &kill, 399);
  EXPECT_NE(log.find("ten frames on: message box: You have reached level 2."), std::string::npos) << log;
  EXPECT_NE(log.find("level 2 xp 404"), std::string::npos) << log;
  ASSERT_EQ(kill.size(), 240u * 320u);
  EXPECT_EQ(testpng::CompareGolden("fight_kill_level_240x320", kill.data(), 240, 320, 240), "");
}

}  // namespace
