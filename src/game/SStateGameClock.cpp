// The world's clock of game minutes and what time drives: the player's and nearby monsters' effects, the
// daily reset, the sky and light at the day's turning hours, and the weather with its rain and thunder.
#include "core/SGameCore.h"
#include "foundation/TimeUtil.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "graphics/SDisplay.h"
#include "graphics/renderer/SRenderer.h"
#include "player/SPlayer.h"
#include "world/SMapArea.h"
#include "world/SSoundTable.h"
#include "world/SWorldModule.h"

#include <algorithm>

namespace {

constexpr u16 kRainDay = 42292, kRainNight = 27469;
constexpr u32 kNoRainCountdown = 65535;

// Toward the target; none when the rain is there already (a step away from it would never meet it
// again, and the rain would run down to nothing).
i32 RainStep(i32 intensity, i32 target) { return intensity < target ? 1 : intensity > target ? -1 : 0; }

u32 AddMinutes(u32 clock, u64 span) {
  const u64 total = u64(clock) + span;
  return total > 0xFFFFFFFFu ? 0xFFFFFFFFu : u32(total);
}

}  // namespace

bool SStateGame::IsNight() const { return !IsDay(); }

void SStateGame::FormatTime(SString& out) const {
  const u32 hour = GetHour() % 12 ? GetHour() % 12 : 12;
  out.Format("%u:%02u %s", hour, GetMinute(), GetAmPm());
}

void SStateGame::FormatDayTime(SString& out) const {
  const u32 hour = GetHour() % 12 ? GetHour() % 12 : 12;
  out.Format("Day %u, %u:%02u %s", GetDay(), hour, GetMinute(), GetAmPm());
}

void SStateGame::DailyReset() {
  if (core) core->world.modules.ClearObjectMarks();
}

void SStateGame::TickNearbyMonsterEffects(u32 minutes) {
  if (!window.IsAllocated() || !window.CurrentArea()) return;
  const i32 px = window.playerX, py = window.playerY;
  const u32 turns = minutes;
  for (i32 y = std::max(0, py - 7); y <= std::min(SMapWindow::kSize - 1, py + 7); ++y)
    for (i32 x = std::max(0, px - 7); x <= std::min(SMapWindow::kSize - 1, px + 7); ++x) {
      const SMapCell* c = window.Cell(x, y);
      SMapArea* area = window.BlockArea(x, y);
      if (!area) continue;
      for (u16 id : c->monsterId) {
        const SMapMonster* m = id ? area->FindMonsterById(u8(id)) : nullptr;
        if (!m || !m->monster || m->monster->kind == 4) continue;
        // A monster bound to a switched-off object sleeps.
        const SMapObjectInst* bound = m->objectId ? area->FindObjectById(m->objectId) : nullptr;
        if (bound && !bound->IsActive()) continue;
        area->TickMonsterEffects(m->id, turns);
      }
    }
}

void SStateGame::PassPlayerMinutes(u32 minutes) {
  if (core) core->player.TickEffects(minutes);
  TickNearbyMonsterEffects(minutes);
}

void SStateGame::PassMinute() {
  const u32 day = GetDay();
  window.minutes = AddMinutes(window.minutes, 1);
  if (core) {
    SPlayer& player = core->player;
    if (!player.effects[kCategoryPoison].IsEmpty()) player.ApplyPoisonDamage();
    player.WearItemByLoad();
  }
  PassPlayerMinutes(1);
  // The hour check: a sentence begun ten minutes ago is served.
  if (imprisoned && MinutesSince(sentenceBegan) >= 10) ServeSentence();
  if (window.minutes % 60 == 0) {
    const u32 hour = GetHour();
    if (hour == 0) DailyReset();
    if (hour == 6 || hour == 8 || hour == 20 || hour == 22) {
      ChangeDayAndNight();
    }
  }
  UpdateWeather(false);
  if (GetDay() != day) DailyReset();
}

void SStateGame::PassHours(u32 hours) {
  const u32 day = GetDay();
  const bool wasDay = IsDay();
  const u32 span = u32(std::min<u64>(u64(hours) * 60, 0xFFFFFFFFu));
  window.minutes = AddMinutes(window.minutes, span);
  PassPlayerMinutes(span);
  const bool newDay = GetDay() != day;
  if (newDay) DailyReset();
  UpdateWeather(true);
  if (newDay || IsDay() != wasDay) {
    ChangeDayAndNight();
  }
}

void SStateGame::PassTime(u32 days, u32 hours, u32 minutes) {
  const u32 day = GetDay();
  const u64 total = (u64(hours) + 24 * u64(days)) * 60 + minutes;
  const u32 span = u32(std::min<u64>(total, 0xFFFFFFFFu));
  window.minutes = AddMinutes(window.minutes, span);
  PassPlayerMinutes(span);
  if (GetDay() != day) DailyReset();
  UpdateWeather(true);
  ChangeDayAndNight();
}

// ---- weather

void SStateGame::SetWeather(const char* sky, i32 value) {
  forcedSky.Assign(sky ? sky : "");
  weather = std::clamp(value, 0, 100);
  ChangeDayAndNight();
}

void SStateGame::SetRainIntensity(i32 intensity) { rainIntensity = std::clamp(intensity, 0, 999); }

void SStateGame::UpdateWeather(bool newWeather) {
  SRandom& random = *window.Random();
  if (newWeather) {
    if (weather > 70) {
      rainIntensity = std::clamp((weather - 60) * 25, 0, 999);
      rainTarget = std::clamp(rainIntensity + random.Next(200) - 100, 0, 999);
      rainCountdown = 300 + random.Next(300);
      rainStep = RainStep(rainIntensity, rainTarget);
      SetRainView(false);
    } else {
      rainIntensity = rainTarget = rainStep = 0;
      rainCountdown = kNoRainCountdown;
      SetRainView(true);
    }
    return;
  }
  if (rainCountdown != 0) {
    --rainCountdown;
  } else {
    rainIntensity = std::clamp(rainIntensity + rainStep, 0, 999);
    if (rainIntensity == rainTarget || rainStep == 0) {
      rainCountdown = 300 + random.Next(300);
      rainTarget = std::clamp(rainIntensity + random.Next(200) - 100, 300, 999);
      rainStep = RainStep(rainIntensity, rainTarget);
    }
  }
  if (window.IsJoined()) {
    const u32 now = u32(GetLocalTimeSeconds());
    // A wall clock set back takes the last thunder's second back with it.
    if (now < thunderTime) thunderTime = now;
    if (rainIntensity >= 500 && now - thunderTime > 10 && random.Next(100) > 80) {
      if (random.Next(100) <= 50) {
        if (core) core->world.sounds.PlayByName("bsnd_thunderclose", 10);
        thunderAudible = 0;
      } else {
        thunderAudible = 1;
      }
      thunderTime = now;
      thunderPending = 1;
      UpdateSkyAndLight(false);
    }
  } else {
    thunderPending = 0;
    UpdateSkyAndLight(false);
  }
  SetRainView(rainIntensity == 0);
}

void SStateGame::SetRainView(bool reset) {
  SRenderer* renderer = display ? display->Renderer() : nullptr;
  if (!renderer) return;
  const u16 colour = IsNight() ? kRainNight : kRainDay;
  if (reset)
    renderer->ResetRain(rainIntensity, colour);
  else
    renderer->SetRainAmount(rainIntensity, colour);
}

void SStateGame::UpdateRainSound() {
  if (!window.IsJoined() || rainIntensity == 0) {
    StopRainSound();
    return;
  }
  const u32 wanted = rainIntensity >= 500 ? 1 : 0;
  if (rainChannel >= 0 && rainClass != wanted) StopRainSound();
  if (rainChannel >= 0) return;
  rainClass = wanted;
  const i32 channel = core ? core->world.sounds.PlayLoopByName(wanted ? "bsnd_rainheavy" : "bsnd_rain", 10) : 0;
  // No sound object (0) or a refusal (negative) leaves no channel to stop later.
  rainChannel = channel > 0 ? channel : -1;
}

void SStateGame::StopRainSound() {
  StopChannel(rainChannel);
  rainChannel = -1;
}
