// The macros of shown texts on the real game in the cellar: names in any case, money in its short forms,
// the day and date, the map, articles judged by the word that follows, and script globals, including
// globals that are absent, unclosed, or name themselves: every expansion ends.
#include "ScriptGame.h"
#include "player/SPlayer.h"
#include "script/SGlobalVariables.h"

#include <gtest/gtest.h>

namespace {

void AddGlobal(SGlobalVariables& globals, const char* name, const char* text) {
  auto* v = new SGlobalVariable;
  v->name.SetOwns();
  v->name.Set(name);
  v->value.SetText(text);
  ASSERT_TRUE(globals.variables.InsertByNameHash(v));
}

std::string Expanded(SScriptContext& context, const std::string& text) {
  SString s(text.c_str());
  context.ExpandTextMacros(s);
  return s.CStr() ? s.CStr() : "";
}

TEST(ScriptMacros, EachMacroAndItsEdges) {
  ScriptGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180, 3 * 1440 + 14 * 60 + 5));
  SScriptContext& context = w.Context();
  SPlayer& player = w.core().player;
  player.name.Assign("Ada");
  player.crime = 150;
  SGlobalVariables& globals = w.core().world.globals;
  AddGlobal(globals, "base_loop", "x%Global:base_loop%");
  AddGlobal(globals, "base_name", "%PCName% of %Map%");
  AddGlobal(globals, "base_inner", "%Global:base_innkeepername%!");
  struct Case {
    u32 money;
    const char* text;
    const char* says;
  } cases[] = {
      {0, "Hello %PCName%, %pcname% and %PCNAME%.", "Hello Ada, Ada and Ada."},
      {0, "%NPCName% says hello.", "? says hello."},
      {0, "You are %AAN% apple and %AAN% pear.", "You are an apple and a pear."},
      {0, "%CAAN% orc, %caan% troll.", "An orc, A troll."},
      {0, "%AAN% 8-legged thing, %AAN% \"Egg\"!", "a 8-legged thing, an \"Egg\"!"},
      {0, "at the end: %AAN%", "at the end: a"},
      {0, "%AAN% %CAAN% egg", "a An egg"},  // each judged by what follows: the next macro first
      {9999, "%PCGold%", "9999"},
      {10000, "%PCGold%", "10K"},
      {999999, "%PCGold%", "999K"},
      {1000000, "%PCGold%", "1M"},
      {999999999, "%PCGold%", "999M"},
      {1000000000, "%PCGold%", "1B"},
      {0, "Your fine: %PCCrimeGold%.", "Your fine: 15K."},
      {0, "On day %Day%: %Date%.", "On day 4: Day 4, 2:05 pm."},
      {0, "In %Map%.", "In Old Cellars."},
      {0, "%Global:base_innkeepername% waits.", "Mara waits."},
      {0, "%GLOBAL:base_innkeepername% waits.", "Mara waits."},
      {0, "[%Global:base_nothing%]", "[]"},
      {0, "Unclosed %Global:base_innkeepername", "Unclosed "},
      {0, "%Global:base_inner%", "Mara!"},
      {0, "%Global:base_loop%.", "xxxxxxxx."},               // eight rounds, then the rest goes
      {0, "%Global:base_name%", "%PCName% of Old Cellars"},  // a name is not looked for again
      {0, "%Day% %Date% %PCDisease% %PCRace%%", "4 Day 4, 2:05 pm  Rasvim%"},
      {0, "", ""},
      {0, "100% sure", "100% sure"},
  };
  for (const Case& c : cases) {
    player.money = c.money;
    EXPECT_EQ(Expanded(context, c.text), c.says) << c.text;
  }
  // The map-object kinds have their texts expanded through the game.
  SString sign("%PCName% was here");
  w.state().kindServices.ExpandTextMacros(sign);
  EXPECT_STREQ(sign.CStr(), "Ada was here");
}

// A global that doubles itself every round, and a text near the longest a string holds: each ends, no
// longer than a string holds.
TEST(ScriptMacros, GrowingGlobalsEnd) {
  ScriptGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  SGlobalVariables& globals = w.core().world.globals;
  AddGlobal(globals, "base_twice", "ab%Global:base_twice%%Global:base_twice%");
  std::string big(4000, 'z');
  AddGlobal(globals, "base_big", (big + "%Global:base_big%%Global:base_big%").c_str());
  const std::string twice = Expanded(w.Context(), "%Global:base_twice%");
  EXPECT_EQ(twice.size(), 2u * 255);  // rounds 1..8 bring 1 + 2 + ... + 128 copies
  EXPECT_EQ(twice.find('%'), std::string::npos);
  const std::string grown = Expanded(w.Context(), "%Global:base_big% and %AAN% end");
  EXPECT_GT(grown.size(), 60000u);
  EXPECT_LE(grown.size(), SString::kMaxCapacity - 1u);
  EXPECT_EQ(grown.find("%Global:"), std::string::npos);
  EXPECT_EQ(grown.find_first_not_of('z'), grown.find('%')) << "z's, then at most a cut piece of a macro";
}

// A script's message shows the player's name where the text names it.
TEST(ScriptMacros, AScriptMessageShowsThePlayersName) {
  ScriptGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  w.core().player.name.Assign("Ada");
  ASSERT_EQ(w.Run("message(\"Welcome, %PCName%.\");"), 0u);
  std::vector<std::string> shown;
  for (const GameHarness::Message& m : w.game.messages())
    if (m.source == "script") shown.push_back(m.destination + ": " + m.text);
  EXPECT_EQ(shown, std::vector<std::string>{"game message: Welcome, Ada."});
  EXPECT_EQ(w.state().events[0]->textA.CStr(), std::string("Welcome, Ada."));
}

}  // namespace
