// Repair with a hammer: the wear, failure and gain on fixed seeds at skills 10 and 60, a hammer worn
// below 10 percent leaving its list after the try, a repaired item leaving the list, and what is listed.
#include "GameDialogs.h"
#include "dialogs/SDialogRepair.h"
#include "foundation/SRandom.h"
#include "game/SStateGame.h"

namespace {

TEST(RepairRules, WearFailureAndGainAtSkillsTenAndSixty) {
  for (u32 seed = 1; seed <= 30; ++seed) {
    SRandom a, b;
    a.Seed(nullptr, seed);
    b.Seed(nullptr, seed);
    EXPECT_EQ(SDialogRepair::Wear(10, a), b.Next(55) + 55);
    EXPECT_EQ(SDialogRepair::Gain(10, a), b.Next(80) + 80);
    EXPECT_EQ(SDialogRepair::Wear(60, a), b.Next(30) + 30);
    EXPECT_EQ(SDialogRepair::Gain(60, a), b.Next(105) + 105);
  }
  for (i32 roll = 0; roll < 100; ++roll) {
    EXPECT_EQ(SDialogRepair::Fails(10, roll), roll > 20) << roll;
    EXPECT_FALSE(SDialogRepair::Fails(60, roll));
  }
}

struct RepairGame : DialogGame {
  RepairGame() : DialogGame(true) {
    EXPECT_TRUE(Enter("base_dungeon2", 3, 3, 0));
    clearInventory();
    dialog.Attach(&core());
  }
  ~RepairGame() { state().CloseChild(); }
  // A count of the type's maximum condition, in percent.
  i32 percent(const char* name, i32 p) { return i32(type(name)->maxCondition) * p / 100; }
  void Open(SItem* hammer, i32 skill) {
    player().skills[14] = u16(skill);
    state().OpenChild(&dialog);
    dialog.Open(hammer);
  }
  // The hammer description's body, its pages joined.
  std::string Body() const {
    std::string out;
    for (u32 i = 0; i < dialog.description.pages.Count(); ++i)
      out += dialog.description.pages[i].CStr() ? dialog.description.pages[i].CStr() : "";
    return out;
  }
  SDialogRepair dialog;
};

TEST(Repair, ListsWornWeaponsAndArmourButNeverMissilesOrWholeItems) {
  RepairGame g;
  SItem* hammer = g.give("base_repair_hammer");
  g.give("base_repair_hammerapprentice", 1, g.percent("base_repair_hammerapprentice", 9));  // no hammer
  g.give("base_weap_shortswordcheap", 1, 1000);                                             // whole
  SItem* sword = g.give("base_weap_shortswordcheap", 1, 300);
  g.give("base_weap_quiver", 1, 0);
  g.give("base_weap_daggers", 1, 0);
  g.give("base_weap_bolts", 1, 0);
  SItem* mail = g.give("base_armor_chain", 1, 100);
  g.Open(hammer, 40);
  ASSERT_EQ(g.dialog.hammers, std::vector<SItem*>({hammer}));
  EXPECT_EQ(g.dialog.items, std::vector<SItem*>({sword, mail}));
  EXPECT_EQ(g.dialog.list.Row(0)->rightText.CStr(), std::string("average"));
  EXPECT_EQ(g.dialog.list.Row(1)->rightText.CStr(), std::string("broken"));
  EXPECT_EQ(g.dialog.list.selected, 0);
  EXPECT_STREQ(g.dialog.description.title.CStr(), "Repair hammer");
  EXPECT_EQ(g.Body(), "Condition: perfect\r");
  EXPECT_STREQ(g.dialog.title.text.CStr(), "Repair");
}

TEST(Repair, EachTryWearsTheHammerAndSucceedsOnTheRollOfAFixedSeed) {
  RepairGame g;
  SItem* hammer = g.give("base_repair_hammer");
  SItem* mail = g.give("base_armor_chain", 1, 100);
  g.Open(hammer, 10);
  for (u32 seed = 1; seed <= 8 && g.dialog.SelectedHammer(); ++seed) {
    g.core().random->Seed(g.core().random->Owner(), seed);
    SRandom r;
    r.Seed(nullptr, seed);
    const i32 wear = r.Next(55) + 55;
    const bool fails = r.Next(100) > 20;
    const i32 gain = fails ? 0 : r.Next(80) + 80;
    const i32 hammerBefore = hammer->count, mailBefore = mail->count;
    const u16 practice = g.player().practice[14];
    g.MarkSounds();
    g.dialog.OnCommand(SDialogRepair::kRepairId);
    EXPECT_EQ(i32(hammer->count), std::max(0, hammerBefore - wear));
    EXPECT_EQ(i32(mail->count), mailBefore + gain);
    EXPECT_EQ(g.player().practice[14], practice + 1);
    EXPECT_TRUE(g.Played(fails ? "bsnd_repairfail" : "bsnd_repairok"));
  }
}

TEST(Repair, AHammerWornBelowTenPercentLeavesAfterItsTryAndAWholeItemLeavesTheList) {
  RepairGame g;
  // 29 above 10 percent: skill 60 wears 30 to 59.
  const i32 tenth = g.percent("base_repair_hammer", 10);
  SItem* hammer = g.give("base_repair_hammer", 1, tenth + 29);
  SItem* spare = g.give("base_repair_hammer");
  SItem* sword = g.give("base_weap_shortswordcheap", 1, 990);
  SItem* mail = g.give("base_armor_chain", 1, 100);
  g.Open(hammer, 60);
  ASSERT_EQ(g.dialog.hammers.size(), 2u);
  EXPECT_FALSE(g.dialog.previousHammer.IsEnabled());
  EXPECT_TRUE(g.dialog.nextHammer.IsEnabled());
  g.dialog.OnCommand(SDialogRepair::kRepairId);
  // The try happened: the sword is whole and gone from the list, the mail selected in its place.
  EXPECT_EQ(sword->count, 1000);
  EXPECT_EQ(g.dialog.items, std::vector<SItem*>({mail}));
  EXPECT_EQ(g.dialog.list.selected, 0);
  // The hammer is below 10 percent: out of the list, the spare chosen.
  EXPECT_LT(hammer->count, tenth);
  EXPECT_EQ(g.dialog.hammers, std::vector<SItem*>({spare}));
  EXPECT_EQ(g.dialog.SelectedHammer(), spare);
  EXPECT_EQ(g.player().inventory.CountItemsOfType(hammer->type), 2u);
  g.dialog.OnCommand(SDialogRepair::kNextHammerId);
  EXPECT_EQ(g.dialog.SelectedHammer(), spare);
}

// Opened with a hammer worn below use while a good one is carried: no hammer is chosen, and "next" leads
// to the good one, with which the item is repaired.
TEST(Repair, AWornHammerOpensWithNoneChosenAndNextLeadsToAGoodOne) {
  RepairGame g;
  SItem* worn = g.give("base_repair_hammer", 1, g.percent("base_repair_hammer", 5));
  SItem* good = g.give("base_repair_hammer");
  SItem* mail = g.give("base_armor_chain", 1, 100);
  g.Open(worn, 60);
  ASSERT_EQ(g.dialog.hammers, std::vector<SItem*>({good}));
  EXPECT_EQ(g.dialog.hammerIndex, -1);
  EXPECT_STREQ(g.dialog.description.title.CStr(), "");
  EXPECT_EQ(g.Body(), "");
  EXPECT_FALSE(g.dialog.previousHammer.IsEnabled());
  EXPECT_TRUE(g.dialog.nextHammer.IsEnabled());
  g.dialog.OnCommand(SDialogRepair::kRepairId);  // without a hammer: nothing
  EXPECT_EQ(mail->count, 100);
  g.dialog.OnCommand(SDialogRepair::kNextHammerId);
  EXPECT_EQ(g.dialog.SelectedHammer(), good);
  EXPECT_FALSE(g.dialog.nextHammer.IsEnabled());
  EXPECT_FALSE(g.dialog.previousHammer.IsEnabled());
  g.dialog.OnCommand(SDialogRepair::kRepairId);
  EXPECT_GT(mail->count, 100);
  EXPECT_LT(good->count, good->type->maxCondition);
}

}  // namespace
