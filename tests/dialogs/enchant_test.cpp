// The enchanting dialog: adding, modifying and removing entries, the storage and the price, and the checks
// and the storing of Commit.
#include "EnchantRig.h"

TEST(Enchanting, AddOpensTheEditorOfTheItemKind) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  rig.Learn("base_spellfireball");
  const struct Case {
    const char* type;
    u32 kind;
    int editor;  // 0 none, 1 wand and scroll, 2 other
    u8 mode;     // the new entry's trigger type
    u32 firstKind;
  } cases[] = {
      {"base_armor_chain", 2, 2, 3, 1},        {"base_weap_shortswordcheap", 3, 2, 3, 1},
      {"base_acc_copperring", 4, 2, 3, 1},     {"base_weap_staff", 14, 2, 3, 1},
      {"base_weap_arrowsblank", 15, 2, 1, 23}, {"base_weap_shortbow", 16, 2, 3, 1},
      {"base_wand_empty", 10, 1, 2, 31},       {"base_scroll_blank", 11, 1, 2, 31},
      {"base_potion_homemade", 6, 0, 0, 0},    {"base_spellbook_cure", 12, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    SItem* item = rig.Give(c.type);
    SDialogEnchant& e = rig.OpenEnchant(nullptr, item, 10000);
    EXPECT_EQ(e.itemKind, c.kind);
    e.OnCommand(SDialogEnchant::kAdd);
    const SEffect* edited = c.editor == 1 ? e.wandEditor.edited : c.editor == 2 ? e.otherEditor.edited : nullptr;
    EXPECT_EQ(e.child, c.editor == 1   ? static_cast<SDialog*>(&e.wandEditor)
                       : c.editor == 2 ? static_cast<SDialog*>(&e.otherEditor)
                                       : nullptr);
    if (edited) {
      EXPECT_EQ(edited->mode, c.mode);
      EXPECT_EQ(edited->kind, c.firstKind);
    }
    if (c.editor) e.OnCommand(SDialogEnchant::kCancel);  // the editor's discard
    ASSERT_NE(e.entries, nullptr);
    EXPECT_EQ(e.entries->Count(), 0u);
    EXPECT_EQ(e.OnCommand(SDialogEnchant::kCancel), SDialogEnchant::kCancel);
    EXPECT_EQ(item->enchantments, nullptr);
  }
}

TEST(Enchanting, EntriesAreAddedModifiedAndRemovedWithTheirStorageAndPrice) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  SItem* mail = rig.Give("base_armor_chain");
  SDialogEnchant& e = rig.OpenEnchant(rig.Merchant(), mail, 30);
  EXPECT_EQ(e.capacity, 30);
  EXPECT_EQ(rig.Text(e.itemName), "Chain mail");
  EXPECT_EQ(rig.Text(e.storageText), EnchantRig::Glyphs("30/30"));

  rig.AddOther(1, 2, 1);    // Fortify skill, Heavy Weapon +1: 15 storage, 100 gold
  rig.AddOther(11, -1, 1);  // Fortify ac 1: 20 storage, 100 gold
  EXPECT_EQ(rig.Rows(e.list), (std::vector<std::string>{"+1 Heavy Weapon", "+1 AC"}));
  EXPECT_EQ(e.available, -5);
  EXPECT_EQ(rig.Text(e.storageText), EnchantRig::Glyphs("-5/30"));
  EXPECT_EQ(e.price, 200u);
  EXPECT_EQ(rig.Text(e.priceText), EnchantRig::Glyphs("200\x09"));

  // Modify takes the entry out while it is edited; Cancel puts it back unchanged at its place.
  e.list.Select(0);
  e.OnCommand(SDialogEnchant::kModify);
  ASSERT_EQ(e.child, &e.otherEditor);
  EXPECT_EQ(e.entries->Count(), 1u);
  EXPECT_EQ(e.otherEditor.available, 10);
  EXPECT_EQ(e.otherEditor.edited->kind, 1u);
  e.otherEditor.OnCommand(SDialogEnchantEntryOther::kValueUp);
  e.OnCommand(SDialogEnchant::kCancel);
  EXPECT_EQ(rig.Rows(e.list), (std::vector<std::string>{"+1 Heavy Weapon", "+1 AC"}));
  // Modify and keep: the entry changes in its place.
  e.list.Select(0);
  e.OnCommand(SDialogEnchant::kModify);
  e.otherEditor.OnCommand(SDialogEnchantEntryOther::kValueUp);
  e.OnCommand(SDialogEnchant::kOk);
  EXPECT_EQ(rig.Rows(e.list), (std::vector<std::string>{"+2 Heavy Weapon", "+1 AC"}));
  EXPECT_EQ(e.price, 300u);

  e.list.Select(1);
  e.OnCommand(SDialogEnchant::kRemove);
  EXPECT_EQ(rig.Rows(e.list), std::vector<std::string>{"+2 Heavy Weapon"});
  EXPECT_EQ(e.list.selected, 0);
  EXPECT_EQ(e.available, 0);
  e.OnCommand(SDialogEnchant::kRemove);
  EXPECT_EQ(e.list.RowCount(), 0u);
  EXPECT_EQ(e.list.selected, -1);
  e.OnCommand(SDialogEnchant::kModify);  // nothing selected: nothing happens
  EXPECT_EQ(e.child, nullptr);
}

TEST(Enchanting, CommitChecksInOrderThenStoresAndCharges) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  SItem* mail = rig.Give("base_armor_chain");
  SPlayer& player = rig.core().player;

  // No entries: the dialog ends and the item stays as it was.
  SDialogEnchant& e = rig.OpenEnchant(rig.Merchant(), mail, 30);
  EXPECT_EQ(e.OnCommand(SDialogEnchant::kOk), SDialogEnchant::kOk);
  EXPECT_EQ(mail->enchantments, nullptr);

  // Too little gold comes first, before the storage.
  rig.OpenEnchant(rig.Merchant(), mail, 30);
  rig.AddOther(1, 0, 3);  // 45 storage, 300 gold
  player.money = 299;
  e.OnCommand(SDialogEnchant::kOk);
  EXPECT_EQ(e.subMode, SDialogEnchant::kRefusal);
  EXPECT_EQ(rig.BoxText(), EnchantRig::Squeezed("You don't have enough gold."));
  e.OnCommand(SDialogMessage::kOk);
  EXPECT_EQ(e.subMode, SDialogEnchant::kMain);
  player.money = 300;
  e.OnCommand(SDialogEnchant::kOk);
  EXPECT_EQ(rig.BoxText(), EnchantRig::Squeezed("There isn't enough available storage for this enchantment."));
  e.OnCommand(SDialogMessage::kOk);

  // A need equal to the capacity is accepted.
  e.list.Select(0);
  e.OnCommand(SDialogEnchant::kModify);
  e.otherEditor.OnCommand(SDialogEnchantEntryOther::kValueDown);
  e.OnCommand(SDialogEnchant::kOk);
  EXPECT_EQ(e.available, 0);
  EXPECT_EQ(e.price, 200u);
  e.OnCommand(SDialogEnchant::kOk);
  EXPECT_EQ(e.subMode, SDialogEnchant::kDone);
  EXPECT_EQ(rig.BoxText(), EnchantRig::Squeezed("The enchanting was successful.\rYou pay 200 gold."));
  EXPECT_EQ(player.money, 100u);
  ASSERT_NE(mail->enchantments, nullptr);
  EXPECT_EQ(mail->enchantments->Count(), 1u);
  EXPECT_EQ(mail->enchantments->worth, 200u);  // the base price
  EXPECT_EQ(e.entries, nullptr);
  EXPECT_EQ(e.OnCommand(SDialogMessage::kOk), SDialogEnchant::kOk);
}

TEST(Enchanting, FortifyHpAndFortifyUnholyMayNotMeet) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  SItem* mail = rig.Give("base_armor_chain");
  SDialogEnchant& e = rig.OpenEnchant(rig.Merchant(), mail, 300);
  rig.AddOther(5, -1, 1);
  rig.AddOther(8, -1, 1);
  e.OnCommand(SDialogEnchant::kOk);
  EXPECT_EQ(rig.BoxText(),
            EnchantRig::Squeezed("The item cannot contain both fortify hp and fortify unholy enchantments."));
  e.OnCommand(SDialogMessage::kOk);
  e.list.Select(1);
  e.OnCommand(SDialogEnchant::kRemove);
  e.OnCommand(SDialogEnchant::kOk);
  EXPECT_EQ(e.subMode, SDialogEnchant::kDone);
}

TEST(Enchanting, ThePlayerAloneNeitherSeesNorPaysAPriceButTheItemKeepsTheBasePrice) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  SItem* ring = rig.Give("base_acc_copperring");
  const u32 gold = rig.core().player.money;
  SDialogEnchant& e = rig.OpenEnchant(nullptr, ring, 15);
  for (const SCtrl* c : {static_cast<const SCtrl*>(&e.priceLabel), static_cast<const SCtrl*>(&e.priceText),
                         static_cast<const SCtrl*>(&e.goldLabel), static_cast<const SCtrl*>(&e.goldText)})
    EXPECT_FALSE(c->IsShown());
  rig.AddOther(1, 0, 1);
  e.OnCommand(SDialogEnchant::kOk);
  EXPECT_EQ(rig.BoxText(), EnchantRig::Squeezed("The enchanting was successful."));
  EXPECT_EQ(rig.core().player.money, gold);
  ASSERT_NE(ring->enchantments, nullptr);
  EXPECT_EQ(ring->enchantments->worth, 100u);

  SDialogEnchant& paid = rig.OpenEnchant(rig.Merchant(), rig.Give("base_acc_copperring"), 30);
  EXPECT_TRUE(paid.priceLabel.IsShown());
}

TEST(Enchanting, AWandOrScrollHoldsOneSpellAndAWandTakesItsCharges) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  rig.Learn("base_spellfireball");
  for (const char* type : {"base_wand_empty", "base_scroll_blank"}) {
    SCOPED_TRACE(type);
    SItem* item = rig.Give(type, 0);
    SDialogEnchant& e = rig.OpenEnchant(nullptr, item, 10000);
    e.OnCommand(SDialogEnchant::kAdd);
    ASSERT_EQ(e.child, &e.wandEditor);
    for (int i = 0; i < 4; ++i) e.wandEditor.OnCommand(SDialogEnchantEntryWandScroll::kChargesUp);
    e.OnCommand(SDialogEnchant::kOk);
    e.OnCommand(SDialogEnchant::kAdd);
    EXPECT_EQ(rig.BoxText(), EnchantRig::Squeezed(e.itemKind == 10 ? "A wand cannot contain more than one spell."
                                                                   : "A scroll cannot contain more thane one spell."));
    e.OnCommand(SDialogMessage::kOk);
    EXPECT_EQ(e.entries->Count(), 1u);
    e.OnCommand(SDialogEnchant::kOk);
    e.OnCommand(SDialogMessage::kOk);
    ASSERT_NE(item->enchantments, nullptr);
    const SEffect* entry = item->enchantments->Entry(0);
    EXPECT_STREQ(entry->name, "base_spellfireball");
    EXPECT_EQ(entry->kind, 31u);
    EXPECT_EQ(entry->mode, 2u);
    // A wand's charges become its entry's; a scroll has no charge controls and keeps one.
    EXPECT_EQ(entry->base, e.itemKind == 10 ? 5 : 1);
    EXPECT_EQ(item->count, e.itemKind == 10 ? 5u : 0u);
  }
}

TEST(Enchanting, WithAnEnchanterThePickerStaysOpenAndTheItemLeavesItsList) {
  EnchantRig rig;
  ASSERT_TRUE(rig.ready);
  SItem* mail = rig.Give("base_armor_chain");
  rig.Give("base_weap_shortswordcheap");
  rig.Open(rig.Merchant(), 30);
  ASSERT_TRUE(rig.Choose(mail));
  rig.AddOther(1, 0, 1);
  rig.enchant().OnCommand(SDialogEnchant::kOk);
  rig.enchant().OnCommand(SDialogMessage::kOk);
  EXPECT_EQ(rig.picker().child, nullptr);
  EXPECT_EQ(rig.picker().subMode, SDialogEnchantItem::kList);
  EXPECT_EQ(rig.Rows(rig.picker().items), std::vector<std::string>{"Short sword"});
  EXPECT_EQ(rig.picker().items.selected, 0);  // the old selection lay past the list's end
  EXPECT_TRUE(rig.owner.closedWith.empty());

  // Without one the picker ends with the enchanting dialog.
  SItem* sword = rig.core().player.inventory.GetItem(1);
  rig.picker().OnCommand(SDialogEnchantItem::kClose);
  rig.Open(nullptr, 10);
  ASSERT_TRUE(rig.Choose(sword));
  rig.enchant().OnCommand(SDialogEnchant::kCancel);
  EXPECT_EQ(rig.owner.closedWith, (std::vector<u32>{279, 279}));
}
