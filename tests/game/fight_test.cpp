// Fight turns on a window filled by hand, the player at (17, 17): the kind each monster takes by where it
// stands and how it fights, the cell it heads for, the last free slot of a cell, the slide of 8 frames (4
// on large screens) with its crossing into another area, a full area and a bound monster held back, an
// act after its wind-up, the check pass, the danger countdown, and the grid scans.
#include "MonsterWindow.h"
#include "core/SGameCore.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <utility>

namespace {

constexpr i32 kPlayer = 17;

struct FightWindow : MonsterWindow {
  SFightRecord* Record(const SMapMonster* m) { return m ? state.FindFightRecord(*m) : nullptr; }
  // Frames of the turn until its list is empty (at most `limit`).
  u32 RunTurn(u32 limit = 100) {
    u32 frames = 0;
    while (!state.fightList.IsEmpty() && frames < limit) {
      state.UpdateMovingObjects();
      state.AnimateMonsterSprites(false, true);
      ++frames;
    }
    return frames;
  }
};

TEST(FightTurn, KindsByPositionAndBehaviour) {
  const struct Case {
    const char* what;
    u8 behaviour;
    i32 x, y;
    bool areaSpell;
    i32 wallX, wallY;  // a wall in the way (-1: none)
    u8 kind, side, lineFlag;
  } cases[] = {
      {"melee, next to the player", 1, 17, 16, false, -1, -1, kFightAct, 0, 0},
      {"melee or spell, next to the player", 4, 18, 17, false, -1, -1, kFightAct, 1, 0},
      {"another behaviour, next to the player", 7, 17, 18, false, -1, -1, kFightAct, 2, 0},
      {"missile, in line", 2, 17, 13, false, -1, -1, kFightAct, 0, 0},
      {"missile, in line behind a wall", 2, 17, 13, false, 17, 15, kFightLineUp, 0, 0},
      {"spell, in line", 3, 21, 17, false, -1, -1, kFightCast, 1, 0},
      {"melee or spell, in line", 4, 13, 17, false, -1, -1, kFightCast, 3, 0},
      {"melee, in line but far", 1, 21, 17, false, -1, -1, kFightLineUp, 1, 0},
      {"melee, off the lines", 1, 19, 14, false, -1, -1, kFightApproach, 1, 0},
      {"missile, off the lines", 2, 19, 14, false, -1, -1, kFightLineUp, 1, 0},
      {"spell without an area spell, off the lines", 3, 18, 13, false, -1, -1, kFightLineUp, 1, 0},
      {"area spell, a column off, a wall in the player's row", 3, 18, 13, true, 18, 17, kFightLine, 0, 1},
      {"area spell, a column off, nothing to stop it", 3, 18, 13, true, -1, -1, kFightLineUp, 1, 0},
      {"area spell, a row off, a wall in the player's column", 4, 13, 18, true, 17, 18, kFightLine, 3, 1},
      {"area spell, farther off", 3, 20, 14, true, 20, 17, kFightLineUp, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FightWindow w;
    w.Seed(4);
    w.Spell("base_spellball", {{25, 0, 2}}, 3);
    SMonster& t = w.Template(2, c.behaviour);
    if (c.areaSpell) MonsterWindow::Know(t, "base_spellball");
    if (c.wallX >= 0) w.Wall(c.wallX, c.wallY);
    SMapMonster* m = w.Place(t, c.x, c.y);
    w.Number();
    w.state.ScanFightRange(false, 0, 0);
    const SFightRecord* r = w.Record(m);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->kind, c.kind);
    EXPECT_EQ(r->side, c.side);
    EXPECT_EQ(r->lineFlag, c.lineFlag);
  }
}

TEST(FightTurn, WhoStaysOutOfTheFight) {
  FightWindow w;
  SMonster& peaceful = w.Template(2, 1, 8);
  SMonster& hostile = w.Template(2, 1, 4);
  SMonster& person = w.Template(4, 1, 8);
  SMapMonster* calm = w.Place(peaceful, 17, 16);
  SMapMonster* paralysed = w.Place(hostile, 18, 17);
  w.area->AddMonsterEffect(paralysed->id, 1, 5, SMapArea::kParalysis, 0, nullptr);
  SMapMonster* madeHostile = w.Place(peaceful, 16, 17);
  SMapArea::MakeAggressive(*madeHostile);
  SMapMonster* townsman = w.Place(person, 17, 18);
  SMapObjectInst* lamp = w.AddObject(3, 0, 0, 0);
  SMapMonster* sleeping = w.Place(hostile, 15, 15);
  sleeping->objectId = lamp->id;
  SMapMonster* far = w.Place(hostile, 25, 17);
  w.Number();
  w.state.ScanFightRange(false, 0, 0);
  EXPECT_EQ(w.Record(calm)->kind, kFightStay);
  EXPECT_EQ(w.Record(paralysed)->kind, kFightStay);
  EXPECT_EQ(w.Record(madeHostile)->kind, kFightAct);
  EXPECT_EQ(w.Record(townsman), nullptr) << "people never fight";
  EXPECT_EQ(w.Record(sleeping), nullptr) << "bound to a switched-off object";
  EXPECT_EQ(w.Record(far), nullptr) << "8 cells away";
  // A monster taken off its cell leaves the fight; a person leaves the walkers.
  w.state.RemoveObjectAt(*w.area, *madeHostile);
  EXPECT_EQ(w.Record(madeHostile), nullptr);
  EXPECT_EQ(w.Cell(16, 17).monsterId[0], 0);
  w.state.RunMonsters();
  ASSERT_NE(w.state.FindActiveMonster(*townsman), nullptr);
  w.state.RemoveObjectAt(*w.area, *townsman);
  EXPECT_EQ(w.state.FindActiveMonster(*townsman), nullptr);
}

TEST(FightTurn, NextToThePlayerTheWeakAndTheShootersSometimesFlee) {
  const struct Case {
    const char* what;
    u8 behaviour;
    i16 hp;  // of 20
    u8 stands;
    int percentStanding;  // expected share of turns it stands and acts
  } cases[] = {
      {"melee at full health", 1, 20, kFightAct, 100},
      {"melee at a quarter", 1, 5, kFightAct, 60},
      {"missile at full health", 2, 20, kFightAct, 70},
      {"spell at a quarter", 3, 5, kFightCast, 42},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FightWindow w;
    w.Seed(8);
    SMapMonster* m = w.Place(w.Template(2, c.behaviour), 17, 16);
    m->hp = c.hp;
    w.Number();
    int standing = 0, fleeing = 0;
    for (int turn = 0; turn < 600; ++turn) {
      w.state.ScanFightRange(false, 0, 0);
      const u8 kind = w.Record(m)->kind;
      standing += kind == c.stands;
      fleeing += kind == kFightFlee || kind == kFightStay;
      // Only the decision is wanted: the turn is dropped before it moves.
      w.state.ClearFightList();
      m->flags = SMapMonster::kDefault;
      m->poisonShown = 0;
    }
    EXPECT_EQ(standing + fleeing, 600);
    EXPECT_NEAR(standing * 100 / 600, c.percentStanding, 6);
  }
}

TEST(FightTurn, TargetsByAxisPreference) {
  const struct Case {
    const char* what;
    u8 behaviour;
    i32 x, y, tx, ty;
  } cases[] = {
      {"lining up closes the shorter distance: into the row", 2, 20, 18, 20, 17},
      {"lining up closes the shorter distance: into the column", 2, 18, 20, 17, 20},
      {"approaching closes the longer distance first", 1, 20, 18, 19, 18},
      {"approaching, the other way round", 1, 18, 20, 18, 19},
      {"lining up in the column: toward the player", 1, 17, 12, 17, 13},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FightWindow w;
    w.Seed(6);
    SMapMonster* m = w.Place(w.Template(2, c.behaviour), c.x, c.y);
    w.Number();
    w.state.ScanFightRange(false, 0, 0);
    const SFightRecord* r = w.Record(m);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->targetX, c.tx);
    EXPECT_EQ(r->targetY, c.ty);
    EXPECT_EQ(r->stepX, c.tx - c.x);
    EXPECT_EQ(r->stepY, c.ty - c.y);
  }
}

TEST(FightTurn, AFleeTurnsThreeToFiveEighthsAwayOrStays) {
  for (bool walled : {false, true}) {
    SCOPED_TRACE(walled ? "walled in" : "free");
    FightWindow w;
    w.Seed(12);
    SMapMonster* m = w.Place(w.Template(2, 1), 17, 16);
    m->hp = 2;
    // Walled in on the three sides away from the player.
    if (walled)
      for (auto [x, y] : {std::pair{16, 16}, std::pair{17, 15}, std::pair{18, 16}}) w.Wall(x, y);
    w.Number();
    std::set<std::pair<i32, i32>> targets;
    int flights = 0, stays = 0;
    for (int turn = 0; turn < 300; ++turn) {
      w.state.ScanFightRange(false, 0, 0);
      const SFightRecord* r = w.Record(m);
      flights += r->kind == kFightFlee;
      stays += r->kind == kFightStay;
      if (r->kind == kFightFlee) targets.insert({r->targetX, r->targetY});
      w.state.ClearFightList();
      m->flags = SMapMonster::kDefault;
      m->poisonShown = 0;
    }
    if (walled) {
      EXPECT_EQ(flights, 0) << "no flight without a free cell";
      EXPECT_GT(stays, 50);
    } else {
      EXPECT_GT(flights, 50);
      EXPECT_EQ(targets, (std::set<std::pair<i32, i32>>{{16, 16}, {17, 15}, {18, 16}})) << "west, north or east";
    }
  }
}

TEST(FightTurn, TwoMonstersNeverClaimTheLastFreeSlot) {
  for (u32 seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    FightWindow w;
    w.Seed(seed);
    // (16, 16) holds a monster that stays; both others head there first: one from the west (lining
    // up), one from the north (approaching).
    w.Place(w.Template(2, 1, 8), 16, 16);
    SMapMonster* a = w.Place(w.Template(2, 1), 15, 16);
    SMapMonster* b = w.Place(w.Template(2, 1), 16, 15);
    w.Number();
    w.state.ScanFightRange(false, 0, 0);
    const SFightRecord* ra = w.Record(a);
    const SFightRecord* rb = w.Record(b);
    const int claims = (ra->targetX == 16 && ra->targetY == 16) + (rb->targetX == 16 && rb->targetY == 16);
    EXPECT_EQ(claims, 1);
    const SFightRecord* winner = ra->targetX == 16 && ra->targetY == 16 ? ra : rb;
    EXPECT_EQ(winner->targetSlot, 1) << "the slot left";
    const u32 frames = w.RunTurn();
    EXPECT_LT(frames, 100u);
    const SMapCell& c = w.Cell(16, 16);
    EXPECT_NE(c.monsterId[0], 0);
    EXPECT_NE(c.monsterId[1], 0);
  }
}

TEST(FightTurn, MovesTakeEightFramesOrFourOnLargeScreens) {
  for (u32 large : {0u, 1u}) {
    SCOPED_TRACE(large);
    FightWindow w;
    w.Seed(1);
    w.state.largeScreen = large;
    SMapMonster* m = w.Place(w.Template(2, 1), 17, 12);
    w.Number();
    w.state.ScanFightRange(false, 0, 0);
    ASSERT_EQ(w.Record(m)->kind, kFightLineUp);
    EXPECT_EQ(m->flags & 96, 96) << "walking";
    EXPECT_EQ(m->poisonShown, 8);
    u32 frames = 0;
    while (!w.state.fightList.IsEmpty() && frames < 20) {
      w.state.UpdateMovingObjects();
      ++frames;
    }
    EXPECT_EQ(frames, large ? 4u : 8u);
    EXPECT_EQ(w.Cell(17, 12).monsterId[0], 0);
    EXPECT_EQ(w.Cell(17, 13).monsterId[0], m->id);
    EXPECT_EQ(m->cellY, 13);
    EXPECT_EQ(m->flags & 0xE0, 0) << "stopped walking";
    EXPECT_EQ(m->poisonShown, 0);
    // It stands where the table puts a lone monster north of the player.
    EXPECT_EQ(w.Draw(*m)[MonsterDraw::kX], 32768);
    EXPECT_EQ(w.Draw(*m)[MonsterDraw::kY], 65000);
    EXPECT_EQ(w.state.scene.Cell(17 + 35 * 13)[RenderCell::kMonster1], m->displayIndex);
    EXPECT_EQ(w.state.scene.Cell(17 + 35 * 12)[RenderCell::kMonster1], 0);
  }
}

// How a slide ended: its row, its draw record (place, frame and picture) and the frames it took.
struct SlideEnd {
  i32 cellY;
  std::vector<u16> draw;
  u32 frames;
  bool operator==(const SlideEnd&) const = default;
};
std::ostream& operator<<(std::ostream& out, const SlideEnd& e) {
  out << "row " << e.cellY << " after " << e.frames << " frames, draw";
  for (u16 w : e.draw) out << ' ' << w;
  return out;
}

TEST(FightTurn, ADayAndNightChangeMidSlideLeavesTheSlideWhereItWouldHaveEnded) {
  // A slide from two cells north of the player, the day and night change after `at` frames (-1: none).
  auto slide = [](i32 at, bool& renumbered) {
    FightWindow w;
    w.Seed(1);
    SMapMonster* m = w.Place(w.Template(2, 1), 17, 15);
    // A bystander numbered after the monster while it stands in its first cell, before it in the next.
    w.Place(w.Template(2, 1, 0), 10, 16);
    w.Number();
    const u16 number = m->displayIndex;
    w.state.ScanFightRange(false, 0, 0);
    EXPECT_EQ(w.Record(m)->kind, kFightLineUp);
    u32 frames = 0;
    while (!w.state.fightList.IsEmpty() && frames < 20) {
      if (i32(frames) == at) w.state.ChangeDayAndNight();
      w.state.UpdateMovingObjects();
      ++frames;
    }
    renumbered = renumbered || m->displayIndex != number;
    const u16* draw = w.Draw(*m);
    return SlideEnd{m->cellY, std::vector<u16>(draw, draw + MonsterDraw::kCountdown + 1), frames};
  };
  bool renumbered = false;
  const SlideEnd whole = slide(-1, renumbered);
  EXPECT_EQ(whole.cellY, 16);
  EXPECT_EQ(whole.frames, 8u);
  for (i32 at = 0; at < 8; ++at) EXPECT_EQ(slide(at, renumbered), whole) << "changed after frame " << at;
  EXPECT_TRUE(renumbered);
}

TEST(FightTurn, AMonsterCrossesIntoAnotherAreaWithItsEffects) {
  FightWindow w;
  SMapArea* around = w.Joined();
  SMapArea* centre = w.area;
  w.state.window.playerX = 9;
  // From (6, 17) of the area around to (7, 17), the centre tile's first column.
  SMapMonster* m = w.Place(w.Template(2, 1), 6, 17);
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(around->monsters.IndexOf(m), 0);
  const u8 oldId = m->id;
  around->AddMonsterEffect(oldId, 3, 5, SMapArea::kPoison, 0, nullptr);
  // What it carries goes with it, under a bag id of the new area.
  SItemContainer* bag = around->AddContainer();
  ASSERT_NE(bag, nullptr);
  m->containerId = bag->id;
  centre->AddContainer();
  w.Number();
  w.state.ScanFightRange(false, 0, 0);
  ASSERT_EQ(w.Record(m)->kind, kFightLineUp);
  w.RunTurn();
  EXPECT_GE(centre->monsters.IndexOf(m), 0);
  EXPECT_LT(around->monsters.IndexOf(m), 0);
  EXPECT_EQ(w.Cell(7, 17).monsterId[0], m->id);
  EXPECT_EQ(w.Cell(6, 17).monsterId[0], 0);
  EXPECT_EQ(m->cellX, 0);
  EXPECT_EQ(m->cellY, 10);
  EXPECT_EQ(around->FindEffectHolder(oldId), nullptr);
  EXPECT_EQ(centre->GetMonsterPoison(m->id), 3) << "its effect under its new id";
  EXPECT_EQ(around->containers.IndexOf(bag), -1);
  EXPECT_EQ(centre->FindContainerById(m->containerId), bag);
  EXPECT_EQ(m->containerId, 2) << "the centre's first bag id was taken";
}

TEST(FightTurn, AFullAreaAndABoundMonsterHoldTheMonsterBack) {
  for (bool bound : {false, true}) {
    SCOPED_TRACE(bound ? "bound to an object" : "into a full area");
    FightWindow w;
    SMapArea* around = w.Joined();
    SMapArea* centre = w.area;
    w.state.window.playerX = 9;
    SMapMonster* m = w.Place(w.Template(2, 1), 6, 17);
    if (bound) {
      auto* o = new SMapObjectInst;
      o->id = 40;
      around->objects.Add(o);
      m->objectId = 40;
    } else {
      // Every id of the centre in use.
      while (u8 id = centre->AllocateMonsterId()) {
        auto* other = new SMapMonster;
        other->monster = m->monster;
        other->id = id;
        centre->AddMonsterEntry(other);
      }
    }
    const u8 id = m->id;
    w.Number();
    w.state.ScanFightRange(false, 0, 0);
    ASSERT_EQ(w.Record(m)->kind, kFightLineUp);
    EXPECT_LT(w.RunTurn(), 20u) << "the move ends";
    EXPECT_GE(around->monsters.IndexOf(m), 0);
    EXPECT_EQ(m->id, id);
    EXPECT_EQ(w.Cell(6, 17).monsterId[0], id);
    EXPECT_EQ(w.Cell(7, 17).monsterId[0], 0);
  }
}

TEST(FightTurn, AnActComesAfterItsWindUp) {
  FightWindow w;
  w.Seed(1);
  SMapMonster* near = w.Place(w.Template(2, 1), 17, 16);
  SMapMonster* other = w.Place(w.Template(2, 1), 16, 17);
  w.Number();
  w.state.ScanFightRange(false, 0, 0);
  ASSERT_EQ(w.Record(near)->kind, kFightAct);
  ASSERT_EQ(w.Record(other)->kind, kFightAct);
  w.state.UpdateMovingObjects();
  // The first in the list winds up; the second waits for the cooldown.
  const SMapMonster* first = w.state.fightList.At(0)->monster;
  const SMapMonster* second = w.state.fightList.At(1)->monster;
  EXPECT_EQ(w.state.fightList.At(0)->kind, kFightActed);
  EXPECT_EQ(first->flags & 0xE0, 32);
  EXPECT_EQ(first->poisonShown, 8);
  EXPECT_EQ(w.state.fightList.At(1)->kind, kFightAct);
  EXPECT_EQ(w.state.actCooldown, 5u);
  EXPECT_TRUE(w.state.IsMonsterBusyNear());
  // Seven more frames of the countdown: still winding up; the eighth begins the stroke and the act.
  for (int i = 0; i < 7; ++i) w.state.AnimateMonsterSprites(false, true);
  EXPECT_NE(w.state.FindFightRecord(*first), nullptr);
  w.state.AnimateMonsterSprites(false, true);
  EXPECT_EQ(w.state.FindFightRecord(*first), nullptr) << "its act took its record";
  EXPECT_EQ(first->flags & 0xE0, 64);
  EXPECT_EQ(first->poisonShown, 5);
  for (int i = 0; i < 6; ++i) w.state.UpdateMovingObjects();
  EXPECT_EQ(w.state.FindFightRecord(*second)->kind, kFightActed) << "after six frames of cooldown";
  EXPECT_LT(w.RunTurn(), 30u);
  EXPECT_TRUE(w.state.fightList.IsEmpty());
}

TEST(FightTurn, ACheckPassKeepsItsTurnOnlyWhenSomeoneActsOrStandsNear) {
  const struct Case {
    const char* what;
    i32 x, y;
    u8 flags;
    bool kept;
  } cases[] = {
      {"a monster far off lining up", 17, 12, 4, false},
      {"a monster next to the player", 17, 16, 4, true},
      {"a peaceful monster next to the player", 18, 18, 8, true},
      {"a peaceful monster two cells off", 19, 19, 8, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FightWindow w;
    w.Place(w.Template(2, 1, c.flags), c.x, c.y);
    w.Number();
    w.state.ScanFightRange(true, kPlayer, kPlayer);
    EXPECT_EQ(!w.state.fightList.IsEmpty(), c.kept);
    EXPECT_EQ(w.state.standby, c.kept ? 1u : 0u);
    if (!c.kept) {
      EXPECT_EQ(w.state.soundPick, nullptr);
    }
    // The scan at the end of the step: a turn the check pass kept is this step's, so nothing more is
    // asked; without one the step's own turn starts.
    const u32 before = w.state.fightList.Count();
    w.state.ScanFightRange(false, 0, 0);
    EXPECT_EQ(w.state.fightFlag, 0u);
    EXPECT_EQ(w.state.fightList.Count(), c.kept ? before : 1u);
    w.RunTurn();
    EXPECT_EQ(w.state.standby, 0u) << "the turn's end clears it";
  }
}

TEST(FightTurn, TheDangerLastsFourScansAfterTheLastEnemyLeft) {
  FightWindow w;
  SMapMonster* m = w.Place(w.Template(2, 1), 18, 18);
  w.Number();
  w.state.UpdateDanger();
  EXPECT_EQ(w.state.dangerCountdown, 4);
  w.state.UnlinkMonsterFromCell(18, 18, m->id);
  for (i32 left : {3, 2, 1, 0, 0}) {
    w.state.UpdateDanger();
    EXPECT_EQ(w.state.dangerCountdown, left);
  }
  // A record pressing within 4 cells keeps it up too; a calm one does not.
  auto* r = new SFightRecord;
  r->monster = m;
  r->area = w.area;
  r->currentX = 21;
  r->currentY = 13;
  r->kind = kFightApproach;
  w.state.fightList.Add(r);
  w.state.UpdateDanger();
  EXPECT_EQ(w.state.dangerCountdown, 4);
  r->kind = kFightStay;
  w.state.UpdateDanger();
  EXPECT_EQ(w.state.dangerCountdown, 3);
}

TEST(GridScans, EnemiesPeopleBusyMonstersAndCalming) {
  FightWindow w;
  SMonster& hostile = w.Template(2, 1, 4);
  SMonster& peaceful = w.Template(2, 1, 8);
  SMonster& person = w.Template(4, 1, 8);
  SMapObjectInst* off = w.AddObject(7, 0, 0, 0);
  SMapObjectInst* on = w.AddObject(8, 0, 0, 1);

  SMapMonster* enemy = w.Place(hostile, 24, 10);  // 7 cells off on both axes
  EXPECT_TRUE(w.state.IsEnemyNear());
  w.state.UnlinkMonsterFromCell(24, 10, enemy->id);
  w.Place(hostile, 25, 17);
  EXPECT_FALSE(w.state.IsEnemyNear()) << "8 cells off";
  SMapMonster* asleep = w.Place(hostile, 18, 17);
  asleep->objectId = off->id;
  w.Place(peaceful, 17, 18);
  EXPECT_FALSE(w.state.IsEnemyNear()) << "asleep, or peaceful";

  w.Place(person, 19, 19);
  w.Place(person, 20, 17);  // 3 cells off
  SMapMonster* hidden = w.Place(person, 16, 16);
  hidden->objectId = off->id;
  SMapMonster* shown = w.Place(person, 16, 18);
  shown->objectId = on->id;
  EXPECT_EQ(w.state.CountTownspeopleNear(), 2u);

  SMapMonster* busy = w.Place(peaceful, 11, 11);
  busy->poisonShown = 2;
  EXPECT_TRUE(w.state.IsMonsterBusyNear());
  busy->poisonShown = 1;
  EXPECT_FALSE(w.state.IsMonsterBusyNear());
  shown->poisonShown = 9;
  EXPECT_FALSE(w.state.IsMonsterBusyNear()) << "people walking are not busy";

  // Attracting within 1 cell: the peaceful monster and the people there, not the bound ones.
  EXPECT_EQ(w.state.CalmOrAttractMonsters(1, true), 1u);
  EXPECT_TRUE(w.state.IsEnemyNear());
  EXPECT_EQ(w.state.CalmOrAttractMonsters(2, true), 1u) << "the person two cells off";
  EXPECT_EQ(w.state.CalmOrAttractMonsters(2, false), 1u) << "people are never hostile: only the monster calms";
  EXPECT_FALSE(w.state.IsEnemyNear());
}

}  // namespace
