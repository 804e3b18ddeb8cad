// A description changed on a shown page is drawn over its backdrop, not over the text before it: after
// switching categories and items, the description's area looks as it does on a page opened afresh on the
// same item.
#include "SheetGame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The panel's pixels inside the control's rectangle (mode 7 and 10 screens are not turned).
std::vector<u16> Area(const GameHarness& game, const SCtrl& c) {
  const Os::Panel& panel = game.panel();
  std::vector<u16> out;
  for (i32 y = c.top; y < c.top + c.height && y < panel.height; ++y)
    for (i32 x = c.left; x < c.left + c.width && x < panel.width; ++x) out.push_back(panel.pixels[size_t(y) * panel.width + x]);
  return out;
}

void FillPack(InventoryGame& g) {
  g.Make("base_weap_shortswordcheap");
  g.Make("base_armor_shield");
  g.Make("base_potion_heal");
  g.Make("base_potion_ale");
  g.Make("base_book_almanac");
  g.Refresh();
}

// The items page on the category, with the item selected as a tap on its cell does.
void Show(InventoryGame& g, u16 category, const char* item) {
  g.game.tapControl(category);
  ASSERT_TRUE(g.Select(item)) << item;
  g.game.frame(2);
}

TEST(InventoryDescription, ANewDescriptionIsDrawnOverItsBackdrop) {
  for (i32 mode : {7, 10}) {
    // Each step: the category and item before, then the one whose description is compared.
    const struct Step {
      u16 fromCategory;
      const char* from;
      u16 toCategory;
      const char* to;
    } steps[] = {
        {SStateInventory::kFirstCategoryId + 1, "base_weap_shortswordcheap", SStateInventory::kFirstCategoryId + 2,
         "base_armor_shield"},
        {SStateInventory::kFirstCategoryId + 6, "base_potion_heal", SStateInventory::kFirstCategoryId + 6,
         "base_potion_ale"},
        {SStateInventory::kFirstCategoryId + 4, "base_book_almanac", SStateInventory::kFirstCategoryId + 6,
         "base_potion_heal"},
    };
    for (const Step& s : steps) {
      SCOPED_TRACE(std::string("mode ") + std::to_string(mode) + ": " + s.from + " then " + s.to);
      // One program runs at a time: the switched page's area first, then a fresh page's.
      auto area = [&](bool switched) {
        InventoryGame g(GameHarness::forMode(mode));
        EXPECT_TRUE(g.Open());
        FillPack(g);
        if (switched) Show(g, s.fromCategory, s.from);
        Show(g, s.toCategory, s.to);
        return Area(g.game, g.inv().description);
      };
      const std::vector<u16> switched = area(true);
      EXPECT_TRUE(switched == area(false));
    }
  }
}

// The spells page: the school's title and the spell's description follow the school buttons and the rows.
TEST(InventoryDescription, TheSpellsPageRedrawsItsDescription) {
  const struct Step {
    u32 fromSchool, fromRow, toSchool, toRow;
  } steps[] = {{0, 0, 1, 0}, {1, 0, 1, 1}, {1, 1, 2, 0}};
  for (const Step& s : steps) {
    SCOPED_TRACE(std::to_string(s.fromSchool) + "/" + std::to_string(s.fromRow) + " then " + std::to_string(s.toSchool) +
                 "/" + std::to_string(s.toRow));
    auto area = [&](bool switched) {
      SheetGame g;
      EXPECT_TRUE(g.Open());
      for (const char* spell : {"base_spellburninghand", "base_spellfireball", "base_spellcurelightwounds",
                                "base_spelllightningbolt", "base_spellstoneskin", "base_spellcurse"})
        g.player().LearnSpell(spell, false);
      g.game.tapControl(SStateInventory::kSheetTab);
      g.game.tapControl(SStateInventory::kSpellsTab);
      auto show = [&](u32 school, u32 row) {
        g.game.tapControl(u16(SStateInventory::kFirstSchoolId + school));
        if (g.inv().pageList.RowCount() > row) g.game.tapRow(g.inv().pageList.id, row);
        g.game.frame(2);
      };
      if (switched) show(s.fromSchool, s.fromRow);
      show(s.toSchool, s.toRow);
      return Area(g.game, g.inv().pageDescription);
    };
    const std::vector<u16> switched = area(true);
    EXPECT_TRUE(switched == area(false));
  }
}

}  // namespace
