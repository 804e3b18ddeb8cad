// The additional-worlds screen: the empty list as the program has it, and a list filled by the test to
// show rows, types, the enable buttons and the paging; the row buttons change nothing.
#include "SaveScreens.h"
#include "core/SGameCore.h"
#include "screens/SStateAddWorlds.h"
#include "support/GoldenText.h"

#include <gtest/gtest.h>

using namespace savescreens;

namespace {

using A = SStateAddWorlds;

void AddWorld(SGameCore& core, const char* name, u8 official, u8 enabled) {
  auto* world = new SAdditionalWorld;
  world->name.Assign(name);
  world->official = official;
  world->enabled = enabled;
  ASSERT_TRUE(core.world.modules.additional.Add(world));
}

}  // namespace

TEST(AddWorldsScreen, EmptyListShowsOnlyTheNotice) {
  GameHarness game;
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_TRUE(OpenOverCurrent(game, kStateAddWorlds));
  std::vector<u32> ids;
  for (const GameHarness::Control& c : game.controls()) ids.push_back(c.id);
  EXPECT_EQ(ids, (std::vector<u32>{A::kTitleId, A::kExplanationId, A::kEmptyId, A::kCloseId}));
  EXPECT_EQ(TextOf(game, A::kEmptyId), "No additional worlds are installed.");
  EXPECT_EQ(testgolden::CompareText("add_worlds_empty_mode7", game.describeUi()), "");
  const i32 below = game.stateStack().back();
  game.press(A::kUseAction);
  EXPECT_EQ(game.state(), below) << "the use key closes the screen";
}

// Exactly one page (10 rows on 240x320): both page buttons, next enabled, leading to an empty page.
TEST(AddWorldsScreen, RowsFollowTheListAndPage) {
  GameHarness game;
  ASSERT_TRUE(game.boot()) << game.startError();
  SGameCore& core = game.core();
  ASSERT_EQ(A::RowsPerPage(core.displayMode), 10u);
  for (u32 i = 0; i < 10; ++i) AddWorld(core, ("World " + std::to_string(i)).c_str(), u8(i % 2), u8(i % 3 == 0));
  ASSERT_TRUE(OpenOverCurrent(game, kStateAddWorlds));
  for (u32 r = 0; r < 10; ++r) {
    EXPECT_EQ(TextOf(game, A::kNameIds[r]), "World " + std::to_string(r));
    EXPECT_EQ(TextOf(game, A::kTypeIds[r]), r % 2 ? "Official" : "3rd party");
    EXPECT_EQ(IsShown(game, A::kEnabledIds[r]), r % 3 == 0) << r;
    EXPECT_EQ(IsShown(game, A::kDisabledIds[r]), r % 3 != 0) << r;
    EXPECT_TRUE(IsShown(game, A::kDeleteIds[r]));
  }
  EXPECT_TRUE(IsShown(game, A::kHeaderIds[0]));
  EXPECT_FALSE(IsShown(game, A::kEmptyId));
  EXPECT_TRUE(IsShown(game, A::kPreviousId));
  ASSERT_TRUE(IsShown(game, A::kNextId));
  auto* screen = dynamic_cast<SStateAddWorlds*>(core.currentState);
  ASSERT_NE(screen, nullptr);
  EXPECT_FALSE(screen->previous.IsEnabled());
  EXPECT_TRUE(screen->next.IsEnabled());
  EXPECT_EQ(testgolden::CompareText("add_worlds_page_mode7", game.describeUi()), "");

  // The row buttons report their codes to no effect.
  game.tapControl(A::kEnabledIds[0]);
  game.tapControl(A::kDisabledIds[1]);
  game.tapControl(A::kDeleteIds[2]);
  EXPECT_EQ(core.world.modules.additional.Count(), 10u);
  EXPECT_EQ(core.world.modules.additional.At(1)->enabled, 0u);
  EXPECT_EQ(game.state(), kStateAddWorlds);

  game.tapControl(A::kNextId);
  EXPECT_EQ(screen->page, 1u);
  EXPECT_FALSE(IsShown(game, A::kNameIds[0])) << "the second page is empty";
  EXPECT_TRUE(screen->previous.IsEnabled());
  EXPECT_FALSE(screen->next.IsEnabled());
  game.tapControl(A::kPreviousId);
  EXPECT_EQ(TextOf(game, A::kNameIds[0]), "World 0");
}
