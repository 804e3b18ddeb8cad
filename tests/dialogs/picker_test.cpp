// The enchant item picker: what it lists for each opener, how it describes the choice, and where the
// choice leads.
#include "EnchantRig.h"

TEST(EnchantPicker, AnEnchanterSeesTheBlankItemsAndTheDischargedWandsInInventoryOrder) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  rig.Give("base_armor_chain");
  rig.Give("base_acc_amulet");          // no storage: never listed
  rig.Give("base_acc_ring");            // its type carries an enchantment
  rig.Give("base_wand_lightning", 12);  // full
  rig.Give("base_scroll_blank");
  rig.Give("base_wand_lightning", 4);  // partly discharged
  rig.Give("base_weap_shortswordcheap");
  rig.Give("base_wand_empty");
  rig.Give("base_potion_homemade");
  rig.Open(rig.Merchant(), 30);

  SDialogEnchantItem& p = rig.picker();
  EXPECT_EQ(rig.Rows(p.items),
            (std::vector<std::string>{"Chain mail", "Blank scroll", "Wand of Lightning", "Short sword", "Empty wand"}));
  std::vector<u32> codes;
  for (u32 i = 0; i < p.items.RowCount(); ++i) codes.push_back(p.items.Row(i32(i))->code);
  EXPECT_EQ(codes, (std::vector<u32>{0, 4, 5, 6, 7}));
  EXPECT_EQ(rig.Text(p.title), "Select the item to be enchanted");
  EXPECT_EQ(rig.Text(p.storageText), "Hobb the merchant can enchant items up to 30 storage.");
  EXPECT_EQ(p.storageLimit, 30u);
  // Nothing is chosen yet, so nothing is described, and OK does nothing.
  EXPECT_EQ(p.items.selected, -1);
  EXPECT_EQ(std::string(p.description.title.CStr()), "");
  p.OnCommand(SDialogEnchantItem::kChoose);
  EXPECT_EQ(p.child, nullptr);

  // The description of a blank item and of a wand.
  p.items.Select(0);
  p.OnCommand(SDialogEnchantItem::kItems);
  EXPECT_EQ(std::string(p.description.title.CStr()), "Chain mail");
  p.items.Select(2);
  p.OnCommand(SDialogEnchantItem::kItems);
  EXPECT_EQ(std::string(p.description.title.CStr()), "Wand of Lightning");
  EXPECT_EQ(std::string(p.description.pages.Count() ? p.description.pages[0].CStr() : ""), " (4/12 charges)\r");
}

TEST(EnchantPicker, TheGameStatesEffectsSetTheLimitOrListOnlyTheWands) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  rig.Give("base_armor_chain");
  rig.Give("base_wand_lightning", 2);
  rig.Give("base_wand_fire", 10);  // full
  rig.Give("base_wand_recharging", 1);

  // An "Enchant" effect handing on the value 5.
  rig.Open(nullptr, 5, 0);
  EXPECT_EQ(rig.picker().storageLimit, 15u);
  EXPECT_EQ(rig.Text(rig.picker().storageText), "You can enchant items up to 15 storage.");
  EXPECT_EQ(rig.Rows(rig.picker().items).size(), 3u);
  rig.picker().OnCommand(SDialogEnchantItem::kClose);
  EXPECT_EQ(rig.owner.closedWith, std::vector<u32>{279});

  // A "Recharge wand" effect.
  rig.Open(nullptr, 0, 1);
  EXPECT_EQ(rig.Text(rig.picker().title), "Select the item to be recharged");
  EXPECT_EQ(rig.Text(rig.picker().storageText), "");
  EXPECT_EQ(rig.Rows(rig.picker().items), (std::vector<std::string>{"Wand of Lightning", "Wand of Recharging"}));
}

TEST(EnchantPicker, ABlankScrollNeedsAKnownSpell) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  SItem* scroll = rig.Give("base_scroll_blank");
  rig.Open(rig.Merchant(), 30);
  ASSERT_TRUE(rig.Choose(scroll));
  EXPECT_EQ(rig.picker().subMode, SDialogEnchantItem::kRefusal);
  EXPECT_EQ(rig.BoxText(), EnchantRig::Squeezed("You don't know any spells - this item cannot be enchanted."));
  rig.picker().OnCommand(SDialogMessage::kOk);
  EXPECT_EQ(rig.picker().subMode, SDialogEnchantItem::kList);
  EXPECT_EQ(rig.picker().child, nullptr);

  rig.Learn("base_spellfireball");
  ASSERT_TRUE(rig.Choose(scroll));
  EXPECT_EQ(rig.picker().child, &rig.enchant());
}

TEST(EnchantPicker, WithoutAnEnchanterAWandIsRechargedAtOnceUnlessItsSpellForbidsIt) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  SItem* fire = rig.Give("base_wand_fire", 3);
  SItem* recharging = rig.Give("base_wand_recharging", 1);
  const u32 gold = rig.core().player.money;

  rig.Open(nullptr, 0, 1);
  ASSERT_TRUE(rig.Choose(fire));
  EXPECT_EQ(fire->count, 10u);
  EXPECT_EQ(rig.BoxText(), EnchantRig::Squeezed("The wand has been recharged."));
  rig.picker().OnCommand(SDialogMessage::kOk);
  EXPECT_EQ(rig.owner.closedWith, std::vector<u32>{279});

  rig.Open(nullptr, 0, 1);
  ASSERT_TRUE(rig.Choose(recharging));
  EXPECT_EQ(recharging->count, 1u);
  EXPECT_EQ(rig.BoxText(), EnchantRig::Squeezed("The wand cannot be recharged"));
  rig.picker().OnCommand(SDialogMessage::kOk);
  EXPECT_EQ(rig.owner.closedWith, (std::vector<u32>{279, 279}));
  EXPECT_EQ(rig.core().player.money, gold);
}

TEST(EnchantPicker, AnOwnEnchantmentWithoutEntriesCountsAsNone) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  // As a saved game may carry them: a blank sword and a lightning wand, each with an empty list of its own.
  SItem* sword = rig.Give("base_weap_shortswordcheap");
  sword->enchantments = new SEffectList;
  SItem* wand = rig.Give("base_wand_lightning", 5);
  wand->enchantments = new SEffectList;
  EXPECT_EQ(sword->Enchantment(), nullptr);
  EXPECT_EQ(wand->Enchantment(), wand->type->enchantment);
  // The wand is priced by its type's charges, as the description has it.
  SItem plain;
  plain.type = wand->type;
  plain.count = 5;
  EXPECT_EQ(wand->type->GetValue(rig.rules(), wand), wand->type->GetValue(rig.rules(), &plain));

  rig.Open(rig.Merchant(), 30);
  EXPECT_EQ(rig.Rows(rig.picker().items), (std::vector<std::string>{"Short sword", "Wand of Lightning"}));
  ASSERT_TRUE(rig.Choose(wand));
  EXPECT_EQ(rig.picker().child, &rig.picker().recharge);
  EXPECT_EQ(rig.picker().recharge.entry, wand->type->enchantment->Entry(0));
  rig.picker().recharge.OnCommand(SDialogEnchantRechargeWand::kCancel);
  ASSERT_TRUE(rig.Choose(sword));
  ASSERT_EQ(rig.picker().child, &rig.enchant());
  // A new entry on the sword replaces the empty list.
  SDialogEnchant& e = rig.enchant();
  e.OnCommand(SDialogEnchant::kAdd);
  e.OnCommand(SDialogEnchant::kOk);  // the editor keeps its first kind, "Fortify skill" at 1
  e.OnCommand(SDialogEnchant::kOk);
  e.OnCommand(SDialogMessage::kOk);
  ASSERT_NE(sword->enchantments, nullptr);
  EXPECT_EQ(sword->enchantments->Count(), 1u);
}

// A picker opened again while its dialogs were left open (the game state dropped it mid-way) starts afresh.
TEST(EnchantPicker, OpeningAgainStartsAfresh) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  SItem* mail = rig.Give("base_armor_chain");
  rig.Open(rig.Merchant(), 30);
  ASSERT_TRUE(rig.Choose(mail));
  rig.AddOther(1, 0, 1);
  rig.enchant().OnCommand(SDialogEnchant::kAdd);
  ASSERT_EQ(rig.enchant().child, &rig.enchant().otherEditor);

  rig.Open(rig.Merchant(), 30);
  EXPECT_EQ(rig.picker().child, nullptr);
  EXPECT_EQ(rig.picker().subMode, SDialogEnchantItem::kList);
  ASSERT_TRUE(rig.Choose(mail));
  EXPECT_EQ(rig.enchant().child, nullptr);
  EXPECT_EQ(rig.enchant().entries->Count(), 0u);
  EXPECT_EQ(rig.enchant().subMode, SDialogEnchant::kMain);
  EXPECT_EQ(mail->enchantments, nullptr);
}
