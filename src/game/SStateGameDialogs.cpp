// The game state's openers of its member dialogs: the spell book, the potion list, lock picking, the
// voyage by ship, and mark and recall. What their choices start (casting, drinking, a trap going off) is
// the state's command handling.
#include "core/SGameCore.h"
#include "core/ui/SDialogMessage.h"
#include "game/SStateGame.h"
#include "platform/sound/SSoundManager.h"
#include "player/SPlayer.h"
#include "world/SMapArea.h"

namespace {
// Map flags.
constexpr u16 kMagicForbidden = 2, kMarkDenied = 8, kTeleportDenied = 0x400;
}  // namespace

void SStateGame::OpenMagicBook() {
  if (IsBusy() || !core) return;
  const SMapArea* map = window.CurrentArea();
  if (map && (map->flags & kMagicForbidden)) {
    QueueMessage("Magic is forbidden on this map.", SDialogMessage::kOk, nullptr);
    return;
  }
  if (core->player.HasMagicImmunity()) {
    QueueMessage("You have active magic immunity effect.", SDialogMessage::kOk, nullptr);
    return;
  }
  core->world.sounds.PlayByName("bsnd_bookopen", 10);
  OpenSubDialog(&spellbook, kSpellbook);
  spellbook.Open();
}

void SStateGame::OpenPotions() {
  if (IsBusy() || !core) return;
  potions.Open();
  if (!potions.PotionCount()) {
    QueueMessage("You don't have any potions.", SDialogMessage::kOk, nullptr);
    return;
  }
  if (core->soundManager && core->clickSounds[0]) core->soundManager->PlaySound(core->clickSounds[0], 10);
  OpenSubDialog(&potions, kPotionList);
}

void SStateGame::OpenLockpick() {
  OpenSubDialog(&lockpick, kLockpick);
  lockpick.Open(trappedInst);
}

void SStateGame::OpenShipTravel(const char* destination, const char* text) {
  OpenSubDialog(&shipTravel, kShipTravel);
  shipTravel.Open(text, destination);
  PassHours(1);
  ChangeDayAndNight();
  SetFullRepaint();
}

void SStateGame::BeginMark() {
  const SMapArea* map = window.CurrentArea();
  const u16 mapFlags = map ? map->flags : 0;
  if (mapFlags & kMarkDenied) {
    QueueMessage("Mark is denied on this map.", SDialogMessage::kOk, nullptr);
  } else if (mapFlags & kTeleportDenied) {
    QueueMessage("Teleport magic is denied on this map.", SDialogMessage::kOk, nullptr);
  } else {
    OpenSubDialog(&markRecall, kMarkRecall);
    markRecall.Open(1);
  }
}

void SStateGame::BeginRecall() {
  const SMapArea* map = window.CurrentArea();
  if (map && (map->flags & kTeleportDenied)) {
    QueueMessage("Teleport magic is denied on this map.", SDialogMessage::kOk, nullptr);
  } else if (core && core->player.HasMarkedPosition()) {
    OpenSubDialog(&markRecall, kMarkRecall);
    markRecall.Open(0);
  } else {
    QueueMessage("You haven't marked any positions to recall.", SDialogMessage::kOk, nullptr);
  }
}
