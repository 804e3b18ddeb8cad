// Monsters' turns through the real program, headless, on the sample world with the game's generator
// seeded: on the south road a rat (melee) and a spitter (missile) near the road's position approach, line
// up and reach their acts while the player walks up and down; golden frames of monsters sharing a cell in
// the narrow and the wide placement, and of a townsperson in the middle of a walk.
#include "WalkGame.h"
#include "core/SGameCore.h"
#include "game/SMonster.h"
#include "support/GoldenText.h"
#include "support/Png.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

const char* KindName(u8 kind) {
  static const char* const kNames[9] = {"?", "act", "cast", "approach", "stay", "acted", "flee", "line up", "line"};
  return kind < 9 ? kNames[kind] : "?";
}

// The window cell that shows the monster; (-1, -1) when none does.
std::pair<i32, i32> CellOf(const SStateGame& s, const SMapMonster* m) {
  for (i32 y = 0; y < SMapWindow::kSize; ++y)
    for (i32 x = 0; x < SMapWindow::kSize; ++x)
      for (u16 id : s.window.cells[x + SMapWindow::kSize * y].monsterId)
        if (id && s.window.FindBlockMonsterById(x, y, u8(id)) == m) return {x, y};
  return {-1, -1};
}

// The road's fight: each move's summary, where the two monsters stand, what they did in the turns
// seen since the last move, and the sounds.
std::string PlayTheRoad(u32 seed) {
  WalkGame w;
  w.withMonsters = true;
  std::ostringstream log;
  if (!w.Enter("base_out0102", 17, 10, 180)) return "no road";
  w.core().random->Seed(&w.core(), seed);
  SStateGame& s = w.state();
  SMapArea* road = s.window.CurrentArea();
  const SMapMonster* rat = road->FindMonsterById(2);
  const SMapMonster* spitter = road->FindMonsterById(3);
  if (!rat || !spitter) return "no monsters";
  std::vector<std::string> turns;
  w.game.onPresent = [&](const Os::Panel&) {
    for (const SFightRecord* r : s.fightList) {
      const std::string seen = std::string(r->monster->monster->label) + " " + KindName(r->kind);
      if (std::find(turns.begin(), turns.end(), seen) == turns.end()) turns.push_back(seen);
    }
  };
  const u16 moves[] = {kActionBack,    kActionForward, kActionBack, kActionForward,
                       kActionForward, kActionBack,    kActionBack, kActionForward};
  w.MarkSounds();
  for (size_t i = 0; i <= std::size(moves); ++i) {
    log << "== " << (i ? (moves[i - 1] == kActionForward ? "a step south" : "a step north") : "the road") << "\n";
    log << w.game.summary();
    const auto [rx, ry] = CellOf(s, rat);
    const auto [sx, sy] = CellOf(s, spitter);
    log << "rat " << rx << "," << ry << " spitter " << sx << "," << sy << "\nturns";
    for (const std::string& t : turns) log << " [" << t << "]";
    log << "\nsounds";
    for (const std::string& name : w.Sounds()) log << " " << name;
    log << "\n";
    turns.clear();
    w.MarkSounds();
    if (i == std::size(moves)) break;
    if (!w.Move(moves[i], 120)) return log.str() + "not idle after the move\n";
  }
  w.game.onPresent = nullptr;
  return log.str();
}

TEST(MonsterReplay, ARatAndASpitterApproachLineUpAndAct) {
  const std::string log = PlayTheRoad(21);
  EXPECT_EQ(testgolden::CompareText("monster_replay_road", log), "");
  for (const char* seen : {"[Rat approach]", "[Spitter line up]", "[Rat acted]", "[Spitter acted]", "bsnd_ratattack",
                           "bsnd_spitterattack"})
    EXPECT_NE(log.find(seen), std::string::npos) << seen;
  EXPECT_EQ(PlayTheRoad(21), log) << "the same seed plays the same fight";
}

// A frame of the game screen: the player on (x, y) of the map facing as given, the world's generator
// seeded, a few frames run; `setup` changes the map before the game state is entered.
struct Scene {
  const char* map;
  i32 x, y, facing;
  u32 frames;
  const char* golden;
};

std::string Shoot(const Scene& scene, const std::function<void(WalkGame&)>& setup) {
  WalkGame w;
  w.withMonsters = true;
  if (!w.Enter(scene.map, scene.x, scene.y, scene.facing)) return "not entered";
  setup(w);
  w.core().random->Seed(&w.core(), 5);
  w.game.frame(scene.frames);
  const Os::Panel& panel = w.game.panel();
  return testpng::CompareGolden(scene.golden, panel.pixels.data(), panel.width, panel.height, panel.width);
}

TEST(MonsterReplay, TwoMonstersShareACellNarrowAndWide) {
  // Two rats (narrow placement), then two spitters (wide), share the cell two ahead of the player on the
  // road; none of them fights.
  const struct {
    const char* type;
    const char* golden;
  } shots[] = {{"base_rat", "monsters_sharing_narrow_240x320"}, {"base_spitter", "monsters_sharing_wide_240x320"}};
  for (const auto& shot : shots) {
    SCOPED_TRACE(shot.type);
    const std::string result = Shoot({"base_out0102", 17, 10, 180, 2, shot.golden}, [&](WalkGame& w) {
      SStateGame& s = w.state();
      SMapArea* road = s.window.CurrentArea();
      SMonster* type = w.core().world.monsters.FindMonster(shot.type);
      ASSERT_NE(type, nullptr);
      for (SMapMonster* m : {road->FindMonsterById(2), road->FindMonsterById(3)}) s.RemoveObjectAt(*road, *m);
      for (int i = 0; i < 2; ++i) {
        SMapMonster* m = road->AddMonster(type, 10, 5);
        ASSERT_NE(m, nullptr);
        SMapArea::SetPlain(*m);
        s.PlaceObjectInArea(*road, *m, 10, 5);
      }
      ASSERT_NE(s.window.Cell(17, 12)->monsterId[1], 0);
      s.window.ResolveCellObjects();
      s.RebuildAllCells();
      s.BuildMonsterSprites();
    });
    EXPECT_EQ(result, "");
  }
}

TEST(MonsterReplay, APersonInTheMiddleOfAWalk) {
  WalkGame w;
  w.withMonsters = true;
  // The town's start, facing east: the merchant stands two cells ahead.
  ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 270));
  w.core().random->Seed(&w.core(), 8);
  SStateGame& s = w.state();
  const SMapMonster* merchant = s.window.CurrentArea()->FindMonsterById(1);
  ASSERT_NE(merchant, nullptr);
  s.RunMonsters();
  // Frames until the merchant has walked a while.
  u32 frames = 0, walking = 0;
  while (frames < 400 && walking < 6) {
    w.game.frame();
    ++frames;
    walking = (merchant->flags & 96) == 96 ? walking + 1 : 0;
  }
  ASSERT_EQ(walking, 6u) << "the merchant walks";
  const Os::Panel& panel = w.game.panel();
  EXPECT_EQ(
      testpng::CompareGolden("person_walking_240x320", panel.pixels.data(), panel.width, panel.height, panel.width),
      "");
  const SActiveMonster* r = s.FindActiveMonster(*merchant);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->action, SActiveMonster::kWalk);
}

}  // namespace
