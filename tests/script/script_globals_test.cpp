// The clock functions and the global script functions, run as statements through the game's interpreter
// and context over the sample world: one table per group.
#include "ScriptGame.h"
#include "core/ui/SDialogListCtrl.h"
#include "graphics/SImage.h"
#include "player/SPlayer.h"
#include "screens/SStateDialog.h"
#include "world/SItemTable.h"

#include <gtest/gtest.h>

namespace {

struct Cellar : ScriptGame {
  Cellar() : ScriptGame(true) {
    EXPECT_TRUE(Enter("base_dungeon1", 5, 6, 180));
    area = state().window.CurrentArea();
  }
  SMapArea* area = nullptr;
};

TEST(ScriptClock, TheClockAroundTheEvening) {
  Cellar w;
  struct Case {
    u32 minutes;
    const char* says;  // gettime getday gethour getminute isdaylight isnight
  } cases[] = {
      {21 * 60 + 59, "1319 1 21 59 1 0"},        {22 * 60, "1320 1 22 0 0 1"},
      {5 * 60 + 59, "359 1 5 59 0 1"},           {6 * 60, "360 1 6 0 1 0"},
      {3 * 1440 + 6 * 60 + 5, "4685 4 6 5 1 0"},
  };
  for (const Case& c : cases) {
    w.state().window.minutes = c.minutes;
    std::string says;
    for (const char* f : {"gettime()", "getday()", "gethour()", "getminute()", "isdaylight()", "isnight()"})
      says += (says.empty() ? "" : " ") + w.Value(f);
    EXPECT_EQ(says, c.says) << c.minutes;
  }
  // Differences to a time: none when it lies ahead.
  w.state().window.minutes = 2 * 1440 + 90;
  EXPECT_EQ(w.Value("getminutediff(30)"), std::to_string(2 * 1440 + 60));
  EXPECT_EQ(w.Value("gethourdiff(30)"), "49");
  EXPECT_EQ(w.Value("getdaydiff(30)"), "2");
  EXPECT_EQ(w.Value("getdaydiff(" + std::to_string(5 * 1440) + ")"), "0");
  EXPECT_EQ(w.Value("getminutediff(gettime() + 1)"), "0");
  EXPECT_EQ(w.Value("getminutediff(-1)"), "0");  // compared unsigned: the end of time
  // From a time a global holds.
  w.Context().SetGlobalInt("base_cellarreward", 1440 + 90 - 120);
  EXPECT_EQ(w.Context().HoursSinceGlobal("base_cellarreward"), 26u);
  EXPECT_EQ(w.Context().DaysSinceGlobal("base_cellarreward"), 1u);
  EXPECT_EQ(w.Context().DaysSinceGlobal("base_nothing"), 0u);
}

TEST(ScriptContextFields, WeaponsSpellsAndPortraits) {
  Cellar w;
  SScriptContext& context = w.Context();
  SItem* sword = w.core().player.AddItems(w.core().world.items.FindType("base_weap_shortswordcheap"), 1);
  context.SetBlowWeapons(nullptr, sword);
  context.eventCode = MapEvent::kUse;
  EXPECT_EQ(w.Value("isweapon(\"base_weap_shortswordcheap\")"), "0") << "no blow";
  context.eventCode = MapEvent::kStruck;
  EXPECT_EQ(w.Value("isweapon(\"base_weap_shortswordcheap\")"), "1");
  EXPECT_EQ(w.Value("isweapon(\"BASE_weap_shortswordcheap\")"), "0") << "exact names";
  context.SetSpell("base_spell_fire", 12);
  EXPECT_EQ(w.Value("isspell(\"base_spell_fire\")"), "0") << "no spell event";
  context.eventCode = MapEvent::kSpellHit;
  EXPECT_EQ(w.Value("isspell(\"base_spell_fire\")"), "1");
  EXPECT_EQ(w.Value("isspell(\"base_spell_ice\")"), "0");

  // The speaker's portrait: a person object's second picture, none with one; a monster's base-type
  // picture, people's last one; anything else the unknown head.
  SMapObjectTypeTable& types = w.core().world.mapObjectTypes;
  std::unique_ptr<SMapObjectType> person(SMapObjectType::Create(&types, 12));
  person->imageNames.Add(const_cast<char*>("bres_merchant1"));  // a type's names are not its own
  SMapArea* area = w.area;
  SMapObjectInst* object = area->FindObjectByName("base_obj_chest");
  context.SetThisObject(MapEvent::kUse, object, area, nullptr, person.get(), 3, 12, -1, 1, kOutputGameMessage);
  EXPECT_EQ(context.GetSpeakerPortraitName(), nullptr);
  person->imageNames.Add(const_cast<char*>("bres_head35"));
  EXPECT_STREQ(context.GetSpeakerPortraitName(), "bres_head35");
  SMapObjectType* chest = w.state().window.Cell(3, 12)->centreType;
  context.SetThisObject(MapEvent::kUse, object, area, nullptr, chest, 3, 12, -1, 1, kOutputGameMessage);
  EXPECT_STREQ(context.GetSpeakerPortraitName(), "bres_headunknown");
  context.SetThisMonster(MapEvent::kUse, nullptr, area, area->FindMonsterById(3), kOutputGameMessage);
  EXPECT_STREQ(context.GetSpeakerPortraitName(), "bres_cyclops1");
  SMapMonster* merchant = area->AddMonster(w.core().world.monsters.FindMonster("base_merchant"), 1, 1);
  context.SetThisMonster(MapEvent::kUse, nullptr, area, merchant, kOutputGameMessage);
  EXPECT_STREQ(context.GetSpeakerPortraitName(), "bres_merchant10");
  context.Reset();
  EXPECT_STREQ(context.GetSpeakerPortraitName(), "bres_headunknown");
}

TEST(ScriptGlobals, ScriptGlobalsAreReadAndChangedButNeverMade) {
  Cellar w;
  const u16 globals = w.core().world.globals.variables.Count();
  struct Case {
    const char* statements;
    const char* expression;
    const char* says;
  } cases[] = {
      {"", "getglobal(\"base_nothing\")", "0"},
      {"", "getglobalstr(\"base_nothing\")", "\"\""},
      {"setglobal(\"base_nothing\", 5);", "getglobal(\"base_nothing\")", "0"},
      {"setglobalstr(\"base_nothing\", \"x\");", "getglobalstr(\"base_nothing\")", "\"\""},
      {"", "getglobal(\"base_gateopen\")", "0"},
      {"setglobal(\"base_gateopen\", 7);", "getglobal(\"base_gateopen\")", "7"},
      {"", "getglobalstr(\"base_gateopen\")", "\"7\""},
      {"", "getglobalstr(\"base_innkeepername\")", "\"Mara\""},
      {"", "getglobal(\"base_innkeepername\")", "0"},  // a text reads as its number
      {"setglobalstr(\"base_innkeepername\", \"12 apples\");", "getglobal(\"base_innkeepername\")", "12"},
      {"setglobalstr(\"base_innkeepername\", \"5\\g\");", "getglobalstr(\"base_innkeepername\")", "\"5\t\""},
      {"setglobal(\"base_innkeepername\", 3);", "getglobalstr(\"base_innkeepername\")", "\"3\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.statements) + " " + c.expression);
    ASSERT_EQ(w.Run(c.statements), 0u);
    EXPECT_EQ(w.Value(c.expression), c.says);
  }
  EXPECT_EQ(w.core().world.globals.variables.Count(), globals);
}

TEST(ScriptGlobals, WeatherIsClamped) {
  Cellar w;
  SStateGame& s = w.state();
  struct Case {
    const char* statements;
    i32 cloud, rain;
    const char* sky;
  } cases[] = {
      {"setweatherrain(5000);", 0, 999, ""},
      {"setweatherrain(-4);", 0, 0, ""},
      {"setweatherrain(300);", 0, 300, ""},
      {"setweathercloud(\"\", -3);", 0, 300, ""},
      {"setweathercloud(\"bres_sky-thunder\", 150);", 100, 300, "bres_sky-thunder"},
      {"setweathercloud(\"\", 55);", 55, 300, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statements);
    ASSERT_EQ(w.Run(c.statements), 0u);
    EXPECT_EQ(s.GetWeatherValue(), c.cloud);
    EXPECT_EQ(s.GetRainIntensity(), c.rain);
    EXPECT_STREQ(s.forcedSky.CStr() ? s.forcedSky.CStr() : "", c.sky);
    EXPECT_EQ(w.Value("getweathercloud()"), std::to_string(c.cloud));
    EXPECT_EQ(w.Value("getweatherrain()"), std::to_string(c.rain));
  }
}

TEST(ScriptGlobals, FogOfMaps) {
  Cellar w;
  SMapArea* cellar = w.area;
  SMapArea* deep = w.core().world.modules.FindMap("base_dungeon2");
  SMapArea* town = w.core().world.modules.FindMap("base_out0101");
  const u16 townFog = town->fogColour;
  const u8 townView = town->visibility;
  struct Case {
    const char* statements;
    const SMapArea* map;
    u8 visibility;
    u16 colour;
  } cases[] = {
      {"setmapfog(\"base_dungeon1\", 30, \"FF0000\");", cellar, 30, MakeColor565(255, 0, 0)},
      {"setmapfog(\"base_dungeon1\", 150, \"20a0ff\");", cellar, 100, MakeColor565(0x20, 0xA0, 0xFF)},
      {"setmapfog(\"base_dungeon1\", -5, \"12345\");", cellar, 0, 0},
      {"setmapfog(\"base_dungeon1\", 50, \"GG0000\");", cellar, 50, 0},
      {"setmapfog(\"base_dungeon1\", 50, \"FF00001\");", cellar, 50, 0},
      {"resetmapfog(\"base_dungeon1\");", cellar, cellar->dataVisibility, cellar->dataFogColour},
      {"setmapfog(\"base_dungeon2\", 20, \"0000FF\");", deep, 20, MakeColor565(0, 0, 255)},
      {"setmapfog(\"base_out0101\", 20, \"0000FF\");", town, townView, townFog},  // placed on its own: kept
      {"resetmapfog(\"base_out0101\");", town, townView, townFog},
      {"setmapfog(\"base_nomap\", 20, \"0000FF\");", cellar, cellar->dataVisibility, cellar->dataFogColour},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statements);
    ASSERT_EQ(w.Run(c.statements), 0u);
    EXPECT_EQ(c.map->visibility, c.visibility);
    EXPECT_EQ(c.map->fogColour, c.colour);
    // The current map shows its fog at once; another map's waits for it to be entered.
    EXPECT_EQ(w.state().view.fogColor, cellar->fogColour);
    EXPECT_EQ(w.state().visibleCells, std::max(1, cellar->visibility * 6 / 100));
  }
}

// Through scripts: a time of day the clock reaches, and texts that name no minute of the day.
TEST(ScriptGlobals, PassingTimeToATimeOfDay) {
  Cellar w;
  SStateGame& s = w.state();
  const struct {
    const char* text;
    u32 to;  // from 10:00 of day 1
  } cases[] = {
      {"7pm", 19 * 60},    {"12am", 1440},      {"1159am", 11 * 60 + 59}, {"11:30am", 11 * 60},  // reads as 11
      {"1199pm", 10 * 60}, {"1260am", 10 * 60}, {"1160", 10 * 60},        {"-5pm", 10 * 60},    {"2359pm", 10 * 60},
      {"99pm", 10 * 60},   {"0am", 1440},
  };
  for (const auto& c : cases) {
    s.window.minutes = 10 * 60;
    ASSERT_EQ(w.Run(std::string("passtimeto(\"") + c.text + "\");"), 0u);
    EXPECT_EQ(s.window.minutes, c.to) << c.text;
  }
  // Days, hours and minutes at once; a negative part passes nothing of itself.
  s.window.minutes = 100;
  ASSERT_EQ(w.Run("passtime(1, 2, 3); passtime(-1, -1, 5); passtime(0, 0, -100);"), 0u);
  EXPECT_EQ(s.window.minutes, 100u + 1440 + 120 + 3 + 5);
}

// Monsters made by scripts land inside the map or nowhere; only those the script marks go by type.
TEST(ScriptGlobals, MonstersMadeAndRemovedByScripts) {
  Cellar w;
  SMapArea* cellar = w.area;
  const SMonster* skeleton = w.core().world.monsters.FindMonster("base_skeleton");
  auto count = [&](bool marked) {
    u32 n = 0;
    for (const SMapMonster* m : cellar->monsters)
      n += m->monster == skeleton && ((m->flags & SMapMonster::kMarked) != 0) == marked;
    return n;
  };
  ASSERT_EQ(count(false), 2u);
  ASSERT_EQ(cellar->width, 35);  // its cells beyond the walls are empty, but in the map
  ASSERT_EQ(cellar->height, 35);
  struct Case {
    const char* statements;
    u32 marked, unmarked;  // skeletons after the statements
  } cases[] = {
      {"createmonsterpos(\"base_skeleton\", 8, 9);", 1, 2},
      {"createmonsterpos(\"base_skeleton\", -1, 3);", 1, 2},
      {"createmonsterpos(\"base_skeleton\", 35, 3);", 1, 2},
      {"createmonsterpos(\"base_skeleton\", 3, 35);", 1, 2},
      {"createmonsterpos(\"base_skeleton\", 2147483647, 3);", 1, 2},
      {"createmonsterpos(\"base_nobody\", 8, 9);", 1, 2},
      {"createmonsterdir(\"base_skeleton\", \"West\", 3);", 2, 2},  // from (5, 6) to (2, 6)
      {"createmonsterdir(\"base_skeleton\", \"w\", 6);", 2, 2},     // one cell west of the map
      {"createmonsterdir(\"base_skeleton\", \"up\", 2147483647);", 2, 2},
      {"createmonsterdir(\"base_skeleton\", \"s\", -2147483647);", 2, 2},
      {"createmonsterobj(\"base_skeleton\", \"base_obj_fogstone\");", 2, 3},
      {"createmonsterobj(\"base_skeleton\", \"base_obj_cyclops\");", 2, 3},  // it lies in no cell
      {"createmonsterobj(\"base_skeleton\", \"base_obj_nothing\");", 2, 3},
      {"removemonstertypes(\"base_skeleton\");", 0, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statements);
    ASSERT_EQ(w.Run(c.statements), 0u);
    EXPECT_EQ(count(true), c.marked);
    EXPECT_EQ(count(false), c.unmarked);
  }
  // A made monster stands in its cell of the window (or a free one beside it) and is drawn.
  ASSERT_EQ(w.Run("createmonsterpos(\"base_skeleton\", 8, 9);"), 0u);
  const SMapMonster* made = cellar->monsters[cellar->monsters.Count() - 1];
  EXPECT_NE(made->displayIndex, 0);
  const SMapCell* cell = w.state().window.Cell(made->cellX, made->cellY);
  EXPECT_TRUE(cell->monsterId[0] == made->id || cell->monsterId[1] == made->id);
}

// On an outdoor tile the window's cells are the map's moved by 7.
TEST(ScriptGlobals, MonstersMadeOnAnOutdoorTile) {
  ScriptGame town;
  ASSERT_TRUE(town.Enter("base_out0101", 17, 17, 0));
  SMapArea* map = town.state().window.CurrentArea();
  ASSERT_EQ(town.Run("createmonsterdir(\"base_rat\", \"north\", 2);"), 0u);
  const SMapMonster* rat = map->monsters[map->monsters.Count() - 1];
  EXPECT_EQ(rat->monster, town.core().world.monsters.FindMonster("base_rat"));
  EXPECT_EQ(rat->cellX, 10);
  EXPECT_EQ(rat->cellY, 8);
}

TEST(ScriptGlobals, EventsQuestionsListsAndServices) {
  Cellar w;
  SScriptContext& context = w.Context();
  // Each evt function tests its own event.
  const char* const events[] = {"evtstepon", "evtstepoff", "evtitemchange", "evthit",    "evtspell",
                                "evtuse",    "evtdie",     "evtequip",      "evtremove", "evtarrive"};
  for (u32 e = 0; e < 10; ++e) {
    context.eventCode = 1u << e;
    std::string says;
    for (const char* f : events) says += w.Value(std::string(f) + "()");
    EXPECT_EQ(says, std::string(e, '0') + "1" + std::string(9 - e, '0')) << context.eventCode;
  }

  // Questions ask only on the game's message line.
  struct Question {
    u32 output;
    const char* statement;
    u32 buttons;  // 0: nothing asked
  } questions[] = {{kOutputGameMessage, "questionyesno(\"Pull, %PCName%?\");", 12},
                   {kOutputGameMessage, "questionokcancel(\"Sure?\");", 3},
                   {kOutputConversation, "questionyesno(\"Pull?\");", 0},
                   {kOutputScene, "questionokcancel(\"Sure?\");", 0}};
  w.core().player.name.Assign("Ada");
  for (const Question& q : questions) {
    SCOPED_TRACE(q.statement);
    w.state().events.DeleteAll();
    context.output = q.output;
    ASSERT_EQ(w.Run(q.statement), 0u);
    if (!q.buttons) {
      EXPECT_EQ(w.state().events.Count(), 0u);
      continue;
    }
    ASSERT_EQ(w.state().events.Count(), 1u);
    EXPECT_EQ(w.state().events[0]->buttons, q.buttons);
  }
  EXPECT_EQ(w.game.messages().back().text, "Sure?");
  context.output = kOutputGameMessage;
  context.lastAnswer = 8;
  EXPECT_EQ(w.Value("answer()"), "8");

  // A list: its rows carry the ids; the result is "" until a row is chosen, and gives no value in a scene.
  w.state().events.DeleteAll();
  EXPECT_EQ(w.Value("getobjectlistresult()"), "\"\"");
  ASSERT_EQ(w.Run("createobjectlist(\"Pick\"); addobjecttolist(\"base_a\", \"A\"); addobjecttolist(\"base_b\", \"B\");"
                  "showobjectlist();"),
            0u);
  ASSERT_EQ(w.state().events.Count(), 1u);
  ASSERT_EQ(w.state().events[0]->kind, u32(kEventChoiceList));
  SDialogListCtrl* list = w.state().events[0]->list;
  ASSERT_EQ(list->RowCount(), 2u);
  EXPECT_STREQ(list->Row(1)->keyText.CStr(), "base_b");
  EXPECT_STREQ(list->Row(1)->text.CStr(), "B");
  context.chosenText.Assign("base_b");
  EXPECT_EQ(w.Value("getobjectlistresult()"), "\"base_b\"");
  context.output = kOutputScene;
  EXPECT_EQ(w.Value("getobjectlistresult()"), "error 19");
  w.state().events.DeleteAll();
  EXPECT_EQ(w.Run("createobjectlist(\"Pick\"); addobjecttolist(\"x\", \"X\"); showobjectlist();"), 0u);
  EXPECT_EQ(w.state().events.Count(), 0u) << "no list in a scene";
  // In a conversation the conversation keeps its flags.
  context.output = kOutputConversation;
  auto* conversation = static_cast<SStateDialog*>(w.core().states[kStateDialog]);
  ASSERT_EQ(w.Run("gonext(); gofirst(); goodbye();"), 0u);
  EXPECT_EQ(conversation->goNext + conversation->goFirst + conversation->finished, 3u);
  EXPECT_EQ(w.state().events.Count(), 0u);

  // Services and scenes go through the event queue.
  context.output = kOutputGameMessage;
  w.state().events.DeleteAll();
  ASSERT_EQ(w.Run("talknpc(\"base_merchant\"); talknpc(\"base_nobody\"); playscene(\"bres_intro\");"), 0u);
  EXPECT_EQ(w.game.eventKinds(), (std::vector<u32>{kEventService, kEventMessage, kEventScene}));
  EXPECT_STREQ(w.state().events[0]->textC.CStr(), "base_merchant");
  EXPECT_STREQ(w.state().events[1]->textA.CStr(), "No answer");
  EXPECT_STREQ(w.state().events[2]->textA.CStr(), "bres_intro");

  // Calming and attracting report what they did: the skeletons stand two cells south.
  w.state().events.DeleteAll();
  ASSERT_EQ(w.Run("calmmonsters(1); calmmonsters(3); attractmonsters(3);"), 0u);
  EXPECT_EQ(w.state().events[0]->textA.CStr(), std::string("You have failed to calm any monsters down.\r"
                                                           "You have calmed some monsters down.\r"
                                                           "You have attracted some monsters."));
}

TEST(ScriptGlobals, SoundsMusicAndOtherAnswers) {
  Cellar w;
  w.MarkSounds();
  ASSERT_EQ(w.Run("playsound(\"bsnd_click\", 7); playsound(\"bsnd_money\", 15); playsound(\"bsnd_nothing\", 5);"
                  "playmusic(\"bmus_credits\"); playmusic(\"bmus_nothing\");"),
            0u);
  std::vector<std::string> played;
  for (size_t i = w.soundMark; i < w.game.sounds().size(); ++i) {
    const GameHarness::Sound& s = w.game.sounds()[i];
    played.push_back(s.what + " " + s.name + (s.what == "sound" ? " " + std::to_string(s.step) : ""));
  }
  EXPECT_EQ(played, (std::vector<std::string>{"sound bsnd_click 7", "sound bsnd_money 10", "music bmus_credits"}));
  EXPECT_STREQ(w.state().musicName.CStr(), "bmus_credits");

  // Random numbers, the current map and world, item values.
  for (int i = 0; i < 20; ++i) {
    const i32 n = std::stoi(w.Value("random(3)"));
    EXPECT_TRUE(n >= 0 && n < 3) << n;
  }
  EXPECT_EQ(w.Value("random(0)"), "0");
  EXPECT_EQ(w.Value("random(-5)"), "0");
  EXPECT_EQ(w.Value("iscurrentmap(\"base_dungeon1\")"), "1");
  EXPECT_EQ(w.Value("iscurrentmap(\"BASE_dungeon1\")"), "0");
  EXPECT_EQ(w.Value("iscurrentworld(\"base\")"), "1");
  EXPECT_EQ(w.Value("iscurrentworld(\"bres\")"), "0");
  const SItemType* money = w.core().world.items.FindType("base_money_100");
  EXPECT_EQ(w.Value("itemvalue(\"base_money_100\")"), std::to_string(money->value));
  EXPECT_EQ(w.Value("itemvalue(\"base_nothing\")"), "0");
  ASSERT_EQ(w.Run("setdamage(12);"), 0u);
  EXPECT_EQ(w.Value("getdamage()"), "12");
  EXPECT_EQ(w.Run("playcard(5);"), 0u);  // does nothing
}

// An item call on a map object makes one item per unit: no more than its container's list holds.
TEST(ScriptGlobals, AHugeAmountOfItemsFillsTheChestOnce) {
  Cellar w;
  SItemContainer* chest = w.area->FindContainerById(w.area->FindObjectByName("base_obj_chest")->containerId);
  ASSERT_NE(chest, nullptr);
  const u32 before = chest->GetItemCount();
  const u32 room = SPtrArray<SItem>::kMaxCount - before;
  ASSERT_EQ(w.Run("base_obj_chest.receiveitem(\"base_misc_candle\", 2000000000);"), 0u);
  EXPECT_EQ(chest->GetItemCount(), SPtrArray<SItem>::kMaxCount);
  EXPECT_EQ(w.Value("base_obj_chest.hasitem(\"base_misc_candle\")"), std::to_string(room));
  ASSERT_EQ(w.Run("base_obj_chest.receiveitem(\"base_misc_candle\", 5);"), 0u);
  EXPECT_EQ(chest->GetItemCount(), SPtrArray<SItem>::kMaxCount);
  ASSERT_EQ(w.Run("base_obj_chest.removeitem(\"base_misc_candle\", 65000);"
                  "base_obj_chest.removeitem(\"base_misc_candle\", -1);"
                  "base_obj_chest.receiveitem(\"base_misc_candle\", -7);"),
            0u);
  EXPECT_EQ(w.Value("base_obj_chest.hasitem(\"base_misc_candle\")"), std::to_string(room - 65000));
}

}  // namespace
