// Time passing through the game state's clock, wear and breaking, the armour a blow strikes, the damage
// of the player's blows, and items arriving with their reports.
#include "PlayerFixture.h"
#include "game/SMonster.h"

#include <functional>

namespace {
class PlayerTime : public PlayerTest {
 protected:
  PlayerTime() {
    player.race = 2;
    for (u32 a = 1; a <= 5; ++a) player.attributes[a] = 15;
    for (u32 s = 1; s <= kPlayerSkills; ++s) player.skills[s] = 33;  // weapon skills leave ranges as they are
  }
};
}  // namespace

TEST_F(PlayerTime, EffectsRunOutWithTheClock) {
  int potion = 0;
  player.AddEffect(kSourceItem, &potion, 5, 3, 10, 0, nullptr);       // 3 minutes
  player.AddEffect(kSourceSpell, nullptr, 5, 0, 11, 0, nullptr);      // no time limit
  player.AddEffect(kSourceEquipment, nullptr, 5, 2, 15, 0, nullptr);  // equipment does not run out
  player.AddEffect(kSourceCondition, nullptr, 0, 1, 28, 0, nullptr);  // paralysed for a minute
  player.AddEffect(kSourceSpell, nullptr, 5, 200, 16, 0, nullptr);
  TakeEvents();
  state.PassMinute();
  EXPECT_EQ(state.GetClockMinutes(), 1u);
  EXPECT_TRUE(player.IsParalyzed());
  state.PassMinute();
  EXPECT_FALSE(player.IsParalyzed());
  EXPECT_EQ(player.SumEffects(5, 0, nullptr, nullptr), 5);
  state.PassMinute();
  state.PassMinute();
  EXPECT_EQ(player.SumEffects(5, 0, nullptr, nullptr), 0);  // stored 4: gone at the fourth minute
  player.AddEffect(kSourceItem, &potion, 5, 3, 10, 0, nullptr);
  player.TickEffects(5);  // past its duration at once
  EXPECT_TRUE(player.effects[5].IsEmpty());
  state.PassHours(2);
  EXPECT_EQ(state.GetClockMinutes(), 124u);
  EXPECT_EQ(player.effects[8][0]->duration, 201 - 4 - 5 - 120);
  state.PassTime(1, 2, 3);
  EXPECT_EQ(state.GetClockMinutes(), 124u + 1440 + 120 + 3);
  EXPECT_TRUE(player.effects[8].IsEmpty());
  EXPECT_EQ(player.SumEffects(6, 0, nullptr, nullptr), 5);
  EXPECT_EQ(player.effects[7].Count(), 1);
  EXPECT_EQ(player.effects[7][0]->duration, 3);

  // Each minute poison hurts, down to 1.
  player.hp = 10;
  player.AddEffect(kSourceCondition, nullptr, 4, 0, 26, 0, nullptr);
  state.PassMinute();
  state.PassMinute();
  state.PassMinute();
  EXPECT_EQ(player.hp, 1);
  EXPECT_EQ(state.actions.Count(), 3);
  state.PassHours(1);  // hours spent do not poison
  EXPECT_EQ(state.actions.Count(), 3);
}

TEST_F(PlayerTime, WearAndBreaking) {
  SItem* sword = Carry(Type({"base_sword", "Sword", 1, 1, 1000}), true);
  SItem* helm = Carry(Type({"base_helm", "Helm", 2, 4, 500}), true);
  SItem* odd = Carry(Type({"base_odd", "Odd club", 1, 6, 0}), true, true);
  sword->count = 150;
  player.WearWeapon(sword, 50);
  EXPECT_EQ(sword->count, 100);  // exactly 10 percent: still whole
  EXPECT_EQ(player.GetMainWeapon(), sword);
  player.WearWeapon(sword, -20);  // nothing
  EXPECT_EQ(sword->count, 100);
  EXPECT_TRUE(TakeEvents().empty());
  player.WearWeapon(sword, 1);  // 9 percent
  EXPECT_EQ(player.GetMainWeapon(), nullptr);
  EXPECT_EQ(player.CountItems("base_sword"), 1u);  // broken, still carried
  player.WearItem(helm, 5000);
  EXPECT_EQ(helm->count, 0);
  EXPECT_EQ(player.Equipped(1), nullptr);
  EXPECT_EQ(TakeEvents(), (std::vector<Shown>{{kEventMessage, "Your Sword broke!.", "bsnd_click"},
                                              {kEventMessage, "Your Helm broke!", "bsnd_click"}}));
  EXPECT_EQ(state.events.Count(), 0);
  player.WearWeapon(sword, 1);  // no longer equipped: wears, says nothing
  EXPECT_EQ(sword->count, 98);
  EXPECT_TRUE(TakeEvents().empty());
  // A type without a maximum condition has no condition: it neither wears nor breaks.
  odd->count = 50;
  player.WearWeapon(odd, 10);
  player.WearItem(odd, 1000);
  EXPECT_EQ(odd->count, 50);
  EXPECT_EQ(player.Equipped(6), odd);
  EXPECT_TRUE(TakeEvents().empty());
}

TEST_F(PlayerTime, ArmourStruckByBlowDirection) {
  SItem* shield = Carry(Type({"base_shield", "Shield", 2, 1, 60000}), true);
  // Facing in degrees counter-clockwise; sides of a blow clockwise from north. The shield takes blows
  // only from the side the player faces, half of them.
  const struct {
    i32 facing, side;
    bool faces;
  } cases[] = {{0, 0, true},    {0, 2, false},  {0, 1, false},   {90, 3, true},  {90, 1, false}, {180, 2, true},
               {180, 0, false}, {270, 1, true}, {270, 3, false}, {-90, 1, true}, {450, 3, true}};
  for (const auto& c : cases) {
    state.facing = c.facing;
    u32 blocked = 0;
    for (int i = 0; i < 40; ++i) {
      bool flag = true;
      const u16 before = shield->count;
      const bool expected = c.faces && mirror.Next(100) > 50;
      if (!expected) mirror.Next(1);  // the one candidate left
      player.WearArmourFromHit(3, c.side, &flag);
      EXPECT_EQ(flag, expected) << c.facing << " " << c.side;
      EXPECT_EQ(shield->count, before - 3);
      blocked += flag;
    }
    if (c.faces)
      EXPECT_GT(blocked, 0u) << c.facing;
    else
      EXPECT_EQ(blocked, 0u) << c.facing;
  }
  // Facing the attacker: the body armour takes it past 70, the helm past 90.
  state.facing = 0;
  player.UnequipItem(shield);
  SItem* mail = Carry(Type({"base_mail", "Mail", 2, 3, 60000}), true);
  SItem* helm = Carry(Type({"base_helm", "Helm", 3, 4, 60000}), true);
  for (int i = 0; i < 40; ++i) {
    const u16 m = mail->count, h = helm->count;
    const i32 first = mirror.Next(100);
    const i32 second = first > 70 ? 0 : mirror.Next(100);
    const bool onMail = first > 70, onHelm = !onMail && second > 90;
    i32 pick = -1;  // the random choice among helm and mail, in slot order
    if (!onMail && !onHelm) pick = mirror.Next(2);
    player.WearArmourFromHit(1, 0, nullptr);
    EXPECT_EQ(m - mail->count, onMail || pick == 1 ? 1 : 0) << i;
    EXPECT_EQ(h - helm->count, onHelm || pick == 0 ? 1 : 0) << i;
  }
  // A blow without a side goes to the boots past 50, else to any piece; nothing worn, nothing wears.
  SItem* boots = Carry(Type({"base_boots", "Boots", 3, 6, 60000}), true);
  for (int i = 0; i < 20; ++i) {
    const u16 b = boots->count;
    const bool onBoots = mirror.Next(100) > 50;
    i32 pick = -1;
    if (!onBoots) pick = mirror.Next(3);  // helm, mail, boots
    player.WearArmourFromHit(1, -1, nullptr);
    EXPECT_EQ(b - boots->count, onBoots || pick == 2 ? 1 : 0) << i;
  }
  for (SItem*& slot : player.equipment) slot = nullptr;
  player.WearArmourFromHit(5, -1, nullptr);
  player.WearArmourFromHit(5, 2, nullptr);
  EXPECT_EQ(core.random->Next(1000), mirror.Next(1000));  // no draw without armour
  // A paralysed player holds no shield up, and a weapon in the second hand is none.
  player.EquipItem(shield, false);
  player.AddEffect(kSourceCondition, nullptr, 0, 5, 28, 0, nullptr);
  const u16 before = shield->count;
  player.WearArmourFromHit(5, 0, nullptr);
  EXPECT_EQ(shield->count, before);
}

TEST_F(PlayerTime, WearByLoad) {
  SItem* boots = Carry(Type({"base_boots", "Boots", 3, 6, 1000}), true);
  player.WearItemByLoad();
  EXPECT_EQ(boots->count, 999);  // a light load: 1, and random(0) draws nothing
  Carry(Type({"base_anvil", "Anvil", 13, 1, 1000, 45000}));
  for (int i = 0; i < 10; ++i) {
    const u16 before = boots->count;
    const i32 expected = 1 + mirror.Next(45000 / 20000);
    state.PassMinute();
    EXPECT_EQ(before - boots->count, expected);
  }
  player.UnequipItem(boots);
  state.PassMinute();  // bare feet: nothing wears, no draw
  EXPECT_EQ(core.random->Next(1000), mirror.Next(1000));
}

TEST_F(PlayerTime, DamageRanges) {
  i32 lo = -1, hi = -1;
  player.GetWeaponDamageRange(lo, hi, false);
  EXPECT_EQ(lo, 0);  // bare hands, strength and dexterity 15
  EXPECT_EQ(hi, 2);
  SItemType* sword = Type({"base_sword", "Sword", 1, 1, 1000, 0, 0, 0, 10, 20});
  SItemType* axe = Type({"base_axe", "Axe", 1, 4, 1000, 0, 0, 0, 4, 8});
  SItemType* bow = Type({"base_bow", "Bow", 1, 9, 1000, 0, 0, 0, 2, 7});
  bow->flags = 2;
  SItemType* arrows = Type({"base_arrows", "Arrows", 1, 11, 1, 0, 0, 0, 1, 3});
  SItemType* knives = Type({"base_knives", "Knives", 1, 8, 1, 0, 0, 0, 2, 4});
  knives->flags = 2;
  SItem* s = Carry(sword, true);
  const struct {
    const char* what;
    std::function<void()> equip;
    i32 lo, hi;
  } cases[] = {
      {"sword", [] {}, 12, 22},  // + strength and dexterity / 10 and / 8
      {"sword and axe", [&] { Carry(axe, true, true); }, 16, 30},
      {"bow without arrows", [&] { Carry(bow, true); }, 3, 8},                    // dexterity only
      {"bow with arrows", [&] { Carry(arrows, true), mirror.Next(10); }, 4, 11},  // a stack of 10 + random(10)
      {"overloaded",
       [&] {
         Carry(Type({"base_anvil", "Anvil", 13, 1, 1000, 20000}));
       },
       2, 5},
  };
  for (const auto& c : cases) {
    c.equip();
    player.GetWeaponDamageRange(lo, hi, false);
    EXPECT_EQ(lo, c.lo) << c.what;
    EXPECT_EQ(hi, c.hi) << c.what;
  }
  // With wear: the weapon by a roll in the range so far, a second weapon by a roll in its own.
  player.inventory.RemoveItemsOfType(core.world.items.FindType("base_anvil"), 1);
  for (SItem*& slot : player.equipment) slot = nullptr;
  player.EquipItem(s, false);
  SItem* second = Carry(axe, true, true);
  const u16 before = s->count, secondBefore = second->count;
  const i32 wear = 16 + mirror.Next(15), secondWear = 4 + mirror.Next(5), roll = 16 + mirror.Next(15);
  EXPECT_EQ(player.RollDamage(true), roll);
  EXPECT_EQ(before - s->count, wear);
  EXPECT_EQ(secondBefore - second->count, secondWear);
  // Thrown weapons do not wear.
  SItem* stack = Carry(knives, true);
  const u16 units = stack->count;
  player.UnequipItem(second);
  player.RollDamage(true);
  EXPECT_EQ(stack->count, units);
}

TEST_F(PlayerTime, BlowsAgainstArmour) {
  SMonster target;
  target.armourClass = 100;  // far above any bare-handed roll
  u32 zero = 0, small = 0;
  for (int i = 0; i < 200; ++i) {
    mirror.Next(3);  // the roll 0..2
    const bool lands = mirror.Next(100) > 50;
    const i32 expected = lands ? mirror.Next(5) : 0;
    const i32 damage = player.RollWeaponDamage(&target);
    EXPECT_EQ(damage, expected) << i;
    (lands ? small : zero) += 1;
  }
  EXPECT_GT(zero, 60u);
  EXPECT_GT(small, 60u);
  target.armourClass = 1;
  Carry(Type({"base_sword", "Sword", 1, 1, 60000, 0, 0, 0, 10, 20}), true);
  const u16 practice = player.practice[3];
  for (int i = 0; i < 20; ++i) {
    mirror.Next(11);  // wear
    const i32 expected = 12 + mirror.Next(11) - 1;
    EXPECT_EQ(player.RollWeaponDamage(&target), expected);
  }
  EXPECT_EQ(player.practice[3], practice + 20);       // each blow practises the weapon's skill
  const i32 free = player.RollWeaponDamage(nullptr);  // no target: no wear
  EXPECT_EQ(free, 12 + mirror.Next(11));
}

TEST_F(PlayerTime, ItemsReceivedAndFound) {
  Type({"base_potion", "Healing", 8, 1});
  Type({"base_coins", "Gold coins", 10, 1, 1000, 0, 0, 0, 0, 0, 0, 100});
  SItem* last = player.ReceiveItemsReported("base_potion", 2, true);
  EXPECT_EQ(last, player.GetInventoryItem(1));
  player.FindItemsReported("base_potion", 1, true);
  player.ReceiveItemsReported("base_potion", 1, false);
  player.FindItemsReported("base_coins", 1, true);
  player.ReceiveItemsReported("base_coins", 2, true);
  player.ReceiveItemsReported("base_nothing", 2, true);
  player.ReceiveItemsReported("base_potion", 0, true);
  EXPECT_EQ(player.CountItems("base_potion"), 4u);
  EXPECT_EQ(player.money, 300u);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{"You have received 2 potions of Healing.\rYou have found a "
                                                     "potion of Healing.\rYou have found 100\t.\rYou have received 2 "
                                                     "items of Gold coins."});
  // An instance: money goes to the purse once and the instance is freed.
  auto* coins = new SItem;
  coins->type = core.world.items.FindType("base_coins");
  coins->count = 7;
  player.ReceiveItem(coins);
  EXPECT_EQ(player.money, 400u);
  auto* potion = new SItem;
  potion->type = core.world.items.FindType("base_potion");
  player.ReceiveItem(potion);
  EXPECT_EQ(player.GetInventoryItem(4), potion);
}
