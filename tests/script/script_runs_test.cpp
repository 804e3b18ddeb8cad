// The sample world's scripts played through the real program: the use action on an object's cell, the
// question box and the choice list answered with their buttons, a step onto a place; what the player then
// sees, hears and finds in the world.
#include "ScriptGame.h"
#include "core/ui/SDialogList.h"
#include "core/ui/SDialogListCtrl.h"
#include "player/SPlayer.h"
#include "script/SDialogConditions.h"
#include "script/SDialogEntry.h"
#include "world/SItemTable.h"
#include "world/SMapObjectType.h"
#include "world/SPeopleTables.h"
#include "world/kinds/SMapObjectDoor.h"

#include "screens/SStateMain.h"

#include <gtest/gtest.h>

namespace {

constexpr u16 kUse = kActionUse, kForward = kActionForward, kBack = kActionBack, kDown = 1002;

// The rows of the open choice list, "id: title".
std::vector<std::string> ListRows(SStateGame& state) {
  std::vector<std::string> rows;
  const SDialogListCtrl* list = state.eventList ? state.eventList->list : nullptr;
  for (u32 i = 0; list && i < list->RowCount(); ++i)
    rows.push_back(std::string(list->Row(i32(i))->keyText.CStr()) + ": " + list->Row(i32(i))->text.CStr());
  return rows;
}

// The view's pixels as the panel shows them once the game is idle.
std::vector<u16> View(ScriptGame& w) {
  EXPECT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 60));
  w.game.frame(2);
  return w.game.panel().pixels;
}

TEST(ScriptRuns, TheLeverAsksAndOnlyYesOpensTheGate) {
  ScriptGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 10, 1, 0));  // facing the lever in the north wall
  SMapArea* cellar = w.state().window.CurrentArea();
  SMapObjectInst* lever = cellar->FindObjectByName("base_obj_lever");
  SMapObjectInst* gate = cellar->FindObjectByName("base_obj_gate");
  const u8 leverState = lever->state;
  const std::vector<u16> before = View(w);

  // No: nothing changes.
  EXPECT_EQ(w.UseAndRead(), "Pull the rusty lever?");
  ASSERT_TRUE(w.Choose(SStateGame::kMessageBox, "No"));
  EXPECT_EQ(View(w), before);
  EXPECT_EQ(lever->state, leverState);
  EXPECT_TRUE(gate->state & SMapObjectDoor::kClosed);
  EXPECT_EQ(w.Context().GetGlobalValue("base_gateopen"), 0);

  // Yes: the lever moves (its cell rebuilt), the gate opens, and the script says so.
  w.game.press(kUse);
  ASSERT_TRUE(w.Choose(SStateGame::kMessageBox, "Yes"));
  ASSERT_TRUE(w.game.waitUntil(GameHarness::subModeIs(SStateGame::kMessageBox), 10));
  EXPECT_EQ(w.BoxText(), "Somewhere in the cellar a gate grinds open.");
  ASSERT_TRUE(w.Settle());
  EXPECT_NE(lever->state, leverState);
  EXPECT_EQ(w.Context().GetGlobalValue("base_gateopen"), 1);
  EXPECT_EQ(w.Context().changedObjects.Count(), 0u) << "rebuilt";
  EXPECT_NE(View(w), before);
  w.game.frame(60);
  EXPECT_FALSE(gate->state & SMapObjectDoor::kClosed);

  // Once open, the lever stays.
  EXPECT_EQ(w.UseAndRead(), "The lever does not move any more.");
  EXPECT_EQ(w.ScriptErrors(), 0u);
}

TEST(ScriptRuns, TheChestsListGivesTheChosenIdAndCancelEndsIt) {
  ScriptGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 1, 12, 90));  // the chest against the west wall
  w.game.press(kUse);
  ASSERT_TRUE(w.game.waitUntil(GameHarness::subModeIs(SStateGame::kChoiceList), 10));
  w.game.frame();
  EXPECT_EQ(ListRows(w.state()),
            (std::vector<std::string>{"base_chest_open: Open it", "base_chest_knock: Knock on the lid"}));
  w.game.press(kDown);
  ASSERT_TRUE(w.Choose(SStateGame::kChoiceList, "Ok"));
  ASSERT_TRUE(w.game.waitUntil(GameHarness::subModeIs(SStateGame::kMessageBox), 10));
  EXPECT_STREQ(w.Context().chosenText.CStr(), "base_chest_knock");
  EXPECT_EQ(w.BoxText(), "The lid sounds hollow.");
  ASSERT_TRUE(w.Settle());

  // Cancel: the script runs again with no row and leaves the list closed.
  w.game.press(kUse);
  ASSERT_TRUE(w.Choose(SStateGame::kChoiceList, "Cancel"));
  ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 20));
  w.game.frame(5);
  EXPECT_EQ(w.state().subMode, SStateGame::kWalking);
  EXPECT_EQ(w.state().events.Count(), 0u);
  EXPECT_STREQ(w.Context().chosenText.CStr(), "");
  EXPECT_EQ(w.Context().GetGlobalValue("base_chestasked"), 0);
  EXPECT_EQ(w.ScriptErrors(), 0u);
}

TEST(ScriptRuns, AFailingScriptSaysSoOnceAndPlayGoesOn) {
  ScriptGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 12, 13, 180));  // the crate to the south
  // The crate's script breaks it open with a hammer and names itself; under another name it fails there.
  w.core().player.ReceiveItem(
      w.core().world.items.FindType("base_repair_hammer")->CreateInstance(100, w.state().Random()));
  SMapArea* holder = nullptr;
  w.core().world.modules.current->FindObjectByName("base_obj_crate", holder)->name.Set("base_obj_cratelost");
  w.game.press(kUse);
  ASSERT_TRUE(w.Settle());
  EXPECT_EQ(w.ScriptErrors(), 1u);
  ASSERT_TRUE(w.Move(kBack));
  EXPECT_EQ(w.state().window.playerY, 12);
  ASSERT_TRUE(w.Move(kForward));
  w.game.press(kUse);
  ASSERT_TRUE(w.Settle());
  EXPECT_EQ(w.ScriptErrors(), 2u) << "one for each use";
}

// The sample world's other scripts, each through its object: what changed in the world.
TEST(ScriptRuns, TheSampleObjectsScripts) {
  {
    ScriptGame w;
    ASSERT_TRUE(w.Enter("base_dungeon1", 12, 9, 180));  // the fog stone to the south
    SMapArea* cellar = w.state().window.CurrentArea();
    w.game.press(kUse);
    ASSERT_TRUE(w.Settle());
    EXPECT_EQ(cellar->visibility, 30);
    EXPECT_EQ(w.state().view.fogColor, cellar->fogColour);
    w.game.press(kUse);
    ASSERT_TRUE(w.Settle());
    EXPECT_EQ(cellar->visibility, cellar->dataVisibility);
    EXPECT_EQ(cellar->fogColour, cellar->dataFogColour);
  }
  {
    ScriptGame w;
    ASSERT_TRUE(w.Enter("base_out0101", 13, 26, 180));  // the weather stone south, the bell two cells west
    w.game.press(kUse);
    ASSERT_TRUE(w.Settle());
    EXPECT_EQ(w.state().GetWeatherValue(), 90);
    EXPECT_EQ(w.state().GetRainIntensity(), 600);
    w.game.press(kUse);
    ASSERT_TRUE(w.Settle());
    EXPECT_EQ(w.state().GetWeatherValue(), 10);
    EXPECT_EQ(w.state().GetRainIntensity(), 0);
  }
  {
    // The shrine: a step onto it passes the day to the evening.
    ScriptGame w;
    ASSERT_TRUE(w.Enter("base_out0101", 19, 26, 180, 1440 + 9 * 60));
    w.game.press(kForward);
    ASSERT_TRUE(w.Settle());
    EXPECT_EQ(w.state().window.playerY, 27);
    EXPECT_EQ(w.state().window.minutes, 1440u + 19 * 60);
  }
  {
    ScriptGame w;
    ASSERT_TRUE(w.Enter("base_out0101", 11, 26, 180));  // the bell to the south
    w.MarkSounds();
    w.game.press(kUse);
    // The merchant comes: his service opens his interior.
    ASSERT_TRUE(w.game.waitUntil(GameHarness::stateIs(kStateDialogInterior), 20));
    EXPECT_TRUE(w.Played("bsnd_clicks"));
  }
  {
    ScriptGame w;
    ASSERT_TRUE(w.Enter("base_out0101", 15, 26, 180));  // the storyteller to the south
    w.game.press(kUse);
    // The tale is the introduction's scene, told on the scene screen.
    ASSERT_TRUE(w.game.waitUntil(GameHarness::stateIs(kStateScene), 20));
    EXPECT_TRUE(w.Played("bmus_credits", "music"));
  }
  {
    ScriptGame w(true);
    ASSERT_TRUE(w.Enter("base_out0201", 17, 12, 180));  // north of the rats' nest, on the fields
    SMapArea* fields = w.state().window.CurrentArea();
    const SMonster* rat = w.core().world.monsters.FindMonster("base_rat");
    auto rats = [&] {
      u32 n = 0;
      for (const SMapMonster* m : fields->monsters) n += m->monster == rat;
      return n;
    };
    ASSERT_EQ(rats(), 1u);
    w.game.press(kForward);
    ASSERT_TRUE(w.Settle());
    EXPECT_EQ(rats(), 3u);
    // The poison jar two cells east.
    ASSERT_TRUE(w.Move(kActionTurnLeft));
    ASSERT_TRUE(w.Move(kForward));
    ASSERT_EQ(w.state().window.playerX, 18);
    w.game.press(kUse);
    ASSERT_TRUE(w.Settle());
    EXPECT_EQ(rats(), 1u) << "the field's own rat stays";
  }
}

// The cyclops guarding the cellar's gold, struck down by the player's real blow: its script tells its
// death and solves the quest, and its own death follows: it falls once, leaving its gold in a bag in its
// cell and the dead mark on its object; a blow into the empty cell after it tells nothing again. Used
// before, it grunts instead of talking.
TEST(ScriptRuns, TheCyclopsDiesOnceUnderTheBlowThatKillsIt) {
  ScriptGame w(true);
  ASSERT_TRUE(w.Enter("base_dungeon1", 15, 11, 180));  // facing the cyclops in the cell to the south
  SStateGame& s = w.state();
  SPlayer& player = w.core().player;
  player.name.Assign("Ada");
  player.AddQuest("base_quest_cyclops");
  ASSERT_TRUE(w.Settle());
  SMapArea* cellar = s.window.CurrentArea();
  SMapObjectInst* object = cellar->FindObjectByName("base_obj_cyclops");
  SMapMonster* cyclops = cellar->FindMonsterOfObject(object);
  ASSERT_NE(cyclops, nullptr);
  ASSERT_EQ(cyclops->cellX, 15);
  ASSERT_EQ(cyclops->cellY, 12);
  EXPECT_EQ(w.UseAndRead(), "The cyclops grunts: \"The gold is mine, Ada.\"");
  ASSERT_TRUE(w.Settle());

  auto shown = [&](const std::string& text) {
    u32 n = 0;
    for (const GameHarness::Message& m : w.game.messages())
      n += m.source == "script" && m.text.find(text) != std::string::npos;
    return n;
  };
  const u32 xp = player.xp;
  cyclops->hp = 1;  // the next blow that lands kills
  SMapCell* cell = s.window.Cell(15, 12);
  for (u32 blow = 0; blow < 40 && cellar->FindMonsterOfObject(object); ++blow) {
    s.StrikeMonster(cellar, cell, 15, 12, 0, 0);
    ASSERT_TRUE(w.Settle());
  }
  ASSERT_EQ(cellar->FindMonsterOfObject(object), nullptr) << "the cyclops still stands";
  EXPECT_TRUE(object->state & 2) << "the dead mark";
  EXPECT_TRUE(player.IsQuestSolved("base_quest_cyclops"));
  EXPECT_GT(player.xp, xp);
  ASSERT_NE(cell->bagId, 0);
  SItemContainer* bag = cellar->FindContainerById(u8(cell->bagId));
  ASSERT_NE(bag, nullptr);
  EXPECT_EQ(bag->CountItemsOfType(w.core().world.items.FindType("base_money_100")), 2u) << "its gold";

  for (u32 blow = 0; blow < 3; ++blow) {
    s.StrikeMonster(cellar, cell, 15, 12, 0, 0);
    ASSERT_TRUE(w.Settle());
  }
  EXPECT_EQ(shown("The cyclops falls, and its gold is free."), 1u);
  EXPECT_EQ(shown("quest has been solved"), 1u);
  EXPECT_EQ(w.ScriptErrors(), 0u);
}

// The cellar's nailed crate opens for any hammer in the pack, the start kit's as well as the repair hammer,
// and tells a player without one what would open it.
TEST(ScriptRuns, TheCrateOpensForAnyHammer) {
  const struct {
    const char* hammer;
    const char* said;
  } cases[] = {
      {nullptr, "The crate is nailed shut. A hammer would prise it open."},
      {"base_repair_hammerapprentice", "You prise the crate open with the hammer and find a loaf of bread."},
      {"base_repair_hammer", "You prise the crate open with the hammer and find a loaf of bread."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.hammer ? c.hammer : "no hammer");
    ScriptGame w;
    ASSERT_TRUE(w.Enter("base_dungeon1", 12, 13, 180));  // the crate to the south
    SPlayer& player = w.core().player;
    if (c.hammer) player.ReceiveItem(w.core().world.items.FindType(c.hammer)->CreateInstance(100, w.state().Random()));
    const SItemType* bread = w.core().world.items.FindType("base_food_bread");
    const u32 loaves = player.inventory.CountItemsOfType(bread);
    const std::string said = w.UseAndRead();  // after the report of the loaf received, if any
    EXPECT_NE(said.find(c.said), std::string::npos) << said;
    ASSERT_TRUE(w.Settle());
    EXPECT_EQ(player.inventory.CountItemsOfType(bread), loaves + (c.hammer ? 1u : 0u));
    EXPECT_EQ(w.ScriptErrors(), 0u);
  }
}

// A cyclops killed before the player heard of its gold solves no quest and gives none; the merchant's
// rumour then tells of its death instead of sending the player after it.
TEST(ScriptRuns, TheCyclopsKilledWithoutTheQuestSolvesNoneAndTheRumourSaysSo) {
  ScriptGame w(true);
  ASSERT_TRUE(w.Enter("base_dungeon1", 15, 11, 180));  // facing the cyclops in the cell to the south
  SStateGame& s = w.state();
  SPlayer& player = w.core().player;
  SMapArea* cellar = s.window.CurrentArea();
  SMapObjectInst* object = cellar->FindObjectByName("base_obj_cyclops");
  SMapMonster* cyclops = cellar->FindMonsterOfObject(object);
  ASSERT_NE(cyclops, nullptr);
  cyclops->hp = 1;
  for (u32 blow = 0; blow < 40 && cellar->FindMonsterOfObject(object); ++blow) {
    s.StrikeMonster(cellar, s.window.Cell(15, 12), 15, 12, 0, 0);
    ASSERT_TRUE(w.Settle());
  }
  ASSERT_EQ(cellar->FindMonsterOfObject(object), nullptr) << "the cyclops still stands";
  EXPECT_FALSE(player.HasQuest("base_quest_cyclops"));

  const SNpc* hobb = w.core().world.rules.people.FindByName("base_merchant");
  const SDialogEntryList* rumours = w.core().world.dialogs.FindFirst("base_merchantrumours");
  ASSERT_NE(rumours, nullptr);
  w.Context().lastAnswer = 0;
  const SDialogEntry* said = FindNextEntryWhoseConditionsHold(rumours, hobb, nullptr, &w.core());
  ASSERT_NE(said, nullptr);
  EXPECT_EQ(said->scriptLength, 0) << "no quest given";
  EXPECT_NE(std::string(said->text).find("is dead"), std::string::npos) << said->text;
  EXPECT_EQ(w.ScriptErrors(), 0u);
}

// The gate by the town's square opens at the first push with nothing in the pack, and the gossip tells it
// as it stands: shut before, open after.
TEST(ScriptRuns, TheGossipTellsTheSquaresGateAsItStands) {
  ScriptGame w;
  ASSERT_TRUE(w.Enter("base_out0101", 18, 15, 0));  // the town's (11, 8): the gate to the north
  SGameCore& core = w.core();
  core.player.inventory.DeleteAllItems();  // nothing in the pack
  const SNpc* nell = core.world.rules.people.FindByName("base_gossip");
  const SDialogEntryList* gossip = core.world.dialogs.FindFirst("base_gossip");
  ASSERT_NE(gossip, nullptr);
  auto said = [&] {
    w.Context().lastAnswer = 0;
    const SDialogEntry* e = FindNextEntryWhoseConditionsHold(gossip, nell, nullptr, &core);
    return std::string(e ? e->text : "none");
  };
  SMapArea* town = w.state().window.CurrentArea();
  SMapObjectInst* gate = town->FindObjectByName("base_obj_towngate");
  ASSERT_NE(gate, nullptr);
  ASSERT_TRUE(gate->state & SMapObjectDoor::kClosed);
  EXPECT_EQ(said(), "The gate by the square is shut. It opens to a push, mind you.");
  w.game.press(kUse);
  ASSERT_TRUE(w.Settle());
  w.game.frame(30);
  EXPECT_FALSE(gate->state & (SMapObjectDoor::kClosed | SMapObjectDoor::kOpening)) << "the gate opened";
  EXPECT_EQ(said(), "Someone has left the gate by the square open again.");
}

// The town's guard, used from the street before him by a player with no crime on record: his script
// lets him talk, and the conversation with Orrin of the watch opens.
TEST(ScriptRuns, TheGuardTalksToAnHonestPlayer) {
  ScriptGame w(true);
  ASSERT_TRUE(w.Enter("base_out0101", 13, 16, 0));  // the town's (6, 9), facing the guard's face to the north
  w.game.press(kUse);
  ASSERT_TRUE(w.game.waitUntil(GameHarness::stateIs(kStateDialog), 20)) << w.game.summary();
  bool named = false;
  for (const GameHarness::Control& c : w.game.controls()) named = named || c.text == "Orrin of the watch";
  EXPECT_TRUE(named) << w.game.describeUi();
  EXPECT_EQ(w.ScriptErrors(), 0u);
}

// The town's note, read through the table's use.
TEST(ScriptRuns, TheNoteOnTheTable) {
  ScriptGame w;
  ASSERT_TRUE(w.Enter("base_out0101", 16, 17, 90, 2 * 1440 + 600));  // facing the table to the west
  w.core().player.name.Assign("Ada");
  EXPECT_EQ(w.UseAndRead(),
            "A note on the table reads: \"Ada, on day 3 Mara keeps an apple and a pear for you at the inn.\"");
}

// Messages from outside a script (here the player's reports) reach the game's message line after a
// conversation, an interior and a scene, whatever those screens left the script's output at.
TEST(ScriptRuns, AReportAfterAnotherScreenReachesTheMessageLine) {
  ScriptGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  for (i32 screen : {kStateDialog, kStateDialogInterior, kStateScene}) {
    SCOPED_TRACE(screen);
    // The scene state plays a scene that exists (a missing one ends at once).
    w.game.setState(screen, 1, screen == kStateScene ? SStateMain::SceneWord(&w.core(), "bres_intro") : 0);
    ASSERT_EQ(w.game.state(), screen);
    w.game.setState(kStateGame);
    ASSERT_TRUE(w.Settle());
    w.core().player.ChangeFame(1);
    ASSERT_FALSE(w.game.messages().empty());
    const GameHarness::Message* report = nullptr;
    for (const GameHarness::Message& m : w.game.messages())
      if (m.source == "script") report = &m;
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->text, "Your fame has been increased.");
    EXPECT_EQ(report->destination, "game message");
    ASSERT_TRUE(w.Settle());
  }
}

}  // namespace

// The town's guard takes a player with a crime on record to the town's jail, a map where magic, rest and
// attacks are forbidden; ten minutes later the sentence is served and the player stands in the town again.
TEST(ScriptRuns, TheGuardTakesAThiefToTheJail) {
  ScriptGame w(true);
  ASSERT_TRUE(w.Enter("base_out0101", 13, 14, 180));  // the town's (6, 7) in the window: the guard to the south
  SStateGame& s = w.state();
  w.core().player.crime = 4;
  const std::string said = w.UseAndRead();
  EXPECT_NE(said.find("Thief! You will sit in the cells for that"), std::string::npos) << said;
  ASSERT_TRUE(w.Settle());
  ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 200));
  ASSERT_EQ(s.imprisoned, 1u);
  ASSERT_NE(s.window.CurrentArea(), nullptr);
  EXPECT_STREQ(s.window.CurrentArea()->name.Text(), "base_out0101_jail");
  EXPECT_EQ(s.window.CurrentArea()->flags & (2 | 4 | 16), 2u | 4u | 16u);
  for (int minute = 0; minute < 10 && s.imprisoned; ++minute) s.PassMinute();
  EXPECT_EQ(s.imprisoned, 0u);
  EXPECT_EQ(w.core().player.crime, 0u);
  ASSERT_TRUE(w.Settle());
  EXPECT_STREQ(s.window.CurrentArea()->name.Text(), "base_out0101");
  EXPECT_EQ(w.ScriptErrors(), 0u);
}
