// Dialog conditions over the sample world: what each kind measures with the operators, the whole range of
// kinds, operators and parameters with and without a speaker or a monster, the entry's condition set with
// a pending answer, the searches over a list and the choices kept in their slots; a person's greeting
// and topics; the speaker's list by prefix.
#include "ScriptGame.h"
#include "player/SPlayer.h"
#include "script/SDialogConditions.h"
#include "script/SDialogEntry.h"
#include "world/SMapArea.h"
#include "world/SPeopleTables.h"
#include "world/SWorldModule.h"
#include "world/SWorldRules.h"
#include "world/kinds/SMapObjectDoor.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

SCondition Make(i8 kind, u8 op, i16 value, u8 parameter = 0, const char* text = nullptr) {
  SCondition c;
  c.kind = kind;
  c.op = op;
  c.value = value;
  c.parameter = parameter;
  c.text = text;
  return c;
}

struct Conditions : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(w.Enter("base_out0101", 15, 20, 180, 1440 + 10 * 60)); }
  SGameCore& core() { return w.core(); }
  SPlayer& player() { return w.core().player; }
  bool Holds(const SCondition& c, const SNpc* speaker = nullptr) { return EvaluateCondition(c, speaker, &core()); }
  ScriptGame w;
};

TEST_F(Conditions, KindsMeasureThePlayerTheSpeakerAndTheWorld) {
  SPlayer& p = player();
  p.money = 250;
  p.crime = 2;
  p.fame = -3;
  p.race = 2;
  p.attributes[3] = 14;
  p.skills[7] = 33;
  p.AddQuest("base_quest_cellar");
  core().scriptContext->lastAnswer = 0;
  SNpc speaker;
  speaker.race = 2;
  speaker.runWord = 0;

  const struct {
    SCondition c;
    bool holds;
    const char* what;
  } cases[] = {
      {Make(-1, 1, 0), false, "kind -1 is always false"},
      {Make(0, 1, 99), true, "kind 0 is always true"},
      {Make(1, 1, 0), false, "kind 1 is false"},
      {Make(5, 6, 100), false, "kind 5 is false"},
      {Make(61, 1, 0), false, "beyond 60"},
      {Make(-2, 1, 0), false, "below -1"},
      {Make(2, 1, 0), true, "the last answer"},
      {Make(3, 1, 2), true, "crime"},
      {Make(4, 1, 1), true, "250 pays a fine of 200"},
      {Make(6, 1, 0), true, "fame below 0: not 0 or more"},
      {Make(7, 1, 1), true, "fame below 0"},
      {Make(8, 5, 0), true, "fame < 0"},
      {Make(12, 1, 1, 2), true, "race by parameter"},
      {Make(12, 1, 1, 3), false, "another race"},
      {Make(14, 1, 14, 3), true, "attribute 3"},
      {Make(14, 1, 0, 6), true, "attribute 6 does not exist: 0"},
      {Make(14, 1, 0, 255), true, "attribute 255: 0"},
      {Make(15, 1, 33, 7), true, "skill 7"},
      {Make(15, 1, 0, 0), true, "skill 0: 0"},
      {Make(15, 1, 0, 21), true, "skill 21: 0"},
      {Make(16, 1, 0), true, "not undead"},
      {Make(17, 1, 1), true, "the speaker's race"},
      {Make(25, 1, 1, 2), true, "200 gold at parameter 2"},
      {Make(25, 1, 0, 3), true, "not 300 gold"},
      {Make(25, 1, 0, 255), true, "not 25,500 gold"},
      {Make(27, 1, 0), true, "kind 27 measures 0"},
      {Make(29, 1, 0), true, "the speaker's run-time word"},
      {Make(33, 1, 10), true, "the hour"},
      {Make(34, 1, 2), true, "the day"},
      {Make(37, 1, 1), true, "day"},
      {Make(38, 1, 0), true, "not night"},
      {Make(39, 1, 0, 0, "base_cyclopsdead"), true, "a global"},
      {Make(39, 1, 0, 0, "no_such_global"), true, "a missing global: 0"},
      {Make(42, 1, 1, 0, "base_quest_cellar"), true, "a quest held"},
      {Make(42, 1, 0, 0, "base_quest_cyclops"), true, "a quest not held"},
      {Make(43, 1, 0, 0, "base_quest_cellar"), true, "not solved"},
      {Make(45, 1, 1, 0, "base_out0101"), true, "the current map"},
      {Make(46, 1, 1, 0, "base"), true, "the current world"},
      {Make(28, 4, 1, 0, "base_obj_towngate"), true, "a named object's state"},
      {Make(28, 1, 0, 0, "no_such_object"), true, "a missing object's state: 0"},
      {Make(40, 1, 0, 0, "base_obj_towngate"), true, "no monster bound: not dead"},
      {Make(51, 1, 1), true, "no row chosen"},
      {Make(53, 1, 1), true, "male"},
      // Operators: 3 ">", 4 ">=", 5 "<", 6 "<=", 2 "!=", 0 and 7 false.
      {Make(3, 3, 1), true, "2 > 1"},
      {Make(3, 4, 2), true, "2 >= 2"},
      {Make(3, 5, 2), false, "2 < 2"},
      {Make(3, 6, 2), true, "2 <= 2"},
      {Make(3, 2, 2), false, "2 != 2"},
      {Make(3, 0, 2), false, "operator 0"},
      {Make(3, 7, 2), false, "operator 7"},
  };
  for (const auto& c : cases) EXPECT_EQ(Holds(c.c, &speaker), c.holds) << c.what;
}

// More of the player's states and the world's, and the current monster's tests with the cyclops current.
TEST_F(Conditions, MoreStatesAndTheCurrentMonster) {
  SPlayer& p = player();
  SScriptContext& context = *core().scriptContext;
  context.lastAnswer = 0;
  p.level = 3;
  p.restorableXp = 10;
  p.AddQuest("base_quest_cellar");
  p.EndQuest("base_quest_cellar", true);
  const struct {
    SCondition c;
    bool holds;
    const char* what;
  } cases[] = {
      {Make(11, 1, 3), true, "level"},
      {Make(10, 6, 100), true, "hit points in percent"},
      {Make(18, 1, 0, 0, "no_such_item"), true, "no such items"},
      {Make(19, 1, 0), true, "no disease at all"},
      {Make(21, 1, 0), true, "no poison"},
      {Make(23, 1, 0, 0, "no_such_spell"), true, "a spell not known"},
      {Make(24, 1, 1), true, "experience to restore"},
      {Make(26, 1, 0, 0, "no_such_ability"), true, "no such ability"},
      {Make(43, 1, 1, 0, "base_quest_cellar"), true, "a quest solved"},
      {Make(44, 1, 0, 0, "base_quest_cellar"), true, "not failed"},
      {Make(47, 1, 0), true, "not paralysed"},
      {Make(49, 1, 0), true, "not cursed"},
      {Make(35, 1, 0, 0, "no_such_global"), true, "hours since a missing global"},
      {Make(52, 1, 0), true, "no current object"},
  };
  for (const auto& c : cases) EXPECT_EQ(Holds(c.c), c.holds) << c.what;
}

TEST(ConditionsOfAMonster, TheCurrentMonstersTests) {
  ScriptGame w(true);
  ASSERT_TRUE(w.Enter("base_out0101", 15, 20, 180));
  SMapMonster* monster = nullptr;
  SMapArea* area = nullptr;
  SMapObjectInst* object = w.core().world.modules.current->FindObjectAndMonster("base_obj_cyclops", monster, area);
  ASSERT_NE(monster, nullptr);
  SScriptContext& context = *w.core().scriptContext;
  context.SetThisMonster(32, object, area, monster, kOutputConversation);
  SGameCore* core = &w.core();
  const bool aggressive = area->IsAggressive(*monster);
  EXPECT_TRUE(EvaluateCondition(Make(59, 1, 1, 0, "bres_cyclops"), nullptr, core)) << "its base type";
  EXPECT_TRUE(EvaluateCondition(Make(60, 1, 1, 0, "base_cyclops"), nullptr, core)) << "its own name";
  EXPECT_TRUE(EvaluateCondition(Make(60, 1, 0, 0, "base_rat"), nullptr, core));
  EXPECT_TRUE(EvaluateCondition(Make(54, 1, aggressive ? 1 : 0), nullptr, core));
  EXPECT_TRUE(EvaluateCondition(Make(41, 1, aggressive ? 1 : 0, 0, "base_obj_cyclops"), nullptr, core));
  for (i8 kind : {55, 56, 57, 58}) EXPECT_TRUE(EvaluateCondition(Make(kind, 1, 0), nullptr, core)) << int(kind);
  EXPECT_TRUE(EvaluateCondition(Make(40, 1, 0, 0, "base_obj_cyclops"), nullptr, core)) << "alive";
  object->state = u8(object->state | 2);
  EXPECT_TRUE(EvaluateCondition(Make(40, 1, 1, 0, "base_obj_cyclops"), nullptr, core)) << "its dead flag";
  EXPECT_TRUE(EvaluateCondition(Make(52, 1, object->state), nullptr, core)) << "the current object's state";
}

// The gossip's greeting by race and her topic's entry by the player's crime, purse, strength, skill, pack,
// a global and the town gate's state: the sample's conditions as the world builder wrote them.
TEST(SampleConditions, TheGossipAnswersByThePlayersState) {
  ScriptGame w;
  ASSERT_TRUE(w.Enter("base_out0101", 15, 20, 180));
  SGameCore& core = w.core();
  SPlayer& p = core.player;
  core.scriptContext->lastAnswer = 0;
  const SNpc* gossip = core.world.rules.people.FindByName("base_gossip");
  ASSERT_NE(gossip, nullptr);
  const auto* talk = static_cast<const SDialogEntryListPair*>(gossip->conversation);
  ASSERT_NE(talk, nullptr);
  SMapArea* area = nullptr;
  SMapObjectInst* gate = core.world.modules.current->FindObjectByName("base_obj_towngate", area);
  ASSERT_NE(gate, nullptr);
  auto said = [&](const SDialogEntryList* list) {
    const SDialogEntry* e = FindNextEntryWhoseConditionsHold(list, gossip, nullptr, &core);
    return std::string(e ? e->text : "none");
  };
  auto reset = [&] {
    p.crime = 0;
    p.money = 0;
    p.attributes[1] = 10;
    p.skills[2] = 5;
    core.scriptContext->SetGlobalInt("base_gateopen", 0);
    gate->state = 3;
  };
  const struct {
    const char* what;
    std::function<void()> set;
    const char* topic;
  } cases[] = {
      {"a fine that cannot be paid", [&] { p.crime = 3; }, "You owe the town %PCCrimeGold%."},
      {"a fine the purse pays", [&] { p.crime = 3, p.money = 300; }, "Pay your fine and be done."},
      {"500 gold", [&] { p.money = 500; }, "A purse like yours draws thieves."},
      {"499 gold, the gate shut", [&] { p.money = 499; },
       "The gate by the square is shut. It opens to a push, mind you."},
      {"strength 30", [&] { p.attributes[1] = 30; }, "Strong arms you have."},
      {"Light Weapon 30", [&] { p.skills[2] = 30; }, "You hold a blade like a guard."},
      {"the vault's global", [&] { core.scriptContext->SetGlobalInt("base_gateopen", 1); },
       "The old vault stands open, they say."},
      {"the gate open", [&] { gate->state = 1; }, "Someone has left the gate by the square open again."},
      {"the gate opening", [&] { gate->state = 1 | SMapObjectDoor::kOpening; }, "Nothing much to tell."},
  };
  for (const auto& c : cases) {
    reset();
    c.set();
    EXPECT_EQ(said(talk->first[0]), c.topic) << c.what;
  }
  reset();
  p.ReceiveItemsReported("base_weap_longsword", 1, false);
  EXPECT_EQ(said(talk->first[0]), "A fine longsword.");
  for (const auto& [race, greeting] : std::vector<std::pair<u8, std::string>>{
           {3, "Ah, a Seiry!"}, {2, "One of my own folk!"}, {4, "Hm. A stranger."}}) {
    p.race = race;
    EXPECT_EQ(said(talk->second[0]), greeting) << int(race);
  }
}

// Every kind, operator and parameter, with and without a speaker and a current monster: no finding under
// the sanitizers, and what needs a missing speaker, monster or object measures 0.
TEST_F(Conditions, EveryKindOperatorAndParameterIsTotal) {
  SNpc speaker;
  speaker.race = 1;
  const u8 parameters[] = {0, 1, 5, 20, 21, 255};
  SScriptContext& context = *core().scriptContext;
  for (int withSpeaker = 0; withSpeaker < 2; ++withSpeaker)
    for (int kind = -1; kind <= 70; ++kind)
      for (u8 op = 0; op <= 7; ++op)
        for (u8 parameter : parameters) {
          const SCondition c = Make(i8(kind), op, 0, parameter, kind % 3 ? "base_obj_cyclops" : nullptr);
          EvaluateCondition(c, withSpeaker ? &speaker : nullptr, &core());
          EvaluateCondition(c, nullptr, nullptr);
        }
  ASSERT_EQ(context.thisMonster, nullptr);
  for (i8 kind : {17, 29, 54, 55, 56, 57, 58, 59, 60}) {
    i32 v = -1;
    EXPECT_TRUE(MeasureCondition(Make(kind, 1, 0, 0, "base_cyclops"), nullptr, &core(), v)) << int(kind);
    EXPECT_EQ(v, 0) << "kind " << int(kind) << " without a speaker or a monster";
  }
  for (i8 kind : {20, 22, 28, 40, 41, 48, 50}) {
    i32 v = -1;
    MeasureCondition(Make(kind, 1, 0, 0, "no_such_object"), nullptr, &core(), v);
    EXPECT_EQ(v, 0) << "kind " << int(kind) << " of a missing object";
  }
}

TEST_F(Conditions, AnEntryWithoutAnAnswerTestIsChosenOnlyWhileNoAnswerIsPending) {
  SScriptContext& context = *core().scriptContext;
  SDialogEntry plain, afterYes;
  afterYes.conditions[2] = new SCondition(Make(2, 1, 4));
  for (i32 answer : {0, 4, 8}) {
    context.lastAnswer = answer;
    EXPECT_EQ(EvaluateConditionSet(plain.conditions, nullptr, &core()), answer == 0) << answer;
    EXPECT_EQ(EvaluateConditionSet(afterYes.conditions, nullptr, &core()), answer == 4) << answer;
  }
  // One failing condition among holding ones.
  context.lastAnswer = 4;
  afterYes.conditions[4] = new SCondition(Make(-1, 1, 0));
  EXPECT_FALSE(EvaluateConditionSet(afterYes.conditions, nullptr, &core()));
  EXPECT_TRUE(EvaluateOptionalCondition(nullptr, nullptr, &core()));
}

TEST_F(Conditions, ListSearchesAndChoicesKeepingTheirSlots) {
  core().scriptContext->lastAnswer = 0;
  SDialogEntryList list;
  for (int i = 0; i < 4; ++i) list.entries.Add(new SDialogEntry);
  list.entries[1]->conditions[0] = new SCondition(Make(-1, 1, 0));  // never holds
  list.condition = new SCondition(Make(3, 3, 1000));                // crime above 1000: fails
  SDialogEntry outside;

  EXPECT_EQ(FindNextEntryWhoseConditionsHold(&list, nullptr, nullptr, &core()), nullptr) << "the list's own fails";
  EXPECT_EQ(FindNextEntryWhoseConditionsHold(&list, nullptr, list.entries[0], &core()), list.entries[2])
      << "after an entry the list's condition is not asked; entry 1 is passed over";
  EXPECT_EQ(FindNextEntryWhoseConditionsHold(&list, nullptr, list.entries[3], &core()), nullptr) << "the end";
  EXPECT_EQ(FindNextEntryWhoseConditionsHold(&list, nullptr, &outside, &core()), list.entries[0])
      << "an entry not in the list starts from the first";
  delete list.condition;
  list.condition = nullptr;
  EXPECT_EQ(FindNextEntryWhoseConditionsHold(&list, nullptr, nullptr, &core()), list.entries[0]);
  EXPECT_EQ(FindNextEntryWhoseConditionsHold(nullptr, nullptr, nullptr, &core()), nullptr);

  SDialogEntry e;
  e.choices[0] = new SChoice;
  e.choices[0]->condition = new SCondition(Make(-1, 1, 0));
  e.choices[1] = new SChoice;
  e.choices[3] = new SChoice;
  e.choices[3]->condition = new SCondition(Make(0, 1, 0));
  SChoice* shown[4] = {e.choices[0], e.choices[0], e.choices[0], e.choices[0]};
  EXPECT_EQ(SelectChoicesWhoseConditionHolds(e, shown, nullptr, &core()), 2u);
  EXPECT_EQ(shown[0], nullptr);
  EXPECT_EQ(shown[1], e.choices[1]);
  EXPECT_EQ(shown[2], nullptr);
  EXPECT_EQ(shown[3], e.choices[3]);
}

TEST(SpeakerLists, ShortAndPrefixedNamesAndTheBresFallback) {
  ScriptGame w;
  ASSERT_TRUE(w.Enter("base_out0101", 15, 20, 180));
  SGameCore& core = w.core();
  const SDialogEntryListTable& table = core.world.dialogs;
  const SWorldModuleList& worlds = core.world.modules;
  SDialogEntryList* monster = table.FindSecond("bres_monster");
  ASSERT_NE(monster, nullptr);
  EXPECT_EQ(FindDialogEntryListForSpeaker(table, worlds, "zzzz_monster"), monster) << "another prefix, then bres";
  EXPECT_EQ(FindDialogEntryListForSpeaker(table, worlds, "monster"), monster) << "no prefix";
  EXPECT_EQ(FindDialogEntryListForSpeaker(table, worlds, "base_cyclops"), table.FindSecond("base_cyclops"));
  EXPECT_EQ(FindDialogEntryListForSpeaker(table, worlds, "bres_cyclops"), table.FindSecond("base_cyclops"))
      << "the current world's prefix in place of another's";
  for (const char* name : {"", "a", "ab_", "abcd", "_"})
    EXPECT_EQ(FindDialogEntryListForSpeaker(table, worlds, name), nullptr) << '"' << name << '"';
  // A short name keeps all of it behind the prefix: "bres_" + "mons" names nothing, and neither does a
  // lookup without a current world.
  SWorldModule* current = core.world.modules.current;
  core.world.modules.current = nullptr;
  EXPECT_EQ(FindDialogEntryListForSpeaker(table, worlds, "bres_monster"), nullptr);
  core.world.modules.current = current;
}

// The sample people's greetings and topics as their conditions choose them; the lists of their records
// are the base table's where the record names one.
TEST(SpeakerLists, GreetingsAndTopicsOfTheSamplePeople) {
  ScriptGame w;
  ASSERT_TRUE(w.Enter("base_out0101", 15, 20, 180, 1440 + 12 * 60));
  SGameCore& core = w.core();
  SWorldRules& rules = core.world.rules;
  const SDialogEntryListTable& table = core.world.dialogs;
  core.scriptContext->lastAnswer = 0;
  auto greeting = [&](const char* name) -> std::string {
    const SNpc* person = rules.people.FindByName(name);
    void* list = nullptr;
    void* entry = nullptr;
    if (!person || !person->ChooseGreeting(rules, list, entry)) return "none";
    return static_cast<SDialogEntryList*>(list)->name.Text() + std::string(": ") +
           static_cast<SDialogEntry*>(entry)->text;
  };
  auto topics = [&](const char* name) {
    const SNpc* person = rules.people.FindByName(name);
    SValueArray<SNpcTopic> found{4};
    if (person) person->CollectTopics(rules, found);
    std::string s;
    for (u32 i = 0; i < found.Count(); ++i) s += std::string(found[i].title) + "|";
    return s;
  };
  EXPECT_EQ(greeting("base_merchant"), "base_merchantgreeting: Welcome, traveller.");
  EXPECT_EQ(greeting("base_innkeeper"), "base_plaingreeting: Well met, %PCName%. I am %NPCName%.");
  EXPECT_EQ(greeting("base_sleeper").substr(0, 16), "base_sleeperday:") << "by day";
  EXPECT_EQ(greeting("base_talker").substr(0, 20), "base_talkergreeting:");
  EXPECT_EQ(topics("base_talker"), "The town|A riddle|Charms|A story|Magic|Farewell|The weather|");
  EXPECT_EQ(topics("base_innkeeper"), "The cellar|");
  core.player.AddQuest("base_quest_cyclops");
  core.player.fame = 50;
  EXPECT_EQ(greeting("base_talker").substr(0, 22), "base_talkergreetquest:");
  EXPECT_EQ(topics("base_talker"), "The town|A riddle|Secrets|Charms|A story|Magic|Farewell|The weather|");
  // A pending answer: only entries that test it are chosen (the riddle's answer to "I give up").
  core.scriptContext->lastAnswer = 4;
  EXPECT_EQ(greeting("base_talker"), "none");
  EXPECT_EQ(topics("base_talker"), "A riddle|");
  core.scriptContext->lastAnswer = 0;

  const auto* talk = static_cast<SDialogEntryListPair*>(rules.people.FindByName("base_talker")->conversation);
  ASSERT_NE(talk, nullptr);
  ASSERT_EQ(talk->second.Count(), 2u);
  EXPECT_EQ(talk->second[0], table.FindSecond("base_talkergreetquest"));
  EXPECT_EQ(talk->second[1], table.FindSecond("base_talkergreeting"));
  ASSERT_EQ(talk->first.Count(), 8u);
  EXPECT_EQ(talk->first[7], table.FindFirst("base_weather")) << "a topic naming a base list shares it";
  EXPECT_EQ(talk->first[0]->baseFlag, 0u);
  EXPECT_STREQ(talk->first[0]->secondText, "Tell me about the town.");
}

}  // namespace
