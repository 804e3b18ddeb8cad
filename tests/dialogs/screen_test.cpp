// Enchanting through the real screens: taps on the laid-out controls of the picker, the enchanting dialog,
// its editors and the recharge dialog, with describeUi goldens and a golden frame.
#include "EnchantRig.h"
#include "support/GoldenText.h"
#include "support/Png.h"
#include "support/RepaintCheck.h"

namespace {
// A button of the open message box, by its caption.
bool TapBoxButton(GameHarness& game, const std::string& caption) {
  for (const GameHarness::Control& c : game.controls())
    if (c.type == "SCtrlMessageButton" && c.text == caption) {
      game.penDown(c.x + c.width / 2, c.y + c.height / 2);
      game.penUp(c.x + c.width / 2, c.y + c.height / 2);
      game.frame();
      return true;
    }
  return false;
}

// What the last tap opened or closed is on the screen: the frame shown is the state painted whole.
void ExpectShown(GameHarness& game) {
  for (const std::string& fault : RepaintCheck::Stale(game)) ADD_FAILURE() << fault;
}
}  // namespace

TEST(EnchantScreens, AnEnchanterEnchantsAndRechargesThroughTheScreens) {
  EnchantRig rig(GameHarness::forMode(7));
  ASSERT_TRUE(rig.ready);
  GameHarness& game = *rig.game;
  rig.Learn("base_spellfireball");
  rig.Give("base_armor_chain");
  rig.Give("base_acc_amulet");
  rig.Give("base_wand_fire", 3);
  rig.Give("base_scroll_blank");
  rig.Open(rig.Merchant(), 30);
  game.frame();
  EXPECT_EQ(testgolden::CompareText("enchant_picker_mode7", game.describeUi()), "");

  // The chain mail: its description, then the enchanting dialog.
  game.tapRow(SDialogEnchantItem::kItems, 0);
  game.frame();
  EXPECT_EQ(std::string(rig.picker().description.title.CStr()), "Chain mail");
  game.tapControl(SDialogEnchantItem::kChoose);
  game.frame();
  ASSERT_EQ(rig.picker().child, &rig.enchant());

  // Add: the other-entry editor; Fortify skill, the third skill, value 2.
  game.tapControl(SDialogEnchant::kAdd);
  game.frame();
  ASSERT_EQ(rig.enchant().child, &rig.enchant().otherEditor);
  ExpectShown(game);
  game.tapRow(SDialogEnchantEntryOther::kData, 2);
  game.tapControl(SDialogEnchantEntryOther::kValueUp);
  game.frame();
  EXPECT_EQ(testgolden::CompareText("enchant_other_entry_mode7", game.describeUi()), "");
  game.tapControl(SDialogEnchantEntryOther::kKeep);
  game.frame(2);
  ASSERT_EQ(rig.enchant().child, nullptr);
  EXPECT_EQ(rig.Rows(rig.enchant().list), std::vector<std::string>{"+2 Heavy Weapon"});
  const Os::Panel& panel = game.panel();
  EXPECT_EQ(testpng::CompareGolden("enchant_dialog_mode7", panel.pixels.data(), panel.width, panel.height, panel.width),
            "");

  game.tapControl(SDialogEnchant::kOk);
  game.frame();
  EXPECT_EQ(rig.BoxText(), EnchantRig::Squeezed("The enchanting was successful.\rYou pay 200 gold."));
  ExpectShown(game);
  ASSERT_TRUE(TapBoxButton(game, "Ok"));
  EXPECT_EQ(rig.picker().child, nullptr);
  EXPECT_EQ(rig.core().player.money, 4800u);

  // The wand: the recharge dialog.
  ASSERT_EQ(rig.Rows(rig.picker().items), (std::vector<std::string>{"Wand of Fire", "Blank scroll"}));
  game.tapRow(SDialogEnchantItem::kItems, 0);
  game.tapControl(SDialogEnchantItem::kChoose);
  game.frame();
  ASSERT_EQ(rig.picker().child, &rig.picker().recharge);
  EXPECT_EQ(testgolden::CompareText("enchant_recharge_mode7", game.describeUi()), "");
  game.tapControl(SDialogEnchantRechargeWand::kRecharge);
  game.frame();
  ExpectShown(game);
  ASSERT_TRUE(TapBoxButton(game, "Ok"));
  EXPECT_EQ(rig.core().player.GetInventoryItem(2)->count, 10u);
  EXPECT_EQ(rig.core().player.money, 4520u);

  // The scroll: the wand and scroll editor.
  game.tapRow(SDialogEnchantItem::kItems, 0);
  game.tapControl(SDialogEnchantItem::kChoose);
  game.frame();
  game.tapControl(SDialogEnchant::kAdd);
  game.frame();
  ASSERT_EQ(rig.enchant().child, &rig.enchant().wandEditor);
  EXPECT_EQ(testgolden::CompareText("enchant_wand_entry_mode7", game.describeUi()), "");
  game.tapControl(SDialogEnchantEntryWandScroll::kDiscard);
  game.tapControl(SDialogEnchant::kCancel);
  game.tapControl(SDialogEnchantItem::kClose);
  game.frame();
  EXPECT_EQ(rig.owner.closedWith, std::vector<u32>{279});
}

// Every display mode a device selects lays the dialogs out and takes a whole enchanting.
TEST(EnchantScreens, EveryDisplayModeEnchants) {
  for (i32 mode : GameHarness::deviceModes()) {
    SCOPED_TRACE(mode);
    EnchantRig rig(GameHarness::forMode(mode));
    ASSERT_TRUE(rig.ready);
    GameHarness& game = *rig.game;
    SItem* ring = rig.Give("base_acc_copperring");
    rig.Open(rig.Merchant(), 30);
    game.tapRow(SDialogEnchantItem::kItems, 0);
    game.tapControl(SDialogEnchantItem::kChoose);
    game.frame();
    game.tapControl(SDialogEnchant::kAdd);
    game.frame();
    game.tapControl(SDialogEnchantEntryOther::kKeep);
    game.frame();
    game.tapControl(SDialogEnchant::kOk);
    game.frame();
    ASSERT_TRUE(TapBoxButton(game, "Ok"));
    ASSERT_NE(ring->enchantments, nullptr);
    EXPECT_EQ(ring->enchantments->Count(), 1u);
  }
}
