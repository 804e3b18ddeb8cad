#include "game/SStateGame.h"

#include "core/SGameCore.h"
#include "core/SGameObserver.h"
#include "foundation/StrUtil.h"
#include "platform/sound/SSoundManager.h"
#include "player/SPlayer.h"

#include <new>

u32 TransitionKindFromName(const char* word) {
  if (!word) return 0;
  static const struct {
    const char* name;
    u32 kind;
  } kNames[] = {{"teleport", 1},    {"hole", 2},     {"fall", 3},      {"ladderdown", 4},
                {"ladder down", 4}, {"ladderup", 5}, {"ladder up", 5}, {"stairdown", 6},
                {"stair down", 6},  {"stairup", 7},  {"stair up", 7}};
  for (const auto& n : kNames)
    if (StrCompareNoCase(word, n.name) == 0) return n.kind;
  return 0;
}

bool SStateGame::IsBusy() const { return turning || stepping || subDialog != nullptr; }

void SStateGame::StopMusic() {
  if (musicChannel >= 0 && core && core->soundManager) core->soundManager->StopChannel(musicChannel);
  musicChannel = -1;
}

SGameEvent* SStateGame::AddEvent(u32 kind) {
  auto* e = new (std::nothrow) SGameEvent;
  if (!e) return nullptr;
  e->kind = kind;
  if (!events.Add(e)) {
    delete e;
    return nullptr;
  }
  return e;
}

bool SStateGame::IsCurrentWorldPosition(const char* position) const {
  const SWorldModule* world = core ? core->world.modules.current : nullptr;
  if (!world || !position || StrLength(position) < 5 || world->resourcePrefix.Length() < 5) return false;
  return StrCompareNoCaseN(position, world->resourcePrefix.CStr(), 5) == 0;
}

void SStateGame::QueueMessage(const char* text, u32 buttons, const char* sound) {
  if (core && core->observer) core->observer->OnMessage("queued", "message box", text ? text : "", buttons);
  if (SGameEvent* e = AddEvent(kEventMessage)) {
    e->textA.Assign(text ? text : "");
    e->buttons = buttons;
    e->sound.Assign(sound ? sound : "bsnd_click");
  }
}

void SStateGame::AppendToMessage(const char* text, u32 flag) {
  if (core && core->observer) core->observer->OnMessage("appended", "last message box", text ? text : "", flag);
  SGameEvent* last = events.At(events.Count() - 1);
  if (!last || last->kind != kEventMessage) {
    QueueMessage("", 0, nullptr);
    last = events.At(events.Count() - 1);
    if (!last || last->kind != kEventMessage) return;
  }
  if (!last->textA.IsEmpty()) last->textA.Append("\r");
  last->textA.Append(text ? text : "");
}

void SStateGame::QueueTeleport(const char* position, u32 transition) {
  if (!IsCurrentWorldPosition(position)) return;
  if (SGameEvent* e = AddEvent(kEventTeleport)) {
    e->textA.Assign(position);
    e->numberA = transition;
  }
}

void SStateGame::QueueMapTransition(const char* position, const char* prompt, u32 transition, u32 stepBack) {
  if (!IsCurrentWorldPosition(position)) return;
  if (SGameEvent* e = AddEvent(kEventMapTransition)) {
    e->textA.Assign(position);
    e->textB.Assign(prompt ? prompt : "");
    e->numberA = transition;
    e->numberB = stepBack;
  }
}

void SStateGame::QueueTurnTo(u32 quarter) {
  if (SGameEvent* e = AddEvent(kEventTurnTo)) e->numberC = quarter;
}

void SStateGame::QueueCellMove(i32 x, i32 y) {
  if (SGameEvent* e = AddEvent(kEventCellMove)) {
    e->numberD = u32(x);
    e->numberE = u32(y);
  }
}

void SStateGame::QueueJail(const char* text) {
  if (SGameEvent* e = AddEvent(kEventJail)) e->textD.Assign(text ? text : "");
}

void SStateGame::QueueStepBack() { AddEvent(kEventStepBack); }

void SStateGame::QueueTravel(const char* textA, const char* textB) {
  if (SGameEvent* e = AddEvent(kEventTravel)) {
    e->textA.Assign(textA ? textA : "");
    e->textB.Assign(textB ? textB : "");
  }
}

void SStateGame::ShowPlayerHit(i32 attack, i32 direction) {
  auto* r = new (std::nothrow) SActionRecord;
  if (!r) return;
  r->kind = kActionHitIndicator;
  r->damage = u32(attack);
  r->direction = direction;
  if (!actions.Add(r)) delete r;
}

void SStateGame::ShowPlayerDamage(i32 damage) {
  auto* r = new (std::nothrow) SActionRecord;
  if (!r) return;
  r->kind = kActionHitIndicator;
  r->damage = u32(damage);
  r->direction = -1;
  r->isDamage = 1;
  if (!actions.Add(r)) delete r;
}

void SStateGame::SetHandView(bool /*keepSecond*/, bool /*keepFirst*/) {
  // The first-person hands are drawn by the combat view; until it exists there is nothing to set.
}

void SStateGame::PassPlayerMinutes(u32 minutes) {
  if (core) core->player.TickEffects(minutes);
}

void SStateGame::PassMinute() {
  window.minutes += 1;
  if (core) {
    SPlayer& player = core->player;
    if (!player.effects[kCategoryPoison].IsEmpty()) player.ApplyPoisonDamage();
    player.WearItemByLoad();
  }
  PassPlayerMinutes(1);
}

void SStateGame::PassHours(u32 hours) {
  const u64 minutes = u64(hours) * 60;
  const u32 span = minutes > 0xFFFFFFFFu ? 0xFFFFFFFFu : u32(minutes);
  window.minutes += span;
  PassPlayerMinutes(span);
}

void SStateGame::PassTime(u32 days, u32 hours, u32 minutes) {
  const u64 total = (u64(hours) + 24 * u64(days)) * 60 + minutes;
  const u32 span = total > 0xFFFFFFFFu ? 0xFFFFFFFFu : u32(total);
  window.minutes += span;
  PassPlayerMinutes(span);
}
