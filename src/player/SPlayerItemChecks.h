// The player's answers to what an item's description asks: whether a scroll may be read and a wand used
// by the player's race, whether a book has been read, and whether its skill may still grow. The pack and
// the shop describe items with them.
#pragma once
#include "player/SPlayer.h"
#include "world/SItemTable.h"

class SPlayerItemChecks : public SItemPlayerChecks {
 public:
  explicit SPlayerItemChecks(const SPlayer& player) : player_(player) {}
  bool CanReadScroll(const SItem& item) const override { return player_.CanUseItem(item); }
  bool CanUseWand(const SItem& item) const override { return player_.CanUseChargedItem(item); }
  bool HasReadBook(const SItemType& type) const override { return player_.HasReadItem(type.name.Text()); }
  bool CanLearnSkill(u32 skill) const override { return player_.CanRaiseSkill(skill); }

 private:
  const SPlayer& player_;
};
