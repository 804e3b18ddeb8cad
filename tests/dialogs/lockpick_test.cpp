// Lock picking: the chance words at their thresholds, the wear and the success rule on fixed seeds, and
// the dialog on the cellar door through the game state: the picks listed by condition, a pick worn out of
// the list, success, a failure that shows "Failed" for a second, a trap going off, a lock too hard, and
// the texts light on a dark ground.
#include "GameDialogs.h"
#include "core/ui/SRgb.h"
#include "dialogs/SDialogLockpick.h"
#include "foundation/SRandom.h"
#include "game/SStateGame.h"
#include "world/SMapArea.h"
#include "world/SWorldModule.h"

namespace {

TEST(LockpickRules, ChanceWordsAtTheirThresholds) {
  const struct {
    i32 skill;
    u32 durability;
    i32 lock;
    const char* word;
  } cases[] = {
      {31, 0, 30, "very good"},    {30, 0, 30, "good"},   {28, 0, 30, "good"},       {27, 0, 30, "moderate"},
      {22, 0, 30, "moderate"},     {21, 0, 30, "slight"}, {0, 0, 0, "slight"},       {1, 0, 0, "very good"},
      {29, 1000, 30, "very good"}, {29, 999, 30, "good"}, {100, 0, 120, "moderate"}, {109, 0, 120, "good"},
      {50, 0, 120, "slight"},
  };
  for (const auto& c : cases)
    EXPECT_STREQ(SDialogLockpick::ChanceWord(c.skill, c.durability, c.lock), c.word)
        << c.skill << " " << c.durability << " " << c.lock;
}

TEST(LockpickRules, WearAndSuccessFollowTheRollsOfAFixedSeed) {
  for (u32 seed = 1; seed <= 50; ++seed) {
    SRandom a, b;
    a.Seed(nullptr, seed);
    b.Seed(nullptr, seed);
    // At a skill of 100 or more the second part is 0 and draws nothing: 10 to 29.
    const i32 high = SDialogLockpick::Wear(120, a);
    EXPECT_EQ(high, b.Next(20) + 10);
    EXPECT_TRUE(high >= 10 && high <= 29) << high;
    const i32 low = SDialogLockpick::Wear(40, a);
    const i32 first = b.Next(20);
    EXPECT_EQ(low, first + b.Next(60) * 3 / 2 + 10);
    // score 50: 20 + a roll below 10 against the lock.
    const bool picked = SDialogLockpick::Picks(50, 0, 25, a);
    EXPECT_EQ(picked, 20 + b.Next(10) > 25);
    // Above level 10 never, whatever the score.
    EXPECT_FALSE(SDialogLockpick::Picks(1000, 60000, 110, a));
  }
}

struct PickGame : DialogGame {
  PickGame() : DialogGame(true) {
    EXPECT_TRUE(Enter("base_dungeon1", 10, 4, 180));  // the cellar door is the next cell south
    clearInventory();
    SMapArea* map = nullptr;
    door = core().CurrentWorld()->FindObjectByName("base_obj_cellardoor", map);
    EXPECT_NE(door, nullptr);
    player().skills[18] = 40;
  }
  ~PickGame() {
    if (door) door->packed = 1088;
  }
  // Lock level and trap level into the door's state word.
  void SetLock(u32 lock, u32 trap) { door->packed = i16((lock << 6) | (trap << 10)); }
  SDialogLockpick& dialog() { return state().lockpick; }
  void Open() {
    state().trappedInst = door;
    state().OpenLockpick();
  }
  std::string name() { return dialog().name.text.CStr() ? dialog().name.text.CStr() : ""; }
  std::string chance() { return dialog().chance.text.CStr() ? dialog().chance.text.CStr() : ""; }
  SMapObjectInst* door = nullptr;
};

TEST(Lockpick, ThePickPromptOpensItOnTheDoorWithTheUsablePicks) {
  PickGame g;
  g.SetLock(1, 0);
  g.give("base_key_lockpick", 1, 450);  // 9 percent of 5000: not usable
  g.give("base_key_lockpick", 1, 5000);
  g.give("base_key_lockpickbeginner", 1, 250);  // 10 percent of 2500
  // Using the locked door without its key asks; Pick opens the dialog.
  g.game.press(3006);
  ASSERT_TRUE(g.Choose(SStateGame::kTrapPrompt, "Pick"));
  g.game.frame();
  ASSERT_EQ(g.state().subMode, SStateGame::kLockpick);
  EXPECT_EQ(g.dialog().target, g.door);
  ASSERT_EQ(g.dialog().picks.size(), 2u);
  EXPECT_EQ(g.dialog().picks[0], g.player().GetInventoryItem(1));
  EXPECT_EQ(g.dialog().title.text.CStr(), std::string("Picking a lock"));
  EXPECT_NE(g.name().find("\rCondition: perfect"), std::string::npos) << g.name();
  EXPECT_EQ(g.chance(), "Chance: very good");  // 40 against 10
  EXPECT_FALSE(g.dialog().previous.IsEnabled());
  EXPECT_TRUE(g.dialog().next.IsEnabled());
  g.dialog().OnCommand(SDialogLockpick::kNextId);
  EXPECT_NE(g.name().find("\rCondition: poor"), std::string::npos) << g.name();
  EXPECT_TRUE(g.dialog().previous.IsEnabled());
  EXPECT_FALSE(g.dialog().next.IsEnabled());
  g.dialog().OnCommand(SDialogLockpick::kCloseCode);
  EXPECT_EQ(g.state().subMode, SStateGame::kWalking);
}

// The pick's name in font 1 and white, the title and the chance light as well, on dark flagstones (the
// contrast check reads them on the screen).
TEST(Lockpick, ItsTextsAreLightOnADarkGround) {
  PickGame g;
  g.SetLock(1, 0);
  g.give("base_key_lockpick", 1, 5000);
  g.Open();
  ASSERT_EQ(g.state().subMode, SStateGame::kLockpick);
  EXPECT_EQ(g.dialog().backgroundPicture, g.core().Picture(0));
  const struct {
    const char* what;
    const STextCtrl& text;
    u32 colour;
  } texts[] = {{"title", g.dialog().title, 0xFFFFFF},
               {"name", g.dialog().name, 0xFFFFFF},
               {"chance", g.dialog().chance, 0xC8C8C8}};
  for (const auto& t : texts) {
    EXPECT_EQ(t.text.fontNumber, 1u) << t.what;
    EXPECT_EQ(t.text.colour, RgbWord(t.colour)) << t.what;
    EXPECT_EQ(t.text.shade, RgbWord(0x161616)) << t.what;
  }
}

TEST(Lockpick, AWornPickLeavesTheListAndTheTextsFollow) {
  PickGame g;
  g.SetLock(12, 0);  // never picked
  g.give("base_key_lockpick", 1, 505);  // just above 10 percent of 5000
  g.Open();
  ASSERT_EQ(g.dialog().picks.size(), 1u);
  const u16 practice = g.player().practice[18];
  g.dialog().OnCommand(SDialogLockpick::kTrapCode);
  // At least 10 worn off: below condition 10, out of the list, still in the inventory.
  EXPECT_TRUE(g.dialog().picks.empty());
  EXPECT_EQ(g.dialog().selected, -1);
  EXPECT_EQ(g.name(), "");
  EXPECT_EQ(g.player().inventory.GetItemCount(), 1u);
  EXPECT_EQ(g.player().practice[18], practice + 1);
  EXPECT_EQ(g.chance(), "Failed");
  // Without a pick the button does nothing.
  g.dialog().OnCommand(SDialogLockpick::kTrapCode);
  EXPECT_EQ(g.player().practice[18], practice + 1);
}

TEST(Lockpick, ALockAboveLevelTenIsNeverPickedAndEveryTryWears) {
  PickGame g;
  g.SetLock(12, 0);
  g.player().skills[18] = 100;
  SItem* pick = g.give("base_key_lockpick", 1, 60000);
  g.Open();
  EXPECT_EQ(g.chance(), "Chance: very good");  // 100 + 120 against 120, yet never
  for (u32 i = 0; i < 20; ++i) {
    const u16 before = pick->count;
    g.dialog().OnCommand(SDialogLockpick::kTrapCode);
    EXPECT_EQ(g.state().subMode, SStateGame::kLockpick);
    EXPECT_TRUE(before - pick->count >= 10 && before - pick->count <= 29) << before - pick->count;
  }
  EXPECT_EQ((u16(g.door->packed) >> 6) & 15, 12);
}

TEST(Lockpick, SuccessClearsTheLockAndAFailureShowsFailedForASecond) {
  PickGame g;
  g.player().skills[18] = 100;
  SItem* pick = g.give("base_key_lockpick", 1, 5000);
  g.SetLock(1, 0);  // 44 + a roll below 22 beats 10 always
  g.Open();
  g.MarkSounds();
  g.dialog().OnCommand(SDialogLockpick::kTrapCode);
  EXPECT_EQ(g.state().subMode, SStateGame::kWalking);
  EXPECT_EQ((u16(g.door->packed) >> 6) & 15, 0);
  EXPECT_TRUE(g.Played("bsnd_lockout"));
  g.Settle();
  bool told = false;
  for (const auto& m : g.game.messages())
    told = told || m.text.find("You have successfully picked the lock.") != std::string::npos;
  EXPECT_TRUE(told);

  // Level 10 against a score of 11: 4 + a roll below 2 never beats 100; without a trap, "Failed".
  g.player().skills[18] = 10;
  pick->count = 600;  // worn as it may be, it stays in the list and adds 1 to the score
  g.SetLock(10, 0);
  g.Open();
  const std::string before = g.chance();
  g.MarkSounds();
  g.dialog().OnCommand(SDialogLockpick::kTrapCode);
  EXPECT_TRUE(g.Played("bsnd_lockpicktry"));
  EXPECT_EQ(g.chance(), "Failed");
  EXPECT_EQ(g.state().subMode, SStateGame::kLockpick);
  WalkGame::Clock().Advance(500);
  g.game.frame();
  EXPECT_EQ(g.chance(), "Failed");
  WalkGame::Clock().Advance(600);
  g.game.frame();
  EXPECT_EQ(g.chance(), before);

  // On a trapped lock a failure goes to the game state as 103, which closes the dialog.
  g.SetLock(10, 2);
  g.dialog().OnCommand(SDialogLockpick::kTrapCode);
  EXPECT_EQ(g.state().subMode, SStateGame::kWalking);
  EXPECT_EQ(g.state().subDialog, nullptr);
}

// A pick type without condition (maximum 0) reads whole, as the broken test does: no division by zero.
TEST(Lockpick, APickTypeWithoutConditionReadsWhole) {
  PickGame g;
  g.SetLock(1, 0);
  SItemType* type = g.type("base_key_lockpick");
  const u16 most = type->maxCondition;
  type->maxCondition = 0;
  g.give("base_key_lockpick", 1, 0);
  g.Open();
  ASSERT_EQ(g.dialog().picks.size(), 1u);
  EXPECT_NE(g.name().find("Condition: perfect"), std::string::npos) << g.name();
  g.dialog().OnCommand(SDialogLockpick::kCloseCode);
  type->maxCondition = most;
}

}  // namespace
