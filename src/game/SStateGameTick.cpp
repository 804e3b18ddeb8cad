// The game state's frame: death, the nine rate timers, the ambient voices, the turn and step animation,
// the world's periodic updates, painting, the transition effect and one queued event.
#include "core/SGameCore.h"
#include "foundation/TimeUtil.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "graphics/SDisplay.h"
#include "platform/sound/SSoundManager.h"
#include "player/SPlayer.h"
#include "world/SMapArea.h"
#include "world/SSoundTable.h"

namespace {

// The timers' intervals in milliseconds, in table order.
constexpr u32 kTimerInterval[SGameCore::kFrameTimers] = {200, 200, 150, 1000, 30, 30, 30, 20, 30};
constexpr u32 kAmbientSeconds = 10;

}  // namespace

bool SStateGame::TimerFires(u32 n, u32 now) {
  SFrameTimer& timer = core->frameTimers[n];
  if (!TicksElapsed(now, timer.lastTick, kTimerInterval[n])) return false;
  timer.lastTick = now;
  ++timer.counter;
  return true;
}

u32 SStateGame::WallSecondsSince(u32 stored) {
  const u32 now = u32(GetLocalTimeSeconds());
  return now < stored ? stored : now;
}

void SStateGame::PlayAmbientTick() {
  if (!soundPick && !ambientMarker) return;
  const u32 now = u32(GetLocalTimeSeconds());
  // A wall clock set back (summer time ending) takes the last ambient second back with it.
  if (now < lastAmbientSecond) lastAmbientSecond = now;
  if (now - lastAmbientSecond <= kAmbientSeconds) return;
  SRandom* random = &Random();
  if (soundPick && (!ambientMarker || random->Next(100) > 50)) {
    if (const char* voice = soundPick->PickVoice(*random))
      core->world.sounds.PlayByName(voice, VolumeByDistance(soundPickX, soundPickY));
  } else if (ambientMarker) {
    const char* sound = ambientMarker->texts[1];
    if (sound && *sound) core->world.sounds.PlayByName(sound, VolumeByDistance(ambientX, ambientY));
  }
  lastAmbientSecond = now;
}

u32 SStateGame::OnTick(u32 frameCounter, SDisplay* screen) {
  if (!core) return 0;
  // 1. Death.
  if (core->player.hp == 0) {
    StopAmbientSounds(true);
    gameInProgress = 0;
    return u32(kStateDeath);
  }
  // A kind run outside a cell action (a script resumed after a question) asked for another screen.
  if (const u32 next = requestedState) {
    requestedState = 0;
    return next;
  }
  // 2. A full-screen sub-dialog covers the world, which stands still.
  if (subMode == kWorldMap || subMode == kEnchanting || subMode == kShipTravel) {
    if (subDialog) subDialog->OnTick(frameCounter, screen);
    return 0;
  }
  // 3. The timers, in table order.
  const u32 now = GetTicks();
  bool fired[SGameCore::kFrameTimers] = {};
  for (u32 n = 0; n < SGameCore::kFrameTimers; ++n) {
    if (n == 5 && !skyRotation) continue;
    if (n == 6 && forcedStep) {
      forcedStep = 0;
      SFrameTimer& timer = core->frameTimers[n];
      timer.lastTick = now;
      ++timer.counter;
      fired[n] = true;
      continue;
    }
    fired[n] = TimerFires(n, now);
  }
  // 4. Ambient voices. 5. The quiet second footstep of a stand-alone map.
  PlayAmbientTick();
  if (footstepCountdown > 0 && --footstepCountdown == 0) PlayFootstep(true);
  // 6. Turn and step.
  bool turnEnded = false, stepEnded = false, bumpFrame = false;
  u32 next = 0;
  if (fired[7]) {
    turnEnded = AnimateTurn();
    stepEnded = AnimateStep(bumpFrame);
    if (stepping && !bump) StepHandBob();
    if (turnEnded) UpdateAmbient();
    if (stepEnded && !bumpFrame) next = FinishStep();
  }
  // 7, 8. The monsters' turn near the player and their moving.
  if (fightFlag) ScanFightRange(true, window.playerX, window.playerY);
  if (HasMovingObjects()) UpdateMovingObjects();
  // 9. A far thunder is heard a moment after the flash.
  if (thunderPending) {
    const u32 seconds = u32(GetLocalTimeSeconds());
    if (seconds < thunderTime) thunderTime = seconds;
    if (seconds > thunderTime) {
      if (thunderAudible) core->world.sounds.PlayByName("bsnd_thunderfar", 10);
      thunderPending = 0;
      UpdateSkyAndLight(false);
    }
  }
  // 10. The rate-limited scene work.
  const bool stealing = subMode == kStealing;
  if (fired[2]) AnimateTextures();
  if (fired[0] || fired[1]) CollectVisibleCells(true, true);
  if ((fired[3] || fired[6]) && !stealing) AnimateMonsterSprites(fired[3], fired[6]);
  if (fired[4]) CollectObjects();
  if (fired[5]) {
    view.skyAngle -= 4096;
    if (view.skyAngle < 0) view.skyAngle += 360 << 16;
  }
  // 11. The faced label and the monster sprites follow the view.
  if (fired[7]) {
    if (!turning) {
      if (!stepping && (turnEnded || stepEnded || monstersChanged || labelRefresh)) {
        UpdateFacedLabel();
        labelRefresh = 0;
      }
      if ((stepping || monstersChanged) && !objectWait) {
        monstersChanged = 0;
        BuildMonsterSprites();
      }
    } else if (!objectWait) {
      monstersChanged = 0;
      BuildMonsterSprites();
    }
  }
  // 12. Monsters' moves. 13. The teleport's fade.
  if (fired[8] && !stealing) RunMonsterMoves();
  if (subMode == kTransition && transitionKind == 1 && transitionFrames != 1) StepTeleportFade();
  // 14. Actions under way.
  if (subMode == kWalking && !subDialog && actions.Count()) RunActions();
  // 15, 16. Paint.
  if (stepping || stepEnded || turning || turnEnded) automap.MarkDirty();
  if (paintInTick) Paint();
  // 17. The transition effect. 18. One queued event while idle; the open sub-dialog's tick.
  if (subMode == kTransition) RunTransitionEffect(false);
  if (subMode == kWalking && !subDialog && !actions.Count()) {
    if (const u32 r = ProcessEvents(false)) next = r;
  }
  if (subDialog) {
    subDialog->OnTick(frameCounter, screen);
    if (paintInTick) subDialog->Paint();
  }
  // 19. The bump turns back.
  if (fired[7]) ReverseBump();
  return next;
}
