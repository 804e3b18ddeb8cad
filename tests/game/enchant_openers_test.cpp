// The game state opens the enchant item picker for the "Enchant" and "Recharge wand" effects' events,
// unless monsters are near.
#include "GameRig.h"
#include "game/SGameEvent.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(GameEnchanting, TheEffectsEventsOpenThePickerUnlessDangerIsNear) {
  GameRig rig;
  ASSERT_TRUE(rig.Enter("base_dungeon1", 2, 2, 0));
  SStateGame& s = rig.state;
  auto process = [&](u32 kind, u8 flag) {
    s.QueueEventOfKind(kind, flag);
    s.ProcessEvents(false);
  };

  // An "Enchant" effect handing on 5: items up to 15 storage.
  process(kEventEnchantItem, 5);
  EXPECT_EQ(s.subDialog, &s.enchantItem);
  EXPECT_EQ(s.subMode, SStateGame::kEnchanting);
  EXPECT_EQ(s.enchantItem.person, nullptr);
  EXPECT_EQ(s.enchantItem.rechargeMode, 0u);
  EXPECT_EQ(s.enchantItem.storageLimit, 15u);
  EXPECT_EQ(s.enchantItem.OnCommand(SDialogEnchantItem::kClose), 0u);
  EXPECT_EQ(s.subDialog, nullptr);

  process(kEventRechargeWand, 0);
  EXPECT_EQ(s.subDialog, &s.enchantItem);
  EXPECT_EQ(s.enchantItem.rechargeMode, 1u);
  s.enchantItem.OnCommand(SDialogEnchantItem::kClose);

  // With monsters near both are refused with a message.
  s.dangerCountdown = 3;
  s.BeginEnchantItem(5);
  s.BeginRechargeWand();
  EXPECT_EQ(s.subDialog, nullptr);
  std::vector<std::string> texts;
  for (u32 i = 0; i < s.events.Count(); ++i)
    if (s.events.At(i32(i))->kind == kEventMessage) texts.push_back(s.events.At(i32(i))->textA.CStr());
  EXPECT_EQ(texts, (std::vector<std::string>{"You cannot enchant items when there might be immediate threat.",
                                             "You cannot recharge wands when there might be immediate threat."}));
}
