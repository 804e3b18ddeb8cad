// The spell book opened from the game view: its place, categories by tab and by the turn keys, the
// refusals by race, the known spells and the magical items with their counts and charges, and how it
// closes and hands the choice to the game state.
#include "GameDialogs.h"
#include "dialogs/SDialogSpellbook.h"
#include "game/SStateGame.h"
#include "world/SSpell.h"

namespace {

constexpr u16 kBookAction = 3001, kAttackAction = 3000, kLeft = 1004, kRight = 1006;

struct BookGame : DialogGame {
  BookGame() {
    EXPECT_TRUE(Enter("base_dungeon1", 5, 6, 180));
    clearInventory();
    player().race = 2;
  }
  SDialogSpellbook& book() { return state().spellbook; }
  bool open(u32 category) {
    book().category = category;
    game.press(kBookAction);
    return state().subMode == SStateGame::kSpellbook && state().subDialog == &book();
  }
  std::string message() { return book().message.text.CStr() ? book().message.text.CStr() : ""; }
  std::vector<std::string> rows() { return Rows(book().list); }
};

TEST(Spellbook, OpensAtTheViewsBottomRightAndTurnsCategoriesWithTheKeys) {
  BookGame g;
  ASSERT_TRUE(g.open(1));
  const SWorldView& v = g.state().view;
  EXPECT_EQ(g.book().left + g.book().width, v.viewX + v.viewWidth - 2);
  EXPECT_EQ(g.book().top + g.book().height, v.viewY + v.viewHeight - 2);
  // Left from the first category wraps to the magical items, right from them back to the first.
  const struct {
    u16 key;
    u32 category;
  } steps[] = {{kLeft, 7}, {kLeft, 6}, {kRight, 7}, {kRight, 1}, {kRight, 2}};
  for (const auto& s : steps) {
    g.game.press(s.key);
    EXPECT_EQ(g.book().category, s.category) << s.key;
  }
  // A tab chooses its category, which the next opening keeps.
  g.book().OnCommand(SDialogSpellbook::kFirstTabId + 3);
  EXPECT_EQ(g.book().category, 4u);
  g.game.press(kAttackAction);  // closes
  EXPECT_EQ(g.state().subMode, SStateGame::kWalking);
  EXPECT_EQ(g.state().subDialog, nullptr);
  g.game.press(kBookAction);
  EXPECT_EQ(g.book().category, 4u);
}

TEST(Spellbook, ListsTheKnownSpellsOfASchoolAndTellsWhatIsMissing) {
  BookGame g;
  g.player().LearnSpell("base_spellburninghand", false);
  g.player().LearnSpell("base_spellfireball", false);
  ASSERT_TRUE(g.open(3));
  const SSpellTable& spells = g.core().world.rules.spells;
  ASSERT_EQ(g.rows().size(), 2u);
  EXPECT_EQ(g.book().list.Row(0)->keyText.CStr(), std::string("base_spellburninghand"));
  EXPECT_EQ(g.message(), "");
  EXPECT_EQ(g.book().list.selected, 0);
  EXPECT_EQ(g.book().GetSelectedSpell(), spells.FindByName("base_spellburninghand"));
  EXPECT_EQ(g.book().GetSelectedItem(), nullptr);  // only the items category chooses items

  g.book().OnCommand(SDialogSpellbook::kFirstTabId + 1);
  EXPECT_TRUE(g.rows().empty());
  EXPECT_EQ(g.book().GetSelectedSpell(), nullptr);
  EXPECT_EQ(g.message(), std::string("You don't know any ") + spells.SchoolName(2) + ".");
  g.book().OnCommand(SDialogSpellbook::kFirstTabId + 6);
  EXPECT_EQ(g.message(), "You don't have any magical items.");
}

TEST(Spellbook, BarsTheHealSchoolToTheUndeadAndTheUndeadSchoolToOthers) {
  const struct {
    u32 race;
    u32 category;
    const char* message;
  } cases[] = {
      {1, 1, "You can't have any heal spells, since you're undead."},
      {2, 5, "You can't have any undead spells, since you aren't undead."},
      {1, 5, ""},
      {2, 1, ""},
  };
  BookGame g;
  for (const auto& c : cases) {
    g.player().race = c.race;
    g.player().ClearKnownSpells();
    // Known spells of both schools, put there by hand as a record from elsewhere might hold them.
    g.player().knownSpells[1].Add(g.core().world.rules.spells.FindByName("base_spellcurelightwounds"));
    g.player().knownSpells[5].Add(g.core().world.rules.spells.FindByName("base_spelldrainhealth"));
    g.book().category = c.category;
    g.book().Open();
    EXPECT_EQ(g.message(), c.message) << c.race << " " << c.category;
    EXPECT_EQ(g.rows().size(), *c.message ? 0u : 1u) << c.race << " " << c.category;
  }
  g.player().ClearKnownSpells();
}

TEST(Spellbook, ListsScrollsByTypeAndWandsWithTheirCharges) {
  BookGame g;
  const i32 firstScroll = i32(g.player().inventory.GetItemCount());
  g.give("base_scroll_fireball", 3);
  g.give("base_wand_lightning", 1, 12);  // full: the first effect's base is the most
  g.give("base_wand_lightning", 1, 3);
  g.give("base_wand_lightning", 1, 0);  // no charges left: not listed
  g.give("base_wand_empty", 1, 5);      // without an enchantment of its own: not listed
  g.giveEnchanted("base_wand_empty", "base_spellfireball", 6, 4);
  g.give("base_scroll_blank");  // blank: not listed
  g.giveEnchanted("base_scroll_blank", "base_spellfeather", 1, 0);
  ASSERT_TRUE(g.open(7));
  const char glyphs[] = {SDialogSpellbook::kScrollGlyph, SDialogSpellbook::kScrollGlyph, SDialogSpellbook::kWandGlyph,
                         SDialogSpellbook::kWandGlyph, SDialogSpellbook::kWandGlyph};
  const std::vector<std::string> rows = g.rows();
  ASSERT_EQ(rows.size(), 5u);
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i][0], glyphs[i]) << rows[i];
  EXPECT_EQ(rows[0].substr(1), "Scroll of Fireball (3)");
  EXPECT_EQ(rows[1].find(" ("), std::string::npos) << rows[1];
  EXPECT_EQ(rows[2].substr(1), "Wand of Lightning (12 ch)");
  EXPECT_EQ(rows[3].substr(1), "Wand of Lightning (3/12 ch)");
  EXPECT_EQ(rows[4].substr(rows[4].size() - 9), " (4/6 ch)");
  // The scroll row names the first of the three; the choice is that item.
  EXPECT_EQ(g.book().list.Row(0)->keyText.CStr(), std::to_string(firstScroll));
  EXPECT_EQ(g.book().GetSelectedItem(), g.player().GetInventoryItem(firstScroll));
}

TEST(Spellbook, CastAndCloseGoToTheGameStateAndATapOutsideCloses) {
  BookGame g;
  g.player().LearnSpell("base_spellfeather", false);
  ASSERT_TRUE(g.open(6));
  g.game.press(kBookAction);  // cast: the game state closes the book and reads the choice
  EXPECT_EQ(g.state().subMode, SStateGame::kWalking);
  EXPECT_EQ(g.book().GetSelectedSpell(), g.core().world.rules.spells.FindByName("base_spellfeather"));
  // The cast runs its course before the book opens again.
  ASSERT_TRUE(g.game.waitUntil(GameHarness::gameIdle(), 60));

  ASSERT_TRUE(g.open(6));
  g.game.frame();
  g.game.penDown(g.book().left - 5, g.book().top + 5);
  EXPECT_EQ(g.state().subMode, SStateGame::kWalking);
  EXPECT_EQ(g.state().subDialog, nullptr);
  g.game.penUp(g.book().left - 5, g.book().top + 5);
  g.player().ClearKnownSpells();
}

// The magical items' page (category 7) casts the chosen item's spell: no mana spent, a charge used.
TEST(Spellbook, TheMagicalItemsPageCastsTheChosenItem) {
  BookGame g;
  SItem* wand = g.give("base_wand_lightning", 1, 12);
  g.player().mana = 3;
  ASSERT_TRUE(g.open(7));
  ASSERT_EQ(g.book().GetSelectedItem(), wand);
  g.game.press(kBookAction);
  EXPECT_EQ(g.state().subMode, SStateGame::kWalking);
  ASSERT_EQ(g.state().actions.Count(), 1u);
  EXPECT_EQ(g.state().actions[0]->item, wand);
  ASSERT_TRUE(g.game.waitUntil(GameHarness::gameIdle(), 60));
  EXPECT_EQ(wand->count, 11);
  EXPECT_EQ(g.player().mana, 3u);
}

TEST(Spellbook, IsRefusedOnAMapForbiddingMagic) {
  BookGame g;
  SMapArea* map = g.state().window.CurrentArea();
  ASSERT_NE(map, nullptr);
  const u16 flags = map->flags;
  map->flags = u16(flags | 2);
  g.game.press(kBookAction);
  EXPECT_NE(g.state().subDialog, &g.book());
  ASSERT_FALSE(g.game.messages().empty());
  EXPECT_EQ(g.game.messages().back().text, "Magic is forbidden on this map.");
  map->flags = flags;
}

}  // namespace
