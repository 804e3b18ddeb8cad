// The new character: kits by major skills, the spells an undead or a living character may learn from the
// kit's books, race money and start time, skill values, and the provisions draw, in the built sample
// world and in small worlds made in code.
#include "PlayerFixture.h"
#include "screens/SStateGenerate.h"
#include "world/SWorldModule.h"

#include <filesystem>
#include <sstream>

namespace {

std::string Carried(const SPlayer& p) {
  std::ostringstream out;
  for (const SItem* item : p.inventory.items) out << item->type->name.Text() << " ";
  return out.str();
}

std::string Equipped(const SPlayer& p) {
  std::ostringstream out;
  for (u32 slot = 1; slot <= kEquipmentSlots; ++slot)
    if (const SItem* item = p.Equipped(slot)) out << slot << ":" << item->type->name.Text() << " ";
  return out.str();
}

bool IsMajor(const SPlayer& p, u32 skill) {
  for (u8 m : p.majorSkills)
    if (m == skill) return true;
  return false;
}

class NewCharacter : public PlayerTest {
 protected:
  NewCharacter() : files(std::string(DUSKMIRE_DATA_DIR) + "/") {
    core.world.modules.Clear();
    core.world.SetFileStore(&files);
  }
  ~NewCharacter() override {
    player.ClearLists();
    core.UnloadWorld();
  }
  bool Load() {
    if (!core.world.modules.OpenGameArchives(nullptr)) return false;
    core.PrepareWorldTables(nullptr);
    core.BindWorldResources(nullptr);
    return core.world.modules.current != nullptr;
  }
  void Make(u32 race, std::initializer_list<u32> majors) {
    state.window.minutes = 0;
    player.ResetForNewGame();
    SNewPlayer record;
    record.race = race;
    u32 i = 0;
    for (u32 m : majors) record.majorSkills[i++] = m;
    player.GiveStartingKit(record);
    TakeEvents();
  }
  SFileStore files;
};

}  // namespace

TEST_F(NewCharacter, KitsSpellsMoneyAndStartTimeByRaceAndSkills) {
  ASSERT_TRUE(std::filesystem::exists(std::string(DUSKMIRE_DATA_DIR) + "/DuskmireBase.pdb"))
      << "build the sample_world target first";
  ASSERT_TRUE(Load()) << core.world.modules.LastError();
  const struct Case {
    const char* what;
    u32 race;
    std::initializer_list<u32> majors;
    const char* equipped;
    std::vector<const char*> carried, notCarried, known, unknown;
    u32 money;
    u32 minutes;
  } cases[] = {
      {"skills 1 and 4, neither 2 nor 3: the dirk equipped after the cudgel ends in slot 5",
       2,
       {1, 4, 9, 10, 11, 13},
       "5:base_weap_dirkcheap 11:base_boots_fur ",
       {"base_shield_woodenround", "base_weap_greatcudgel2", "base_race_etherim_book", "base_race_etherim_start",
        "base_phealsmall", "base_pmanasmall", "base_spbookstoneskin", "base_spbookfeather"},
       {"base_shield_smallwooden", "base_punholysmall"},
       {"base_spellstoneskin", "base_spellburninghand", "base_spellcurse", "base_spellfeather"},
       {},
       500,
       15 * 60},
      {"a fighter with 2 and 3 keeps the cudgel and carries the sword",
       4,
       {2, 3, 5, 6, 20, 17},
       "2:base_robe_clothcape 4:base_mail_scalecheap 5:base_weap_greatcudgel2 6:base_shield_smallwooden "
       "11:base_boots_fur ",
       {"base_weap_shortswordcheap", "base_mail_frayedleather", "base_race_derth_book"},
       {},
       {},
       {},
       600,
       15 * 60},
      {"an undead with skill 8 gets the book, not the school-1 spell",
       1,
       {8, 12, 7, 16, 18, 19},
       "5:base_weap_shortbowcheap 6:base_shield_smallwooden 11:base_boots_fur 12:base_quiver_cheap ",
       {"base_spbookcurelightwounds", "base_punholysmall", "base_food_grave", "base_food_blood",
        "base_alc_mortarbeginner", "base_alc_purplefairyring", "base_key_lockpickbeginner", "base_scrdisarm",
        "base_race_rasvim_start"},
       {"base_phealsmall", "base_food_bread", "base_food_water"},
       {"base_spelldrainhealth"},
       {"base_spellcurelightwounds"},
       500,
       2 * 60},
      {"a living character with skill 12 does not learn the school-5 spell",
       5,
       {12, 8, 14, 15, 2, 1},
       "5:base_weap_shortswordcheap 6:base_shield_woodenround 11:base_boots_fur ",
       {"base_spbookdrainhealth", "base_food_bread", "base_food_water", "base_repair_hammerapprentice",
        "base_gem_amethyst"},
       {"base_food_grave", "base_food_blood"},
       {"base_spellcurelightwounds"},
       {"base_spelldrainhealth"},
       600,
       15 * 60},
      {"a Seiry starts with 600 at half past eleven at night",
       3,
       {11, 13, 16, 18, 19, 20},
       "2:base_robe_clothcape 6:base_shield_smallwooden 11:base_boots_fur ",
       {"base_race_seiry_book"},
       {},
       {},
       {},
       600,
       23 * 60 + 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Make(c.race, c.majors);
    EXPECT_EQ(player.race, c.race);
    EXPECT_EQ(Equipped(player), c.equipped);
    const std::string carried = Carried(player);
    for (const char* n : c.carried) EXPECT_NE(carried.find(std::string(n) + " "), std::string::npos) << n;
    for (const char* n : c.notCarried) EXPECT_EQ(carried.find(std::string(n) + " "), std::string::npos) << n;
    for (const char* n : c.known) EXPECT_TRUE(player.KnowsSpell(n)) << n;
    for (const char* n : c.unknown) EXPECT_FALSE(player.KnowsSpell(n)) << n;
    EXPECT_EQ(player.money, c.money);
    EXPECT_EQ(state.window.minutes, c.minutes);
    EXPECT_EQ(player.startPosition.CStr(), std::string("base_startgame") + (player.GetRaceKey() + 5));
    for (u32 a = 1; a <= 5; ++a) EXPECT_EQ(player.attributes[a], 15);
    // The race's ability with its effects, and pools from them.
    EXPECT_TRUE(player.HasAbility(core.world.rules.races.AbilityName(c.race)));
    EXPECT_EQ(player.mana, 75 + player.SumEffects(5, 0, nullptr, nullptr));
    // Every major skill 15 to 19, every other 10 to 14, stored in increasing order.
    u32 minor = 0;
    for (u32 s = 1; s <= kPlayerSkills; ++s) {
      if (IsMajor(player, s)) {
        EXPECT_GE(player.skills[s], 15) << s;
        EXPECT_LE(player.skills[s], 19) << s;
        continue;
      }
      ASSERT_LT(minor, 14u);
      EXPECT_EQ(player.minorSkills[minor++], s);
      EXPECT_GE(player.skills[s], 10) << s;
      EXPECT_LE(player.skills[s], 14) << s;
    }
    for (u32 i = 0; i < 6; ++i) EXPECT_EQ(player.majorSkills[i], c.majors.begin()[i]);
  }
}

// The provisions are drawn from the item table's food and drink as the game always drew them; a kind the
// table has nothing usable of is given none, and the draw ends. The skills take the draws after them.
TEST_F(PlayerTest, ProvisionsAndSkillDraws) {
  struct Food {
    const char* name;
    u8 subtype, flags;
  };
  const struct Case {
    const char* what;
    u32 race;
    std::vector<Food> table;
    const char* given;
  } cases[] = {
      {"living", 2, {{"bread", 1, 0}, {"dust", 1, 8}, {"water", 2, 0}, {"blood", 2, 8}}, "bread water "},
      {"undead", 1, {{"bread", 1, 0}, {"dust", 1, 8}, {"water", 2, 0}, {"blood", 2, 8}}, "dust blood "},
      {"no usable drink", 2, {{"bread", 1, 0}, {"blood", 2, 8}, {"dust", 1, 8}}, "bread "},
      {"nothing usable", 1, {{"bread", 1, 0}, {"water", 2, 0}}, ""},
      {"no food and drink at all", 2, {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    player.ClearLists();
    core.world.items.types.DeleteAll();
    for (const Food& f : c.table) Type({f.name, f.name, kItemComestible, f.subtype, 1000, 0, 0, 0, 0, 0, f.flags});
    core.random->Seed(nullptr, kSeed + c.race);
    mirror.Seed(nullptr, kSeed + c.race);
    SNewPlayer record;
    record.race = c.race;
    player.GiveStartingKit(record);

    // The same draws on the mirror: entries until a usable food and drink are taken, four of each.
    std::string expected;
    bool food = false, drink = false;
    auto usable = [&](const Food& f) { return (c.race == 1) == ((f.flags & 8) != 0); };
    bool foodLeft = false, drinkLeft = false;
    for (const Food& f : c.table)
      if (usable(f)) (f.subtype == 1 ? foodLeft : drinkLeft) = true;
    while ((foodLeft && !food) || (drinkLeft && !drink)) {
      const Food& f = c.table[size_t(mirror.Next(i32(c.table.size())))];
      bool& taken = f.subtype == 1 ? food : drink;
      if (!usable(f) || taken) continue;
      taken = true;
      expected += std::string(f.name) + " ";
    }
    std::string given;
    for (u32 i = 0; i < player.inventory.GetItemCount(); i += 4) {
      given += std::string(player.GetInventoryItem(i32(i))->type->name.Text()) + " ";
      for (u32 k = 1; k < 4; ++k)
        EXPECT_EQ(player.GetInventoryItem(i32(i + k))->type, player.GetInventoryItem(i32(i))->type);
    }
    EXPECT_EQ(given, c.given);
    EXPECT_EQ(given, expected);
    // Then the six major skills 15 + random(5) in their order, and the fourteen others 10 + random(5).
    for (u32 i = 0; i < 6; ++i) EXPECT_EQ(player.skills[record.majorSkills[i]], 15 + mirror.Next(5)) << i;
    for (u32 i = 0; i < 14; ++i) EXPECT_EQ(player.skills[player.minorSkills[i]], 10 + mirror.Next(5)) << i;
  }
  core.world.items.types.DeleteAll();
}

// The race picker gives 1 to 5; any other race index (the tables by race have no row for it) starts the
// character as an Etherim, the picker's own first choice.
TEST_F(PlayerTest, ARaceOutsideTheTablesStartsAsAnEtherim) {
  for (u32 race : {0u, 6u, 200u}) {
    SCOPED_TRACE(race);
    player.ClearLists();
    SNewPlayer record;
    record.race = race;
    player.GiveStartingKit(record);
    EXPECT_EQ(player.race, 2u);
    EXPECT_EQ(player.money, 500u);
    EXPECT_STREQ(player.startPosition.CStr(), "base_startgameetherim");
  }
}
