// The sample world as a player meets it, checked over its maps as the game loads them: every person stands
// somewhere, with a face and a greeting by day; every monster lives somewhere, and none that attacks on
// sight in a town; whatever stands to be read says something; the cellar's locked door guards a room, as
// the merchant tells it, and its monsters come one at a time; no written text says a sentence twice; what
// sends the player after the cyclops names the map it lies in; a new game's sky is as the introduction
// tells it; and a town portal from the fields, the road or the isle reaches the town.
#include "WalkGame.h"
#include "game/SMonster.h"
#include "script/SDialogConditions.h"
#include "script/SDialogEntry.h"
#include "script/SScriptContext.h"
#include "script/SScriptTable.h"
#include "world/SItem.h"
#include "world/SItemTable.h"
#include "world/SMapObjectType.h"
#include "world/SPeopleTables.h"
#include "world/SWorldRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr u16 kTownMap = 0x200;

struct SampleWorld : WalkGame {
  SampleWorld() {
    withMonsters = true;
    entered = Enter("base_out0101", 17, 17, 0);
  }
  SWorldModule& module() { return *core().world.modules.current; }
  // The maps of the world, each entered in turn with the player on (x, y) of its window.
  void ForEachMap(const std::function<void(SMapArea&)>& visit) {
    std::vector<std::string> names;
    for (SMapArea* a : module().maps) names.push_back(a->name.Text());
    for (const std::string& n : names) {
      SCOPED_TRACE(n);
      ASSERT_TRUE(Enter(n.c_str(), 2, 2, 0));
      visit(*state().window.CurrentArea());
    }
  }
  // The object in the centre of a window cell of the current map, with its type's class (0 for none).
  SMapObjectInst* CentreObject(i32 x, i32 y, u32& typeClass) {
    const SMapCell* cell = state().window.Cell(x, y);
    typeClass = 0;
    if (!cell || state().window.BlockArea(x, y) != state().window.CurrentArea()) return nullptr;
    typeClass = SMapWindow::TypeNumber(cell->centreType);
    return cell->centreObjectId ? state().window.CurrentArea()->FindObjectById(cell->centreObjectId) : nullptr;
  }
  bool entered = false;
};

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(SampleWorldPlay, EveryPersonStandsSomewhereWithAFaceAndAGreetingByDay) {
  SampleWorld w;
  ASSERT_TRUE(w.entered);
  std::set<std::string> met;
  for (SMapArea* a : w.module().maps) {
    for (const SMapMonster* m : a->monsters)
      if (m->monster->talk) met.insert(m->monster->talk);
    for (const SMapObjectInst* o : a->objects)
      if (o->targetText) met.insert(o->targetText);
  }
  SWorldRules& rules = w.core().world.rules;
  for (const SNpc* person : rules.people.records) {
    const std::string name = person->name.Text();
    SCOPED_TRACE(name);
    EXPECT_TRUE(met.count(name)) << "no one placed on a map is this person";
    ASSERT_NE(person->texts[1], nullptr) << "no portrait";
    EXPECT_NE(w.core().world.faces.FindByName(person->texts[1]), nullptr) << person->texts[1];
    w.core().scriptContext->lastAnswer = 0;
    void* list = nullptr;
    void* entry = nullptr;
    EXPECT_TRUE(person->ChooseGreeting(rules, list, entry)) << "silent at noon";
  }
}

TEST(SampleWorldPlay, EveryMonsterLivesSomewhereAndNoneAttacksInATown) {
  SampleWorld w;
  ASSERT_TRUE(w.entered);
  std::set<std::string> placed;
  for (SMapArea* a : w.module().maps)
    for (const SMapMonster* m : a->monsters) {
      placed.insert(m->monster->name.Text());
      if (a->flags & kTownMap) {
        EXPECT_FALSE(m->monster->kind != 4 && (m->monster->flags & 4))
            << a->name.Text() << ": " << m->monster->name.Text() << " attacks on sight at " << int(m->cellX) << ","
            << int(m->cellY);
      }
    }
  // And those the scripts make.
  const std::regex created(R"re(createmonster\w*\("(\w+)")re");
  for (const auto& file :
       std::filesystem::directory_iterator(std::string(DUSKMIRE_SOURCE_DIR) + "/data/sample/scripts")) {
    std::ifstream in(file.path());
    std::stringstream text;
    text << in.rdbuf();
    const std::string s = text.str();
    for (std::sregex_iterator i(s.begin(), s.end(), created), end; i != end; ++i) placed.insert((*i)[1]);
  }
  for (const SMonster* m : w.core().world.monsters.monsters)
    EXPECT_TRUE(placed.count(m->name.Text())) << m->name.Text() << " is placed nowhere";
}

// Tables, piers, milestones and signposts show a text or run a script when used, and so does a sign on a
// wall: a sign itself reacts to nothing, so its side's first layer holds a wall decoration with its words.
TEST(SampleWorldPlay, WhatStandsToBeUsedSaysSomething) {
  SampleWorld w;
  ASSERT_TRUE(w.entered);
  u32 seen = 0, signs = 0;
  w.ForEachMap([&](SMapArea& map) {
    for (i32 y = 0; y < SMapWindow::kSize; ++y)
      for (i32 x = 0; x < SMapWindow::kSize; ++x) {
        const SMapCell* cell = w.state().window.Cell(x, y);
        if (cell && w.state().window.BlockArea(x, y) == &map) {
          for (u32 side = 0; side < 4; ++side) {
            if (SMapWindow::TypeNumber(cell->sideType[side]) != 18 &&
                SMapWindow::TypeNumber(cell->side2Type[side]) != 18)
              continue;
            ++signs;
            const SMapObjectInst* words =
                cell->sideObjectId[side] ? map.FindObjectById(cell->sideObjectId[side]) : nullptr;
            EXPECT_EQ(SMapWindow::TypeNumber(cell->sideType[side]), 9) << "a sign at " << x << "," << y;
            EXPECT_TRUE(words && words->targetText && *words->targetText)
                << "a sign that says nothing at " << x << "," << y;
          }
        }
        u32 typeClass = 0;
        const SMapObjectInst* o = w.CentreObject(x, y, typeClass);
        if (typeClass != 19) continue;
        ++seen;
        ASSERT_NE(o, nullptr) << "a table without its object at " << x << "," << y;
        EXPECT_TRUE((o->targetText && *o->targetText) || (o->scriptName && *o->scriptName))
            << o->name.Text() << " says nothing";
      }
  });
  EXPECT_GT(seen, 3u);
  EXPECT_GT(signs, 0u);
}

// The Old Cellars' locked door stands between walls and shuts off a room of its own, away from the way in,
// where something lies that is worth the key.
TEST(SampleWorldPlay, TheCellarsLockedDoorGuardsARoom) {
  SampleWorld w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 2, 2, 0));
  SStateGame& s = w.state();
  SMapArea* cellar = s.window.CurrentArea();
  i32 dx = -1, dy = -1;
  for (i32 y = 0; y < SMapWindow::kSize; ++y)
    for (i32 x = 0; x < SMapWindow::kSize; ++x) {
      u32 typeClass = 0;
      const SMapObjectInst* o = w.CentreObject(x, y, typeClass);
      if ((typeClass == 20 || typeClass == 22) && o && ((o->packed >> 6) & 15)) dx = x, dy = y;
    }
  ASSERT_GE(dx, 0) << "no locked door";
  auto wall = [&](i32 x, i32 y) {
    const SMapCell* c = s.window.Cell(x, y);
    return !c || SMapWindow::TypeNumber(c->centreType) == 5;
  };
  const bool eastWest = wall(dx - 1, dy) && wall(dx + 1, dy);
  ASSERT_TRUE(eastWest || (wall(dx, dy - 1) && wall(dx, dy + 1))) << "walls on neither pair of sides";
  const i32 ax = eastWest ? dx : dx - 1, ay = eastWest ? dy - 1 : dy;  // the cells before and behind it
  const i32 bx = eastWest ? dx : dx + 1, by = eastWest ? dy + 1 : dy;
  ASSERT_FALSE(wall(ax, ay) || wall(bx, by)) << "the door leads nowhere";
  // The cells reachable from one without passing a wall or the door.
  auto region = [&](i32 x0, i32 y0) {
    std::set<std::pair<i32, i32>> seen{{x0, y0}};
    std::vector<std::pair<i32, i32>> open{{x0, y0}};
    while (!open.empty()) {
      auto [x, y] = open.back();
      open.pop_back();
      for (auto [nx, ny] : {std::pair{x + 1, y}, std::pair{x - 1, y}, std::pair{x, y + 1}, std::pair{x, y - 1}})
        if (nx >= 0 && ny >= 0 && nx < SMapWindow::kSize && ny < SMapWindow::kSize && !(nx == dx && ny == dy) &&
            !wall(nx, ny) && seen.insert({nx, ny}).second)
          open.push_back({nx, ny});
    }
    return seen;
  };
  const SMapObjectInst* entry = cellar->FindObjectByName("base_pos_cellar");
  ASSERT_NE(entry, nullptr);
  const auto a = region(ax, ay), b = region(bx, by);
  const std::pair<i32, i32> in{entry->cellX, entry->cellY};
  ASSERT_NE(a.count(in), b.count(in)) << "the way in lies on both sides of the door, or on neither";
  const auto& room = a.count(in) ? b : a;
  EXPECT_LT(room.size(), 12u) << "a hall, not a room";
  u32 treasure = 0;
  for (auto [x, y] : room) {
    const SMapCell* c = s.window.Cell(x, y);
    if (const SItemContainer* bag = c && c->bagId ? cellar->FindContainerById(u8(c->bagId)) : nullptr)
      treasure += bag->GetItemCount();
  }
  EXPECT_GT(treasure, 0u) << "nothing behind the door";
}

// What Hobb tells of the cellar holds there: the store room's door is locked and trapped, and its key lies in
// the old chest by the west wall.
TEST(SampleWorldPlay, WhatTheMerchantSaysOfTheStoreRoomHoldsInTheCellar) {
  SampleWorld w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 2, 2, 0));
  SWorldRules& rules = w.core().world.rules;
  const SNpc* hobb = rules.people.FindByName("base_merchant");
  ASSERT_NE(hobb, nullptr);
  SValueArray<SNpcTopic> topics{4};
  hobb->CollectTopics(rules, topics);
  std::string said;
  for (u32 i = 0; i < topics.Count(); ++i)
    if (topics[i].title && std::string(topics[i].title) == "Cellar" && topics[i].entry)
      said = Lower(static_cast<const SDialogEntry*>(topics[i].entry)->text);
  for (const char* word : {"store room", "locked", "trapped", "old chest", "west wall"})
    EXPECT_NE(said.find(word), std::string::npos) << word << ": " << said;
  SStateGame& s = w.state();
  SMapArea* map = s.window.CurrentArea();
  const SMapObjectInst* door = nullptr;
  for (const SMapObjectInst* o : map->objects) {
    const u32 typeClass = o->cellX < SMapWindow::kSize && o->cellY < SMapWindow::kSize
                              ? SMapWindow::TypeNumber(s.window.Cell(o->cellX, o->cellY)->centreType)
                              : 0;
    if ((typeClass == 20 || typeClass == 22) && ((o->packed >> 6) & 15)) door = o;
  }
  ASSERT_NE(door, nullptr) << "no locked door";
  EXPECT_NE((u16(door->packed) >> 10) & 15, 0) << "the door is not trapped";
  ASSERT_NE(door->targetText, nullptr) << "the door names no key";
  const SMapObjectInst* chest = map->FindObjectByName("base_obj_chest");
  ASSERT_NE(chest, nullptr);
  EXPECT_EQ(chest->cellX, 0) << "the chest is not in the west wall";
  const SItemContainer* inside = map->FindContainerById(chest->containerId);
  ASSERT_NE(inside, nullptr);
  bool key = false;
  for (const SItem* item : inside->items) key = key || item->type->name.Equals(door->targetText);
  EXPECT_TRUE(key) << "the chest does not hold " << door->targetText;
}

// The Old Cellars' monsters that attack on sight stand farther apart than a fight reaches (seven cells), so
// that a new character meets them one at a time.
TEST(SampleWorldPlay, TheCellarsMonstersComeOneAtATime) {
  SampleWorld w;
  ASSERT_TRUE(w.entered);
  SMapArea* cellar = w.core().world.modules.FindMap("base_dungeon1");
  ASSERT_NE(cellar, nullptr);
  std::vector<const SMapMonster*> hostile;
  for (const SMapMonster* m : cellar->monsters)
    if (m->monster->flags & 4) hostile.push_back(m);
  ASSERT_GE(hostile.size(), 3u) << "two skeletons and the cyclops";
  for (size_t i = 0; i < hostile.size(); ++i)
    for (size_t j = i + 1; j < hostile.size(); ++j) {
      const i32 apart =
          std::max(std::abs(hostile[i]->cellX - hostile[j]->cellX), std::abs(hostile[i]->cellY - hostile[j]->cellY));
      EXPECT_GT(apart, 7) << hostile[i]->monster->name.Text() << " at " << int(hostile[i]->cellX) << ","
                          << int(hostile[i]->cellY) << " and " << hostile[j]->monster->name.Text() << " at "
                          << int(hostile[j]->cellX) << "," << int(hostile[j]->cellY);
    }
}

// A written text (book, letter, map, spellbook) says each of its sentences once.
TEST(SampleWorldPlay, NoWrittenTextSaysASentenceTwice) {
  SampleWorld w;
  ASSERT_TRUE(w.entered);
  u32 texts = 0;
  for (const SItemType* t : w.core().world.items.types) {
    if (!t->text4 || !(t->itemClass == kItemBook || (t->itemClass == kItemMagic && t->subtype == 2))) continue;
    ++texts;
    std::set<std::string> said;
    std::string sentence;
    for (const char* c = t->text4;; ++c) {
      const bool end = !*c || ((*c == '.' || *c == '!' || *c == '?') && (!c[1] || c[1] == ' ' || c[1] == '\n'));
      if (*c) sentence += *c;
      if (end) {
        while (!sentence.empty() && (sentence.front() == ' ' || sentence.front() == '\n')) sentence.erase(0, 1);
        if (sentence.size() > 20) {
          EXPECT_TRUE(said.insert(sentence).second) << t->name.Text() << ": " << sentence;
        }
        sentence.clear();
      }
      if (!*c) break;
    }
  }
  EXPECT_GT(texts, 10u);
}

// The quest of the cyclops' gold, the rumour that gives it and the introduction all name the map where the
// cyclops of the quest lies.
TEST(SampleWorldPlay, WhatSendsThePlayerAfterTheCyclopsNamesWhereItIs) {
  SampleWorld w;
  ASSERT_TRUE(w.entered);
  const char* lair = nullptr;
  for (SMapArea* a : w.module().maps)
    if (const SMapObjectInst* o = a->FindObjectByName("base_obj_cyclops"); o && a->FindMonsterOfObject(o))
      lair = a->title;
  ASSERT_NE(lair, nullptr);
  const std::string where = Lower(lair);
  SWorldRules& rules = w.core().world.rules;
  std::vector<std::pair<std::string, std::string>> texts;
  const SQuest* quest = rules.quests.FindByName("base_quest_cyclops");
  ASSERT_NE(quest, nullptr);
  texts.push_back({"the quest", quest->texts[1]});
  const SDialogEntryList* rumours = w.core().world.dialogs.FindFirst("base_merchantrumours");
  ASSERT_NE(rumours, nullptr);
  for (const SDialogEntry* e : rumours->entries)
    if (e->scriptLength) texts.push_back({"the rumour that gives the quest", e->text});
  const SScene* intro = rules.scenes.FindByName("bres_intro");
  ASSERT_NE(intro, nullptr);
  for (u32 i = 0; i < intro->pages.Count(); ++i)
    if (const char* t = intro->pages[i].texts[1]; t && Lower(t).find("cyclops") != std::string::npos)
      texts.push_back({"the introduction", t});
  ASSERT_EQ(texts.size(), 3u);
  for (const auto& [what, text] : texts) EXPECT_NE(Lower(text).find(where), std::string::npos) << what << ": " << text;
}

// The introduction, its pages and what their scripts say, speaks of no weather that a new game does not
// begin with: the new game's sky is clear.
TEST(SampleWorldPlay, TheIntroductionTellsOfTheSkyANewGameBeginsUnder) {
  WalkGame w([] {
    GameHarness::Options o;
    o.newGame = true;
    return o;
  }());
  ASSERT_TRUE(w.booted);
  ASSERT_TRUE(w.game.waitUntil(GameHarness::gameIdle(), 60));
  EXPECT_EQ(w.state().GetRainIntensity(), 0);
  EXPECT_EQ(w.state().GetWeatherValue(), 0);
  const SScene* intro = w.core().world.rules.scenes.FindByName("bres_intro");
  ASSERT_NE(intro, nullptr);
  std::vector<std::string> told;
  for (u32 i = 0; i < intro->pages.Count(); ++i) {
    if (const char* t = intro->pages[i].texts[1]) told.push_back(t);
    const SNamedScript* script =
        intro->pages[i].texts[2] ? w.core().world.scripts.Find(intro->pages[i].texts[2]) : nullptr;
    for (u32 n = 0; script && script->String(n); ++n) told.push_back(script->String(n));
  }
  ASSERT_GE(told.size(), 3u);
  for (const std::string& text : told)
    for (const char* weather : {"rain", "storm", "thunder", "snow"})
      EXPECT_EQ(Lower(text).find(weather), std::string::npos) << text;
}

// Cast from the town's neighbours (the fields, the road and the isle over the water), a town portal lands on
// the town's portal stone.
TEST(SampleWorldPlay, ATownPortalFromTheTownsNeighboursReachesTheTown) {
  SampleWorld w;
  ASSERT_TRUE(w.entered);
  for (const char* map : {"base_out0201", "base_out0102", "base_out0302"}) {
    SCOPED_TRACE(map);
    ASSERT_TRUE(w.Enter(map, 17, 17, 0));
    SStateGame& s = w.state();
    s.events.DeleteAll();
    s.BeginTownPortal();
    ASSERT_EQ(s.events.Count(), 1u);
    EXPECT_EQ(s.events[0]->kind, u32(kEventTransition));
    EXPECT_STREQ(s.events[0]->textA.CStr(), "base_out0101townportal");
    s.events.DeleteAll();
  }
}

}  // namespace
