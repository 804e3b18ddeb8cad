// The sample world's rule tables, loaded through the game core's phases, against rules.json: the data
// replaces the code-made rows where it gives them, the start-kit spells and race abilities exist, the
// merchant has a shop and a conversation, and skies are chosen from the loaded pictures. The builder refuses
// a person's topic pairs.
#include "RulesFixture.h"
#include "SampleCore.h"
#include "support/SampleBuild.h"
#include "world/SItemTable.h"

namespace {
// The sample core with the game's hooks recorded and a player attached to its rules.
struct RulesSampleCore : SampleCore {
  explicit RulesSampleCore(const std::string& folder) : SampleCore(folder) {
    core.world.rules.hooks = &hooks;
    player.Attach(&core);
  }
  ~RulesSampleCore() { core.UnloadWorld(); }  // while the hooks and the player still stand
  RecordingHooks hooks;
  SPlayer player;
};
}  // namespace

TEST(SampleRules, LoadedAsTheirSourcesSay) {
  const std::string folder = SampleDataFolder();
  ASSERT_TRUE(std::filesystem::exists(folder + "DuskmireBase.pdb")) << "build the sample_world target first";
  nlohmann::json j = SampleSource("rules.json");
  ASSERT_FALSE(j.is_discarded());
  RulesSampleCore w(folder);
  SWorldRules& rules = w.core.world.rules;
  ASSERT_TRUE(w.core.world.modules.OpenGameArchives(nullptr)) << w.core.world.modules.LastError();
  w.core.PrepareWorldTables(nullptr);
  w.core.BindWorldResources(nullptr);

  // Rows the data replaces, and rows it keeps.
  EXPECT_STREQ(rules.skills.FullName(7), "Archery");
  EXPECT_EQ(rules.skills.FindByName("archery"), 7u);
  EXPECT_STREQ(rules.attributes.Name(4), "Intellect");
  EXPECT_STREQ(rules.classes.Row(1)->name, "Fighter");
  for (u32 r = 1; r <= 5; ++r) {
    EXPECT_STREQ(rules.races.AbilityName(r), j["races"][r][2].get<std::string>().c_str());
    EXPECT_NE(rules.abilities.FindByName(rules.races.AbilityName(r)), nullptr) << r;
  }
  EXPECT_EQ(rules.races.AbilityName(0), nullptr);

  ASSERT_EQ(rules.spells.Count(), j["spells"].size());
  for (const auto& s : j["spells"]) {
    const SSpell* spell = rules.spells.FindByName(s["name"].get<std::string>().c_str());
    ASSERT_NE(spell, nullptr) << s["name"];
    EXPECT_EQ(spell->school, s["school"].get<int>());
    EXPECT_EQ(spell->effects.Count(), s["effects"].size());
  }
  EXPECT_TRUE(rules.spells.IsHarmfulSpell("base_spellfireball"));
  EXPECT_FALSE(rules.spells.IsHarmfulSpell("base_spellcurelightwounds"));
  EXPECT_EQ(rules.diseases.Count(), j["diseases"].size());
  EXPECT_EQ(rules.alchemy.Count(), j["alchemy"].size());
  EXPECT_EQ(rules.quests.Count(), j["quests"].size());
  ASSERT_NE(rules.scenes.FindByName("bres_intro"), nullptr);
  EXPECT_EQ(rules.scenes.FindByName("bres_intro")->pages.Count(), 3u);
  EXPECT_NE(rules.scenes.FindByName("bmus_credits"), nullptr);
  ASSERT_NE(rules.interiors.FindByName("base_inn"), nullptr);

  // The merchant: a level-1 shop and a conversation whose greeting is a base list.
  SNpc* merchant = rules.people.FindByName("base_merchant");
  ASSERT_NE(merchant, nullptr);
  EXPECT_EQ(merchant->StockLevel(), 1u);
  auto* talk = static_cast<SDialogEntryListPair*>(merchant->conversation);
  ASSERT_NE(talk, nullptr);
  EXPECT_EQ(talk->second[0], w.dialogs.FindSecond("base_merchantgreeting"));
  EXPECT_EQ(talk->first[0]->entries.Count(), 2);
  EXPECT_EQ(rules.people.FindByName("base_innkeeper")->categories & 128, 128);

  // Spell-effect frames resolved to the cache's images.
  const SSpellEffect* fire = rules.spellEffects.FindByName("base_fx_fire");
  ASSERT_NE(fire, nullptr);
  ASSERT_EQ(fire->frames.Count(), 2u);
  EXPECT_EQ(fire->frames[0], w.core.world.images.FindImageIndex("bres_animfire"));

  // Skies: the thunder sky loaded while preparing, the day sky chosen at noon, the rain sky's picture.
  EXPECT_TRUE(w.core.world.images.FindImage("bres_sky-thunder")->IsResident());
  SSkyChoice c;
  ASSERT_TRUE(rules.skies.SelectSkyForTime(12, 0, c));
  EXPECT_EQ(c.imageSlot, w.core.world.images.FindImageIndex("bres_sky-day"));
  ASSERT_TRUE(rules.skies.SelectSkyForTime(7, 3, c));
  EXPECT_EQ(c.imageSlot, w.core.world.images.FindImageIndex("bres_sky-overcast"));
  EXPECT_EQ(c.visibility, 60);

  // A race ability granted to an undead player: resistances, and its undead spell learnt.
  w.player.race = 1;
  rules.abilities.FindByName("base_ability_rasvim")->GrantToPlayer(rules);
  EXPECT_EQ(w.player.SumEffects(7, 0, nullptr, nullptr), 50);
  EXPECT_TRUE(w.player.KnowsSpell("base_spelldrainhealth"));
  EXPECT_EQ(rules.spells.FindByName("base_spelldrainhealth")->GetManaCost(rules), 12u);

  // Potions from ingredients: the mushroom's poison is its second effect, unknown below alchemy 30.
  const SItemType* mushroom = w.core.world.items.FindType("base_ingr_mushroom");
  ASSERT_NE(mushroom, nullptr);
  std::vector<SMakeableRecipe> made;
  rules.alchemy.ListMakeable(rules, 29, &mushroom, 1, made);
  ASSERT_EQ(made.size(), 1u);  // the other recipe's potion is no item type: not listed
  EXPECT_STREQ(made[0].text, "? Unknown");
  rules.alchemy.ListMakeable(rules, 30, &mushroom, 1, made);
  ASSERT_EQ(made.size(), 1u);
  EXPECT_STREQ(made[0].text, "Healing");
  // An ingredient without effects makes nothing, but the used ingredients still index the list given.
  const SItemType* withSword[] = {w.core.world.items.FindType("base_weap_axe"), mushroom};
  rules.alchemy.ListMakeable(rules, 30, withSword, 2, made);
  ASSERT_EQ(made.size(), 1u);
  ASSERT_EQ(made[0].usedCount, 1);
  EXPECT_EQ(made[0].used[0], 1);
  SRandom random;
  random.Seed(nullptr, 1234);
  std::unique_ptr<SItem> potion(rules.alchemy.CreatePotion(rules, *made[0].recipe, 50, random));
  ASSERT_NE(potion, nullptr);
  ASSERT_NE(potion->enchantments, nullptr);
  EXPECT_EQ(potion->enchantments->Entry(0)->base, 20);
  EXPECT_EQ(potion->type->enchantment->Entry(0)->base, 8);  // the type keeps its own

  // Shops: stocked once, from the shop's level and the next, of its classes only.
  SItemContainer shop;
  u8 stock = 3;
  merchant->RestockShop(rules, &shop, stock, random);
  EXPECT_EQ(stock, 0x83);
  ASSERT_GT(shop.GetItemCount(), 0);
  for (u32 i = 0; i < shop.GetItemCount(); ++i) {
    const SItemType* t = shop.GetItem(i32(i))->type;
    EXPECT_TRUE(t->level == 1 || t->level == 2) << t->name.Text();
    EXPECT_TRUE(merchant->categories & SItemTable::kClassFlags[t->itemClass]) << t->name.Text();
  }
  const u16 stocked = shop.GetItemCount();
  merchant->RestockShop(rules, &shop, stock, random);
  EXPECT_EQ(shop.GetItemCount(), stocked);
  SNpc* inn = rules.people.FindByName("base_innkeeper");
  SItemContainer whole;
  u8 innStock = 0;
  inn->RestockShop(rules, &whole, innStock, random);
  ASSERT_GT(whole.GetItemCount(), 0);
  for (u32 i = 0; i < whole.GetItemCount(); ++i) {
    const u8 kind = whole.GetItem(i32(i))->type->itemClass;
    EXPECT_TRUE(kind == kItemPotion || kind == kItemComestible) << whole.GetItem(i32(i))->type->name.Text();
  }
  // A shop level the item lists do not have stocks nothing.
  const u8 level = merchant->shopLevel;
  merchant->shopLevel = 9;
  stock = 0;
  merchant->RestockShop(rules, &shop, stock, random);
  EXPECT_EQ(shop.GetItemCount(), 0);
  merchant->shopLevel = level;

  // Unloading the world brings the code-made rows back.
  w.core.UnloadWorld();
  EXPECT_STREQ(rules.skills.FullName(7), "Accuracy");
  EXPECT_EQ(rules.spells.Count(), 0);
}

// A person's "topics" pairs would be carried but shown by no screen: the builder refuses them.
TEST(SampleRules, TheBuilderRefusesAPersonsTopicPairs) {
  testbuild::ExpectRefused("duskmire-topicpairs",
                           {"the merchant's topic pairs", "world/rules.json", R"("enchantLevel": 10, "hours": 1,)",
                            R"("enchantLevel": 10, "hours": 1, "topics": [["rumours", "Rumours"]],)",
                            "person base_merchant: \"topics\" pairs are shown by no screen"});
}
