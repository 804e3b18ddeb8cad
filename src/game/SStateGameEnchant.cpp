// The game state's openers of enchanting and wand recharging.
#include "core/ui/SDialogMessage.h"
#include "game/SStateGame.h"

void SStateGame::BeginRechargeWand() {
  if (dangerCountdown) {
    QueueMessage("You cannot recharge wands when there might be immediate threat.", SDialogMessage::kOk, nullptr);
    return;
  }
  OpenSubDialog(&enchantItem, kEnchanting);
  enchantItem.Open(nullptr, 0, 1);
}

void SStateGame::BeginEnchantItem(u32 level) {
  if (dangerCountdown) {
    QueueMessage("You cannot enchant items when there might be immediate threat.", SDialogMessage::kOk, nullptr);
    return;
  }
  OpenSubDialog(&enchantItem, kEnchanting);
  enchantItem.Open(nullptr, level, 0);
}
