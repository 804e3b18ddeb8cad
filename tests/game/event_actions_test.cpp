// The game state's event actions on the real program: resting with its refusals and its eight hours, the
// prison by crime with its losses and its nearest prison, potions, the magic book's refusals, disarming
// and the traps' spells, the opening hours of services, and scenes.
#include "WalkGame.h"
#include "core/ui/SDialogMessage.h"
#include "player/SPlayer.h"
#include "script/SScriptContext.h"
#include "world/SItemTable.h"
#include "world/SPeopleTables.h"
#include "world/SWorldRules.h"

#include <gtest/gtest.h>

namespace {

constexpr u32 kPoisonKind = 26;

// The texts of the message boxes queued or appended since the mark.
struct Messages {
  explicit Messages(WalkGame& walk) : w(walk), mark(walk.game.messages().size()) {}
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    const auto& all = w.game.messages();
    for (size_t i = mark; i < all.size(); ++i)
      if ((all[i].source == "queued" || all[i].source == "appended") && !all[i].text.empty())
        out.push_back(all[i].text);
    return out;
  }
  std::string Last() const {
    auto t = Texts();
    return t.empty() ? "" : t.back();
  }
  WalkGame& w;
  size_t mark;
};

void GiveItems(SGameCore& core, const char* type, i32 n) {
  SItemType* t = core.world.items.FindType(type);
  ASSERT_NE(t, nullptr) << type;
  core.player.AddItems(t, n);
}

void ClearQueue(SStateGame& s) { s.events.DeleteAll(); }

TEST(EventActions, RestRefusalsComeInRuleOrderAndEightHoursRestoreThePlayer) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  SStateGame& s = w.state();
  SPlayer& p = w.core().player;
  SMapArea* map = s.window.CurrentArea();
  ASSERT_TRUE(w.Settle());
  ClearQueue(s);
  p.inventory.DeleteAllItems();
  p.race = 2;
  p.AddEffect(kSourceItem, nullptr, 4, 0, kPoisonKind, 0, nullptr);
  struct Case {
    bool forbidden, poisoned, fed;
    const char* text;
  } cases[] = {
      {true, true, false, "You cannot rest here."},
      {false, true, true, "You're poisoned - resting would be lethal."},
      {false, false, false, "You need food and water to rest.\rRotten food and contaminated water don't apply."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    map->flags = u16(c.forbidden ? map->flags | 16 : map->flags & ~16);
    if (!c.poisoned) p.CureEffect(kPoisonKind);
    ClearQueue(s);
    Messages m(w);
    s.Rest();
    EXPECT_EQ(m.Last(), c.text);
    ClearQueue(s);
  }
  p.race = 1;
  Messages undead(w);
  s.Rest();
  EXPECT_EQ(
      undead.Last(),
      "You need food and water to rest.\rAs an undead, you can eat rotten food and drink even contaminated water.");
  ClearQueue(s);

  // Fed and dry in a cellar: the prompt, then eight hours, food and water eaten, hit points and mana back.
  p.race = 2;
  GiveItems(w.core(), "base_food_bread", 1);
  GiveItems(w.core(), "base_food_water", 1);
  p.hp = 1;
  p.mana = 0;
  const u32 before = s.window.minutes;
  s.Rest();
  ASSERT_EQ(w.game.eventKinds(), std::vector<u32>{kEventRestPrompt});
  ASSERT_TRUE(w.Choose(SStateGame::kQuestion, "Yes"));
  ASSERT_TRUE(w.game.waitUntil(GameHarness::subModeIs(SStateGame::kResting), 10));
  EXPECT_EQ(s.window.minutes - before, 8u * 60);
  EXPECT_FALSE(p.HasFoodAndWater());
  EXPECT_EQ(i32(p.hp), std::max(1, p.GetAttribute(3) * 4));
  EXPECT_EQ(i32(p.mana), p.GetMaxMana());
  EXPECT_EQ(s.rest.rained, 0u);
}

TEST(EventActions, RainOnAJoinedMapWakesTheSleeperWithHalfOfWhatIsMissing) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0));
  SStateGame& s = w.state();
  SPlayer& p = w.core().player;
  p.inventory.DeleteAllItems();
  GiveItems(w.core(), "base_food_bread", 1);
  GiveItems(w.core(), "base_food_water", 1);
  p.hp = 0;
  p.mana = 0;
  s.rainIntensity = 500;
  s.RestAfterYes();
  // The rain of the eight hours is drawn anew; the test looks at what the rule gave.
  if (s.rainIntensity) {
    EXPECT_EQ(s.rest.rained, 1u);
    EXPECT_EQ(i32(p.hp), p.GetMaxHp() / 2);
    EXPECT_EQ(i32(p.mana), (p.GetAttribute(4) * 5) / 2);
  } else {
    EXPECT_EQ(s.rest.rained, 0u);
  }
}

// Renames a position so that the prison rules find it.
void NamePosition(SGameCore& core, const char* from, const char* to) {
  SMapArea* holder = nullptr;
  SMapObjectInst* o = core.world.modules.current->FindObjectByName(from, holder);
  ASSERT_NE(o, nullptr) << from;
  o->name.Set(to);  // a literal: the name borrows it
}

struct PrisonCase {
  u32 crime, days, losses;
};

TEST(EventActions, APrisonSentenceCostsDaysAndPointsByCrime) {
  for (const PrisonCase& c : {PrisonCase{5, 1, 1}, PrisonCase{200, 20, 3}, PrisonCase{0, 1, 1}}) {
    SCOPED_TRACE(c.crime);
    WalkGame w;
    ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
    SStateGame& s = w.state();
    SPlayer& p = w.core().player;
    NamePosition(w.core(), "base_pos_cellar", "base_dungeon1_jailentry");
    NamePosition(w.core(), "base_pos_deep", "base_dungeon1exit");
    p.race = 2;
    for (u32 a = 1; a <= 5; ++a) p.attributes[a] = 30;
    for (u32 k = 1; k <= kPlayerSkills; ++k) p.skills[k] = 10;
    p.crime = c.crime;
    Messages m(w);
    s.SendToJail("");
    EXPECT_TRUE(m.Texts().empty());  // the map's own prison: nothing said
    EXPECT_EQ(s.imprisoned, 1u);
    EXPECT_EQ(s.prisonMap.CStr(), std::string("base_dungeon1"));
    ASSERT_TRUE(w.Settle());
    const u32 begin = s.window.minutes;
    for (u32 i = 0; i < 10; ++i) s.PassMinute();
    EXPECT_EQ(s.imprisoned, 0u);
    EXPECT_EQ(s.window.minutes - begin, 10u + c.days * 24 * 60);
    u32 attributesLost = 0, skillsLost = 0;
    for (u32 a = 1; a <= 5; ++a) attributesLost += 30 - p.attributes[a];
    for (u32 k = 1; k <= kPlayerSkills; ++k) skillsLost += 10 - p.skills[k];
    EXPECT_EQ(attributesLost, c.losses);
    EXPECT_EQ(skillsLost, c.losses);
    EXPECT_EQ(p.crime, 0u);
    const auto texts = m.Texts();
    ASSERT_FALSE(texts.empty());
    bool served = false, cleared = false;
    for (const std::string& t : texts) {
      served = served || (t.rfind("You have served your sentence. Your ", 0) == 0 &&
                          t.find("have been decreased.") != std::string::npos);
      cleared = cleared || t == "Your crime records have been cleared.";
    }
    EXPECT_TRUE(served);
    EXPECT_EQ(cleared, c.crime != 0);
  }
}

TEST(EventActions, ASentenceWithTooFewPointsLeftLosesWhatItCanInsteadOfHanging) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  SStateGame& s = w.state();
  SPlayer& p = w.core().player;
  p.race = 2;
  for (u32 a = 1; a <= 5; ++a) p.attributes[a] = a == 2 ? 5 : 0;
  for (u32 k = 1; k <= kPlayerSkills; ++k) p.skills[k] = k == 7 ? 3 : 0;
  p.crime = 300;  // three draws of each asked, one candidate of each
  s.prisonMap.Assign("base_nowhere");
  Messages m(w);
  s.ServeSentence();
  EXPECT_EQ(p.attributes[2], 4);
  EXPECT_EQ(p.skills[7], 2);
  ASSERT_FALSE(m.Texts().empty());
  EXPECT_NE(m.Texts().front().find("have been decreased."), std::string::npos);
}

TEST(EventActions, ThePrisonOfANeighbourTileOrNoneAtAll) {
  {
    // The cellars are no outdoor tile and hold no prison.
    WalkGame w;
    ASSERT_TRUE(w.Enter("base_dungeon1", 2, 2, 0));
    Messages m(w);
    w.state().SendToJail("");
    EXPECT_EQ(m.Last(), "There's no prison nearby - you're free - at least for a while.");
    EXPECT_EQ(w.state().imprisoned, 0u);
  }
  // The South Road has none of its own; the town to its north has.
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_out0102", 10, 3, 0));
  SStateGame& s = w.state();
  Messages m(w);
  s.SendToJail("");
  EXPECT_EQ(m.Last(), "You're being transported to the prison of Duskmire Town.");
  EXPECT_EQ(s.prisonMap.CStr(), std::string("base_out0101"));
  EXPECT_EQ(s.imprisoned, 1u);
}

TEST(EventActions, PotionsAndTheMagicBookRefuseAsTheRulesSay) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  SStateGame& s = w.state();
  SPlayer& p = w.core().player;
  p.inventory.DeleteAllItems();
  {
    Messages m(w);
    s.OpenPotions();
    EXPECT_EQ(m.Last(), "You don't have any potions.");
    ClearQueue(s);
  }
  GiveItems(w.core(), "base_potion_strength", 2);
  s.OpenPotions();
  EXPECT_EQ(s.subMode, SStateGame::kPotionList);
  EXPECT_EQ(s.potions.PotionCount(), 1u);  // one row for the two of a kind
  p.permanentPotionTaken = 0;
  const u16 strength = p.attributes[1];
  s.potions.list.Select(0);
  s.OnCommand(SDialogPotion::kDrinkCode);
  EXPECT_EQ(p.attributes[1], strength + 1);
  EXPECT_EQ(p.permanentPotionTaken, 1);
  EXPECT_EQ(p.CountItems("base_potion_strength"), 1u);
  EXPECT_TRUE(w.Played("bsnd_drink"));
  s.OpenPotions();
  Messages m(w);
  s.potions.list.Select(0);
  s.OnCommand(SDialogPotion::kDrinkCode);
  EXPECT_EQ(m.Last(), "You cannot drink more potions with permanent effects until your level advances.");
  EXPECT_EQ(p.CountItems("base_potion_strength"), 1u);
  ClearQueue(s);

  SMapArea* map = s.window.CurrentArea();
  map->flags |= 2;
  Messages book(w);
  s.OpenMagicBook();
  EXPECT_EQ(book.Last(), "Magic is forbidden on this map.");
  ClearQueue(s);
  map->flags &= ~2;
  p.AddEffect(kSourceSpell, nullptr, 0, 10, 39, 0, nullptr);  // magic immunity
  s.OpenMagicBook();
  EXPECT_EQ(book.Last(), "You have active magic immunity effect.");
  ClearQueue(s);
  p.CureEffect(39);
  s.OpenMagicBook();
  EXPECT_EQ(s.subMode, SStateGame::kSpellbook);
  EXPECT_TRUE(w.Played("bsnd_bookopen"));
}

TEST(EventActions, DisarmingAgainstTheTrapsDifficultyAndTheTrapsSpells) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_dungeon1", 5, 6, 180));
  SStateGame& s = w.state();
  SPlayer& p = w.core().player;
  SMapObjectInst inst;
  SMapCell cell;
  s.trappedInst = &inst;
  s.trappedCell = &cell;
  s.trappedType = nullptr;
  // Skill 0 against difficulty 0 always fails (0 is not more than 0): the trap of kind 0 casts nothing.
  p.skills[19] = 0;
  inst.packed = 0;
  cell.cellFlags = 0;
  for (int i = 0; i < 5; ++i) {
    w.MarkSounds();
    s.DisarmTrap();
    EXPECT_TRUE(w.Played("bsnd_lockdisarmtry"));
  }
  // A high skill disarms: the words, the sound, the trap cleared and the practice counted.
  p.skills[19] = 100;
  p.practice[19] = 254;
  inst.packed = i16(3 << 10);
  cell.cellFlags = 1 << 4;
  Messages m(w);
  s.DisarmTrap();
  EXPECT_EQ(m.Last(), "You have disarmed the object.");
  EXPECT_EQ((u16(inst.packed) >> 10) & 15, 0);
  EXPECT_EQ(p.practice[19], 255);
  s.DisarmTrap();
  EXPECT_EQ(p.practice[19], 255);
  ClearQueue(s);
  // Each kind casts its spell at the player at d x 10, lightning at d x 5: difficulty 4 makes a fireball of
  // level 40 (20 + 40 x 40 / 100 = 36) and a lightning bolt of level 20 (25 + 30 x 20 / 100 = 31).
  for (const auto& [kind, damage] : {std::pair{1u, 36}, std::pair{2u, 31}, std::pair{0u, 0}}) {
    SCOPED_TRACE(kind);
    inst.packed = i16(4 << 10);
    cell.cellFlags = u8(kind << 4);
    p.ClearEffects();
    p.hp = 500;
    s.TriggerTrap();
    EXPECT_EQ(500 - i32(p.hp), damage);
  }
  s.trappedInst = nullptr;
  s.trappedCell = nullptr;
}

TEST(EventActions, ServicesKeepTheirHoursAndAnswerNothingWithoutOffers) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0));
  SStateGame& s = w.state();
  SNpc* inn = w.core().world.rules.people.FindByName("base_innkeeper");
  ASSERT_NE(inn, nullptr);
  ASSERT_NE(inn->texts[3], nullptr);
  EXPECT_STREQ(inn->texts[3], "base_inn");  // the interior is the person's fourth text, the welcome the fifth
  EXPECT_STREQ(inn->texts[4], "A room for the night?");
  struct Case {
    u32 hour;
    u8 hours;
    const char* text;
  } cases[] = {{22, 1, "It's closed in the night-time."}, {12, 2, "It's closed in the day-time."}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    s.window.minutes = c.hour * 60;
    inn->flag1 = c.hours;
    Messages m(w);
    EXPECT_EQ(s.EnterService(nullptr, "base_innkeeper", nullptr, false), 0u);
    EXPECT_EQ(m.Last(), c.text);
    ClearQueue(s);
  }
  inn->flag1 = 3;
  s.window.minutes = 22 * 60;
  EXPECT_EQ(s.EnterService(nullptr, "base_innkeeper", nullptr, false), 1u);
  EXPECT_EQ(w.game.eventKinds(), std::vector<u32>{kEventService});
  ClearQueue(s);
  Messages m(w);
  EXPECT_EQ(s.EnterService(nullptr, "base_nobody", nullptr, false), 0u);
  EXPECT_EQ(m.Last(), "No answer");
}

}  // namespace

namespace {

TEST(EventActions, ASceneEventSwitchesToTheSceneStateAndAnUnknownOneStays) {
  WalkGame w;
  ASSERT_TRUE(w.Enter("base_out0101", 17, 17, 0));
  SStateGame& s = w.state();
  EXPECT_EQ(s.PlayScene("bres_nosuchscene"), 0u);
  ASSERT_TRUE(w.Settle());
  s.QueueScene("bres_intro");
  w.game.frame();
  EXPECT_EQ(w.game.state(), kStateScene);
  EXPECT_EQ(s.params[0], 1u);
  EXPECT_NE(s.params[1], 0u);
}

}  // namespace
