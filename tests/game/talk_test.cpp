// Everyone a player can talk to answers, never with "No answer": every townsperson and every template that
// has something to say leads to a conversation or a place of business, and so does every city door of the
// town and the maps joined to it. The builder refuses, in a strict build, a talk, a door or a script that
// leads to nobody who answers.
#include "core/SGameCore.h"
#include "core/ui/SDialogMessage.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "game/WalkGame.h"
#include "screens/ConversationScreen.h"
#include "screens/SStateDialogInterior.h"
#include "support/GameHarness.h"
#include "support/SampleBuild.h"
#include "world/SMapArea.h"
#include "world/SMapCell.h"
#include "world/SPeopleTables.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

namespace {

bool Answered(const GameHarness& game, size_t messagesBefore) {
  for (size_t i = messagesBefore; i < game.messages().size(); ++i)
    if (game.messages()[i].text == "No answer") return false;
  return true;
}

TEST(Talk, EveryoneAPlayerCanTalkToAnswers) {
  GameHarness::Options options;
  options.newGame = true;
  GameHarness game(options);
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_TRUE(game.waitUntil(GameHarness::gameIdle(), 40));
  SGameCore& core = game.core();
  SStateGame& state = *core.stateGame;
  state.window.minutes = 12 * 60;  // the shops keep the day's hours
  SMapArea* town = state.window.CurrentArea();
  ASSERT_NE(town, nullptr);

  // Every template, placed or not, as a person standing in the town.
  std::deque<SMapMonster> people;  // the script context keeps the last speaker
  u32 talked = 0;
  for (SMonster* type : core.world.monsters.monsters) {
    if (!type->IsPeople() && !(type->talk && *type->talk)) continue;
    SMapMonster& placed = people.emplace_back();
    placed.monster = type;
    const size_t before = game.messages().size();
    const u32 next = state.TalkToNpc(&placed, town, nullptr);
    EXPECT_TRUE(next == u32(kStateDialog) || next == u32(kStateDialogInterior))
        << type->name.Text() << " leads to " << next;
    EXPECT_TRUE(Answered(game, before)) << type->name.Text();
    ++talked;
  }
  EXPECT_GE(talked, 7u) << "the town's people, the trainer, the hermits";

  // Every city door in the window: the town's inn and shop, and any on the maps joined to it.
  u32 doors = 0;
  for (const CityDoor& d : CityDoorsInWindow(state)) {
    ASSERT_NE(d.door, nullptr) << d.x << "," << d.y;
    const size_t before = game.messages().size();
    EXPECT_NE(state.EnterService(d.door, d.door->targetText, d.area, false), 0u) << d.door->name.Text();
    EXPECT_TRUE(Answered(game, before)) << d.door->name.Text();
    ++doors;
  }
  EXPECT_EQ(doors, 2u) << "the inn's and the shop's";
}

// A script that asks first and calls the merchant on a Yes: the answer it was given stays behind in the
// script context, and would keep the merchant's greeting (which tests no answer) from being chosen.
TEST(Talk, APersonAScriptCallsAfterAQuestionGreetsAsEver) {
  ConversationScreen w;
  ASSERT_TRUE(w.entered);
  w.state().QueueMessage("Ring for the merchant?", SDialogMessage::kYes | SDialogMessage::kNo, nullptr);
  ASSERT_TRUE(w.Choose(SStateGame::kMessageBox, "Yes"));
  ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 20));
  ASSERT_EQ(w.context().lastAnswer, i32(SDialogMessage::kYes));
  w.state().QueueService("base_merchant");  // as the script's talknpc does
  ASSERT_TRUE(w.game.waitUntil(GameHarness::stateIs(kStateDialogInterior), 20));
  w.game.frame();
  w.game.tapControl(SStateDialogInterior::kTalk);
  ASSERT_TRUE(w.Opened());
  const std::string said = w.LastLines(3);
  EXPECT_EQ(said.find("(silence)"), std::string::npos) << said;
  EXPECT_FALSE(said.empty());
  EXPECT_EQ(w.context().lastAnswer, 0);
}

// A person called by name who has nothing to offer (no dialog entries, no interior) is never visited.
TEST(Talk, ACalledPersonWithNothingToOfferGivesNoAnswer) {
  ConversationScreen w;
  ASSERT_TRUE(w.entered);
  SNpc* watchman = w.core().world.rules.people.FindByName("base_watchman");
  ASSERT_NE(watchman, nullptr);
  ASSERT_EQ(watchman->texts[3], nullptr) << "no interior";
  void* const conversation = watchman->conversation;
  watchman->conversation = nullptr;
  const size_t before = w.game.messages().size();
  w.state().QueueService("base_watchman");
  EXPECT_EQ(w.game.eventKinds(), std::vector<u32>{u32(kEventMessage)});
  w.game.frame(5);
  watchman->conversation = conversation;
  EXPECT_EQ(w.game.state(), kStateGame);
  EXPECT_FALSE(Answered(w.game, before));
}

TEST(Talk, TheBuilderRefusesATalkThatLeadsToNobody) {
  const struct {
    const char* what;
    const char* file;
    const char* find;
    const char* replace;
    const char* says;
  } cases[] = {
      {"a talk that names nothing", "world/base.json", R"("talk": "base_merchant")", R"("talk": "base_merchanttalk")",
       "base_merchant: its talk base_merchanttalk names no person, and no dialog list bears the name base_merchant"},
      {"a talk that names a silent person", "world/rules.json", R"({"name": "base_watchman", "texts": [)",
       R"({"name": "base_watchman", "texts": ["Orrin", null, null, null, null, null]}, {"name": "base_watchman2", "texts": [)",
       "base_guard: its talk names the person base_watchman, who has nothing to say"},
      {"a city door to nobody", "maps/maps.json", R"("target": "base_innkeeper")", R"("target": "base_innkeepr")",
       "leads to the person base_innkeepr, who does not answer"},
      {"a script that calls nobody", "scripts/town.script", R"(talknpc("base_merchant"))", R"(talknpc("base_merchnt"))",
       "the person base_merchnt is not in the world"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (const char* options : {"", "--strict"}) {
      const testbuild::Result r = testbuild::BuildEditedSample("duskmire-talk", c.file, c.find, c.replace, options);
      ASSERT_TRUE(r.edited);
      EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
      // A world being written builds with the warning; the world a player gets does not.
      EXPECT_EQ(r.wrote, !*options) << options << "\n" << r.output;
    }
  }
}

}  // namespace
