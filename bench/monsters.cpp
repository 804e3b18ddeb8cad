// The monsters' turns on a crowded town block: the sample town with its start's 13 x 13 cells filled,
// every free cell holding a hostile monster or a townsperson, far more than a turn meets in play. One
// fight turn (the scan, then every frame of moves and acts to its end, and the wind-ups and strokes that
// follow), the people's pass after a player turn, and a tick of the walkers.
#include "GameViewRig.h"
#include "game/SMonster.h"
#include "world/SMapArea.h"

#include <benchmark/benchmark.h>

namespace {

// Fills the cells around the start with monsters and people, alternately; the window numbers them.
u32 Crowd(GameViewRig& v) {
  SStateGame& game = *v.state;
  SMapArea* town = game.window.CurrentArea();
  SMonsterTable& monsters = v.core.world.monsters;
  SMonster* const kinds[4] = {monsters.FindMonster("base_rat"), monsters.FindMonster("base_merchant"),
                              monsters.FindMonster("base_spitter"), monsters.FindMonster("base_townswoman")};
  u32 placed = 0;
  for (i32 y = 4; y <= 16; ++y)
    for (i32 x = 4; x <= 16; ++x) {
      const i32 wx = x + 7, wy = y + 7;
      const SMapCell* c = game.window.Cell(wx, wy);
      if (!c || c->centreType || (wx == game.window.playerX && wy == game.window.playerY)) continue;
      SMapMonster* m = town->AddMonster(kinds[(x + 2 * y) % 4], x, y);
      if (!m) continue;
      game.PlaceObjectInArea(*town, *m, x, y);
      ++placed;
    }
  game.window.ResolveCellObjects();
  game.RebuildAllCells();
  return placed;
}

// The rig with its crowd; null (the benchmark skipped) when the sample world did not open.
SStateGame* Crowded(GameViewRig& v, benchmark::State& s) {
  if (!v.ready) {
    s.SkipWithError("the sample world did not open");
    return nullptr;
  }
  s.counters["placed"] = Crowd(v);
  return v.state.get();
}

void BM_FightTurn(benchmark::State& s) {
  GameViewRig v(7, 240, 320);
  SStateGame* crowded = Crowded(v, s);
  if (!crowded) return;
  SStateGame& game = *crowded;
  u32 records = 0, frames = 0;
  for (auto _ : s) {
    game.ScanFightRange(false, game.window.playerX, game.window.playerY);
    records = game.fightList.Count();
    frames = 0;
    while (!game.fightList.IsEmpty() || game.IsMonsterBusyNear()) {
      game.UpdateMovingObjects();
      game.AnimateMonsterSprites(false, true);
      ++frames;
    }
  }
  s.counters["records"] = records;
  s.counters["frames"] = frames;
}
BENCHMARK(BM_FightTurn)->Unit(benchmark::kMicrosecond);

void BM_PeoplesPass(benchmark::State& s) {
  GameViewRig v(7, 240, 320);
  SStateGame* crowded = Crowded(v, s);
  if (!crowded) return;
  SStateGame& game = *crowded;
  for (auto _ : s) game.RunMonsters();
  s.counters["walkers"] = game.activeMonsters.Count();
}
BENCHMARK(BM_PeoplesPass)->Unit(benchmark::kMicrosecond);

void BM_WalkersTick(benchmark::State& s) {
  GameViewRig v(7, 240, 320);
  SStateGame* crowded = Crowded(v, s);
  if (!crowded) return;
  SStateGame& game = *crowded;
  game.RunMonsters();
  for (auto _ : s) {
    game.RunMonsterMoves();
    game.AnimateMonsterSprites(false, true);
  }
  s.counters["walkers"] = game.activeMonsters.Count();
}
BENCHMARK(BM_WalkersTick)->Unit(benchmark::kMicrosecond);

}  // namespace
