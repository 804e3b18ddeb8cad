// The inventory's other actions through the real program: reading, dropping and taking between the pack
// and a bag (with a random walk that checks no item is in two places), closing with the load warnings,
// the main menu and back, the face choice and the name editor.
#include "InventoryGame.h"
#include "core/ui/SDialogMessage.h"
#include "foundation/SRandom.h"
#include "foundation/TimeUtil.h"
#include "world/SEffect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

bool HasSound(const GameHarness& game, const std::string& name) {
  for (const GameHarness::Sound& s : game.sounds())
    if (s.name == name) return true;
  return false;
}

std::string BoxText(SDialogItemRead& reading) {
  std::string text;
  for (u32 i = 0; i < reading.boxText.page.Count(); ++i)
    if (const char* t = reading.boxText.page.At(i)->text.CStr()) text += std::string(text.empty() ? "" : " ") + t;
  for (u32 i = reading.boxText.firstWaiting; i < reading.boxText.waiting.Count(); ++i)
    if (const char* t = reading.boxText.waiting.At(i)->text.CStr()) text += std::string(text.empty() ? "" : " ") + t;
  return text;
}

// A living reader (race 2) who may still learn light weapons (skill 2, governed by attribute 2).
SPlayer& Reader(InventoryGame& g, u16 lightWeapon) {
  SPlayer& p = g.player();
  p.race = 2;
  p.attributes[2] = 40;
  p.skills[2] = lightWeapon;
  return p;
}

}  // namespace

// The skill book raises its skill once; the spellbook teaches its spell, another book of the same spell
// says it is known, and school 1 is refused to the undead; a letter opens untitled with its own sound;
// one page shows no page buttons, several do.
TEST(InventoryActions, Reading) {
  InventoryGame g;
  ASSERT_TRUE(g.Open());
  SPlayer& p = Reader(g, 10);
  g.Make("base_book_swords");
  g.Make("base_spellbook_cure");
  g.Make("base_spbookcurelightwounds");
  g.Make("base_book_letter");
  g.Make("base_book_almanac");
  g.Refresh();

  ASSERT_TRUE(g.Select("base_book_swords"));
  g.game.tapControl(SStateInventory::kUseId);
  EXPECT_EQ(g.inv().page, SStateInventory::kReadingPage);
  EXPECT_EQ(g.inv().reading.kind, SDialogItemRead::kBook);
  EXPECT_EQ(p.skills[2], 11);
  EXPECT_EQ(g.game.openChild(), &g.inv().reading.box);
  EXPECT_EQ(BoxText(g.inv().reading), "Your Light Weapon skill has been increased by 1.");
  EXPECT_FALSE(g.inv().reading.next.IsShown());  // one page
  g.game.frame();
  g.game.press(3006);  // Ok of the box
  EXPECT_EQ(g.game.openChild(), &g.inv().reading);
  g.game.tapControl(SDialogItemRead::kCloseId);
  EXPECT_EQ(g.inv().page, SStateInventory::kItemsPage);
  EXPECT_TRUE(HasSound(g.game, "bsnd_bookclose"));
  ASSERT_TRUE(g.Select("base_book_swords"));
  g.game.tapControl(SStateInventory::kUseId);
  EXPECT_EQ(p.skills[2], 11);  // once only
  EXPECT_EQ(g.game.openChild(), &g.inv().reading);
  g.game.tapControl(SDialogItemRead::kCloseId);

  ASSERT_TRUE(g.Select("base_spellbook_cure"));
  g.game.tapControl(SStateInventory::kUseId);
  EXPECT_EQ(g.inv().reading.kind, SDialogItemRead::kSpellbook);
  EXPECT_EQ(BoxText(g.inv().reading), "You learn the Cure light wounds spell.");
  EXPECT_TRUE(p.KnowsSpell("base_spellcurelightwounds"));
  g.game.frame();
  g.game.press(3006);
  g.game.tapControl(SDialogItemRead::kCloseId);
  ASSERT_TRUE(g.Select("base_spbookcurelightwounds"));
  g.game.tapControl(SStateInventory::kUseId);
  EXPECT_EQ(BoxText(g.inv().reading), "You already know this spell.");
  g.game.frame();
  g.game.press(3006);
  g.game.tapControl(SDialogItemRead::kCloseId);

  ASSERT_TRUE(g.Select("base_book_letter"));
  g.game.tapControl(SStateInventory::kUseId);
  EXPECT_EQ(g.inv().reading.kind, SDialogItemRead::kLetter);
  EXPECT_STREQ(g.inv().reading.text.title.CStr(), "");
  EXPECT_TRUE(HasSound(g.game, "bsnd_letteropenclose"));
  g.game.tapControl(SDialogItemRead::kCloseId);

  ASSERT_TRUE(g.Select("base_book_almanac"));
  g.game.tapControl(SStateInventory::kUseId);
  EXPECT_EQ(g.game.openChild(), &g.inv().reading);  // no effects: no message
  ASSERT_GT(g.inv().reading.PageCount(), 1u);
  EXPECT_TRUE(g.inv().reading.next.IsVisible());
  EXPECT_FALSE(g.inv().reading.previous.IsEnabled());
  g.game.tapControl(SDialogItemRead::kNextId);
  EXPECT_EQ(g.inv().reading.page, 1);
  EXPECT_TRUE(g.inv().reading.previous.IsEnabled());
  EXPECT_TRUE(HasSound(g.game, "bsnd_bookpage"));
  EXPECT_TRUE(p.HasReadItem("base_book_almanac"));
  g.game.tapControl(SDialogItemRead::kCloseId);

  // The undead cannot learn school 1.
  p.race = 1;
  p.ClearKnownSpells();
  p.itemsRead.Clear();
  ASSERT_TRUE(g.Select("base_spellbook_cure"));
  g.game.tapControl(SStateInventory::kUseId);
  EXPECT_EQ(BoxText(g.inv().reading), "You can't learn Heal Magic spells, because you're undead.");
  EXPECT_FALSE(p.KnowsSpell("base_spellcurelightwounds"));
}

// Every book, letter, map and spellbook of the sample world opens on its text: each page the reading
// dialog turns to holds words, on the compact screen and on the large one.
TEST(InventoryActions, EveryReadableItemHasTextOnEveryPage) {
  for (const i32 mode : {7, 10}) {
    InventoryGame g(GameHarness::forMode(mode));
    ASSERT_TRUE(g.Open()) << mode;
    g.player().race = 2;
    u32 read = 0;
    for (const SItemType* type : g.core().world.items.types) {
      const bool readable = (type->itemClass == 5 && type->subtype >= 1 && type->subtype <= 3) ||
                            (type->itemClass == 9 && type->subtype == 2);
      if (!readable || (type->flags & 16)) continue;  // flag 16: not for the player to open
      const std::string name = type->name.Text();
      g.player().inventory.DeleteAllItems();
      g.Make(name.c_str());
      g.Refresh();
      ASSERT_TRUE(g.Select(name.c_str())) << name;
      g.game.tapControl(SStateInventory::kUseId);
      SDialogItemRead& reading = g.inv().reading;
      if (g.game.openChild() == &reading.box) {  // what reading taught, over the first page
        g.game.frame();
        g.game.press(3006);
      }
      ASSERT_EQ(g.game.openChild(), &reading) << name;
      for (u32 page = 0; page < reading.PageCount(); ++page) {
        if (page) g.game.tapControl(SDialogItemRead::kNextId);
        ASSERT_EQ(reading.page, i32(page)) << name;
        const char* shown = reading.text.pages[page].CStr();
        EXPECT_TRUE(shown && std::string(shown).find_first_not_of(" \r") != std::string::npos)
            << name << " in mode " << mode << ": page " << page + 1 << " of " << reading.PageCount() << " is blank";
      }
      g.game.tapControl(SDialogItemRead::kCloseId);
      ++read;
    }
    EXPECT_GE(read, 17u) << "the race books, the spellbooks and the other written things";
  }
}

// A skill book whose effect names no skill teaches nothing and counts as read; a negative amount lowers
// the skill to no less than 0.
TEST(InventoryActions, SkillBooksFromOddData) {
  InventoryGame g;
  ASSERT_TRUE(g.Open());
  SPlayer& p = Reader(g, 3);
  SItemType* notes = g.Type("base_book_notes");
  ASSERT_NE(notes, nullptr);
  const struct {
    const char* skill;
    i16 amount;
    const char* message;
    u16 after;
  } cases[] = {
      {"base_nosuchskill", 5, "You can't learn from this book.", 3},
      {"base_lightweapon", -50, "Your Light Weapon skill has been decreased by 50.", 0},
  };
  for (const auto& c : cases) {
    SEffectList* list = new SEffectList;
    SEffect* e = new SEffect;
    e->SetName(c.skill);
    e->base = c.amount;
    list->Add(e);
    delete notes->enchantment;
    notes->enchantment = list;
    p.itemsRead.Clear();
    p.inventory.DeleteAllItems();
    g.Make("base_book_notes");
    g.Refresh();
    ASSERT_TRUE(g.Select("base_book_notes"));
    g.game.tapControl(SStateInventory::kUseId);
    EXPECT_EQ(BoxText(g.inv().reading), c.message) << c.skill;
    EXPECT_EQ(p.skills[2], c.after) << c.skill;
    EXPECT_TRUE(p.HasReadItem("base_book_notes")) << c.skill;
    g.game.frame();
    g.game.press(3006);
    g.game.tapControl(SDialogItemRead::kCloseId);
  }
  delete notes->enchantment;
  notes->enchantment = nullptr;
}

// Dropping and taking between the pack and the bag: the views, counts, money capped at 1,000,000,000,
// the gold and pack text; a double tap within 400 ms takes, one after 401 ms only selects.
TEST(InventoryActions, DropAndTake) {
  InventoryGame g;
  ASSERT_TRUE(g.Open());
  SItemContainer* bag = g.inv().container;
  ASSERT_NE(bag, nullptr);
  g.Make("base_food_bread");
  g.Make("base_food_bread");
  g.Refresh();
  ASSERT_EQ(g.inv().grid.Slot(0)->count, 2);
  g.game.tapControl(SStateInventory::kDropId);
  EXPECT_EQ(g.player().inventory.GetItemCount(), 1u);
  EXPECT_EQ(bag->GetItemCount(), 1u);
  EXPECT_EQ(g.Title(), "You have dropped an item of Bread.");
  EXPECT_EQ(g.inv().grid.selected, 0);
  EXPECT_EQ(g.inv().grid.Slot(0)->count, 1);

  g.game.tapControl(SStateInventory::kTakeId);  // to the bag's view
  EXPECT_EQ(g.inv().containerView, 1u);
  g.Make("base_money_100", bag);
  g.player().money = kMoneyCap - 30;
  g.Refresh();
  ASSERT_TRUE(g.Select("base_money_100"));
  g.game.tapControl(SStateInventory::kTakeId);
  EXPECT_EQ(g.player().money, kMoneyCap);
  SString taken("You have taken 100 gold.");
  SGameCore::ConvertNumberGlyphs(taken);  // the digits in the game font's small glyphs
  EXPECT_EQ(g.Title(), taken.CStr());
  EXPECT_EQ(std::string(g.inv().goldText.text.CStr()).rfind("Gold:", 0), 0u);

  // Double taps on the bread's cell.
  ASSERT_TRUE(g.Select("base_food_bread"));
  g.inv().lastTapped = g.inv().grid.selected;
  g.inv().lastTapTick = GetTicks() - 401;
  g.inv().OnCommand(SStateInventory::kGridId);
  EXPECT_EQ(bag->GetItemCount(), 1u);  // only selected
  g.inv().lastTapTick = GetTicks() - 400;
  g.inv().OnCommand(SStateInventory::kGridId);
  EXPECT_EQ(bag->GetItemCount(), 0u);
  EXPECT_EQ(g.player().inventory.GetItemCount(), 2u);
  EXPECT_EQ(g.inv().lastTapped, -1);

  g.game.tapControl(SStateInventory::kDropId);  // back to the pack
  EXPECT_EQ(g.inv().containerView, 0u);

  // A timed message gives the title back to the item once its 3 seconds are over.
  ASSERT_TRUE(g.Select("base_food_bread"));
  g.inv().ShowTimedMessage("A moment.");
  g.game.frame();
  EXPECT_EQ(g.Title(), "A moment.");
  g.inv().statusDeadline = GetTicks() - 1;
  g.game.frame();
  EXPECT_EQ(g.Title(), "Bread");
}

// Without a container nothing can be dropped or shown; the close key leaves.
TEST(InventoryActions, NoContainer) {
  InventoryGame g;
  ASSERT_TRUE(g.Open());
  g.game.tapControl(SStateInventory::kCloseId);
  ASSERT_TRUE(g.game.waitUntil(GameHarness::stateIs(kStateGame), 10));
  g.inv().PrepareEntry(nullptr, nullptr, nullptr);
  g.state().keep = 1;  // as the bag button does, on a cell that takes no bag
  g.game.setState(kStateInventory, 1);
  g.Make("base_food_bread");
  g.Refresh();
  EXPECT_FALSE(g.inv().dropButton.IsEnabled());
  EXPECT_FALSE(g.inv().takeButton.IsEnabled());
  g.inv().OnCommand(SStateInventory::kDropId);
  g.inv().OnCommand(SStateInventory::kTakeId);
  EXPECT_EQ(g.player().inventory.GetItemCount(), 1u);
  EXPECT_EQ(g.inv().containerView, 0u);
  g.core().OnKey(SStateInventory::kCloseAction);  // the close action (no key of this device is bound to it)
  EXPECT_TRUE(g.game.waitUntil(GameHarness::stateIs(kStateGame), 10));
}

// Random drops, takes and view changes over a pack and a bag of like items (one worn, enchanted and plain
// ones, missiles of two counts): after each step every cell's item is in the shown list, no item is in
// two cells or in both lists, and each listed item of the category belongs to one cell.
TEST(InventoryActions, StacksNeverShareAnItem) {
  InventoryGame g;
  ASSERT_TRUE(g.Open());
  SItemContainer* bag = g.inv().container;
  SPlayer& p = g.player();
  SItem* worn = g.Make("base_weap_daggers");
  worn->count = 12;
  for (u32 i = 0; i < 3; ++i) g.Make("base_weap_daggers")->count = 12;
  for (u32 i = 0; i < 2; ++i) g.Make("base_weap_daggers")->count = 15;
  for (u32 i = 0; i < 2; ++i) {
    SItem* magic = g.Make("base_weap_daggers", i ? bag : nullptr);
    magic->count = 12;
    magic->enchantments = new SEffectList;
    magic->enchantments->Add(new SEffect(3));
  }
  g.Make("base_weap_daggers", bag)->count = 15;
  p.EquipItem(worn, false);
  g.Refresh();
  SRandom random;
  random.Seed(nullptr, 35);
  u32 moves = 0;
  for (u32 step = 0; step < 400; ++step) {
    SStateInventory& inv = g.inv();
    const u32 n = inv.grid.SlotCount();
    if (n) inv.grid.Select(i32(random.Next(i32(n))));
    const u32 packBefore = p.inventory.GetItemCount();
    const u32 action = u32(random.Next(10));
    if (action == 0) {
      inv.OnCommand(inv.containerView ? SStateInventory::kDropId : SStateInventory::kTakeId);  // the other view
    } else {
      inv.OnCommand(inv.containerView ? SStateInventory::kTakeId : SStateInventory::kDropId);
    }
    const SItemContainer* shown = inv.ShownList();
    std::set<const SItem*> inSlots;
    for (u32 i = 0; i < inv.grid.SlotCount(); ++i) {
      const SItem* item = inv.grid.Slot(i32(i))->item;
      ASSERT_TRUE(std::find(shown->items.begin(), shown->items.end(), item) != shown->items.end()) << step;
      ASSERT_TRUE(inSlots.insert(item).second) << step;
    }
    u32 stacked = 0;
    for (u32 i = 0; i < inv.grid.SlotCount(); ++i) stacked += inv.grid.Slot(i32(i))->count;
    ASSERT_EQ(stacked, shown->GetItemCount()) << step;
    for (const SItem* item : p.inventory.items)
      ASSERT_TRUE(std::find(bag->items.begin(), bag->items.end(), item) == bag->items.end()) << step;
    ASSERT_EQ(p.inventory.GetItemCount() + bag->GetItemCount(), 9u) << step;
    if (p.inventory.GetItemCount() != packBefore) ++moves;
    for (u32 slot = 1; slot <= kEquipmentSlots; ++slot) {
      if (const SItem* e = p.Equipped(slot)) {
        ASSERT_TRUE(std::find(p.inventory.items.begin(), p.inventory.items.end(), e) != p.inventory.items.end());
      }
    }
  }
  EXPECT_GT(moves, 100u);
}

// Closing: the load warnings by weight against the capacity; the main menu keeps the page shown;
// Enter always starts on the items page.
TEST(InventoryActions, ClosingAndTheMainMenu) {
  InventoryGame g;
  ASSERT_TRUE(g.Open());
  SPlayer& p = g.player();
  const i32 capacity = p.GetCarryCapacity();
  ASSERT_GT(capacity, 2);
  SItemType* anvil = g.Type("base_misc_anvil");
  SItemType* notes = g.Type("base_book_notes");
  const u16 savedWeight = anvil->weight, savedNotes = notes->weight;
  const struct {
    i64 weight;
    const char* message;
  } cases[] = {
      {capacity, nullptr},
      {capacity + 1, "You carry too much - your attack capabilities are decreased."},
      {i64(capacity) * 3 / 2 + 1, "You carry way too much - you can't move."},
  };
  for (const auto& c : cases) {
    p.inventory.DeleteAllItems();
    // Anvils of one weight make the load, a page of notes the rest.
    const u32 count = u32((c.weight + 59999) / 60000);
    anvil->weight = u16(c.weight / count);
    for (u32 i = 0; i < count; ++i) g.Make("base_misc_anvil");
    if (const i64 rest = c.weight - i64(anvil->weight) * count) {
      notes->weight = u16(rest);
      g.Make("base_book_notes");
    }
    ASSERT_EQ(i64(p.GetInventoryWeight()), c.weight);
    const size_t before = g.game.messages().size();
    g.game.tapControl(SStateInventory::kCloseId);
    ASSERT_TRUE(g.game.waitUntil(GameHarness::stateIs(kStateGame), 10));
    bool found = false;
    for (size_t i = before; i < g.game.messages().size(); ++i)
      found = found || (c.message && g.game.messages()[i].text == c.message);
    EXPECT_EQ(found, c.message != nullptr) << c.weight;
    g.Settle();
    ASSERT_TRUE(g.Reopen());
  }
  anvil->weight = savedWeight;
  notes->weight = savedNotes;
  p.inventory.DeleteAllItems();

  // The sheet, the main menu, and back to the sheet without Enter.
  g.game.tapControl(SStateInventory::kSheetTab);
  EXPECT_EQ(g.inv().page, SStateInventory::kSheetPage);
  g.game.tapControl(SStateInventory::kMainMenuId);
  ASSERT_TRUE(g.game.waitUntil(GameHarness::stateIs(kStateMain), 10));
  EXPECT_EQ(g.game.stateStack(), (std::vector<i32>{kStateGame, kStateInventory}));
  g.game.setState(99);
  ASSERT_EQ(g.game.state(), kStateInventory);
  EXPECT_EQ(g.inv().page, SStateInventory::kSheetPage);
  g.game.tapControl(SStateInventory::kCloseId);
  ASSERT_TRUE(g.game.waitUntil(GameHarness::stateIs(kStateGame), 10));
  ASSERT_TRUE(g.Reopen());  // Enter: the items page again
}

// The face choice starts at -1 with the placeholder, steps with its arrows and sets the portrait on OK;
// OK at -1 clears it; the name editor renames.
TEST(InventoryActions, FaceAndName) {
  InventoryGame g;
  ASSERT_TRUE(g.Open());
  g.player().portrait.Assign("no_such_face");
  g.game.tapControl(SStateInventory::kSheetTab);
  g.game.tapControl(SStateInventory::kFaceId);
  ASSERT_EQ(g.game.openChild(), &g.inv().faceSelect);
  SDialogFaceSelect& faces = g.inv().faceSelect;
  EXPECT_EQ(faces.index, -1);
  EXPECT_FALSE(faces.previous.IsEnabled());
  ASSERT_GT(faces.faces.Count(), 1u);
  EXPECT_TRUE(faces.next.IsEnabled());
  g.game.tapControl(SDialogFaceSelect::kNextId);
  EXPECT_EQ(faces.index, 0);
  g.game.tapControl(SDialogFaceSelect::kNextId);
  g.game.tapControl(SDialogFaceSelect::kPrevId);
  EXPECT_EQ(faces.index, 0);
  const std::string first = faces.faces.Text(0);
  g.game.tapControl(SDialogFaceSelect::kOkId);
  EXPECT_EQ(g.game.openChild(), nullptr);
  EXPECT_EQ(g.inv().page, SStateInventory::kSheetPage);
  EXPECT_EQ(std::string(g.player().portrait.CStr()), first);

  g.player().portrait.Assign("no_such_face");
  g.game.tapControl(SStateInventory::kFaceId);
  g.game.tapControl(SDialogFaceSelect::kOkId);
  EXPECT_TRUE(g.player().portrait.IsEmpty());

  g.player().name.Assign("Old");
  g.game.tapControl(SStateInventory::kRenameId);
  ASSERT_EQ(g.game.openChild(), &g.inv().nameEdit);
  g.game.typeText("\b\b\bAnn");
  g.game.tapControl(SDialogTextEdit::kAccept);
  EXPECT_EQ(g.game.openChild(), nullptr);
  EXPECT_STREQ(g.player().name.CStr(), "Ann");
  EXPECT_EQ(g.inv().page, SStateInventory::kSheetPage);
}

// The gold and pack text on the 240x320 screen: money in full below 10,000, then K, M and B by the
// thousand; weights in hundredths as whole and tenth.
TEST(InventoryActions, GoldAndPackText) {
  InventoryGame g;
  ASSERT_TRUE(g.Open());
  ASSERT_EQ(g.core().displayMode, 7);
  SItemType* anvil = g.Type("base_misc_anvil");
  const u16 saved = anvil->weight;
  anvil->weight = 1234;
  g.Make("base_misc_anvil");
  const u32 capacity = u32(g.player().GetCarryCapacity());
  const struct {
    u32 money;
    const char* shown;
  } cases[] = {{9999, "9999"}, {10000, "10K"}, {1500000, "1M"}, {999999999, "999M"}, {1000000000, "1B"}};
  for (const auto& c : cases) {
    g.player().money = c.money;
    g.inv().SetGoldPackText();
    SString expected;
    expected.Format("Gold: %s%c\rPack: 12.3/%u.%u", c.shown, 9, capacity / 100, capacity % 100 / 10);
    SGameCore::ConvertNumberGlyphs(expected);
    EXPECT_STREQ(g.inv().goldText.text.CStr(), expected.CStr()) << c.money;
  }
  anvil->weight = saved;
}
