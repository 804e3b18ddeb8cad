// Golden frames of a fight on the south road of the sample world: the hit of a blow and of damage, a
// monster's blow on its way with the shield hand rising, the player's arrow in flight, a monster's missile
// coming, and a monster recoiling from the player's blow.
#include "WalkGame.h"
#include "core/SGameCore.h"
#include "game/SMonster.h"
#include "player/SPlayer.h"
#include "script/SScriptContext.h"
#include "support/Png.h"
#include "world/SItem.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// The road with the player on (17, 10) facing south, the rat moved in front (17, 11) and the spitter
// four cells ahead (17, 14); `act` runs, then frames pass until `until` holds (at most 200).
std::string Shoot(const char* golden, const std::function<void(WalkGame&, SMapMonster&, SMapMonster&)>& act,
                  const std::function<bool(WalkGame&)>& until) {
  WalkGame w;
  w.withMonsters = true;
  if (!w.Enter("base_out0102", 17, 10, 180)) return "not entered";
  SStateGame& s = w.state();
  SMapArea* road = s.window.CurrentArea();
  SMapMonster* rat = road->FindMonsterById(2);
  SMapMonster* spitter = road->FindMonsterById(3);
  if (!rat || !spitter) return "no monsters";
  s.RemoveObjectAt(*road, *rat);
  s.PlaceObjectInArea(*road, *rat, 10, 4);
  s.RemoveObjectAt(*road, *spitter);
  s.PlaceObjectInArea(*road, *spitter, 10, 7);
  s.window.ResolveCellObjects();
  s.RebuildAllCells();
  s.BuildMonsterSprites();
  SPlayer& player = w.core().player;
  player.EquipItem(player.AddItems(w.core().world.items.FindType("base_armor_shield"), 1), true);
  s.SetHandView(false, false);
  w.core().random->Seed(&w.core(), 5);
  act(w, *rat, *spitter);
  u32 frames = 0;
  do {
    w.game.frame();
  } while (!until(w) && ++frames < 200);
  if (frames >= 200) return "never reached the moment to shoot";
  const Os::Panel& panel = w.game.panel();
  return testpng::CompareGolden(golden, panel.pixels.data(), panel.width, panel.height, panel.width);
}

const SActionRecord* Action(WalkGame& w, u32 kind) {
  for (const SActionRecord* r : w.state().actions)
    if (r->kind == kind) return r;
  return nullptr;
}

auto PhaseOf(u32 kind, i32 phase) {
  return [kind, phase](WalkGame& w) {
    const SActionRecord* r = Action(w, kind);
    return r && r->phase >= phase;
  };
}

TEST(CombatFrames, HitIndicatorsOfABlowAndOfDamage) {
  EXPECT_EQ(
      Shoot(
          "combat_hit_blow_240x320", [](WalkGame& w, SMapMonster&, SMapMonster&) { w.state().ShowPlayerHit(6, 2); },
          PhaseOf(kActionHitIndicator, 2)),
      "");
  EXPECT_EQ(
      Shoot(
          "combat_hit_damage_240x320", [](WalkGame& w, SMapMonster&, SMapMonster&) { w.state().ShowPlayerDamage(4); },
          PhaseOf(kActionHitIndicator, 2)),
      "");
}

TEST(CombatFrames, AMonstersBlowRaisesTheShield) {
  EXPECT_EQ(Shoot(
                "combat_monster_attack_240x320",
                [](WalkGame& w, SMapMonster& rat, SMapMonster&) { w.state().StartMonsterAttack(rat, 2, 0); },
                PhaseOf(kActionMonsterAttack, 9)),
            "");
}

TEST(CombatFrames, MissilesInFlight) {
  // The player's arrow over the rat's head toward the spitter: the rat stands aside first.
  EXPECT_EQ(Shoot(
                "combat_player_arrow_240x320",
                [](WalkGame& w, SMapMonster& rat, SMapMonster&) {
                  SStateGame& s = w.state();
                  SMapArea* road = s.window.CurrentArea();
                  s.RemoveObjectAt(*road, rat);
                  road->RemoveMonster(rat.id);
                  SPlayer& p = w.core().player;
                  p.EquipItem(p.AddItems(w.core().world.items.FindType("base_weap_shortbow"), 1), false);
                  p.EquipItem(p.AddItems(w.core().world.items.FindType("base_weap_quiver"), 1), false);
                  s.SetHandView(false, false);
                  s.Attack();
                },
                [](WalkGame& w) {
                  const SActionRecord* r = Action(w, kActionMissile);
                  return r && r->cells >= 2;
                }),
            "");
  EXPECT_EQ(Shoot(
                "combat_monster_missile_240x320",
                [](WalkGame& w, SMapMonster& rat, SMapMonster& spitter) {
                  SStateGame& s = w.state();
                  SMapArea* road = s.window.CurrentArea();
                  s.RemoveObjectAt(*road, rat);
                  road->RemoveMonster(rat.id);
                  const SMonsterBaseType* base = spitter.monster->baseType;
                  s.LaunchMonsterMissile(17, 14, 0, *road, spitter,
                                         w.core().world.items.FindFpsItem(base ? base->MissileName() : nullptr), 0);
                },
                [](WalkGame& w) {
                  const SActionRecord* r = Action(w, kActionMissile);
                  return r && r->cells >= 2;
                }),
            "");
}

TEST(CombatFrames, AMonsterRecoils) {
  EXPECT_EQ(Shoot(
                "combat_recoil_240x320",
                [](WalkGame& w, SMapMonster& rat, SMapMonster&) {
                  SStateGame& s = w.state();
                  w.core().scriptContext->SetBlowWeapons(nullptr, nullptr);
                  w.core().scriptContext->damage = 3;
                  bool changed = false;
                  rat.monster->TakeBlow(s, *s.window.CurrentArea(), rat, nullptr, 17, 11, changed);
                },
                [](WalkGame&) { return true; }),
            "");
}

}  // namespace
