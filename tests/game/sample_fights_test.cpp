// The sample world's cellar as a new player fights it: the character of the new-player screen, as a new game
// makes it with its kit, against one skeleton and against the cyclops, through the game's own commands
// (attack, drink, cast from the wand in the spell book), its own monster turns and blows, over many seeds.
// Each test prints the share of fights won.
#include "WalkGame.h"
#include "core/SGameCore.h"
#include "foundation/SRandom.h"
#include "game/SMonster.h"
#include "player/SPlayer.h"
#include "world/SItem.h"
#include "world/SItemTable.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

constexpr u16 kForward = 1000, kTurnLeft = 1004, kTurnRight = 1006, kAttack = 3000;

GameHarness::Options NewGame() {
  GameHarness::Options o;
  o.newGame = true;
  return o;
}

// A new game's character in the Old Cellars, alone with one monster of the world's table.
struct CellarFight : WalkGame {
  CellarFight() : WalkGame(NewGame()) {
    worldOpen = true;
    withMonsters = true;
    game.keepFrames = false;
    EXPECT_TRUE(game.waitUntil(GameHarness::gameIdle(), 60));
    for (SItem* item : player().inventory.items) ++kit[item->type];
    hp = player().hp;
  }

  SPlayer& player() { return core().player; }
  SMapArea& cellar() { return *state().window.CurrentArea(); }
  SItemType* Type(const char* name) { return core().world.items.FindType(name); }

  // The player on (x, y) of the cellar facing as given, whole and with his kit and what he bought (each used
  // up or worn piece made new), the monster on (mx, my) as the map places its own, and the seed.
  testing::AssertionResult Begin(u32 seed, const char* monster, i32 x, i32 y, i32 facing, i32 mx, i32 my) {
    SMapArea* map = core().world.modules.FindMap("base_dungeon1");
    SMonster* type = core().world.monsters.FindMonster(monster);
    if (!map || !type) return testing::AssertionFailure() << "no cellar or no " << monster;
    map->RemoveAllMonsters();
    SPlayer& p = player();
    std::map<SItemType*, u32> pack = kit;
    for (const auto& [t, count] : bought) pack[t] += count;
    for (const auto& [t, count] : pack) {
      while (p.CountItems(t->name.Text()) > count) p.inventory.RemoveItemsOfType(t, 1);
      while (p.CountItems(t->name.Text()) < count) p.AddItems(t, 1);
    }
    for (SItem* item : p.inventory.items) {
      if (item->type->maxCondition) item->count = item->type->maxCondition;
      if (item->type->itemClass == kItemMagic && item->type->subtype == 4) item->type->ResetCharges(*item);
    }
    p.ClearEffects();
    p.RecalculateEquipment();
    p.RecalculateAbilities();
    p.hp = u16(hp);
    p.xp = 0;
    if (p.GetLevel() != 1 || i32(p.GetMaxHp()) != hp) return testing::AssertionFailure() << "not a new character";
    foe = map->AddMonster(type, mx, my);
    if (!foe || !Enter("base_dungeon1", x, y, facing)) return testing::AssertionFailure() << "not in the cellar";
    core().random->Seed(core().random, seed);
    return testing::AssertionSuccess();
  }

  // Where the monster stands in the window; false once it is gone.
  bool FoeAt(i32& x, i32& y) {
    if (!foe || cellar().monsters.IndexOf(foe) < 0) return false;
    return state().window.GetAreaLocalPosition(cellar(), foe->cellX, foe->cellY, x, y);
  }
  SItem* Carried(const char* type) {
    for (SItem* item : player().inventory.items)
      if (item->type->name.Equals(type)) return item;
    return nullptr;
  }

  // One action of a player who fights as his pack allows: a healing draught when his health runs low, the
  // wand while the monster stands in line ahead within its reach and it has charges, else the weapon. A
  // monster beside him is faced; one farther off is approached, and with the wand in hand lined up first, so
  // that it burns from a distance.
  void Act(bool useWand) {
    SStateGame& s = state();
    SPlayer& p = player();
    i32 fx = 0, fy = 0;
    if (!FoeAt(fx, fy)) return;
    const i32 dx = fx - s.window.playerX, dy = fy - s.window.playerY;
    const bool inLine = dx == 0 || dy == 0;
    const i32 distance = std::abs(dx) + std::abs(dy);
    SItem* wand = useWand ? Carried("base_wand_fire") : nullptr;
    if (wand && wand->count == 0) wand = nullptr;
    SItem* potion = Carried("base_potion_heal");
    if (!potion) potion = Carried("base_phealsmall");
    if (potion && p.hp * 100 < p.GetMaxHp() * 40) {
      s.DrinkPotionItem(potion);
      return;
    }
    // The grid direction to face (0 north, 1 east, 2 south, 3 west): along the longer way to close in,
    // along the shorter one to line up for the wand.
    const bool alongX = inLine ? dy == 0 : (wand ? std::abs(dx) < std::abs(dy) : std::abs(dx) >= std::abs(dy));
    const i32 toward = alongX ? (dx > 0 ? 1 : 3) : (dy > 0 ? 2 : 0);
    const i32 ahead = SMapWindow::DirectionOfFacing(s.facing);
    if (toward != ahead) {
      game.press((toward - ahead + 4) % 4 == 1 ? kTurnRight : kTurnLeft);
    } else if (wand && inLine && distance <= 7) {
      s.CastChosen(nullptr, wand);  // the spell book's page of magical items
    } else {
      game.press(distance == 1 ? kAttack : kForward);
    }
  }

  // Fights until one side falls (both at once is a loss) or 300 actions have passed; true when the monster
  // fell.
  bool Fight(bool useWand) {
    for (u32 i = 0; i < 300; ++i) {
      i32 x = 0, y = 0;
      if (player().hp == 0 || game.state() != kStateGame) return false;
      if (!FoeAt(x, y)) return true;
      Act(useWand);
      if (!Settle(400)) return false;
    }
    return false;
  }

  std::map<SItemType*, u32> kit, bought;
  i32 hp = 0;
  SMapMonster* foe = nullptr;
};

constexpr u32 kFights = 60;

// Sword, shield and leather of the kit, and its two small healing potions: a skeleton met one on one, the
// player stepping up to it.
TEST(CellarFights, ANewCharacterBeatsOneSkeletonInMostFights) {
  CellarFight f;
  ASSERT_TRUE(f.booted);
  u32 won = 0;
  for (u32 seed = 1; seed <= kFights; ++seed) {
    ASSERT_TRUE(f.Begin(seed, "base_skeleton", 5, 9, 0, 5, 7));
    won += f.Fight(false);
  }
  std::printf("[  share   ] a new character beat one skeleton in %u of %u fights\n", won, kFights);
  EXPECT_GE(won * 100, kFights * 80);
}

// The wand of fire from the cellar's entry and two healing draughts from the inn besides the kit. Met where
// the cellar keeps it, the cyclops is burnt from a distance; come up beside the player, it is burnt at arm's
// length, where the fire's burst singes the player too.
TEST(CellarFights, ANewCharacterKillsTheCyclopsWithTheWandAndPotions) {
  CellarFight f;
  ASSERT_TRUE(f.booted);
  ASSERT_NE(f.Type("base_wand_fire"), nullptr);
  ASSERT_NE(f.Type("base_potion_heal"), nullptr);
  f.bought[f.Type("base_wand_fire")] = 1;
  f.bought[f.Type("base_potion_heal")] = 2;
  const struct {
    const char* how;
    i32 x, y, facing, cx, cy;
    u32 percent;  // won at least
  } meetings[] = {
      {"from the store room's door, the cyclops in its corner", 10, 4, 180, 15, 12, 90},
      {"the cyclops beside the player", 5, 12, 0, 5, 11, 80},
  };
  for (const auto& m : meetings) {
    SCOPED_TRACE(m.how);
    u32 won = 0;
    for (u32 seed = 1; seed <= kFights; ++seed) {
      ASSERT_TRUE(f.Begin(seed, "base_cyclops", m.x, m.y, m.facing, m.cx, m.cy));
      won += f.Fight(true);
    }
    std::printf("[  share   ] %s: the cyclops killed in %u of %u fights\n", m.how, won, kFights);
    EXPECT_GE(won * 100, kFights * m.percent);
  }
}

}  // namespace
