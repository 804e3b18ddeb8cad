// Alchemy from a mortar and pestle, over the sample world's ingredients and recipes: the roll's limits,
// brewing on fixed seeds with the ingredients spent, the low-skill question, one ingredient in two slots,
// the last ingredient leaving its slot, and the mortar's condition word.
#include "GameDialogs.h"
#include "dialogs/SDialogAlchemy.h"
#include "foundation/SRandom.h"
#include "game/SStateGame.h"
#include "world/SEffect.h"

namespace {

TEST(AlchemyRules, TheRollFailsAboveTheLimitOfTheSkillAgainstTheRecipe) {
  const struct {
    i32 skill, required, lowestFailing;  // 100: never fails
  } cases[] = {{30, 30, 91}, {31, 30, 100}, {29, 30, 96}, {10, 30, 1}, {9, 30, 0}, {0, 60, 0}};
  for (const auto& c : cases)
    for (i32 roll = 0; roll < 100; ++roll)
      EXPECT_EQ(SDialogAlchemy::Brews(c.skill, c.required, roll), roll < c.lowestFailing)
          << c.skill << " against " << c.required << ", roll " << roll;
}

struct AlchemyGame : DialogGame {
  AlchemyGame() {
    EXPECT_TRUE(Enter("base_dungeon2", 3, 3, 0));
    clearInventory();
    dialog.Attach(&core());
    recipe = core().world.rules.alchemy.FindByName("base_recipe_heal");
    EXPECT_NE(recipe, nullptr);
    if (recipe) kept = recipe->parameter;
  }
  ~AlchemyGame() {
    if (recipe) recipe->parameter = kept;
    state().CloseChild();
  }
  void Open(SItem* mortar, i32 skill) {
    player().skills[16] = u16(skill);
    state().OpenChild(&dialog);
    dialog.Open(mortar);
  }
  // Steps a slot forward to the ingredient of that type.
  void Put(u32 slot, const char* typeName) {
    for (u32 i = 0;
         i < 10 && !(dialog.slots[slot] >= 0 && dialog.ingredients[dialog.slots[slot]].type == type(typeName)); ++i)
      dialog.OnCommand(SDialogAlchemy::kSlotNextIds[slot]);
  }
  u32 Count(const char* typeName) { return player().inventory.CountItemsOfType(type(typeName)); }
  std::string LastMessage() { return game.messages().empty() ? "" : game.messages().back().text; }

  SDialogAlchemy dialog;
  SAlchemyRecipe* recipe = nullptr;
  u8 kept = 0;
};

TEST(Alchemy, BrewsOnTheRollOfAFixedSeedAndSpendsTheIngredientsEitherWay) {
  AlchemyGame g;
  SItem* mortar = g.give("base_alch_mortar", 1, 500);
  g.give("base_ingr_mushroom", 12);
  g.recipe->parameter = 30;
  g.Open(mortar, 30);
  g.Put(0, "base_ingr_mushroom");
  ASSERT_EQ(g.dialog.candidates.size(), 1u);
  EXPECT_EQ(g.dialog.list.Row(0)->text.CStr(), std::string("Healing"));
  EXPECT_TRUE(g.dialog.IsHighlighted(0));
  u32 brewed = 0, failed = 0;
  for (u32 seed = 1; seed <= 10; ++seed) {
    g.core().random->Seed(g.core().random->Owner(), seed);
    SRandom replica;
    replica.Seed(nullptr, seed);
    const bool expected = SDialogAlchemy::Brews(30, 30, replica.Next(100));
    const u32 mushrooms = g.Count("base_ingr_mushroom"), potions = g.Count("base_potion_homemade");
    const u16 practice = g.player().practice[16];
    g.dialog.OnCommand(SDialogAlchemy::kCreateId);
    EXPECT_EQ(g.Count("base_ingr_mushroom"), mushrooms - 1);
    EXPECT_EQ(g.Count("base_potion_homemade"), potions + (expected ? 1 : 0));
    EXPECT_EQ(g.player().practice[16], practice + 1);
    EXPECT_EQ(g.LastMessage(), expected ? "You have successfully created a potion of Healing."
                                        : "You have failed to create the potion.");
    (expected ? brewed : failed)++;
    ASSERT_EQ(g.dialog.child, &g.dialog.box);
    g.dialog.OnCommand(SDialogMessage::kOk);
    EXPECT_EQ(g.dialog.child, nullptr);
    // The same ingredient and recipe stay chosen.
    EXPECT_EQ(g.dialog.list.selected, 0);
  }
  EXPECT_GT(brewed, 0u);
}

TEST(Alchemy, ABrewTooHardAsksFirstAndFarBelowAlwaysFails) {
  AlchemyGame g;
  g.give("base_ingr_mushroom", 3);
  g.recipe->parameter = 60;
  g.Open(nullptr, 30);  // 30 below: the limit is -50
  g.Put(0, "base_ingr_mushroom");
  EXPECT_FALSE(g.dialog.IsHighlighted(0));
  g.dialog.OnCommand(SDialogAlchemy::kCreateId);
  ASSERT_EQ(g.dialog.child, &g.dialog.box);
  EXPECT_EQ(g.LastMessage(), "Your alchemy skill seems too low to create this potion. Do you want to try it anyway?");
  g.dialog.OnCommand(SDialogMessage::kNo);
  EXPECT_EQ(g.Count("base_ingr_mushroom"), 3u);
  g.dialog.OnCommand(SDialogAlchemy::kCreateId);
  g.dialog.OnCommand(SDialogMessage::kYes);
  EXPECT_EQ(g.Count("base_ingr_mushroom"), 2u);
  EXPECT_EQ(g.LastMessage(), "You have failed to create the potion.");
  g.dialog.OnCommand(SDialogMessage::kOk);
}

TEST(Alchemy, OneIngredientInTwoSlotsCountsOnceAndTheLastOneEmptiesItsSlot) {
  AlchemyGame g;
  g.give("base_ingr_mushroom", 1);
  g.give("base_ingr_nightshade", 2);
  g.recipe->parameter = 0;
  g.Open(nullptr, 100);  // never fails
  g.Put(0, "base_ingr_mushroom");
  g.Put(1, "base_ingr_mushroom");
  ASSERT_EQ(g.dialog.candidates.size(), 1u);
  EXPECT_TRUE(g.dialog.IsHighlighted(0) && g.dialog.IsHighlighted(1));
  g.dialog.OnCommand(SDialogAlchemy::kCreateId);
  g.dialog.OnCommand(SDialogMessage::kOk);
  EXPECT_EQ(g.Count("base_ingr_mushroom"), 0u);
  EXPECT_EQ(g.Count("base_potion_homemade"), 1u) << g.LastMessage();
  // The mushroom is gone: both slots are empty, the nightshade stays listed.
  EXPECT_EQ(g.dialog.slots[0], -1);
  EXPECT_EQ(g.dialog.slots[1], -1);
  ASSERT_EQ(g.dialog.ingredients.size(), 1u);
  EXPECT_TRUE(g.dialog.candidates.empty());
  // The slot tells the effects in the words of the ingredient's own description; a third effect is told
  // from skill 60, a second from 30.
  g.Put(2, "base_ingr_nightshade");
  EXPECT_EQ(std::string(g.dialog.slotTexts[2].text.CStr()), "Restore mana, Restore health, Resist poison");
  SString described;
  g.type("base_ingr_nightshade")->enchantment->Describe(g.core().world.rules, kItemKindIngredient, 0, described, true);
  EXPECT_EQ(std::string(g.dialog.slotTexts[2].text.CStr()), described.CStr());
  g.dialog.skill = 30;
  g.dialog.OnCommand(SDialogAlchemy::kSlotPreviousIds[2]);
  g.dialog.OnCommand(SDialogAlchemy::kSlotNextIds[2]);
  EXPECT_EQ(std::string(g.dialog.slotTexts[2].text.CStr()), "Restore mana, Restore health, ?");
}

TEST(Alchemy, TheMortarsConditionWord) {
  const struct {
    u16 count;
    const char* word;
  } cases[] = {{500, "perfect"}, {499, "good"}, {250, "average"}, {100, "poor"}, {49, "broken"}};
  for (const auto& c : cases) {
    AlchemyGame g;
    SItem* mortar = g.give("base_alch_mortar", 1, c.count);
    g.Open(mortar, 10);
    const std::string text = g.dialog.apparatusText.text.CStr();
    EXPECT_NE(text.find(std::string("Condition: ") + c.word), std::string::npos) << text;
  }
}

}  // namespace
