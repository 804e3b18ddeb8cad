// Status changes against their exact reports: experience and levels, hp and mana, attributes and skills,
// money, fame, crime, diseases, abilities, quests, spells, curses, equipment and inventory, and the game
// events the scripts ask for.
#include "PlayerFixture.h"

#include <functional>
#include <limits>

namespace {
class PlayerChanges : public PlayerTest {
 protected:
  PlayerChanges() {
    player.race = 2;
    for (u32 a = 1; a <= 5; ++a) player.attributes[a] = 15;  // max hp 60, max mana 75
    for (u32 s = 1; s <= kPlayerSkills; ++s) player.skills[s] = 10;
    potion = Type({"base_potion", "Healing", 8, 1, 1000, 30});
    Disease("base_warts", "Warts", {Effect(2, -3, 3, 5)});
    Ability("base_eyes", "Night eyes", {Effect(1, 5, 3, 20)});
    Quest("base_cellar", "Clear the cellar");
    Spell("base_heal", "Heal", 1);
    Spell("base_drain", "Drain", 5);
  }
  SItemType* potion = nullptr;
};

const std::string kCoin(1, '\t');
}  // namespace

TEST_F(PlayerChanges, ReportsOfEveryChange) {
  struct Case {
    const char* what;
    std::function<void()> act;
    std::vector<std::string> shown;  // one text per message box; reports in a row share one
    std::function<bool()> holds;
  };
  const Case cases[] = {
      {"xp lost",
       [&] { player.xp = 30, player.ChangeXp(-50, true); },
       {"You have lost 50 xp."},
       [&] { return player.xp == 0; }},
      {"xp received",
       [&] { player.xp = 0, player.ChangeXp(120, true); },
       {"You have received 120 xp."},
       [&] { return player.xp == 120; }},
      {"xp silent", [&] { player.xp = 0, player.ChangeXp(120, false); }, {}, [&] { return player.xp == 120; }},
      {"xp lost, restorable",
       [&] { player.xp = 200, player.restorableXp = 5, player.LoseXp(500, true); },
       {"You have lost 200 xp.\rIt can be restored somehow."},
       [&] { return player.xp == 0 && player.restorableXp == 205 && player.peakXp == 200; }},
      {"xp lost for good",
       [&] { player.xp = 200, player.restorableXp = 0, player.LoseXp(50, false); },
       {"You have lost 50 xp."},
       [&] { return player.xp == 150 && player.restorableXp == 0; }},
      {"no xp lost", [&] { player.LoseXp(0, true), player.LoseXp(-9, true); }, {}, nullptr},
      {"nothing to restore",
       [&] { player.restorableXp = 0, player.RestoreLostXp(); },
       {"You don't have xp to be restored."},
       nullptr},
      {"xp restored",
       [&] { player.xp = 10, player.restorableXp = 200, player.RestoreLostXp(); },
       {"200 xp has been restored."},
       [&] { return player.xp == 210 && player.restorableXp == 0; }},
      {"hp clamped at 0",
       [&] { player.hp = 12, player.ChangeHp(-30, true); },
       {"Your hp has been decreased by 12."},
       [&] { return player.hp == 0; }},
      {"hp clamped at the maximum",
       [&] { player.hp = 55, player.ChangeHp(20, true); },
       {"Your hp has been increased by 5."},
       [&] { return player.hp == 60; }},
      {"hp at the maximum", [&] { player.hp = 60, player.ChangeHp(20, true); }, {}, [&] { return player.hp == 60; }},
      {"hp above the maximum", [&] { player.hp = 90, player.ChangeHp(20, true); }, {}, [&] { return player.hp == 90; }},
      {"mana",
       [&] { player.mana = 30, player.ChangeMana(-5, true); },
       {"Your mana has been decreased by 5."},
       [&] { return player.mana == 25; }},
      {"mana raised",
       [&] { player.mana = 70, player.ChangeMana(9, true); },
       {"Your mana has been increased by 5."},
       [&] { return player.mana == 75; }},
      {"hp set",
       [&] { player.SetHp(33, true), player.SetMana(7, true); },
       {"Your hp is 33.\rYour mana is 7."},
       [&] { return player.hp == 33 && player.mana == 7; }},
      {"full",
       [&] { player.hp = 1, player.mana = 1, player.RestoreFullHp(true), player.RestoreFullMana(true); },
       {"Your full health has been restored.\rYour full mana has been restored."},
       [&] { return player.hp == 60 && player.mana == 75; }},
      {"attribute down to 1",
       [&] { player.attributes[1] = 3, player.ChangeAttribute(1, -5, true); },
       {"Your Strength has been decreased by 2."},
       [&] { return player.attributes[1] == 1; }},
      {"attribute up by 10 at most",
       [&] { player.attributes[1] = 3, player.ChangeAttribute(1, 25, true); },
       {"Your Strength has been increased by 10."},
       [&] { return player.attributes[1] == 13; }},
      {"attribute unchanged",
       [&] { player.attributes[1] = 1, player.ChangeAttribute(1, -3, true); },
       {},
       [&] { return player.attributes[1] == 1; }},
      {"attribute by key",
       [&] { player.ChangeAttributeByKey("dex", 2), player.ChangeAttributeByKey("luck", 2); },
       {"Your Dexterity has been increased by 2."},
       [&] { return player.attributes[2] == 17; }},
      {"skill",
       [&] { player.ChangeSkill(3, 5, true); },
       {"Your Heavy Weapon skill has been increased by 5."},
       [&] { return player.skills[3] == 15; }},
      {"skill never below 0",
       [&] { player.ChangeSkill(3, -100, true); },
       {"Your Heavy Weapon skill has been decreased by 15."},
       [&] { return player.skills[3] == 0; }},
      {"skill never past its field",
       [&] { player.skills[3] = 65000, player.ChangeSkill(3, 1000, false); },
       {},
       [&] { return player.skills[3] == 65535; }},
      {"skill the race lacks", [&] { player.ChangeSkill(12, 5, true); }, {}, [&] { return player.skills[12] == 10; }},
      {"skill by name",
       [&] { player.ChangeSkillByName("alchemy", 1), player.ChangeSkillByName("base_x", 1); },
       {"Your Alchemy skill has been increased by 1."},
       [&] { return player.skills[16] == 11; }},
      {"money received",
       [&] { player.money = 0, player.GainMoney(50, true, false); },
       {"You have received 50" + kCoin + "."},
       [&] { return player.money == 50; }},
      {"money found, capped",
       [&] { player.money = 999999990, player.GainMoney(50, true, true); },
       {"You have found 50" + kCoin + "."},
       [&] { return player.money == kMoneyCap; }},
      {"no money from a negative sum",
       [&] { player.money = 70, player.GainMoney(-100, true, false); },
       {},
       [&] { return player.money == 70; }},
      {"money lost",
       [&] { player.money = 200, player.LoseMoney(500, true); },
       {"You have lost 500" + kCoin + "."},
       [&] { return player.money == 0; }},
      {"fame",
       [&] { player.fame = 990, player.ChangeFame(30); },
       {"Your fame has been increased."},
       [&] { return player.fame == 1000; }},
      {"fame lost",
       [&] { player.fame = 0, player.ChangeFame(-5000); },
       {"Your fame has been decreased."},
       [&] { return player.fame == -1000; }},
      {"crime cleared",
       [&] { player.crime = 200, player.ChangeCrime(-300); },
       {"Your crime records have been cleared."},
       [&] { return player.crime == 0; }},
      {"crime lessened",
       [&] { player.crime = 50, player.ChangeCrime(-10); },
       {"Your criminal status has lessened."},
       [&] { return player.crime == 40; }},
      {"crime",
       [&] { player.crime = 10, player.ChangeCrime(2000); },
       {"You have committed a crime."},
       [&] { return player.crime == 1000; }},
      {"clear crime",
       [&] { player.crime = 0, player.ClearCrime(), player.crime = 5, player.ClearCrime(); },
       {"Your crime records have been cleared."},
       [&] { return player.crime == 0; }},
      {"infected",
       [&] { player.Infect("base_warts"), player.Infect("base_warts"), player.Infect("base_pox"); },
       {"You have been infected by Warts."},
       [&] { return player.GetAttribute(5) == 12; }},
      {"cured",
       [&] { player.CureDisease("base_warts"), player.CureDisease("base_warts"); },
       {"You have been cured of Warts."},
       [&] { return player.GetAttribute(5) == 15; }},
      {"ability",
       [&] { player.AddAbility("base_eyes", true), player.AddAbility("base_eyes", true); },
       {"You have gained the Night eyes ability."},
       [&] { return player.GetSkill(20) == 15; }},
      {"ability lost",
       [&] { player.RemoveAbility("base_eyes"), player.RemoveAbility("base_eyes"); },
       {"You have lost the Night eyes ability."},
       [&] { return player.GetSkill(20) == 10; }},
      {"ability, silent",
       [&] { player.AddAbility("base_eyes", false), player.RemoveAbility("base_none"); },
       {},
       [&] { return player.HasAbility("base_eyes"); }},
      {"quest",
       [&] { player.AddQuest("base_cellar"), player.AddQuest("base_cellar"), player.AddQuest("base_x"); },
       {"You have a new quest: Clear the cellar."},
       [&] { return player.quests.Count() == 1; }},
      {"quest solved",
       [&] { player.EndQuest("base_cellar", true), player.EndQuest("base_x", true); },
       {"The Clear the cellar quest has been solved."},
       [&] { return player.IsQuestSolved("base_cellar"); }},
      {"quest failed",
       [&] { player.EndQuest("base_cellar", false); },
       {"The Clear the cellar quest has failed."},
       [&] { return player.IsQuestFailed("base_cellar") && !player.IsQuestSolved("base_cellar"); }},
      {"quest removed",
       [&] { player.RemoveQuest("base_cellar"), player.RemoveQuest("base_cellar"); },
       {"The Clear the cellar quest has been removed."},
       [&] { return !player.HasQuest("base_cellar"); }},
      {"spell refused",
       [&] { player.LearnSpell("base_drain", true), player.LearnSpell("base_drain", false); },
       {"You can't learn the Drain spell."},
       [&] { return !player.KnowsSpell("base_drain"); }},
      {"spell learnt",
       [&] { player.LearnSpell("base_heal", true), player.LearnSpell("base_heal", true); },
       {"You have received the Heal knowledge."},
       [&] { return player.KnowsSpell("base_heal"); }},
      {"spell forgotten",
       [&] { player.ForgetSpell("base_heal"), player.ForgetSpell("base_heal"); },
       {"You have lost the Heal knowledge."},
       [&] { return !player.KnowsSpell("base_heal"); }},
      {"items lost",
       [&] {
         player.AddItems(potion, 3);
         player.LoseItems("base_potion", 4);
         player.LoseItems("base_potion", 2);
       },
       {"You have lost 2 potions of Healing."},
       [&] { return player.CountItems("base_potion") == 1; }},
      {"one item lost",
       [&] { player.LoseItems("base_potion", 1), player.LoseItems("base_potion", 0); },
       {"You have lost a potion of Healing."},
       [&] { return player.inventory.GetItemCount() == 0; }},
  };
  for (const Case& c : cases) {
    c.act();
    EXPECT_EQ(TakeMessages(), c.shown) << c.what;
    if (c.holds) {
      EXPECT_TRUE(c.holds()) << c.what;
    }
  }
  // Reports go to the script output's message without buttons; queued ones are boxes with Ok.
  player.ChangeFame(1);
  player.AddEffect(kSourceCondition, nullptr, 1, 5, 26, 0, nullptr);
  player.ChangeFame(1);
  ASSERT_EQ(state.events.Count(), 2);
  EXPECT_EQ(state.events[0]->buttons, 0u);
  EXPECT_EQ(state.events[1]->buttons, 1u);
  EXPECT_STREQ(state.events[1]->textA.CStr(), "You're poisoned!\rYour fame has been increased.");
}

TEST_F(PlayerChanges, ExperienceExtremesSaturate) {
  player.level = kMaxLevel;
  player.nextLevelXp = std::numeric_limits<u32>::max();
  player.xp = 0xFFFFFF00u;
  player.ChangeXp(std::numeric_limits<i32>::max(), false);
  EXPECT_EQ(player.xp, 0xFFFFFFFFu);
  player.ChangeXp(std::numeric_limits<i32>::min(), true);
  EXPECT_EQ(player.xp, 0xFFFFFFFFu - 0x80000000u);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{"You have lost 2147483648 xp."});
  player.xp = 5;
  player.ChangeXp(std::numeric_limits<i32>::min(), false);
  EXPECT_EQ(player.xp, 0u);
}

TEST_F(PlayerChanges, LevelsGainedLostAndRegained) {
  // Practised skills below twice their attribute: 7 (most), then 3 and 9 (equal: the lower first), 4.
  player.practice[7] = 9;
  player.practice[3] = 5;
  player.practice[9] = 5;
  player.practice[4] = 2;
  player.practice[12] = 50;  // the race lacks it
  player.practice[5] = 40;
  player.skills[5] = 30;  // not below twice dexterity 15
  player.attributeAllowance[2] = 252;
  player.attributeAllowance[3] = 253;
  player.skillAllowance[1] = 254;
  player.skillAllowance[12] = 7;
  player.permanentPotionTaken = 1;
  player.ChangeXp(1500, false);  // levels 2, 3 and 4 at once
  EXPECT_EQ(player.level, 4);
  EXPECT_EQ(player.nextLevelXp, 2500u);
  EXPECT_EQ(player.attributePoints, 15);
  EXPECT_EQ(player.skillPoints, 30);
  EXPECT_EQ(player.attributeAllowance[1], 6);
  EXPECT_EQ(player.attributeAllowance[2], 254);  // raised while below 253
  EXPECT_EQ(player.attributeAllowance[3], 253);
  EXPECT_EQ(player.skillAllowance[1], 254);
  EXPECT_EQ(player.skillAllowance[2], 6);
  EXPECT_EQ(player.skillAllowance[12], 0);
  EXPECT_EQ(player.permanentPotionTaken, 0);
  // Round one raises 7, 3, 9; round two 4; round three nothing more is practised.
  EXPECT_EQ(player.skills[7], 11);
  EXPECT_EQ(player.skills[3], 11);
  EXPECT_EQ(player.skills[9], 11);
  EXPECT_EQ(player.skills[4], 11);
  EXPECT_EQ(player.skills[5], 30);
  EXPECT_EQ(player.skills[12], 10);
  EXPECT_EQ(player.practice[7] + player.practice[3] + player.practice[9] + player.practice[4], 0);
  EXPECT_EQ(player.practice[5], 40);
  EXPECT_EQ(TakeEvents(),
            (std::vector<Shown>{{kEventMessage,
                                 "You have reached level 4.\r--------------\rYour Accuracy, Heavy Weapon, Protection "
                                 "Magic and Dual Wield skills have been increased.\rYou can spend the available points "
                                 "on your attributes and skills, check your status screen.",
                                 "bsnd_newlevel"}}));

  // Losing experience below the level costs one level per change.
  player.LoseXp(1000, false);  // 500 xp: level 2's range
  EXPECT_EQ(player.level, 3);
  EXPECT_EQ(player.nextLevelXp, 1500u);
  EXPECT_EQ(player.peakXp, 1500u);
  player.ChangeXp(0, false);
  EXPECT_EQ(player.level, 2);
  EXPECT_EQ(player.nextLevelXp, 900u);
  EXPECT_EQ(TakeEvents(), (std::vector<Shown>{{kEventMessage, "You have lost 1000 xp.", "bsnd_click"},
                                              {kEventMessage, "You have lost a level.", "bsnd_loselevel"},
                                              {kEventMessage, "You have lost a level.", "bsnd_loselevel"}}));
  // Regained up to the peak: no points, no skill gains, no message.
  player.practice[10] = 3;
  player.ChangeXp(1000, false);
  EXPECT_EQ(player.level, 4);
  EXPECT_EQ(player.attributePoints, 15);
  EXPECT_EQ(player.skills[10], 10);
  EXPECT_TRUE(TakeEvents().empty());
  // Past the peak the next level is a new one.
  player.ChangeXp(1000, false);
  EXPECT_EQ(player.level, 5);
  EXPECT_EQ(player.attributePoints, 20);
  EXPECT_EQ(player.skills[10], 11);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{"You have reached level 5.\r--------------\rYour Attack Magic "
                                                     "skill has been increased.\rYou can spend the available points "
                                                     "on your attributes and skills, check your status screen."});
}

TEST_F(PlayerChanges, LevelNinetyNineIsTheLast) {
  player.ChangeXp(std::numeric_limits<i32>::max(), false);
  EXPECT_EQ(player.level, kMaxLevel);
  EXPECT_EQ(player.nextLevelXp, std::numeric_limits<u32>::max());
  EXPECT_EQ(player.attributePoints, 5 * 98);
  EXPECT_EQ(TakeMessages().size(), 1u);
  // Experience at the very top raises nothing further and says nothing.
  player.ChangeXp(std::numeric_limits<i32>::max(), false);
  player.ChangeXp(std::numeric_limits<i32>::max(), false);
  EXPECT_EQ(player.xp, std::numeric_limits<u32>::max());
  EXPECT_EQ(player.level, kMaxLevel);
  EXPECT_EQ(player.attributePoints, 5 * 98);
  EXPECT_TRUE(TakeEvents().empty());
  // Down from the top, one level per change.
  player.xp = player.xpTable[kMaxLevel] - 1;
  player.CheckLevelChange();
  EXPECT_EQ(player.level, 98);
  EXPECT_EQ(player.nextLevelXp, player.xpTable[kMaxLevel]);
  // A level past the table (damaged data) is never read beyond it.
  player.level = 200;
  player.xp = 1000;
  player.CheckLevelChange();
  EXPECT_EQ(player.level, 199);
  EXPECT_EQ(player.nextLevelXp, std::numeric_limits<u32>::max());
}

TEST_F(PlayerChanges, DrainInfectionCurseAndDamage) {
  // Magic resistance 7 (intellect 15): a roll of 7 or less resists.
  player.level = 7;
  player.nextLevelXp = 11000;
  player.xp = 10000;
  for (int i = 0; i < 30; ++i) {
    const u32 before = player.xp;
    const bool drained = mirror.Next(100) > 7;
    player.DrainXp();
    const u32 loss = before / 100 - (before / 100) * 7 / 100;
    EXPECT_EQ(player.xp, drained ? before - loss : before) << i;
  }
  EXPECT_EQ(player.restorableXp, 10000u - player.xp);
  std::vector<std::string> shown = TakeMessages();
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown[0].substr(0, 14), "You have lost ");

  // Infection must beat both the general and the named resistance (7 each at endurance 15).
  for (int i = 0; i < 10 && !player.HasDisease("base_warts"); ++i) {
    const bool infected = mirror.Next(100) > 7;
    player.TryInfect("base_warts");
    EXPECT_EQ(player.HasDisease("base_warts"), infected);
  }
  player.TryInfect("base_pox");  // no such disease: no roll
  EXPECT_EQ(core.random->Next(1000), mirror.Next(1000));

  // A curse: a new condition entry of strength 0, then lengthened, never wrapped in its byte. A magic
  // resistance of -1 lets every roll through.
  player.AddEffect(kSourceEquipment, nullptr, -8, 0, 22, 0, nullptr);
  mirror.Next(100);
  player.TryCurse(10);
  ASSERT_EQ(player.effects[22].Count(), 1);
  SPlayerEffect* curse = player.effects[22][0];
  EXPECT_EQ(curse->duration, 10 + 1);
  EXPECT_EQ(curse->sourceType, kSourceCondition);
  EXPECT_EQ(curse->strength, 0);
  EXPECT_TRUE(player.IsCursed());
  mirror.Next(100);
  player.TryCurse(5000);
  EXPECT_EQ(player.effects[22].Count(), 1);
  EXPECT_EQ(curse->duration, 255);
  mirror.Next(100);
  player.TryCurse(5);  // shorter: unchanged
  EXPECT_EQ(curse->duration, 255);
  curse->strength = -4;
  mirror.Next(100);
  player.TryCurse(5);
  EXPECT_EQ(curse->strength, 0);
  EXPECT_EQ(curse->duration, 5 + 1);
  player.TryCurse(0);  // nothing to curse with: no entry change, no roll
  EXPECT_EQ(core.random->Next(1000), mirror.Next(1000));
  EXPECT_EQ(player.effects[22].Count(), 1);
  player.RemoveEffectsFromSource(kSourceEquipment);
  TakeEvents();

  // Poison never kills nor heals; a hit goes to the hit indicator.
  player.hp = 5;
  player.AddEffect(kSourceCondition, nullptr, 12, 0, 26, 0, nullptr);
  player.ApplyPoisonDamage();
  EXPECT_EQ(player.hp, 1);
  player.hp = 40;
  player.ApplyPoisonDamage();
  EXPECT_EQ(player.hp, 28);
  player.effects[23][0]->strength = -9;
  player.ApplyPoisonDamage();
  EXPECT_EQ(player.hp, 28);
  player.TakeHit(30, 2);
  EXPECT_EQ(player.hp, 0);
  ASSERT_EQ(state.actions.Count(), 3);
  EXPECT_EQ(state.actions[0]->isDamage, 1);
  EXPECT_EQ(state.actions[0]->damage, 12u);
  EXPECT_EQ(state.actions[2]->isDamage, 0);
  EXPECT_EQ(state.actions[2]->damage, 30u);
  EXPECT_EQ(state.actions[2]->direction, 2);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{"You're poisoned!"});

  // Magic damage is reduced by the resistance and lands only past a roll.
  player.hp = 50;
  player.mana = 50;
  for (int i = 0; i < 10; ++i) {
    const bool lands = mirror.Next(100) > 7;
    const u16 before = player.hp;
    EXPECT_EQ(player.TakeMagicDamage(20), 20 - 20 * 7 / 100);
    EXPECT_EQ(player.hp, lands ? std::max(0, before - 19) : before);
  }
  EXPECT_EQ(player.TakeMagicManaDamage(0), 0);
}

TEST_F(PlayerChanges, RaisingAndPractice) {
  for (u32 i = 0; i < 6; ++i) player.majorSkills[i] = u8(i + 1);
  player.attributePoints = 5;
  player.attributeAllowance[2] = 2;
  player.skillPoints = 10;
  player.skillAllowance[3] = 2;
  player.skillAllowance[9] = 2;
  EXPECT_EQ(player.RaiseAttribute(2), 1u);
  EXPECT_EQ(player.attributes[2], 16);
  EXPECT_EQ(player.attributePoints, 4);
  EXPECT_EQ(player.attributeAllowance[2], 1);
  EXPECT_EQ(player.RaiseSkill(3), 1u);  // a major skill
  EXPECT_EQ(player.RaiseSkill(9), 2u);
  EXPECT_EQ(player.skillPoints, 7);
  EXPECT_EQ(player.skills[9], 11);
  EXPECT_EQ(player.skillAllowance[9], 1);
  EXPECT_EQ(player.RaiseAttribute(6), 0u);

  player.practice[2] = 254;
  player.PracticeSkill(2);
  player.PracticeSkill(2);
  EXPECT_EQ(player.practice[2], 255);
  player.PracticeSkill(12);  // the race lacks it
  player.PracticeSkill(21);
  EXPECT_EQ(player.practice[12], 0);
  player.practice[2] = 0;

  // Weapons practise their governing skills; two weapons also dual wielding.
  SItemType* sword = Type({"base_sword", "Sword", 1, 1});
  sword->flags = 2;  // light
  SItemType* axe = Type({"base_axe", "Axe", 1, 4});
  SItemType* bow = Type({"base_bow", "Bow", 1, 9});
  bow->flags = 2;
  SItem* main = Carry(sword, true);
  SItem* second = Carry(axe, true, true);
  player.PracticeWeaponSkills();
  EXPECT_EQ(player.practice[2], 1);
  EXPECT_EQ(player.practice[3], 1);
  EXPECT_EQ(player.practice[4], 1);
  player.UnequipItem(main);
  Carry(bow, true);
  player.PracticeWeaponSkills();  // a bow: the second hand is not practised
  EXPECT_EQ(player.practice[2], 2);
  EXPECT_EQ(player.practice[7], 1);
  EXPECT_EQ(player.practice[3], 1);
  EXPECT_EQ(player.practice[4], 2);
  player.UnequipItem(player.GetMainWeapon());
  player.PracticeWeaponSkills();  // the second weapon alone
  EXPECT_EQ(player.practice[3], 2);
  EXPECT_EQ(player.practice[4], 2);
  EXPECT_EQ(player.Equipped(6), second);
}

TEST_F(PlayerChanges, EquipmentSlotsByClassAndSubtype) {
  const struct {
    u8 itemClass, subtype;
    bool second;
    u32 slot;
  } cases[] = {
      {2, 4, false, 1},  {3, 7, false, 2},  {4, 1, false, 3},  {4, 3, true, 3},   {2, 3, false, 4},
      {1, 1, false, 5},  {1, 8, false, 5},  {1, 1, true, 6},   {3, 1, false, 6},  {2, 8, false, 7},
      {4, 2, false, 8},  {4, 2, true, 9},   {3, 2, false, 10}, {2, 6, false, 11}, {1, 11, false, 12},
      {1, 13, true, 12}, {3, 5, false, 13}, {2, 9, false, 0},  {8, 1, false, 0},  {14, 1, false, 0},
  };
  for (const auto& c : cases) {
    SItemType* t = Type({"base_thing", "Thing", c.itemClass, c.subtype});
    SItem* item = Carry(t, true, c.second);
    EXPECT_EQ(player.EquipmentSlotOf(item), c.slot) << int(c.itemClass) << "/" << int(c.subtype);
    player.UnequipAndRemoveItem(item);
    EXPECT_FALSE(player.IsEquipped(item));
    EXPECT_EQ(player.inventory.GetItemCount(), 0);
    delete item;
  }
  // An empty stack leaves its slot and the inventory; a counted one stays.
  SItemType* knives = Type({"base_knives", "Knives", 1, 8});
  SItem* stack = Carry(knives, true);
  player.DiscardEmptyItem(stack);
  EXPECT_EQ(player.GetMainWeapon(), stack);
  stack->count = 0;
  player.DiscardEmptyItem(stack);
  EXPECT_EQ(player.GetMainWeapon(), nullptr);
  EXPECT_EQ(player.inventory.GetItemCount(), 0);
}

TEST_F(PlayerChanges, ItemsArriveAndGo) {
  SItemType* quiver = Type({"base_quiver", "Arrows", 1, 11, 1});
  SItemType* sword = Type({"base_sword", "Sword", 1, 1, 1200});
  SItemType* mail = Type({"base_mail", "Mail", 2, 3, 2000});
  SItemType* mortar = Type({"base_mortar", "Mortar", 6, 1, 500});
  SItemType* key = Type({"base_key", "Key", 11, 1, 1});
  SItemType* hammer = Type({"base_hammer", "Hammer", 12, 1, 200});
  SItemType* wand = Type({"base_wand", "Lightning", 9, 4});
  wand->enchantment = Enchant({Effect(0, 12, 2, 0, "base_spellbolt")});
  SItemType* emptyWand = Type({"base_emptywand", "Nothing", 9, 4});
  SItemType* candle = Type({"base_candle", "Candle", 13, 1});
  SItemType* coins = Type({"base_coins", "Gold coins", 10, 1, 1000, 0, 0, 0, 0, 0, 0, 100});
  // Missiles 10 to 19 each, drawn from the game's generator.
  SItem* last = player.AddItems(quiver, 3);
  ASSERT_EQ(player.inventory.GetItemCount(), 3);
  for (i32 i = 0; i < 3; ++i) EXPECT_EQ(player.GetInventoryItem(i)->count, 10 + mirror.Next(10)) << i;
  EXPECT_EQ(last, player.GetInventoryItem(2));
  const struct {
    SItemType* type;
    u16 count;
  } counts[] = {{sword, 1200}, {mail, 2000}, {mortar, 500},  {key, 1},
                {hammer, 200}, {wand, 12},   {emptyWand, 0}, {candle, 0}};
  for (const auto& c : counts) {
    SItem* item = player.AddItems(c.type, 1);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->count, c.count) << c.type->text3;
    EXPECT_EQ(item->enchantments, nullptr);
  }
  EXPECT_EQ(player.AddItems(candle, 0), nullptr);
  EXPECT_EQ(player.AddItems(candle, -4), nullptr);
  EXPECT_EQ(player.inventory.GetItemCount(), 11);
  // Money goes to the purse, capped.
  player.money = 0;
  EXPECT_EQ(player.AddItems(coins, 3), nullptr);
  EXPECT_EQ(player.money, 300u);
  player.AddItems(coins, 2000000000);
  EXPECT_EQ(player.money, kMoneyCap);
  EXPECT_EQ(player.inventory.GetItemCount(), 11);

  // Removing walks the inventory in order, unequipping what goes.
  SItem* firstQuiver = player.GetInventoryItem(0);
  player.EquipItem(player.GetInventoryItem(1), false);
  player.RemoveItems(quiver, 2);
  EXPECT_EQ(player.CountItems("base_quiver"), 1u);
  EXPECT_EQ(player.Equipped(12), nullptr);
  EXPECT_NE(player.GetInventoryItem(0), firstQuiver);

  // Food and water: one of each that the race may use.
  SItemType* bread = Type({"base_bread", "Bread", 14, 1});
  SItemType* water = Type({"base_water", "Water", 14, 2});
  SItemType* dust = Type({"base_dust", "Dust", 14, 1, 1000, 0, 0, 0, 0, 0, 8});
  player.inventory.DeleteAllItems();
  Carry(dust);
  Carry(bread);
  Carry(bread);
  Carry(water);
  player.ConsumeFoodAndWater();
  EXPECT_EQ(player.CountItems("base_dust"), 1u);
  EXPECT_EQ(player.CountItems("base_bread"), 1u);
  EXPECT_EQ(player.CountItems("base_water"), 0u);
  player.race = 1;
  player.ConsumeFoodAndWater();
  EXPECT_EQ(player.CountItems("base_dust"), 0u);  // the first food it may eat
  EXPECT_EQ(player.CountItems("base_bread"), 1u);
}

TEST_F(PlayerChanges, GameEventsTheScriptsAskFor) {
  player.QueueCellMove(12, 30);
  player.QueueTravel("base_port", "Over the sea");
  player.QueueStepBack();
  player.QueueJail("You are arrested.");
  for (const char* d : {"north", "West", "s", "east", "Eastward", "up", ""}) player.QueueTurnTo(d);
  player.QueueTurnTo(nullptr);
  player.QueueMapTransition("BASE_cellar", "Go down?", "Ladder Down");
  player.QueueMapTransitionPlain("base_hall", "Enter?");
  player.QueueMapTransition("ext1_cave", "Leave the world?", "fall");  // another world: nothing
  player.QueueTeleport("base_tower", "teleport");
  player.QueueTeleport("base_well", "swim");
  player.QueueTeleportPlain("base_gate");
  player.QueueTeleportPlain("bas");
  player.QueueTeleportPlain(nullptr);
  const struct {
    u32 kind;
    const char* a;
    const char* b;
    u32 numberA, numberB, numberC, x, y;
  } expected[] = {
      {kEventCellMove, "", "", 0, 0, 0, 12, 30},
      {kEventTravel, "base_port", "Over the sea", 0, 0, 0, 0, 0},
      {kEventStepBack, "", "", 0, 0, 0, 0, 0},
      {kEventJail, "", "", 0, 0, 0, 0, 0},
      {kEventTurnTo, "", "", 0, 0, 0, 0, 0},
      {kEventTurnTo, "", "", 0, 0, 1, 0, 0},
      {kEventTurnTo, "", "", 0, 0, 2, 0, 0},
      {kEventTurnTo, "", "", 0, 0, 3, 0, 0},
      {kEventTurnTo, "", "", 0, 0, 3, 0, 0},
      {kEventTurnTo, "", "", 0, 0, 0, 0, 0},
      {kEventTurnTo, "", "", 0, 0, 0, 0, 0},
      {kEventTurnTo, "", "", 0, 0, 0, 0, 0},
      {kEventMapTransition, "BASE_cellar", "Go down?", 4, 0, 0, 0, 0},
      {kEventMapTransition, "base_hall", "Enter?", 0, 0, 0, 0, 0},
      {kEventTeleport, "base_tower", "", 1, 0, 0, 0, 0},
      {kEventTeleport, "base_well", "", 0, 0, 0, 0, 0},
      {kEventTeleport, "base_gate", "", 0, 0, 0, 0, 0},
  };
  ASSERT_EQ(state.events.Count(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const SGameEvent& e = *state.events[i32(i)];
    const auto& x = expected[i];
    EXPECT_EQ(e.kind, x.kind) << i;
    EXPECT_STREQ(e.textA.CStr() ? e.textA.CStr() : "", x.a) << i;
    EXPECT_STREQ(e.textB.CStr() ? e.textB.CStr() : "", x.b) << i;
    EXPECT_EQ(e.numberA, x.numberA) << i;
    EXPECT_EQ(e.numberB, x.numberB) << i;
    EXPECT_EQ(e.numberC, x.numberC) << i;
    EXPECT_EQ(e.numberD, x.x) << i;
    EXPECT_EQ(e.numberE, x.y) << i;
  }
  EXPECT_STREQ(state.events[3]->textD.CStr(), "You are arrested.");
  // Without a current world no teleport is queued.
  state.events.DeleteAll();
  core.world.modules.current = nullptr;
  player.QueueTeleportPlain("base_gate");
  player.QueueMapTransitionPlain("base_gate", "?");
  EXPECT_EQ(state.events.Count(), 0);
}

TEST_F(PlayerChanges, TheGameViewGaugesFollowEveryChangeOfHpAndMana) {
  // Maximum hp 60 and mana 75; each change starts from 30 of each with the bars showing something else.
  SSpell* cure = Spell("base_cure", "Cure", 1);
  cure->effects.Add(Effect(3, 12));
  const struct {
    const char* what;
    std::function<void(SPlayer&)> change;
    i32 hpPercent, manaPercent;
  } cases[] = {
      {"ChangeHp", [](SPlayer& p) { p.ChangeHp(15, false); }, 75, 40},
      {"ChangeHp, reported", [](SPlayer& p) { p.ChangeHp(-6, true); }, 40, 40},
      {"ChangeMana", [](SPlayer& p) { p.ChangeMana(-15, false); }, 50, 20},
      {"SetHp", [](SPlayer& p) { p.SetHp(6, true); }, 10, 40},
      {"SetMana", [](SPlayer& p) { p.SetMana(75, false); }, 50, 100},
      {"RestoreFullHp", [](SPlayer& p) { p.RestoreFullHp(false); }, 100, 40},
      {"RestoreFullMana", [](SPlayer& p) { p.RestoreFullMana(true); }, 50, 100},
      {"a healing spell", [cure](SPlayer& p) { p.ApplySpell(cure, 0, true, -1, false); }, 70, 40},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    player.hp = 30;
    player.mana = 30;
    state.hitPoints.SetPercent(3);
    state.spellPoints.SetPercent(3);
    c.change(player);
    EXPECT_EQ(player.GetHealthPercent(), c.hpPercent);
    EXPECT_EQ(player.GetManaPercent(), c.manaPercent);
    EXPECT_EQ(state.hitPoints.shown, c.hpPercent);
    EXPECT_EQ(state.spellPoints.shown, c.manaPercent);
  }
}
