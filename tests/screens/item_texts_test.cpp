// What the pack and the shop say of an item, through the real program: the notes on what the player can
// do with it (a book unread, read or beyond the player's skill limit, a scroll of a school barred to the
// player's race, a wand without charges), the whole description of every item the world's shops stock, shown
// on the shop's one page, a tool's condition in the shop, and the names of weapons and armour whole in the
// repair lists.
#include "InventoryGame.h"
#include "ServicesScreen.h"
#include "dialogs/SDialogRepair.h"
#include "dialogs/SDialogRepairShop.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"
#include "support/TextRecord.h"
#include "world/SEffect.h"
#include "world/SItemTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

const char* const kNotes[] = {"You haven't read this book yet.", "You have already read this book.",
                              "You can't learn from this book.", "You can't read this scroll.",
                              "You can't use this wand."};

// The text without its spaces and line breaks: wrapping moves them.
std::string Squeezed(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != ' ' && c != '\r' && c != '\n') out += c;
  return out;
}

// The description's body as wrapped, its lines joined: every page, or only the one a screen shows.
std::string Body(const STitleTextCtrl& description, u32 pages = ~0u) {
  std::string out;
  for (u32 i = 0; i < description.pages.Count() && i < pages; ++i)
    out += std::string(description.pages[i].CStr() ? description.pages[i].CStr() : "") + " ";
  return out;
}

// The notes a description carries, in the order of kNotes.
std::vector<std::string> NotesOf(const std::string& body) {
  std::vector<std::string> notes;
  for (const char* note : kNotes)
    if (Squeezed(body).find(Squeezed(note)) != std::string::npos) notes.push_back(note);
  return notes;
}

// One item and the player it is shown to, with the note expected (none: "").
struct NoteCase {
  const char* what;
  const char* type;
  std::function<void(SPlayer&, SItem&)> set;
  const char* note;
};

// A living reader (race 2) with a Dexterity of 40: Light Weapon (governed by it) may grow to 80.
void Living(SPlayer& p, u16 lightWeapon) {
  p.race = 2;
  p.attributes[2] = 40;
  p.skills[2] = lightWeapon;
  p.itemsRead.Clear();
}

// A blank scroll carrying its own spell of the undead school.
void UndeadScroll(SItem& item) {
  item.enchantments = new SEffectList;
  auto* e = new SEffect;
  e->kind = 31;
  e->mode = 2;
  e->SetName("base_spelldrainhealth");
  item.enchantments->Add(e);
}

const std::vector<NoteCase>& NoteCases() {
  static const std::vector<NoteCase> cases = {
      {"a skill book not read", "base_book_swords", [](SPlayer& p, SItem&) { Living(p, 10); },
       "You haven't read this book yet."},
      {"a skill book read", "base_book_swords",
       [](SPlayer& p, SItem&) {
         Living(p, 10);
         p.AddReadItemName("base_book_swords");
       },
       "You have already read this book."},
      {"a skill book beyond the skill's limit", "base_book_swords", [](SPlayer& p, SItem&) { Living(p, 80); },
       "You can't learn from this book."},
      {"a book without a skill, not read", "base_book_almanac", [](SPlayer& p, SItem&) { Living(p, 80); },
       "You haven't read this book yet."},
      {"a scroll of the undead school for the living", "base_scroll_blank",
       [](SPlayer& p, SItem& item) {
         Living(p, 10);
         UndeadScroll(item);
       },
       "You can't read this scroll."},
      {"the same scroll for the undead", "base_scroll_blank",
       [](SPlayer& p, SItem& item) {
         p.race = 1;
         UndeadScroll(item);
       },
       ""},
      {"a scroll of fire for anyone", "base_scroll_fireball", [](SPlayer& p, SItem&) { Living(p, 10); }, ""},
      {"a wand without charges", "base_wand_lightning",
       [](SPlayer& p, SItem& item) {
         Living(p, 10);
         item.count = 0;
       },
       "You can't use this wand."},
      {"a wand with charges", "base_wand_lightning", [](SPlayer& p, SItem&) { Living(p, 10); }, ""},
  };
  return cases;
}

std::vector<std::string> Expected(const char* note) {
  return *note ? std::vector<std::string>{note} : std::vector<std::string>{};
}

// What the shop leaves unseen of the selected item's description, painted as a player sees it: its pages
// past the first (the shop turns none) and the lines its place cuts off; "" when it shows whole.
std::string Unshown(ServicesScreen& s) {
  const STitleTextCtrl& d = s.shop().description;
  std::string unseen;
  for (u32 i = 1; i < d.PageCount(); ++i) unseen += "page " + std::to_string(i + 1) + " unseen; ";
  TextRecord texts(s.game);
  SDisplay& display = *s.core().display;
  if (!display.FlipAndBegin()) return "no frame to paint";
  s.shop().SetFullRepaint();
  s.shop().Paint();
  display.Present();
  const std::vector<TextRecord::Text> drawn = texts.byControl(&d);
  if (drawn.empty()) unseen += "nothing drawn; ";
  for (const TextRecord::Text& t : drawn)
    if (t.cut) unseen += "cut: " + t.describe() + "; ";
  return unseen.empty() ? "" : unseen + "body: " + Body(d);
}

// The item types a shop of the world can stock: for each person with a shop, the types of every class it
// deals in at its stock level and the next, from which its restocking draws.
std::set<SItemType*> StockedTypes(SGameCore& core) {
  std::set<SItemType*> types;
  const SItemTable& items = core.world.items;
  for (const SNpc* person : core.world.rules.people.records) {
    const u32 level = person ? person->StockLevel() : 0;
    if (!level) continue;
    for (u32 c = 1; c < kItemClasses; ++c) {
      if (!(person->categories & SItemTable::kClassFlags[c])) continue;
      for (u32 l = level; l <= std::min(level + 1, 5u); ++l)
        for (u32 i = 0; i < items.LevelClassCount(l, c); ++i)
          if (SItemType* t = items.TypeAt(l, c, i)) types.insert(t);
    }
  }
  return types;
}

}  // namespace

TEST(ItemTexts, ThePackSaysWhatThePlayerCanDoWithAnItem) {
  for (i32 mode : {7, 10}) {
    InventoryGame g(GameHarness::forMode(mode));
    ASSERT_TRUE(g.Open()) << mode;
    for (const NoteCase& c : NoteCases()) {
      SCOPED_TRACE(std::string("mode ") + std::to_string(mode) + ": " + c.what);
      g.player().inventory.DeleteAllItems();
      SItem* item = g.Make(c.type);
      ASSERT_NE(item, nullptr);
      c.set(g.player(), *item);
      g.Refresh();
      ASSERT_TRUE(g.Select(c.type));
      EXPECT_EQ(NotesOf(Body(g.inv().description)), Expected(c.note)) << Body(g.inv().description);
    }
  }
}

// Reading a skill book in the pack turns its note from unread to read.
TEST(ItemTexts, ReadingABookInThePackChangesItsNote) {
  InventoryGame g;
  ASSERT_TRUE(g.Open());
  Living(g.player(), 10);
  g.Make("base_book_swords");
  g.Refresh();
  ASSERT_TRUE(g.Select("base_book_swords"));
  EXPECT_EQ(NotesOf(Body(g.inv().description)), Expected("You haven't read this book yet."));
  g.game.tapControl(SStateInventory::kUseId);
  ASSERT_EQ(g.inv().page, SStateInventory::kReadingPage);
  g.game.frame();
  g.game.press(3006);  // Ok of the message
  g.game.tapControl(SDialogItemRead::kCloseId);
  ASSERT_EQ(g.inv().page, SStateInventory::kItemsPage);
  ASSERT_TRUE(g.Select("base_book_swords"));
  EXPECT_EQ(NotesOf(Body(g.inv().description)), Expected("You have already read this book."));
}

// The shop shows the first page of a description and turns no pages: on every screen that page holds the
// whole description, the note with it, and is drawn whole.
TEST(ItemTexts, TheShopSaysWhatThePlayerCanDoWithAnItem) {
  for (i32 mode : GameHarness::deviceModes()) {
    ServicesScreen s(mode);
    ASSERT_TRUE(s.entered) << mode;
    ASSERT_TRUE(s.Visit("base_merchant")) << mode;
    for (const NoteCase& c : NoteCases()) {
      SCOPED_TRACE(std::string("mode ") + std::to_string(mode) + ": " + c.what);
      SItemContainer& stock = s.Stock(7);
      SItem* item = s.NewItem(c.type);
      ASSERT_NE(item, nullptr);
      item->count = item->type->DefaultCount(-1, *s.core().random);
      c.set(s.core().player, *item);
      stock.AddItem(item);
      ASSERT_TRUE(s.OpenShop(7));
      ASSERT_EQ(s.shop().grid.SlotCount(), 1u);
      s.shop().grid.Select(0);
      s.shop().OnCommand(SStateShop::kGridId);
      EXPECT_EQ(NotesOf(Body(s.shop().description, 1)), Expected(c.note)) << Body(s.shop().description);
      EXPECT_EQ(Unshown(s), "");
      s.Tap(SStateShop::kLeave);
      ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateDialogInterior), 10));
    }
  }
}

// Every item a shop of the world stocks shows its whole description on every screen: the longest of them (a
// weapon's damage, weight, alignment, outfit, condition and enchanting) fills the most lines. On 320x240 the
// grid of 4 by 4 cells leaves the description a column of 134 pixels and room for 7 lines of it, so the two
// weapons whose texts wrap to 8 and 9 lines there show all but their last.
TEST(ItemTexts, TheShopShowsWholeEveryItemTheWorldsShopsStock) {
  const std::set<std::pair<i32, std::string>> shortOfRoom = {{6, "base_weap_longsword"}, {6, "base_weap_axe"}};
  for (i32 mode : GameHarness::deviceModes()) {
    ServicesScreen s(mode);
    ASSERT_TRUE(s.entered) << mode;
    ASSERT_TRUE(s.Visit("base_merchant")) << mode;
    SItemContainer& stock = s.Stock(7);
    const std::set<SItemType*> types = StockedTypes(s.core());
    ASSERT_FALSE(types.empty());
    for (SItemType* type : types) stock.AddItemsOfType(type, 1, *s.core().random);
    ASSERT_TRUE(s.OpenShop(7));
    std::set<const SItemType*> seen;
    for (u32 i = 0; i < s.shop().grid.SlotCount(); ++i) {
      s.shop().grid.Select(i32(i));
      s.shop().OnCommand(SStateShop::kGridId);
      const SItemType* type = s.shop().grid.selectedSlot->type;
      seen.insert(type);
      if (shortOfRoom.count({mode, type->name.Text()})) {
        EXPECT_EQ(s.shop().description.PageCount(), 2u) << "mode " << mode << ": " << type->name.Text();
        continue;
      }
      EXPECT_EQ(Unshown(s), "") << "mode " << mode << ": " << type->name.Text();
    }
    EXPECT_EQ(seen.size(), types.size()) << mode;
  }
}

// The shop shows the first page of a description and no more: on every screen it holds the whole of what a
// tool says (its weight and its condition), the hammer that came without its condition among them.
TEST(ItemTexts, TheShopShowsAToolsConditionOnEveryScreen) {
  for (i32 mode : GameHarness::deviceModes()) {
    ServicesScreen s(mode);
    ASSERT_TRUE(s.entered) << mode;
    ASSERT_TRUE(s.Visit("base_merchant")) << mode;
    for (const char* type : {"base_repair_hammer", "base_alch_mortar", "base_key_lockpick"}) {
      SCOPED_TRACE(std::string("mode ") + std::to_string(mode) + ": " + type);
      s.Stock(7).AddItem(s.NewItem(type));
      ASSERT_TRUE(s.OpenShop(7));
      s.shop().grid.Select(0);
      s.shop().OnCommand(SStateShop::kGridId);
      const STitleTextCtrl& d = s.shop().description;
      EXPECT_EQ(d.PageCount(), 1u) << Body(d);
      EXPECT_NE(Squeezed(Body(d)).find("Condition:"), std::string::npos) << Body(d);
      s.Tap(SStateShop::kLeave);
      ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateDialogInterior), 10));
    }
  }
}

namespace {

// Whether a type is listed for repair: weapons but missiles, and armour.
bool Repairable(const SItemType& t) {
  return (t.itemClass == kItemWeapon && !t.IsMissile()) || t.itemClass == kItemHeavyArmor ||
         t.itemClass == kItemLightArmor;
}

// The list's rows whose text is wider than the room left of its right column.
std::vector<std::string> CutRows(SDialogListCtrl& list) {
  std::vector<std::string> cut;
  if (!list.font) return {"(no font)"};
  list.font->Select(i32(list.fontNumber), 0, 0);
  const i32 room = list.width - list.rightColumnWidth - 2;
  for (u32 i = 0; i < list.RowCount(); ++i) {
    const char* text = list.Row(i32(i))->text.CStr();
    if (text && list.font->TextWidth(text) > room) cut.push_back(text);
  }
  return cut;
}

}  // namespace

// The repair lists show a name beside a fixed column and cut what does not fit: every weapon and armour of
// the sample world is named whole in both, the hammer's and the repair shop's, on every screen.
TEST(ItemTexts, EveryWeaponAndArmourIsNamedWholeInTheRepairLists) {
  for (i32 mode : GameHarness::deviceModes()) {
    SCOPED_TRACE("mode " + std::to_string(mode));
    {
      ServicesScreen s(mode);
      ASSERT_TRUE(s.entered);
      SPlayer& p = s.core().player;
      p.inventory.DeleteAllItems();
      u32 listed = 0;
      for (SItemType* t : s.core().world.items.types)
        if (Repairable(*t)) {
          SItem* item = s.NewItem(t->name.Text());
          item->count = u16(t->maxCondition / 2);
          p.inventory.AddItem(item);
          ++listed;
        }
      ASSERT_TRUE(s.Visit("base_merchant"));
      s.Tap(SStateDialogInterior::kRepair);
      SDialogRepairShop& shop = s.interior().repairShop;
      ASSERT_EQ(s.game.openChild(), &shop);
      ASSERT_EQ(shop.list.RowCount(), listed);
      EXPECT_EQ(CutRows(shop.list), std::vector<std::string>{}) << "the repair shop";
    }
    {
      InventoryGame g(GameHarness::forMode(mode));
      ASSERT_TRUE(g.Open());
      u32 listed = 0;
      for (SItemType* t : g.core().world.items.types)
        if (Repairable(*t)) {
          g.Make(t->name.Text(), nullptr, 50);
          ++listed;
        }
      g.Make("base_repair_hammer");
      g.Refresh();
      ASSERT_TRUE(g.Select("base_repair_hammer"));
      g.game.tapControl(SStateInventory::kUseId);
      ASSERT_EQ(g.inv().page, SStateInventory::kRepairPage);
      ASSERT_EQ(g.inv().repair.list.RowCount(), listed);
      EXPECT_EQ(CutRows(g.inv().repair.list), std::vector<std::string>{}) << "the hammer's";
    }
  }
}
