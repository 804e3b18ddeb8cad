// The player record: the experience table, the new-game reset, and the queries over inventory,
// equipment, quests, diseases, marked positions and the position on the map.
#include "PlayerFixture.h"
#include "world/SMapArea.h"

using PlayerRecord = PlayerTest;

TEST_F(PlayerRecord, ExperienceTableAndDefaults) {
  const struct {
    u32 level, xp;
  } entries[] = {{0, 0},         {1, 0},         {2, 400},       {10, 25000},   {30, 4130000},
                 {31, 4570000},  {32, 5150000},  {33, 5770000},  {34, 6430000}, {35, 7130000},
                 {40, 11230000}, {50, 23150000}, {99, 215990000}};
  for (const auto& e : entries) EXPECT_EQ(player.xpTable[e.level], e.xp) << e.level;
  for (u32 l = 2; l <= kMaxLevel; ++l) EXPECT_LT(player.xpTable[l - 1], player.xpTable[l]) << l;
  SPlayer fresh;
  EXPECT_EQ(fresh.level, 1);
  EXPECT_EQ(fresh.nextLevelXp, 400u);
  EXPECT_EQ(fresh.hp, 40);
  EXPECT_EQ(fresh.race, 1u);
  EXPECT_EQ(fresh.header.state, 1);
  EXPECT_EQ(player.header.state, 17);  // attached
  EXPECT_EQ(fresh.header.cellX, 255);
}

TEST_F(PlayerRecord, NewGameResetOnlyForTheGamesOwnWorld) {
  SItemType* sword = Type({"base_sword", "Sword", 1, 1});
  Quest("base_q", "Q");
  SAbility* ability = Ability("base_a", "A", {Effect(5, 10)});
  auto dirty = [&] {
    player.name.Assign("Old");
    player.level = 7;
    player.xp = 20000;
    player.money = 5;
    player.attributes[4] = 40;
    player.skills[3] = 50;
    player.practice[3] = 9;
    player.fame = -300;
    player.race = 4;
    player.permanentPotionTaken = 1;
    Carry(sword, true);
    player.AddQuest("base_q");
    player.AddAbility("base_a", false);
    player.AddReadItemName("base_book");
    player.GrowMarkedPositions();
    player.AddEffect(kSourceSpell, nullptr, 5, 10, 10, 0, nullptr);
    state.events.DeleteAll();
  };
  dirty();
  for (const char* prefix : {"bres_", "BASE_", "base", "ext1_"}) {
    core.world.modules.current->resourcePrefix.Assign(prefix);
    player.ResetForNewGame();
    EXPECT_STREQ(player.name.CStr(), "Old") << prefix;
    EXPECT_EQ(player.level, 7) << prefix;
  }
  core.world.modules.current->resourcePrefix.Assign("base_");
  player.ResetForNewGame();
  EXPECT_STREQ(player.name.CStr(), "Player");
  EXPECT_STREQ(player.portrait.CStr(), "bres_head34");
  EXPECT_EQ(player.level, 1);
  EXPECT_EQ(player.xp, 0u);
  EXPECT_EQ(player.nextLevelXp, 400u);
  EXPECT_EQ(player.hp, 100);
  EXPECT_EQ(player.mana, 100);
  EXPECT_EQ(player.money, 100u);
  EXPECT_EQ(player.race, 2u);
  EXPECT_EQ(player.fame, 0);
  EXPECT_EQ(player.permanentPotionTaken, 0);
  EXPECT_EQ(player.GetAttribute(4), 15);
  EXPECT_EQ(player.GetSkill(3), 10);
  EXPECT_EQ(player.practice[3], 0);
  EXPECT_EQ(player.majorSkills[5], 6);
  EXPECT_EQ(player.minorSkills[13], 20);
  EXPECT_EQ(player.inventory.GetItemCount(), 0);
  EXPECT_EQ(player.GetMainWeapon(), nullptr);
  EXPECT_FALSE(player.HasQuest("base_q"));
  EXPECT_FALSE(player.HasAbility("base_a"));
  EXPECT_EQ(rules.abilities.FindByName("base_a"), ability);  // the world's record stays
  EXPECT_FALSE(player.HasReadItem("base_book"));
  EXPECT_EQ(player.markedPositions.Count(), 0);
  for (u32 c = 1; c < kEffectCategories; ++c) EXPECT_TRUE(player.effects[c].IsEmpty()) << c;
  // No current world: nothing.
  player.level = 3;
  core.world.modules.current = nullptr;
  player.ResetForNewGame();
  EXPECT_EQ(player.level, 3);
}

TEST_F(PlayerRecord, InventoryAndEquipmentQueries) {
  SItemType* arrows = Type({"base_arrows", "Arrows", 1, 11, 1, 10});
  SItemType* bow = Type({"base_bow", "Bow", 1, 9, 900, 150});
  SItemType* sword = Type({"base_sword", "Sword", 1, 1, 1000, 250});
  SItemType* dagger = Type({"base_dagger", "Dagger", 1, 3, 500, 50});
  SItemType* shield = Type({"base_shield", "Shield", 2, 1, 1500, 800});
  SItemType* picks = Type({"base_picks", "Lock picks", 11, 2, 100, 5});
  SItem* quiver = Carry(arrows);
  EXPECT_GE(quiver->count, 10);                 // a stack of 10 to 19
  EXPECT_EQ(player.GetInventoryWeight(), 10u);  // weighed once, whatever its count
  EXPECT_EQ(player.CountItems("base_arrows"), 1u);
  EXPECT_EQ(player.CountItems("base_none"), 0u);
  EXPECT_FALSE(player.HasQuiver());
  Carry(picks);
  EXPECT_TRUE(player.HasQuiver());  // the test of lock picks

  SItem* b = Carry(bow, true);
  player.EquipItem(quiver, false);
  EXPECT_EQ(player.Equipped(12), quiver);
  EXPECT_EQ(player.GetSecondaryWeapon(), quiver);
  SItem* s = Carry(sword, true);
  SItem* d = Carry(dagger, true, true);
  EXPECT_EQ(player.GetMainWeapon(), s);
  EXPECT_EQ(player.GetSecondaryWeapon(), d);
  SItem* sh = Carry(shield, true);
  EXPECT_EQ(player.Equipped(6), sh);
  EXPECT_EQ(player.GetSecondaryWeapon(), nullptr);
  EXPECT_TRUE(player.IsEquipped(sh));
  EXPECT_FALSE(player.IsEquipped(b));
  EXPECT_FALSE(player.IsEquipped(d));
  EXPECT_EQ(player.GetInventoryItem(0), quiver);
  EXPECT_EQ(player.GetInventoryItem(99), nullptr);
  EXPECT_EQ(player.GetInventoryItem(-1), nullptr);
  player.UseCharge(quiver);
  quiver->count = 0;
  player.UseCharge(quiver);
  EXPECT_EQ(quiver->count, 0);
}

TEST_F(PlayerRecord, FoodAlignmentAndEnchantability) {
  SItemType* bread = Type({"base_bread", "Bread", 14, 1});
  SItemType* water = Type({"base_water", "Water", 14, 2});
  SItemType* dust = Type({"base_dust", "Grave dust", 14, 1, 1000, 0, 0, 0, 0, 0, 8});
  SItemType* blood = Type({"base_blood", "Blood", 14, 2, 1000, 0, 0, 0, 0, 0, 8});
  player.race = 2;
  Carry(dust);
  Carry(blood);
  EXPECT_FALSE(player.HasFoodAndWater());  // undead food only
  player.race = 1;
  EXPECT_TRUE(player.HasFoodAndWater());
  player.inventory.DeleteAllItems();
  Carry(bread);
  EXPECT_FALSE(player.HasFoodAndWater());
  Carry(water);
  EXPECT_TRUE(player.HasFoodAndWater());
  player.race = 3;
  EXPECT_TRUE(player.HasFoodAndWater());

  SItemType* good = Type({"base_good", "Holy mace", 1, 5});
  good->alignment = 1;
  SItemType* evil = Type({"base_evil", "Dark blade", 1, 1});
  evil->alignment = 2;
  player.fame = 0;
  EXPECT_TRUE(player.MeetsItemAlignment(good));
  EXPECT_FALSE(player.MeetsItemAlignment(evil));
  player.fame = -1;
  EXPECT_FALSE(player.MeetsItemAlignment(good));
  EXPECT_TRUE(player.MeetsItemAlignment(evil));
  EXPECT_FALSE(player.MeetsItemAlignment(bread));  // only weapons, armour and accessories

  EXPECT_FALSE(player.HasEnchantableItem());
  SItemType* blank = Type({"base_blank", "Blank", 9, 3});
  SItem* scroll = Carry(blank);
  EXPECT_FALSE(player.HasEnchantableItem());  // no capacity
  blank->enchantCapacity = 100;
  EXPECT_TRUE(player.HasEnchantableItem());
  scroll->enchantments = Enchant({Effect(5, 3)});
  EXPECT_FALSE(player.HasEnchantableItem());  // already enchanted
}

TEST_F(PlayerRecord, QuestsDiseasesSpellsAndMarkedPositions) {
  Quest("base_q1", "First");
  Disease("base_rot", "Grave rot", {});
  Spell("base_heal", "Heal", 1);
  Spell("base_drain", "Drain", 5);
  EXPECT_FALSE(player.HasDisease(""));
  EXPECT_FALSE(player.HasDisease(nullptr));
  player.Infect("base_rot");
  EXPECT_TRUE(player.HasDisease(""));
  EXPECT_TRUE(player.HasDisease("base_rot"));
  EXPECT_FALSE(player.HasDisease("base_pox"));
  SString name;
  player.GetFirstDiseaseName(name);
  EXPECT_STREQ(name.CStr(), "Grave rot");

  player.AddQuest("base_q1");
  EXPECT_TRUE(player.HasQuest("base_q1"));
  EXPECT_FALSE(player.IsQuestSolved("base_q1"));
  player.EndQuest("base_q1", false);
  EXPECT_TRUE(player.IsQuestFailed("base_q1"));
  EXPECT_FALSE(player.IsQuestSolved("base_q1"));

  player.race = 1;
  EXPECT_FALSE(player.CanLearnSpell("base_heal"));
  EXPECT_TRUE(player.CanLearnSpell("base_drain"));
  EXPECT_FALSE(player.CanLearnSpell("base_nothing"));
  player.race = 2;
  EXPECT_TRUE(player.CanLearnSpell("base_heal"));
  EXPECT_FALSE(player.KnowsAnySpell());
  player.LearnSpell("base_heal", false);
  EXPECT_TRUE(player.KnowsAnySpell());
  player.ClearKnownSpells();
  EXPECT_FALSE(player.KnowsSpell("base_heal"));

  player.AddReadItemName("base_book");
  player.AddReadItemName("base_book");
  EXPECT_EQ(player.itemsRead.Count(), 1);

  // Marked positions grow with intellect, at least one, and never shrink.
  player.attributes[4] = 7;
  player.GrowMarkedPositions();
  EXPECT_EQ(player.markedPositions.Count(), 1);
  EXPECT_STREQ(player.GetMarkedPosition(0)->worldTitle.CStr(), "-");
  EXPECT_FALSE(player.HasMarkedPosition());
  player.attributes[4] = 27;
  player.GrowMarkedPositions();
  EXPECT_EQ(player.markedPositions.Count(), 5);
  player.attributes[4] = 10;
  player.GrowMarkedPositions();
  EXPECT_EQ(player.markedPositions.Count(), 5);
  SMapArea map;
  map.name.Set("base_0101");
  map.title = "Meadow";
  player.SetMarkedPosition(2, core.world.modules.current, &map, 4, 5, 3);
  player.SetMarkedPosition(9, core.world.modules.current, &map, 4, 5, 3);  // no such entry
  EXPECT_TRUE(player.HasMarkedPosition());
  const SMarkedPosition* p = player.GetMarkedPosition(2);
  EXPECT_STREQ(p->worldName.CStr(), "base");
  EXPECT_STREQ(p->worldTitle.CStr(), "Duskmire");
  EXPECT_STREQ(p->mapName.CStr(), "base_0101");
  EXPECT_STREQ(p->mapTitle.CStr(), "Meadow");
  EXPECT_EQ(p->column + p->row + p->facing, 12);
  EXPECT_STREQ(player.GetRaceName(), "Etherim");
  EXPECT_STREQ(player.GetRaceKey(), "base_etherim");
}

TEST_F(PlayerRecord, PositionOnTheCurrentMap) {
  SMapArea indoor, outdoor;
  outdoor.flags = SMapArea::kOutdoor;
  const struct {
    SMapArea* map;
    i32 x, y;
    u32 mapX, mapY;
  } cases[] = {
      {&indoor, 12, 30, 12, 30},
      {&outdoor, 12, 30, 5, 23},  // a joined tile starts at window cell (7, 7)
      {&outdoor, 3, 7, 252, 0},   // a neighbour's cell, taken modulo 256
      {nullptr, 9, 8, 9, 8},
  };
  for (const auto& c : cases) {
    state.window.slots[4].area = c.map;
    state.window.playerX = c.x;
    state.window.playerY = c.y;
    EXPECT_EQ(player.GetMapX(), c.mapX) << c.x;
    EXPECT_EQ(player.GetMapY(), c.mapY) << c.y;
  }
  state.window.slots[4].area = nullptr;
}
