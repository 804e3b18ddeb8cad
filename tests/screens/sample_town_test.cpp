// The sample town as a new player finds it: behind every city door that offers "Buy/sell" lies stock, a
// repair hammer that outlasts the start kit's is on sale, the inn always sells healing, drink and food, the
// merchant's talk of the cellar leads on to the lever, and the tinker by the fire sells books, scrolls,
// potions and what alchemy needs.
#include "ServicesScreen.h"
#include "foundation/SRandom.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

TEST(SampleTown, EveryCityDoorsBuyAndSellOffersStockAndAHammerThatLasts) {
  ServicesScreen s;
  ASSERT_TRUE(s.entered);
  SStateGame& state = s.state();
  const SItemType* apprentice = s.Type("base_repair_hammerapprentice");
  ASSERT_NE(apprentice, nullptr);
  // At skill 10 a try wears a hammer by 55 to 109; the start kit's hammer is given for some ten tries at
  // the worst, above the 10 percent at which it is put away.
  EXPECT_GE((apprentice->maxCondition - apprentice->maxCondition / 10) / 109, 10) << apprentice->maxCondition;

  u32 shops = 0, betterHammers = 0;
  for (const CityDoor& d : CityDoorsInWindow(state)) {
    SMapObjectInst* door = d.door;
    SMapArea* area = d.area;
    ASSERT_NE(door, nullptr);
    SCOPED_TRACE(door->targetText ? door->targetText : "(nobody)");
    const SNpc* person = s.Person(door->targetText);
    ASSERT_NE(person, nullptr);
    if (!(person->params[3] & SStateDialogInterior::kFlagBuySell)) continue;
    state.window.minutes = 1440 + 12 * 60;
    ASSERT_EQ(state.EnterService(door, door->targetText, area, false), 1u);
    ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateDialogInterior), 20));
    s.game.frame();
    s.Tap(SStateDialogInterior::kBuySell);
    ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateShop), 5));
    ASSERT_NE(s.shop().stock, nullptr);
    EXPECT_GT(s.shop().grid.SlotCount(), 0u);
    ++shops;
    for (const SItem* item : s.shop().stock->items)
      if (item->type->itemClass == kItemRepair && item->type->maxCondition > apprentice->maxCondition) ++betterHammers;
    s.Tap(SStateShop::kLeave);
    ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateDialogInterior), 5));
    s.Tap(SStateDialogInterior::kLeave);
    ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateGame), 5));
  }
  EXPECT_EQ(shops, 2u) << "the inn's and the shop's";
  EXPECT_GT(betterHammers, 0u);
}

// Whenever Mara stocks her inn (a new game, or a week later), she sells healing draughts, ale, and food and
// drink for the living and for the undead.
TEST(SampleTown, TheInnAlwaysSellsHealingDrinkAndFood) {
  ServicesScreen s;
  ASSERT_TRUE(s.entered);
  const SNpc* mara = s.Person("base_innkeeper");
  ASSERT_NE(mara, nullptr);
  for (u32 seed = 1; seed <= 100; ++seed) {
    SCOPED_TRACE(seed);
    SRandom random;
    random.Seed(&random, seed);
    SItemContainer stock;
    u8 stocked = 0;
    mara->RestockShop(s.core().world.rules, &stock, stocked, random);
    std::set<std::string> kinds;
    for (const SItem* item : stock.items) {
      const SItemType* t = item->type;
      const std::string who = t->flags & 8 ? " for the undead" : "";
      if (t->name.Equals("base_potion_heal")) kinds.insert("healing");
      if (t->name.Equals("base_potion_ale")) kinds.insert("ale");
      if (t->itemClass == kItemComestible) kinds.insert((t->subtype == 1 ? "food" : "drink") + who);
    }
    EXPECT_EQ(kinds, (std::set<std::string>{"ale", "drink", "drink for the undead", "food", "food for the undead",
                                            "healing"}));
  }
}

namespace {
int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}
}  // namespace

// Hobb's "Cellar" gives the store room's hint, and once the player has taken the cellar quest the lever's
// after it.
TEST(SampleTown, TheMerchantsCellarTopicLeadsOnToTheLeverOnceTheQuestIsTaken) {
  const std::string door = "Thestoreroomdownthereislockedandtrapped.Itskeyliesintheoldchestbythewestwall.";
  const std::string lever = "Theysayaleverbythenorthwallopenstheoldvault.";
  for (const bool quest : {false, true}) {
    SCOPED_TRACE(quest ? "with the quest" : "without it");
    ServicesScreen s;
    ASSERT_TRUE(s.entered);
    if (quest) {
      s.core().player.AddQuest("base_quest_cellar");
      for (int i = 0; i < 5 && !s.game.waitUntil(GameHarness::gameIdle(), 2); ++i)
        s.game.press(3006);  // past the quest's message
      ASSERT_TRUE(s.game.waitUntil(GameHarness::gameIdle(), 2));
    }
    ASSERT_TRUE(s.Visit("base_merchant"));
    s.Tap(SStateDialogInterior::kTalk);
    ASSERT_TRUE(s.Opened());
    u32 cellar = s.talk().TopicCount();
    for (u32 i = 0; i < s.talk().TopicCount(); ++i)
      if (std::string(s.talk().Topic(i)->title ? s.talk().Topic(i)->title : "") == "Cellar") cellar = i;
    ASSERT_LT(cellar, s.talk().TopicCount());
    for (int time = 0; time < 2; ++time) {  // the same again when asked again
      s.Tap(SStateDialog::kTopic + cellar);
      s.game.frame(10);
      std::string said;  // wrapping splits lines: the words alone, in order
      for (const std::string& line : s.Lines())
        for (char c : line)
          if (c != ' ') said += c;
      EXPECT_EQ(Count(said, door), time + 1) << s.LastLines(6);
      EXPECT_EQ(Count(said, lever), quest ? time + 1 : 0) << s.LastLines(6);
    }
  }
}

// Snoring Tam dozes by the fire pit in the town's north-west: by day he wakes to a player who comes up to
// him and sells what a reader and a mixer of potions look for: books, scrolls, potions, ingredients and a
// mortar.
TEST(SampleTown, SnoringTamByTheFireSellsWhatIsReadAndMixed) {
  ConversationScreen c(7, 1440 + 12 * 60, true);
  ASSERT_TRUE(c.entered);
  ASSERT_TRUE(c.Enter("base_out0101", 11, 11, 0, 1440 + 12 * 60));  // the town's (4, 4): Tam to the north
  c.game.press(kActionUse);
  ASSERT_TRUE(c.Opened());
  ASSERT_FALSE(c.Lines().empty());
  EXPECT_EQ(c.Lines()[0].rfind("- Mm? Oh, a customer.", 0), 0u) << c.Lines()[0];
  c.Tap(SStateDialog::kBuySell);
  ASSERT_TRUE(c.game.waitUntil(GameHarness::stateIs(kStateShop), 5));
  const SStateShop& shop = *static_cast<SStateShop*>(c.core().states[kStateShop]);
  ASSERT_NE(shop.stock, nullptr);
  std::set<std::string> kinds;
  for (const SItem* item : shop.stock->items) {
    const SItemType* t = item->type;
    if (t->itemClass == kItemBook && t->subtype == 1) kinds.insert("book");
    if (t->itemClass == kItemMagic && t->subtype == 1) kinds.insert("scroll");
    if (t->itemClass == kItemPotion) kinds.insert("potion");
    if (t->itemClass == kItemIngredient) kinds.insert("ingredient");
    if (t->itemClass == kItemAlchemy) kinds.insert("mortar");
  }
  EXPECT_EQ(kinds, (std::set<std::string>{"book", "ingredient", "mortar", "potion", "scroll"}));
}
