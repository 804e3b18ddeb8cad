// The people's services through the real screens: the interior's menu and its ways out, the shop's trades
// and refusals, the room at the inn with the rest that follows, training and the repair shop.
#include "ServicesScreen.h"
#include "core/ui/SDialogMessage.h"
#include "foundation/SRandom.h"
#include "game/SStateGame.h"
#include "graphics/SFont.h"
#include "graphics/SImage.h"
#include "os/Gdi.h"
#include "screens/SServicePrices.h"
#include "script/SGlobalVariables.h"
#include "support/GoldenText.h"
#include "support/Png.h"
#include "support/RepaintCheck.h"
#include "support/SampleBuild.h"
#include "world/SCharacterTables.h"
#include "world/SEffect.h"
#include "world/SEffectKinds.h"
#include "world/SWorldExtras.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

constexpr char kCoin[] = "\t";

std::string Money(u32 n) { return std::to_string(n) + kCoin; }

// A text without its spaces and line breaks: wrapped texts compare by their words.
std::string Squeezed(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != ' ' && c != '\r') out += c;
  return out;
}

// Whether an open dialog shows the text, however it wrapped.
bool Shows(ServicesScreen& s, const std::string& text) {
  return Squeezed(s.game.describeUi()).find(Squeezed(text)) != std::string::npos;
}

// ---- the interior

// The merchant as a player first meets him on both families of screens: his shop's menu under his portrait
// and the shop's picture, then his conversation.
TEST(Interior, TheMerchantOnBothScreens) {
  for (i32 mode : {7, 10}) {
    ServicesScreen s(mode);
    ASSERT_TRUE(s.entered);
    ASSERT_TRUE(s.Visit("base_merchant"));
    s.game.frame(2);
    const std::string size = mode == 7 ? "_240x320" : "_480x640";
    const Os::Panel& panel = s.game.panel();
    EXPECT_EQ(
        testpng::CompareGolden("merchant_menu" + size, panel.pixels.data(), panel.width, panel.height, panel.width),
        "");
    s.Tap(SStateDialogInterior::kTalk);
    ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateDialog), 5));
    s.game.frame(2);
    EXPECT_EQ(
        testpng::CompareGolden("merchant_talk" + size, panel.pixels.data(), panel.width, panel.height, panel.width),
        "");
  }
}

// The innkeeper on the large screen: her counter laid over the hall, both scaled to the picture's place,
// with the hall showing round her through the counter's clear pixels, and her own face.
TEST(Interior, TheInnkeeperBehindHerCounterOnTheLargeScreen) {
  ServicesScreen s(10);
  ASSERT_TRUE(s.entered);
  ASSERT_TRUE(s.Visit("base_innkeeper"));
  s.game.frame(2);
  const Os::Panel& panel = s.game.panel();
  EXPECT_EQ(testpng::CompareGolden("inn_menu_480x640", panel.pixels.data(), panel.width, panel.height, panel.width),
            "");
}

TEST(Interior, TheMenuFollowsTheServiceFlags) {
  ServicesScreen s;
  ASSERT_TRUE(s.entered);
  // Buy/sell, training, repair and enchanting: four, so no room for "Cards" even with its flag.
  SNpc* merchant = s.Person("base_merchant");
  merchant->params[3] |= 64;
  ASSERT_TRUE(s.Visit("base_merchant"));
  EXPECT_EQ(s.Menu(), "Talk|Buy/sell|Training|Repair|Enchant|Leave|");
  EXPECT_NE(s.interior().interior, nullptr);
  EXPECT_EQ(s.interior().welcome.text.CStr(), std::string("Come in, come in!"));
  s.Tap(SStateDialogInterior::kLeave);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateGame), 5));

  // The innkeeper: buy/sell, a room and cards; her interior plays its song.
  ASSERT_TRUE(s.Visit("base_innkeeper"));
  EXPECT_EQ(s.Menu(), "Talk|Buy/sell|Sleep|Cards|Leave|");
  EXPECT_STREQ(s.interior().musicTrack.CStr(), "bmus_surfacenight");
  s.Tap(SStateDialogInterior::kLeave);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateGame), 5));

  // Five services and cards (a person the builder refuses): the five slots fill, the rest is dropped.
  merchant->params[3] = 1 | 2 | 4 | 8 | 32 | 64;
  ASSERT_TRUE(s.Visit("base_merchant"));
  EXPECT_EQ(s.Menu(), "Talk|Buy/sell|Training|Repair|Enchant|Leave|");
  s.Tap(SStateDialogInterior::kLeave);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateGame), 5));

  // No services and an interior name without a record: no picture, no music, "Talk" and "Leave".
  merchant->params[3] = 0;
  merchant->texts[3] = "base_nowhere";
  merchant->texts[4] = nullptr;
  ASSERT_TRUE(s.Visit("base_merchant"));
  EXPECT_EQ(s.Menu(), "Talk|Leave|");
  EXPECT_EQ(s.interior().interior, nullptr);
  EXPECT_TRUE(s.interior().musicTrack.IsEmpty());
  EXPECT_EQ(s.interior().welcome.text.CStr(), std::string("- welcome message not found -"));
  s.Tap(SStateDialogInterior::kLeave);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateGame), 5));
}

TEST(Interior, TalkBackAndLeave) {
  ServicesScreen s;
  ASSERT_TRUE(s.entered);
  ASSERT_TRUE(s.Visit("base_merchant"));
  // "Talk": the conversation over the interior, with "Back" for its exit; "Back" returns to the menu.
  size_t before = s.game.sounds().size();
  s.Tap(SStateDialogInterior::kTalk);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateDialog), 5));
  ASSERT_GT(s.game.sounds().size(), before);
  EXPECT_EQ(s.game.sounds()[before].name, "#4031");
  s.game.frame(2);
  EXPECT_NE(s.Buttons().find("Back|"), std::string::npos) << s.Buttons();
  s.Tap(SStateDialog::kExit);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateDialogInterior), 5));
  EXPECT_EQ(s.game.stateStack(), std::vector<i32>{kStateGame});

  // Entered through a city door, "Leave" closes the door behind the player.
  s.Tap(SStateDialogInterior::kLeave);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateGame), 5));
  s.Switch(s.state().TalkTo(s.Person("base_merchant"), 0, true));
  ASSERT_EQ(s.game.state(), kStateDialogInterior);
  EXPECT_EQ(s.interior().doorFlag, 1u);
  before = s.game.sounds().size();
  s.Tap(SStateDialogInterior::kLeave);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateGame), 5));
  ASSERT_GT(s.game.sounds().size(), before);
  EXPECT_EQ(s.game.sounds()[before].name, "bsnd_cdoorclose");
  EXPECT_EQ(s.interior().doorFlag, 0u);

  // The output went back to the game's message line: a report outside any script reaches it.
  EXPECT_EQ(s.context().output, kOutputGameMessage);
  s.core().player.ChangeFame(1);
  const GameHarness::Message* report = nullptr;
  for (const GameHarness::Message& m : s.game.messages())
    if (m.source == "script") report = &m;
  ASSERT_NE(report, nullptr);
  EXPECT_EQ(report->text, "Your fame has been increased.");
  EXPECT_EQ(report->destination, "game message");
}

TEST(Interior, NothingToEnchantAndABetAboveThePurse) {
  ServicesScreen s;
  ASSERT_TRUE(s.entered);
  s.core().player.inventory.DeleteAllItems();
  for (SItem*& e : s.core().player.equipment) e = nullptr;
  ASSERT_TRUE(s.Visit("base_merchant"));
  s.Tap(SStateDialogInterior::kEnchant);
  ASSERT_EQ(s.game.openChild(), &s.interior().box);
  EXPECT_TRUE(Shows(s, "You don't have anything to enchant."));
  s.game.tapLabel("Ok");
  s.game.frame();
  EXPECT_EQ(s.game.openChild(), nullptr);
  s.Tap(SStateDialogInterior::kLeave);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateGame), 5));

  ASSERT_TRUE(s.Visit("base_innkeeper"));
  s.core().player.money = 5;
  s.Tap(SStateDialogInterior::kCards);
  ASSERT_EQ(s.interior().marker, u32(SStateDialogInterior::kBet));
  s.Tap(SDialogCardBet::kAccept);
  EXPECT_EQ(s.game.state(), kStateDialogInterior);
  EXPECT_TRUE(Shows(s, "You don't have enough money."));
  s.core().player.money = 500;
  s.game.tapLabel("Ok");
  s.game.frame();
  s.Tap(SStateDialogInterior::kCards);
  s.Tap(SDialogCardBet::kAccept);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateCard), 5));
}

// The answer to the enchanting's confirm is on screen with the tap that gave it, refusal or success: the
// first frame presented after the pen is lifted shows the message box, as the same state painted whole
// shows it, and the price is paid once. Closing the box shows at once what lies beneath.
TEST(Interior, TheEnchantingsAnswerShowsWithTheTap) {
  for (i32 mode : {7, 10})
    for (bool fits : {false, true}) {
      SCOPED_TRACE(testing::Message() << "mode " << mode << (fits ? ", fits" : ", too large"));
      ServicesScreen s(mode);
      ASSERT_TRUE(s.entered);
      SPlayer& p = s.core().player;
      p.inventory.DeleteAllItems();
      for (SItem*& e : p.equipment) e = nullptr;
      SItem* ring = s.NewItem("base_acc_copperring");
      ASSERT_NE(ring, nullptr);
      p.inventory.AddItem(ring);
      p.money = 5000;
      ASSERT_TRUE(s.Visit("base_merchant"));
      s.Tap(SStateDialogInterior::kEnchant);
      SDialogEnchantItem& picker = s.interior().enchanting;
      ASSERT_EQ(s.game.openChild(), &picker);
      s.game.tapRow(SDialogEnchantItem::kItems, 0);
      s.Tap(SDialogEnchantItem::kChoose);
      SDialogEnchant& e = picker.enchant;
      ASSERT_EQ(s.game.openChild(), &e);
      if (!fits) e.capacity = 0;
      s.Tap(SDialogEnchant::kAdd);
      s.Tap(SDialogEnchantEntryOther::kKeep);
      ASSERT_EQ(s.game.openChild(), &e);
      ASSERT_EQ(e.available >= 0, fits);
      const u32 price = e.price, money = p.money;
      ASSERT_GT(price, 0u);

      const i32 x = e.ok.left + e.ok.width / 2, y = e.ok.top + e.ok.height / 2;
      s.game.penDown(x, y);
      std::vector<std::vector<u16>> presented;
      s.game.onPresent = [&](const Os::Panel& panel) { presented.push_back(panel.pixels); };
      s.game.penUp(x, y);
      s.game.onPresent = nullptr;
      ASSERT_EQ(s.game.openChild(), &e.box);
      EXPECT_TRUE(Shows(s, fits ? "The enchanting was successful.\rYou pay " + std::to_string(price) + " gold."
                                : "There isn't enough available storage for this enchantment."));
      EXPECT_EQ(p.money, fits ? money - price : money);
      for (const std::string& fault : RepaintCheck::Stale(s.game)) ADD_FAILURE() << fault;
      ASSERT_FALSE(presented.empty());
      EXPECT_TRUE(presented.front() == s.game.panel().pixels) << "the first frame after the tap lacks the box";

      s.game.tapLabel("Ok");
      EXPECT_EQ(s.game.openChild(), fits ? static_cast<SDialog*>(&picker) : &e);
      EXPECT_EQ(p.money, fits ? money - price : money);
      EXPECT_EQ(ring->enchantments != nullptr, fits);
      for (const std::string& fault : RepaintCheck::Stale(s.game)) ADD_FAILURE() << fault;
    }
}

// ---- a room at the inn, and the rest

TEST(Interior, ARoomForTheNight) {
  ServicesScreen s;
  ASSERT_TRUE(s.entered);
  SPlayer& p = s.core().player;
  ASSERT_TRUE(s.Visit("base_innkeeper"));
  const u32 price = p.AdjustPrice(50, true);

  // Too little money: the refusal names the price with the coin.
  p.money = price - 1;
  s.Tap(SStateDialogInterior::kSleep);
  EXPECT_TRUE(Shows(s, "You don't have enough money to rent a room (" + Money(price) + ")."));
  s.game.tapLabel("Ok");
  s.game.frame();
  EXPECT_EQ(p.money, price - 1);

  // Exactly the price: "Yes" leaves nothing, stops the music, passes eight hours and rests; poisoned, the
  // wake-up cures it.
  p.money = price;
  p.TryPoison(5);
  const bool poisoned = p.effects[23].Count() > 0;
  const u32 minutes = s.state().window.minutes;
  s.Tap(SStateDialogInterior::kSleep);
  EXPECT_TRUE(Shows(s, "Do you want to rent a room for " + Money(price) + "?"));
  s.game.tapLabel("Yes");
  s.game.frame();
  EXPECT_EQ(p.money, 0u);
  EXPECT_EQ(s.interior().marker, u32(SStateDialogInterior::kResting));
  EXPECT_EQ(s.state().window.minutes, minutes + 8 * 60);
  SDialogRest& rest = s.interior().rest;
  EXPECT_EQ(rest.hour, 1);
  for (const SImage* fire : rest.fireFrames) EXPECT_NE(fire, nullptr);
  EXPECT_EQ(s.game.sounds().back().what, "loop");
  EXPECT_EQ(s.game.sounds().back().name, "bsnd_fire");
  EXPECT_FALSE(rest.ok.IsShown());
  bool stopped = false;
  for (const GameHarness::Sound& snd : s.game.sounds()) stopped = stopped || snd.what == "stop music";
  EXPECT_TRUE(stopped);
  // The hours count on the virtual clock, a little over a second apart.
  i32 last = rest.hour;
  u32 steps = 0;
  for (u32 f = 0; f < 600 && rest.hour < 8; ++f) {
    s.game.frame();
    if (rest.hour != last) {
      EXPECT_EQ(rest.hour, last + 1);
      last = rest.hour;
      ++steps;
    }
  }
  EXPECT_EQ(steps, 7u);
  ASSERT_EQ(rest.hour, 8);
  EXPECT_TRUE(rest.ok.IsShown());
  std::string woke =
      "As you wake up, Mara serves delicious food and water.\rYou feel you're fully rested.\r"
      "(hp and sp are increased for a while).\r";
  if (poisoned) woke += "You're no longer poisoned.\r";
  EXPECT_EQ(rest.wakeUp.text.CStr(), woke);
  EXPECT_EQ(p.effects[23].Count(), 0u);
  EXPECT_EQ(i32(p.hp), p.GetMaxHp() * 5 / 4);
  EXPECT_EQ(i32(p.mana), p.GetMaxMana() * 5 / 4);
  EXPECT_EQ(s.game.describeUi(), s.game.describeUi());  // stable
  // OK answers the pen alone: the use key leaves the morning up.
  s.game.press(3006);
  EXPECT_EQ(s.game.openChild(), &rest);
  s.Tap(SDialogRest::kOk);
  EXPECT_EQ(s.game.openChild(), nullptr);
  EXPECT_EQ(s.interior().marker, u32(SStateDialogInterior::kMenu));
  // Leaving after the night refreshes the sky and the light; leaving without one does not.
  s.state().view.fogColor = 1;
  s.Tap(SStateDialogInterior::kLeave);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateGame), 5));
  EXPECT_NE(s.state().view.fogColor, 1);
  ASSERT_TRUE(s.Settle());
  ASSERT_TRUE(s.Visit("base_innkeeper")) << s.game.summary();
  s.state().view.fogColor = 1;
  s.Tap(SStateDialogInterior::kLeave);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateGame), 5));
  EXPECT_EQ(s.state().view.fogColor, 1);
}

// The interior's rest dialog, attached, over the town.
struct RestRig : ServicesScreen {
  RestRig() { rest.Attach(&core()); }
  // Opens the rest (rained on, in the open) and brings its count to the eighth hour at once.
  void UntilMorning(const SNpc* innkeeper, u32 rained = 0) {
    rest.Open(innkeeper);
    rest.rained = rained;
    rest.hour = 7;
    rest.lastStep -= 2000;
    rest.OnTick(core().frameCounter, nullptr);
  }
  SPlayer& p = core().player;
  SDialogRest& rest = interior().rest;
};

TEST(Rest, TheInnsBonusStaysWithinTheField) {
  RestRig s;
  ASSERT_TRUE(s.entered);
  SPlayer& p = s.p;
  SDialogRest& rest = s.rest;
  // Hit points are a 16-bit field: a quarter above a huge maximum stops at its top.
  p.attributes[3] = 60000;
  const i32 maxHp = p.GetMaxHp();
  ASSERT_GT(maxHp, 52428);
  s.UntilMorning(s.Person("base_innkeeper"));
  EXPECT_EQ(rest.hour, 8);
  EXPECT_EQ(p.hp, 65535);
  rest.Reset();

  // In the open: the rain sentence, or the plain one.
  for (u32 rained : {1u, 0u}) {
    s.UntilMorning(nullptr, rained);
    EXPECT_EQ(std::string(rest.wakeUp.text.CStr()),
              std::string("You eat and drink as you wake up.\r") +
                  (rained ? "Because it was raining while you slept, your hp and sp may not have recovered fully."
                          : "Your hp and sp have been restored."));
    rest.Reset();
  }
}

// The night cures the poison of a potion or a spell, never a disease's: Grave rot keeps poisoning after the
// inn, and the wake-up text says the player is no longer poisoned only when no poison is left.
TEST(Rest, TheInnCuresItemAndSpellPoisonButNotADiseases) {
  RestRig s;
  ASSERT_TRUE(s.entered);
  SPlayer& p = s.p;
  SDialogRest& rest = s.rest;
  const std::string line = "You're no longer poisoned.\r";
  struct Case {
    bool disease;
    u32 sourceType;  // of a poison beside the disease's, 0 for none
    bool told;
  };
  for (const Case c : {Case{false, kSourceItem, true}, Case{true, 0, false}, Case{true, kSourceItem, false},
                       Case{true, kSourceSpell, false}}) {
    if (c.disease && p.effects[23].IsEmpty()) p.Infect("base_disease_rot");
    const i32 diseasePoison = c.disease ? p.GetPoisonStrength() : 0;
    if (c.sourceType) p.AddEffect(c.sourceType, 0, 7, 0, EffectKind::kPoison, 0, nullptr);
    s.UntilMorning(s.Person("base_innkeeper"));
    const std::string text = rest.wakeUp.text.CStr();
    EXPECT_EQ(text.find(line) != std::string::npos, c.told) << c.disease << " " << c.sourceType;
    ASSERT_EQ(p.effects[23].Count(), c.disease ? 1u : 0u) << c.disease << " " << c.sourceType;
    if (c.disease) {
      EXPECT_EQ(p.effects[23][0]->sourceType, u8(kSourceDisease));
    }
    EXPECT_EQ(p.GetPoisonStrength(), diseasePoison);
    rest.Reset();
  }
}

// ---- the shop

struct ShopFixture : testing::Test {
  ServicesScreen s;
  SItemContainer* stock = nullptr;

  void SetUp() override {
    ASSERT_TRUE(s.entered);
    ASSERT_TRUE(s.Visit("base_merchant"));
    stock = &s.Stock(7);
  }
  void Open() { ASSERT_TRUE(s.OpenShop(7)); }
  u32 RowCount() { return s.shop().grid.SlotCount(); }
  const SItemSlot* Row(i32 i) { return s.shop().grid.Slot(i); }
  void Select(i32 i) {
    s.shop().grid.Select(i);
    s.shop().OnCommand(SStateShop::kGridId);
  }
};

TEST_F(ShopFixture, BuyingARowOfTwoUntilItIsGone) {
  stock->AddItem(s.NewItem("base_weap_axe"));
  stock->AddItem(s.NewItem("base_weap_axe"));
  stock->AddItem(s.NewItem("base_armor_shield"));
  Open();
  SPlayer& p = s.core().player;
  ASSERT_EQ(RowCount(), 2u);
  Select(0);
  const SItemSlot* row = Row(0);
  ASSERT_STREQ(row->type->name.Text(), "base_weap_axe");
  EXPECT_EQ(row->count, 2);
  const u32 price = row->price;
  const u32 factor = u32(ServicePrices::PriceFactor(&s.core(), s.Person("base_merchant")));
  EXPECT_EQ(price, p.AdjustPrice(row->type->GetValue(s.core().world.rules, row->item) * factor / 10, true));

  // Too little gold: refused, nothing changes.
  p.money = price - 1;
  s.Tap(SStateShop::kBuy);
  EXPECT_EQ(s.Status(), "You don't have enough gold.");
  EXPECT_EQ(Row(0)->count, 2);

  p.money = 2 * price + 10;
  const u32 items = p.inventory.GetItemCount();
  p.practice[15] = 254;
  s.Tap(SStateShop::kBuy);
  EXPECT_EQ(p.money, price + 10);
  EXPECT_EQ(p.inventory.GetItemCount(), items + 1);
  EXPECT_EQ(Row(0)->count, 1);
  EXPECT_EQ(p.practice[15], 255);
  EXPECT_EQ(s.game.sounds().back().name, "bsnd_pickup");
  EXPECT_NE(s.Status().find("You have purchased "), std::string::npos);
  s.Tap(SStateShop::kBuy);
  EXPECT_EQ(p.practice[15], 255);  // the counter stops at 255
  EXPECT_EQ(p.money, 10u);
  // The row is gone; its index now holds the shield.
  ASSERT_EQ(RowCount(), 1u);
  EXPECT_EQ(s.shop().grid.selected, 0);
  EXPECT_STREQ(Row(0)->type->name.Text(), "base_armor_shield");
  EXPECT_EQ(stock->GetItemCount(), 1);
}

TEST_F(ShopFixture, SellingAndItsRefusals) {
  SPlayer& p = s.core().player;
  p.inventory.DeleteAllItems();
  for (SItem*& e : p.equipment) e = nullptr;
  SItem* sword = s.NewItem("base_weap_longsword");
  p.inventory.AddItem(sword);
  p.inventory.AddItem(s.NewItem("base_book_swords"));
  Open();
  // The sell button in the shop's view only switches the view: the player's view lists what the person buys.
  s.Tap(SStateShop::kSell);
  EXPECT_EQ(s.shop().viewMode, 0u);
  EXPECT_EQ(s.Status(), "Player items");
  ASSERT_EQ(RowCount(), 1u);
  Select(0);
  ASSERT_EQ(Row(0)->item, sword);

  // Dearer than the most the merchant pays: a deal is asked; "Yes" pays exactly the maximum.
  const SNpc* merchant = s.Person("base_merchant");
  ASSERT_GT(Row(0)->price, merchant->value32);
  p.money = 100;
  s.Tap(SStateShop::kSell);
  EXPECT_EQ(s.Status(), "I can't pay you more than 150. Do we have a deal?");
  EXPECT_EQ(s.shop().dealPending, 1u);
  EXPECT_TRUE(s.HasControl(SStateShop::kYes));
  // The buy button drops the prompt, sells nothing and switches to the shop's view.
  s.Tap(SStateShop::kBuy);
  EXPECT_FALSE(s.HasControl(SStateShop::kYes));
  EXPECT_EQ(s.shop().viewMode, 1u);
  EXPECT_EQ(p.money, 100u);
  s.Tap(SStateShop::kSell);
  Select(0);
  s.Tap(SStateShop::kSell);
  s.Tap(SStateShop::kYes);
  EXPECT_EQ(p.money, 250u);
  EXPECT_EQ(stock->FindItemOfType(sword->type), sword);
  EXPECT_EQ(p.inventory.GetItemCount(), 1);
  EXPECT_EQ(s.game.sounds().back().name, "bsnd_drop");
  EXPECT_EQ(RowCount(), 0u);

  // Refusals: an item that cannot be sold, a class the person does not buy, a person who buys nothing,
  // and a shop without a stock.
  SItem* special = s.NewItem("base_weap_axe");
  p.inventory.AddItem(special);
  const u8 flags = special->type->flags;
  special->type->flags = u8(flags | 4);
  s.shop().FillGrid(false);
  s.Tap(SStateShop::kSell);
  EXPECT_EQ(s.Status(), "You can't sell this item.");
  special->type->flags = flags;
  s.shop().FillGrid(true);
  SNpc* person = s.shop().person;
  const u16 categories = person->categories;
  person->categories = 16;  // books only
  s.Tap(SStateShop::kSell);
  EXPECT_EQ(s.Status(), "Hobb the merchant doesn't purchase such things.");
  person->categories = categories;
  const u32 most = person->value32;
  person->value32 = 0;
  s.Tap(SStateShop::kSell);
  EXPECT_EQ(s.Status(), "Hobb the merchant doesn't purchase anything.");
  person->value32 = most;
  s.shop().stock = nullptr;
  s.Tap(SStateShop::kSell);
  EXPECT_EQ(s.Status(), "Hobb the merchant doesn't purchase anything.");
  EXPECT_EQ(p.inventory.GetItemCount(), 2);
}

TEST_F(ShopFixture, TheGoldAndPackLine) {
  SPlayer& p = s.core().player;
  Open();
  // The 240 x 320 screen's form: "Gold:%s\rPack:\r%u.%u/%u.%u".
  const struct {
    u32 money;
    const char* shown;
  } cases[] = {{9999, "9999"}, {10000, "10K"}, {2500000, "2M"}, {1000000000, "1B"}};
  for (const auto& c : cases) {
    p.money = c.money;
    s.shop().SetGoldPackText();
    SString expected(c.shown);
    SGameCore::ConvertNumberGlyphs(expected);
    EXPECT_EQ(std::string(s.shop().gold.text.CStr()).rfind("Gold:" + std::string(expected.CStr()) + "\r", 0), 0u)
        << c.money;
  }
  // Weights in hundredths: 1,234 reads 12.3 and 1,205 reads 12.0.
  p.inventory.DeleteAllItems();
  for (SItem*& e : p.equipment) e = nullptr;
  SItem* weight = s.NewItem("base_weap_daggers");
  p.inventory.AddItem(weight);
  const u16 was = weight->type->weight;
  for (auto [w, shown] : {std::pair{1234, "12.3/"}, std::pair{1205, "12.0/"}}) {
    weight->type->weight = u16(w);
    s.shop().SetGoldPackText();
    SString expected(shown);
    SGameCore::ConvertNumberGlyphs(expected);
    EXPECT_NE(std::string(s.shop().gold.text.CStr()).find("Pack:\r" + std::string(expected.CStr())), std::string::npos)
        << w;
  }
  weight->type->weight = was;
}

// A huge price factor from the script global: the grid's price stops at the largest 32-bit price, the
// services' prices at the purse's cap, and no trade pays the player for buying.
TEST_F(ShopFixture, AHugePriceFactorNeverPaysThePlayer) {
  SGlobalVariable* factor = s.core().world.globals.Find("base_merchantprice");
  ASSERT_NE(factor, nullptr);
  factor->value.SetInt(2000000000);
  stock->AddItem(s.NewItem("base_weap_axe"));
  Open();
  SPlayer& p = s.core().player;
  ASSERT_EQ(RowCount(), 1u);
  Select(0);
  EXPECT_EQ(Row(0)->price, p.AdjustPrice(0xFFFFFFFFu, true));
  p.money = 1000;
  s.Tap(SStateShop::kBuy);
  EXPECT_EQ(p.money, 1000u);
  EXPECT_EQ(s.Status(), "You don't have enough gold.");
  s.Tap(SStateShop::kLeave);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateDialogInterior), 5));
  // The repair shop of that person.
  SDialogRepairShop& repair = s.interior().repairShop;
  repair.Attach(&s.core());
  repair.Open(2000000000);
  SItem* worn = s.NewItem("base_weap_axe");
  worn->count = 0;
  SDialogRepairShop::Entry entry{worn->type, worn};
  EXPECT_EQ(repair.PriceOf(entry), p.AdjustPrice(kMoneyCap, true));
  delete worn;
  // And the room.
  EXPECT_LE(s.interior().RoomPrice(), kMoneyCap);
  EXPECT_GT(s.interior().RoomPrice(), 0u);
}

// Random buys and sells over a stock and a pack of plain, enchanted and counted items of one type: after each
// trade every row's item lies in the listed container, no item is in two rows or both containers, and the
// counts add up.
TEST_F(ShopFixture, RowsNeverPointAtAnotherStack) {
  SPlayer& p = s.core().player;
  p.inventory.DeleteAllItems();
  for (SItem*& e : p.equipment) e = nullptr;
  SItemType* dagger = s.Type("base_weap_daggers");
  ASSERT_NE(dagger, nullptr);
  SEffectList spark;
  spark.Add(new SEffect{});
  for (u32 i = 0; i < 4; ++i) stock->AddItem(s.NewItem("base_weap_daggers", 5));
  for (u32 i = 0; i < 2; ++i) {
    SItem* magic = s.NewItem("base_weap_daggers", 5);
    magic->enchantments = spark.Clone();
    stock->AddItem(magic);
  }
  stock->AddItem(s.NewItem("base_weap_daggers", 3));  // a worn one: another stack
  for (u32 i = 0; i < 2; ++i) p.inventory.AddItem(s.NewItem("base_weap_daggers", 7));
  s.Person("base_merchant")->value32 = 1000000;
  Open();
  p.money = 1000000;
  const u32 total = stock->GetItemCount() + p.inventory.GetItemCount();
  SRandom random;
  random.Seed(nullptr, 77);
  for (u32 step = 0; step < 60; ++step) {
    const bool buy = random.Next(2) == 0;
    if ((s.shop().viewMode == 1) != buy) s.Tap(buy ? SStateShop::kBuy : SStateShop::kSell);
    if (RowCount() == 0) continue;
    Select(random.Next(i32(RowCount())));
    s.Tap(buy ? SStateShop::kBuy : SStateShop::kSell);
    if (s.shop().dealPending) s.Tap(SStateShop::kYes);
    SItemContainer& listed = s.shop().viewMode ? *stock : p.inventory;
    std::set<const SItem*> seen;
    u32 counted = 0;
    for (u32 r = 0; r < RowCount(); ++r) {
      const SItemSlot* slot = Row(i32(r));
      EXPECT_TRUE(listed.items.IndexOf(slot->item) >= 0) << "step " << step;
      EXPECT_TRUE(seen.insert(slot->item).second) << "step " << step;
      counted += slot->count;
    }
    EXPECT_EQ(counted, u32(listed.GetItemCount())) << "step " << step;
    for (SItem* item : stock->items) EXPECT_LT(p.inventory.items.IndexOf(item), 0) << "step " << step;
    EXPECT_EQ(u32(stock->GetItemCount() + p.inventory.GetItemCount()), total) << "step " << step;
  }
}

// The shop's grid and its deal buttons on every screen: the columns and rows of the mode's grid, with the
// small cell pictures (set 77) on the compact screens and the large ones (set 16) elsewhere, and the place
// holding the cells with their lines whole, but on 240x240, whose lines are 2 pixels between the columns and
// 1 between the rows to leave the description the room for an item's whole text; "Yes" and "No" 40 pixels
// wider than their labels.
TEST(ShopScreen, TheGridOfTheModeAndTheDealButtons) {
  const struct {
    i32 mode, columns, rows;
    u32 cellSet;
    i32 lineWidth, lineHeight;  // 0: the cell picture's
  } cases[] = {{6, 4, 4, 77, 0, 0},  {7, 5, 3, 77, 0, 0},  {8, 5, 2, 77, 2, 1},
               {9, 6, 6, 16, 0, 0},  {10, 6, 4, 16, 0, 0}, {11, 6, 3, 16, 0, 0},
               {14, 8, 6, 16, 0, 0}, {15, 8, 7, 16, 0, 0}, {16, 8, 3, 77, 0, 0}};
  std::set<i32> covered;
  for (const auto& c : cases) {
    covered.insert(c.mode);
    ServicesScreen s(c.mode);
    ASSERT_TRUE(s.entered) << c.mode;
    ASSERT_TRUE(s.Visit("base_merchant")) << c.mode;
    s.Stock(7);
    ASSERT_TRUE(s.OpenShop(7)) << c.mode;
    const SItemsCtrl& grid = s.shop().grid;
    EXPECT_EQ(grid.gridPictures, s.core().PictureSet(c.cellSet)) << c.mode;
    EXPECT_EQ(grid.columns, c.columns) << c.mode;
    EXPECT_EQ(grid.rows, c.rows) << c.mode;
    const SImage* piece = s.core().Picture(c.cellSet);
    ASSERT_NE(piece, nullptr) << c.mode;
    EXPECT_EQ(grid.separatorWidth, c.lineWidth ? c.lineWidth : i32(piece->width)) << c.mode;
    EXPECT_EQ(grid.separatorHeight, c.lineHeight ? c.lineHeight : i32(piece->height)) << c.mode;
    EXPECT_LE(grid.gridX + c.columns * (grid.cellWidth + grid.separatorWidth), grid.left + grid.width) << c.mode;
    EXPECT_LE(grid.gridY + c.rows * (grid.cellHeight + grid.separatorHeight), grid.top + grid.height) << c.mode;

    for (const SCtrlMessageButton* b : {&s.shop().yes, &s.shop().no}) {
      i32 label = 0, lines = 0;
      b->font->Select(1, 0, 0);
      b->font->MeasureText(b->label.CStr(), 100, &label, &lines);
      EXPECT_EQ(i32(b->width), label + 40) << c.mode << " " << b->label.CStr();
    }
  }
  for (i32 mode : GameHarness::deviceModes()) EXPECT_TRUE(covered.count(mode)) << "mode " << mode;
}

// ---- training

// The town's trainer of Light Weapon and a living player with Dexterity 60, no effects and plenty of gold.
struct Training : testing::Test {
  ServicesScreen s;
  SPlayer& p = s.core().player;
  SDialogTraining& t = s.interior().training;
  SNpc* trainer = nullptr;

  void SetUp() override {
    ASSERT_TRUE(s.entered);
    t.Attach(&s.core());
    trainer = s.Person("base_trainer");
    ASSERT_NE(trainer, nullptr);
    ASSERT_EQ(trainer->params[0], 2);  // Light Weapon
    p.race = 2;
    p.attributes[2] = 60;
    for (auto& list : p.effects) list.DeleteAll();
    p.money = 100000;
  }
};

TEST_F(Training, CostsStatusAndTheTrainButton) {
  p.skills[17] = p.skills[15] = 0;
  p.attributes[5] = 0;
  // Costs before the trading percentage (none here) by level.
  for (auto [level, cost] : {std::pair{0u, 50u}, {15u, 150u}, {39u, 435u}}) {
    p.skills[2] = u16(level);
    t.Open(trainer);
    EXPECT_EQ(t.cost, p.AdjustPrice(cost, true)) << level;
    EXPECT_TRUE(t.train.IsShown());
  }
  EXPECT_STREQ(t.title.text.CStr(), "Brann the swordmaster trains Light Weapon.");
  // A level bought: the lines follow at once.
  p.skills[2] = 10;
  t.Open(trainer);
  const u32 cost = t.cost;
  s.game.frame();
  t.OnCommand(SDialogTraining::kTrain);
  EXPECT_EQ(p.skills[2], 11);
  EXPECT_EQ(p.money, 100000u - cost);
  SString level("Your skill level: 11");
  SGameCore::ConvertNumberGlyphs(level);
  EXPECT_STREQ(t.levelLine.text.CStr(), level.CStr());

  // Dexterity 20 stops Light Weapon at 40 (under a higher ceiling); the ceiling names the trainer; too
  // little gold hides "Train".
  p.attributes[2] = 20;
  p.skills[2] = 40;
  trainer->params[1] = 60;
  t.Open(trainer);
  EXPECT_STREQ(t.statusLine.text.CStr(), "You need higher Dexterity to learn Light Weapon.");
  EXPECT_FALSE(t.train.IsShown());
  trainer->params[1] = 40;
  p.attributes[2] = 60;
  t.Open(trainer);
  EXPECT_STREQ(t.statusLine.text.CStr(), "Brann the swordmaster cannot train you anymore.");
  EXPECT_FALSE(t.train.IsShown());
  p.skills[2] = 30;
  p.money = 10;
  t.Open(trainer);
  EXPECT_EQ(std::string(t.statusLine.text.CStr()), "Cost for the next level: " + Money(t.cost));
  EXPECT_FALSE(t.train.IsShown());

  // A Rasvim at a Heal Magic trainer, and trainer skills the table does not have.
  const u8 skill = trainer->params[0];
  trainer->params[0] = 8;
  p.race = 1;
  t.Open(trainer);
  EXPECT_STREQ(t.statusLine.text.CStr(), "You cannot learn Heal Magic.");
  EXPECT_FALSE(t.train.IsShown());
  for (u8 bad : {u8(0), u8(25)}) {
    trainer->params[0] = bad;
    t.Open(trainer);
    EXPECT_STREQ(t.title.text.CStr(), "Brann the swordmaster trains ?.") << int(bad);
    EXPECT_STREQ(t.statusLine.text.CStr(), "Brann the swordmaster cannot train you anymore.") << int(bad);
    EXPECT_FALSE(t.train.IsShown());
  }
  trainer->params[0] = skill;
  // Levels 99 and 100 (past the table's last step) cost 2900 and 3000.
  EXPECT_EQ(s.core().world.rules.skills.LevelCost(99), 2900u);
  EXPECT_EQ(s.core().world.rules.skills.LevelCost(100), 3000u);
}

// The trainer teaches the stored skill that Train raises: a Fortify effect neither stops him early nor takes
// him past his ceiling, and the level shown and the price are those of the stored skill.
TEST_F(Training, FortifyEffectsLeaveTheLevelPriceAndCeilingAlone) {
  const struct {
    u16 base;
    i32 fortify;
    u8 ceiling;
    bool trainable;
  } cases[] = {{20, 10, 25, true}, {40, -5, 40, false}};
  for (const auto& c : cases) {
    for (auto& list : p.effects) list.DeleteAll();
    p.AddEffect(kSourceItem, nullptr, c.fortify, 0, EffectKind::kFortifySkill, 2, nullptr);
    p.skills[2] = c.base;
    ASSERT_EQ(p.GetSkill(2), c.base + c.fortify);
    trainer->params[1] = c.ceiling;
    t.Open(trainer);
    SString level;
    level.Format("Your skill level: %u", c.base);
    SGameCore::ConvertNumberGlyphs(level);
    EXPECT_STREQ(t.levelLine.text.CStr(), level.CStr()) << c.base << " " << c.fortify;
    EXPECT_EQ(t.train.IsShown(), c.trainable) << c.base << " " << c.fortify;
    if (c.trainable) {
      EXPECT_EQ(t.cost, p.AdjustPrice(s.core().world.rules.skills.LevelCost(c.base), true));
    } else {
      EXPECT_STREQ(t.statusLine.text.CStr(), "Brann the swordmaster cannot train you anymore.");
    }
  }
}

TEST_F(Training, TheTrainersButtonInItsConversation) {
  ASSERT_TRUE(s.Call("base_trainer"));
  EXPECT_NE(s.Buttons().find("Training|"), std::string::npos) << s.Buttons();
  s.Tap(SStateDialog::kTraining);
  EXPECT_EQ(s.game.openChild(), &s.talk().training);
  s.Tap(SDialogTraining::kClose);
  EXPECT_EQ(s.game.openChild(), nullptr);
}

// ---- the repair shop

TEST(RepairShop, PricesRowsAndTheGoldLine) {
  ServicesScreen s;
  ASSERT_TRUE(s.entered);
  SPlayer& p = s.core().player;
  p.inventory.DeleteAllItems();
  for (SItem*& e : p.equipment) e = nullptr;
  SItem* nearly = s.NewItem("base_weap_axe");
  nearly->count = u16(nearly->type->maxCondition - 1);
  SItem* worn = s.NewItem("base_armor_shield");
  worn->count = 0;
  SItem* bolts = s.NewItem("base_weap_bolts", 5);  // ammunition is never listed
  SItem* whole = s.NewItem("base_weap_axe");       // nor an item in full condition
  for (SItem* i : {nearly, bolts, worn, whole}) p.inventory.AddItem(i);
  ASSERT_TRUE(s.Visit("base_merchant"));
  p.money = 10000;
  s.Tap(SStateDialogInterior::kRepair);
  SDialogRepairShop& r = s.interior().repairShop;
  ASSERT_EQ(s.game.openChild(), &r);
  ASSERT_EQ(r.entries.Count(), 2u);
  EXPECT_EQ(r.entries[0]->item, nearly);
  // One point below the maximum at the merchant's factor is base 0, counted as 1.
  EXPECT_EQ(r.PriceOf(*r.entries[0]), p.AdjustPrice(1, true));
  SString gold("Player gold:\r10K");
  SGameCore::ConvertNumberGlyphs(gold);
  EXPECT_EQ(std::string(r.gold.text.CStr()), std::string(gold.CStr()) + kCoin);
  // Repairing the last row selects the new last row; the only row leaves an empty list.
  r.list.Select(1);
  const u32 price = r.PriceOf(*r.entries[1]);
  s.Tap(SDialogRepairShop::kRepair);
  EXPECT_EQ(worn->count, worn->type->maxCondition);
  EXPECT_EQ(p.money, 10000u - price);
  EXPECT_EQ(r.list.RowCount(), 1u);
  EXPECT_EQ(r.list.selected, 0);
  s.Tap(SDialogRepairShop::kRepair);
  EXPECT_EQ(r.list.RowCount(), 0u);
  EXPECT_EQ(r.list.selected, -1);
  s.Tap(SDialogRepairShop::kRepair);  // nothing selected: nothing happens
  s.Tap(SDialogRepairShop::kClose);
  EXPECT_EQ(s.game.openChild(), nullptr);
}

}  // namespace

namespace {

// ---- goldens: the interior's menu and the rest at its eighth hour as controls, the shop in the player's
// view and the training dialog as frames of the large screen

TEST(ServicesGolden, TheInteriorMenuAndTheRestAtItsEighthHour) {
  ServicesScreen s;
  ASSERT_TRUE(s.entered);
  s.core().player.money = 1000;
  ASSERT_TRUE(s.Visit("base_innkeeper"));
  EXPECT_EQ(testgolden::CompareText("services_interior_menu", s.game.describeUi()), "");
  s.Tap(SStateDialogInterior::kSleep);
  s.game.tapLabel("Yes");
  s.game.frame();
  SDialogRest& rest = s.interior().rest;
  for (u32 f = 0; f < 600 && rest.hour < 8; ++f) s.game.frame();
  ASSERT_EQ(rest.hour, 8);
  s.game.frame();
  EXPECT_EQ(testgolden::CompareText("services_rest_hour8", s.game.describeUi()), "");
}

TEST(ServicesGolden, TheShopInThePlayersViewAndTheTrainingDialog) {
  ServicesScreen s(10);
  ASSERT_TRUE(s.entered);
  SPlayer& p = s.core().player;
  p.inventory.DeleteAllItems();
  for (SItem*& e : p.equipment) e = nullptr;
  for (const char* name : {"base_weap_axe", "base_weap_longsword", "base_armor_shield", "base_armor_helm"})
    p.inventory.AddItem(s.NewItem(name));
  p.inventory.AddItem(s.NewItem("base_weap_axe"));
  p.money = 12345;
  ASSERT_TRUE(s.Visit("base_merchant"));
  s.Stock(7);
  ASSERT_TRUE(s.OpenShop(7));
  s.Tap(SStateShop::kSell);
  s.game.frame(2);
  const Os::Panel& panel = s.game.panel();
  EXPECT_EQ(testpng::CompareGolden("services_shop_player_480x640", panel.pixels.data(), panel.width, panel.height,
                                   panel.width),
            "");
  s.Tap(SStateShop::kLeave);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateDialogInterior), 5));
  p.skills[14] = 12;
  p.attributes[2] = 50;
  s.Tap(SStateDialogInterior::kTraining);
  s.game.frame(2);
  EXPECT_EQ(
      testpng::CompareGolden("services_training_480x640", panel.pixels.data(), panel.width, panel.height, panel.width),
      "");
}

// The merchant's stock as a buyer sees it, one page: weapons of every kind, the oak staff beside the
// candle, mana beside healing, each its own picture; the larger screen's page holds bows and quivers,
// armour, more potions and a scroll too.
TEST(ServicesGolden, TheShopsStockShowsEachItemApart) {
  for (i32 mode : {7, 10}) {
    ServicesScreen s(mode);
    ASSERT_TRUE(s.entered);
    s.core().player.money = 5000;
    ASSERT_TRUE(s.Visit("base_merchant"));
    SItemContainer& stock = s.Stock(7);
    for (const char* name : {"base_weap_shortswordcheap", "base_weap_longsword", "base_weap_axe", "base_weap_staff",
                             "base_weap_daggers", "base_weap_dirkcheap", "base_weap_parrydagger",
                             "base_weap_greatcudgel2", "base_weap_shortbow", "base_weap_crossbow", "base_pmanasmall",
                             "base_phealsmall", "base_pfullmana", "base_misc_candle", "base_gem_ruby"})
      // Missiles come by the stack, as a restock fills the shelves: a lone dart would cost nothing.
      stock.AddItem(s.NewItem(name, s.Type(name)->IsMissile() ? 12 : 0));
    if (mode == 10)
      for (const char* name : {"base_weap_longbow", "base_weap_quiver", "base_weap_bolts", "base_mail_scalecheap",
                               "base_shield_woodenround", "base_armor_boots", "base_potion_strength", "base_pvenom",
                               "base_scroll_fireball"})
        stock.AddItem(s.NewItem(name, s.Type(name)->IsMissile() ? 12 : 0));
    ASSERT_TRUE(s.OpenShop(7));
    s.game.frame(2);
    const Os::Panel& panel = s.game.panel();
    EXPECT_EQ(testpng::CompareGolden(mode == 7 ? "items_shop_stock_240x320" : "items_shop_stock_480x640",
                                     panel.pixels.data(), panel.width, panel.height, panel.width),
              "");
  }
}

}  // namespace

namespace {

// A trade session replayed tap by tap: buying, switching to the pack, a sale above the merchant's most with
// its deal, a refused sale and leaving; after each step the status, the purse and the rows are logged, and
// the log ends with the player, compared with a stored log.
TEST(ServicesGolden, ATradeSessionReplayed) {
  ServicesScreen s;
  ASSERT_TRUE(s.entered);
  SPlayer& p = s.core().player;
  p.inventory.DeleteAllItems();
  for (SItem*& e : p.equipment) e = nullptr;
  p.inventory.AddItem(s.NewItem("base_weap_longsword"));
  p.inventory.AddItem(s.NewItem("base_book_swords"));
  p.money = 1000;
  ASSERT_TRUE(s.Visit("base_merchant"));
  SItemContainer& stock = s.Stock(7);
  for (const char* name : {"base_weap_axe", "base_weap_axe", "base_armor_helm"}) stock.AddItem(s.NewItem(name));
  ASSERT_TRUE(s.OpenShop(7));
  std::string log;
  auto note = [&](const std::string& step) {
    log += "> " + step + "\nstatus: " + s.Status() + "\nmoney " + std::to_string(p.money) + ", rows:";
    for (u32 i = 0; i < s.shop().grid.SlotCount(); ++i) {
      const SItemSlot* slot = s.shop().grid.Slot(i32(i));
      log += " " + std::string(slot->type->name.Text()) + "x" + std::to_string(slot->count) + "@" +
             std::to_string(slot->price);
    }
    log += "\n";
  };
  note("enter");
  const struct {
    const char* step;
    u16 code;
    i32 row;  // >= 0: the row tapped first
  } steps[] = {
      {"buy the first row", SStateShop::kBuy, 0},
      {"buy it again", SStateShop::kBuy, 0},
      {"sell: the pack", SStateShop::kSell, -1},
      {"sell the sword", SStateShop::kSell, 0},
      {"no deal", SStateShop::kNo, -1},
      {"sell the sword again", SStateShop::kSell, 0},
      {"deal", SStateShop::kYes, -1},
      {"buy: the shop", SStateShop::kBuy, -1},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.step);
    if (step.row >= 0) {
      s.shop().grid.Select(step.row);
      s.shop().OnCommand(SStateShop::kGridId);
    }
    ASSERT_TRUE(s.HasControl(step.code));
    s.Tap(step.code);
    note(step.step);
  }
  s.Tap(SStateShop::kLeave);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateDialogInterior), 5));
  log += "> leave\n" + GameHarness::summaryOf(s.game.player());
  EXPECT_EQ(testgolden::CompareText("services_trade_replay", log), "");
}

}  // namespace

namespace {

// The builder refuses a person with an interior who offers all five of buying and selling, training,
// repair, enchanting and rooms: the interior's menu holds four besides "Talk".
TEST(ServicesSources, AnInteriorPersonWithFiveServicesIsRefused) {
  const testbuild::Result r =
      testbuild::BuildEditedSample("duskmire-services", "world/rules.json", "\"services\": 15,", "\"services\": 47,");
  ASSERT_TRUE(r.edited);
  EXPECT_NE(r.status, 0) << r.output;
  EXPECT_FALSE(r.wrote);
  EXPECT_NE(r.output.find("person base_merchant offers buying and selling, training, repair, enchanting and rooms"),
            std::string::npos)
      << r.output;
}

}  // namespace

namespace {

// The town's shops stocked on the first visit from their records: the merchant's container (the one its
// placed monster names) with weapons, armour and repair hammers of levels 1 and 2, once; the inn's whole
// list of potions.
TEST(ShopStock, TheTownsShopsAreStockedOnce) {
  ServicesScreen s;
  ASSERT_TRUE(s.entered);
  SMapArea* area = s.state().window.CurrentArea();
  ASSERT_NE(area, nullptr);
  s.context().thisArea = area;
  SItemContainer* shelf = area->FindContainerById(5);
  ASSERT_NE(shelf, nullptr);
  ASSERT_TRUE(s.Visit("base_merchant"));
  ASSERT_TRUE(s.OpenShop(5));
  EXPECT_EQ(s.shop().stock, shelf);
  ASSERT_GT(shelf->GetItemCount(), 0);
  for (SItem* item : shelf->items) {
    const u8 c = item->type->itemClass;
    EXPECT_TRUE((c >= 1 && c <= 3) || c == kItemRepair) << item->type->name.Text();
    EXPECT_TRUE(item->type->level == 1 || item->type->level == 2) << item->type->name.Text();
  }
  std::vector<SItem*> first(shelf->items.begin(), shelf->items.end());
  s.Tap(SStateShop::kLeave);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateDialogInterior), 5));
  ASSERT_TRUE(s.OpenShop(5));
  EXPECT_EQ(std::vector<SItem*>(shelf->items.begin(), shelf->items.end()), first);
  s.Tap(SStateShop::kLeave);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateDialogInterior), 5));
  s.Tap(SStateDialogInterior::kLeave);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateGame), 5));

  ASSERT_TRUE(s.Visit("base_innkeeper"));
  SItemContainer& cellar = s.Stock(6);
  cellar.flags = 0;
  ASSERT_TRUE(s.OpenShop(6));
  ASSERT_GT(cellar.GetItemCount(), 0);
  for (SItem* item : cellar.items) {
    const u8 c = item->type->itemClass;
    EXPECT_TRUE(c == kItemPotion || c == kItemComestible) << item->type->name.Text();
    EXPECT_TRUE(item->type->level == 1 || item->type->level == 2) << item->type->name.Text();
  }
}

}  // namespace

namespace {

// Through a city door into the merchant's shop by day: the interior knows the door, its "Buy/sell" reaches
// the stock the door's object names, and "Leave" closes the door behind the player.
TEST(ServicesDoor, ThroughACityDoorIntoTheShop) {
  ServicesScreen s;
  ASSERT_TRUE(s.entered);
  SMapArea* area = s.state().window.CurrentArea();
  SMapObjectInst door;
  door.containerId = 5;
  s.state().window.minutes = 1440 + 10 * 60;
  ASSERT_EQ(s.state().EnterService(&door, "base_merchant", area, false), 1u);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateDialogInterior), 20));
  s.game.frame();
  EXPECT_EQ(s.interior().doorFlag, 1u);
  s.Tap(SStateDialogInterior::kBuySell);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateShop), 5));
  EXPECT_EQ(s.shop().stock, area->FindContainerById(5));
  EXPECT_GT(s.shop().grid.SlotCount(), 0u);
  s.Tap(SStateShop::kLeave);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateDialogInterior), 5));
  const size_t before = s.game.sounds().size();
  s.Tap(SStateDialogInterior::kLeave);
  ASSERT_TRUE(s.game.waitUntil(GameHarness::stateIs(kStateGame), 5));
  ASSERT_GT(s.game.sounds().size(), before);
  EXPECT_EQ(s.game.sounds()[before].name, "bsnd_cdoorclose");
  // The shop opens by day only.
  s.state().window.minutes = 1440 + 23 * 60;
  EXPECT_EQ(s.state().EnterService(&door, "base_merchant", area, false), 0u);
}

}  // namespace
