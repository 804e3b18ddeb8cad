// The player's script functions by id on the real program: the arguments, the player before, the result
// and the player after, with the mended hit points and purse, and the conditions of the player.
#include "WalkGame.h"
#include "player/SPlayer.h"
#include "script/SScriptValue.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

SScriptValue Arg(const char* text) {
  SScriptValue v;
  v.SetText(text);
  return v;
}
SScriptValue Arg(i32 n) {
  SScriptValue v;
  v.SetInt(n);
  return v;
}

struct Call {
  const char* what;
  u32 id;
  SScriptValue a, b, c;
  std::function<void(SPlayer&)> before;
  const char* result;  // the result's text, null when none is set
  std::function<void(SPlayer&)> after;
};

TEST(PlayerScriptFunctions, ByIdWithTheirResultsAndTheMendedFields) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  const Call calls[] = {
      {"solvequest without the quest changes nothing",
       132,
       Arg("base_quest_cellar"),
       {},
       {},
       [](SPlayer& p) { p.quests.DeleteAll(); },
       nullptr,
       [](SPlayer& p) { EXPECT_FALSE(p.HasQuest("base_quest_cellar")); }},
      {"addquest",
       131,
       Arg("base_quest_cellar"),
       {},
       {},
       nullptr,
       nullptr,
       [](SPlayer& p) { EXPECT_TRUE(p.HasQuest("base_quest_cellar")); }},
      {"solvequest",
       132,
       Arg("base_quest_cellar"),
       {},
       {},
       nullptr,
       nullptr,
       [](SPlayer& p) { EXPECT_TRUE(p.IsQuestSolved("base_quest_cellar")); }},
      {"isquestsolved", 135, Arg("base_quest_cellar"), {}, {}, nullptr, "1", nullptr},
      {"hasquest of another", 134, Arg("base_quest_cyclops"), {}, {}, nullptr, "0", nullptr},
      {"hasitem with amount 0",
       141,
       Arg("base_food_bread"),
       Arg(0),
       {},
       [](SPlayer& p) { p.inventory.DeleteAllItems(); },
       "1",
       nullptr},
      {"hasitem with amount 1", 141, Arg("base_food_bread"), Arg(1), {}, nullptr, "0", nullptr},
      {"isgood at fame 0", 192, {}, {}, {}, [](SPlayer& p) { p.fame = 0; }, "1", nullptr},
      {"isevil at fame 0", 193, {}, {}, {}, nullptr, "0", nullptr},
      {"isevil at fame -1", 193, {}, {}, {}, [](SPlayer& p) { p.fame = -1; }, "1", nullptr},
      {"hassavedxp", 242, {}, {}, {}, [](SPlayer& p) { p.restorableXp = 75; }, "75", nullptr},
      {"sethp below 0 stores 0", 178, Arg(-5), {}, {}, nullptr, nullptr, [](SPlayer& p) { EXPECT_EQ(p.hp, 0); }},
      {"sethp past the field", 178, Arg(70000), {}, {}, nullptr, nullptr, [](SPlayer& p) { EXPECT_EQ(p.hp, 65535); }},
      {"sethp above the maximum", 178, Arg(900), {}, {}, nullptr, nullptr, [](SPlayer& p) { EXPECT_EQ(p.hp, 900); }},
      {"findgold negative adds nothing",
       146,
       Arg(-10),
       {},
       {},
       [](SPlayer& p) { p.money = 50; },
       nullptr,
       [](SPlayer& p) { EXPECT_EQ(p.money, 50u); }},
      {"findgold past the cap",
       146,
       Arg(2000000000),
       {},
       {},
       [](SPlayer& p) { p.money = 999999999; },
       nullptr,
       [](SPlayer& p) { EXPECT_EQ(p.money, 1000000000u); }},
      {"receivegold",
       147,
       Arg(30),
       {},
       {},
       [](SPlayer& p) { p.money = 0; },
       nullptr,
       [](SPlayer& p) { EXPECT_EQ(p.money, 30u); }},
      {"getgold", 149, {}, {}, {}, nullptr, "30", nullptr},
      {"isparalyzed", 239, {}, {}, {}, nullptr, "0", nullptr},
      {"ispoisoned",
       240,
       {},
       {},
       {},
       [](SPlayer& p) { p.AddEffect(kSourceItem, nullptr, 3, 0, 26, 0, nullptr); },
       "1",
       nullptr},
      {"iscursed", 241, {}, {}, {}, nullptr, "0", nullptr},
      {"isundead", 194, {}, {}, {}, [](SPlayer& p) { p.race = 1; }, "1", nullptr},
      {"ismale", 246, {}, {}, {}, [](SPlayer& p) { p.sex = 0; }, "0", nullptr},
      {"an id without a row", 150, {}, {}, {}, nullptr, nullptr, nullptr},
      {"an id outside the rows", 20, {}, {}, {}, nullptr, nullptr, nullptr},
  };
  SPlayer& p = w.core().player;
  for (const Call& c : calls) {
    SCOPED_TRACE(c.what);
    if (c.before) c.before(p);
    SScriptValue* result = nullptr;
    EXPECT_EQ(p.CallScriptFunction(c.id, c.a, c.b, c.c, result), 0u);
    std::unique_ptr<SScriptValue> owned(result);
    if (c.result) {
      ASSERT_NE(result, nullptr);
      EXPECT_STREQ(result->Text(), c.result);
    } else {
      EXPECT_EQ(result, nullptr);
    }
    if (c.after) c.after(p);
  }
  // The purse past its cap still reports the whole amount asked.
  bool reported = false;
  for (const auto& m : w.game.messages()) reported = reported || m.text == "You have found 2000000000\t.";
  EXPECT_TRUE(reported);
}

}  // namespace
