// The script context's services on the real game: passing time to a time of day, the speaker's dialog
// list by prefix, the changed-object list, the blow's and the target's fields, and a question's answer
// running the object's script again.
#include "WalkGame.h"
#include "player/SPlayer.h"
#include "script/SDialogEntry.h"
#include "script/SScriptContext.h"
#include "world/SItemTable.h"
#include "world/SMapObjectType.h"

#include <gtest/gtest.h>

namespace {

TEST(ScriptContext, PassTimeToATimeOfDay) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  SScriptContext& context = *w.core().scriptContext;
  SStateGame& s = w.state();
  const struct {
    u32 from;
    const char* text;
    u32 to;
  } cases[] = {
      {10 * 60, "7", 10 * 60},          // too short: nothing
      {10 * 60, "7pm", 19 * 60},        //
      {10 * 60, "700", 19 * 60},        // no "am": the afternoon
      {10 * 60, "7am", 1440 + 7 * 60},  // tomorrow morning
      {10 * 60, "12am", 1440},          // midnight
      {10 * 60, "12pm", 12 * 60},       // noon
      {10 * 60, "1130PM", 23 * 60 + 30},
      {10 * 60, "2am", 1440 + 2 * 60},
      {10 * 60, "1930", 10 * 60},  // 13:00 or more: nothing
      {19 * 60, "7pm", 19 * 60},   // already there: no time passes
      {19 * 60 + 1, "7pm", 1440 + 19 * 60},
  };
  for (const auto& c : cases) {
    s.window.minutes = c.from;
    context.PassTimeTo(c.text);
    EXPECT_EQ(s.window.minutes, c.to) << c.text << " from " << c.from;
  }
}

TEST(ScriptContext, TheSpeakersDialogListByPrefix) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  const SDialogEntryListTable& sample = w.core().world.dialogs;
  const SWorldModuleList& worlds = w.core().world.modules;
  SDialogEntryList* greeting = sample.FindSecond("base_merchantgreeting");
  ASSERT_NE(greeting, nullptr);
  EXPECT_EQ(FindDialogEntryListForSpeaker(sample, worlds, "base_merchantgreeting"), greeting);
  EXPECT_EQ(FindDialogEntryListForSpeaker(sample, worlds, "abcd_merchantgreeting"), greeting) << "another prefix";
  EXPECT_EQ(FindDialogEntryListForSpeaker(sample, worlds, "merchantgreeting"), greeting) << "no prefix";
  EXPECT_EQ(FindDialogEntryListForSpeaker(sample, worlds, "base_nobody"), nullptr);
  EXPECT_EQ(FindDialogEntryListForSpeaker(sample, worlds, nullptr), nullptr);
  // A list only the resource world has is found with its prefix.
  SDialogEntryListTable table;
  auto* guard = new SDialogEntryList;
  guard->name.SetOwns();
  guard->name.Set("bres_guard");
  table.base.second.Add(guard);
  ASSERT_NE(worlds.FindByName("bres"), nullptr);
  EXPECT_EQ(FindDialogEntryListForSpeaker(table, worlds, "base_guard"), guard);
}

TEST(ScriptContext, TargetsBlowsAndChangedObjects) {
  WalkGame w;
  w.withMonsters = true;  // the cellar's skeletons are the targets
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  SScriptContext& context = *w.core().scriptContext;
  SMapArea* area = w.state().window.CurrentArea();
  context.AddChangedObject(area, 3, 4, -1, 1);
  context.AddChangedObject(area, 3, 4, -1, 1);
  context.AddChangedObject(area, 3, 4, 2, 1);
  context.AddChangedObject(area, 3, 4, -1, 2);
  EXPECT_EQ(context.changedObjects.Count(), 3u);

  SItem* sword = w.core().player.AddItems(w.core().world.items.FindType("base_weap_shortswordcheap"), 1);
  context.SetBlowWeapons(sword, nullptr);
  EXPECT_STREQ(context.blowNames[0].CStr(), "base_weap_shortswordcheap");
  EXPECT_STREQ(context.blowNames[1].CStr(), "");

  SMapObjectInst* lever = area->FindObjectByName("base_obj_lever");
  ASSERT_NE(lever, nullptr);
  context.lastAnswer = 4;
  context.listStarted = 1;
  SMapObjectType* leverType = w.state().window.Cell(10, 0)->sideType[2];
  context.SetThisObject(MapEvent::kUse, lever, area, w.state().window.Cell(10, 0), leverType, 10, 0, 2, 1,
                        kOutputGameMessage);
  EXPECT_EQ(context.lastAnswer, 0);
  EXPECT_EQ(context.listStarted, 0u);
  EXPECT_EQ(context.speaker, nullptr) << "a lever is nobody";
  EXPECT_EQ(context.thisSide, 2);

  SMapMonster* skeleton = area->FindMonsterById(1);
  ASSERT_NE(skeleton, nullptr);
  context.SetThisMonster(MapEvent::kStruck, nullptr, area, skeleton, kOutputGameMessage);
  EXPECT_EQ(context.thisMonster, skeleton);
  EXPECT_EQ(context.thisX, 5);
  EXPECT_EQ(context.thisY, 9);
  EXPECT_EQ(context.thisCell, w.state().window.Cell(5, 9));
}

}  // namespace
