// The people's walks on a window filled by hand, the player at (17, 17): who gets a walker's record and
// who loses it, the voice heard near the player, facing the player, a person boxed in walking inside its
// cell, a walk cut at a taken cell, how long standing and looking around last, a place kept across a
// move of the window, and the streets emptied by night.
#include "MonsterWindow.h"
#include "core/SGameCore.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct PeopleWindow : MonsterWindow {
  PeopleWindow() : walker(Template(4, 1, 8)), still(Template(4, 1, 16)) {}
  SActiveMonster* Active(const SMapMonster* m) { return m ? state.FindActiveMonster(*m) : nullptr; }
  // Ticks of the walkers' update until the record's action ends (at most `limit`).
  u32 TicksUntilUndecided(SActiveMonster& r, u32 limit = 400) {
    u32 ticks = 0;
    while (r.action != SActiveMonster::kUndecided && ticks < limit) {
      state.RunMonsterMoves();
      // The walking frames count down as the game's animation timer does.
      if (r.monster->poisonShown) --r.monster->poisonShown;
      ++ticks;
    }
    return ticks;
  }
  SMonster& walker;
  SMonster& still;
};

TEST(People, RecordsNearThePlayerComeAndGo) {
  PeopleWindow w;
  w.Seed(1);
  SMapMonster* near = w.Place(w.walker, 24, 10);  // 7 cells off on both axes
  SMapMonster* far = w.Place(w.walker, 25, 17);
  SMapObjectInst* lamp = w.AddObject(5, 0, 0, 0);
  SMapMonster* hidden = w.Place(w.walker, 18, 18);
  hidden->objectId = lamp->id;
  SMapMonster* monster = w.Place(w.Template(2, 1, 8), 16, 16);
  w.Number();
  w.state.RunMonsters();
  EXPECT_NE(w.Active(near), nullptr);
  EXPECT_EQ(w.Active(far), nullptr);
  EXPECT_EQ(w.Active(hidden), nullptr) << "bound to a switched-off lamp";
  EXPECT_EQ(w.Active(monster), nullptr) << "not people";
  EXPECT_EQ(w.state.activeMonsters.Count(), 1u);
  const SActiveMonster* r = w.Active(near);
  EXPECT_EQ(r->cellX, 24);
  EXPECT_EQ(r->cellY, 10);
  EXPECT_EQ(r->area, w.area);
  EXPECT_NE(r->action, SActiveMonster::kUndecided) << "decided at once";
  // Lit, the lamp's person joins; the player two cells west leaves the first behind.
  lamp->state = 1;
  w.state.window.playerX = 15;
  w.state.RunMonsters();
  EXPECT_EQ(w.Active(near), nullptr);
  EXPECT_NE(w.Active(hidden), nullptr);
}

TEST(People, TheVoiceHeardIsANearbyPersons) {
  PeopleWindow w;
  w.Seed(2);
  w.Place(w.walker, 20, 17);  // 3 cells off
  w.Number();
  w.state.RunMonsters();
  EXPECT_EQ(w.state.soundPick, nullptr);
  w.Place(w.still, 19, 15);
  w.Number();
  w.state.RunMonsters();
  EXPECT_EQ(w.state.soundPick, &w.still);
  EXPECT_EQ(w.state.soundPickX, 19);
  EXPECT_EQ(w.state.soundPickY, 15);
}

TEST(People, NextToThePlayerAPersonFacesItAboutAThirdOfTheTime) {
  PeopleWindow w;
  w.Seed(3);
  SMapMonster* m = w.Place(w.walker, 17, 16);
  w.Number();
  w.state.facing = 90;  // west: a person facing the player faces east
  w.state.RunMonsters();
  SActiveMonster& r = *w.Active(m);
  int facing = 0, looking = 0, walking = 0;
  for (int i = 0; i < 1000; ++i) {
    m->flags = u8(m->flags & ~0x18);  // shown facing north
    r.facing = 0;
    w.state.DecideMonsterAction(r);
    if (r.action == SActiveMonster::kStand) {
      ++facing;
      EXPECT_EQ(r.facing, 3);
      EXPECT_EQ(r.turnTo, -1) << "a quarter turn shows no step between";
    }
    looking += r.action == SActiveMonster::kLookAround;
    walking += r.action == SActiveMonster::kWalk;
  }
  EXPECT_NEAR(facing, 300, 45);
  EXPECT_NEAR(looking, 200, 45);
  EXPECT_NEAR(walking, 500, 50);
  // A half turn shows a quarter on the way, for three ticks.
  w.state.facing = 180;
  m->flags = u8(m->flags & ~0x18);
  w.state.FaceThePlayer(*m);
  EXPECT_EQ(r.facing, 0);
  m->flags = u8((m->flags & ~0x18) | (2 << 3));
  w.state.FaceThePlayer(*m);
  ASSERT_NE(r.turnTo, -1);
  EXPECT_TRUE(r.turnTo == 1 || r.turnTo == 3);
  EXPECT_EQ(r.turnTicks, 3);
  r.action = SActiveMonster::kStand;
  r.budget = 1 << 20;
  const i8 between = r.turnTo;
  for (int tick = 0; tick < 3; ++tick) {
    w.state.RunMonsterMoves();
    EXPECT_EQ((m->flags >> 3) & 3, between) << tick;
  }
  w.state.RunMonsterMoves();
  EXPECT_EQ((m->flags >> 3) & 3, 0);
}

TEST(People, BoxedInAPersonWalksInsideItsCell) {
  PeopleWindow w;
  w.Seed(4);
  SMapMonster* m = w.Place(w.walker, 17, 14);
  for (auto [x, y] : {std::pair{16, 14}, std::pair{18, 14}, std::pair{17, 13}, std::pair{17, 15}}) w.Wall(x, y);
  w.Number();
  w.state.RunMonsters();
  SActiveMonster& r = *w.Active(m);
  for (int walk = 0; walk < 20; ++walk) {
    SCOPED_TRACE(walk);
    r.action = SActiveMonster::kWalk;
    const u16 x0 = w.Draw(*m)[MonsterDraw::kX], y0 = w.Draw(*m)[MonsterDraw::kY];
    w.state.MoveMonster(r);
    EXPECT_EQ(r.destX, 17);
    EXPECT_EQ(r.destY, 14);
    EXPECT_EQ(m->flags & 96, 96);
    EXPECT_LT(w.TicksUntilUndecided(r), 400u);
    EXPECT_EQ(r.cellX, 17);
    EXPECT_EQ(r.cellY, 14);
    EXPECT_EQ(w.Cell(17, 14).monsterId[0], m->id);
    const i32 x = w.Draw(*m)[MonsterDraw::kX], y = w.Draw(*m)[MonsterDraw::kY];
    EXPECT_TRUE(std::abs(x - x0) >= 8192 || std::abs(y - y0) >= 8192) << "a walk of its own: " << x << "," << y;
  }
}

TEST(People, AWalkGoesIntoTheNextCellOrStopsAtATakenOne) {
  for (bool taken : {false, true}) {
    SCOPED_TRACE(taken ? "the cell taken on the way" : "the cell free");
    PeopleWindow w;
    w.Seed(5);
    SMapMonster* m = w.Place(w.walker, 20, 10);
    // Walls on three sides leave the way east.
    for (auto [x, y] : {std::pair{19, 10}, std::pair{20, 9}, std::pair{20, 11}}) w.Wall(x, y);
    w.Number();
    w.state.RunMonsters();
    SActiveMonster& r = *w.Active(m);
    r.action = SActiveMonster::kWalk;
    w.state.MoveMonster(r);
    ASSERT_EQ(r.destX, 21);
    ASSERT_EQ(r.stepX, 2048);
    EXPECT_EQ(r.facing, 3) << "east";
    if (taken) w.Place(w.still, 21, 10);
    u16 lastX = 0;
    u32 ticks = 0;
    while (r.action == SActiveMonster::kWalk && ticks < 400) {
      lastX = w.Draw(*m)[MonsterDraw::kX];
      w.state.AdvanceMonster(r);
      if (m->poisonShown) --m->poisonShown;
      ++ticks;
    }
    EXPECT_EQ(r.action, SActiveMonster::kUndecided);
    EXPECT_EQ(r.stepX, 0);
    const i32 x = taken ? 20 : 21;
    EXPECT_EQ(r.cellX, x);
    EXPECT_EQ(m->cellX, x);
    EXPECT_EQ(w.Cell(x, 10).monsterId[0], m->id);
    EXPECT_EQ(w.state.scene.Cell(u32(x + 35 * 10))[RenderCell::kMonster1], m->displayIndex);
    if (taken) {
      EXPECT_EQ(w.Draw(*m)[MonsterDraw::kX], lastX) << "it stays at its last place";
      EXPECT_GT(lastX, 63000);
    } else {
      EXPECT_EQ(w.Cell(20, 10).monsterId[0], 0);
    }
  }
}

TEST(People, StandingAndLookingAroundLastTheirTicks) {
  PeopleWindow w;
  SMapMonster* m = w.Place(w.still, 20, 10);
  w.Number();
  w.state.RunMonsters();
  SActiveMonster& r = *w.Active(m);
  u32 standLeast = UINT_MAX, standMost = 0, lookLeast = UINT_MAX, lookMost = 0;
  w.Seed(7);
  for (int i = 0; i < 5000; ++i) {
    r.action = SActiveMonster::kStand;
    w.state.MoveMonster(r);
    const u32 stand = w.TicksUntilUndecided(r);
    standLeast = std::min(standLeast, stand);
    standMost = std::max(standMost, stand);
    r.action = SActiveMonster::kLookAround;
    w.state.MoveMonster(r);
    w.state.RunMonsterMoves();  // the look, then the standing it turns into
    ASSERT_EQ(r.action, SActiveMonster::kStand);
    const u32 look = w.TicksUntilUndecided(r);
    lookLeast = std::min(lookLeast, look);
    lookMost = std::max(lookMost, look);
  }
  EXPECT_EQ(standLeast, 41u);
  EXPECT_EQ(standMost, 81u);
  EXPECT_EQ(lookLeast, 16u);
  EXPECT_EQ(lookMost, 36u);
}

TEST(People, APlaceInTheCellIsKeptAcrossAMoveOfTheWindow) {
  PeopleWindow w;
  SMapMonster* m = w.Place(w.walker, 20, 10);
  w.Number();
  w.state.RunMonsters();
  SActiveMonster& r = *w.Active(m);
  u16* draw = w.Draw(*m);
  draw[MonsterDraw::kX] = 12345;
  draw[MonsterDraw::kY] = 54321;
  draw[MonsterDraw::kFrame] = u16(2 << 8);
  w.state.SaveMonsterPositions();
  // The window moves 3 cells: the person now shows at (17, 10), and its drawing starts afresh.
  w.state.UnlinkMonsterFromCell(20, 10, m->id);
  w.state.LinkMonsterToCell(17, 10, m->id, 0);
  w.Number();
  EXPECT_EQ(w.Draw(*m)[MonsterDraw::kX], 32768);
  const u8 origin = r.originX;
  w.state.RunMonsters();
  ASSERT_EQ(w.Active(m), &r);
  EXPECT_EQ(r.cellX, 17);
  EXPECT_EQ(r.originX, u8(origin - 3));
  EXPECT_EQ(w.state.savedPositions.Count(), 0u) << "used once";
  // It goes on from the place it had in its cell.
  draw = w.Draw(*m);
  EXPECT_EQ(draw[MonsterDraw::kX], 12345);
  EXPECT_EQ(draw[MonsterDraw::kY], 54321);
}

TEST(People, TheStreetsEmptyByNightAndFillByDay) {
  PeopleWindow w;
  SMapArea* around = w.Joined();
  SMapMonster* here = w.Place(w.walker, 12, 12);
  SMapMonster* there = w.Place(w.walker, 6, 17);  // on the tile to the west
  ASSERT_NE(there, nullptr);
  ASSERT_GE(around->monsters.IndexOf(there), 0);
  SMapObjectInst* lamp = w.AddObject(9, 0, 0, 1);
  SMapMonster* lamplighter = w.Place(w.walker, 14, 14);
  lamplighter->objectId = lamp->id;
  SMapMonster* rat = w.Place(w.Template(2, 1, 4), 15, 15);
  w.Number();
  w.state.RunMonsters();
  ASSERT_EQ(w.state.activeMonsters.Count(), 2u) << "the one on the west tile is 11 cells off";
  // The cells that show the monster (ids are the areas' own: the cell's area tells).
  auto count = [&](const SMapMonster* m) {
    int n = 0;
    for (i32 y = 0; y < SMapWindow::kSize; ++y)
      for (i32 x = 0; x < SMapWindow::kSize; ++x)
        for (u16 id : w.Cell(x, y).monsterId) n += w.state.window.FindBlockMonsterById(x, y, u8(id)) == m;
    return n;
  };
  w.state.window.minutes = 23 * 60;
  w.state.UpdateSkyAndLight(true);
  EXPECT_EQ(count(here) + count(there) + count(lamplighter), 0);
  EXPECT_EQ(count(rat), 1) << "monsters stay out";
  EXPECT_TRUE(w.state.activeMonsters.IsEmpty());
  lamp->state = 0;
  w.state.window.minutes = 12 * 60;
  w.state.UpdateSkyAndLight(true);
  EXPECT_EQ(count(here), 1);
  EXPECT_EQ(count(there), 1);
  EXPECT_EQ(count(lamplighter), 0) << "its lamp is out";
  EXPECT_EQ(w.Cell(12, 12).monsterId[0], here->id);
  EXPECT_EQ(w.Cell(6, 17).monsterId[0], there->id);
  EXPECT_NE(here->displayIndex, 0) << "numbered anew";
  // Indoors the people stay by night.
  PeopleWindow inside;
  SMapMonster* person = inside.Place(inside.walker, 12, 12);
  inside.state.window.minutes = 23 * 60;
  inside.state.UpdateSkyAndLight(true);
  EXPECT_EQ(inside.Cell(12, 12).monsterId[0], person->id);
}

}  // namespace
