// The item grid on the sample world's items: class filters and traders' masks, stacks (an equipped item
// never hides in one), the sort order, the keys and the pen with the two action flags, and the prices
// the player sees.
#include "GridRig.h"
#include "core/ui/SPlayerEquipCtrl.h"
#include "support/MakeEffect.h"
#include "world/SPeopleTables.h"

#include <set>
#include <string>

namespace {

// One item of each class, a spellbook among the magic items.
constexpr const char* kOnePerClass[] = {
    "base_weap_shortswordcheap", "base_armor_chain",    "base_armor_leather", "base_acc_ring",
    "base_book_swords",          "base_alch_mortar",    "base_ingr_mushroom", "base_potion_heal",
    "base_scroll_blank",         "base_spellbook_cure", "base_money_100",     "base_key_dungeon",
    "base_repair_hammer",        "base_misc_candle",    "base_food_bread",    "base_gem_ruby",
    "base_card_knight"};

// The classes of the cells, in cell order ("9.2" for a spellbook).
std::string Classes(const SItemsCtrl& grid) {
  std::string s;
  for (u32 i = 0; i < grid.SlotCount(); ++i) {
    const SItemSlot* slot = grid.Slot(i32(i));
    if (!s.empty()) s += ' ';
    s += std::to_string(slot->itemClass);
    if (slot->itemClass == 9 && slot->subtype == 2) s += ".2";
  }
  return s;
}

TEST(ItemGrid, ClassFiltersAndTraders) {
  GridRig r;
  ASSERT_TRUE(r.loaded) << r.core.world.modules.LastError();
  for (const char* name : kOnePerClass) ASSERT_NE(r.Add(name), nullptr) << name;
  r.Layout(0, 0, 42, 42, 5, 3, 10, 0);
  const std::string all = "1 2 3 4 5 6 8 7 9.2 9 10 11 12 13 14 15 16";  // a spellbook is subtype 2
  const struct {
    u32 filter;
    const char* classes;
  } filters[] = {{0, all.c_str()}, {1, "1"},          {2, "2 3"},
                 {3, "4"},         {4, "5 9.2"},      {5, "6 7"},
                 {6, "8"},         {7, "9.2 9"},      {8, "10 11 12 13 14 15 16"},
                 {9, all.c_str()}, {255, all.c_str()}};
  for (const auto& f : filters) {
    r.Fill(f.filter);
    EXPECT_EQ(Classes(r.grid), f.classes) << "filter " << f.filter;
  }

  // The sample traders: the merchant takes weapons, armour and repair hammers; the innkeeper potions (whose
  // class bit is the whole-list bit) and food and drink.
  const SNpc* merchant = r.core.world.rules.people.FindByName("base_merchant");
  const SNpc* innkeeper = r.core.world.rules.people.FindByName("base_innkeeper");
  ASSERT_TRUE(merchant && innkeeper);
  r.Fill(0, merchant);
  EXPECT_EQ(Classes(r.grid), "1 2 3 12");
  r.Fill(2, merchant);
  EXPECT_EQ(Classes(r.grid), "2 3") << "filter and mask together";
  r.Fill(0, innkeeper);
  EXPECT_EQ(Classes(r.grid), "8 14");
}

TEST(ItemGrid, StacksAndTheSortOrder) {
  // Stacks as cells: the type names with their counts.
  const struct Case {
    const char* name;
    std::vector<std::pair<const char*, bool>> items;  // type, equipped
    u32 trade;
    const char* cells;
  } cases[] = {
      {"three identical daggers",
       {{"base_weap_daggers", false}, {"base_weap_daggers", false}, {"base_weap_daggers", false}},
       0,
       "base_weap_daggers*3"},
      {"an equipped dagger first",
       {{"base_weap_daggers", true}, {"base_weap_daggers", false}, {"base_weap_daggers", false}},
       0,
       "base_weap_daggers base_weap_daggers*2"},
      {"an equipped dagger last",
       {{"base_weap_daggers", false}, {"base_weap_daggers", false}, {"base_weap_daggers", true}},
       0,
       "base_weap_daggers*2 base_weap_daggers"},
      {"an equipped dagger between",
       {{"base_weap_daggers", false}, {"base_weap_daggers", true}, {"base_weap_daggers", false}},
       0,
       "base_weap_daggers*2 base_weap_daggers"},
      {"trade mode shows no equipment: one stack",
       {{"base_weap_daggers", false}, {"base_weap_daggers", true}, {"base_weap_daggers", false}},
       1,
       "base_weap_daggers*3"},
      {"potions before ingredients, then by class, subtype and name",
       {{"base_food_bread", false},
        {"base_ingr_mushroom", false},
        {"base_potion_strength", false},
        {"base_potion_heal", false},
        {"base_weap_longsword", false},
        {"base_weap_shortswordcheap", false},
        {"base_armor_leather", false}},
       0,
       "base_weap_shortswordcheap base_weap_longsword base_armor_leather base_potion_heal base_potion_strength "
       "base_ingr_mushroom base_food_bread"},
  };
  for (const Case& c : cases) {
    GridRig r;
    ASSERT_TRUE(r.loaded);
    r.Layout(0, 0, 42, 42, 5, 3, 10, c.trade);
    u32 slot = 1;
    for (const auto& [type, equipped] : c.items) {
      SItem* item = equipped ? r.AddEquipped(type, slot++) : r.Add(type);
      ASSERT_NE(item, nullptr) << type;
      if (item->type->IsMissile()) item->count = 12;
    }
    r.Fill();
    EXPECT_EQ(r.Cells(), c.cells) << c.name;
    for (u32 i = 0; i < r.grid.SlotCount(); ++i) {
      const SItemSlot* s = r.grid.Slot(i32(i));
      const bool equipped = r.core.player.IsEquipped(s->item);
      // The cell of an equipped item is the item itself, marked; it is never a stack's first of others.
      if (c.trade) continue;
      EXPECT_EQ((s->flags & SItemSlot::kEquipped) != 0, equipped) << c.name << " cell " << i;
      EXPECT_EQ(s->count, equipped ? 1 : s->count) << c.name << " cell " << i;
    }
  }

  // Different counts and different own enchantments keep apart; an equal own enchantment stacks.
  GridRig r;
  ASSERT_TRUE(r.loaded);
  r.Layout(0, 0, 42, 42, 5, 3, 10, 0);
  r.Add("base_weap_daggers", 12);
  r.Add("base_weap_daggers", 11);
  for (int i = 0; i < 3; ++i) {
    SItem* charmed = r.Add("base_weap_daggers", 12);
    charmed->enchantments = new SEffectList;
    charmed->enchantments->Add(MakeEffect(11, i == 2 ? 3 : 2));
  }
  r.Fill();
  EXPECT_EQ(r.Cells(), "base_weap_daggers base_weap_daggers base_weap_daggers*2 base_weap_daggers");
}

TEST(ItemGrid, KeysAndPen) {
  GridRig r;
  ASSERT_TRUE(r.loaded);
  // Seven cells on a page of 3 x 2: the second page holds one.
  r.AddEquipped("base_weap_shortswordcheap", 5);
  for (const char* name : {"base_armor_leather", "base_acc_ring", "base_book_swords", "base_potion_heal",
                           "base_food_bread", "base_gem_ruby"})
    r.Add(name);
  r.Layout(10, 10, 42, 42, 3, 2, 10, 0);
  r.Fill();
  ASSERT_EQ(r.grid.SlotCount(), 7u);
  SItemsCtrl& g = r.grid;

  const struct {
    i32 from;
    u32 key;
    i32 to, first;
    u32 result;
  } keys[] = {
      {1, 1000, 0, 0, 30},  // up from the first row: slot 0
      {4, 1000, 1, 0, 30},  // up one row
      {4, 1002, 6, 6, 30},  // down past the last: the last slot, on its page
      {5, 1002, 6, 6, 30},  // down from the last row
      {0, 1004, 0, 0, 30},  // nothing before slot 0
      {3, 3004, 2, 0, 30},  // previous
      {6, 1006, 6, 6, 30},  // nothing after the last
      {5, 3005, 6, 6, 30},  // next, onto the next page
      {2, 1005, 2, 0, 0},   // not a key of the grid
  };
  for (const auto& k : keys) {
    g.Select(k.from);
    g.firstVisible = k.from / 6 * 6;
    EXPECT_EQ(g.OnKey(k.key), k.result) << k.from << " key " << k.key;
    EXPECT_EQ(g.selected, k.to) << k.from << " key " << k.key;
    EXPECT_EQ(g.firstVisible, k.first) << k.from << " key " << k.key;
    EXPECT_EQ(g.selectedSlot, g.Slot(g.selected));
  }

  // Confirm: equip for an equippable cell, use for the others; in trade mode neither, but the report.
  r.owner.penLatch = 1;
  g.Select(0);
  EXPECT_EQ(g.OnKey(3006), 30u);
  EXPECT_EQ(g.equipAsked, 1u);
  EXPECT_EQ(g.useAsked, 0u);
  EXPECT_EQ(r.owner.penLatch, 0u) << "the owner's input guard is reset";
  g.Select(3);  // the book
  EXPECT_EQ(g.OnKey(3006), 30u);
  EXPECT_EQ(g.equipAsked, 0u);
  EXPECT_EQ(g.useAsked, 1u);
  EXPECT_EQ(g.OnKey(1002), 30u);
  EXPECT_EQ(g.useAsked, 0u) << "every key clears the flags";
  g.tradeMode = 1;
  g.Select(0);
  EXPECT_EQ(g.OnKey(3006), 30u);
  EXPECT_EQ(g.equipAsked + g.useAsked, 0u);
  g.tradeMode = 0;
  g.buying = 1;
  EXPECT_EQ(g.OnKey(3006), 30u);
  EXPECT_EQ(g.equipAsked + g.useAsked, 0u);
  g.buying = 0;

  // The pen: a tap in the marker square of an equippable cell asks to equip; elsewhere it only selects.
  g.firstVisible = 0;
  const i32 x0 = g.gridX, y0 = g.gridY, step = g.cellWidth + g.separatorWidth;
  EXPECT_EQ(g.markerSize, 12);
  EXPECT_EQ(g.OnPen(x0 + step + 3, y0 + 3, 1, 0), 30u);  // the leather armour's marker
  EXPECT_EQ(g.selected, 1);
  EXPECT_EQ(g.equipAsked, 1u);
  EXPECT_EQ(g.OnPen(x0 + step + 20, y0 + 20, 1, 0), 30u);
  EXPECT_EQ(g.equipAsked, 0u);
  EXPECT_EQ(g.OnPen(x0 + 2 * step + 3, y0 + step + 3, 1, 0), 30u);  // the corner of the bread: no marker
  EXPECT_EQ(g.selected, 5);
  EXPECT_EQ(g.equipAsked, 0u);
  EXPECT_EQ(g.OnPen(x0 + 3, y0 + 3, 0, 0), 0u) << "a pen-up";
  EXPECT_EQ(g.selected, 5);
  EXPECT_EQ(g.OnPen(x0 + 44, y0 + 3, 1, 0), 0u) << "on the separator";
  g.NextPage();
  EXPECT_EQ(g.firstVisible, 6);
  EXPECT_EQ(g.selected, 6);
  EXPECT_EQ(g.OnPen(x0 + step + 3, y0 + 3, 1, 0), 0u) << "past the last cell";
  g.NextPage();
  EXPECT_EQ(g.firstVisible, 6) << "no page after the last";
  g.PrevPage();
  EXPECT_EQ(g.firstVisible, 0);
  EXPECT_EQ(g.selected, 0);
  g.SelectItem(r.items.At(0));
  EXPECT_EQ(g.selected, 0);

  // No cells: the movement keys report nothing, confirm still reports.
  r.items.DeleteAll();
  for (SItem*& slot : r.core.player.equipment) slot = nullptr;
  r.Fill();
  for (u32 key : {1000u, 1002u, 1004u, 1006u, 3004u, 3005u}) EXPECT_EQ(g.OnKey(key), 0u) << key;
  EXPECT_EQ(g.selected, -1);
  EXPECT_EQ(g.OnKey(3006), 30u);
  EXPECT_EQ(g.equipAsked + g.useAsked, 0u);
  g.Select(3);
  EXPECT_EQ(g.selected, -1);
  EXPECT_EQ(g.selectedSlot, nullptr);
}

TEST(ItemGrid, MarkersOfStanding) {
  GridRig r;
  ASSERT_TRUE(r.loaded);
  r.Add("base_weap_longsword");  // good (alignment 1)
  r.Add("base_weap_axe");        // evil (alignment 2)
  r.Add("base_weap_staff");      // any
  r.Layout(0, 0, 42, 42, 5, 3, 10, 0);
  for (i16 fame : {i16(-1), i16(0), i16(40)}) {
    r.core.player.fame = fame;
    r.Fill(1);
    std::string marks;
    for (u32 i = 0; i < r.grid.SlotCount(); ++i) {
      const SItemSlot* s = r.grid.Slot(i32(i));
      marks += std::string(s->type->name.Text()) + ((s->flags & SItemSlot::kUnusable) ? "! " : " ");
    }
    EXPECT_EQ(marks, fame < 0 ? "base_weap_longsword! base_weap_axe base_weap_staff "
                              : "base_weap_longsword base_weap_axe! base_weap_staff ")
        << fame;
  }
}

TEST(ItemGrid, Prices) {
  GridRig r;
  ASSERT_TRUE(r.loaded);
  SWorldRules& rules = r.core.world.rules;
  const char* names[] = {"base_weap_shortswordcheap", "base_weap_quiver", "base_book_swords",   "base_spellbook_cure",
                         "base_book_letter",          "base_potion_heal", "base_gem_starstone", "base_acc_ring"};
  for (const char* n : names) r.Add(n);
  r.items.At(1)->count = 30;  // thirty arrows: two and a half dozen
  auto value = [&](const char* name) {
    for (SItem* item : r.items)
      if (item->type->name.Equals(name)) return item->type->GetValue(rules, item);
    return 0u;
  };
  auto priceOf = [&](const char* name) {
    for (u32 i = 0; i < r.grid.SlotCount(); ++i)
      if (r.grid.Slot(i32(i))->type->name.Equals(name)) return r.grid.Slot(i32(i))->price;
    return 0xFFFFFFFFu;
  };

  // Outside trade mode: the value (by the dozen for missiles).
  r.Layout(0, 0, 42, 42, 5, 3, 15, 0);
  r.Fill();
  EXPECT_EQ(priceOf("base_weap_shortswordcheap"), value("base_weap_shortswordcheap"));
  EXPECT_EQ(priceOf("base_weap_quiver"), 30 * value("base_weap_quiver") / 12);
  // Buying at one and a half times the value.
  r.grid.tradeMode = 1;
  r.grid.buying = 1;
  r.Fill();
  EXPECT_EQ(priceOf("base_potion_heal"), 15 * value("base_potion_heal") / 10);
  EXPECT_EQ(priceOf("base_weap_quiver"), 15 * (30 * value("base_weap_quiver") / 12) / 10);
  // Selling: a quarter for books and spellbooks, a half for the rest.
  r.grid.buying = 0;
  r.Fill();
  EXPECT_EQ(priceOf("base_book_swords"), value("base_book_swords") / 4);
  EXPECT_EQ(priceOf("base_spellbook_cure"), value("base_spellbook_cure") / 4);
  EXPECT_EQ(priceOf("base_book_letter"), 0u);
  EXPECT_EQ(priceOf("base_potion_heal"), value("base_potion_heal") / 2);
  EXPECT_EQ(priceOf("base_acc_ring"), value("base_acc_ring") / 2);

  // A trading player: lower when buying, higher when selling, through the player's own rule.
  r.core.player.skills[17] = 140;
  const u32 sold = value("base_gem_starstone") / 2;
  r.Fill();
  EXPECT_EQ(priceOf("base_gem_starstone"), r.core.player.AdjustPrice(sold, false));
  EXPECT_GT(priceOf("base_gem_starstone"), sold);
  r.grid.buying = 1;
  r.Fill();
  const u32 bought = 15 * value("base_gem_starstone") / 10;
  EXPECT_EQ(priceOf("base_gem_starstone"), r.core.player.AdjustPrice(bought, true));
  EXPECT_LT(priceOf("base_gem_starstone"), bought);

  // A price past 32 bits (a dear item, or a huge price factor) stops at the largest 32-bit price instead
  // of wrapping to a small one.
  r.core.player.skills[17] = 0;
  r.Type("base_gem_starstone")->value = 4000000000u;
  r.Fill();
  EXPECT_EQ(priceOf("base_gem_starstone"), r.core.player.AdjustPrice(0xFFFFFFFFu, true));
  r.Type("base_gem_starstone")->value = 1000;
  r.grid.buyPriceFactor = 2000000000u;
  r.Fill();
  EXPECT_EQ(priceOf("base_gem_starstone"), r.core.player.AdjustPrice(0xFFFFFFFFu, true));

  // The magic cells (own or built-in enchantment) and the type's 0x04 and 0x10 flags.
  auto flagsOf = [&](const char* name) {
    for (u32 i = 0; i < r.grid.SlotCount(); ++i)
      if (r.grid.Slot(i32(i))->type->name.Equals(name)) return r.grid.Slot(i32(i))->flags & 0x46;
    return -1;
  };
  r.Add("base_misc_idol");
  r.Fill();
  EXPECT_EQ(flagsOf("base_acc_ring"), SItemSlot::kMagic);
  EXPECT_EQ(flagsOf("base_potion_heal"), 0) << "only classes 1 to 4 count as magic";
  EXPECT_EQ(flagsOf("base_weap_shortswordcheap"), 0);
  EXPECT_EQ(flagsOf("base_gem_starstone"), SItemSlot::kTypeFlag4);
  EXPECT_EQ(flagsOf("base_misc_idol"), SItemSlot::kTypeFlag10);
}

}  // namespace

// An item whose picture record recolours its picture looks the same on the paper doll as in the pack.
TEST(ItemGrid, ThePaperDollShowsAnItemInThePacksColours) {
  GridRig r(10, 480, 640);
  ASSERT_TRUE(r.loaded);
  SItem* sword = r.AddEquipped("base_weap_shortswordcheap", 5);
  ASSERT_NE(sword, nullptr);
  SItemPicture* pic = SItemsCtrl::PictureOf(r.core.world.items, *sword->type);
  ASSERT_NE(pic, nullptr);
  ASSERT_EQ(pic->palettes.Count(), 0u);
  ASSERT_TRUE(pic->palettes.AddText("bres_pal-dungeon"));
  ASSERT_TRUE(r.core.world.images.LoadPaletteByName("bres_pal-dungeon"));
  r.Layout(10, 10, 60, 60, 1, 1, 10, 0);
  r.Fill();
  r.grid.Paint();
  const std::vector<u16> pack = r.pixels;

  SPlayerEquipCtrl doll;
  doll.Attach(&r.owner);
  doll.SetRect(10, 300, 220, 260);
  doll.LayoutSlots();
  // Both draw the picture whole on this screen: compare the picture's own rectangle, below the rows the
  // pack's equipped marker covers.
  const SImage* picture = r.core.world.images.ImagePointers()[sword->type->picture];
  ASSERT_NE(picture, nullptr);
  auto block = [&](const std::vector<u16>& from, i32 x, i32 y) {
    std::vector<u16> out;
    for (i32 row = 10; row < picture->height; ++row)
      for (i32 col = 0; col < picture->width; ++col) out.push_back(from[size_t(y + row) * 480 + size_t(x + col)]);
    return out;
  };
  const i32 sx = 10 + doll.slotX[5], sy = 300 + doll.slotY[5];
  doll.Paint();
  const std::vector<u16> recoloured = block(r.pixels, sx, sy);
  bool inPack = false;
  for (i32 y = 10; y < 90 && !inPack; ++y)
    for (i32 x = 10; x < 90 && !inPack; ++x) inPack = block(pack, x, y) == recoloured;
  EXPECT_TRUE(inPack) << "the doll's sword is the pack's";

  delete[] pic->palettes.RemoveAt(0);
  doll.Paint();
  EXPECT_NE(block(r.pixels, sx, sy), recoloured) << "the palette changes what the doll shows";
}
