// The town's people after a new game of the real program: every person placed in the window is drawn, on
// entering and after each change that takes the people off the streets and places them anew (the clock's
// hours, a rest, a passage, a forced weather); and the inn's guard meets a player come up the street with
// his face, so that Enter there talks rather than offers a theft; the builder refuses a facing that is no
// quarter.
#include "core/SGameCore.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "support/GameHarness.h"
#include "support/SampleBuild.h"
#include "world/SMapArea.h"
#include "world/SMapCell.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

struct NewGame {
  NewGame() {
    GameHarness::Options o;
    o.newGame = true;
    game = std::make_unique<GameHarness>(o);
    ready = game->boot() && game->waitUntil(GameHarness::gameIdle(), 40);
  }
  SStateGame& state() { return *game->core().stateGame; }
  std::unique_ptr<GameHarness> game;
  bool ready = false;
};

// Every person in the window whose bound object (if any) is active, as the renderer finds it: the render
// cell carries the person's number in its slot, and the number's draw record shows a picture. Gives the
// labels of those drawn and, in `undrawn`, of those the renderer would leave out.
std::multiset<std::string> DrawnPeople(SStateGame& s, std::vector<std::string>& undrawn) {
  std::multiset<std::string> drawn;
  for (i32 y = 0; y < SMapWindow::kSize; ++y)
    for (i32 x = 0; x < SMapWindow::kSize; ++x) {
      const SMapCell* cell = s.window.Cell(x, y);
      SMapArea* area = s.window.BlockArea(x, y);
      if (!cell || !area) continue;
      const u16* rc = s.scene.Cell(u32(x + SMapWindow::kSize * y));
      for (u32 slot = 0; slot < 2 && cell->monsterId[slot]; ++slot) {
        const SMapMonster* m = s.window.FindBlockMonsterById(x, y, u8(cell->monsterId[slot]));
        if (!m || !m->monster || !m->monster->IsPeople()) continue;
        const SMapObjectInst* bound = m->objectId ? area->FindObjectById(m->objectId) : nullptr;
        if (bound && !bound->IsActive()) continue;
        const u16* draw = m->displayIndex ? s.scene.Monster(m->displayIndex) : nullptr;
        const std::string who = std::string(m->monster->label ? m->monster->label : "?") + " at " + std::to_string(x) +
                                "," + std::to_string(y);
        if (draw && draw[MonsterDraw::kPicture] && rc[RenderCell::kMonster1 + slot] == m->displayIndex)
          drawn.insert(m->monster->label ? m->monster->label : "?");
        else
          undrawn.push_back(who);
      }
    }
  return drawn;
}

TEST(TownPeople, ANewGameDrawsEveryPersonAlsoAfterTheDayAndNightChange) {
  NewGame g;
  ASSERT_TRUE(g.ready) << g.game->startError();
  SStateGame& s = g.state();
  ASSERT_TRUE(s.IsDay()) << "the new game begins by day";
  const struct {
    const char* what;
    std::function<void()> change;
  } changes[] = {
      {"entering the new game", [] {}},
      {"the clock's next changing hour",
       [&s] {
         const u32 hour = s.GetHour();
         do s.PassMinute();
         while (s.GetHour() == hour || s.window.minutes % 60 != 0 ||
                !(s.GetHour() == 6 || s.GetHour() == 8 || s.GetHour() == 20 || s.GetHour() == 22));
       }},
      {"a rest within the day",
       [&s] {
         s.window.minutes = s.window.minutes / 1440 * 1440 + 6 * 60 + 30;
         s.RestAfterYes();
         s.CloseSubDialog();
       }},
      {"a passage",
       [&s] {
         s.OpenShipTravel("base_out0101", "");
         s.CloseSubDialog();
       }},
      {"a forced weather", [&s] { s.SetWeather(nullptr, 20); }},
  };
  for (const auto& c : changes) {
    SCOPED_TRACE(c.what);
    c.change();
    ASSERT_TRUE(s.IsDay()) << "the streets are full";
    std::vector<std::string> undrawn;
    const std::multiset<std::string> drawn = DrawnPeople(s, undrawn);
    EXPECT_TRUE(undrawn.empty()) << ::testing::PrintToString(undrawn);
    for (const char* who : {"Guard", "Swordmaster", "Merchant"}) EXPECT_EQ(drawn.count(who), 1u) << who;
  }
}

// The inn's guard stands two cells south of its door, facing the street: a player come up the street meets
// his face and talks with him; only from between him and the door is his back turned.
TEST(TownPeople, TheInnsGuardFacesTheStreet) {
  const struct {
    const char* where;
    i32 dy, facing;
    bool theft;
  } cases[] = {
      {"in the street before him, facing the inn", 1, 0, false},
      {"between him and the inn's door, facing the street", -1, 180, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.where);
    NewGame g;
    ASSERT_TRUE(g.ready) << g.game->startError();
    SStateGame& s = g.state();
    SMapArea* town = s.window.CurrentArea();
    ASSERT_NE(town, nullptr);
    i32 gx = -1, gy = -1;
    for (i32 y = 0; y < SMapWindow::kSize && gx < 0; ++y)
      for (i32 x = 0; x < SMapWindow::kSize && gx < 0; ++x) {
        const SMapCell* cell = s.window.Cell(x, y);
        if (!cell || s.window.BlockArea(x, y) != town) continue;
        for (u16 id : cell->monsterId) {
          const SMapMonster* m = s.window.FindBlockMonsterById(x, y, u8(id));
          if (m && m->monster && std::string(m->monster->name.Text()) == "base_guard") gx = x, gy = y;
        }
      }
    ASSERT_GE(gx, 0);
    s.window.playerX = gx;
    s.window.playerY = gy + c.dy;
    s.facing = c.facing;
    s.events.DeleteAll();
    s.UseHand(-1, 1);  // as Enter does
    bool theft = false;
    for (const SGameEvent* e : s.events) theft = theft || e->kind == kEventTheft;
    EXPECT_EQ(theft, c.theft);
  }
}

TEST(TownPeople, TheBuilderRefusesAFacingThatIsNoQuarter) {
  testbuild::ExpectRefused("duskmire-facing",
                           {"a guard facing up", "maps/maps.json", R"("facing": "south")", R"("facing": "up")",
                            R"(base_out0101: monster 3 faces "up", not north, west, south or east)"});
}

}  // namespace
