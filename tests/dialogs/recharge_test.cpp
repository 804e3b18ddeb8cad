// The enchanter's wand recharge: its price, the payment and the refusals; and prices that stay in bounds
// whatever the price factor.
#include "EnchantRig.h"

namespace {
using Recharge = SDialogEnchantRechargeWand;
}  // namespace

TEST(WandRecharge, TheEnchanterChargesTheValueAFullWandGainsAndRefillsIt) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  SItem* fire = rig.Give("base_wand_fire", 3);
  SPlayer& player = rig.core().player;
  // The wand's 10 charges are worth 400: 120 at 3 charges, so its value rises by 280 when full.
  EXPECT_EQ(fire->type->GetValue(rig.rules(), fire), 150u + 120u);
  EXPECT_EQ(Recharge::PriceFor(&rig.core(), *fire, *fire->type->enchantment->Entry(0), 10), 280u);
  EXPECT_EQ(Recharge::PriceFor(&rig.core(), *fire, *fire->type->enchantment->Entry(0), 15), 420u);
  EXPECT_EQ(fire->count, 3u);
  // A wand holding more than it holds when full is worth less refilled: that costs nothing, never pays.
  fire->count = 15;
  EXPECT_EQ(Recharge::PriceFor(&rig.core(), *fire, *fire->type->enchantment->Entry(0), 10), 0u);
  fire->count = 3;

  rig.Open(rig.Merchant(), 30);
  ASSERT_TRUE(rig.Choose(fire));
  Recharge& r = rig.picker().recharge;
  ASSERT_EQ(rig.picker().child, &r);
  EXPECT_EQ(r.price, 280u);
  EXPECT_EQ(std::string(r.wandText.title.CStr()), "Wand of Fire");
  EXPECT_EQ(rig.Text(r.cost), "Recharge cost: 280\x09\rYour gold: 5000\x09");

  // Too little gold keeps the dialog.
  player.money = 279;
  r.OnCommand(Recharge::kRecharge);
  EXPECT_EQ(r.subMode, Recharge::kNoGold);
  EXPECT_EQ(rig.BoxText(), EnchantRig::Squeezed("You don't have enough gold."));
  r.OnCommand(SDialogMessage::kOk);
  EXPECT_EQ(r.subMode, Recharge::kMain);
  EXPECT_EQ(rig.picker().child, &r);
  EXPECT_EQ(fire->count, 3u);

  // A price equal to the gold leaves none.
  player.money = 280;
  r.OnCommand(Recharge::kRecharge);
  EXPECT_EQ(rig.BoxText(), EnchantRig::Squeezed("The wand has been recharged.\rYou pay 280\x09."));
  EXPECT_EQ(player.money, 0u);
  EXPECT_EQ(fire->count, 10u);
  r.OnCommand(SDialogMessage::kOk);
  EXPECT_EQ(rig.picker().child, nullptr);
  EXPECT_TRUE(rig.Rows(rig.picker().items).empty());
}

TEST(WandRecharge, AWandOfTheRechargeSpellIsNeverRechargedAndNothingIsPaid) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  SItem* wand = rig.Give("base_wand_recharging", 1);
  rig.Open(rig.Merchant(), 30);
  ASSERT_TRUE(rig.Choose(wand));
  Recharge& r = rig.picker().recharge;
  const u32 gold = rig.core().player.money;
  r.OnCommand(Recharge::kRecharge);
  EXPECT_EQ(rig.BoxText(), EnchantRig::Squeezed("The wand cannot be recharged."));
  EXPECT_EQ(wand->count, 1u);
  EXPECT_EQ(rig.core().player.money, gold);
  EXPECT_EQ(r.OnCommand(SDialogMessage::kOk), 0u);
  EXPECT_EQ(rig.picker().child, nullptr);
  // Cancel hands 26 on, and the picker stays for the enchanter.
  ASSERT_TRUE(rig.Choose(wand));
  r.OnCommand(Recharge::kCancel);
  EXPECT_EQ(rig.picker().child, nullptr);
  EXPECT_TRUE(rig.owner.closedWith.empty());
}

TEST(EnchantPrices, AHugePriceFactorClampsThePricesAndNeverAddsGold) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  rig.SetPriceGlobal(2000000000);
  SPlayer& player = rig.core().player;
  EXPECT_EQ(Enchanting::PriceFactor(&rig.core(), rig.Merchant()), 2000000000);
  EXPECT_EQ(Enchanting::ScalePrice(300, 2000000000), 1000000000u);
  EXPECT_EQ(Enchanting::ScalePrice(-300, 10), 0u);
  EXPECT_EQ(Enchanting::ScalePrice(-7, 3), 0u);
  EXPECT_EQ(Enchanting::ScalePrice(7, 3), 2u);  // truncated

  SItem* mail = rig.Give("base_armor_chain");
  SItem* fire = rig.Give("base_wand_fire", 3);
  rig.Open(rig.Merchant(), 30);
  ASSERT_TRUE(rig.Choose(mail));
  rig.AddOther(1, 0, 1);
  EXPECT_EQ(rig.enchant().price, 1000000000u);
  rig.enchant().OnCommand(SDialogEnchant::kOk);
  EXPECT_EQ(rig.BoxText(), EnchantRig::Squeezed("You don't have enough gold."));
  rig.enchant().OnCommand(SDialogMessage::kOk);
  player.money = 1000000000;
  rig.enchant().OnCommand(SDialogEnchant::kOk);
  EXPECT_EQ(rig.BoxText(), EnchantRig::Squeezed("The enchanting was successful.\rYou pay 1B gold."));
  EXPECT_EQ(player.money, 0u);
  rig.enchant().OnCommand(SDialogMessage::kOk);

  ASSERT_TRUE(rig.Choose(fire));
  EXPECT_EQ(rig.picker().recharge.price, 1000000000u);
  rig.picker().recharge.OnCommand(Recharge::kRecharge);
  EXPECT_EQ(player.money, 0u);
  EXPECT_EQ(fire->count, 3u);
}

// Random entries of every allowed kind on every item kind, with magnitudes and factor bytes over their
// whole ranges: storage and prices stay defined and every row can be described.
TEST(EnchantPrices, RandomEntriesOnEveryItemKindGiveBoundedCostsAndRows) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  SWorldRules& rules = rig.rules();
  const char* names[] = {"base_spellfireball", "base_spellcurse", "base_disease_rot", "bres_rat", "nothing", nullptr};
  u32 seed = 12345;
  auto next = [&seed]() {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
  };
  for (u32 itemKind = 0; itemKind < kItemKinds; ++itemKind) {
    const u8* allowed = rules.effects.Allowed(itemKind);
    u32 count = 0;
    while (count < SEffectTable::kMaxAllowed && allowed[count]) ++count;
    for (u32 round = 0; round < 40; ++round) {
      SEffectList list;
      const u32 n = 1 + next() % 6;
      for (u32 i = 0; i < n; ++i) {
        auto* e = new SEffect(itemKind);
        // Item kinds without allowed kinds take any kind at all.
        e->kind = count ? allowed[next() % count] : u8(1 + next() % kEffectKinds);
        e->base = i16(next());
        e->perLevel = i16(next());
        e->duration = i16(next());
        e->radius = u8(next());
        e->sub = u8(next());
        e->SetName(names[next() % 6]);
        list.Add(e);
      }
      i32 storage = 0, price = 0;
      list.GetEnchantCost(rules, itemKind, storage, price);
      for (i64 factor : {i64(1), i64(10), i64(255), i64(2000000000)}) {
        const u32 scaled = Enchanting::ScalePrice(price, factor);
        EXPECT_LE(scaled, Enchanting::kMaxPrice);
      }
      SString text;
      for (u32 i = 0; i < list.Count(); ++i) {
        list.Entry(i32(i))->Describe(rules, itemKind, list.Entry(i32(i))->base, text, false, false);
        ASSERT_NE(text.CStr(), nullptr);
      }
    }
  }
}
