// Spells and abilities that act through the game rather than on the player: the target's information,
// recharging and enchanting, mark and recall, and the town portal. Their effects queue events of their own
// kinds; the event processor calls these when the game is idle.
#include "core/SGameCore.h"
#include "core/ui/SDialogMessage.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "player/SMonsterEffectText.h"
#include "player/SPlayer.h"
#include "world/SMapArea.h"
#include "world/SWorldModule.h"

namespace {

constexpr u16 kMarkDenied = 8, kTownMap = 0x200, kTeleportDenied = 0x400;
constexpr i32 kPortalRings = 19;
constexpr i32 kLastGridTile = 99;
const char* const kTeleportDeniedText = "Teleport magic is denied on this map.";

}  // namespace

void SStateGame::QueueTargetInfo(SMapArea* area, SMapMonster* monster, u8 detail) {
  for (const SGameEvent* e : events)
    if (e && e->kind == kEventTargetInfo) return;
  if (SGameEvent* e = AddEvent(kEventTargetInfo)) {
    e->area = area;
    e->monster = monster;
    e->flag = detail;
  }
}

void SStateGame::ShowTargetInfo(SMapArea* area, SMapMonster* placed, u32 detail) {
  if (!core || !area || !placed || area->monsters.IndexOf(placed) < 0 || !placed->monster) return;
  const SMonster& m = *placed->monster;
  const char* name = m.label && *m.label ? m.label : m.name.Text();
  SString text;
  if (!m.IsPeople()) {
    text.Format("%s\rLevel: %u\r", name ? name : "", u32(m.level));
    if (detail >= 20)
      text.FormatAppend("Hp: %u/%u\r", u32(placed->hp < 0 ? 0 : placed->hp), u32(m.maxHp));
    else
      text.FormatAppend("Hp: %u\r", u32(placed->hp < 0 ? 0 : placed->hp));
    if (detail > 30) text.FormatAppend("Xp: %u\r", u32(m.experience));
    if (detail > 40)
      text.FormatAppend("Str:%u, Dex:%u, End:%u, Int:%u\r", u32(m.GetAttribute1(*area, *placed)),
                        u32(m.GetAttribute2(*area, *placed)), u32(m.GetAttribute3(*area, *placed)),
                        u32(m.GetAttribute4(*area, *placed)));
    if (detail > 50) {
      text.Append("Active effects:");
      FormatMonsterEffects(core->world.rules, *area, placed->id, text);
    }
  } else {
    text.Format("%s\r", name ? name : "");
    if (detail > 20) text.FormatAppend("Perception: %u", u32(m.spareValue));
  }
  QueueMessage(text.CStr(), SDialogMessage::kOk, nullptr);
}

void SStateGame::BeginTownPortal() {
  const SMapArea* map = window.CurrentArea();
  if (map && (map->flags & kTeleportDenied)) {
    QueueMessage(kTeleportDeniedText, SDialogMessage::kOk, nullptr);
    return;
  }
  SWorldModule* module = core ? core->world.modules.current : nullptr;
  i32 x = 0, y = 0;
  if (module) {
    module->FindMapAtWorldPosition(x, y);
    // Rings of growing radius around the player's tile: the rows above and below, then the columns.
    for (i32 r = 1; r <= kPortalRings; ++r) {
      for (i32 i = x - r; i <= x + r; ++i)
        if (TeleportToTownPortal(i, y - r)) return;
      for (i32 i = x - r; i <= x + r; ++i)
        if (TeleportToTownPortal(i, y + r)) return;
      for (i32 j = y - r + 1; j <= y + r - 1; ++j)
        if (TeleportToTownPortal(x - r, j)) return;
      for (i32 j = y - r + 1; j <= y + r - 1; ++j)
        if (TeleportToTownPortal(x + r, j)) return;
    }
  }
  QueueMessage("Teleport failed.", SDialogMessage::kOk, "bsnd_click");
}

bool SStateGame::TeleportToTownPortal(i32 x, i32 y) {
  SWorldModule* module = core ? core->world.modules.current : nullptr;
  // Tiles off the grid name no map.
  if (!module || x < 0 || y < 0 || x > kLastGridTile || y > kLastGridTile) return false;
  SString name;
  name.Format("%s%02u%02u", module->mapPrefix.CStr(), u32(x), u32(y));
  SMapArea* map = module->FindMap(name.CStr());
  if (!map || !(map->flags & kTownMap)) return false;
  SString position(name.CStr());
  position.Append("townportal");
  SMapArea* holder = nullptr;
  if (!module->FindObjectByName(position.CStr(), holder) || holder != map) return false;
  TeleportToPosition(position.CStr(), 1);
  return true;
}
