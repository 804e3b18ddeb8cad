// The potion list opened from the game view: one row per type with the count, higher order first, the
// unlisted flag, drinking and closing through the game state, a tap outside, and no potions at all.
#include "GameDialogs.h"
#include "dialogs/SDialogPotion.h"
#include "game/SStateGame.h"

namespace {

struct PotionGame : DialogGame {
  PotionGame() {
    EXPECT_TRUE(Enter("base_dungeon1", 5, 6, 180));
    clearInventory();
  }
  SDialogPotion& potions() { return state().potions; }
  bool open() {
    state().OnCommand(SStateGame::kPotionsId);
    return state().subMode == SStateGame::kPotionList && state().subDialog == &potions();
  }
};

TEST(PotionList, OneRowPerTypeWithTheCountHigherOrderFirstAndTheUnlistedLeftOut) {
  PotionGame g;
  SItemType* strength = g.type("base_potion_strength");
  SItemType* ale = g.type("base_potion_ale");
  ASSERT_NE(strength, nullptr);
  ASSERT_NE(ale, nullptr);
  g.give("base_potion_heal");
  g.give("base_scroll_fireball");
  g.give("base_potion_ale");
  g.give("base_potion_heal", 2);
  g.give("base_potion_strength");
  strength->order = 5;
  ale->flags = u8(ale->flags | SDialogPotion::kUnlistedFlag);
  ASSERT_TRUE(g.open());
  // Each row names the type by its display name, without the " potion" of an item's title.
  const std::vector<std::string> expected = {"Giant strength", "Healing (3)"};
  EXPECT_EQ(DialogGame::Rows(g.potions().list), expected);
  EXPECT_EQ(g.potions().PotionCount(), 2u);
  // The heal row names the first of the three healing potions, at index 0.
  EXPECT_EQ(g.potions().list.Row(1)->keyText.CStr(), std::string("0"));
  g.potions().list.Select(1);
  EXPECT_EQ(g.potions().GetSelectedItem(), g.player().GetInventoryItem(0));
  strength->order = 0;
  ale->flags = u8(ale->flags & ~SDialogPotion::kUnlistedFlag);

  // Drink goes to the game state, which closes the list.
  g.potions().OnCommand(SDialogPotion::kDrinkCode);
  EXPECT_EQ(g.state().subMode, SStateGame::kWalking);
  EXPECT_EQ(g.state().subDialog, nullptr);
}

TEST(PotionList, ClosesByItsButtonAndByATapOutside) {
  PotionGame g;
  g.give("base_potion_heal");
  ASSERT_TRUE(g.open());
  g.potions().OnCommand(SDialogPotion::kCloseCode);
  EXPECT_EQ(g.state().subDialog, nullptr);

  ASSERT_TRUE(g.open());
  g.game.frame();
  const i32 x = g.potions().left + g.potions().width + 3, y = g.potions().top;
  g.game.penDown(g.potions().left >= 3 ? g.potions().left - 3 : x, y);
  EXPECT_EQ(g.state().subDialog, nullptr);
  EXPECT_EQ(g.state().subMode, SStateGame::kWalking);
}

TEST(PotionList, WithoutPotionsTheGameStateSaysSo) {
  PotionGame g;
  g.give("base_scroll_fireball");
  EXPECT_FALSE(g.open());
  EXPECT_TRUE(g.potions().list.RowCount() == 0 && g.potions().list.selected == -1);
  EXPECT_EQ(g.potions().GetSelectedItem(), nullptr);
  ASSERT_FALSE(g.game.messages().empty());
  EXPECT_EQ(g.game.messages().back().text, "You don't have any potions.");
}

// Row keys that name no item give none.
TEST(PotionList, KeysThatNameNoItemChooseNothing) {
  PotionGame g;
  g.give("base_potion_heal");
  ASSERT_TRUE(g.open());
  for (const char* key : {"", "x", "-1", "1", "99999999999", "0x"}) {
    g.potions().list.SetRow(0, key, nullptr, nullptr);
    g.potions().list.Select(0);
    EXPECT_EQ(g.potions().GetSelectedItem(), nullptr) << key;
  }
}

}  // namespace
