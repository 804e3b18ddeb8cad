// Script functions dispatched by their target on the real game in the cellar: the global handler whatever
// the name, the player, a map object with its type where it lies (or the plain type), and a monster
// placeholder with its bound monster (or the stand-in when none is bound, as after its death); unknown
// names and "(this)" without a target; the changed-object list; and a target that goes away.
#include "ScriptGame.h"

#include <gtest/gtest.h>

namespace {

struct Cellar : ScriptGame {
  Cellar() : ScriptGame(true) {
    EXPECT_TRUE(Enter("base_dungeon1", 10, 1, 0));
    area = state().window.CurrentArea();
    lever = area->FindObjectByName("base_obj_lever");
    leverType = state().window.Cell(10, 0)->sideType[2];
    skeleton = area->FindMonsterById(1);
  }
  SMapArea* area = nullptr;
  SMapObjectInst* lever = nullptr;
  SMapObjectType* leverType = nullptr;
  SMapMonster* skeleton = nullptr;
};

std::string Call(RecordingContext& context, const char* target, u32 id, const char* argument = "") {
  SScriptValue first, none;
  first.SetText(argument);
  none.SetText("");
  context.handler = "-";
  SScriptValue* result = nullptr;
  const u32 code = context.CallFunction(target, id, first, none, none, result);
  const std::string out = context.handler + " | " + Shown(result) + " | " + std::to_string(code);
  delete result;
  return out;
}

TEST(ScriptDispatch, EachTargetReachesItsHandler) {
  Cellar w;
  ASSERT_NE(w.lever, nullptr);
  ASSERT_NE(w.skeleton, nullptr);
  RecordingContext& context = w.UseRecording();
  enum Setter { kNothing, kObject, kMonster };
  struct Case {
    Setter setter;
    const char* target;
    u32 id;
    const char* argument;
    const char* says;  // handler | result | code
  } cases[] = {
      {kNothing, "player", 149, "", "player | \"from the player\" | 0"},
      {kNothing, "PLAYER", 239, "", "player | \"from the player\" | 0"},
      {kNothing, "player", 100, "base_gateopen", "- | 0 | 0"},  // a global function ignores the name
      {kNothing, "base_obj_nothing", 100, "base_gateopen", "- | 0 | 0"},
      {kNothing, "player", 220, "", "- | none | 0"},  // playcard does nothing
      {kNothing, "(this)", 102, "", "- | none | 12"},
      {kObject, "(this)", 102, "", "object base_lever | 0 | 0"},  // the lever starts pulled back
      {kObject, "(THIS)", 115, "", "object base_lever | 0 | 0"},
      {kMonster, "(this)", 177, "", "monster base_skeleton entry - | \"from the monster\" | 0"},
      {kObject, "base_obj_gate", 102, "", "object base_door | 0 | 0"},  // the gate is shut
      {kObject, "base_obj_cyclops", 177, "", "monster base_cyclops entry base_obj_cyclops | \"from the monster\" | 0"},
      {kObject, "base_obj_table", 112, "", "object plain | 1 | 0"},  // in the town: not in the window
      {kObject, "base_obj_nothing", 102, "", "- | none | 12"},
      {kObject, "(this)", 99, "", "- | none | 15"},
      {kObject, "(this)", 255, "", "- | none | 15"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.target) + " " + std::to_string(c.id));
    context.Reset();
    if (c.setter == kObject)
      context.SetThisObject(MapEvent::kUse, w.lever, w.area, w.state().window.Cell(10, 0), w.leverType, 10, 0, 2, 1,
                            kOutputGameMessage);
    if (c.setter == kMonster)
      context.SetThisMonster(MapEvent::kStruck, nullptr, w.area, w.skeleton, kOutputGameMessage);
    EXPECT_EQ(Call(context, c.target, c.id, c.argument), c.says);
  }

  // The placeholder of a dead monster is still a monster's: its calls reach the stand-in monster, with the
  // object whose dead bit isdead reads.
  SMapObjectInst* cyclops = w.area->FindObjectByName("base_obj_cyclops");
  ASSERT_NE(cyclops, nullptr);
  SMapMonster* bound = w.area->FindMonsterOfObject(cyclops);
  ASSERT_NE(bound, nullptr);
  cyclops->state |= 2;
  w.area->RemoveMonster(bound->id);
  EXPECT_EQ(Call(context, "base_obj_cyclops", 126),
            "monster bres_cyclops none base_obj_cyclops | \"from the monster\" | 0");
  EXPECT_EQ(Call(context, "base_obj_cyclops", 214),
            "monster bres_cyclops none base_obj_cyclops | \"from the monster\" | 0");
  // Read again from the map's record, a monster whose object is dead is dropped, and the object stays its
  // placeholder.
  cyclops->monsterPlaceholder = 0;
  ASSERT_TRUE(w.area->ReadMonsters());
  EXPECT_EQ(w.area->FindMonsterOfObject(cyclops), nullptr);
  EXPECT_EQ(cyclops->monsterPlaceholder, 1);
  EXPECT_EQ(w.area->FindObjectByName("base_obj_gate")->monsterPlaceholder, 0);
}

// What the real handlers give where the world answers: map objects' state and containers, and the
// monster's and player's rows, which give nothing until their handlers come (no error either).
TEST(ScriptDispatch, MapObjectsAnswerThroughTheirKinds) {
  Cellar w;
  EXPECT_EQ(w.Value("base_obj_gate.isopened()"), "0");
  EXPECT_EQ(w.Value("base_obj_lever.ison()"), "0");
  EXPECT_EQ(w.Value("base_obj_chest.hasitem(\"base_money_100\", 1)"), "2");
  EXPECT_EQ(w.Value("base_obj_table.getstate()"), "0");
  EXPECT_EQ(w.Run("base_obj_table.setstate(5);"), 0u);
  EXPECT_EQ(w.Value("base_obj_table.getstate()"), "5");
  EXPECT_EQ(w.Value("base_obj_nothing.isopened()"), "error 12");
  EXPECT_EQ(w.ScriptErrors(), 1u);
}

// The changed-object list holds each place once; a wall's object made visible or hidden lists its cell
// and its four sides.
TEST(ScriptDispatch, TheChangedObjectList) {
  Cellar w;
  SScriptContext& context = w.Context();
  context.changedObjects.Clear();
  EXPECT_EQ(w.Run("base_obj_lever.close(); base_obj_lever.close(); base_obj_lever.open();"), 0u);
  ASSERT_EQ(context.changedObjects.Count(), 1u);
  const SChangedObject& c = context.changedObjects[0];
  EXPECT_EQ(c.area, w.area);
  EXPECT_EQ(c.x, 10);
  EXPECT_EQ(c.y, 0);
  EXPECT_EQ(c.side, 2);
  EXPECT_EQ(c.layer, 1u);

  context.changedObjects.Clear();
  SMapObjectType* wall = w.core().world.mapObjectTypes.FindType("base_wallbrick");
  ASSERT_EQ(wall->classNumber, 5);
  context.SetThisObject(MapEvent::kUse, w.lever, w.area, w.state().window.Cell(9, 0), wall, 9, 0, -1, 1,
                        kOutputGameMessage);
  EXPECT_EQ(w.Run("sethidden(); sethidden(); setvisible();"), 0u);
  std::vector<i32> sides;
  for (const SChangedObject& o : context.changedObjects) {
    EXPECT_EQ(o.x, 9);
    EXPECT_EQ(o.y, 0);
    sides.push_back(o.side);
  }
  EXPECT_EQ(sides, (std::vector<i32>{-1, 0, 1, 2, 3}));
}

// A target that goes away is forgotten: a monster freed leaves no monster, cell or speaker behind, and
// unloading the world leaves no target at all.
TEST(ScriptDispatch, ATargetThatGoesAwayIsForgotten) {
  Cellar w;
  SScriptContext& context = w.Context();
  context.SetThisMonster(MapEvent::kStruck, nullptr, w.area, w.skeleton, kOutputGameMessage);
  ASSERT_NE(context.thisCell, nullptr);
  EXPECT_STREQ(context.GetSpeakerPortraitName(), "bres_skeleton1");
  w.area->RemoveMonster(w.skeleton->id);
  EXPECT_EQ(context.thisMonster, nullptr);
  EXPECT_EQ(context.thisCell, nullptr);
  EXPECT_EQ(context.speaker, nullptr);
  EXPECT_STREQ(context.GetSpeakerPortraitName(), "bres_headunknown");
  EXPECT_EQ(w.Run("gethp();"), u32(SScriptInterpreter::kNotAnObject));

  // Another monster's death leaves the target alone.
  SMapMonster* other = w.area->FindMonsterById(2);
  ASSERT_NE(other, nullptr);
  context.SetThisObject(MapEvent::kUse, w.lever, w.area, w.state().window.Cell(10, 0), w.leverType, 10, 0, 2, 1,
                        kOutputGameMessage);
  w.area->RemoveMonster(other->id);
  EXPECT_EQ(context.thisObject, w.lever);

  w.core().UnloadWorld();
  EXPECT_EQ(context.thisKind, SScriptTarget::kNone);
  EXPECT_EQ(context.thisObject, nullptr);
  EXPECT_EQ(context.thisArea, nullptr);
  EXPECT_EQ(context.changedObjects.Count(), 0u);
  SScriptValue none;
  SScriptValue* result = nullptr;
  EXPECT_EQ(context.CallFunction("(this)", 102, none, none, none, result), u32(SScriptInterpreter::kNotAnObject));
  EXPECT_EQ(context.CallFunction("base_obj_lever", 102, none, none, none, result),
            u32(SScriptInterpreter::kNotAnObject));
  EXPECT_EQ(result, nullptr);
}

// The catalogue's id lists: the ids of each target's rows in id order, each list ended by 0.
TEST(ScriptDispatch, TheIdListsOfTheTargets) {
  ScriptGame w;
  const SScriptContext& context = w.Context();
  const struct {
    SScriptContext::IdList list;
    u32 count;
    u8 first, last;
  } lists[] = {{SScriptContext::kObjectIds, 18, 102, 141},
               {SScriptContext::kMonsterIds, 35, 109, 241},
               {SScriptContext::kPlayerIds, 73, 131, 254},
               {SScriptContext::kGlobalIds, 62, 100, 253}};
  for (const auto& l : lists) {
    const u8* ids = context.IdsOf(l.list);
    u32 n = 0;
    while (ids[n]) ++n;
    EXPECT_EQ(n, l.count);
    EXPECT_EQ(ids[0], l.first);
    EXPECT_EQ(ids[n - 1], l.last);
    for (u32 i = 1; i < n; ++i) EXPECT_LT(ids[i - 1], ids[i]);
  }
}

}  // namespace
